// PLOT and RPIX in every colour depth and screen layout, with dither and
// transparency, against the character layout the PPU reads.
#include <gtest/gtest.h>

#include "coproc/gsu/gsu_harness.h"

namespace vt::test {
namespace {

// The layout written out: character number by screen height (characters
// down the columns of 16, 20 or 24) or the OBJ layout (16x16-character
// blocks), then the row's byte of each bit plane.
uint32_t character_of(int height, int x, int y) {
    int cx = (x / 8) % 32, cy = (y / 8) % 32;
    switch (height) {
        case 0: return uint32_t(cx * 16 + cy);
        case 1: return uint32_t(cx * 20 + cy);
        case 2: return uint32_t(cx * 24 + cy);
        default: return uint32_t((cx % 16) + (cy % 16) * 16 + (cx >= 16 ? 256 : 0) + (cy >= 16 ? 512 : 0));
    }
}

int planes_of(int mode) { return mode == 1 ? 4 : mode == 3 ? 8 : 2; }

uint32_t plane_byte_offset(int mode, int height, int x, int y, int plane) {
    uint32_t bytes = uint32_t(planes_of(mode) * 8);
    return (character_of(height, x, y) * bytes + uint32_t(y % 8) * 2 + uint32_t(plane / 2) * 16 + uint32_t(plane % 2)) &
           0xFFFF;
}

// SCMR with colour mode and height index (bit 2 and bit 5) and RON.
uint8_t scmr_for(int mode, int height) {
    return uint8_t(mode | ((height & 1) << 2) | ((height & 2) << 4) | kScmrRon);
}

void set_por(GsuMachine& t, uint8_t por) {
    t.gsu().por = por;
    gsu_select_plot_tables(t.gsu());
}

void plot(GsuMachine& t, int x, int y, uint8_t colour) {
    t.set_r(1, uint16_t(x));
    t.set_r(2, uint16_t(y));
    t.gsu().colr = colour;
    t.start({0x4C, kNop});
    t.run(1);
}

uint16_t rpix(GsuMachine& t, int x, int y) {
    t.set_r(1, uint16_t(x));
    t.set_r(2, uint16_t(y));
    t.start(alt1(0x4C) + Code{kNop});
    t.run(2);
    return t.r(0);
}

TEST(GsuPlot, EveryDepthAndLayoutPutsThePixelWhereThePpuReadsIt) {
    const int kPoints[][2] = {{0, 0}, {7, 0}, {9, 5}, {100, 63}, {130, 127}, {255, 150}, {64, 191}, {200, 255}};
    for (int mode : {0, 1, 2, 3}) {
        for (int height = 0; height < 5; height++) {  // 4: OBJ through POR bit 4
            SCOPED_TRACE(testing::Message() << "mode " << mode << " height " << height);
            GsuMachine t;
            for (uint32_t i = 0; i < kGsuRamSize; i++) t.ram(i) = 0;
            t.write_reg(0x303A, scmr_for(mode, height == 4 ? 0 : height));
            const int layout = height == 4 ? 3 : height;
            uint8_t mask = uint8_t((1 << planes_of(mode)) - 1);
            for (const auto& p : kPoints) {
                const int x = p[0], y = p[1];
                const uint8_t colour = uint8_t((0xA5 + x * 7 + y) | 1) & mask;
                set_por(t, uint8_t(kPorOpaque | (height == 4 ? kPorObj : 0)));
                plot(t, x, y, colour);
                EXPECT_EQ(t.r(1), x + 1);
                for (int plane = 0; plane < planes_of(mode); plane++) {
                    uint8_t b = t.ram(plane_byte_offset(mode, layout, x, y, plane));
                    EXPECT_EQ((b >> (7 - x % 8)) & 1, (colour >> plane) & 1) << "plane " << plane << " at " << x << ","
                                                                             << y;
                    EXPECT_EQ(b & ~(0x80 >> (x % 8)) & 0xFF, 0) << "a neighbour was touched";
                }
                EXPECT_EQ(rpix(t, x, y), colour);
                EXPECT_EQ(t.r(1), x);  // RPIX leaves X alone
                // Clear it again with an opaque colour 0.
                plot(t, x, y, 0);
                EXPECT_EQ(rpix(t, x, y), 0);
            }
        }
    }
}

TEST(GsuPlot, DitherAlternatesTheNibblesInSixteenColourModeOnly) {
    GsuMachine t;
    t.write_reg(0x303A, scmr_for(1, 0));
    set_por(t, kPorDither);
    plot(t, 0, 0, 0x5A);
    plot(t, 1, 0, 0x5A);
    plot(t, 0, 1, 0x5A);
    plot(t, 1, 1, 0x5A);
    EXPECT_EQ(rpix(t, 0, 0), 0xA);
    EXPECT_EQ(rpix(t, 1, 0), 0x5);
    EXPECT_EQ(rpix(t, 0, 1), 0x5);
    EXPECT_EQ(rpix(t, 1, 1), 0xA);
    // No dither in 4 or 256 colours.
    t.write_reg(0x303A, scmr_for(0, 0));
    plot(t, 1, 0, 0x5A);
    EXPECT_EQ(rpix(t, 1, 0), 0x2);
    t.write_reg(0x303A, scmr_for(3, 0));
    plot(t, 1, 0, 0x5A);
    EXPECT_EQ(rpix(t, 1, 0), 0x5A);
}

struct TransparencyCase {
    const char* name;
    int mode;
    uint8_t por;
    uint8_t colour;
    bool plotted;
};

TEST(GsuPlot, TransparentColoursDrawNothingButStillStepX) {
    const TransparencyCase cases[] = {
        {"4 colours, low nibble 0", 0, 0, 0x30, false},
        {"4 colours, low nibble not 0", 0, 0, 0x34, true},
        {"16 colours, 0", 1, 0, 0x00, false},
        {"16 colours, $F0", 1, 0, 0xF0, false},
        {"16 colours, opaque", 1, kPorOpaque, 0xF0, true},
        {"256 colours, 0", 3, 0, 0x00, false},
        {"256 colours, $F0", 3, 0, 0xF0, true},
        {"256 colours, $F0 with the high nibble frozen", 3, kPorFreezeHigh, 0xF0, false},
        {"256 colours, 0 opaque", 3, kPorOpaque, 0x00, true},
    };
    for (const TransparencyCase& c : cases) {
        SCOPED_TRACE(c.name);
        GsuMachine t;
        t.write_reg(0x303A, scmr_for(c.mode, 0));
        set_por(t, kPorOpaque);
        plot(t, 3, 4, 0xFF);  // a pixel to draw over
        uint8_t before = uint8_t(rpix(t, 3, 4));
        set_por(t, c.por);
        plot(t, 3, 4, c.colour);
        EXPECT_EQ(t.r(1), 4);
        uint8_t mask = uint8_t((1 << planes_of(c.mode)) - 1);
        EXPECT_EQ(rpix(t, 3, 4), c.plotted ? (c.colour & mask) : before);
    }
}

TEST(GsuPlot, TheScreenBaseMovesThePictureAndRpixKeepsTheRomBuffer) {
    GsuMachine t;
    for (uint32_t i = 0; i < 0x1000; i++) t.ram(i) = 0;
    t.write_reg(0x3038, 2);  // 2 KiB in
    t.write_reg(0x303A, scmr_for(1, 0));
    set_por(t, 0);
    plot(t, 0, 0, 0x0F);
    EXPECT_EQ(t.ram(2048), 0x80);
    EXPECT_EQ(t.ram(2049), 0x80);
    EXPECT_EQ(t.ram(0), 0x00);

    // RPIX into R14 does not refill the ROM buffer.
    t.write_reg(0x3036, GsuMachine::kCodeBank);
    t.rom(0x0000) = 0x66;
    t.set_r(14, 0);
    EXPECT_EQ(t.gsu().rom_buffer, 0x66);
    t.set_r(1, 0);
    t.set_r(2, 0);
    t.rom(0x000F) = 0x99;
    t.start(Code{0x1E} + alt1(0x4C) + Code{kNop});  // TO R14; RPIX
    t.run(3);
    EXPECT_EQ(t.r(14), 0x0F);
    EXPECT_EQ(t.gsu().rom_buffer, 0x66);
}

}  // namespace
}  // namespace vt::test
