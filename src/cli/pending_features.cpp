// Runner options whose subsystem is not built yet: accepted, with a notice
// on stderr.
#include <cstdio>

#include "cli/runner_io.h"

namespace vt::cli {

// The CPU trace arrives with the debugger. Its file is checked already, so
// that a trace asked into a folder that cannot take it fails now as it
// will then.
bool start_cpu_trace(Machine&, const std::string& path) {
    if (!output_writable(path)) return false;
    std::fprintf(stderr, "veltrane-cli: --trace (CPU trace) is not available yet; ignored\n");
    return true;
}

}  // namespace vt::cli
