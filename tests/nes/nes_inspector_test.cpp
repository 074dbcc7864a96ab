// The inspector's NES page data decodes the picture unit's registers.
#include <gtest/gtest.h>

#include "debug/nes_inspector_data.h"
#include "nes_image_builder.h"

namespace vt {
namespace {

std::string value_of(const Grid& g, const std::string& label) {
    for (const GridRow& r : g) {
        if (r.label == label) return r.value;
    }
    return "(missing)";
}

TEST(NesInspector, SettingsFollowTheControlAndMaskRegisters) {
    test::NesRig r;
    ASSERT_TRUE(r.load(test::nes_image(0, 2, 1, 0x01)));
    NesPpu& p = r.m->nes.ppu;
    p.control = 0x3A;  // nametable $2800, sprites 8x16, background at $1000
    p.mask = 0x1A;     // background shown with its left column, sprites shown clipped
    const Grid g = nes_ppu_settings(*r.m);
    EXPECT_EQ(value_of(g, "Screen Size"), "64x32");
    EXPECT_EQ(value_of(g, "Screen Base Address"), "$2800");
    EXPECT_EQ(value_of(g, "Screen Name Address"), "$1000");
    EXPECT_EQ(value_of(g, "Screen Clipping"), "Disabled");
    EXPECT_EQ(value_of(g, "Screen Visible"), "Enabled");
    EXPECT_EQ(value_of(g, "Sprite Size"), "8x16");
    EXPECT_EQ(value_of(g, "Sprite Clipping"), "Enabled");
    EXPECT_EQ(value_of(g, "Sprite Visible"), "Enabled");

    const Grid regs = nes_ppu_register_grid(*r.m);
    ASSERT_EQ(regs.size(), 8u);
    EXPECT_EQ(regs[0].value, "3A");
    EXPECT_EQ(regs[1].value, "1A");
    p.oam[4 * 5 + 0] = 100;
    p.oam[4 * 5 + 1] = 0x42;
    p.oam[4 * 5 + 2] = 0xE1;
    p.oam[4 * 5 + 3] = 33;
    const auto sprites = nes_sprite_grid(*r.m);
    ASSERT_EQ(sprites.size(), 64u);
    EXPECT_EQ(sprites[5][0], "33");
    EXPECT_EQ(sprites[5][1], "100");
    EXPECT_EQ(sprites[5][2], "42");
    EXPECT_EQ(sprites[5][3], "P5 back H V");
}

}  // namespace
}  // namespace vt
