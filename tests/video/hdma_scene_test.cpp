// HDMA scenes: registers rewritten at every H-blank, checked line by line
// against the reference with the register values the HDMA tables give.
#include <gtest/gtest.h>

#include <algorithm>

#include "video/reference_renderer.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

constexpr const char* kRom = "video_hdma";

uint8_t gradient_byte(int k) { return (k & 1) ? uint8_t(0x80 | ((k >> 1) & 31)) : uint8_t(0x20 | ((k >> 2) & 31)); }

// COLDATA semantics: the byte's intensity replaces the selected components.
uint16_t apply_coldata(uint16_t c, uint8_t v) {
    const uint16_t i = v & 31;
    if (v & 0x20) c = uint16_t((c & ~0x001F) | i);
    if (v & 0x40) c = uint16_t((c & ~0x03E0) | (i << 5));
    if (v & 0x80) c = uint16_t((c & ~0x7C00) | (i << 10));
    return c;
}

// Line L is drawn after the HDMA pass of line L - 1, so it shows the bytes
// of HDMA lines 0 .. L - 1 of this frame over what the last frame left.
TEST(VideoHdmaScenes, FixedColourGradient) {
    auto m = run_scene(kRom, 0);
    const RefState base = reference_state(*m);
    // Every frame writes the same bytes, so the frame ends where the last
    // one did. (Green is never written by the table; it keeps whatever the
    // first, half-set-up frame left.)
    const uint16_t end_of_last_frame = base.coldata;
    uint16_t replayed = end_of_last_frame;
    for (int k = 0; k < 224; k++) replayed = apply_coldata(replayed, gradient_byte(k));
    ASSERT_EQ(replayed, end_of_last_frame);

    EXPECT_TRUE(picture_matches_per_line(*m, 1, 224, [&](int line) {
        RefState s = base;
        uint16_t c = end_of_last_frame;
        for (int k = 0; k < line; k++) c = apply_coldata(c, gradient_byte(k));
        s.coldata = c;
        return s;
    }));
    // Line 1 by hand: red from byte 0 ($20: 0) and blue from the last
    // frame's final byte ($80 | (223 >> 1) & 31 = 15), over the backdrop
    // (red 0, green 7, blue 11).
    const int green = std::min(7 + ((end_of_last_frame >> 5) & 31), 31);
    EXPECT_EQ(picture_pixel(*m, 0, 100), (Rgb{uint8_t((11 + 15) * 8), uint8_t(green * 8), 0}));
}

TEST(VideoHdmaScenes, PerLineScrollFromDirectAndIndirectTables) {
    auto m = run_scene(kRom, 1);
    const RefState base = reference_state(*m);
    EXPECT_TRUE(picture_matches_per_line(*m, 1, 224, [&](int line) {
        RefState s = base;
        s.hofs[0] = uint16_t(((line - 1) * 3) & 0x3FF);
        s.vofs[0] = uint16_t(10 + 10 * ((line - 1) / 64));
        return s;
    }));
}

TEST(VideoHdmaScenes, BrightnessAndForcedBlankPerBand) {
    auto m = run_scene(kRom, 2);
    static const uint8_t kBands[7] = {0x0F, 0x08, 0x00, 0x8F, 0x03, 0x0F, 0x70};
    const RefState base = reference_state(*m);
    EXPECT_TRUE(picture_matches_per_line(*m, 1, 224, [&](int line) {
        RefState s = base;
        s.inidisp = kBands[(line - 1) / 32];
        return s;
    }));
    // The blank bands really are black, and the band after them is not.
    EXPECT_EQ(picture_pixel(*m, 2 * 70, 40), Rgb{});
    EXPECT_EQ(picture_pixel(*m, 2 * 100, 40), Rgb{});
    int lit = 0;
    for (int x = 0; x < 512; x++) lit += !(picture_pixel(*m, 2 * 170, x) == Rgb{});
    EXPECT_GT(lit, 256);
}

TEST(VideoHdmaScenes, WindowEdgesChangingEveryLine) {
    auto m = run_scene(kRom, 3);
    const RefState base = reference_state(*m);
    EXPECT_TRUE(picture_matches_per_line(*m, 1, 224, [&](int line) {
        RefState s = base;
        s.wh[0] = uint8_t((line - 1) / 2);
        s.wh[1] = uint8_t(255 - (line - 1));
        return s;
    }));
}

// The benchmark's scene: three HDMA channels, sub-screen math inside a
// colour window, a window on BG1.
TEST(VideoHdmaScenes, HeavyScene) {
    auto m = run_scene("video_heavy", 0);
    const RefState base = reference_state(*m);
    const uint16_t end_of_last_frame = base.coldata;
    EXPECT_TRUE(picture_matches_per_line(*m, 1, 224, [&](int line) {
        RefState s = base;
        uint16_t c = end_of_last_frame;
        for (int k = 0; k < line; k++) c = apply_coldata(c, gradient_byte(k));
        s.coldata = c;
        s.hofs[0] = uint16_t(((line - 1) * 2) & 0x3FF);
        s.wh[0] = uint8_t((line - 1) / 2);
        s.wh[1] = uint8_t(255 - (line - 1) / 4);
        return s;
    }));
}

}  // namespace
}  // namespace vt::test
