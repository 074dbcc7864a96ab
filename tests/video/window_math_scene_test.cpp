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
    for (int scene : {12, 16, 17, 18}) {
        auto m = run_scene("video_colour_math", scene);
        for (int row : {0, 1, 200, 447}) {
            for (int x : {0, 255, 511}) EXPECT_EQ(picture_pixel(*m, row, x), Rgb{}) << "scene " << scene;
        }
    }
}

// Clip mode 3 with sub-screen addition shows the plain sub screen: the
// picture equals the sub screen's layers drawn alone.
TEST(VideoColourMathScenes, ClipEverywhereShowsThePlainSubScreen) {
    auto m = run_scene("video_colour_math", 11);
    RefState sub_alone = reference_state(*m);
    sub_alone.tm = sub_alone.ts;
    sub_alone.cgwsel = 0;
    sub_alone.cgadsub = 0;
    sub_alone.wobjsel = 0;
    // Where BG3 is transparent the sub backdrop gives black, not colour 0.
    int checked = 0;
    for (int line = 1; line <= 224; line += 7) {
        for (int x = 0; x < 512; x += 3) {
            const Rgb want = reference_pixel(sub_alone, line, x);
            const Rgb backdrop = full_brightness(sub_alone.cgram[0]);
            const Rgb got = picture_pixel(*m, (line - 1) * 2, x);
            if (want == backdrop) {
                EXPECT_TRUE(got == Rgb{} || got == backdrop);
            } else {
                EXPECT_EQ(got, want) << "line " << line << " x " << x;
                checked++;
            }
        }
    }
    EXPECT_GT(checked, 1000);
}

}  // namespace
}  // namespace vt::test
