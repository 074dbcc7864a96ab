#include "frontend/battery_keeper.h"

#include <algorithm>
#include <cstring>

#include "cart/cartridge.h"
#include "state/atomic_file.h"

namespace vt {

namespace {

// The part of the battery RAM buffer the game can reach: its size, or the
// four 32 KiB windows some LoROM boards give their banks. Comparing 128 KiB
// once a second costs microseconds.
constexpr size_t kMinCompared = 128 * 1024;

size_t sram_bytes(const Cartridge& c) {
    return c.has_battery ? std::min<size_t>(std::max<size_t>(c.sram_size, kMinCompared), c.sram.size()) : 0;
}

size_t bsx_bytes(const Cartridge& c) { return is_satellaview(c) ? c.bsx_ram.size() : 0; }

// "<path>: <reason>" for a file that could not be written: creating its
// temporary file again tells why (a missing folder, no permission, a full disk).
std::string why_not_written(const std::string& path) {
    AtomicFile probe;
    if (probe.open(path)) return path + ": the file could not be written";
    return path + ": " + probe.error();
}

bool differs(const std::vector<uint8_t>& kept, const std::vector<uint8_t>& now, size_t size) {
    // A cartridge without the RAM has empty buffers, whose data() may be null.
    return kept.size() != size || (size != 0 && std::memcmp(kept.data(), now.data(), size) != 0);
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
    const bool writes_file = c.has_battery && !c.image_path.empty();
    // battery_save keeps the file rules (formats, "BS-X.SRM", files that
    // must not be replaced); the keeper adds when, and names what failed.
    const BatterySaveResult saved = battery_save(c, folders);
    if (saved.ok) {
        result.written = writes_file || is_satellaview(c);
        remember(c);
        last_problem_.clear();
        return result;
    }
    result.ok = false;
    result.message = saved.message;
    result.problem = writes_file ? why_not_written(battery_file_path(c, folders)) : kBsxSramFileName;
    last_problem_ = result.problem;
    return result;
}

bool BatteryKeeper::due(double now) {
    if (last_check_ >= 0.0 && now - last_check_ < kBatteryCheckSeconds) return false;
    last_check_ = now;
    return true;
}

}  // namespace vt
