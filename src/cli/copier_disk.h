// --copier-disk: writes copier disk volumes of the loaded image.
#pragma once

#include <cstdint>
#include <string>

namespace vt {
struct Machine;
}

namespace vt::cli {

inline constexpr int kCopierUnsupported = 2;

struct CopierDiskOptions {
    bool game_doctor = false;
    std::string folder;
    uint32_t volume_blocks = 176;
    uint32_t seed = 0;
};

// Prints one line per file written. 0 when all were written, 1 when a file
// could not be, kCopierUnsupported (with the reason) when the copier cannot
// take the image.
int write_copier_disk(const Machine& m, const CopierDiskOptions& options);

}  // namespace vt::cli
