// PLOT and RPIX: pixels in the bit-planar characters of the GSU screen.
//
// The screen is a grid of 8x8 characters in the layout the PPU reads: the
// character of pixel (x, y) sits in column cx = x / 8 and row cy = y / 8 and
// its number depends on the screen height (characters run down the columns)
// or on the OBJ layout (four 16x16 blocks of characters, as sprites use).
// Each row of a character is two bytes per bit-plane pair, pairs 16 bytes
// apart. The byte offsets of a character column and row come from two
// tables per colour depth and height, so a plot adds instead of multiplying.
#include <array>
#include <cstddef>

#include "coproc/gsu/gsu.h"

namespace vt {

using std::size_t;

namespace {

// Depth classes: 0 = 2 planes (colour modes 0 and 2), 1 = 4 planes, 2 = 8.
constexpr int kDepthOfMode[4] = {0, 1, 0, 2};
constexpr int kPlanesOfDepth[3] = {2, 4, 8};
constexpr int kBytesPerCharacter[3] = {16, 32, 64};

struct PlotTables {
    // [depth][height index][cx or cy]
    std::array<std::array<std::array<uint16_t, 32>, 4>, 3> column{};
    std::array<std::array<std::array<uint16_t, 32>, 4>, 3> row{};
};

constexpr PlotTables make_plot_tables() {
    PlotTables t{};
    constexpr int kLinesPerColumn[3] = {16, 20, 24};  // characters down one column
    for (int d = 0; d < 3; d++) {
        int bytes = kBytesPerCharacter[d];
        for (int c = 0; c < 32; c++) {
            for (int h = 0; h < 3; h++) {
                t.column[size_t(d)][size_t(h)][size_t(c)] = uint16_t(c * kLinesPerColumn[h] * bytes);
                t.row[size_t(d)][size_t(h)][size_t(c)] = uint16_t(c * bytes);
            }
            // OBJ layout: 16 characters per row of a block; the right blocks
            // start at character 256, the lower ones at 512.
            t.column[size_t(d)][3][size_t(c)] = uint16_t(((c & 15) + (c >= 16 ? 256 : 0)) * bytes);
            t.row[size_t(d)][3][size_t(c)] = uint16_t(((c & 15) * 16 + (c >= 16 ? 512 : 0)) * bytes);
        }
    }
    return t;
}

constexpr PlotTables kPlotTables = make_plot_tables();

// The byte of plane `plane` in the row of a pixel, the screen wrapping
// within the 128 KiB of GSU RAM.
inline uint8_t& plane_byte(const Gsu& g, uint32_t row, int plane) {
    uint32_t offset = uint16_t(row + (plane >> 1) * 16 + (plane & 1));
    return g.ram[(g.screen_base + offset) & kGsuRamMask];
}

}  // namespace

void gsu_select_plot_tables(Gsu& g) {
    int depth = kDepthOfMode[g.colour_mode & 3];
    int height = (g.por & kPorObj) ? 3 : g.height_index & 3;
    g.plot_column = kPlotTables.column[size_t(depth)][size_t(height)].data();
    g.plot_row = kPlotTables.row[size_t(depth)][size_t(height)].data();
}

uint32_t gsu_pixel_row_offset(const Gsu& g, uint8_t x, uint8_t y) {
    return uint16_t(g.plot_column[(x >> 3) & 31] + g.plot_row[(y >> 3) & 31] + (y & 7) * 2);
}

void gsu_plot(Gsu& g) {
    uint8_t x = uint8_t(g.r[1]), y = uint8_t(g.r[2]);
    g.r[1]++;
    int depth = kDepthOfMode[g.colour_mode & 3];
    uint8_t colour = g.colr;
    if (depth == 1 && (g.por & kPorDither) && ((x ^ y) & 1)) colour >>= 4;
    if (!(g.por & kPorOpaque)) {
        if (depth < 2) {
            if ((colour & 15) == 0) return;
        } else if (colour == 0 || ((g.por & kPorFreezeHigh) && (colour & 15) == 0)) {
            return;
        }
    }
    uint32_t row = gsu_pixel_row_offset(g, x, y);
    uint8_t bit = uint8_t(0x80 >> (x & 7));
    for (int plane = 0; plane < kPlanesOfDepth[depth]; plane++) {
        uint8_t& b = plane_byte(g, row, plane);
        b = ((colour >> plane) & 1) ? uint8_t(b | bit) : uint8_t(b & ~bit);
    }
}

uint8_t gsu_read_pixel(const Gsu& g, uint8_t x, uint8_t y) {
    int depth = kDepthOfMode[g.colour_mode & 3];
    uint32_t row = gsu_pixel_row_offset(g, x, y);
    int shift = 7 - (x & 7);
    uint8_t v = 0;
    for (int plane = 0; plane < kPlanesOfDepth[depth]; plane++) {
        v |= uint8_t(((plane_byte(g, row, plane) >> shift) & 1) << plane);
    }
    return v;
}

}  // namespace vt
