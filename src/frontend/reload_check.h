// Noticing that the loaded Gamepak file changed on disk: when the program
// becomes active again it compares the file's date with the one it saw last
// and offers to reload.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace vt {

inline constexpr const char* kReloadCaption = "Gamepak Properties";
inline constexpr const char* kReloadQuestion = "Veltrane has detected changes to the gamepak. Reload?  ";

struct ReloadCheck {
    std::string path;  // the loaded Gamepak file
    uint32_t date = 0; // its date when last checked
    bool armed = false;
};

// Date of a file in seconds, 0 when it cannot be read.
using FileDateReader = std::function<uint32_t(const std::string&)>;

// After a load: watch this file from now on.
void reload_check_watch(ReloadCheck& rc, const std::string& path, uint32_t date);

// On activation. Disarms the check while it runs (the question itself
// deactivates and reactivates the program) and stores the file's new date.
// Returns true when the file changed and the user is to be asked; call
// reload_check_rearm afterwards in every case.
bool reload_check_on_activate(ReloadCheck& rc, bool gamepak_loaded, const FileDateReader& date_of);
void reload_check_rearm(ReloadCheck& rc);

}  // namespace vt
