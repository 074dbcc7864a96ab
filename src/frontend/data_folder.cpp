#include "frontend/data_folder.h"

#include <cstdlib>
#include <filesystem>

#include "cart/image_files.h"
#include "debug/trace_log.h"

namespace vt {

std::string program_data_folder() {
    const char* xdg = std::getenv("XDG_DATA_HOME");
    if (xdg && xdg[0] == '/') return join_path(xdg, "veltrane");
    const char* home = std::getenv("HOME");
    if (home && home[0]) return join_path(join_path(home, ".local/share"), "veltrane");
    return "";
}

bool make_program_data_folder() {
    const std::string folder = program_data_folder();
    if (folder.empty()) return false;
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return std::filesystem::is_directory(folder, ec);
}

std::string program_log_path() {
    const std::string folder = program_data_folder();
    return folder.empty() ? "" : join_path(folder, kTraceLogFileName);
}

}  // namespace vt
