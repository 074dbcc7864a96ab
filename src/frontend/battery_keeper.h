// Keeps battery RAM files in step with the game. The keeper remembers the
// battery RAM as it was last read from or written to its file, so that:
//  - changes the game makes are written within seconds while it runs (the
//    program asks `due` about once a second and writes when it changed),
//    so a crash or power loss costs at most seconds of play;
//  - battery RAM that a loaded state brought in is not written over the
//    game's file, at exit or in between, until the game itself writes to
//    battery RAM again (or the user saves it on purpose);
//  - every write goes through a temporary file and a rename, and a failure
//    names the file and the reason.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/battery_ram.h"

namespace vt {

struct Cartridge;

// Seconds between two looks at battery RAM while frames run.
inline constexpr double kBatteryCheckSeconds = 1.0;

struct BatteryWrite {
    bool ok = true;
    bool written = false;  // a file was written
    std::string message;   // kSaveBackupRamFailed when a file could not be written
    std::string problem;   // the file and the reason, "<path>: <reason>"
};

class BatteryKeeper {
public:
    // A cartridge was loaded: its battery RAM is what its file held.
    void remember(const Cartridge& c);
    // A state was loaded. Battery RAM that it changed is the state's, not
    // the game's: it stays off disk until the game writes to it.
    void state_loaded(const Cartridge& c);

    // The game changed battery RAM since it was last read or written.
    bool changed(const Cartridge& c) const;
    // Whether closing (or loading another image) writes the file: always,
    // unless battery RAM holds a state's content the game has not touched.
    bool write_at_close(const Cartridge& c) const;

    // Writes "BS-X.SRM" (Satellaview) and the battery RAM file (cartridges
    // with a battery) and remembers what was written.
    BatteryWrite write(const Cartridge& c, const BatteryFolders& folders);

    // Whether a check is due at `now` (seconds); starts a new period when it is.
    bool due(double now);

    // The last failure of a write, empty after a success.
    const std::string& last_problem() const { return last_problem_; }

private:
    std::vector<uint8_t> sram_;  // battery RAM as its file holds it (sram_size bytes)
    std::vector<uint8_t> bsx_;   // the same for the Satellaview's memory pack RAM
    bool from_state_ = false;    // battery RAM holds a state's content the game has not touched
    double last_check_ = -1.0;
    std::string last_problem_;
};

}  // namespace vt
