// Mode 7: BG1 as a rotated and scaled 1024 x 1024 plane. The start of each
// line's walk comes from a table rebuilt only after a parameter changed;
// a line then costs two additions per pixel. VRAM words 0-0x3FFF hold the
// plane: the low bytes are a 128 x 128 map of tile numbers, the high bytes
// the tiles' 8-bit pixels (64 per tile).
#include <algorithm>
#include <cstring>

#include "core/machine.h"
#include "video/render.h"

namespace vt {

namespace {

// M7HOFS - M7X (or M7VOFS - M7Y) as the plane sees it: ten bits of offset
// with bit 12 as the sign.
int32_t plane_offset(int32_t value) { return (value & 0x3FF) - ((value & 0x1000) ? 0x400 : 0); }

// A 16-bit register value as a 13-bit signed number.
int32_t signed13(int32_t value) { return (value & 0xFFF) - ((value & 0x1000) ? 0x1000 : 0); }

void build_line_starts(Ppu& p) {
    const int32_t a = p.m7_signed[0], b = p.m7_signed[1], c = p.m7_signed[2], d = p.m7_signed[3];
    const int32_t centre_x = signed13(p.m7_signed[4]);
    const int32_t centre_y = signed13(p.m7_signed[5]);
    const int32_t hs = plane_offset(p.m7_hofs - p.m7_signed[4]);
    const int32_t vs = plane_offset(p.m7_vofs - p.m7_signed[5]);
    int32_t x = centre_x * 256 + a * hs + b * vs;
    int32_t y = centre_y * 256 + c * hs + d * vs;
    for (int n = 0; n < 256; n++) {
        p.m7_start_x[n] = x;
        p.m7_start_y[n] = y;
        x += b;
        y += d;
    }
    p.m7_changed = false;
}

// The plane's pixel at (px, py), both 0-1023.
inline uint8_t plane_pixel(const Ppu& p, int32_t px, int32_t py) {
    const uint8_t tile = p.vram_lo[((py & 0x3F8) << 4) | ((px & 0x3F8) >> 3)];
    return p.vram_hi[(tile << 6) | ((py & 7) << 3) | (px & 7)];
}

// What lies outside the plane, by M7SEL bits 7-6.
enum class Outside { Wrap, Transparent, Tile0 };

// Walks 256 pixels from (x, y) in steps of (dx, dy), storing them from the
// left, or from the right for a mirrored line.
template <Outside Over, bool Mirrored>
void walk_plane(const Ppu& p, uint8_t* out, int32_t x, int32_t y, int32_t dx, int32_t dy) {
    for (int i = 0; i < 256; i++, x += dx, y += dy) {
        const int32_t px = x >> 8;
        const int32_t py = y >> 8;
        uint8_t pixel;
        if constexpr (Over == Outside::Wrap) {
            pixel = plane_pixel(p, px, py);
        } else if constexpr (Over == Outside::Transparent) {
            const bool inside = uint32_t(x) < 0x40000 && uint32_t(y) < 0x40000;
            pixel = inside ? plane_pixel(p, px, py) : 0;
        } else {
            const bool inside = uint32_t(px) < 0x400 && uint32_t(py) < 0x400;
            pixel = inside ? plane_pixel(p, px, py) : p.vram_hi[((py & 7) << 3) | (px & 7)];
        }
        out[Mirrored ? 255 - i : i] = pixel;
    }
}

using PlaneWalker = void (*)(const Ppu&, uint8_t*, int32_t, int32_t, int32_t, int32_t);

// Indexed by the M7SEL routine number: horizontal flip x 4 + bit 7 x 2 + bit 6.
constexpr PlaneWalker kWalkers[8] = {
    &walk_plane<Outside::Wrap, false>,        &walk_plane<Outside::Tile0, false>,
    &walk_plane<Outside::Transparent, false>, &walk_plane<Outside::Tile0, false>,
    &walk_plane<Outside::Wrap, true>,         &walk_plane<Outside::Tile0, true>,
    &walk_plane<Outside::Transparent, true>,  &walk_plane<Outside::Tile0, true>,
};

// EXTBG: BG2 shows BG1's pixels; bit 7 of a pixel picks the "hi" entry of
// each layer in the priority order.
void copy_plane_to_bg2(Ppu& p) {
    const uint8_t* colour = p.bg[0].colour.data() + kLinePad;
    uint8_t* flags1 = p.bg[0].flags.data() + kLinePad;
    for (int x = 0; x < 256; x++) flags1[x] = colour[x] >> 7;
    std::memcpy(p.bg[1].colour.data() + kLinePad, colour, 256);
    std::memcpy(p.bg[1].flags.data() + kLinePad, flags1, 256);
}

}  // namespace

void mode7_draw_line(Machine& m, int bg) {
    Ppu& p = m.ppu;
    BgLayer& layer = p.bg[bg];
    if (p.m7_changed) build_line_starts(p);
    int n = (m.timing.line & 0xFF) ^ p.m7_vflip_mask;
    n = kMosaicMaps[layer.mosaic][n];
    uint8_t* colour = layer.colour.data() + kLinePad;
    kWalkers[p.m7_routine](p, colour, p.m7_start_x[n], p.m7_start_y[n], p.m7_signed[0], p.m7_signed[2]);
    if (layer.mosaic) apply_horizontal_mosaic(colour, layer.mosaic + 1, 256);
}

void render_mode7(Machine& m) {
    Ppu& p = m.ppu;
    const uint8_t shown = p.tm | p.ts;
    // The plane is drawn whenever BG1 or BG2 is on either screen; BG2 only
    // ever shows it through EXTBG.
    if (shown & 3) mode7_draw_line(m, 0);
    const bool extbg = p.setini & 0x40;
    const bool main_extbg = extbg && (p.tm & 2);
    const bool sub_extbg = extbg && (p.ts & 2);
    if (main_extbg || sub_extbg) copy_plane_to_bg2(p);
    const ModeInfo& plain = mode_info(p.mode_index);
    render_narrow_line(m, main_extbg ? mode7_extbg_info() : plain, sub_extbg ? mode7_extbg_info() : plain);
}

}  // namespace vt
