// Quick saves: F1-F10 load and Shift+F1-F10 save slots 1-10 of the loaded
// cartridge without a dialog. They are the State Manager's slots S01-S10,
// so descriptions and thumbnails can be looked at and changed there.
#pragma once

#include <cstdint>
#include <string>

namespace vt {

inline constexpr int kQuickSlotCount = 10;
// Description of a state saved by a quick save.
inline constexpr const char* kQuickSaveDescriptionPrefix = "Quick Save";

// F1-F10 (virtual-key codes 112-121) name slots 1-10; 0 for any other key.
int quick_slot_for_key(uint8_t vk);

// The state file of quick slot 1-10.
std::string quick_slot_path(const std::string& image_path, const std::string& state_folder, int slot);
// "Quick Save 3".
std::string quick_save_description(int slot);

}  // namespace vt
