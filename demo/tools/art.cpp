#include "art.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>

#include "font.h"
#include "tiles.h"

namespace demo {

namespace {

constexpr double kPi = std::numbers::pi;

uint16_t mix(uint16_t a, uint16_t b, double t) {
    auto component = [&](int shift) {
        double ca = (a >> shift) & 31, cb = (b >> shift) & 31;
        return int(std::lround(ca + (cb - ca) * t)) & 31;
    };
    return uint16_t(component(0) | (component(5) << 5) | (component(10) << 10));
}

// A colour gradient through stops (row, colour), for rows 0-223.
uint16_t gradient(const std::vector<std::pair<int, uint16_t>>& stops, int row) {
    if (row <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); i++) {
        if (row <= stops[i].first) {
            const auto& [r0, c0] = stops[i - 1];
            const auto& [r1, c1] = stops[i];
            return mix(c0, c1, double(row - r0) / double(r1 - r0));
        }
    }
    return stops.back().second;
}

// HDMA table with one unit of `unit` bytes per line for the 224 lines, in
// two runs of 112 lines (repeat mode).
std::vector<uint8_t> hdma_every_line(const std::vector<std::vector<uint8_t>>& lines) {
    std::vector<uint8_t> out;
    for (int run = 0; run < 2; run++) {
        out.push_back(uint8_t(0x80 | 112));
        for (int i = 0; i < 112; i++) {
            const auto& unit = lines[size_t(run * 112 + i)];
            out.insert(out.end(), unit.begin(), unit.end());
        }
    }
    out.push_back(0);
    return out;
}

std::vector<uint8_t> palette_bytes(const std::vector<uint16_t>& colours) { return word_bytes(colours); }

// Palette block of `count` colours starting at CGRAM index `first`,
// unset entries black.
struct PaletteBlock {
    std::vector<uint16_t> colours;
    explicit PaletteBlock(size_t count) : colours(count, 0) {}
    void set(size_t index, uint16_t colour) { colours.at(index) = colour; }
};

// Deterministic noise for textures: a hash of the coordinates.
uint32_t hash2(int x, int y) {
    uint32_t h = uint32_t(x) * 374761393u + uint32_t(y) * 668265263u;
    h = (h ^ (h >> 13)) * 1274126177u;
    return h ^ (h >> 16);
}

// Converts a sprite sheet picture to tiles in reading order, 16 tiles to a
// row, without merging equal tiles (sprites address their tiles by number).
std::vector<uint8_t> sheet_tiles(const Picture& sheet) {
    TileSet set(4, 1024);
    set.tiles.clear();
    for (int row = 0; row < sheet.height / 8; row++) {
        for (int column = 0; column < sheet.width / 8; column++) {
            Tile t{};
            for (int y = 0; y < 8; y++) {
                for (int x = 0; x < 8; x++) t[size_t(y * 8 + x)] = sheet.at(column * 8 + x, row * 8 + y);
            }
            set.tiles.push_back(t);
        }
    }
    return planar_tiles(set);
}

void put_tile(Picture& p, int tile_x, int tile_y, const Tile& t) {
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) p.set(tile_x * 8 + x, tile_y * 8 + y, t[size_t(y * 8 + x)]);
    }
}

// Draws a dark outline (colour `outline`) around every drawn pixel of a
// 16 x 16 cell at (ox, oy).
void outline_cell(Picture& p, int ox, int oy, int size, uint8_t outline) {
    Picture copy = p;
    for (int y = 0; y < size; y++) {
        for (int x = 0; x < size; x++) {
            if (copy.at(ox + x, oy + y)) continue;
            bool near = false;
            for (int dy = -1; dy <= 1; dy++) {
                for (int dx = -1; dx <= 1; dx++) {
                    int nx = x + dx, ny = y + dy;
                    if (nx >= 0 && ny >= 0 && nx < size && ny < size && copy.at(ox + nx, oy + ny)) near = true;
                }
            }
            if (near) p.set(ox + x, oy + y, outline);
        }
    }
}

// --- sprites --------------------------------------------------------------

// Sprite sheet layout (tile numbers, 16 tiles to a row):
//   0-63   font, ink 1 and shadow 2 of palette 0
//   64, 66 ship frames (16 x 16), palette 1
//   68-74  orb frames 0-3 (16 x 16, every second tile), palettes 4 and 5
//   76, 78 bird frames (16 x 16), palette 2
//   96-99  twinkling star frames (8 x 8), palette 0
void draw_ship(Picture& p, int ox, int oy, int frame) {
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            double dx = (x - 8.5) / 6.5, dy = (y - 7.5) / 3.6;
            double r = dx * dx + dy * dy;
            uint8_t c = 0;
            if (r <= 1.0) c = y < 6 ? 1 : (y < 9 ? 2 : 3);
            // Fins at the back, above and below the hull.
            if (x >= 3 && x <= 6 && ((y >= 2 && y <= 4 && x - 3 >= 4 - y) || (y >= 11 && y <= 13 && x - 3 >= y - 11))) c = 3;
            // Cockpit window.
            double wx = x - 10.5, wy = y - 6.5;
            if (wx * wx + wy * wy <= 2.3) c = 4;
            if (c) p.set(ox + x, oy + y, c);
        }
    }
    // Exhaust flame, longer in frame 1.
    int length = frame ? 4 : 2;
    for (int y = 6; y <= 9; y++) {
        for (int x = 2 - length; x < 2; x++) {
            if (x < 0) continue;
            uint8_t c = (y == 6 || y == 9 || x == 2 - length) ? 6 : 5;
            p.set(ox + x, oy + y, c);
        }
    }
    outline_cell(p, ox, oy, 16, 7);
}

void draw_orb(Picture& p, int ox, int oy, int frame) {
    const double angle = frame * kPi / 2 - kPi / 4;
    const double hx = 7.5 + 2.6 * std::cos(angle), hy = 7.5 + 2.6 * std::sin(angle);
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            double d = std::hypot(x - 7.5, y - 7.5);
            uint8_t c = 0;
            if (d <= 7.4) c = 5;
            if (d <= 6.3) c = 1;
            if (d <= 4.6) c = 2;
            if (d <= 2.6) c = 3;
            if (c && std::hypot(x - hx, y - hy) <= 1.6) c = 4;
            if (c) p.set(ox + x, oy + y, c);
        }
    }
}

void draw_bird(Picture& p, int ox, int oy, int frame) {
    for (int y = 0; y < 16; y++) {
        for (int x = 0; x < 16; x++) {
            double bx = (x - 7.5) / 4.5, by = (y - 9.0) / 2.2;
            uint8_t c = 0;
            if (bx * bx + by * by <= 1.0) c = 1;
            if (std::hypot(x - 12.0, y - 7.5) <= 2.2) c = 1;
            // Wing: a triangle up (frame 0) or down (frame 1) from the back.
            int tip_y = frame ? 15 : 1;
            if (x >= 4 && x <= 10) {
                double t = double(x - 4) / 6.0;  // 0 at the wing's back edge
                int from = 9, to = int(std::lround(tip_y + (9 - tip_y) * t));
                if ((y >= std::min(from, to) && y <= std::max(from, to))) c = 2;
            }
            if (c) p.set(ox + x, oy + y, c);
        }
    }
    p.set(ox + 14, oy + 7, 3);
    p.set(ox + 15, oy + 8, 3);
    p.set(ox + 14, oy + 8, 3);
    p.set(ox + 12, oy + 7, 4);
}

void draw_star(Picture& p, int ox, int oy, int frame) {
    static const int kArm[4] = {1, 2, 3, 2};
    const int arm = kArm[frame];
    p.set(ox + 3, oy + 3, 4);
    p.set(ox + 4, oy + 3, 4);
    p.set(ox + 3, oy + 4, 4);
    p.set(ox + 4, oy + 4, 4);
    for (int i = 1; i <= arm; i++) {
        uint8_t c = i == arm ? 5 : 3;
        p.set(ox + 3, oy + 3 - i, c);
        p.set(ox + 4, oy + 4 + i, c);
        p.set(ox + 3 - i, oy + 4, c);
        p.set(ox + 4 + i, oy + 3, c);
    }
    if (frame == 2) {
        p.set(ox + 1, oy + 1, 5);
        p.set(ox + 6, oy + 6, 5);
        p.set(ox + 6, oy + 1, 5);
        p.set(ox + 1, oy + 6, 5);
    }
}

// --- big lettering --------------------------------------------------------

// Fills `p` with lettering of `text`, each font pixel a `scale` square,
// top left at (x0, y0): a vertical gradient of `bands` colours from
// `first_colour`, a light top edge, a dark outline and a drop shadow.
struct Lettering {
    int scale = 4;
    uint8_t first_colour = 1;
    int bands = 6;
    uint8_t highlight = 0;  // 0: no highlight edge
    uint8_t outline = 0;    // 0: no outline
    uint8_t shadow = 0;
    int shadow_offset = 3;
};

void draw_lettering(Picture& p, const std::string& text, int x0, int y0, const Lettering& l) {
    const int w = int(text.size()) * 6 * l.scale;
    const int h = kGlyphHeight * l.scale;
    auto filled = [&](int x, int y) {
        if (x < x0 || y < y0) return false;
        int fx = (x - x0) / l.scale, fy = (y - y0) / l.scale;
        int letter = fx / 6, column = fx % 6;
        if (letter >= int(text.size())) return false;
        return glyph_pixel(text[size_t(letter)], column, fy);
    };
    for (int y = y0 - 2; y < y0 + h + l.shadow_offset + 2; y++) {
        for (int x = x0 - 2; x < x0 + w + l.shadow_offset + 2; x++) {
            if (filled(x, y)) {
                uint8_t c = uint8_t(l.first_colour + std::min(l.bands - 1, (y - y0) * l.bands / h));
                if (l.highlight && !filled(x, y - 1)) c = l.highlight;
                p.set(x, y, c);
                continue;
            }
            bool edge = false;
            if (l.outline) {
                for (int dy = -1; dy <= 1; dy++) {
                    for (int dx = -1; dx <= 1; dx++) edge = edge || filled(x + dx, y + dy);
                }
            }
            if (edge) p.set(x, y, l.outline);
            else if (l.shadow && filled(x - l.shadow_offset, y - l.shadow_offset)) p.set(x, y, l.shadow);
        }
    }
}

// Tilemap of a picture that covers only some rows of a 32 x 32 map: the
// picture's entries from map row `first_row`, tile 0 elsewhere.
std::vector<MapEntry> place_rows(const std::vector<MapEntry>& entries, int first_row) {
    std::vector<MapEntry> map(32 * 32);
    std::copy(entries.begin(), entries.end(), map.begin() + first_row * 32);
    return map;
}

// --- parallax shapes ------------------------------------------------------

double wave(double x, double period_parts, double phase) { return std::sin(2 * kPi * x * period_parts / 512.0 + phase); }

int mountain_ridge(int x) {
    return int(std::lround(118 + 26 * wave(x, 2, 0.3) + 13 * wave(x, 5, 1.3) + 5 * wave(x, 13, 0.4)));
}

int hill_ground(int x) { return int(std::lround(190 + 8 * wave(x, 3, 0.0) + 5 * wave(x, 7, 2.0))); }

}  // namespace

// ---------------------------------------------------------------------------

void make_common_graphics(Files& files) {
    // BG3 font: ink colour 1, shadow colour 3.
    TileSet font(2, 64);
    font.tiles.clear();
    for (int i = 0; i < kFontGlyphs; i++) font.tiles.push_back(glyph_tile(char(kFontFirst + i), 1, 3));
    files["font_2bpp.bin"] = planar_tiles(font);

    Picture sheet(128, 64);
    for (int i = 0; i < kFontGlyphs; i++) put_tile(sheet, i % 16, i / 16, glyph_tile(char(kFontFirst + i), 1, 2));
    draw_ship(sheet, 0, 32, 0);
    draw_ship(sheet, 16, 32, 1);
    for (int f = 0; f < 4; f++) draw_orb(sheet, 32 + f * 16, 32, f);
    draw_bird(sheet, 96, 32, 0);
    draw_bird(sheet, 112, 32, 1);
    for (int f = 0; f < 4; f++) draw_star(sheet, f * 8, 48, f);
    files["sprites_4bpp.bin"] = sheet_tiles(sheet);

    PaletteBlock pal(128);
    // 0: text and stars
    pal.set(1, bgr(31, 31, 31));
    pal.set(2, bgr(2, 2, 6));
    pal.set(3, bgr(31, 28, 8));
    pal.set(4, bgr(31, 31, 24));
    pal.set(5, bgr(31, 18, 4));
    // 1: the ship
    pal.set(16 + 1, bgr(26, 28, 31));
    pal.set(16 + 2, bgr(16, 18, 26));
    pal.set(16 + 3, bgr(8, 9, 16));
    pal.set(16 + 4, bgr(8, 28, 31));
    pal.set(16 + 5, bgr(31, 28, 6));
    pal.set(16 + 6, bgr(31, 10, 2));
    pal.set(16 + 7, bgr(2, 2, 5));
    // 2: birds
    pal.set(32 + 1, bgr(6, 5, 10));
    pal.set(32 + 2, bgr(10, 8, 14));
    pal.set(32 + 3, bgr(31, 20, 4));
    pal.set(32 + 4, bgr(31, 31, 31));
    // 3: text in yellow
    pal.set(48 + 1, bgr(31, 27, 8));
    pal.set(48 + 2, bgr(6, 3, 1));
    // 4: blue orbs, 5: pink orbs (palettes 4-7 take part in colour math)
    const uint16_t blue[5] = {bgr(6, 14, 31), bgr(12, 22, 31), bgr(24, 30, 31), bgr(31, 31, 31), bgr(3, 6, 20)};
    const uint16_t pink[5] = {bgr(31, 8, 20), bgr(31, 16, 26), bgr(31, 26, 30), bgr(31, 31, 31), bgr(18, 3, 12)};
    for (int i = 0; i < 5; i++) {
        pal.set(size_t(64 + 1 + i), blue[i]);
        pal.set(size_t(80 + 1 + i), pink[i]);
    }
    files["sprites_pal.bin"] = palette_bytes(pal.colours);
}

void make_title_graphics(Files& files) {
    // BG1 (logo, palette 2) and BG2 (pattern, palette 3) share one tile set.
    TileSet set(4, 512);
    Picture logo(256, 48);
    Lettering l;
    l.scale = 4;
    l.first_colour = 1;
    l.bands = 6;
    l.highlight = 8;
    l.outline = 7;
    l.shadow = 9;
    l.shadow_offset = 3;
    draw_lettering(logo, "VELTRANE", 34, 8, l);
    std::vector<MapEntry> logo_map = place_rows(tile_picture(logo, set, true), 2);
    files["title_logo_map.bin"] = map_words(logo_map, 32, 2, true);

    Picture pattern(256, 256);
    for (int y = 0; y < 256; y++) {
        for (int x = 0; x < 256; x++) {
            double d = std::fabs((x & 31) - 15.5) + std::fabs((y & 31) - 15.5);
            int ring = int(d / 4.0);
            pattern.set(x, y, uint8_t(1 + ring % 4));
        }
    }
    files["title_pattern_map.bin"] = map_words(tile_picture(pattern, set, true), 32, 3, false);
    files["title_tiles.bin"] = planar_tiles(set);

    PaletteBlock pal(64);
    // BG3 text: palette 0 white, palette 1 yellow (colour 3 the shadow).
    pal.set(1, bgr(31, 31, 31));
    pal.set(3, bgr(2, 1, 6));
    pal.set(5, bgr(31, 27, 8));
    pal.set(7, bgr(6, 2, 2));
    // Logo: gold gradient, outline, highlight, shadow.
    const uint16_t gold_top = bgr(31, 30, 16), gold_bottom = bgr(28, 10, 2);
    for (int i = 0; i < 6; i++) pal.set(size_t(32 + 1 + i), mix(gold_top, gold_bottom, i / 5.0));
    pal.set(32 + 7, bgr(6, 2, 4));
    pal.set(32 + 8, bgr(31, 31, 28));
    pal.set(32 + 9, bgr(3, 1, 6));
    // Pattern: dark tones that the fixed-colour gradient is added to.
    pal.set(48 + 1, bgr(2, 1, 6));
    pal.set(48 + 2, bgr(4, 2, 9));
    pal.set(48 + 3, bgr(6, 3, 12));
    pal.set(48 + 4, bgr(4, 2, 9));
    files["title_pal.bin"] = palette_bytes(pal.colours);

    // Fixed colour per line through two COLDATA writes: red then blue.
    std::vector<std::vector<uint8_t>> lines;
    for (int row = 0; row < 224; row++) {
        double t = row / 223.0;
        int red = int(std::lround(14 - 12 * t));
        int blue = int(std::lround(3 + 10 * t));
        lines.push_back({uint8_t(0x20 | red), uint8_t(0x80 | blue)});
    }
    files["title_fixed_hdma.bin"] = hdma_every_line(lines);
}

void make_parallax_graphics(Files& files) {
    // Mountains: BG2, palette 3.
    TileSet far(4, 512);
    Picture mountains(512, 256);
    for (int x = 0; x < 512; x++) {
        const int ridge = mountain_ridge(x);
        const bool lit = mountain_ridge((x + 510) % 512) > mountain_ridge((x + 2) % 512);
        for (int y = ridge; y < 256; y++) {
            const int depth = y - ridge;
            uint8_t c;
            if (y < 112 && depth < 5) c = lit ? 1 : 2;
            else if (depth < 3) c = lit ? 3 : 5;
            else if (y < 136) c = 4;
            else if (y < 140) c = ((x + y) & 1) ? 4 : 5;
            else if (y < 168) c = 5;
            else if (y < 172) c = ((x + y) & 1) ? 5 : 6;
            else if (y < 200) c = 6;
            else c = 7;
            mountains.set(x, y, c);
        }
    }
    files["far_map.bin"] = map_words(tile_picture(mountains, far, true), 64, 3, false);
    files["far_tiles.bin"] = planar_tiles(far);

    // Near hills with pine trees: BG1, palette 2.
    TileSet near(4, 512);
    Picture hills(512, 256);
    for (int x = 0; x < 512; x++) {
        const int ground = hill_ground(x);
        for (int y = ground; y < 256; y++) {
            const int depth = y - ground;
            uint8_t c;
            if (depth < 2) c = 1;
            else if (depth < 5) c = 2;
            else if (depth < 8) c = ((x + y) & 1) ? 2 : 3;
            else if (y < 216) c = 3;
            else if (y < 220) c = ((x + y) & 1) ? 3 : 4;
            else c = (hash2(x / 4, y / 4) % 7 == 0) ? 6 : (y < 236 ? 4 : 5);
            hills.set(x, y, c);
        }
    }
    for (int i = 0, x = 24; x < 488; i++, x += 38 + int(hash2(i, 7) % 40)) {
        const int height = 22 + int(hash2(i, 3) % 14);
        const int base = hill_ground(x) + 1;
        for (int r = 0; r < height; r++) {
            const int y = base - 5 - height + r;
            // Three tiers: the half-width grows within a tier and steps back at the next.
            const int tier = r * 3 / height;
            const int half = 1 + (r - tier * height / 3) * 5 / (height / 3) + tier * 2;
            for (int dx = -half; dx <= half; dx++) hills.set(x + dx, y, dx < 0 ? 9 : 8);
        }
        for (int y = base - 5; y < base; y++) {
            hills.set(x, y, 7);
            hills.set(x + 1, y, 7);
        }
    }
    files["near_map.bin"] = map_words(tile_picture(hills, near, true), 64, 2, false);
    files["near_tiles.bin"] = planar_tiles(near);

    // Clouds: BG3 (2 bpp), palette 0 colours 1-3.
    TileSet cloud_set(2, 256);
    Picture clouds(512, 256);
    struct Lobe {
        int dx, dy, r;
    };
    const Lobe lobes[] = {{0, 0, 12}, {-13, 4, 8}, {13, 3, 9}, {5, -6, 8}};
    const int centres[][2] = {{40, 40}, {150, 70}, {245, 28}, {330, 58}, {440, 36}};
    for (const auto& c : centres) {
        for (int y = c[1] - 24; y < c[1] + 24; y++) {
            for (int x = c[0] - 32; x < c[0] + 32; x++) {
                bool inside = false;
                for (const Lobe& lobe : lobes) {
                    if (std::hypot(x - (c[0] + lobe.dx), y - (c[1] + lobe.dy)) <= lobe.r) inside = true;
                }
                if (!inside || y > c[1] + 10) continue;
                uint8_t colour = y > c[1] + 5 ? 3 : (y < c[1] - 4 ? 1 : 2);
                clouds.set((x + 512) % 512, y, colour);
            }
        }
    }
    files["cloud_map.bin"] = map_words(tile_picture(clouds, cloud_set, true), 64, 0, false);
    files["cloud_tiles.bin"] = planar_tiles(cloud_set);

    PaletteBlock pal(64);
    pal.set(1, bgr(30, 30, 31));
    pal.set(2, bgr(24, 24, 30));
    pal.set(3, bgr(17, 17, 26));
    const uint16_t hills_colours[] = {0,
                                      bgr(12, 26, 6),
                                      bgr(6, 20, 4),
                                      bgr(3, 13, 3),
                                      bgr(20, 13, 6),
                                      bgr(15, 9, 4),
                                      bgr(18, 17, 18),
                                      bgr(12, 7, 3),
                                      bgr(2, 10, 5),
                                      bgr(5, 16, 7)};
    for (size_t i = 1; i < std::size(hills_colours); i++) pal.set(32 + i, hills_colours[i]);
    const uint16_t mountain_colours[] = {0,
                                         bgr(28, 29, 31),
                                         bgr(18, 20, 27),
                                         bgr(15, 12, 21),
                                         bgr(11, 9, 17),
                                         bgr(8, 6, 13),
                                         bgr(6, 4, 10),
                                         bgr(4, 3, 7)};
    for (size_t i = 1; i < std::size(mountain_colours); i++) pal.set(48 + i, mountain_colours[i]);
    files["parallax_pal.bin"] = palette_bytes(pal.colours);

    // Sky: colour 0 per line through CGADD, CGADD, CGDATA, CGDATA.
    const std::vector<std::pair<int, uint16_t>> stops = {
        {0, bgr(1, 2, 10)}, {90, bgr(10, 6, 20)}, {150, bgr(28, 14, 10)}, {223, bgr(31, 24, 12)}};
    std::vector<std::vector<uint8_t>> lines;
    for (int row = 0; row < 224; row++) {
        uint16_t c = gradient(stops, row);
        lines.push_back({0, 0, uint8_t(c), uint8_t(c >> 8)});
    }
    files["sky_hdma.bin"] = hdma_every_line(lines);
}

void make_mode7_graphics(Files& files) {
    // Tile 0 is water: it also fills everything outside the plane.
    TileSet set(8, 256);
    Tile water{};
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) water[size_t(y * 8 + x)] = 1;
    }
    const int crest[8][2] = {{1, 3}, {2, 2}, {3, 2}, {4, 3}, {5, 4}, {6, 4}, {0, 4}, {7, 3}};
    for (const auto& p : crest) water[size_t(p[1] * 8 + p[0])] = 2;
    set.tiles[0] = water;

    Picture plane(1024, 1024);
    for (int y = 0; y < 1024; y++) {
        for (int x = 0; x < 1024; x++) {
            uint8_t c;
            if (x < 64 || y < 64 || x >= 960 || y >= 960) {
                c = water[size_t((y & 7) * 8 + (x & 7))];
            } else if (x < 72 || y < 72 || x >= 952 || y >= 952) {
                c = 16;  // stone rim
            } else {
                const bool b = ((x >> 6) + (y >> 6)) & 1;
                const int fx = x & 63, fy = y & 63;
                int shade = 0;  // base
                if (fx < 3 || fy < 3) shade = 1;
                else if (fx >= 61 || fy >= 61) shade = 2;
                c = uint8_t((b ? 6 : 3) + shade);
            }
            plane.set(x, y, c);
        }
    }
    Lettering l;
    l.scale = 8;
    l.first_colour = 9;
    l.bands = 6;
    l.shadow = 15;
    l.shadow_offset = 8;
    draw_lettering(plane, "VELTRANE", 320, 448, l);
    draw_lettering(plane, "MODE 7", 368, 536, l);

    const std::vector<MapEntry> entries = tile_picture(plane, set, false);
    std::vector<uint8_t> map;
    for (const MapEntry& e : entries) map.push_back(uint8_t(e.tile));
    files["plane_map.bin"] = map;
    files["plane_tiles.bin"] = linear_tiles(set);

    PaletteBlock pal(256);
    pal.set(1, bgr(2, 6, 16));
    pal.set(2, bgr(8, 14, 24));
    pal.set(3, bgr(6, 18, 16));
    pal.set(4, bgr(10, 24, 21));
    pal.set(5, bgr(3, 12, 11));
    pal.set(6, bgr(20, 20, 24));
    pal.set(7, bgr(26, 26, 29));
    pal.set(8, bgr(13, 13, 18));
    const uint16_t gold_top = bgr(31, 30, 14), gold_bottom = bgr(26, 12, 2);
    for (int i = 0; i < 6; i++) pal.set(size_t(9 + i), mix(gold_top, gold_bottom, i / 5.0));
    pal.set(15, bgr(2, 3, 6));
    pal.set(16, bgr(12, 10, 8));
    files["plane_pal.bin"] = palette_bytes(pal.colours);

    // One turn in 512 frames while the zoom swings twice between 0.35 (the
    // whole plane and the water around it) and 0.95: M7A-M7D per frame in
    // 1/256 units.
    std::vector<uint16_t> matrices;
    for (int i = 0; i < 512; i++) {
        const double angle = 2 * kPi * i / 512.0;
        const double zoom = 0.65 - 0.3 * std::cos(4 * kPi * i / 512.0);
        const int a = int(std::lround(256 * std::cos(angle) / zoom));
        const int b = int(std::lround(256 * std::sin(angle) / zoom));
        matrices.push_back(uint16_t(a));
        matrices.push_back(uint16_t(b));
        matrices.push_back(uint16_t(-b));
        matrices.push_back(uint16_t(a));
    }
    files["plane_matrix.bin"] = word_bytes(matrices);
}

void make_tables(Files& files) {
    std::vector<uint8_t> sine;
    for (int i = 0; i < 256; i++) sine.push_back(uint8_t(int8_t(std::lround(127 * std::sin(2 * kPi * i / 256.0)))));
    files["sine.bin"] = sine;

    // Half-widths of the spotlight, radius 40, for line distances 0-40.
    std::vector<uint8_t> circle;
    for (int dy = 0; dy <= 40; dy++) circle.push_back(uint8_t(std::lround(std::sqrt(40.0 * 40.0 - dy * dy))));
    files["circle.bin"] = circle;
}

}  // namespace demo
