// Runner options whose subsystem is not built yet: accepted, with a notice
// on stderr.
#include <cstdio>

#include "cli/runner_io.h"

namespace vt::cli {

// The CPU trace arrives with the debugger.
bool start_cpu_trace(Machine&, const std::string&) {
    std::fprintf(stderr, "veltrane-cli: --trace (CPU trace) is not available yet; ignored\n");
    return true;
}

}  // namespace vt::cli
