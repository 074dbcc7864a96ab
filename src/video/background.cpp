// Background layers of modes 0-6: the mode descriptions, the decoded-tile
// cache, the tilemap row cache and one drawer per (kind, depth, tile size),
// each drawing one line into the layer's colour and flags buffers.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <utility>

#include "core/machine.h"
#include "video/render.h"

namespace vt {

// ---------------------------------------------------------------------------
// Mode descriptions

namespace {

// Entries of the front-to-back priority lists; one list position may hold
// several entries that share a depth.
enum Slot : uint16_t {
    O0 = 1 << 0, O1 = 1 << 1, O2 = 1 << 2, O3 = 1 << 3,
    B1L = 1 << 4, B1H = 1 << 5, B2L = 1 << 6, B2H = 1 << 7,
    B3L = 1 << 8, B3H = 1 << 9, B4L = 1 << 10, B4H = 1 << 11,
};

ModeInfo describe_mode(std::initializer_list<uint8_t> depths, std::initializer_list<uint16_t> front_to_back,
                       LineRenderer render) {
    ModeInfo mi;
    mi.render = render;
    int n = 0;
    for (uint8_t d : depths) {
        mi.depth[n] = d;
        mi.opacity[n] = uint8_t(d == 8 ? 0xFF : (1 << d) - 1);
        if (d) mi.layers |= uint8_t(1 << n);
        n++;
    }
    uint8_t z = uint8_t(front_to_back.size());
    for (uint16_t position : front_to_back) {
        for (int i = 0; i < 4; i++) {
            if (position & (1 << i)) mi.z_obj[i] = z;
        }
        for (int layer = 0; layer < 4; layer++) {
            for (int hi = 0; hi < 2; hi++) {
                if (position & (1 << (4 + layer * 2 + hi))) mi.z_bg[layer][hi] = z;
            }
        }
        z--;
    }
    return mi;
}

std::array<ModeInfo, 16> describe_modes() {
    std::array<ModeInfo, 16> modes;
    const std::initializer_list<uint16_t> two_layer = {O3, B1H, O2, B2H, O1, B1L, O0, B2L};

    modes[0] = describe_mode({2, 2, 2, 2}, {O3, B1H, B2H, O2, B1L, B2L, O1, B3H, B4H, O0, B3L, B4L}, &render_narrow_mode);
    modes[0].colour_offset = {0, 32, 64, 96};
    modes[0].pseudo_hires = true;
    modes[1] = describe_mode({4, 4, 2}, {O3, B1H, B2H, O2, B1L, B2L, O1, B3H, O0, B3L}, &render_narrow_mode);
    modes[1].pseudo_hires = true;
    modes[2] = describe_mode({4, 4}, two_layer, &render_narrow_mode);
    modes[2].offset_per_tile = true;
    modes[2].pseudo_hires = true;
    modes[3] = describe_mode({8, 4}, two_layer, &render_narrow_mode);
    modes[3].direct_colour = true;
    modes[3].pseudo_hires = true;
    modes[4] = describe_mode({8, 2}, two_layer, &render_narrow_mode);
    modes[4].offset_per_tile = true;
    modes[4].direct_colour = true;
    modes[4].pseudo_hires = true;
    modes[5] = describe_mode({4, 2}, two_layer, &render_wide_mode);
    // Mode 6 walks mode 5's list, but has no BG2 to find in it.
    modes[6] = describe_mode({4}, two_layer, &render_wide_mode);
    // Mode 7 draws BG1 from its own plane; its pixels are 8-bit colours.
    modes[7] = describe_mode({8}, {O3 | O2 | O1, B1L | B1H, O0}, &render_mode7);
    modes[7].direct_colour = true;
    modes[7].pseudo_hires = true;

    // BGMODE bit 3 matters only in mode 1: BG3's high-priority tiles move
    // in front of everything.
    for (int i = 8; i < 16; i++) modes[i] = modes[i - 8];
    modes[9] = describe_mode({4, 4, 2}, {B3H, O3, B1H, B2H, O2, B1L, B2L, O1 | O0, B3L}, &render_narrow_mode);
    modes[9].pseudo_hires = true;
    return modes;
}

const std::array<ModeInfo, 16> kModes = describe_modes();

// EXTBG: a pixel with bit 7 set is "hi". BG1 and BG2 both show the plane's
// pixels without bit 7, each through its own window mask and colour-math
// choice.
ModeInfo describe_mode7_extbg() {
    ModeInfo mi = describe_mode({8, 8}, {O3 | O2, B1H, O1, B1L, B2H, O0, B2L}, &render_mode7);
    mi.direct_colour = true;
    mi.pseudo_hires = true;
    mi.source = {kSourceExtBg1, kSourceExtBg2, 3, 4};
    return mi;
}

const ModeInfo kMode7ExtBg = describe_mode7_extbg();

std::array<std::array<uint8_t, 256>, 16> make_mosaic_maps() {
    std::array<std::array<uint8_t, 256>, 16> maps{};
    for (int v = 0; v < 256; v++) maps[0][v] = uint8_t(v);
    for (int n = 1; n < 16; n++) {
        for (int v = 0; v < 256; v++) maps[n][v] = uint8_t((v / (n + 1)) * (n + 1) + 1);
    }
    return maps;
}

std::array<PixelColour, 256> make_direct_colours(uint32_t value_mask) {
    std::array<PixelColour, 256> colours{};
    for (uint32_t i = 0; i < 256; i++) {
        const uint32_t v = i & value_mask;
        colours[i] = pack_colour(((v >> 6) & 3) << 3, ((v >> 3) & 7) << 2, (v & 7) << 2);
    }
    return colours;
}

}  // namespace

const std::array<std::array<uint8_t, 256>, 16> kMosaicMaps = make_mosaic_maps();
const std::array<PixelColour, 256> kDirectColours = make_direct_colours(0xFF);
const std::array<PixelColour, 256> kDirectColoursLowHalf = make_direct_colours(0x7F);

const ModeInfo& mode_info(uint8_t mode_index) { return kModes[mode_index & 15]; }

const ModeInfo& mode7_extbg_info() { return kMode7ExtBg; }

// ---------------------------------------------------------------------------
// Tile cache

void decode_tile(Ppu& p, uint16_t tile, int bpp) {
    for (int y = 0; y < 8; y++) {
        uint8_t planes[8];
        for (int pair = 0; pair < bpp / 2; pair++) {
            const uint16_t w = uint16_t(tile + pair * 8 + y);
            planes[pair * 2] = p.vram_lo[w];
            planes[pair * 2 + 1] = p.vram_hi[w];
        }
        uint8_t* out = &p.tile_pixels[size_t(tile + y) * 8];
        for (int x = 0; x < 8; x++) {
            uint8_t value = 0;
            for (int k = 0; k < bpp; k++) value |= uint8_t(((planes[k] >> (7 - x)) & 1) << k);
            out[x] = value;
        }
    }
    // 2, 4 and 8 bits per pixel cover 1, 2 and 4 blocks, marked 1, 2 and 4.
    const int blocks = bpp / 2;
    std::fill_n(&p.tile_state[tile >> 3], blocks, uint8_t(blocks));
}

void apply_horizontal_mosaic(uint8_t* colour, int block, int width) {
    for (int x = 0; x < width; x += block) {
        const int end = std::min(x + block, width);
        std::fill(colour + x + 1, colour + end, colour[x]);
    }
}

// ---------------------------------------------------------------------------
// Tilemaps

uint16_t map_entry_address(const BgLayer& bg, int column, int row) {
    uint32_t a = bg.map_base + ((row & 31) << 5) + (column & 31);
    if ((column & 32) && (bg.map_size & 1)) a += 0x400;  // 64 wide: the second screen
    if (row & 32) {
        if (bg.map_size == 2) a += 0x400;
        if (bg.map_size == 3) a += 0x800;
    }
    return uint16_t(a & 0x7FFF);
}

namespace {

inline uint16_t vram_word(const Ppu& p, uint16_t a) { return uint16_t(p.vram_lo[a] | (p.vram_hi[a] << 8)); }

// Words per 8x8 tile and the shift from tile number to word address.
constexpr int tile_words(int bpp) { return bpp * 4; }
constexpr int name_shift(int bpp) { return bpp == 2 ? 3 : bpp == 4 ? 4 : 5; }

template <int Bpp>
MapRowEntry decode_map_entry(const BgLayer& bg, uint16_t e, uint8_t colour_offset) {
    MapRowEntry r;
    r.tile = uint16_t((((e & 0x3FF) << name_shift(Bpp)) + bg.char_base) & 0x7FFF);
    r.colour_base = Bpp == 8 ? 0 : uint8_t(((e >> 10) & 7) * (1 << Bpp) + colour_offset);
    r.flags = uint8_t(e >> 13);
    return r;
}

// Reads tilemap row `row` into the layer's row cache.
template <int Bpp>
void fetch_row(const Ppu& p, BgLayer& bg, int row, uint8_t colour_offset) {
    const int count = (bg.map_size & 1) ? 64 : 32;
    for (int column = 0; column < count; column++) {
        bg.row[column] = decode_map_entry<Bpp>(bg, vram_word(p, map_entry_address(bg, column, row)), colour_offset);
    }
    bg.column_mask = uint8_t(count - 1);
    bg.row_key = uint16_t(row);
}

// Eight pixels of one tile row into the line buffers; horizontal flip
// reverses them.
template <int Bpp>
inline void draw_sliver(Ppu& p, uint16_t tile, int row, uint8_t colour_base, uint8_t flags, uint8_t* colour,
                        uint8_t* flag_out) {
    ensure_tile_decoded<Bpp>(p, tile);
    uint64_t pixels;
    std::memcpy(&pixels, &p.tile_pixels[size_t(tile + row) * 8], 8);
    if (flags & 2) pixels = __builtin_bswap64(pixels);
    pixels |= colour_base * 0x0101010101010101ull;
    const uint64_t f = flags * 0x0101010101010101ull;
    std::memcpy(colour, &pixels, 8);
    std::memcpy(flag_out, &f, 8);
}

void draw_nothing(Machine&, int) {}

// ---------------------------------------------------------------------------
// Modes 0-4

template <int Bpp, bool Tile16>
void draw_layer(Machine& m, int n) {
    constexpr int kSize = Tile16 ? 16 : 8;
    constexpr int kShift = Tile16 ? 4 : 3;
    constexpr int kWords = tile_words(Bpp);
    Ppu& p = m.ppu;
    BgLayer& bg = p.bg[n];

    const int v = (kMosaicMaps[bg.mosaic][m.timing.line & 0xFF] + p.vofs[n]) & 0x3FF;
    const int hofs = p.hofs[n] & 0x3FF;
    const int row = (v >> kShift) & 63;
    if (bg.row_key != row) fetch_row<Bpp>(p, bg, row, mode_info(p.mode_index).colour_offset[n]);
    const int r = v & (kSize - 1);

    uint8_t* colour = bg.colour.data() + kLinePad;
    uint8_t* flags = bg.flags.data() + kLinePad;
    int column = hofs >> kShift;
    for (int x = -(hofs & (kSize - 1)); x < 256; x += kSize, column++) {
        const MapRowEntry& e = bg.row[column & bg.column_mask];
        const int rr = (e.flags & 4) ? kSize - 1 - r : r;
        if constexpr (!Tile16) {
            draw_sliver<Bpp>(p, e.tile, rr, e.colour_base, e.flags, colour + x, flags + x);
        } else {
            // The tile below is 16 tiles on; the right half is the next tile.
            uint16_t left = uint16_t((e.tile + (rr >> 3) * 16 * kWords) & 0x7FFF);
            uint16_t right = uint16_t((left + kWords) & 0x7FFF);
            if (e.flags & 2) std::swap(left, right);
            draw_sliver<Bpp>(p, left, rr & 7, e.colour_base, e.flags, colour + x, flags + x);
            draw_sliver<Bpp>(p, right, rr & 7, e.colour_base, e.flags, colour + x + 8, flags + x + 8);
        }
    }
    if (bg.mosaic) apply_horizontal_mosaic(colour, bg.mosaic + 1, 256);
}

// ---------------------------------------------------------------------------
// Offset per tile (modes 2 and 4): each 8-pixel screen column after the
// first may take its scroll from BG3's tilemap.

template <int Bpp, bool Tile16, bool Mode4>
void draw_layer_offset_per_tile(Machine& m, int n) {
    constexpr int kShift = Tile16 ? 4 : 3;
    constexpr int kWords = tile_words(Bpp);
    Ppu& p = m.ppu;
    BgLayer& bg = p.bg[n];
    const uint16_t enable = uint16_t(0x2000 << n);
    const uint8_t colour_offset = mode_info(p.mode_index).colour_offset[n];
    const int line = kMosaicMaps[bg.mosaic][m.timing.line & 0xFF];
    const int fine = p.hofs[n] & 7;

    uint8_t* colour = bg.colour.data() + kLinePad;
    uint8_t* flags = bg.flags.data() + kLinePad;
    for (int c = 0; c <= 32; c++) {
        int h = p.hofs[n];
        int v = p.vofs[n];
        if (c > 0) {
            if constexpr (Mode4) {
                const uint16_t e = p.offset_h[c - 1];
                if (e & enable) {
                    if (e & 0x8000) {
                        v = e & 0x1FFF;
                    } else {
                        h = e & 0x1FFF;
                    }
                }
            } else {
                if (p.offset_h[c - 1] & enable) h = p.offset_h[c - 1];
                if (p.offset_v[c - 1] & enable) v = p.offset_v[c - 1];
            }
        }
        const int hv = (h + 8 * c) & 0x3FF;
        const int vv = (v + line) & 0x3FF;
        const uint16_t raw = vram_word(p, map_entry_address(bg, hv >> kShift, vv >> kShift));
        const MapRowEntry e = decode_map_entry<Bpp>(bg, raw, colour_offset);
        int r = vv & 7;
        if (e.flags & 4) r = 7 - r;
        uint16_t tile = e.tile;
        if constexpr (Tile16) {
            const int lower = ((vv >> 3) & 1) ^ ((e.flags >> 2) & 1);
            const int right = ((hv >> 3) & 1) ^ ((e.flags >> 1) & 1);
            tile = uint16_t((tile + lower * 16 * kWords + right * kWords) & 0x7FFF);
        }
        const int x = 8 * c - fine;
        draw_sliver<Bpp>(p, tile, r, e.colour_base, e.flags, colour + x, flags + x);
    }
    if (bg.mosaic) apply_horizontal_mosaic(colour, bg.mosaic + 1, 256);
}

// ---------------------------------------------------------------------------
// Modes 5 and 6: 512 pixels, every tile two 8-pixel tiles side by side.

template <int Bpp, bool Tile16>
void draw_layer_wide(Machine& m, int n) {
    constexpr int kShift = Tile16 ? 4 : 3;
    constexpr int kHeight = Tile16 ? 16 : 8;
    constexpr int kWords = tile_words(Bpp);
    Ppu& p = m.ppu;
    BgLayer& bg = p.bg[n];

    int v = m.timing.line;
    if (p.setini & 1) v = v * 2 + (p.stat78 >> 7);  // interlace: this field's rows
    if (bg.mosaic) v = (v / (bg.mosaic + 1)) * (bg.mosaic + 1) + 1;
    v = (v + p.vofs[n]) & 0x3FF;
    const int row = (v >> kShift) & 63;
    if (bg.row_key != row) fetch_row<Bpp>(p, bg, row, 0);
    const int r = v & (kHeight - 1);

    const int hofs = p.hofs[n] & 0x3FF;
    uint8_t* colour = bg.colour.data() + kLinePad;
    uint8_t* flags = bg.flags.data() + kLinePad;
    int column = hofs >> 3;
    for (int x = -(hofs & 7) * 2; x < 512; x += 16, column++) {
        const MapRowEntry& e = bg.row[column & bg.column_mask];
        const int rr = (e.flags & 4) ? kHeight - 1 - r : r;
        uint16_t left = uint16_t((e.tile + (rr >> 3) * 16 * kWords) & 0x7FFF);
        uint16_t right = uint16_t((left + kWords) & 0x7FFF);
        if (e.flags & 2) std::swap(left, right);
        draw_sliver<Bpp>(p, left, rr & 7, e.colour_base, e.flags, colour + x, flags + x);
        draw_sliver<Bpp>(p, right, rr & 7, e.colour_base, e.flags, colour + x + 8, flags + x + 8);
    }
    if (bg.mosaic) apply_horizontal_mosaic(colour, (bg.mosaic + 1) * 2, 512);
}

template <int Bpp>
LayerDrawer pick_drawer(int kind, bool tile16) {
    switch (kind) {
        case 0: return tile16 ? &draw_layer<Bpp, true> : &draw_layer<Bpp, false>;
        case 1: return tile16 ? &draw_layer_offset_per_tile<Bpp, true, false> : &draw_layer_offset_per_tile<Bpp, false, false>;
        case 2: return tile16 ? &draw_layer_offset_per_tile<Bpp, true, true> : &draw_layer_offset_per_tile<Bpp, false, true>;
        default: return tile16 ? &draw_layer_wide<Bpp, true> : &draw_layer_wide<Bpp, false>;
    }
}

}  // namespace

LayerDrawer select_layer_drawer(uint8_t mode_index, int bg, bool tile16) {
    const ModeInfo& mi = mode_info(mode_index);
    if (!(mi.layers & (1 << bg))) return &draw_nothing;
    const int mode = mode_index & 7;
    if (mode == 7) return &draw_nothing;  // the mode 7 renderer draws its plane itself
    const int kind = mode >= 5 ? 3 : mode == 2 ? 1 : mode == 4 ? 2 : 0;
    switch (mi.depth[bg]) {
        case 2: return pick_drawer<2>(kind, tile16);
        case 4: return pick_drawer<4>(kind, tile16);
        default: return pick_drawer<8>(kind, tile16);
    }
}

void fetch_offset_source(Machine& m) {
    Ppu& p = m.ppu;
    const BgLayer& bg3 = p.bg[2];
    const int row = (p.vofs[2] & 0x3FF) >> ((p.bgmode & 0x40) ? 4 : 3);
    const int mask = (bg3.map_size & 1) ? 63 : 31;
    if ((p.bgmode & 7) == 4) {
        // One row, from its first entry; bit 15 tells horizontal from vertical.
        for (int i = 0; i < 32; i++) p.offset_h[i] = vram_word(p, map_entry_address(bg3, i & mask, row));
        return;
    }
    // Mode 2: horizontal offsets in this row, vertical in the next, from
    // BG3's scrolled column on.
    const int start = (p.hofs[2] & 0x3FF) >> 3;
    for (int i = 0; i < 32; i++) {
        const int column = (start + i) & mask;
        p.offset_h[i] = vram_word(p, map_entry_address(bg3, column, row));
        p.offset_v[i] = vram_word(p, map_entry_address(bg3, column, row + 1));
    }
}

}  // namespace vt
