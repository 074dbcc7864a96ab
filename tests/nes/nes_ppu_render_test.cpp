// The picture unit's lines: background tiles, attributes and fine scroll,
// scroll splits made mid-frame, sprites (flips, priority, order, the limit
// of eight, 8x16), clipping, the sprite-zero hit and where the lines land
// in the output picture.
#include <gtest/gtest.h>

#include <algorithm>

#include "nes/nes_ppu_test_support.h"

namespace vt::test {
namespace {

constexpr uint8_t kShowAll = 0x1E;  // background and sprites, left columns too

// Tiles used below: 1-3 solid in that pixel value, 4 solid 1 except its
// row 2 (value 3), 5 only its top-left pixel (value 1).
struct NesPpuRender : ::testing::Test {
    NesPpuRig rig;
    void SetUp() override {
        rig.set_solid_tile(1, 1);
        rig.set_solid_tile(2, 2);
        rig.set_solid_tile(3, 3);
        rig.set_solid_tile(4, 1);
        rig.set_tile_row(4, 2, 0xFF, 0xFF);
        rig.set_tile_row(5, 0, 0x80, 0x00);
    }
    void fill_nametable(int table, uint8_t tile) {
        for (int row = 0; row < 30; row++)
            for (int column = 0; column < 32; column++) rig.set_name(table, column, row, tile);
    }
    // Shows a frame with the given mask and scroll set during V-blank.
    void frame(uint8_t mask, uint8_t scroll_x = 0, uint8_t scroll_y = 0) {
        rig.write(0x2001, mask);
        rig.set_scroll(scroll_x, scroll_y);
        rig.run_frame();
    }
};

TEST_F(NesPpuRender, AttributesPickThePaletteOfEachQuadrant) {
    fill_nametable(0, 1);
    rig.set_attribute(0, 2, 0, 1);
    rig.set_attribute(0, 0, 2, 2);
    rig.set_attribute(0, 2, 2, 3);
    rig.set_attribute(0, 4, 0, 3);
    rig.set_attribute(0, 30, 28, 2);  // the last attribute byte's top-right quadrant
    frame(kShowAll);
    struct Point {
        int x, line, entry;
    };
    for (Point pt : {Point{0, 0, 1}, Point{15, 15, 1}, Point{16, 0, 5}, Point{31, 15, 5}, Point{0, 16, 9},
                     Point{16, 16, 13}, Point{32, 0, 13}, Point{48, 0, 1}, Point{255, 224, 9}, Point{255, 239, 9}, Point{223, 239, 1}})
        EXPECT_EQ(rig.entry_at(pt.x, pt.line), pt.entry) << pt.x << "," << pt.line;
}

TEST_F(NesPpuRender, FineAndCoarseScroll) {
    rig.set_name(0, 1, 0, 5);  // one pixel at x = 8, line 0
    rig.set_name(0, 2, 0, 5);  // and at x = 16
    rig.set_name(1, 0, 0, 2);  // the right-hand nametable's first tile
    struct Case {
        uint8_t scroll_x;
        int x_of_first, x_of_second, x_of_right_table;
    };
    for (Case c : {Case{0, 8, 16, -1}, Case{3, 5, 13, 253}, Case{11, -1, 5, 245}, Case{16, -1, 0, 240}}) {
        frame(kShowAll, c.scroll_x, 0);
        for (int x = 0; x < 256; x++) {
            int expected = (x == c.x_of_first || x == c.x_of_second) ? 1 : 0;
            if (c.x_of_right_table >= 0 && x >= c.x_of_right_table && x < c.x_of_right_table + 8) expected = 2;
            ASSERT_EQ(rig.entry_at(x, 0), expected) << "scroll " << int(c.scroll_x) << " x " << x;
        }
    }
}

TEST_F(NesPpuRender, FineXFromAStateFileUsesItsThreeBits) {
    rig.set_name(0, 1, 0, 5);
    frame(kShowAll, 3, 0);
    auto expected = rig.picture;
    rig.p.fine_x = 0xFB;  // as a damaged save state could leave it
    rig.run_frame();
    EXPECT_EQ(rig.picture, expected);
}

TEST_F(NesPpuRender, VerticalScrollWrapsAtRow29AndRow31) {
    rig.mirror_horizontal();
    rig.set_name(0, 0, 29, 1);
    rig.set_name(0, 0, 0, 3);
    rig.set_name(2, 0, 0, 2);
    frame(kShowAll, 0, 232);  // row 29 of the top table, then the bottom table
    EXPECT_EQ(rig.entry_at(0, 7), 1);
    EXPECT_EQ(rig.entry_at(0, 8), 2);
    EXPECT_EQ(rig.entry_at(0, 239), 0);
    frame(kShowAll, 0, 248);  // row 31: past the attributes, back to row 0 of the same table
    EXPECT_EQ(rig.entry_at(0, 8), 3);
}

TEST_F(NesPpuRender, HorizontalSplitTakesEffectOnTheNextLine) {
    for (int row = 0; row < 30; row++) {
        rig.set_name(0, 0, row, 1);
        rig.set_name(0, 1, row, 2);
    }
    struct Case {
        uint16_t dot;
        int first_scrolled_line;
    };
    // Before dot 257 the new x is copied at the end of this line; after
    // it, at the end of the next one.
    for (Case c : {Case{100, 5}, Case{250, 5}, Case{300, 6}}) {
        rig.write(0x2001, kShowAll);
        rig.set_scroll(0, 0);
        rig.run_lines(261, 261);
        rig.run_lines(0, 4);
        rig.write(0x2005, 8, c.dot);
        rig.write(0x2005, 120, c.dot + 3);  // y waits for the next frame
        rig.run_lines(5, 260);
        for (int line = 0; line < 240; line++)
            ASSERT_EQ(rig.entry_at(0, line), line < c.first_scrolled_line ? 1 : 2) << c.dot << " " << line;
    }
}

TEST_F(NesPpuRender, AddressSplitStartsAtTheWrittenRowWithItsFineY) {
    fill_nametable(0, 1);
    rig.set_name(0, 0, 20, 4);
    rig.write(0x2001, kShowAll);
    rig.set_scroll(0, 0);
    rig.run_lines(261, 261);
    rig.run_lines(0, 9);
    // $2280: row 20 of the first table; bit 13 of the address is fine y 2.
    rig.write(0x2006, 0x22, 300);
    rig.write(0x2006, 0x80, 303);
    rig.run_lines(10, 12);
    EXPECT_EQ(rig.entry_at(0, 9), 1);
    EXPECT_EQ(rig.entry_at(0, 10), 3);
    EXPECT_EQ(rig.entry_at(0, 11), 1);
    EXPECT_EQ(rig.entry_at(8, 10), 1);
}

TEST_F(NesPpuRender, TheNextFrameStartsFromTheScrollAgain) {
    fill_nametable(0, 1);
    rig.set_name(0, 0, 0, 2);
    frame(kShowAll);
    auto first = rig.picture;
    rig.run_frame();
    EXPECT_EQ(first, rig.picture);
    EXPECT_EQ(rig.entry_at(0, 0), 2);
}

TEST_F(NesPpuRender, SpritesPlaceFlipAndColour) {
    struct Case {
        uint8_t attributes;
        int x, line;  // where the tile's one pixel lands for a sprite at (100, y byte 49)
    };
    for (Case c : {Case{0x00, 100, 50}, Case{0x40, 107, 50}, Case{0x80, 100, 57}, Case{0xC1, 107, 57}}) {
        std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xFF);
        rig.set_sprite(0, 49, 5, c.attributes, 100);
        frame(kShowAll);
        int entry = 16 + (c.attributes & 3) * 4 + 1;
        for (int line = 48; line < 60; line++)
            for (int x = 98; x < 110; x++)
                ASSERT_EQ(rig.entry_at(x, line), (x == c.x && line == c.line) ? entry : 0)
                    << int(c.attributes) << " " << x << "," << line;
    }
}

TEST_F(NesPpuRender, SpritePriorityAndOrder) {
    std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xFF);
    rig.set_name(0, 0, 0, 1);        // background opaque at x 0-7
    rig.set_sprite(0, 0, 2, 0x20, 0);  // behind: hidden by the background
    rig.set_sprite(1, 0, 3, 0x01, 4);  // in front, but later than sprite 0
    rig.set_sprite(2, 10, 2, 0x20, 20);  // behind, over the backdrop: shown
    rig.set_sprite(3, 10, 3, 0x03, 24);  // under sprite 2 where they overlap
    frame(kShowAll);
    EXPECT_EQ(rig.entry_at(2, 1), 1);         // background over the behind sprite
    EXPECT_EQ(rig.entry_at(6, 1), 1);         // sprite 0 wins the pixel, so the background shows
    EXPECT_EQ(rig.entry_at(10, 1), 16 + 4 + 3);  // sprite 1 alone
    EXPECT_EQ(rig.entry_at(21, 11), 16 + 2);
    EXPECT_EQ(rig.entry_at(26, 11), 16 + 2);
    EXPECT_EQ(rig.entry_at(30, 11), 16 + 12 + 3);
}

TEST_F(NesPpuRender, LeftColumnClipping) {
    fill_nametable(0, 1);
    std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xFF);
    rig.set_sprite(0, 100, 2, 0, 4);  // covers x 4-11 on lines 101-108
    struct Case {
        uint8_t mask;
        int at_5, at_9;
    };
    for (Case c : {Case{0x1E, 18, 18}, Case{0x1A, 1, 18}, Case{0x1C, 18, 18}, Case{0x18, 0, 18},
                   Case{0x08, 0, 1}, Case{0x0A, 1, 1}, Case{0x10, 0, 18}, Case{0x14, 18, 18}}) {
        frame(c.mask);
        EXPECT_EQ(rig.entry_at(5, 102), c.at_5) << int(c.mask);
        EXPECT_EQ(rig.entry_at(9, 102), c.at_9) << int(c.mask);
    }
}

TEST_F(NesPpuRender, EightSpritesALineAndTheOverflowFlag) {
    std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xFF);
    for (int i = 0; i < 9; i++) rig.set_sprite(i, 49, 1, 0, uint8_t(i * 20));
    rig.write(0x2001, kShowAll);
    rig.run_lines(261, 261);
    rig.run_lines(0, 49);
    EXPECT_EQ(rig.read(0x2002, 10) & 0x20, 0);
    rig.run_lines(50, 239);
    EXPECT_EQ(rig.read(0x2002) & 0x20, 0x20);
    for (int i = 0; i < 8; i++) EXPECT_EQ(rig.entry_at(i * 20, 50), 17) << i;
    EXPECT_EQ(rig.entry_at(160, 50), 0);  // the ninth is dropped
    rig.run_lines(240, 261);
    EXPECT_EQ(rig.p.status & 0x20, 0);
}

TEST_F(NesPpuRender, OverflowCheckStepsDiagonallyThroughOam) {
    struct Case {
        const char* name;
        std::vector<std::array<uint8_t, 4>> after_eight;  // entries 8, 9, ...
        bool overflow;
    };
    const Case cases[] = {
        {"a ninth sprite right after eight", {{49, 0, 0, 0}}, true},
        {"the tile byte of entry 9 taken as y", {{200, 0, 0, 0}, {200, 49, 0, 0}}, true},
        {"a ninth sprite missed: its y is not the byte looked at", {{200, 0, 0, 0}, {49, 200, 0, 200}}, false},
        {"no ninth sprite", {{200, 200, 200, 200}}, false},
    };
    for (const Case& c : cases) {
        std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xF8);
        for (int i = 0; i < 8; i++) rig.set_sprite(i, 49, 1, 0, 0);
        for (size_t k = 0; k < c.after_eight.size(); k++)
            for (int b = 0; b < 4; b++) rig.p.oam[(8 + k) * 4 + b] = c.after_eight[k][b];
        rig.write(0x2001, kShowAll);
        rig.run_lines(261, 261);
        rig.run_lines(0, 60);
        EXPECT_EQ((rig.p.status & 0x20) != 0, c.overflow) << c.name;
    }
}

TEST_F(NesPpuRender, TallSprites) {
    rig.set_solid_tile(0x102, 1);  // $1000 table, tiles 2 and 3
    rig.set_solid_tile(0x103, 2);
    rig.set_solid_tile(0x006, 3);  // $0000 table, tiles 6 and 7
    rig.set_tile_row(0x007, 7, 0xFF, 0x00);
    std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xFF);
    rig.set_sprite(0, 30, 0x03, 0x00, 10);  // odd tile: $1000 table, tiles 2 then 3
    rig.set_sprite(1, 30, 0x03, 0x80, 30);  // flipped: 3 on top, upside down
    rig.set_sprite(2, 30, 0x06, 0x00, 50);
    rig.write(0x2000, 0x20);
    frame(kShowAll);
    struct Point {
        int x, line, entry;
    };
    for (Point pt : {Point{10, 30, 0}, Point{10, 31, 17}, Point{10, 38, 17}, Point{10, 39, 18}, Point{10, 46, 18},
                     Point{10, 47, 0}, Point{30, 31, 18}, Point{30, 39, 17}, Point{50, 38, 19}, Point{50, 39, 0},
                     Point{50, 46, 17}})
        EXPECT_EQ(rig.entry_at(pt.x, pt.line), pt.entry) << pt.x << "," << pt.line;
    // With 8x8 sprites the table comes from $2000 bit 3.
    rig.write(0x2000, 0x08);
    frame(kShowAll);
    EXPECT_EQ(rig.entry_at(10, 31), 18);  // $1000 tile 3
    EXPECT_EQ(rig.entry_at(10, 39), 0);   // eight lines tall
    EXPECT_EQ(rig.entry_at(50, 31), 0);   // $1000 tile 6 is empty
    rig.write(0x2000, 0x00);
    frame(kShowAll);
    EXPECT_EQ(rig.entry_at(50, 31), 19);  // $0000 tile 6
}

TEST_F(NesPpuRender, SpriteZeroHitAtItsDot) {
    fill_nametable(0, 1);
    std::fill(rig.p.oam.begin(), rig.p.oam.end(), 0xFF);
    struct Case {
        const char* name;
        uint8_t mask, x, attributes, background_tile;
        int hit_x;  // -1: no hit
    };
    const Case cases[] = {
        {"plain", kShowAll, 40, 0x00, 1, 40},
        {"behind the background still hits", kShowAll, 40, 0x20, 1, 40},
        {"transparent background", kShowAll, 40, 0x00, 0, -1},
        {"never at x 255", kShowAll, 255, 0x00, 1, -1},
        {"clipped left columns", 0x18, 2, 0x00, 1, 8},
        {"left columns shown", kShowAll, 2, 0x00, 1, 2},
        {"sprites off", 0x0E, 40, 0x00, 1, -1},
        {"background off", 0x16, 40, 0x00, 1, -1},
    };
    for (const Case& c : cases) {
        fill_nametable(0, c.background_tile);
        rig.set_sprite(0, 99, 2, c.attributes, c.x);
        rig.write(0x2001, c.mask);
        rig.set_scroll(0, 0);
        rig.run_lines(261, 261);
        rig.run_lines(0, 99);
        EXPECT_EQ(rig.read(0x2002, 340) & 0x40, 0) << c.name;
        nes_ppu_line(rig.p, 100, nullptr);  // not shown: still composed
        if (c.hit_x < 0) {
            rig.run_lines(101, 239);
            EXPECT_EQ(rig.read(0x2002) & 0x40, 0) << c.name;
        } else {
            EXPECT_EQ(rig.read(0x2002, uint16_t(c.hit_x)) & 0x40, 0) << c.name;
            EXPECT_EQ(rig.read(0x2002, uint16_t(c.hit_x + 1)) & 0x40, 0x40) << c.name;
            rig.run_lines(101, 260);
            EXPECT_EQ(rig.read(0x2002) & 0x40, 0x40) << c.name;  // until the pre-render line
            rig.run_lines(261, 261);
            EXPECT_EQ(rig.read(0x2002) & 0x40, 0) << c.name;
        }
        rig.run_lines(240, 260);
    }
}

TEST_F(NesPpuRender, LinesLandOnTwoRowsMinusTheFirstAndLast) {
    std::fill(rig.picture.begin(), rig.picture.end(), 0xEE);
    rig.p.palette[0] = 0x30;  // white backdrop, rendering off
    rig.run_lines(0, 0);
    auto row_is = [&](int row, uint8_t value) {
        const uint8_t* start = &rig.picture[size_t(row) * kPictureStride];
        return std::all_of(start, start + kPictureStride, [&](uint8_t b) { return b == value; });
    };
    EXPECT_TRUE(row_is(0, 0xFF));
    EXPECT_TRUE(row_is(1, 0xEE));
    rig.run_lines(1, 1);
    EXPECT_TRUE(row_is(1, 0xFF));
    EXPECT_TRUE(row_is(2, 0xFF));
    EXPECT_TRUE(row_is(3, 0xEE));
    rig.run_lines(239, 239);  // its second row would be row 478
    EXPECT_TRUE(row_is(476, 0xEE));
    EXPECT_TRUE(row_is(477, 0xFF));
}

TEST_F(NesPpuRender, GreyscaleEmphasisAndTheBackdropWhileOff) {
    const auto& table = nes_colour_table();
    rig.set_name(0, 0, 0, 1);
    rig.p.palette[1] = 0x16;
    frame(0x0B);  // greyscale: the colour's column is dropped
    EXPECT_EQ(rig.colour_at(0, 0), table.colour[0][0x10]);
    frame(0x2A);  // red emphasis
    EXPECT_EQ(rig.colour_at(0, 0), table.colour[1][0x16]);
    frame(0xCA);  // green and blue
    EXPECT_EQ(rig.colour_at(0, 0), table.colour[6][0x16]);
    // Rendering off with v inside the palette shows the entry v points at.
    rig.write(0x2001, 0);
    rig.set_address(0x3F05);
    rig.run_lines(0, 0);
    EXPECT_EQ(rig.entry_at(100, 0), 5);
    rig.set_address(0x2000);
    rig.run_lines(0, 0);
    EXPECT_EQ(rig.entry_at(100, 0), 0);
}

}  // namespace
}  // namespace vt::test
