// Short confirmations the desktop program shows over the picture for a few
// seconds (files written and read, quick-save slots), and the texts of
// its on-screen indicators. Each names the file concerned without its
// folder.
#pragma once

#include <string>

namespace vt {

// Seconds a notice stays on screen.
inline constexpr double kNoticeSeconds = 3.0;

inline constexpr const char* kPausedIndicator = "Paused";
inline constexpr const char* kRewindIndicator = "Rewind";
inline constexpr const char* kFastForwardIndicator = "Fast Forward";

std::string png_saved_notice(const std::string& path);          // "Saved picture Game.png"
std::string backup_ram_saved_notice(const std::string& path);   // "Saved BackupRAM Game.srm"
std::string rts_saved_notice(const std::string& path);          // "Saved real-time save Game.rts"
std::string state_saved_notice(const std::string& path);        // "Saved state Game.S03"
std::string state_loaded_notice(const std::string& path);       // "Loaded state Game.S03"
std::string quick_saved_notice(int slot, const std::string& path);   // "Saved slot 3: Game.S03"
std::string quick_loaded_notice(int slot, const std::string& path);  // "Loaded slot 3: Game.S03"
std::string quick_slot_empty_notice(int slot);                  // "Slot 3 is empty"
std::string rewind_empty_notice();                              // nothing further back

}  // namespace vt
