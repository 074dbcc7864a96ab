// The brightness table: the colour curve scaled by the console brightness,
// shifted by the user's setting, with saturation and the zero level.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "video/brightness.h"

namespace vt {
namespace {

TEST(BrightnessTable, NeutralSettingScalesTheCurve) {
    BrightnessTable t;
    for (int c = 0; c < 32; c++) {
        EXPECT_EQ(t.rows[15][c], c * 8);
        EXPECT_EQ(t.rows[7][c], c * 4);
        EXPECT_EQ(t.rows[0][c], 0);
    }
    EXPECT_EQ(t.rows[3][31], 248 * 4 / 16);
}

TEST(BrightnessTable, SumsSaturateAndDifferencesGiveTheZeroLevel) {
    BrightnessTable t;
    for (int c = 32; c < 128; c++) EXPECT_EQ(t.rows[15][c], 248);
    for (int c = 128; c < 256; c++) EXPECT_EQ(t.rows[15][c], 0);
    BuildBrightnessTable(t, 75);  // offset +64
    EXPECT_EQ(t.rows[15][200], 64);
    EXPECT_EQ(t.rows[15][0], 64);
    EXPECT_EQ(t.rows[0][31], 64);
    EXPECT_EQ(t.rows[15][100], 248 + 64 > 255 ? 255 : 248 + 64);
}

TEST(BrightnessTable, SettingExtremes) {
    BrightnessTable t;
    BuildBrightnessTable(t, 0);  // offset -128
    EXPECT_EQ(t.rows[15][31], 120);
    for (int c = 0; c < 16; c++) EXPECT_EQ(t.rows[15][c], 0);
    BuildBrightnessTable(t, 100);  // offset +128
    EXPECT_EQ(t.rows[15][16], 255);
    EXPECT_EQ(t.rows[15][15], 248);
    BuildBrightnessTable(t, 33);  // (33 - 50) * 128 / 50 = -43.52, truncated to -43
    EXPECT_EQ(t.rows[15][31], 248 - 43);
    BuildBrightnessTable(t, 500);  // clamped to 100
    EXPECT_EQ(t.setting, 100);
}

TEST(BrightnessTable, ColourCurveFromColormapDat) {
    const auto folder = std::filesystem::temp_directory_path() / "veltrane_colormap_test";
    std::filesystem::create_directories(folder);
    {
        std::ofstream out(folder / "Colormap.dat", std::ios::binary);
        const char bytes[4] = {10, 20, 30, 40};  // shorter than 32: replaces four entries
        out.write(bytes, 4);
    }
    BrightnessTable t;
    EXPECT_TRUE(LoadColourCurve(t, folder));
    BuildBrightnessTable(t, 50);
    EXPECT_EQ(t.rows[15][0], 10);  // curve[0] plus the offset everywhere
    EXPECT_EQ(t.rows[15][3], 40);
    EXPECT_EQ(t.rows[15][4], 32);  // built-in entry kept
    EXPECT_EQ(t.rows[7][3], 20);
    EXPECT_EQ(t.rows[15][200], 10);
    std::filesystem::remove_all(folder);
    BrightnessTable untouched;
    EXPECT_FALSE(LoadColourCurve(untouched, folder));
    EXPECT_EQ(untouched.curve[5], 40);
}

}  // namespace
}  // namespace vt
