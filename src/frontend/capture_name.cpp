#include "frontend/capture_name.h"

#include <string>
#include <system_error>

namespace vt {

std::filesystem::path choose_capture_path(const std::filesystem::path& image_path,
                                          const std::filesystem::path& capture_folder) {
    namespace fs = std::filesystem;
    const fs::path base = capture_folder.empty() ? image_path : capture_folder / image_path.filename();
    const fs::path folder = base.parent_path();
    const std::string stem = base.stem().string();

    std::error_code ec;
    fs::path candidate = folder / (stem + ".png");
    for (int n = 2; fs::exists(candidate, ec); n++) {
        candidate = folder / (stem + " (" + std::to_string(n) + ").png");
    }
    return candidate;
}

}  // namespace vt
