// The built-in demo cartridge: the program's default content when it is
// started without an image. The image is built from demo/ with the project
// and carried inside the program; it is loaded like an image file named
// "veltrane-demo.sfc" in the demo's data folder, so that its battery RAM
// file ("veltrane-demo.srm") is kept there, unless the user has chosen a
// BackupRAM folder, which then holds it as for any cartridge.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "cart/loader.h"

namespace vt {

struct Machine;

inline constexpr const char* kDemoImageFileName = "veltrane-demo.sfc";

// The demo's image: a 128 KiB LoROM cartridge with 2 KiB of battery RAM.
const uint8_t* demo_cartridge_image();
size_t demo_cartridge_size();

// The folder for the demo's battery RAM: the program's data folder
// (data_folder.h); empty when there is none (the current folder is then used).
std::string default_demo_data_folder();

// Loads the demo as the image "veltrane-demo.sfc" in `data_folder`,
// creating the folder when it is missing. Files other than the image (the
// game database, "autoexec.bin") are read through options.read_file as
// usual. The result is the loader's.
LoadResult load_builtin_demo(Machine& m, const LoadOptions& options, const std::string& data_folder);

}  // namespace vt
