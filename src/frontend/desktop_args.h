// The desktop program's command line: `veltrane [FILE]`, plus --help and
// --version, which print and end the program before any window opens (so
// they work without a display).
#pragma once

#include <string>
#include <vector>

namespace vt {

enum class DesktopAction { Run, Help, Version, BadUsage };

struct DesktopArgs {
    DesktopAction action = DesktopAction::Run;
    std::string file;     // Run: the file to open; empty for the demo
    std::string message;  // BadUsage: what was wrong
};

// `args` without the program name. Options the window system takes for
// itself (-platform, -display, ...) are expected to be gone already,
// except when only looking for --help and --version.
DesktopArgs parse_desktop_args(const std::vector<std::string>& args);

std::string desktop_usage();
std::string desktop_version_text(const std::string& version);

}  // namespace vt
