#include "nes/nes_ppu_render.h"

#include <array>
#include <bit>
#include <cstring>

#include "nes/nes_palette.h"
#include "video/ppu.h"

namespace vt {

static_assert(std::endian::native == std::endian::little,
              "the line renderer stores eight pixels as one 64-bit word");

namespace {

// kSpread[b]: the eight bits of a pattern byte, leftmost pixel (bit 7) in
// the lowest byte of the word, one bit per byte. Two planes then make eight
// 2-bit pixels with one shift and one OR.
constexpr std::array<uint64_t, 256> make_spread() {
    std::array<uint64_t, 256> table{};
    for (int b = 0; b < 256; b++)
        for (int i = 0; i < 8; i++)
            if (b & (0x80 >> i)) table[b] |= uint64_t(1) << (8 * i);
    return table;
}
constexpr std::array<uint64_t, 256> kSpread = make_spread();

// The same with the byte mirrored (horizontally flipped sprites).
constexpr std::array<uint64_t, 256> make_spread_flipped() {
    std::array<uint64_t, 256> table{};
    for (int b = 0; b < 256; b++)
        for (int i = 0; i < 8; i++)
            if (b & (1 << i)) table[b] |= uint64_t(1) << (8 * i);
    return table;
}
constexpr std::array<uint64_t, 256> kSpreadFlipped = make_spread_flipped();

constexpr uint64_t kLaneLowBits = 0x0101010101010101ull;

// Sprite line bytes: bits 0-4 the palette index, bit 5 behind the
// background, bit 6 a pixel of sprite 0. Zero is no sprite.
constexpr uint8_t kSpriteBehind = 0x20;
constexpr uint8_t kSpriteZero = 0x40;

inline uint8_t pattern_byte(const NesPpu& p, uint16_t address) {
    return p.chr_page[address >> 10][address & 0x3FF];
}

// Eight palette indices of one tile row: pixel value 0 stays 0 (the
// backdrop), others get the palette number in bits 2-3 (or 2-4).
inline uint64_t tile_row(uint64_t pixels, uint8_t palette_bits) {
    uint64_t opaque = (pixels | pixels >> 1) & kLaneLowBits;
    return pixels | opaque * palette_bits;
}

// The 33 tiles under the line from v onwards (fine x may show part of the
// 33rd), written from `out` - fine x so that out[0] is screen pixel 0.
void fetch_background(const NesPpu& p, uint8_t* out) {
    alignas(8) uint8_t tiles[33 * 8];
    uint16_t v = p.v;
    const uint16_t fine_y = (v >> 12) & 7;
    const uint16_t pattern_base = uint16_t((p.control & 0x10) << 8);
    for (int tile = 0; tile < 33; tile++) {
        const uint8_t* nametable = p.nametable_page[(v >> 10) & 3];
        uint16_t name = nametable[v & 0x3FF];
        uint8_t attribute = nametable[0x3C0 | ((v >> 4) & 0x38) | ((v >> 2) & 7)];
        int shift = ((v >> 4) & 4) | (v & 2);
        uint8_t palette_bits = uint8_t(((attribute >> shift) & 3) << 2);
        uint16_t address = uint16_t(pattern_base | name << 4 | fine_y);
        uint64_t pixels = kSpread[pattern_byte(p, address)] | kSpread[pattern_byte(p, address + 8)] << 1;
        uint64_t row = tile_row(pixels, palette_bits);
        std::memcpy(tiles + tile * 8, &row, 8);
        // Coarse x wraps into the horizontally neighbouring nametable.
        if ((v & 0x1F) == 31)
            v = uint16_t((v & ~0x1F) ^ 0x400);
        else
            v++;
    }
    // Fine x is three bits; masked here too, since a state file may hold any byte.
    std::memcpy(out, tiles + (p.fine_x & 7), 256);
}

struct LineSprites {
    uint8_t count = 0;
    uint8_t index[8];
};

// The sprites on `line`: the unit looks for them during the line before,
// comparing OAM's y bytes (the line above the sprite's top) with that
// line. After eight it goes on looking for a ninth to set the overflow
// flag, but steps through the bytes of each entry as if they were y bytes
// (the hardware's diagonal scan), so the flag is both missed and raised
// falsely as on the console.
LineSprites evaluate_sprites(NesPpu& p, uint16_t line) {
    LineSprites found;
    const int compared = int(line) - 1;
    const int height = (p.control & 0x20) ? 16 : 8;
    int n = 0;
    for (; n < 64 && found.count < 8; n++) {
        int row = compared - p.oam[n * 4];
        if (row >= 0 && row < height) found.index[found.count++] = uint8_t(n);
    }
    int m = 0;
    for (; n < 64; n++) {
        int row = compared - p.oam[n * 4 + m];
        if (row >= 0 && row < height) {
            p.status |= 0x20;
            break;
        }
        m = (m + 1) & 3;
    }
    return found;
}

// Draws the found sprites into `line` (264 bytes, zeroed): the first found
// sprite's opaque pixel wins, whatever its priority bit says.
void draw_sprites(const NesPpu& p, uint16_t line, const LineSprites& sprites, uint8_t* out) {
    const int compared = int(line) - 1;
    const bool tall = p.control & 0x20;
    const int height = tall ? 16 : 8;
    for (int k = 0; k < sprites.count; k++) {
        const uint8_t* entry = &p.oam[sprites.index[k] * 4];
        uint8_t tile = entry[1], attributes = entry[2], x = entry[3];
        int row = compared - entry[0];
        if (attributes & 0x80) row = height - 1 - row;
        uint16_t address;
        if (tall) {
            address = uint16_t((tile & 1) << 12 | (tile & 0xFE) << 4);
            if (row >= 8) {
                address += 16;
                row -= 8;
            }
        } else {
            address = uint16_t((p.control & 0x08) << 9 | tile << 4);
        }
        address = uint16_t(address | row);
        const auto& spread = (attributes & 0x40) ? kSpreadFlipped : kSpread;
        uint64_t pixels = spread[pattern_byte(p, address)] | spread[pattern_byte(p, address + 8)] << 1;
        if (!pixels) continue;
        uint8_t flags = uint8_t(0x10 | (attributes & 3) << 2);
        if (attributes & 0x20) flags |= kSpriteBehind;
        if (k == 0 && sprites.index[0] == 0) flags |= kSpriteZero;
        uint8_t* dest = out + x;
        for (int i = 0; i < 8; i++) {
            uint8_t value = uint8_t(pixels >> (8 * i)) & 3;
            if (value && !dest[i]) dest[i] = flags | value;
        }
    }
}

// Writes 256 palette indices as 512 doubled pixels into both rows of the
// line that lie inside the picture.
void output_line(const NesPpu& p, uint16_t line, const uint8_t* indices, uint8_t* picture) {
    NesColour colours[32];
    const NesColour* table = nes_colour_table().colour[p.mask >> 5];
    const uint8_t grey = (p.mask & 1) ? 0x30 : 0x3F;
    for (int i = 0; i < 32; i++) colours[i] = table[p.palette[i] & grey];
    alignas(8) uint8_t row[kPictureStride + 8];
    for (int x = 0; x < 256; x++) {
        NesColour c = colours[indices[x]];
        std::memcpy(row + 6 * x, &c, 4);
        std::memcpy(row + 6 * x + 3, &c, 4);
    }
    int first = 2 * line - 1;
    for (int r = first; r <= first + 1; r++)
        if (r >= 0 && r < kPictureHeight) std::memcpy(picture + size_t(r) * kPictureStride, row, kPictureStride);
}

}  // namespace

void nes_ppu_render_line(NesPpu& p, uint16_t line, uint8_t* picture) {
    alignas(8) uint8_t indices[256];
    const bool background_on = p.mask & 0x08;
    const bool sprites_on = p.mask & 0x10;
    if (!background_on && !sprites_on) {
        // With rendering off the unit shows the backdrop, or the palette
        // entry v points at while v is inside the palette.
        uint8_t backdrop = (p.v & 0x3F00) == 0x3F00 ? uint8_t(p.v & 0x1F) : 0;
        std::memset(indices, backdrop, sizeof indices);
        if (picture) output_line(p, line, indices, picture);
        return;
    }

    alignas(8) uint8_t background[256];
    if (background_on)
        fetch_background(p, background);
    else
        std::memset(background, 0, sizeof background);
    if (!(p.mask & 0x02)) std::memset(background, 0, 8);

    alignas(8) uint8_t sprites[256 + 8] = {};
    LineSprites found = evaluate_sprites(p, line);
    if (sprites_on) {
        draw_sprites(p, line, found, sprites);
        if (!(p.mask & 0x04)) std::memset(sprites, 0, 8);
    }

    for (int x = 0; x < 256; x++) {
        uint8_t s = sprites[x], b = background[x];
        indices[x] = (s && (!(s & kSpriteBehind) || !b)) ? (s & 0x1F) : b;
    }

    // Sprite-zero hit: an opaque pixel of sprite 0 over an opaque
    // background pixel, never at x = 255 (nor where either is clipped).
    if (found.count && found.index[0] == 0 && background_on && sprites_on && !(p.status & 0x40)) {
        for (int x = 0; x < 255; x++) {
            if ((sprites[x] & kSpriteZero) && background[x]) {
                p.sprite_zero_dot = uint16_t(x + 1);
                break;
            }
        }
    }
    if (picture) output_line(p, line, indices, picture);
}

}  // namespace vt
