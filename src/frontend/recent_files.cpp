#include "frontend/recent_files.h"

#include <algorithm>

#include "cart/image_files.h"

namespace vt {

void add_recent_file(RecentFiles& list, const std::string& path, uint8_t icon) {
    auto& e = list.entries;
    e.erase(std::remove_if(e.begin(), e.end(), [&](const RecentFile& f) { return f.path == path; }), e.end());
    e.insert(e.begin(), RecentFile{path, icon});
    if (e.size() > size_t(kRecentFileCount)) e.resize(kRecentFileCount);
}

uint8_t recent_icon_for(const Cartridge& c) {
    if (c.nes) return kIconNes;
    if (c.coprocessor != kCoprocNone) return kIconCoprocessor;
    if (c.has_battery) return kIconBattery;
    return kIconGamepak;
}

std::string recent_caption(const std::string& path) { return path_file_name(path); }

}  // namespace vt
