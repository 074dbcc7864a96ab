#include "frontend/state_slots.h"

#include <cstdio>

namespace vt {

std::string state_slot_name(int slot) {
    char name[8];
    std::snprintf(name, sizeof name, "S%02d", slot);
    return name;
}

std::vector<StateSlot> list_state_slots(const std::string& image_path, const std::string& state_folder) {
    std::vector<StateSlot> slots(kStateSlots);
    for (int n = 0; n < kStateSlots; n++) {
        StateSlot& s = slots[size_t(n)];
        s.number = n;
        s.name = state_slot_name(n);
        s.path = state_slot_path(image_path, state_folder, n);
        s.used = read_state_metadata(s.path, s.metadata);
        if (!s.used) s.metadata = StateMetadata{};
    }
    return slots;
}

std::string save_description_for(const StateSlot& slot) {
    if (!slot.used || slot.metadata.description.empty()) return kQuickSaveDescription;
    return slot.metadata.description;
}

StateInfoRows state_info_rows(const StateSlot& slot) {
    StateInfoRows rows;
    if (!slot.used) return rows;
    rows.author = slot.metadata.author;
    rows.date = dos_date_time_text(slot.metadata.dos_date_time);
    rows.product = slot.metadata.product;
    rows.version = state_version_text(slot.metadata);
    return rows;
}

std::string dos_date_time_text(uint32_t stamp) {
    unsigned date = stamp >> 16, time = stamp & 0xFFFF;
    unsigned year = 1980 + (date >> 9), month = (date >> 5) & 15, day = date & 31;
    unsigned hour = time >> 11, minute = (time >> 5) & 63, second = (time & 31) * 2;
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", year, month, day, hour, minute, second);
    return text;
}

}  // namespace vt
