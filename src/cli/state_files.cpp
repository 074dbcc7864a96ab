// The runner's save states: chunked state files and real-time saves, told
// apart by content as the desktop program does (through the host).
#include "cli/runner_io.h"
#include "frontend/emulator_host.h"

namespace vt::cli {

bool load_state_file(EmulatorHost& host, const std::string& path) {
    const OpenResult r = host.load_state_file(path);
    if (r.opened()) return true;
    print_host_message("cannot load the state", r.message);
    return false;
}

// A file being replaced keeps its format; a new one is a real-time save
// when its name ends in ".rts", else a chunked state.
bool save_state_file(EmulatorHost& host, const std::string& path) {
    std::string problem;
    const bool saved = state_format_for_saving(path) == FileKind::RealTimeSave
                           ? host.save_rts_file(path, &problem)
                           : host.save_state_file(path, "veltrane-cli", "", &problem);
    return saved || complain("cannot save the state to " + problem);
}

}  // namespace vt::cli
