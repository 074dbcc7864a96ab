// The program's own data folder: $XDG_DATA_HOME/veltrane when XDG_DATA_HOME
// holds an absolute path, else $HOME/.local/share/veltrane; empty when
// neither is set. It holds the built-in demo's battery RAM and the desktop
// program's log, so that nothing is written into whatever folder the
// program was started from.
#pragma once

#include <string>

namespace vt {

std::string program_data_folder();

// Creates the data folder when it is missing; false when it cannot be made
// (the log's failure to be created then says so).
bool make_program_data_folder();

// The desktop program's log, "trace.log" in the data folder. Empty when
// there is no data folder.
std::string program_log_path();

}  // namespace vt
