#include "debug/video_viewers.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/machine.h"

namespace vt {

namespace {

uint16_t vram_word(const Machine& m, uint32_t address) {
    const uint32_t a = address & 0x7FFF;
    return uint16_t(m.ppu.vram_lo[a] | (m.ppu.vram_hi[a] << 8));
}

int bits_per_pixel(TileFormat f) {
    switch (f) {
        case TileFormat::Bpp2: return 2;
        case TileFormat::Bpp4: return 4;
        default: return 8;
    }
}

// The colour numbers of each mode's layers: bits per pixel (0 = none).
constexpr int kModeDepth[8][4] = {
    {2, 2, 2, 2}, {4, 4, 2, 0}, {4, 4, 0, 0}, {8, 4, 0, 0}, {8, 2, 0, 0}, {4, 2, 0, 0}, {4, 0, 0, 0}, {8, 0, 0, 0},
};

TileFormat format_for_depth(int depth) {
    return depth == 2 ? TileFormat::Bpp2 : depth == 4 ? TileFormat::Bpp4 : TileFormat::Bpp8;
}

// Colour of a layer pixel: colour number 0 shows the backdrop.
uint32_t layer_colour(const Machine& m, const TilemapLayout& l, int palette, uint8_t pixel) {
    if (pixel == 0) return cgram_colour(m, 0);
    if (l.format == TileFormat::Bpp8 || l.mode7) return cgram_colour(m, pixel);
    const int colours = l.format == TileFormat::Bpp2 ? 4 : 16;
    return cgram_colour(m, (l.palette_offset + palette * colours + pixel) & 0xFF);
}

void outline_pixel(ViewerImage& img, int x, int y) {
    x = ((x % img.width) + img.width) % img.width;
    y = ((y % img.height) + img.height) % img.height;
    img.set(x, y, kViewOutline);
}

void outline_line(ViewerImage& img, double x0, double y0, double x1, double y1) {
    const int steps = int(std::max(std::abs(x1 - x0), std::abs(y1 - y0))) + 1;
    for (int i = 0; i <= steps; i++) {
        const double t = double(i) / steps;
        outline_pixel(img, int(std::floor(x0 + (x1 - x0) * t)), int(std::floor(y0 + (y1 - y0) * t)));
    }
}

int screen_height(const Machine& m) { return (m.ppu.setini & 0x04) ? 239 : 224; }

// 13-bit signed, as Mode 7 uses its scroll and centre values.
int signed13(uint16_t v) { return (v & 0x1000) ? int(v & 0x1FFF) - 0x2000 : int(v & 0x1FFF); }

// The four corners of the screen on the Mode 7 plane.
void outline_mode7_view(const Machine& m, ViewerImage& img) {
    const Ppu& p = m.ppu;
    auto s16 = [](uint16_t v) { return double(int16_t(v)); };
    const double a = s16(p.m7[0]) / 256.0, b = s16(p.m7[1]) / 256.0;
    const double c = s16(p.m7[2]) / 256.0, d = s16(p.m7[3]) / 256.0;
    const double cx = signed13(p.m7[4]), cy = signed13(p.m7[5]);
    const double h = signed13(p.hofs[0]), v = signed13(p.vofs[0]);
    auto plane = [&](double sx, double sy, double& x, double& y) {
        const double dx = sx + h - cx, dy = sy + v - cy;
        x = a * dx + b * dy + cx;
        y = c * dx + d * dy + cy;
    };
    const double w = 256, hgt = screen_height(m);
    double x[4], y[4];
    plane(0, 0, x[0], y[0]);
    plane(w, 0, x[1], y[1]);
    plane(w, hgt, x[2], y[2]);
    plane(0, hgt, x[3], y[3]);
    for (int i = 0; i < 4; i++) outline_line(img, x[i], y[i], x[(i + 1) % 4], y[(i + 1) % 4]);
}

}  // namespace

uint32_t colour_from_bgr15(uint16_t bgr) {
    auto eight = [](uint32_t five) { return (five << 3) | (five >> 2); };
    const uint32_t r = eight(bgr & 31), g = eight((bgr >> 5) & 31), b = eight((bgr >> 10) & 31);
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}

uint32_t cgram_colour(const Machine& m, int index) {
    const size_t i = size_t(index & 0xFF) * 2;
    return colour_from_bgr15(uint16_t(m.ppu.cgram[i] | (m.ppu.cgram[i + 1] << 8)));
}

int tile_count(TileFormat format) {
    return format == TileFormat::Mode7 ? 256 : 0x8000 / tile_words(format);
}

int tile_words(TileFormat format) {
    return format == TileFormat::Mode7 ? 64 : bits_per_pixel(format) * 4;
}

uint8_t tile_pixel(const Machine& m, TileFormat format, uint32_t tile, int x, int y) {
    if (format == TileFormat::Mode7) return m.ppu.vram_hi[((tile & 0xFF) * 64 + uint32_t(y * 8 + x)) & 0x7FFF];
    // Planar: each word holds two bit planes of a row; the next pair of
    // planes lies 8 words further on.
    uint8_t value = 0;
    const int planes = bits_per_pixel(format);
    for (int pair = 0; pair < planes / 2; pair++) {
        const uint16_t word = vram_word(m, tile + uint32_t(pair * 8 + y));
        const int bit = 7 - x;
        value |= uint8_t(((word >> bit) & 1) << (2 * pair));
        value |= uint8_t(((word >> (8 + bit)) & 1) << (2 * pair + 1));
    }
    return value;
}

ViewerImage tile_image(const Machine& m, TileFormat format, int palette) {
    const int count = tile_count(format);
    ViewerImage img;
    img.width = kTilesPerRow * 8;
    img.height = (count / kTilesPerRow) * 8;
    img.pixels.resize(size_t(img.width * img.height));
    const int colours = format == TileFormat::Bpp2 ? 4 : format == TileFormat::Bpp4 ? 16 : 0;
    for (int t = 0; t < count; t++) {
        const uint32_t tile = format == TileFormat::Mode7 ? uint32_t(t) : uint32_t(t * tile_words(format));
        const int ox = (t % kTilesPerRow) * 8, oy = (t / kTilesPerRow) * 8;
        for (int y = 0; y < 8; y++) {
            for (int x = 0; x < 8; x++) {
                const uint8_t pixel = tile_pixel(m, format, tile, x, y);
                img.set(ox + x, oy + y, cgram_colour(m, (colours * palette + pixel) & 0xFF));
            }
        }
    }
    return img;
}

TilemapLayout tilemap_layout(const Machine& m, int layer) {
    const Ppu& p = m.ppu;
    const int mode = p.bgmode & 7;
    TilemapLayout l;
    if (layer < 0 || layer > 3) return l;
    if (mode == 7) {
        if (layer != 0) return l;
        l.used = l.mode7 = true;
        l.format = TileFormat::Mode7;
        l.columns = l.rows = 128;
        return l;
    }
    const int depth = kModeDepth[mode][layer];
    if (depth == 0) return l;
    l.used = true;
    l.format = format_for_depth(depth);
    const bool big = p.bgmode & (0x10 << layer);
    l.tile_width = (big || mode == 5 || mode == 6) ? 16 : 8;
    l.tile_height = big ? 16 : 8;
    const uint8_t sc = p.bgsc[size_t(layer)];
    l.columns = (sc & 1) ? 64 : 32;
    l.rows = (sc & 2) ? 64 : 32;
    l.map_base = uint32_t(sc & 0xFC) << 8;
    const uint8_t nba = layer < 2 ? p.bg12nba : p.bg34nba;
    l.char_base = uint32_t((nba >> (4 * (layer & 1))) & 0xF) << 12;
    l.palette_offset = mode == 0 ? layer * 32 : 0;
    return l;
}

ViewerImage tilemap_image(const Machine& m, int layer, bool outline) {
    const TilemapLayout l = tilemap_layout(m, layer);
    ViewerImage img;
    if (!l.used) return img;
    if (l.mode7) {
        img.width = img.height = 1024;
        img.pixels.resize(size_t(1024 * 1024));
        for (int ty = 0; ty < 128; ty++) {
            for (int tx = 0; tx < 128; tx++) {
                const uint8_t tile = m.ppu.vram_lo[size_t(ty * 128 + tx)];
                for (int y = 0; y < 8; y++) {
                    for (int x = 0; x < 8; x++) {
                        img.set(tx * 8 + x, ty * 8 + y, layer_colour(m, l, 0, tile_pixel(m, TileFormat::Mode7, tile, x, y)));
                    }
                }
            }
        }
        if (outline) outline_mode7_view(m, img);
        return img;
    }
    img.width = l.columns * l.tile_width;
    img.height = l.rows * l.tile_height;
    img.pixels.resize(size_t(img.width * img.height));
    const uint32_t words = uint32_t(tile_words(l.format));
    for (int ty = 0; ty < l.rows; ty++) {
        for (int tx = 0; tx < l.columns; tx++) {
            // 32 x 32 screens: left to right, then top to bottom.
            const int screen = (tx >= 32 ? 1 : 0) + (ty >= 32 ? (l.columns == 64 ? 2 : 1) : 0);
            const uint16_t entry = vram_word(m, l.map_base + uint32_t(screen * 0x400 + (ty % 32) * 32 + (tx % 32)));
            const uint32_t name = entry & 0x3FF;
            const int palette = (entry >> 10) & 7;
            const bool hflip = entry & 0x4000, vflip = entry & 0x8000;
            for (int y = 0; y < l.tile_height; y++) {
                for (int x = 0; x < l.tile_width; x++) {
                    const int fx = hflip ? l.tile_width - 1 - x : x;
                    const int fy = vflip ? l.tile_height - 1 - y : y;
                    // A 16-pixel tile is four 8x8 characters: +1 to the
                    // right, +16 below.
                    const uint32_t character = (name + uint32_t(fx / 8) + uint32_t(fy / 8) * 16) & 0x3FF;
                    const uint32_t tile = (l.char_base + character * words) & 0x7FFF;
                    const uint8_t pixel = tile_pixel(m, l.format, tile, fx % 8, fy % 8);
                    img.set(tx * l.tile_width + x, ty * l.tile_height + y, layer_colour(m, l, palette, pixel));
                }
            }
        }
    }
    if (outline) {
        const int x0 = m.ppu.hofs[size_t(layer)] & 0x3FF, y0 = m.ppu.vofs[size_t(layer)] & 0x3FF;
        const int w = 256, h = screen_height(m);
        for (int x = 0; x < w; x++) {
            outline_pixel(img, x0 + x, y0);
            outline_pixel(img, x0 + x, y0 + h - 1);
        }
        for (int y = 0; y < h; y++) {
            outline_pixel(img, x0, y0 + y);
            outline_pixel(img, x0 + w - 1, y0 + y);
        }
    }
    return img;
}

void sprite_sizes(uint8_t objsel, bool large, int& width, int& height) {
    static constexpr int kSizes[8][2][2] = {
        {{8, 8}, {16, 16}},   {{8, 8}, {32, 32}},   {{8, 8}, {64, 64}},   {{16, 16}, {32, 32}},
        {{16, 16}, {64, 64}}, {{32, 32}, {64, 64}}, {{16, 32}, {32, 64}}, {{16, 32}, {32, 32}},
    };
    width = kSizes[objsel >> 5][large][0];
    height = kSizes[objsel >> 5][large][1];
}

SpriteInfo sprite_info(const Machine& m, int index) {
    const auto& oam = m.ppu.oam;
    const size_t base = size_t(index & 127) * 4;
    const uint8_t high = uint8_t(oam[512 + size_t((index & 127) / 4)] >> (2 * (index & 3)));
    const uint8_t attr = oam[base + 3];
    SpriteInfo s;
    s.index = index & 127;
    s.x = oam[base] | ((high & 1) << 8);
    if (s.x >= 256) s.x -= 512;
    s.y = oam[base + 1];
    s.tile = oam[base + 2] | ((attr & 1) << 8);
    s.palette = (attr >> 1) & 7;
    s.priority = (attr >> 4) & 3;
    s.hflip = attr & 0x40;
    s.vflip = attr & 0x80;
    s.large = high & 2;
    sprite_sizes(m.ppu.objsel, s.large, s.width, s.height);
    return s;
}

std::string sprite_description(const SpriteInfo& s) {
    char text[128];
    const char* flip = s.hflip && s.vflip ? "HV" : s.hflip ? "H" : s.vflip ? "V" : "none";
    std::snprintf(text, sizeof text, "Sprite %d: X %d Y %d, %dx%d, tile $%03X, palette %d, priority %d, flip %s",
                  s.index, s.x, s.y, s.width, s.height, s.tile, s.palette, s.priority, flip);
    return text;
}

ViewerImage sprite_image(const Machine& m, uint32_t background) {
    ViewerImage img;
    img.width = kSpritePlaneWidth;
    img.height = kSpritePlaneHeight;
    img.pixels.assign(size_t(img.width * img.height), background);
    const uint8_t objsel = m.ppu.objsel;
    const uint32_t table0 = uint32_t(objsel & 7) << 13;
    const uint32_t table1 = table0 + ((uint32_t((objsel >> 3) & 3) + 1) << 12);
    // Back to front, so sprite 0 ends on top.
    for (int i = 127; i >= 0; i--) {
        const SpriteInfo s = sprite_info(m, i);
        const uint32_t table = s.tile >= 256 ? table1 : table0;
        for (int y = 0; y < s.height; y++) {
            for (int x = 0; x < s.width; x++) {
                const int fx = s.hflip ? s.width - 1 - x : x;
                const int fy = s.vflip ? s.height - 1 - y : y;
                // Characters of a large sprite: +1 across, +16 down, each
                // nibble wrapping within its table.
                const int column = ((s.tile & 0x0F) + fx / 8) & 0x0F;
                const int row = (((s.tile >> 4) & 0x0F) + fy / 8) & 0x0F;
                const uint32_t tile = (table + uint32_t((row * 16 + column) * 16)) & 0x7FFF;
                const uint8_t pixel = tile_pixel(m, TileFormat::Bpp4, tile, fx % 8, fy % 8);
                if (pixel == 0) continue;
                img.set((s.x + x) & 511, (s.y + y) & 255, cgram_colour(m, 128 + s.palette * 16 + pixel));
            }
        }
    }
    return img;
}

int sprite_at(const Machine& m, int x, int y) {
    for (int i = 0; i < 128; i++) {
        const SpriteInfo s = sprite_info(m, i);
        const int dx = (x - s.x) & 511, dy = (y - s.y) & 255;
        if (dx < s.width && dy < s.height) return i;
    }
    return -1;
}

ViewerImage palette_image(const Machine& m) {
    ViewerImage img;
    img.width = img.height = 16 * kPaletteCell;
    img.pixels.resize(size_t(img.width * img.height));
    for (int y = 0; y < img.height; y++) {
        for (int x = 0; x < img.width; x++) img.set(x, y, cgram_colour(m, (y / kPaletteCell) * 16 + x / kPaletteCell));
    }
    return img;
}

std::string palette_description(const Machine& m, int index) {
    const size_t i = size_t(index & 0xFF) * 2;
    const uint16_t bgr = uint16_t(m.ppu.cgram[i] | (m.ppu.cgram[i + 1] << 8));
    char text[96];
    std::snprintf(text, sizeof text, "Colour %d ($%02X): $%04X = R %d G %d B %d", index & 0xFF, index & 0xFF, bgr,
                  bgr & 31, (bgr >> 5) & 31, (bgr >> 10) & 31);
    return text;
}

}  // namespace vt
