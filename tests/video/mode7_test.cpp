// Mode 7 driven through the registers: the line start table's rebuild,
// the flips, the outside settings, and EXTBG's priorities and colours.
#include <gtest/gtest.h>

#include <algorithm>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/reference_renderer.h"
#include "video/render.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

class Mode7 : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;
    Ppu& p = machine->ppu;

    void SetUp() override {
        write(0x2105, 0x07);
        write(0x212C, 0x01);
        write(0x2100, 0x0F);
        for (int i = 0; i < 256; i++) set_colour(i, uint16_t(i * 97 + 5) & 0x7FFF);
    }

    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }
    // VRAM and CGRAM are loaded as a program loads them: in V-blank, where
    // the PPU leaves them to the CPU.
    void in_vblank() {
        m.timing.line = 240;
        m.timing.line_clock = 0;
    }
    void write16(uint16_t addr, uint16_t v) {
        write(addr, uint8_t(v));
        write(addr, uint8_t(v >> 8));
    }
    void set_colour(int index, uint16_t bgr15) {
        in_vblank();
        write(0x2121, uint8_t(index));
        write(0x2122, uint8_t(bgr15));
        write(0x2122, uint8_t(bgr15 >> 8));
    }
    // The map entry of plane tile (column, row), through the low-byte port.
    void set_map(int column, int row, uint8_t tile) {
        in_vblank();
        write(0x2115, 0x00);
        const int a = row * 128 + column;
        write(0x2116, uint8_t(a));
        write(0x2117, uint8_t(a >> 8));
        write(0x2118, tile);
    }
    // Every pixel of a plane tile, through the high-byte port.
    void fill_plane_tile(int tile, uint8_t pixel) {
        in_vblank();
        write(0x2115, 0x80);
        write(0x2116, uint8_t(tile * 64));
        write(0x2117, uint8_t((tile * 64) >> 8));
        for (int i = 0; i < 64; i++) write(0x2119, pixel);
    }
    void set_plane_pixel(int tile, int x, int y, uint8_t pixel) {
        in_vblank();
        write(0x2115, 0x80);
        const int a = tile * 64 + y * 8 + x;
        write(0x2116, uint8_t(a));
        write(0x2117, uint8_t(a >> 8));
        write(0x2119, pixel);
    }
    void render(int line) {
        video_frame_start(m);
        m.timing.line = uint16_t(line);
        video_render_line(m);
    }
    uint8_t plane_line(int x) const { return p.bg[0].colour[kLinePad + x]; }
    Rgb shown(int x) const { return picture_pixel(m, 0, x * 2); }
    Rgb colour(int index) const {
        return full_brightness(uint16_t(p.cgram[2 * index] | (p.cgram[2 * index + 1] << 8)));
    }
};

TEST_F(Mode7, StartTableIsRebuiltOnlyAfterAParameterChange) {
    render(10);
    EXPECT_FALSE(p.m7_changed);
    render(11);
    EXPECT_FALSE(p.m7_changed);
    write(0x2110, 0x05);  // BG2VOFS: not a Mode 7 parameter
    EXPECT_FALSE(p.m7_changed);
    write(0x210D, 0x05);  // BG1HOFS is
    EXPECT_TRUE(p.m7_changed);
    render(12);
    EXPECT_FALSE(p.m7_changed);
    write(0x211B, 0x00);  // M7A
    EXPECT_TRUE(p.m7_changed);
}

// Identity matrix, no scroll: line n shows plane row n from column 0; with
// vertical flip it shows row 255 - n.
TEST_F(Mode7, VerticalFlipTakesTheMirroredLine) {
    set_map(0, 10 / 8, 3);
    set_map(0, 245 / 8, 4);
    for (int x = 0; x < 8; x++) {
        set_plane_pixel(3, x, 10 % 8, uint8_t(0x10 + x));
        set_plane_pixel(4, x, 245 % 8, uint8_t(0x20 + x));
    }
    render(10);
    for (int x = 0; x < 8; x++) EXPECT_EQ(plane_line(x), 0x10 + x) << x;
    write(0x211A, 0x02);
    render(10);
    for (int x = 0; x < 8; x++) EXPECT_EQ(plane_line(x), 0x20 + x) << x;
    write(0x211A, 0x03);  // and horizontally: the line read from the right
    render(10);
    for (int x = 0; x < 8; x++) EXPECT_EQ(plane_line(255 - x), 0x20 + x) << x;
}

// A scroll of -8 puts plane column -8 at screen x 0.
TEST_F(Mode7, OutsideThePlane) {
    fill_plane_tile(0, 0x31);
    fill_plane_tile(9, 0x32);
    for (int column = 0; column < 128; column++) set_map(column, 0, 9);
    write16(0x210D, uint16_t(-8));
    render(1);  // wrap: column -8 is column 1016 of the plane, tile 9
    EXPECT_EQ(plane_line(0), 0x32);
    write(0x211A, 0x80);  // transparent outside
    render(1);
    EXPECT_EQ(plane_line(0), 0);
    EXPECT_EQ(plane_line(8), 0x32);
    EXPECT_EQ(shown(0), colour(0));  // the backdrop
    write(0x211A, 0xC0);  // tile 0 outside
    render(1);
    EXPECT_EQ(plane_line(0), 0x31);
    EXPECT_EQ(plane_line(8), 0x32);
    write(0x211A, 0x40);  // the same as $C0
    render(1);
    EXPECT_EQ(plane_line(0), 0x31);
}

// A rotation by 90 degrees with the scroll equal to the centre (100, 50):
// line n starts at plane (100 + n, 50), and each pixel to the right steps
// one row up: screen (x, n) shows plane (100 + n, 50 - x).
TEST_F(Mode7, RotationAboutTheCentre) {
    write16(0x211B, 0x0000);  // A
    write16(0x211C, 0x0100);  // B
    write16(0x211D, 0xFF00);  // C = -1
    write16(0x211E, 0x0000);  // D
    write16(0x211F, 100);
    write16(0x2120, 50);
    write16(0x210D, 100);
    write16(0x210E, 50);
    // Screen (20, 60) -> plane (160, 30): tile (20, 3), pixel (0, 6).
    set_map(20, 3, 7);
    set_plane_pixel(7, 0, 6, 0x5A);
    render(60);
    EXPECT_EQ(plane_line(20), 0x5A);
    EXPECT_EQ(plane_line(19), 0);
    const RefState s = reference_state(m);
    EXPECT_EQ(reference_mode7_pixel(s, 60, 20), 0x5A);
}

// EXTBG: BG2 repeats the plane; a pixel with bit 7 set is in front of
// priority-0 sprites and shows the colour without bit 7, one without bit 7
// is behind them.
TEST_F(Mode7, ExtBgPixelBit7IsAPriority) {
    // A sprite of priority 0 at (50, 20), 8 x 8, every pixel 1.
    write(0x2101, 0x02);  // name base 0x4000 words
    write(0x2115, 0x80);
    write(0x2116, 0x00);
    write(0x2117, 0x40);
    for (int row = 0; row < 16; row++) {
        write(0x2118, row < 8 ? 0xFF : 0x00);
        write(0x2119, 0x00);
    }
    write(0x2102, 0);
    write(0x2103, 0);
    for (uint8_t b : {50, 20, 0, 0}) write(0x2104, b);
    write(0x2102, 0);
    write(0x2103, 1);
    write(0x2104, 0x54);  // sprite 0: X bit 8 clear, small; 1-3 stay parked at X = 256
    write(0x2133, 0x40);
    write(0x212C, 0x12);  // BG2 and sprites

    fill_plane_tile(0, 0x85);
    m.timing.line = 20;
    sprite_evaluation(m);
    render(21);
    EXPECT_EQ(shown(50), colour(0x05));
    EXPECT_EQ(shown(49), colour(0x05));

    fill_plane_tile(0, 0x05);
    m.timing.line = 20;
    sprite_evaluation(m);
    render(21);
    EXPECT_EQ(shown(50), colour(129));
    EXPECT_EQ(shown(49), colour(0x05));

    // Without EXTBG (BG2 off the screen) BG1 shows the 8-bit colour in
    // front of priority-0 sprites.
    fill_plane_tile(0, 0x85);
    write(0x212C, 0x11);
    m.timing.line = 20;
    sprite_evaluation(m);
    render(21);
    EXPECT_EQ(shown(50), colour(0x85));
}

// Pixel $80 on an EXTBG screen is opaque and shows colour 0: with BG2's
// colour math on it differs from the backdrop's.
TEST_F(Mode7, ExtBgPixel80IsOpaque) {
    fill_plane_tile(0, 0x80);
    fill_plane_tile(1, 0x00);
    for (int column = 16; column < 128; column++) set_map(column, 0, 1);
    write(0x2133, 0x40);
    write(0x212C, 0x02);
    write(0x2132, 0xE4);  // fixed colour 4, 4, 4
    write(0x2131, 0x02);  // BG2 adds it; the backdrop does not
    render(1);
    const uint16_t c0 = uint16_t(p.cgram[0] | (p.cgram[1] << 8));
    const Rgb plus_fixed = full_brightness(uint16_t(std::min((c0 & 31) + 4, 31) | (std::min(((c0 >> 5) & 31) + 4, 31) << 5) |
                                                    (std::min(((c0 >> 10) & 31) + 4, 31) << 10)));
    EXPECT_EQ(shown(0), plus_fixed);    // tile 0: pixel $80
    EXPECT_EQ(shown(128), colour(0));   // tile 1: transparent, the backdrop
}

}  // namespace
}  // namespace vt::test
