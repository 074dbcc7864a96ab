#include "video/reference_renderer.h"

#include <algorithm>

namespace vt::test {

namespace {

struct Colour {
    int r = 0, g = 0, b = 0;  // 5-bit, or out of range after colour math
};

Colour from_bgr15(uint16_t w) { return {w & 31, (w >> 5) & 31, (w >> 10) & 31}; }

int mode_of(const RefState& s) { return s.bgmode & 7; }

int depth_of(const RefState& s, int n) {
    static const int kDepth[8][4] = {{2, 2, 2, 2}, {4, 4, 2, 0}, {4, 4, 0, 0}, {8, 4, 0, 0},
                                     {8, 2, 0, 0}, {4, 2, 0, 0}, {4, 0, 0, 0}, {0, 0, 0, 0}};
    return kDepth[mode_of(s)][n];
}

bool wide_mode(const RefState& s) { return mode_of(s) == 5 || mode_of(s) == 6; }

int char_base(const RefState& s, int n) {
    const int nibble = n == 0 ? s.bg12nba & 15 : n == 1 ? s.bg12nba >> 4 : n == 2 ? s.bg34nba & 15 : s.bg34nba >> 4;
    return nibble << 12;
}

// Word address of tilemap entry (column, row) of layer n.
int map_address(const RefState& s, int n, int column, int row) {
    const int size = s.bgsc[n] & 3;
    int a = ((s.bgsc[n] & 0xFC) << 8) + (row & 31) * 32 + (column & 31);
    if ((column & 32) && (size == 1 || size == 3)) a += 0x400;
    if ((row & 32) && size == 2) a += 0x400;
    if ((row & 32) && size == 3) a += 0x800;
    return a & 0x7FFF;
}

// Pixel (px, py) of the 8x8 tile at word address `tile`, from the planes.
int tile_pixel(const RefState& s, int tile, int px, int py, int depth) {
    int value = 0;
    for (int k = 0; k < depth; k++) {
        const uint16_t word = s.vram[(tile + (k / 2) * 8 + py) & 0x7FFF];
        const int byte = (k & 1) ? word >> 8 : word & 0xFF;
        value |= ((byte >> (7 - px)) & 1) << k;
    }
    return value;
}

struct LayerPixel {
    int value = 0;  // colour index (pixel plus palette base), or the 8-bit pixel
    bool opaque = false;
    bool high = false;
};

int shift_of(int depth) { return depth == 2 ? 3 : depth == 4 ? 4 : 5; }

// The pixel of tilemap entry e at (px, py) within a tile of size (w x h):
// px 0-15 and py 0-15 pick the sub-tile for 16-pixel tiles.
LayerPixel entry_pixel(const RefState& s, int n, uint16_t e, int px, int py) {
    const int depth = depth_of(s, n);
    const int words = depth * 4;
    const int tile = (((e & 0x3FF) << shift_of(depth)) + char_base(s, n) + (px >= 8 ? words : 0) +
                      (py >= 8 ? 16 * words : 0)) & 0x7FFF;
    const int pixel = tile_pixel(s, tile, px & 7, py & 7, depth);
    LayerPixel out;
    out.opaque = pixel != 0;
    out.high = (e >> 13) & 1;
    const int offset = mode_of(s) == 0 ? 32 * n : 0;
    out.value = depth == 8 ? pixel : pixel + ((e >> 10) & 7) * (1 << depth) + offset;
    return out;
}

int mosaic_size(const RefState& s, int n) { return ((s.mosaic >> n) & 1) ? s.mosaic >> 4 : 0; }

int mosaic_line(const RefState& s, int n, int y) {
    const int size = mosaic_size(s, n);
    return size ? ((y / (size + 1)) * (size + 1) + 1) : y;
}

LayerPixel normal_pixel(const RefState& s, int n, int x, int line) {
    const bool big = (s.bgmode >> (4 + n)) & 1;
    const int size = big ? 16 : 8;
    const int v = (mosaic_line(s, n, line & 0xFF) & 0xFF) + s.vofs[n];
    const int h = x + s.hofs[n];
    const int vv = v & 0x3FF, hh = h & 0x3FF;
    const uint16_t e = s.vram[map_address(s, n, hh / size, vv / size)];
    int px = hh % size, py = vv % size;
    if ((e >> 14) & 1) px = size - 1 - px;
    if ((e >> 15) & 1) py = size - 1 - py;
    return entry_pixel(s, n, e, px, py);
}

LayerPixel offset_per_tile_pixel(const RefState& s, int n, int x, int line) {
    const bool big = (s.bgmode >> (4 + n)) & 1;
    const int shift = big ? 4 : 3;
    const int fine = s.hofs[n] & 7;
    const int c = (x + fine) / 8;
    const int i = (x + fine) % 8;
    int h = s.hofs[n], v = s.vofs[n];
    if (c > 0) {
        const int bg3_row = (s.vofs[2] & 0x3FF) >> ((s.bgmode & 0x40) ? 4 : 3);
        const int columns = (s.bgsc[2] & 1) ? 64 : 32;
        const uint16_t enable = uint16_t(0x2000 << n);
        if (mode_of(s) == 2) {
            const int column = ((s.hofs[2] & 0x3FF) / 8 + c - 1) % columns;
            const uint16_t eh = s.vram[map_address(s, 2, column, bg3_row)];
            const uint16_t ev = s.vram[map_address(s, 2, column, bg3_row + 1)];
            if (eh & enable) h = eh;
            if (ev & enable) v = ev;
        } else {
            const uint16_t e = s.vram[map_address(s, 2, (c - 1) % columns, bg3_row)];
            if (e & enable) {
                if (e & 0x8000) {
                    v = e & 0x1FFF;
                } else {
                    h = e & 0x1FFF;
                }
            }
        }
    }
    const int hv = (h + 8 * c) & 0x3FF;
    const int vv = (v + (mosaic_line(s, n, line & 0xFF) & 0xFF)) & 0x3FF;
    const uint16_t e = s.vram[map_address(s, n, hv >> shift, vv >> shift)];
    const bool hflip = (e >> 14) & 1, vflip = (e >> 15) & 1;
    int px = hflip ? 7 - i : i;
    int py = vflip ? 7 - (vv & 7) : vv & 7;
    if (big) {
        if (((hv >> 3) & 1) != hflip) px += 8;
        if (((vv >> 3) & 1) != vflip) py += 8;
    }
    return entry_pixel(s, n, e, px, py);
}

LayerPixel wide_pixel(const RefState& s, int n, int x, int line) {
    const bool big = (s.bgmode >> (4 + n)) & 1;
    const int height = big ? 16 : 8;
    int y = (s.setini & 1) ? line * 2 + (s.odd_field ? 1 : 0) : line;
    y = mosaic_line(s, n, y);
    const int vv = (y + s.vofs[n]) & 0x3FF;
    const int p = x + (s.hofs[n] & 7) * 2;
    const int column = ((s.hofs[n] & 0x3FF) >> 3) + p / 16;
    const uint16_t e = s.vram[map_address(s, n, column, vv / height)];
    int px = p % 16, py = vv % height;
    if ((e >> 14) & 1) px = 15 - px;
    if ((e >> 15) & 1) py = height - 1 - py;
    return entry_pixel(s, n, e, px, py);
}

LayerPixel layer_pixel(const RefState& s, int n, int x, int line) {
    if (wide_mode(s)) {
        const int size = mosaic_size(s, n);
        LayerPixel p = wide_pixel(s, n, x, line);
        if (size) {
            const int block = (size + 1) * 2;
            const LayerPixel first = wide_pixel(s, n, (x / block) * block, line);
            p.value = first.value;
            p.opaque = first.opaque;
        }
        return p;
    }
    auto sample = [&](int sx) {
        return (mode_of(s) == 2 || mode_of(s) == 4) && n < 2 ? offset_per_tile_pixel(s, n, sx, line)
                                                               : normal_pixel(s, n, sx, line);
    };
    LayerPixel p = sample(x);
    if (const int size = mosaic_size(s, n)) {
        // Mosaic repeats the colour of each block's first pixel; the
        // priority stays the pixel's own.
        const LayerPixel first = sample((x / (size + 1)) * (size + 1));
        p.value = first.value;
        p.opaque = first.opaque;
    }
    return p;
}

// --- windows

bool in_window(int left, int right, bool inverted, int x) {
    if (!inverted) {
        if (right > left) return x >= left && x <= right;
        if (right == left) return x == left && left >= 8 && left <= 247;
        return false;
    }
    if (left < right) return x > right || x < left;
    return true;
}

bool windows_cover(const RefState& s, int select, int logic, int x) {
    const bool on1 = select & 2, on2 = select & 8;
    const bool a = on1 && in_window(s.wh[0], s.wh[1], select & 1, x);
    const bool b = on2 && in_window(s.wh[2], s.wh[3], select & 4, x);
    if (on1 && on2) {
        switch (logic) {
            case 0: return a || b;
            case 1: return a && b;
            case 2: return a != b;
            default: return a == b;
        }
    }
    return a || b;
}

// Layer 0-3 BG, 4 OBJ.
bool layer_hidden(const RefState& s, int layer, bool sub, int x) {
    if (!(((sub ? s.ts : s.tm) >> layer) & 1)) return true;
    if (!(((sub ? s.tsw : s.tmw) >> layer) & 1)) return false;
    const int select = layer == 0 ? s.w12sel & 15 : layer == 1 ? s.w12sel >> 4 : layer == 2 ? s.w34sel & 15
                     : layer == 3 ? s.w34sel >> 4 : s.wobjsel & 15;
    const int logic = layer < 4 ? (s.wbglog >> (2 * layer)) & 3 : s.wobjlog & 3;
    return windows_cover(s, select, logic, x);
}

bool inside_colour_window(const RefState& s, int x) { return windows_cover(s, s.wobjsel >> 4, (s.wobjlog >> 2) & 3, x); }

// --- sprites

int sprite_size(const RefState& s, bool large) {
    static const int kSizes[8][2] = {{8, 16}, {8, 32}, {8, 64}, {16, 32}, {16, 64}, {32, 64}, {8, 16}, {8, 32}};
    return kSizes[s.objsel >> 5][large ? 1 : 0];
}

struct OamSprite {
    int x = 0, y = 0, tile = 0, attributes = 0, size = 8;
};

// Sprite i straight from the OAM bytes.
OamSprite oam_sprite(const RefState& s, int i) {
    const int high = (s.oam[512 + i / 4] >> (2 * (i % 4))) & 3;
    OamSprite o;
    o.x = s.oam[4 * i] + 256 * (high & 1);
    if (o.x > 256) o.x -= 512;
    o.y = s.oam[4 * i + 1];
    o.tile = s.oam[4 * i + 2];
    o.attributes = s.oam[4 * i + 3];
    o.size = sprite_size(s, high & 2);
    return o;
}

// The sprites found on the line before `line`, in evaluation order (all of
// them, before the cut to 32).
std::vector<int> sprites_in_range(const RefState& s, int line) {
    const int v = line - 1;
    const int first = (s.oamaddh & 0x80) ? s.oamaddl >> 1 : 0;
    std::vector<int> found;
    for (int k = 0; k < 128; k++) {
        const int i = (first + k) % 128;
        const OamSprite o = oam_sprite(s, i);
        const int height = (s.setini & 2) ? o.size / 2 : o.size;
        if (o.x + o.size > 0 && ((v - o.y) & 0xFF) < height) found.push_back(i);
    }
    return found;
}

bool column_off_screen(int column_x) { return (column_x & 0x100) && (column_x & 0xFF) <= 0xF8; }

// Walks the drawing of a line: the list from its end, every column that is
// not off the screen costing one of 34 slivers. visit(sprite, column, x)
// is called for each column drawn; returns false when the budget ran out.
template <typename Visit>
bool walk_sprite_columns(const RefState& s, int line, Visit visit) {
    std::vector<int> list = sprites_in_range(s, line);
    if (list.size() > 32) list.resize(32);
    int budget = 34;
    for (int k = int(list.size()) - 1; k >= 0; k--) {
        const OamSprite o = oam_sprite(s, list[k]);
        for (int c = 0; c < o.size / 8; c++) {
            const int column_x = o.x + 8 * c;
            if (column_off_screen(column_x)) continue;
            if (--budget < 0) return false;
            visit(o, c, column_x);
        }
    }
    return true;
}

// --- Mode 7

int floor_div256(int v) { return v >= 0 ? v / 256 : -((-v + 255) / 256); }

int sign13(int v) {
    v &= 0x1FFF;
    return v >= 0x1000 ? v - 0x2000 : v;
}

// The scroll minus the centre: ten bits, bit 12 the sign.
int plane_offset(int v) { return (v & 0x3FF) - ((v & 0x1000) ? 0x400 : 0); }

// --- priority walk

enum class Test { Any, TileHigh, Bit7 };

struct Entry {
    int layer;             // 0-3 BG, 4 OBJ
    Test test = Test::Any; // BG: which pixels this entry takes
    int obj_priorities = 0;  // OBJ: bit p set for sprite priority p
    bool drop_bit7 = false;  // Mode 7 EXTBG: the colour is the pixel without bit 7
};

bool extbg_on(const RefState& s, bool sub) { return (s.setini & 0x40) && (((sub ? s.ts : s.tm) >> 1) & 1); }

std::vector<Entry> priority_list(const RefState& s, bool sub) {
    auto obj = [](int priorities) { return Entry{4, Test::Any, priorities, false}; };
    auto hi = [](int n) { return Entry{n, Test::TileHigh, 0, false}; };
    auto lo = [](int n) { return Entry{n, Test::Any, 0, false}; };
    switch (mode_of(s)) {
        case 0:
            return {obj(8), hi(0), hi(1), obj(4), lo(0), lo(1), obj(2), hi(2), hi(3), obj(1), lo(2), lo(3)};
        case 1:
            if (s.bgmode & 8) return {hi(2), obj(8), hi(0), hi(1), obj(4), lo(0), lo(1), obj(3), lo(2)};
            return {obj(8), hi(0), hi(1), obj(4), lo(0), lo(1), obj(2), hi(2), obj(1), lo(2)};
        case 7:
            if (extbg_on(s, sub)) {
                return {obj(12), Entry{0, Test::Bit7, 0, true}, obj(2), Entry{0, Test::Any, 0, false},
                        Entry{1, Test::Bit7, 0, true}, obj(1), Entry{1, Test::Any, 0, false}};
            }
            return {obj(14), lo(0), obj(1)};
        default: return {obj(8), hi(0), obj(4), hi(1), obj(2), lo(0), obj(1), lo(1)};
    }
}

struct Resolved {
    bool found = false;  // false: the backdrop
    int layer = 5;       // 0-3 BG, 4 OBJ, 5 backdrop
    bool math_capable = true;  // sprites of palettes 0-3 never take part in math
    Colour colour;
};

Colour direct_colour(int v) { return {(v & 7) << 2, ((v >> 3) & 7) << 2, ((v >> 6) & 3) << 3}; }

Resolved resolve(const RefState& s, bool sub, int x, int mask_x, int line, const RefSpritePixel& sprite) {
    for (const Entry& e : priority_list(s, sub)) {
        if (layer_hidden(s, e.layer, sub, mask_x)) continue;
        Resolved r;
        r.found = true;
        r.layer = e.layer;
        if (e.layer == 4) {
            if (!sprite.present || !((e.obj_priorities >> sprite.priority) & 1)) continue;
            r.colour = from_bgr15(s.cgram[sprite.colour]);
            r.math_capable = sprite.colour >= 192;  // palettes 4-7
            return r;
        }
        if (mode_of(s) == 7) {
            if (e.layer > 1) continue;
            const int v = reference_mode7_pixel(s, line, x);
            if (v == 0 || (e.test == Test::Bit7 && !(v & 0x80))) continue;
            const int value = e.drop_bit7 ? v & 0x7F : v;
            r.colour = (e.layer == 0 && (s.cgwsel & 1)) ? direct_colour(value) : from_bgr15(s.cgram[value]);
            return r;
        }
        if (depth_of(s, e.layer) == 0) continue;
        const LayerPixel p = layer_pixel(s, e.layer, x, line);
        if (!p.opaque || (e.test == Test::TileHigh && !p.high)) continue;
        if (e.layer == 0 && (s.cgwsel & 1) && (mode_of(s) == 3 || mode_of(s) == 4)) {
            r.colour = direct_colour(p.value);
        } else {
            r.colour = from_bgr15(s.cgram[p.value]);
        }
        return r;
    }
    Resolved backdrop;
    backdrop.colour = from_bgr15(s.cgram[0]);
    return backdrop;
}

Colour combine(Colour a, Colour b, bool subtract, bool half) {
    auto f = [&](int x, int y) {
        const int v = subtract ? x - y : x + y;
        return half ? (v >> 1) : v;
    };
    return {f(a.r, b.r), f(a.g, b.g), f(a.b, b.b)};
}

// The built-in colour curve (c x 8) at the neutral brightness setting.
uint8_t intensity(int c, int level) {
    if (c < 0 || level == 0) return 0;
    c = std::min(c, 31);
    return uint8_t(c * 8 * (level + 1) / 16);
}

// Colour math on one pixel: `main` is the pixel shown, `sub` its partner on
// the other screen. Clipping blackens the main colour but leaves the math
// on; the operand is the partner, or the fixed colour without sub-screen
// addition or when the partner is the backdrop; halving skips clipped
// pixels and a fixed colour standing in for the backdrop.
Colour math_pixel(const RefState& s, const Resolved& main, const Resolved& sub, bool clipped, bool math_here) {
    const bool sub_add = s.cgwsel & 2;
    const bool subtract = s.cgadsub & 0x80, half = s.cgadsub & 0x40;
    const Colour colour = clipped ? Colour{} : main.colour;
    if (!((s.cgadsub >> main.layer) & 1) || !main.math_capable || !math_here) return colour;
    if (sub_add && sub.found) return combine(colour, sub.colour, subtract, half && !clipped);
    return combine(colour, from_bgr15(s.coldata), subtract, half && !clipped && !sub_add);
}

// out_x is the picture column 0-511. Narrow lines show each pixel twice;
// hi-res lines (modes 5 and 6, pseudo hi-res) show the sub screen's pixel
// in the even column and the main screen's in the odd one, each with the
// other as its colour-math partner. Modes 5 and 6 give the sub screen the
// even pixels of their 512-pixel layers and the main screen the odd ones.
Colour compose_pixel(const RefState& s, int out_x, int line) {
    const int x = out_x / 2;
    const RefSpritePixel sprite = reference_sprite_pixel(s, line, x);
    const bool window = inside_colour_window(s, x);
    const int clip_mode = s.cgwsel >> 6, region = (s.cgwsel >> 4) & 3;
    const bool clipped = clip_mode == 3 || (clip_mode == 1 && !window) || (clip_mode == 2 && window);
    const bool math_here = region == 0 || (region == 1 && window) || (region == 2 && !window);
    const bool wide = wide_mode(s);
    const bool hires = wide || (s.setini & 8);
    const Resolved main = resolve(s, false, wide ? 2 * x + 1 : x, x, line, sprite);
    const Resolved sub = resolve(s, true, wide ? 2 * x : x, x, line, sprite);
    if (hires && out_x % 2 == 0) return math_pixel(s, sub, main, clipped, math_here);
    return math_pixel(s, main, sub, clipped, math_here);
}

}  // namespace

RefState reference_state(const Machine& m) {
    const Ppu& p = m.ppu;
    RefState s;
    s.inidisp = p.inidisp;
    s.bgmode = p.bgmode;
    s.mosaic = p.mosaic;
    s.bgsc = p.bgsc;
    s.bg12nba = p.bg12nba;
    s.bg34nba = p.bg34nba;
    s.hofs = p.hofs;
    s.vofs = p.vofs;
    s.w12sel = p.w12sel;
    s.w34sel = p.w34sel;
    s.wobjsel = p.wobjsel;
    s.wh = p.wh;
    s.wbglog = p.wbglog;
    s.wobjlog = p.wobjlog;
    s.tm = p.tm;
    s.ts = p.ts;
    s.tmw = p.tmw;
    s.tsw = p.tsw;
    s.cgwsel = p.cgwsel;
    s.cgadsub = p.cgadsub;
    s.coldata = p.coldata;
    s.setini = p.setini;
    s.objsel = p.objsel;
    s.oamaddl = p.oamaddl;
    s.oamaddh = p.oamaddh;
    s.m7sel = p.m7sel;
    s.m7 = p.m7;
    s.oam.assign(p.oam.begin(), p.oam.end());
    s.odd_field = !(p.stat78 & 0x80);  // toggled at the end of the frame just run
    for (int i = 0; i < 0x8000; i++) s.vram[i] = uint16_t(p.vram_lo[i] | (p.vram_hi[i] << 8));
    for (int i = 0; i < 256; i++) s.cgram[i] = uint16_t(p.cgram[2 * i] | (p.cgram[2 * i + 1] << 8));
    return s;
}

Rgb reference_pixel(const RefState& s, int line, int out_x) {
    if ((s.inidisp & 0x80) || s.inidisp == 0) return Rgb{};
    const int level = s.inidisp & 15;
    const Colour c = compose_pixel(s, out_x, line);
    return Rgb{intensity(c.b, level), intensity(c.g, level), intensity(c.r, level)};
}

Rgb full_brightness(uint16_t bgr15) {
    const Colour c = from_bgr15(bgr15);
    return Rgb{intensity(c.b, 15), intensity(c.g, 15), intensity(c.r, 15)};
}

}  // namespace vt::test

namespace vt::test {

RefSpritePixel reference_sprite_pixel(const RefState& s, int line, int x) {
    RefSpritePixel out;
    const bool field = s.odd_field;
    walk_sprite_columns(s, line, [&](const OamSprite& o, int c, int column_x) {
        const int columns = o.size / 8;
        for (int i = 0; i < 8; i++) {
            if (((column_x + i) & 0x1FF) != x) continue;
            int row = (line - o.y - 1) & 0xFF;
            if (s.setini & 2) row = row * 2 + (field ? 1 : 0);
            if (o.attributes & 0x80) row = o.size - 1 - row;
            const bool hflip = o.attributes & 0x40;
            const int tile_column = hflip ? columns - 1 - c : c;
            const int pixel_column = hflip ? 7 - i : i;
            const int table = (s.objsel & 7) * 2 + ((o.attributes & 1) ? 1 + ((s.objsel >> 3) & 3) : 0);
            const int first_tile = ((table * 256 + o.tile) * 16) & 0x7FFF;
            const int tile = (first_tile + (row / 8) * 0x100 + tile_column * 16) & 0x7FFF;
            const int value = tile_pixel(s, tile, pixel_column, row & 7, 4);
            if (value == 0) continue;
            out.present = true;
            out.colour = 128 + ((o.attributes >> 1) & 7) * 16 + value;
            out.priority = (o.attributes >> 4) & 3;
        }
    });
    return out;
}

RefSpriteLine reference_sprite_status(const RefState& s, int line) {
    RefSpriteLine out;
    out.range_over = sprites_in_range(s, line).size() > 32;
    out.time_over = !walk_sprite_columns(s, line, [](const OamSprite&, int, int) {});
    return out;
}

int reference_mode7_pixel(const RefState& s, int line, int x) {
    if (const int size = mosaic_size(s, 0)) x = (x / (size + 1)) * (size + 1);
    int n = line & 0xFF;
    if (s.m7sel & 2) n = 255 - n;
    n = mosaic_line(s, 0, n) & 0xFF;
    const int step = (s.m7sel & 1) ? 255 - x : x;  // mirrored lines walk from the right

    const int a = int16_t(s.m7[0]), b = int16_t(s.m7[1]), c = int16_t(s.m7[2]), d = int16_t(s.m7[3]);
    const int m7x = int16_t(s.m7[4]), m7y = int16_t(s.m7[5]);
    const int hs = plane_offset(int16_t(s.hofs[0]) - m7x);
    const int vs = plane_offset(int16_t(s.vofs[0]) - m7y);
    const int plane_x = sign13(m7x) * 256 + a * hs + b * vs + b * n + a * step;
    const int plane_y = sign13(m7y) * 256 + c * hs + d * vs + d * n + c * step;
    const int px = floor_div256(plane_x), py = floor_div256(plane_y);

    const int outside = s.m7sel >> 6;
    const bool in_plane = px >= 0 && px < 1024 && py >= 0 && py < 1024;
    int tile;
    if (in_plane || outside == 0) {
        tile = s.vram[((py & 1023) / 8) * 128 + (px & 1023) / 8] & 0xFF;
    } else if (outside == 2) {
        return 0;
    } else {
        tile = 0;
    }
    return s.vram[tile * 64 + (py & 7) * 8 + (px & 7)] >> 8;
}

}  // namespace vt::test
