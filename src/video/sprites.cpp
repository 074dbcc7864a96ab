// Sprites: OAM decoded into ready records when it (or OBJSEL) changed, the
// range evaluation at the H-blank of each visible line, and the drawing of
// the listed sprites into the sprite line when the next line is rendered.
#include <algorithm>
#include <cstring>

#include "core/machine.h"
#include "video/render.h"

namespace vt {

void decode_oam(Ppu& p) {
    for (int i = 0; i < 128; i++) {
        const uint8_t* low = &p.oam[size_t(i) * 4];
        const uint8_t high = uint8_t(p.oam[512 + i / 4] >> ((i & 3) * 2));
        const uint8_t attributes = low[3];
        SpriteRecord& s = p.sprites[i];

        // Nine bits of X: 0-256 as they are, 257-511 to the left of the screen.
        const int x = low[0] | ((high & 1) << 8);
        s.x = int16_t(x > 256 ? x - 512 : x);
        s.y = low[1];
        s.size = (high & 2) ? p.obj_size_large : p.obj_size_small;

        // Attribute bit 0 picks the second name table, which lies the name
        // gap beyond the first.
        const int table = p.obj_name_base + ((attributes & 1) ? 1 + p.obj_name_gap : 0);
        s.tile = uint16_t((((table << 8) + low[2]) << 4) & 0x7FFF);
        s.colour_base = uint8_t(128 + ((attributes >> 1) & 7) * 16);
        s.priority = (attributes >> 4) & 3;
        s.flips = uint8_t(((attributes & 0x80) ? kFlipVertical : 0) | ((attributes & 0x40) ? kFlipHorizontal : 0));
    }
    p.oam_changed = false;
}

void evaluate_sprite_range(Ppu& p, int v, bool report) {
    if (p.oam_changed) decode_oam(p);
    // With priority rotation the walk starts at the sprite OAMADDL names.
    const int first = (p.oam_priority_start >> 4) & 127;
    // Sprite interlace shows every other row: half the height on screen.
    const int height_shift = (p.setini & 2) ? 1 : 0;
    int found = 0;
    for (int k = 0; k < 128; k++) {
        const int index = (first + k) & 127;
        const SpriteRecord& s = p.sprites[index];
        if (s.x + s.size <= 0) continue;
        if (((v - s.y) & 0xFF) >= (s.size >> height_shift)) continue;
        if (found == kSpritesPerLine) {
            if (report) p.stat77 |= kStat77RangeOver;
            break;
        }
        p.sprite_list[found++] = uint8_t(index);
    }
    p.sprite_count = uint8_t(found);
}

void sprite_evaluation(Machine& m) { evaluate_sprite_range(m.ppu, m.timing.line, true); }

namespace {

// Eight pixels of one tile row at screen x (kept to the 512-entry wrap of
// the sprite line), mirrored for a horizontally flipped sprite; pixel
// value 0 is transparent.
inline void draw_sprite_sliver(Ppu& p, const uint8_t* row_pixels, int x, const SpriteRecord& s, bool mirrored) {
    uint64_t pixels;
    std::memcpy(&pixels, row_pixels, 8);  // pixel i in byte i
    if (mirrored) pixels = __builtin_bswap64(pixels);
    for (int i = 0; i < 8; i++, pixels >>= 8) {
        const uint8_t value = uint8_t(pixels);
        if (value == 0) continue;
        const int at = (x + i) & 0x1FF;
        p.obj_colour[at] = uint8_t(value | s.colour_base);
        p.obj_priority[at] = s.priority;
    }
}

}  // namespace

// The list is drawn from its end, so that of two overlapping sprites the
// one found first ends on top. Each tile column drawn costs one of the 34
// slivers of the line; columns off the screen cost nothing.
void sprites_draw_line(Machine& m) {
    Ppu& p = m.ppu;
    std::fill_n(p.obj_priority.begin(), 256, uint8_t(0x80));
    if (p.oam_changed) decode_oam(p);
    const int line = m.timing.line;
    const bool interlace = p.setini & 2;
    const int field = p.stat78 >> 7;
    int budget = kSliversPerLine;

    for (int k = p.sprite_count - 1; k >= 0; k--) {
        const SpriteRecord& s = p.sprites[p.sprite_list[k]];
        int row = (line - s.y - 1) & 0xFF;
        if (interlace) row = row * 2 + field;
        if (s.flips & kFlipVertical) row = s.size - 1 - row;
        // The tile row below is 16 tiles (0x100 words) on.
        const int row_tile = s.tile + (row >> 3) * 0x100;
        const int fine_row = row & 7;
        const bool mirrored = s.flips & kFlipHorizontal;
        const int columns = s.size >> 3;

        for (int c = 0; c < columns; c++) {
            const int x = s.x + c * 8;
            if ((x & 0x100) && (x & 0xFF) <= 0xF8) continue;  // wholly off the screen
            const int column = mirrored ? columns - 1 - c : c;
            const uint16_t tile = uint16_t((row_tile + column * 16) & 0x7FFF);
            ensure_tile_decoded<4>(p, tile);
            if (--budget < 0) {
                p.stat77 |= kStat77TimeOver;
                return;
            }
            draw_sprite_sliver(p, &p.tile_pixels[size_t(tile + fine_row) * 8], x, s, mirrored);
        }
    }
}

}  // namespace vt
