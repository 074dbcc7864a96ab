// The Reload list: the last ten Gamepak files, most recent first, each with
// the kind of icon its menu item shows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cart/cartridge.h"

namespace vt {

inline constexpr int kRecentFileCount = 10;

// Icon kinds stored in "ReloadIcons".
enum RecentIcon : uint8_t {
    kIconGamepak = 0,    // a plain cartridge
    kIconBattery = 1,    // a cartridge with battery RAM
    kIconCoprocessor = 2,// a cartridge with a coprocessor
    kIconNes = 3,        // an NES image
};
inline constexpr int kRecentIconKinds = 4;

struct RecentFile {
    std::string path;
    uint8_t icon = kIconGamepak;
};

struct RecentFiles {
    std::vector<RecentFile> entries;  // at most kRecentFileCount
};

// Puts `path` at the top; an entry already in the list moves there, the
// eleventh falls off.
void add_recent_file(RecentFiles& list, const std::string& path, uint8_t icon);
// The icon of a loaded cartridge.
uint8_t recent_icon_for(const Cartridge& c);
// The menu caption: the file name without its folder.
std::string recent_caption(const std::string& path);

}  // namespace vt
