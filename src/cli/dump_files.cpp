// Raw memory dumps of the runner.
#include <cstdio>

#include "cli/runner_io.h"

namespace vt::cli {

bool write_dump(const std::string& path, const uint8_t* data, size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    bool ok = f && std::fwrite(data, 1, size, f) == size;
    if (f) ok = std::fclose(f) == 0 && ok;
    if (!ok) std::fprintf(stderr, "veltrane-cli: cannot write %s\n", path.c_str());
    return ok;
}

}  // namespace vt::cli
