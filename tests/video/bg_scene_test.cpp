// Background scenes drawn by a test cartridge, checked against the
// reference renderer and against hand-worked pixels.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/reference_renderer.h"
#include "video/scene_data.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

enum Scene {
    kMode0, kMode1, kMode1Bg3Front, kMode2, kMode3, kMode3Direct, kMode4, kMode5,
    kMode6, kTiles16, kMapSizes, kMosaic, kMode5Interlace, kPseudoHires, kMode2Tiles16, kMode4Tiles16,
    kPseudoHiresMode3,
};

constexpr const char* kRom = "video_bg_modes";

// The data the cartridge uploads by DMA lands where the scenes expect it.
TEST(VideoBgScenes, GraphicsUploadMatchesTheFormulas) {
    auto m = run_scene(kRom, kMode1, 1);
    const Ppu& p = m->ppu;
    auto word = [&](int a) { return uint16_t(p.vram_lo[a] | (p.vram_hi[a] << 8)); };
    // Decode a few tiles of each depth from their planes.
    for (int bpp : {2, 4, 8}) {
        const int base = bpp == 2 ? kVramTiles2 : bpp == 4 ? kVramTiles4 : kVramTiles8;
        for (int tile : {0, 1, 17, 63}) {
            for (int y = 0; y < 8; y++) {
                for (int x = 0; x < 8; x++) {
                    int v = 0;
                    for (int k = 0; k < bpp; k++) {
                        const uint16_t w = word(base + tile * bpp * 4 + (k / 2) * 8 + y);
                        v |= (((k & 1 ? w >> 8 : w) >> (7 - x)) & 1) << k;
                    }
                    ASSERT_EQ(v, formula_tile_pixel(tile, x, y, bpp)) << bpp << " bpp tile " << tile;
                }
            }
        }
    }
    for (int row = 0; row < 64; row++) {
        for (int column = 0; column < 64; column++) {
            const int screen = (column >> 5) + (row >> 5) * 2;
            ASSERT_EQ(word(kVramMap64 + screen * 0x400 + (row & 31) * 32 + (column & 31)), formula_map_entry(column, row));
        }
    }
    EXPECT_EQ(word(kVramOffsetMap + 5 * 32 + 7), formula_offset_entry(7, 5));
    for (int i = 0; i < 256; i++) ASSERT_EQ(p.cgram[2 * i] | (p.cgram[2 * i + 1] << 8), formula_colour(i));
}

// A pixel worked out by hand: mode 1 with only BG1 on, scroll (3, 5).
// Line 1 shows BG1 row v = 6; screen x 0 is map column 0, tile column 3.
TEST(VideoBgScenes, Mode1PixelWorkedByHand) {
    auto m = run_scene(kRom, kMode1);
    bus_write(*m, 0x00, 0x212C, 0x01);  // TM: BG1 only
    run_frames(*m, 1);
    // Map entry (0, 0) is tile 0 with palette 0 and no flips; its pixel
    // (3, 6) is (0 + 3 + 30) & 15 = 1, opaque since (3 + 18 + 0) & 3 = 1.
    ASSERT_EQ(formula_map_entry(0, 0), 0x0000);
    ASSERT_EQ(formula_tile_pixel(0, 3, 6, 4), 1);
    // Colour 1 is red 1, green 10, blue 16: times 8 at full brightness.
    const Rgb want{128, 80, 8};
    EXPECT_EQ(picture_pixel(*m, 0, 0), want);
    EXPECT_EQ(picture_pixel(*m, 0, 1), want);
    EXPECT_EQ(picture_pixel(*m, 1, 0), want);
}

struct SceneCase {
    const char* name;
    int scene;
    Rows rows;
};

class VideoBgScene : public ::testing::TestWithParam<SceneCase> {};

TEST_P(VideoBgScene, MatchesTheReference) {
    auto m = run_scene(kRom, GetParam().scene);
    EXPECT_TRUE(picture_matches(*m, reference_state(*m), 1, 224, GetParam().rows));
}

INSTANTIATE_TEST_SUITE_P(
    AllModes, VideoBgScene,
    ::testing::Values(SceneCase{"Mode0FourLayers2bpp", kMode0, Rows::Both},
                      SceneCase{"Mode1", kMode1, Rows::Both},
                      SceneCase{"Mode1Bg3InFront", kMode1Bg3Front, Rows::Both},
                      SceneCase{"Mode2OffsetPerTile", kMode2, Rows::Both},
                      SceneCase{"Mode3With8bpp", kMode3, Rows::Both},
                      SceneCase{"Mode3DirectColour", kMode3Direct, Rows::Both},
                      SceneCase{"Mode4OffsetPerTile", kMode4, Rows::Both},
                      SceneCase{"Mode5Wide", kMode5, Rows::Both},
                      SceneCase{"Mode6Wide", kMode6, Rows::Both},
                      SceneCase{"Tiles16", kTiles16, Rows::Both},
                      SceneCase{"MapSizesAndScrolling", kMapSizes, Rows::Both},
                      SceneCase{"Mosaic", kMosaic, Rows::Both},
                      SceneCase{"Mode5Interlace", kMode5Interlace, Rows::LastField},
                      SceneCase{"PseudoHires", kPseudoHires, Rows::Both},
                      SceneCase{"Mode2Tiles16", kMode2Tiles16, Rows::Both},
                      SceneCase{"Mode4Tiles16", kMode4Tiles16, Rows::Both},
                      SceneCase{"PseudoHiresMode3", kPseudoHiresMode3, Rows::Both}),
    [](const ::testing::TestParamInfo<SceneCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vt::test
