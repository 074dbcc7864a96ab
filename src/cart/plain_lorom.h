// A minimal LoROM mapping for plain images: ROM in the upper half of every
// bank and in both halves of banks $40-$7D and $C0-$FF, work RAM and the
// system pages, then power-on.
#pragma once

#include <cstdint>
#include <vector>

namespace vt {

struct Machine;

// Returns false (and leaves the machine alone) when the image is empty or
// larger than 4 MiB.
bool load_plain_lorom(Machine& m, const std::vector<uint8_t>& image, uint8_t wram_fill = 0x55);

}  // namespace vt
