// Over-dumped images: copies of an image that carry repeated halves or a
// copier's fill pattern after the real data. The loader finds the real
// size and builds the corrected image; the program asks the user whether to
// write it.
#pragma once

#include <cstdint>
#include <vector>

#include "cart/cartridge.h"

namespace vt {

// Number of slots (LoROM: 32 KiB blocks) that hold real data, found within
// the first `mirrored_slots` slots of the loaded ROM buffer.
uint32_t overdump_real_slots(const Cartridge& c);

// The corrected image: the first `slots` slots (LoROM: their upper 32 KiB,
// HiROM: all 64 KiB), after a Super Wildcard header when asked for.
std::vector<uint8_t> overdump_corrected_image(const Cartridge& c, uint32_t slots, bool with_ffe_header);

}  // namespace vt
