// Mode 7 scenes drawn by a test cartridge (tests/roms/video_mode7.s),
// checked against the reference renderer and against pixels worked out by
// hand from VRAM.
#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/reference_renderer.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

constexpr const char* kRom = "video_mode7";
constexpr int kFrames = 4;  // the plane upload runs into the second frame

enum Scene {
    kIdentity, kRotation, kScaling, kOutsideTransparent, kOutsideTile0, kOutsideTile0Bit6, kOutsideWrap, kFlips,
    kMosaic, kDirectColour, kExtBgMain, kExtBgSub, kExtBgMainBg2Off, kPlaneAndSprites, kHeavy,
};

struct SceneCase {
    const char* name;
    int scene;
};

void PrintTo(const SceneCase& c, std::ostream* os) { *os << c.name; }

class VideoMode7Scene : public ::testing::TestWithParam<SceneCase> {};

TEST_P(VideoMode7Scene, MatchesTheReference) {
    auto m = run_scene(kRom, GetParam().scene, kFrames);
    EXPECT_TRUE(picture_matches(*m, reference_state(*m), 1, 224));
}

INSTANTIATE_TEST_SUITE_P(
    Mode7, VideoMode7Scene,
    ::testing::Values(SceneCase{"Identity", kIdentity}, SceneCase{"Rotation", kRotation},
                      SceneCase{"Scaling", kScaling}, SceneCase{"OutsideTransparent", kOutsideTransparent},
                      SceneCase{"OutsideTile0", kOutsideTile0}, SceneCase{"OutsideTile0Bit6", kOutsideTile0Bit6},
                      SceneCase{"OutsideWrap", kOutsideWrap}, SceneCase{"Flips", kFlips},
                      SceneCase{"MosaicOnAFlippedPlane", kMosaic}, SceneCase{"DirectColour", kDirectColour},
                      SceneCase{"ExtBgOnTheMainScreen", kExtBgMain}, SceneCase{"ExtBgOnTheSubScreen", kExtBgSub},
                      SceneCase{"ExtBgWithBg2OffTheMainScreen", kExtBgMainBg2Off},
                      SceneCase{"PlaneAndSprites", kPlaneAndSprites}),
    [](const ::testing::TestParamInfo<SceneCase>& info) { return std::string(info.param.name); });

uint16_t vram_word(const Machine& m, int a) { return uint16_t(m.ppu.vram_lo[a] | (m.ppu.vram_hi[a] << 8)); }

Rgb cgram_colour(const Machine& m, int i) {
    return full_brightness(uint16_t(m.ppu.cgram[2 * i] | (m.ppu.cgram[2 * i + 1] << 8)));
}

// With the identity matrix and no scroll, line n shows row n of the plane
// from column 0: the tile number is the low byte of map word
// (n / 8) * 128 + x / 8, the pixel the high byte of word
// tile * 64 + (n % 8) * 8 + x % 8.
TEST(VideoMode7Scenes, IdentityShowsThePlaneRowByRow) {
    auto m = run_scene(kRom, kIdentity, kFrames);
    int transparent = 0;
    for (int line : {1, 7, 8, 100, 224}) {
        for (int x = 0; x < 256; x++) {
            const int tile = vram_word(*m, (line / 8) * 128 + x / 8) & 0xFF;
            const int pixel = vram_word(*m, tile * 64 + (line % 8) * 8 + x % 8) >> 8;
            transparent += pixel == 0;
            // A transparent pixel shows the backdrop, colour 0.
            ASSERT_EQ(picture_pixel(*m, (line - 1) * 2, x * 2), cgram_colour(*m, pixel)) << line << " " << x;
        }
    }
    EXPECT_GT(transparent, 0);
}

// Outside the plane: transparent shows the backdrop, tile 0 repeats tile
// 0's pixels, and M7SEL bits 7-6 = 01 do the same as 11.
TEST(VideoMode7Scenes, OutsideSettingsDifferOnlyOutsideThePlane) {
    auto tile0 = run_scene(kRom, kOutsideTile0, kFrames);
    auto tile0_bit6 = run_scene(kRom, kOutsideTile0Bit6, kFrames);
    EXPECT_EQ(std::memcmp(video_picture(*tile0), video_picture(*tile0_bit6), 448 * kPictureStride), 0);

    // Line 1, x 0 lies above and left of the plane (the view is zoomed out
    // around a point near its corner): the backdrop when the outside is
    // transparent, tile 0's pixels when it is tile 0.
    auto transparent = run_scene(kRom, kOutsideTransparent, kFrames);
    bus_write(*transparent, 0x00, 0x212C, 0x01);  // BG1 only
    run_frames(*transparent, 1);
    int outside = 0;
    for (int x = 0; x < 256; x++) {
        const int px = x;  // the scenes share the matrix: compare them pixel by pixel
        const Rgb shown = picture_pixel(*transparent, 0, px * 2);
        const Rgb with_tile0 = picture_pixel(*tile0, 0, px * 2);
        if (shown == with_tile0) continue;
        EXPECT_EQ(shown, cgram_colour(*transparent, 0)) << x;
        outside++;
    }
    EXPECT_GT(outside, 100);
}

// Horizontal flip mirrors whole lines: the flipped scene's line equals the
// unflipped reference's line read from the right.
TEST(VideoMode7Scenes, HorizontalFlipMirrorsTheLine) {
    auto m = run_scene(kRom, kFlips, kFrames);
    RefState unflipped = reference_state(*m);
    unflipped.m7sel = 0x02;  // keep the vertical flip only
    for (int x = 0; x < 256; x++) {
        const int pixel = reference_mode7_pixel(unflipped, 50, 255 - x);
        // Sprites are on in this scene; compare only where none is.
        if (reference_sprite_pixel(reference_state(*m), 50, x).present) continue;
        ASSERT_EQ(picture_pixel(*m, 49 * 2, x * 2), cgram_colour(*m, pixel)) << x;
    }
}

// The benchmark scene: every line takes its matrix from two HDMA channels,
// so each line has its own start table.
TEST(VideoMode7Scenes, MatrixChangedByHdmaOnEveryLine) {
    auto m = run_scene(kRom, kHeavy, kFrames);
    const RefState base = reference_state(*m);
    EXPECT_TRUE(picture_matches_per_line(*m, 1, 224, [&](int line) {
        RefState s = base;
        const int k = line - 1;  // the HDMA line written at the H-blank before
        const int scale = 32768 / (k + 64);
        s.m7 = {uint16_t(scale), uint16_t(scale / 4), uint16_t(-(scale / 4)), uint16_t(scale), 128, 112};
        return s;
    }));
}

}  // namespace
}  // namespace vt::test
