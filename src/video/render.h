// Pieces of the line renderer shared by its files: the per-mode
// descriptions, the layer drawers, the window masks and the screen
// composition.
#pragma once

#include <array>
#include <cstdint>

#include "video/ppu.h"

namespace vt {

// What a BG mode draws and how its layers stack. Layers are composed with
// a depth per (layer, priority) taken from the mode's front-to-back list:
// the front entry gets the highest depth and the backdrop 0, so the first
// opaque, unmasked pixel of the walk is the one with the greatest depth.
struct ModeInfo {
    uint8_t layers = 0x10;                  // bit n: BGn+1 drawn; bit 4: OBJ
    std::array<uint8_t, 4> depth{};         // bits per pixel (0: no such layer)
    std::array<uint8_t, 4> colour_offset{}; // mode 0 gives each layer its own palettes
    std::array<uint8_t, 4> opacity{};       // transparency test: value & opacity == 0
    std::array<std::array<uint8_t, 2>, 4> z_bg{};  // [layer][priority bit]
    std::array<uint8_t, 4> z_obj{};                // [sprite priority]
    std::array<uint8_t, 4> source{1, 2, 3, 4};     // colour source tag of each layer's pixels
    bool offset_per_tile = false;  // modes 2 and 4: BG3 supplies per-column scroll
    bool direct_colour = false;    // modes 3, 4 and 7: BG1 may bypass CGRAM
    bool pseudo_hires = false;     // SETINI bit 3 works in every mode but the hi-res 5 and 6
    LineRenderer render = nullptr;
};

const ModeInfo& mode_info(uint8_t mode_index);
// Mode 7 on a screen that shows EXTBG: BG2 repeats BG1's pixels, bit 7 of
// a pixel is its priority, and both layers stack in their own order.
const ModeInfo& mode7_extbg_info();

// Mosaic maps: table n maps a line to the first line of its block of n + 1
// lines, plus one; table 0 is the identity.
extern const std::array<std::array<uint8_t, 256>, 16> kMosaicMaps;

// The direct-colour palette of 8-bit BG1 pixels, and the same for EXTBG
// pixels (entry i is the direct colour of i & 0x7F).
extern const std::array<PixelColour, 256> kDirectColours;
extern const std::array<PixelColour, 256> kDirectColoursLowHalf;

// Copies the first pixel of each block of `block` pixels over the block.
void apply_horizontal_mosaic(uint8_t* colour, int block, int width);

// --- layers (background.cpp)
LayerDrawer select_layer_drawer(uint8_t mode_index, int bg, bool tile16);
// Reads the offset-per-tile entries of the line from BG3's tilemap.
void fetch_offset_source(Machine& m);
// VRAM word address of tilemap entry (column, row) of a layer.
uint16_t map_entry_address(const BgLayer& bg, int column, int row);

// --- tile cache (background.cpp)
void decode_tile(Ppu& p, uint16_t tile, int bpp);

template <int Bpp>
inline void ensure_tile_decoded(Ppu& p, uint16_t tile) {
    const uint8_t* s = &p.tile_state[tile >> 3];
    if constexpr (Bpp == 2) {
        if (s[0] != 1) decode_tile(p, tile, 2);
    } else if constexpr (Bpp == 4) {
        if (s[0] != 2 || s[1] != 2) decode_tile(p, tile, 4);
    } else {
        if (s[0] != 4 || s[1] != 4 || s[2] != 4 || s[3] != 4) decode_tile(p, tile, 8);
    }
}

// --- windows (windows.cpp)
void rebuild_mask(Ppu& p, int mask);
inline void refresh_mask(Ppu& p, int mask) {
    if (p.mask_dirty[mask]) rebuild_mask(p, mask);
}
// Marks the masks of the layers in layer_bits (bit 4 = OBJ) dirty on the
// screens whose TMW/TSW bit uses windows for them.
void mark_window_users_dirty(Ppu& p, uint8_t layer_bits);
void mark_all_masks_dirty(Ppu& p);

// --- screen composition (screen.cpp)
void render_line_normal(Machine& m);
void render_line_blank(Machine& m);
void render_narrow_mode(Machine& m);  // modes 0-4
// One 256-pixel line: draws the layers the screens need, stacks each
// screen in its own priority order (Mode 7's EXTBG order may differ
// between the screens), applies windows, clipping, colour math and
// brightness, and writes both rows of the line.
void render_narrow_line(Machine& m, const ModeInfo& main_order, const ModeInfo& sub_order);
void render_wide_mode(Machine& m);    // modes 5 and 6
void select_compose_routines(Ppu& p);

// --- sprites (sprites.cpp)
// Decodes the 128 sprite records from OAM and the OBJSEL derivations.
void decode_oam(Ppu& p);
// Lists the sprites on the line after line v (at most 32, in evaluation
// order); with `report` a longer list sets STAT77's range-over bit.
void evaluate_sprite_range(Ppu& p, int v, bool report);
// Draws the listed sprites into the sprite line for the current line.
void sprites_draw_line(Machine& m);

// --- mode 7 (mode7.cpp)
// Draws BG1's plane line into BG1's colour line.
void mode7_draw_line(Machine& m, int bg);
// The mode 7 line renderer: the plane, EXTBG's copy into BG2, and each
// screen stacked in the order its EXTBG setting asks for.
void render_mode7(Machine& m);

}  // namespace vt
