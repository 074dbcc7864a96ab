// The picture unit's line renderer, shared by nes_ppu.cpp (which calls it
// at the start of every visible line) and the tests.
#pragma once

#include <cstdint>

#include "nes/nes_ppu.h"

namespace vt {

// Composes visible line `line` (0-239) from the current registers, the
// scroll address v and OAM into 256 palette indices (0-31), sets the
// overflow flag and the dot of a sprite-zero hit, and, when `picture` is
// not null, writes the two output rows of the line.
void nes_ppu_render_line(NesPpu& p, uint16_t line, uint8_t* picture);

}  // namespace vt
