// The formulas behind the shared graphics of the video test cartridges
// (tests/roms/include/video_data.inc), repeated here.
#pragma once

#include <cstdint>

namespace vt::test {

inline int formula_tile_pixel(int tile, int column, int line, int bpp) {
    if (((column + line * 3 + tile) & 3) == 0) return 0;
    return (tile * 3 + column + line * 5) & ((1 << bpp) - 1);
}

inline uint16_t formula_map_entry(int column, int row) {
    return uint16_t(((column * 5 + row * 3) & 31) | (((column + row * 2) & 7) << 10) |
                    ((((column >> 2) + row) & 1) << 13) | ((((column + row) / 3) & 1) << 14) |
                    ((((column * 3 + row) / 5) & 1) << 15));
}

inline uint16_t formula_offset_entry(int column, int row) {
    uint16_t v = uint16_t((column * 13 + row * 7) & 0x3FF);
    if ((column + row) % 3 == 0) v |= 0x2000;
    if (((column * row) & 3) == 1) v |= 0x4000;
    if (column & 2) v |= 0x8000;
    return v;
}

inline uint16_t formula_colour(int i) {
    return uint16_t((i & 31) | (((i * 3 + 7) & 31) << 5) | (((i * 5 + 11) & 31) << 10));
}

// Word addresses of the shared graphics in VRAM.
inline constexpr int kVramTiles2 = 0x0000;
inline constexpr int kVramTiles4 = 0x1000;
inline constexpr int kVramTiles8 = 0x2000;
inline constexpr int kVramMap64 = 0x6000;
inline constexpr int kVramOffsetMap = 0x7400;

}  // namespace vt::test

namespace vt::test {

// A pixel of the sprite sheet (256 tiles of 4 bits per pixel) of the
// sprite and Mode 7 cartridges.
inline int formula_sprite_pixel(int tile, int column, int line) {
    if (((column + line * 3 + tile + (tile >> 4)) & 3) == 0) return 0;
    return (tile * 3 + (tile >> 4) * 7 + column + line * 5) & 15;
}

}  // namespace vt::test
