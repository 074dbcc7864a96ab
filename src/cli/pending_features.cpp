#include "cli/pending_features.h"

#include <cstdio>

namespace vt::cli {

namespace {

bool not_available(const char* feature) {
    std::fprintf(stderr, "veltrane-cli: %s is not available yet; ignored\n", feature);
    return true;
}

}  // namespace

bool load_state_file(Machine&, const std::string&) { return not_available("--load-state (save states)"); }
bool save_state_file(Machine&, const std::string&) { return not_available("--save-state (save states)"); }
bool start_cpu_trace(Machine&, const std::string&) { return not_available("--trace (CPU trace)"); }

}  // namespace vt::cli
