// Where a screen capture goes: beside the cartridge image, or in the
// capture folder, named after the image and never replacing an earlier
// capture ("game.png", "game (2).png", "game (3).png", ...).
#pragma once

#include <filesystem>

namespace vt {

// image_path: the loaded cartridge image; capture_folder: the "CapturePath"
// setting, empty for "beside the image".
std::filesystem::path choose_capture_path(const std::filesystem::path& image_path,
                                          const std::filesystem::path& capture_folder);

}  // namespace vt
