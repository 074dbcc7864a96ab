// The State Manager's listing of a cartridge's 100 save-state slots and the
// texts of its information grid, without any window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/state_file.h"

namespace vt {

struct StateSlot {
    int number = 0;
    std::string name;  // "S00" ... "S99"
    std::string path;
    bool used = false;  // the file exists and starts with "BPS2"
    StateMetadata metadata;
};

// Slot name as the grid shows it.
std::string state_slot_name(int slot);

// The 100 slots of an image: their files in `state_folder` (next to the
// image when empty) and the metadata of those that hold a state.
std::vector<StateSlot> list_state_slots(const std::string& image_path, const std::string& state_folder);

// The description the State Properties dialog offers for a save.
std::string save_description_for(const StateSlot& slot);

// Information grid rows.
struct StateInfoRows {
    std::string author;
    std::string date;
    std::string product;
    std::string version;
};
StateInfoRows state_info_rows(const StateSlot& slot);

// "YYYY-MM-DD HH:MM:SS" from a DOS date-time stamp (date in the high word).
std::string dos_date_time_text(uint32_t stamp);

}  // namespace vt
