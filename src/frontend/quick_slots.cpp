#include "frontend/quick_slots.h"

#include "state/state_file.h"

namespace vt {

int quick_slot_for_key(uint8_t vk) {
    constexpr uint8_t kF1 = 112;
    if (vk >= kF1 && vk < kF1 + kQuickSlotCount) return vk - kF1 + 1;
    return 0;
}

std::string quick_slot_path(const std::string& image_path, const std::string& state_folder, int slot) {
    return state_slot_path(image_path, state_folder, slot);
}

std::string quick_save_description(int slot) { return std::string(kQuickSaveDescriptionPrefix) + " " + std::to_string(slot); }

}  // namespace vt
