#include "coproc/cx4/cx4_bitmaps.h"

#include <algorithm>
#include <array>

#include "coproc/cx4/cx4_access.h"
#include "coproc/cx4/cx4_trig.h"

namespace vt {

namespace {

constexpr uint32_t kSourceStart = 0x600;

// The packed source picture, copied out of the RAM before the output
// overwrites it. Pixels outside the picture or past the RAM's end are 0.
struct Source {
    std::array<uint8_t, kCx4RamSize - kSourceStart> bytes;
    int width, height;

    explicit Source(const Cx4& c)
        : width(cx4_reg8(c, 0x7F89) & 0xF8), height(cx4_reg8(c, 0x7F8C) & 0xF8) {
        std::copy(c.ram.begin() + kSourceStart, c.ram.end(), bytes.begin());
    }
    int pixel(int64_t x, int64_t y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) return 0;
        const size_t i = size_t(y * width + x);
        if (i / 2 >= bytes.size()) return 0;
        return i & 1 ? bytes[i / 2] >> 4 : bytes[i / 2] & 15;
    }
};

// Output in tiles, tiles_per_row tiles to a row of tiles.
void clear_tiles(Cx4& c, int tiles_per_row, int height) {
    const size_t bytes = std::min<size_t>(size_t(32 * tiles_per_row * (height / 8)), kCx4RamSize);
    std::fill_n(c.ram.begin(), bytes, uint8_t(0));
}

void put_pixel(Cx4& c, int tiles_per_row, int x, int y, int colour) {
    const uint32_t row = 32 * uint32_t((y / 8) * tiles_per_row + x / 8) + 2 * uint32_t(y % 8);
    if (row + 17 >= kCx4RamSize) return;
    const uint8_t bit = uint8_t(0x80 >> (x % 8));
    const uint32_t planes[4] = {row, row + 1, row + 16, row + 17};
    for (int p = 0; p < 4; p++) {
        uint8_t& b = c.ram[planes[p]];
        b = colour >> p & 1 ? uint8_t(b | bit) : uint8_t(b & ~bit);
    }
}

// Scale words of $03/$07: bit 15 set is read as the largest positive step.
int64_t step_scale(uint16_t v) { return v & 0x8000 ? 0x7FFF : v; }

// cos and sin as 1.15 with the right angles exact (1.0 = 32768), so the
// quarter turns copy pixels without drift.
void exact_cos_sin(int angle, int32_t& cos, int32_t& sin) {
    switch (angle) {
        case 0: cos = 32768, sin = 0; return;
        case 128: cos = 0, sin = 32768; return;
        case 256: cos = -32768, sin = 0; return;
        case 384: cos = 0, sin = -32768; return;
        default: cos = cx4_cos(angle), sin = cx4_sin(angle); return;
    }
}

}  // namespace

void cx4_scale_rotate(Cx4& c, bool gap_after_each_tile_row) {
    const Source source(c);
    const int w = source.width, h = source.height;
    const int tiles_per_row = w / 8 + (gap_after_each_tile_row ? 2 : 0);
    clear_tiles(c, tiles_per_row, h);

    int32_t cos, sin;
    exact_cos_sin(cx4_reg16(c, 0x7F80) & 0x1FF, cos, sin);
    const int64_t cx = int16_t(cx4_reg16(c, 0x7F83));
    const int64_t cy = int16_t(cx4_reg16(c, 0x7F86));
    const int64_t sx = step_scale(cx4_reg16(c, 0x7F8F));
    const int64_t sy = step_scale(cx4_reg16(c, 0x7F92));
    // The inverse mapping in 1.12: along a row the source moves by (a, c),
    // down a row by (b, d).
    const int64_t a = (cos * sx) >> 15, b = -((sin * sy) >> 15);
    const int64_t cc = (sin * sx) >> 15, d = (cos * sy) >> 15;
    const int64_t x0 = cx * 0x1000 - (a * cx + b * cy);
    const int64_t y0 = cy * 0x1000 - (cc * cx + d * cy);

    for (int y = 0; y < h; y++) {
        int64_t u = x0 + b * y, v = y0 + d * y;
        for (int x = 0; x < w; x++, u += a, v += cc) {
            const int colour = source.pixel(u >> 12, v >> 12);
            if (colour) put_pixel(c, tiles_per_row, x, y, colour);
        }
    }
}

void cx4_disintegrate(Cx4& c) {
    const Source source(c);
    const int w = source.width, h = source.height;
    clear_tiles(c, w / 8, h);

    const int64_t cx = int16_t(cx4_reg16(c, 0x7F80));
    const int64_t cy = int16_t(cx4_reg16(c, 0x7F83));
    const int64_t sx = int16_t(cx4_reg16(c, 0x7F86));
    const int64_t sy = int16_t(cx4_reg16(c, 0x7F8F));
    int64_t v = cy * 256 - cy * sy;
    for (int i = 0; i < h; i++, v += sy) {
        int64_t u = cx * 256 - cx * sx;
        for (int j = 0; j < w; j++, u += sx) {
            const int colour = source.pixel(j, i);
            const int64_t x = u >> 8, y = v >> 8;
            if (colour == 0 || x < 0 || y < 0 || x >= w || y >= h) continue;
            put_pixel(c, w / 8, int(x), int(y), colour);
        }
    }
}

void cx4_wave(Cx4& c) {
    constexpr uint32_t kPattern = 0xA00, kWave = 0xB00;
    const int start = cx4_reg8(c, 0x7F83);
    for (int column = 0; column < 128; column++) {
        const int wave = int8_t(c.ram[kWave + size_t((start + column) & 127)]);
        const uint8_t bit = uint8_t(0x80 >> (column % 8));
        for (int i = 0; i < 40; i++) {
            const int h = i - 16 + wave;
            bool plane0 = false, plane1 = false;
            if (h >= 8) {
                plane1 = true;
            } else if (h >= 0) {
                plane0 = c.ram[kPattern + size_t(2 * h)] & bit;
                plane1 = c.ram[kPattern + size_t(2 * h + 1)] & bit;
            }
            const size_t row = size_t(512 * (i / 8) + 32 * (column / 8) + 2 * (i % 8));
            c.ram[row] = plane0 ? uint8_t(c.ram[row] | bit) : uint8_t(c.ram[row] & ~bit);
            c.ram[row + 1] = plane1 ? uint8_t(c.ram[row + 1] | bit) : uint8_t(c.ram[row + 1] & ~bit);
        }
    }
}

}  // namespace vt
