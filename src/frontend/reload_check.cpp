#include "frontend/reload_check.h"

namespace vt {

void reload_check_watch(ReloadCheck& rc, const std::string& path, uint32_t date) {
    rc.path = path;
    rc.date = date;
}

bool reload_check_on_activate(ReloadCheck& rc, bool gamepak_loaded, const FileDateReader& date_of) {
    if (!gamepak_loaded || !rc.armed || rc.path.empty()) return false;
    rc.armed = false;
    uint32_t now = date_of(rc.path);
    if (now == 0) return false;  // the file cannot be read: no question
    bool changed = now != rc.date;
    rc.date = now;
    return changed;
}

void reload_check_rearm(ReloadCheck& rc) { rc.armed = true; }

}  // namespace vt
