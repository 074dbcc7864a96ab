// What the state inspector's NES "PPU" page shows, as text: the decoded
// settings, the eight registers and the 64 sprites. Read without side
// effects.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "nes/nes_ppu.h"

namespace vt {

struct NesPpuText {
    std::string key;
    std::string value;
};

// "Screen Size" ("32x32", "64x32", "32x64" or "64x64" from the nametable
// layout the mapper chose), "Screen Base Address", "Screen Name Address",
// "Screen Clipping", "Screen Visible", "Sprite Size", "Sprite Base Address",
// "Sprite Clipping", "Sprite Visible".
std::vector<NesPpuText> nes_ppu_settings(const NesPpu& p);
// The values of $2000-$2007 in order: control, mask, status as a read would
// see it, OAM address, the OAM byte there, the scroll (x,y from t and fine
// x), the VRAM address v, the read buffer.
std::array<std::string, 8> nes_ppu_register_values(const NesPpu& p);
// One row per sprite: "#", "X", "Y", "Tile", "Attributes".
inline constexpr const char* kNesSpriteColumns[] = {"#", "X", "Y", "Tile", "Attributes"};
std::vector<std::array<std::string, 5>> nes_ppu_sprite_rows(const NesPpu& p);

}  // namespace vt
