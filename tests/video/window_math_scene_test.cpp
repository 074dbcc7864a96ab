// Window and colour-math scenes drawn by test cartridges, checked against
// the reference renderer.
#include <gtest/gtest.h>

#include <ostream>

#include "video/reference_renderer.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

struct SceneCase {
    const char* name;
    int scene;
};

void PrintTo(const SceneCase& c, std::ostream* os) { *os << c.name; }

std::string case_name(const ::testing::TestParamInfo<SceneCase>& info) { return info.param.name; }

class VideoWindowScene : public ::testing::TestWithParam<SceneCase> {};

TEST_P(VideoWindowScene, MatchesTheReference) {
    auto m = run_scene("video_windows", GetParam().scene);
    EXPECT_TRUE(picture_matches(*m, reference_state(*m), 1, 224));
}

INSTANTIATE_TEST_SUITE_P(Windows, VideoWindowScene,
                         ::testing::Values(SceneCase{"SingleWindow", 0}, SceneCase{"LogicOr", 1},
                                           SceneCase{"LogicAnd", 2}, SceneCase{"LogicXor", 3},
                                           SceneCase{"LogicXnor", 4}, SceneCase{"Inverted", 5},
                                           SceneCase{"NarrowEdges", 6}, SceneCase{"SubScreenWindow", 7},
                                           SceneCase{"ColourWindowRegion", 8}, SceneCase{"ColourWindowXorClip", 9},
                                           SceneCase{"Mode5Windows", 10}, SceneCase{"WindowOffForScreen", 11}),
                         case_name);

class VideoColourMathScene : public ::testing::TestWithParam<SceneCase> {};

TEST_P(VideoColourMathScene, MatchesTheReference) {
    auto m = run_scene("video_colour_math", GetParam().scene);
    EXPECT_TRUE(picture_matches(*m, reference_state(*m), 1, 224));
}

INSTANTIATE_TEST_SUITE_P(
    ColourMath, VideoColourMathScene,
    ::testing::Values(SceneCase{"FixedAdd", 0}, SceneCase{"FixedSubtract", 1}, SceneCase{"FixedAddHalf", 2},
                      SceneCase{"FixedSubtractHalf", 3}, SceneCase{"SubAdd", 4}, SceneCase{"SubAddHalf", 5},
                      SceneCase{"SubSubtract", 6}, SceneCase{"SubSubtractHalf", 7},
                      SceneCase{"SubScreenBackdropOnly", 8}, SceneCase{"ClipOutsideWindow", 9},
                      SceneCase{"ClipInsideWindowWithSubScreen", 10}, SceneCase{"ClipEverywhereWithSubScreen", 11},
                      SceneCase{"ClipEverywhereFixed", 12}, SceneCase{"MathOutsideWindowOnly", 13},
                      SceneCase{"MathNever", 14}, SceneCase{"Brightness7", 15}, SceneCase{"BrightnessZero", 16},
                      SceneCase{"ForcedBlank", 17}, SceneCase{"BrightnessZeroNormalRenderer", 18}),
    case_name);

// Spot checks of the scenes whose result is plain: everything black.
TEST(VideoColourMathScenes, BlankScenesAreBlack) {
    for (int scene : {16, 17, 18}) {
        auto m = run_scene("video_colour_math", scene);
        for (int row : {0, 1, 200, 447}) {
            for (int x : {0, 255, 511}) EXPECT_EQ(picture_pixel(*m, row, x), Rgb{}) << "scene " << scene;
        }
    }
}

// Clip mode 3 turns every main colour black, but colour math stays on: in
// both scenes BG1 and BG2 take part in the math (CGADSUB $03) and the
// backdrop does not. A BG1/BG2 pixel therefore shows 0 plus the operand:
// the plain sub-screen colour (scene 11, sub screen BG3), or the fixed
// colour red 31, green 5, blue 10 where the sub screen is empty and in the
// fixed-colour scene 12. A backdrop pixel stays black.
TEST(VideoColourMathScenes, ClipEverywhereShowsTheOperandOfTheMath) {
    const Rgb fixed{10 * 8, 5 * 8, 31 * 8};
    for (int scene : {11, 12}) {
        SCOPED_TRACE(scene);
        auto m = run_scene("video_colour_math", scene);
        const RefState s = reference_state(*m);
        RefState main_alone = s, sub_alone = s;
        main_alone.cgwsel = sub_alone.cgwsel = 0;
        main_alone.cgadsub = sub_alone.cgadsub = 0;
        main_alone.wobjsel = sub_alone.wobjsel = 0;
        sub_alone.tm = s.ts;
        const Rgb backdrop = full_brightness(s.cgram[0]);
        int layer_pixels = 0, backdrop_pixels = 0;
        for (int line = 1; line <= 224; line += 7) {
            for (int x = 0; x < 512; x += 3) {
                const Rgb got = picture_pixel(*m, (line - 1) * 2, x);
                if (reference_pixel(main_alone, line, x) == backdrop) {
                    EXPECT_EQ(got, Rgb{}) << "line " << line << " x " << x;
                    backdrop_pixels++;
                    continue;
                }
                const Rgb sub = reference_pixel(sub_alone, line, x);
                const Rgb want = (scene == 11 && sub != backdrop) ? sub : fixed;
                EXPECT_EQ(got, want) << "line " << line << " x " << x;
                layer_pixels++;
            }
        }
        EXPECT_GT(layer_pixels, 500);
        EXPECT_GT(backdrop_pixels, 100);
    }
}

}  // namespace
}  // namespace vt::test
