// The NES colours: the picture unit outputs a composite signal, not RGB, so
// the 64 colour numbers (and their eight emphasis variants) are turned into
// blue-green-red bytes once, by decoding the signal each number produces.
#pragma once

#include <cstdint>

namespace vt {

// One colour as it is stored in the picture: blue in bits 0-7, green in
// 8-15, red in 16-23 (the byte order of the picture rows).
using NesColour = uint32_t;

// kNesColourTable[emphasis][colour]: emphasis is $2001 bits 5-7 shifted
// down (bit 0 red, bit 1 green, bit 2 blue), colour the 6-bit number.
struct NesColourTable {
    NesColour colour[8][64];
};
const NesColourTable& nes_colour_table();

}  // namespace vt
