#include "frontend/desktop_args.h"

namespace vt {

DesktopArgs parse_desktop_args(const std::vector<std::string>& args) {
    DesktopArgs r;
    bool options_end = false;  // after "--" every word is a file name
    for (const std::string& a : args) {
        if (!options_end && (a == "-h" || a == "--help")) return {DesktopAction::Help, {}, {}};
        if (!options_end && (a == "-v" || a == "--version")) return {DesktopAction::Version, {}, {}};
        if (!options_end && a == "--") {
            options_end = true;
            continue;
        }
        if (!options_end && a.size() > 1 && a[0] == '-') {
            r.action = DesktopAction::BadUsage;
            r.message = "unknown option " + a;
            continue;
        }
        if (!r.file.empty()) {
            r.action = DesktopAction::BadUsage;
            r.message = "more than one file given";
            continue;
        }
        r.file = a;
    }
    if (r.action == DesktopAction::BadUsage) r.file.clear();
    return r;
}

std::string desktop_usage() {
    return "usage: veltrane [FILE]\n"
           "  Opens the Veltrane window and loads FILE: a Gamepak image (.sfc, .smc, .swc, .fig,\n"
           "  split or interleaved images), a save state or a real-time save (.rts).\n"
           "  Without FILE the built-in demo cartridge runs.\n"
           "  -h, --help     print this help and exit\n"
           "  -v, --version  print the version and exit\n"
           "Keys while playing: Pause pauses, \\ advances one frame while paused, F1-F10 load and\n"
           "  Shift+F1-F10 save quick slots 1-10, hold Backspace to rewind, hold Tab to fast-forward\n"
           "  (Shift+Tab toggles), F11 or Alt+Enter for full screen, Escape leaves full screen and\n"
           "  releases the mouse, Ctrl+Q quits.\n"
           "The headless runner is veltrane-cli (see veltrane-cli --help).\n";
}

std::string desktop_version_text(const std::string& version) { return "Veltrane " + version + "\n"; }

}  // namespace vt
