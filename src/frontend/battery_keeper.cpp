#include "frontend/battery_keeper.h"

#include <algorithm>
#include <cstring>

#include "cart/cartridge.h"
#include "state/atomic_file.h"

namespace vt {

namespace {

// The part of the battery RAM buffer the game can reach.
size_t sram_bytes(const Cartridge& c) {
    return c.has_battery ? std::min<size_t>(c.sram_size, c.sram.size()) : 0;
}

size_t bsx_bytes(const Cartridge& c) { return is_satellaview(c) ? c.bsx_ram.size() : 0; }

bool differs(const std::vector<uint8_t>& kept, const std::vector<uint8_t>& now, size_t size) {
    return kept.size() != size || std::memcmp(kept.data(), now.data(), size) != 0;
}

}  // namespace

void BatteryKeeper::remember(const Cartridge& c) {
    sram_.assign(c.sram.begin(), c.sram.begin() + ptrdiff_t(sram_bytes(c)));
    bsx_.assign(c.bsx_ram.begin(), c.bsx_ram.begin() + ptrdiff_t(bsx_bytes(c)));
    from_state_ = false;
}

void BatteryKeeper::state_loaded(const Cartridge& c) {
    if (!changed(c)) return;  // the state left battery RAM as it was
    // What is on disk stays the game's; memory now holds the state's.
    remember(c);
    from_state_ = true;
}

bool BatteryKeeper::changed(const Cartridge& c) const {
    return differs(sram_, c.sram, sram_bytes(c)) || differs(bsx_, c.bsx_ram, bsx_bytes(c));
}

bool BatteryKeeper::write_at_close(const Cartridge& c) const { return !from_state_ || changed(c); }

BatteryWrite BatteryKeeper::write(const Cartridge& c, const BatteryFolders& folders) {
    BatteryWrite result;
    std::string error;
    auto put = [&](const std::string& path, const std::vector<uint8_t>& bytes) {
        if (!result.ok) return;
        if (write_file_atomically(path, bytes, &error)) {
            result.written = true;
            return;
        }
        result.ok = false;
        result.message = kSaveBackupRamFailed;
        result.problem = path + ": " + error;
    };
    if (is_satellaview(c)) put(bsx_sram_path(folders), c.bsx_ram);
    if (c.has_battery && !c.image_path.empty()) put(battery_file_path(c, folders), battery_file_image(c, folders.format));
    if (result.ok) {
        remember(c);
        last_problem_.clear();
    } else {
        last_problem_ = result.problem;
    }
    return result;
}

bool BatteryKeeper::due(double now) {
    if (last_check_ >= 0.0 && now - last_check_ < kBatteryCheckSeconds) return false;
    last_check_ = now;
    return true;
}

}  // namespace vt
