// The inspector's "PPU" (NES) page as data: the decoded picture-unit
// settings, the $2000-$2007 grid and the sprite memory, for the window to
// show and the tests to check.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "debug/inspector_data.h"

namespace vt {

struct Machine;

// "Screen Size", "Screen Base Address", "Screen Name Address", "Screen
// Clipping", "Screen Visible", "Sprite Size", "Sprite Base Address",
// "Sprite Clipping", "Sprite Visible".
Grid nes_ppu_settings(const Machine& m);
// "2000 PPUCNT0" and its value, ... "2007 PPUDATA" (the read buffer).
Grid nes_ppu_register_grid(const Machine& m);
// 64 rows: sprite number, X, Y, tile, attributes (palette, priority, flips).
std::vector<std::array<std::string, 4>> nes_sprite_grid(const Machine& m);

}  // namespace vt
