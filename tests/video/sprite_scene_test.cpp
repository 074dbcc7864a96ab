// Sprite scenes drawn by a test cartridge (tests/roms/video_sprites.s),
// checked against the reference renderer, against STAT77 as the reference
// predicts it, and against pixels worked out by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/reference_renderer.h"
#include "video/scene_data.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

constexpr const char* kRom = "video_sprites";

enum Scene {
    kSizes0, kSizes1, kSizes2, kSizes3, kSizes4, kSizes5, kSizes6, kSizes7,
    kCrowd, kSlivers, kRotation, kInterlace, kMathFixed, kMathSub, kNameGap, kWide,
};

struct SceneCase {
    const char* name;
    int scene;
    Rows rows = Rows::Both;
};

void PrintTo(const SceneCase& c, std::ostream* os) { *os << c.name; }

// STAT77's sprite bits as the reference finds them over the frame.
uint8_t expected_stat77_bits(const RefState& s, int last_line) {
    uint8_t bits = 0;
    for (int line = 1; line <= last_line; line++) {
        const RefSpriteLine status = reference_sprite_status(s, line);
        if (status.range_over) bits |= 0x40;
        if (status.time_over) bits |= 0x80;
    }
    return bits;
}

class VideoSpriteScene : public ::testing::TestWithParam<SceneCase> {};

TEST_P(VideoSpriteScene, MatchesTheReference) {
    auto m = run_scene(kRom, GetParam().scene);
    const RefState s = reference_state(*m);
    EXPECT_TRUE(picture_matches(*m, s, 1, 224, GetParam().rows));
    EXPECT_EQ(m->ppu.stat77 & 0xC0, expected_stat77_bits(s, 224));
}

INSTANTIATE_TEST_SUITE_P(
    Sprites, VideoSpriteScene,
    ::testing::Values(SceneCase{"Sizes8And16", kSizes0}, SceneCase{"Sizes8And32", kSizes1},
                      SceneCase{"Sizes8And64", kSizes2}, SceneCase{"Sizes16And32", kSizes3},
                      SceneCase{"Sizes16And64", kSizes4}, SceneCase{"Sizes32And64", kSizes5},
                      SceneCase{"SizeCode6", kSizes6}, SceneCase{"SizeCode7", kSizes7},
                      SceneCase{"MoreThan32OnALine", kCrowd}, SceneCase{"MoreThan34Slivers", kSlivers},
                      SceneCase{"PriorityRotation", kRotation}, SceneCase{"ColourMathFixed", kMathFixed},
                      SceneCase{"ColourMathSubScreen", kMathSub}, SceneCase{"NameBaseAndGap", kNameGap},
                      SceneCase{"Mode5", kWide}),
    [](const ::testing::TestParamInfo<SceneCase>& info) { return std::string(info.param.name); });

// Sprite interlace draws the rows of the frame's field: both fields.
TEST(VideoSpriteScenes, InterlaceShowsEachFieldsRows) {
    for (int frames : {3, 4}) {
        auto m = run_scene(kRom, kInterlace, frames);
        const RefState s = reference_state(*m);
        EXPECT_EQ(s.odd_field, frames == 4);
        EXPECT_TRUE(picture_matches(*m, s, 1, 224)) << frames << " frames";
    }
}

// The status bits of the two overload scenes, known from their layout.
TEST(VideoSpriteScenes, RangeAndTimeOverBits) {
    auto crowd = run_scene(kRom, kCrowd);
    EXPECT_EQ(bus_read(*crowd, 0x00, 0x213E) & 0xC0, 0x40);  // 40 in range, 36 slivers drawn at most
    auto slivers = run_scene(kRom, kSlivers);
    EXPECT_EQ(bus_read(*slivers, 0x00, 0x213E) & 0xC0, 0x80);  // 22 in range, 42 slivers wanted
    auto plain = run_scene(kRom, kSizes3);
    EXPECT_EQ(bus_read(*plain, 0x00, 0x213E) & 0xC0, 0x00);
}

class SpritePixels : public ::testing::Test {
protected:
    // A scene with only the sprite layer on the main screen.
    std::unique_ptr<Machine> sprites_only(int scene) {
        auto m = run_scene(kRom, scene);
        bus_write(*m, 0x00, 0x212C, 0x10);
        run_frames(*m, 1);
        return m;
    }
    static Rgb colour(const Machine& m, int index) {
        return full_brightness(uint16_t(m.ppu.cgram[2 * index] | (m.ppu.cgram[2 * index + 1] << 8)));
    }
    // Picture pixel at screen x of console line `line`.
    static Rgb at(const Machine& m, int line, int x) { return picture_pixel(m, (line - 1) * 2, x * 2); }
};

// Sprite 0 of the mixed set: 8 x 8 at (20, 20), tile 0, palette 0, first
// name table. Its row 0 is on line 21.
TEST_F(SpritePixels, FirstRowOnTheLineAfterY) {
    auto m = sprites_only(kSizes0);
    ASSERT_EQ(formula_sprite_pixel(0, 1, 0), 1);
    EXPECT_EQ(at(*m, 21, 21), colour(*m, 128 + 1));
    ASSERT_EQ(formula_sprite_pixel(0, 0, 0), 0);  // transparent: the backdrop
    EXPECT_EQ(at(*m, 21, 20), colour(*m, 0));
    // Line 20 has none of it.
    EXPECT_EQ(at(*m, 20, 21), colour(*m, 0));
}

// Sprite 2: X = -4, tile 4, so screen x 0-3 show tile columns 4-7.
TEST_F(SpritePixels, NegativeXShowsTheRightPart) {
    auto m = sprites_only(kSizes0);
    for (int x = 0; x < 4; x++) {
        const int v = formula_sprite_pixel(4, x + 4, 0);
        EXPECT_EQ(at(*m, 61, x), colour(*m, v ? 128 + v : 0)) << x;
    }
}

// Sprite 11 with OBJSEL code 0: 16 x 16 at (60, 130), tile $30, flipped
// horizontally: screen column 60 + i shows column 15 - i of the sprite,
// which is in tile $31 for i < 8.
TEST_F(SpritePixels, HorizontalFlipMirrorsTheWholeSprite) {
    auto m = sprites_only(kSizes0);
    const int line = 131;  // row 0
    int checked = 0;
    for (int i = 0; i < 16; i++) {
        const int column = 15 - i;
        const int v = formula_sprite_pixel(0x30 + column / 8, column % 8, 0);
        if (v == 0) continue;
        // Palette 0 (attributes $40).
        EXPECT_EQ(at(*m, line, 60 + i), colour(*m, 128 + v)) << i;
        checked++;
    }
    EXPECT_GT(checked, 8);
}

// Line 106 has 40 sprites in range: the 4 at X = 256 and crowd sprites
// 4 + i at X = 7i. The first 32 found are sprites 0-31, so i = 28-35
// (X = 196 and on) are dropped; x 196 itself is the last column of i = 27.
TEST_F(SpritePixels, SpritesBeyondThe32ndAreNotDrawn) {
    auto m = sprites_only(kCrowd);
    for (int x = 7 * 28 + 1; x < 256; x++) EXPECT_EQ(at(*m, 106, x), colour(*m, 0)) << x;
    int shown = 0;
    for (int x = 7 * 27; x <= 7 * 28; x++) shown += !(at(*m, 106, x) == colour(*m, 0));
    EXPECT_GT(shown, 0);
}

// Line 57 has 22 sprites in range: sprite 0 (64 pixels, only its column
// at x 0 on screen), sprite 1 (16 pixels at X = -9, only its column at -1)
// and sprites 2-21 (16 pixels at X = 10 + 11i): 42 slivers. Drawing from
// the end, sprites 21 down to 5 take the 34 slivers and the budget runs
// out at sprite 4: sprites 0-4 are missing, sprite 5 (X = 43) is whole.
TEST_F(SpritePixels, TimeOverDropsTheSpritesFoundFirst) {
    auto m = sprites_only(kSlivers);
    for (int x = 0; x < 43; x++) EXPECT_EQ(at(*m, 57, x), colour(*m, 0)) << x;
    int left_shown = 0, right_shown = 0;
    for (int x = 43; x < 51; x++) left_shown += !(at(*m, 57, x) == colour(*m, 0));
    for (int x = 51; x < 54; x++) right_shown += !(at(*m, 57, x) == colour(*m, 0));
    EXPECT_GT(left_shown, 0);
    EXPECT_GT(right_shown, 0);
}

// The fixed colour (6, 6, 6) is added to sprites of palettes 4-7 only.
// Sprite 1 (palette 1) covers x 38-69 from line 53, sprite 5 (palette 5)
// x 158-189 from line 101; both 32 x 32 of tiles 4 and 20 on.
TEST_F(SpritePixels, OnlyPalettes4To7TakePartInColourMath) {
    auto m = sprites_only(kMathFixed);
    auto plus_six = [&](int index) {
        const uint16_t c = uint16_t(m->ppu.cgram[2 * index] | (m->ppu.cgram[2 * index + 1] << 8));
        auto add = [](int v) { return std::min(v + 6, 31); };
        return full_brightness(uint16_t(add(c & 31) | (add((c >> 5) & 31) << 5) | (add((c >> 10) & 31) << 10)));
    };
    int checked = 0;
    for (int x = 40; x < 48; x++) {
        const int v = formula_sprite_pixel(4 + (x - 38) / 8, (x - 38) % 8, 0);
        if (v == 0) continue;
        EXPECT_EQ(at(*m, 53, x), colour(*m, 128 + 16 + v)) << x;
        checked++;
    }
    for (int x = 160; x < 168; x++) {
        const int v = formula_sprite_pixel(20 + (x - 158) / 8, (x - 158) % 8, 0);
        if (v == 0) continue;
        EXPECT_EQ(at(*m, 101, x), plus_six(128 + 80 + v)) << x;
        checked++;
    }
    EXPECT_GT(checked, 8);
}

}  // namespace
}  // namespace vt::test
