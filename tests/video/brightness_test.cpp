// The brightness table: the colour curve scaled by the console brightness,
// shifted by the user's setting, with saturation and the zero level.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/odd_files.h"
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

// A "Colormap.dat" that is there but is not a file leaves the built-in
// curve and says why; before, a folder was taken for an empty curve file and
// a pipe blocked the program at start-up.
TEST(BrightnessTable, ColormapThatIsNotAFileIsRefusedWithItsReason) {
    test::OddFiles odd("veltrane-colormap");
    struct Case {
        const char* folder;
        std::string reason;
    };
    odd.folder("folder/Colormap.dat");
    odd.folder("pipe");
    odd.pipe("pipe/Colormap.dat");
    odd.folder("device");
    odd.link("device/Colormap.dat", "/dev/zero");
    odd.folder("loop");
    odd.link_loop("loop/Colormap.dat");
    const Case cases[] = {
        {"folder", "it is a folder, not a file"},
        {"pipe", "not a regular file"},
        {"device", "not a regular file"},
        {"loop", "cannot read: too many levels of symbolic links"},
    };
    for (const Case& c : cases) {
        BrightnessTable t;
        std::string problem;
        EXPECT_FALSE(LoadColourCurve(t, odd.path(c.folder), &problem)) << c.folder;
        EXPECT_EQ(problem, odd.path(c.folder) + "/Colormap.dat: " + c.reason);
        EXPECT_EQ(t.curve[31], 248) << c.folder;
    }

    // Missing: skipped without a word. Longer than 32 bytes: the start counts.
    BrightnessTable t;
    std::string problem;
    EXPECT_FALSE(LoadColourCurve(t, odd.folder("empty"), &problem));
    EXPECT_EQ(problem, "");
    odd.folder("long");
    std::vector<uint8_t> bytes(100000, 7);
    odd.file("long/Colormap.dat", bytes);
    EXPECT_TRUE(LoadColourCurve(t, odd.path("long"), &problem));
    EXPECT_EQ(t.curve[31], 7);
}

}  // namespace
}  // namespace vt
