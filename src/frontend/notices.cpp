#include "frontend/notices.h"

#include "cart/image_files.h"

namespace vt {

std::string png_saved_notice(const std::string& path) { return "Saved picture " + path_file_name(path); }

std::string backup_ram_saved_notice(const std::string& path) { return "Saved BackupRAM " + path_file_name(path); }

std::string rts_saved_notice(const std::string& path) { return "Saved real-time save " + path_file_name(path); }

std::string state_saved_notice(const std::string& path) { return "Saved state " + path_file_name(path); }

std::string state_loaded_notice(const std::string& path) { return "Loaded state " + path_file_name(path); }

std::string quick_saved_notice(int slot, const std::string& path) {
    return "Saved slot " + std::to_string(slot) + ": " + path_file_name(path);
}

std::string quick_loaded_notice(int slot, const std::string& path) {
    return "Loaded slot " + std::to_string(slot) + ": " + path_file_name(path);
}

std::string quick_slot_empty_notice(int slot) { return "Slot " + std::to_string(slot) + " is empty"; }

std::string rewind_empty_notice() { return "No further rewind history"; }

}  // namespace vt
