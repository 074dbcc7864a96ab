// The colours decoded from the picture unit's signal: greys on the grey
// columns, black where the console outputs black, hues in television order,
// emphasis darkening the other primaries.
#include <gtest/gtest.h>

#include "nes/nes_palette.h"

namespace vt::test {
namespace {

struct Rgb {
    int r, g, b;
};
Rgb rgb(int emphasis, int colour) {
    NesColour c = nes_colour_table().colour[emphasis][colour];
    return {int(c >> 16) & 255, int(c >> 8) & 255, int(c) & 255};
}

TEST(NesPalette, GreysAndBlacks) {
    for (int colour : {0x00, 0x10, 0x20, 0x2D, 0x3D}) {
        Rgb c = rgb(0, colour);
        EXPECT_EQ(c.r, c.g) << colour;
        EXPECT_EQ(c.g, c.b) << colour;
    }
    EXPECT_LT(rgb(0, 0x2D).r, rgb(0, 0x00).r);
    EXPECT_LT(rgb(0, 0x00).r, rgb(0, 0x10).r);
    EXPECT_LT(rgb(0, 0x10).r, rgb(0, 0x3D).r);
    EXPECT_EQ(rgb(0, 0x30).r, 255);
    for (int colour : {0x0D, 0x0E, 0x0F, 0x1D, 0x1E, 0x1F, 0x2E, 0x2F, 0x3E, 0x3F}) {
        Rgb c = rgb(0, colour);
        EXPECT_EQ(c.r + c.g + c.b, 0) << colour;
    }
}

TEST(NesPalette, HuesInOrder) {
    // The strongest primary of each hue of the middle rows.
    struct Case {
        int colour;
        char strongest;
    };
    for (Case c : {Case{0x11, 'b'}, Case{0x12, 'b'}, Case{0x16, 'r'}, Case{0x17, 'r'}, Case{0x19, 'g'},
                   Case{0x1A, 'g'}, Case{0x21, 'b'}, Case{0x26, 'r'}, Case{0x2A, 'g'}}) {
        Rgb v = rgb(0, c.colour);
        char strongest = (v.r >= v.g && v.r >= v.b) ? 'r' : (v.g >= v.b ? 'g' : 'b');
        EXPECT_EQ(strongest, c.strongest) << std::hex << c.colour;
    }
    // Colour $14 is magenta, $1C cyan.
    Rgb magenta = rgb(0, 0x14), cyan = rgb(0, 0x1C);
    EXPECT_GT(magenta.r, magenta.g);
    EXPECT_GT(magenta.b, magenta.g);
    EXPECT_GT(cyan.g, cyan.r);
    EXPECT_GT(cyan.b, cyan.r);
}

TEST(NesPalette, EmphasisDimsTheOtherPrimaries) {
    Rgb plain = rgb(0, 0x30);
    struct Case {
        int emphasis;
        bool r_dim, g_dim, b_dim;
    };
    for (Case c : {Case{1, false, true, true}, Case{2, true, false, true}, Case{4, true, true, false},
                   Case{3, true, true, true}, Case{7, true, true, true}}) {
        Rgb e = rgb(c.emphasis, 0x30);
        EXPECT_EQ(e.r < plain.r, c.r_dim) << c.emphasis;
        EXPECT_EQ(e.g < plain.g, c.g_dim) << c.emphasis;
        EXPECT_EQ(e.b < plain.b, c.b_dim) << c.emphasis;
    }
}

}  // namespace
}  // namespace vt::test
