// The line renderer driven directly: colour math worked by hand on the
// backdrop, the row and tile caches, the output rows and the save state.
#include <gtest/gtest.h>

#include <cstring>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/reference_renderer.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

class LineRender : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;
    Ppu& p = machine->ppu;

    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }
    // VRAM and CGRAM are loaded as a program loads them: in V-blank, where
    // the PPU leaves them to the CPU.
    void in_vblank() {
        m.timing.line = 240;
        m.timing.line_clock = 0;
    }
    void set_colour(int index, uint16_t bgr15) {
        in_vblank();
        write(0x2121, uint8_t(index));
        write(0x2122, uint8_t(bgr15));
        write(0x2122, uint8_t(bgr15 >> 8));
    }
    void set_vram_word(uint16_t a, uint16_t w) {
        in_vblank();
        write(0x2115, 0x80);
        write(0x2116, uint8_t(a));
        write(0x2117, uint8_t(a >> 8));
        write(0x2118, uint8_t(w));
        write(0x2119, uint8_t(w >> 8));
    }
    // Draws console line `line` into picture rows 0 and 1.
    void render(int line) {
        video_frame_start(m);
        m.timing.line = uint16_t(line);
        video_render_line(m);
    }
    Rgb pixel(int out_x) { return picture_pixel(m, 0, out_x); }
};

Rgb grey(int v) { return Rgb{uint8_t(v), uint8_t(v), uint8_t(v)}; }
uint16_t bgr(int r, int g, int b) { return uint16_t(r | (g << 5) | (b << 10)); }

TEST_F(LineRender, AddingTwoWhitesSaturatesWithOrWithoutHalving) {
    write(0x2100, 0x0F);
    set_colour(0, bgr(31, 31, 31));
    write(0x2132, 0xFF);  // fixed colour white
    write(0x2131, 0x60);  // backdrop: add, half
    render(1);
    EXPECT_EQ(pixel(0), grey(248));  // (31 + 31) / 2
    write(0x2131, 0x20);  // add, whole: 62 saturates
    render(1);
    EXPECT_EQ(pixel(511), grey(248));
}

TEST_F(LineRender, SubtractingBelowZeroGivesTheZeroLevel) {
    write(0x2100, 0x0F);
    set_colour(0, bgr(0, 0, 10));
    write(0x2132, 0x3F);  // fixed red 31
    write(0x2131, 0xA0);  // backdrop: subtract
    render(1);
    EXPECT_EQ(pixel(7), (Rgb{80, 0, 0}));
    write(0x2131, 0xE0);  // halved: blue 5, red -16 -> 0
    render(1);
    EXPECT_EQ(pixel(7), (Rgb{40, 0, 0}));
}

TEST_F(LineRender, EmptySubScreenAddsTheFixedColourUnhalved) {
    write(0x2100, 0x0F);
    set_colour(0, bgr(10, 10, 10));
    write(0x2132, 0xE4);  // fixed 4, 4, 4
    write(0x2131, 0x60);
    write(0x2130, 0x02);  // sub-screen addition, nothing on the sub screen
    render(1);
    EXPECT_EQ(pixel(0), grey(14 * 8));
    write(0x2130, 0x00);  // fixed-colour addition halves
    render(1);
    EXPECT_EQ(pixel(0), grey(7 * 8));
}

TEST_F(LineRender, BrightnessScalesAndBlankUsesTheDarkestLevel) {
    set_colour(0, bgr(31, 16, 2));
    write(0x2100, 0x07);
    render(1);
    EXPECT_EQ(pixel(0), (Rgb{8, 64, 124}));
    BuildBrightnessTable(p.display, 100);  // the dark level is now 128
    write(0x2100, 0x80);
    render(1);
    EXPECT_EQ(pixel(0), grey(128));
    EXPECT_EQ(picture_pixel(m, 1, 511), grey(128));
}

// Mode 0 BG1: map at $0400, tile 1 all colour 1 (red), tile 2 all colour 2
// (green).
class RowCache : public LineRender {
protected:
    void SetUp() override {
        write(0x2105, 0x00);
        write(0x2107, 0x04);
        write(0x212C, 0x01);
        write(0x2100, 0x0F);
        for (int y = 0; y < 8; y++) {
            set_vram_word(uint16_t(8 + y), 0x00FF);   // tile 1: plane 0
            set_vram_word(uint16_t(16 + y), 0xFF00);  // tile 2: plane 1
        }
        set_colour(1, bgr(31, 0, 0));
        set_colour(2, bgr(0, 31, 0));
        set_vram_word(0x0400, 1);  // entry (0, 0): tile 1
    }
};

TEST_F(RowCache, MapChangesShowOnlyWhenTheLayerMovesToAnotherRow) {
    const Rgb red{0, 0, 248}, green{0, 248, 0};
    render(1);
    EXPECT_EQ(pixel(0), red);
    set_vram_word(0x0400, 2);
    render(2);  // same tilemap row: the cached entry
    EXPECT_EQ(pixel(0), red);
    render(8);  // row 1
    render(1);  // back on row 0: fetched again
    EXPECT_EQ(pixel(0), green);
    set_vram_word(0x0400, 1);
    write(0x2107, 0x04);  // same value: the cache stays
    render(1);
    EXPECT_EQ(pixel(0), green);
    write(0x2107, 0x05);  // changed: 64 wide, same base
    render(1);
    EXPECT_EQ(pixel(0), red);
}

TEST_F(RowCache, TileDataChangesShowAtOnce) {
    render(1);
    set_vram_word(9, 0xFF00);  // tile 1, row 1 becomes colour 2
    render(1);
    EXPECT_EQ(pixel(0), (Rgb{0, 248, 0}));
}

TEST_F(RowCache, OneTileAtTwoDepthsInOneLine) {
    // Mode 1: BG1 (4 bpp) and BG3 (2 bpp) both show VRAM tile 0, where
    // plane 0 and plane 2 are set: 4 bpp value 5, 2 bpp value 1. BG1 is
    // windowed off from x = 128, so BG3 shows there.
    write(0x2105, 0x01);
    write(0x2107, 0x04);
    write(0x2109, 0x04);
    write(0x210B, 0x00);
    write(0x210C, 0x00);
    set_vram_word(0x0400, 0);
    for (int y = 0; y < 8; y++) {
        set_vram_word(uint16_t(y), 0x00FF);
        set_vram_word(uint16_t(8 + y), 0x00FF);
    }
    set_colour(5, bgr(0, 0, 31));
    set_colour(1, bgr(31, 0, 0));
    write(0x212C, 0x05);
    write(0x2123, 0x02);
    write(0x2126, 128);
    write(0x2127, 255);
    write(0x212E, 0x01);
    for (int pass = 0; pass < 2; pass++) {
        render(1);
        EXPECT_EQ(pixel(0), (Rgb{248, 0, 0}));
        EXPECT_EQ(pixel(300), (Rgb{0, 0, 248}));
    }
}

TEST_F(LineRender, FrameStartPicksTheFieldRowForWideModes) {
    std::memset(p.picture.data(), 0x11, p.picture.size());
    write(0x2105, 0x05);
    write(0x2100, 0x0F);
    set_colour(0, bgr(0, 31, 0));
    p.stat78 |= 0x80;
    video_frame_start(m);
    m.timing.line = 1;
    video_render_line(m);
    EXPECT_EQ(picture_pixel(m, 1, 0), (Rgb{0, 248, 0}));
    EXPECT_EQ(picture_pixel(m, 0, 0), (Rgb{0x11, 0x11, 0x11}));  // the other field's row is kept
}

TEST_F(LineRender, RowsBelowTheLastLineAreBlanked) {
    std::memset(p.picture.data(), 0x11, p.picture.size());
    write(0x2100, 0x0F);
    set_colour(0, bgr(31, 31, 31));
    video_frame_start(m);
    for (int line = 1; line <= 224; line++) {
        m.timing.line = uint16_t(line);
        video_render_line(m);
    }
    video_clear_rows_below(m);
    EXPECT_EQ(picture_pixel(m, 447, 511), grey(248));
    for (int row = 448; row < kPictureHeight; row++) EXPECT_EQ(picture_pixel(m, row, 3), Rgb{}) << row;
    video_clear_picture(m);
    EXPECT_EQ(picture_pixel(m, 0, 0), Rgb{});
}

// A machine restored from another's "SPPU" and "VRAM" chunks draws the
// same picture.
TEST(PpuState, RoundTripRestoresThePicture) {
    auto source = run_scene("video_windows", 9);  // colour window, XOR, clipping
    std::vector<uint8_t> sppu(kPpuStateSize), vram(kVramStateSize);
    ppu_save_state(*source, sppu.data());
    vram_save_state(*source, vram.data());

    auto target = machine_with_rom("smoke");
    ppu_load_state(*target, sppu.data());
    vram_load_state(*target, vram.data());
    EXPECT_EQ(target->ppu.wobjlog, source->ppu.wobjlog);
    EXPECT_EQ(colour_green(target->ppu.palette[17]), colour_green(source->ppu.palette[17]));
    video_frame_start(*target);
    for (int line = 1; line <= 224; line++) {
        target->timing.line = uint16_t(line);
        video_render_line(*target);
    }
    EXPECT_EQ(std::memcmp(video_picture(*target), video_picture(*source), 448 * kPictureStride), 0);

    // Saving again gives the same bytes.
    std::vector<uint8_t> again(kPpuStateSize);
    ppu_save_state(*target, again.data());
    EXPECT_EQ(again, sppu);
}

}  // namespace
}  // namespace vt::test
