// The inspector's NES page data.
#include <gtest/gtest.h>

#include "nes/nes_ppu_debug.h"
#include "nes/nes_ppu_test_support.h"

namespace vt::test {
namespace {

TEST(NesPpuDebug, SettingsDecodeTheRegistersAndTheLayout) {
    NesPpuRig rig;
    rig.write(0x2000, 0x3A);  // table $2800, background $1000, sprites $1000, 8x16
    rig.write(0x2001, 0x0A);  // background shown with its left column, sprites hidden
    auto settings = nes_ppu_settings(rig.p);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Screen Size", "64x32"},         {"Screen Base Address", "$2800"}, {"Screen Name Address", "$1000"},
        {"Screen Clipping", "Disabled"},  {"Screen Visible", "Enabled"},    {"Sprite Size", "8x16"},
        {"Sprite Base Address", "$1000"}, {"Sprite Clipping", "Enabled"},   {"Sprite Visible", "Disabled"},
    };
    ASSERT_EQ(settings.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(settings[i].key, expected[i].first);
        EXPECT_EQ(settings[i].value, expected[i].second) << expected[i].first;
    }
    rig.mirror_horizontal();
    EXPECT_EQ(nes_ppu_settings(rig.p)[0].value, "32x64");
    for (auto& page : rig.p.nametable_page) page = rig.p.ciram.data();
    EXPECT_EQ(nes_ppu_settings(rig.p)[0].value, "32x32");
}

TEST(NesPpuDebug, RegisterValuesAndSprites) {
    NesPpuRig rig;
    rig.set_scroll(0x35, 0x4B);
    rig.set_address(0x23C5);
    rig.write(0x2003, 0x05);
    rig.p.oam[5] = 0x9C;
    rig.p.oam[8] = 0x10;
    rig.p.oam[11] = 0xF0;
    auto values = nes_ppu_register_values(rig.p);
    EXPECT_EQ(values[3], "05");
    EXPECT_EQ(values[4], "9C");
    EXPECT_EQ(values[6], "23C5");
    auto rows = nes_ppu_sprite_rows(rig.p);
    ASSERT_EQ(rows.size(), 64u);
    EXPECT_EQ(rows[2][0], "2");
    EXPECT_EQ(rows[2][1], "F0");
    EXPECT_EQ(rows[2][2], "10");
}

}  // namespace
}  // namespace vt::test
