// The sprite unit driven through the registers: sizes, range evaluation
// with its limit and the priority rotation, the sliver budget, the screen
// edges, flips, tiles that run on in VRAM, sprite interlace, and what a
// loaded state rebuilds.
#include <gtest/gtest.h>

#include <vector>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/render.h"

namespace vt::test {
namespace {

class Sprites : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;
    Ppu& p = machine->ppu;
    std::array<uint8_t, 32> high{};  // what the test wrote to the high table

    void SetUp() override {
        write(0x2101, 0x00);  // name base 0, 8 and 16 pixels
        for (int i = 0; i < 128; i++) set_sprite(i, 0, 0xE0, 0, 0, false);  // below the picture
    }

    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }

    void set_sprite(int i, int x, int y, int tile, int attributes, bool large) {
        write(0x2102, uint8_t(i * 2));
        write(0x2103, 0);
        write(0x2104, uint8_t(x));
        write(0x2104, uint8_t(y));
        write(0x2104, uint8_t(tile));
        write(0x2104, uint8_t(attributes));
        const int j = i / 4, shift = (i % 4) * 2;
        high[j] = uint8_t((high[j] & ~(3 << shift)) | ((((x >> 8) & 1) | (large ? 2 : 0)) << shift));
        // High-table bytes go in at once, from an even byte.
        write(0x2102, uint8_t(j / 2));
        write(0x2103, 1);
        write(0x2104, high[j & ~1]);
        write(0x2104, high[j | 1]);
    }

    void set_vram_word(int a, uint16_t w) {
        write(0x2115, 0x80);
        write(0x2116, uint8_t(a));
        write(0x2117, uint8_t(a >> 8));
        write(0x2118, uint8_t(w));
        write(0x2119, uint8_t(w >> 8));
    }
    // Row `row` of the 4-bpp tile at word address `tile` gets these pixels.
    void set_tile_row(int tile, int row, const std::array<int, 8>& values) {
        uint8_t planes[4]{};
        for (int x = 0; x < 8; x++) {
            for (int k = 0; k < 4; k++) {
                if ((values[x] >> k) & 1) planes[k] |= uint8_t(0x80 >> x);
            }
        }
        set_vram_word(tile + row, uint16_t(planes[0] | (planes[1] << 8)));
        set_vram_word(tile + 8 + row, uint16_t(planes[2] | (planes[3] << 8)));
    }
    void fill_tile(int tile, int value) {
        for (int row = 0; row < 8; row++) set_tile_row(tile, row, {value, value, value, value, value, value, value, value});
    }

    // Evaluation at the H-blank of line - 1, then the drawing of `line`.
    void draw_line(int line) {
        m.timing.line = uint16_t(line - 1);
        sprite_evaluation(m);
        m.timing.line = uint16_t(line);
        sprites_draw_line(m);
    }
    bool drawn(int x) const { return p.obj_priority[x] != 0x80; }
    std::vector<int> line_list() const { return {p.sprite_list.begin(), p.sprite_list.begin() + p.sprite_count}; }
};

TEST_F(Sprites, SizeCodes6And7GiveSmall8AndLarge16Or32) {
    set_sprite(0, 10, 10, 0, 0, true);
    set_sprite(1, 100, 10, 0, 0, false);
    write(0x2101, 0xC0);  // code 6
    m.timing.line = 25;
    sprite_evaluation(m);
    EXPECT_EQ(line_list(), (std::vector<int>{0}));
    m.timing.line = 26;
    sprite_evaluation(m);
    EXPECT_TRUE(line_list().empty());
    m.timing.line = 17;
    sprite_evaluation(m);
    EXPECT_EQ(line_list(), (std::vector<int>{0, 1}));

    write(0x2101, 0xE0);  // code 7: the large one is 32 pixels
    fill_tile(0, 3);
    for (int t = 1; t < 4; t++) fill_tile(t * 16, 3);
    m.timing.line = 41;
    sprite_evaluation(m);
    EXPECT_EQ(line_list(), (std::vector<int>{0}));
    m.timing.line = 42;
    sprite_evaluation(m);
    EXPECT_TRUE(line_list().empty());
    draw_line(12);
    EXPECT_FALSE(drawn(9));
    EXPECT_TRUE(drawn(10));
    EXPECT_TRUE(drawn(41));
    EXPECT_FALSE(drawn(42));
}

TEST_F(Sprites, The33rdSpriteOnALineIsDroppedAndReported) {
    fill_tile(0, 1);
    for (int i = 0; i < 33; i++) set_sprite(i, i * 7, 50, 0, 0, false);
    p.stat77 &= 0x3F;
    draw_line(51);
    ASSERT_EQ(p.sprite_count, 32);
    for (int k = 0; k < 32; k++) EXPECT_EQ(p.sprite_list[k], k);
    EXPECT_EQ(p.stat77 & 0xC0, 0x40);
    EXPECT_TRUE(drawn(224));  // the last column of sprite 31
    for (int x = 225; x < 232; x++) EXPECT_FALSE(drawn(x)) << x;
}

TEST_F(Sprites, SpritesAtX256CountTowardTheLimit) {
    fill_tile(0, 1);
    for (int i = 0; i < 32; i++) set_sprite(i, 256, 50, 0, 0, false);
    set_sprite(32, 0, 50, 0, 0, false);
    p.stat77 &= 0x3F;
    draw_line(51);
    EXPECT_EQ(p.stat77 & 0xC0, 0x40);
    for (int x = 0; x < 256; x++) ASSERT_FALSE(drawn(x)) << x;
}

// Columns wholly left of the screen (X bit 8 set, low byte up to $F8)
// cost nothing: sprites 0 and 1 (16 pixels at X = -9 and X = -8) each
// cost one sliver, sixteen more 16-pixel sprites 32: the whole budget.
TEST_F(Sprites, OffScreenColumnsCostNothing) {
    fill_tile(0, 1);
    fill_tile(16, 2);
    set_sprite(0, -9 & 0x1FF, 50, 0, 0, true);
    set_sprite(1, -8 & 0x1FF, 50, 0, 0, true);
    for (int i = 2; i < 18; i++) set_sprite(i, 15 + (i - 2) * 15, 50, 0, 0, true);
    p.stat77 &= 0x3F;
    draw_line(51);
    EXPECT_EQ(p.stat77 & 0xC0, 0);
    // Right columns: sprite 0's covers x -1 to 6, sprite 1's 0 to 7.
    for (int x = 0; x < 8; x++) EXPECT_EQ(p.obj_colour[x], 128 + 2) << x;
    EXPECT_FALSE(drawn(8));
}

// One more sliver than the budget: drawing from the end of the list stops
// at the first sprite found.
TEST_F(Sprites, The35thSliverStopsTheLine) {
    fill_tile(0, 1);
    fill_tile(16, 1);
    for (int i = 0; i < 17; i++) set_sprite(i, i * 15, 50, 0, 0, true);  // 34 slivers
    set_sprite(17, 2, 50, 0, 0, false);  // found last, drawn first
    p.stat77 &= 0x3F;
    draw_line(51);
    EXPECT_EQ(p.stat77 & 0xC0, 0x80);
    EXPECT_TRUE(drawn(255));  // sprite 16 (X = 240)
    // Sprites 17 down to 1 took 1 + 32 slivers; sprite 0 (x 0-15) got its
    // left column with the 34th and lost its right one. Sprite 17 covers
    // x 2-9 and sprite 1 starts at 15, so x 10-14 stay empty.
    EXPECT_TRUE(drawn(7));
    for (int x = 10; x < 15; x++) EXPECT_FALSE(drawn(x)) << x;
    EXPECT_TRUE(drawn(15));
}

TEST_F(Sprites, NegativeXShowsTheRightColumns) {
    set_tile_row(0, 0, {1, 2, 3, 4, 5, 6, 7, 8});
    set_sprite(0, -4 & 0x1FF, 50, 0, 0x02, false);  // palette 1
    draw_line(51);
    for (int x = 0; x < 4; x++) EXPECT_EQ(p.obj_colour[x], 128 + 16 + 5 + x) << x;
    EXPECT_FALSE(drawn(4));
}

// Evaluation starts at sprite OAMADDL / 2 when OAMADDH bit 7 is set; of
// overlapping sprites the one found first is on top.
TEST_F(Sprites, PriorityRotationStartsAtTheNamedSprite) {
    for (int t = 0; t < 3; t++) fill_tile(t * 16, t + 1);
    set_sprite(7, 40, 50, 0, 0, false);
    set_sprite(8, 40, 50, 1, 0, false);
    set_sprite(9, 40, 50, 2, 0, false);
    draw_line(51);
    EXPECT_EQ(line_list(), (std::vector<int>{7, 8, 9}));
    EXPECT_EQ(p.obj_colour[40], 128 + 1);  // sprite 7 on top

    write(0x2103, 0x80);
    write(0x2102, 0x10);
    draw_line(51);
    EXPECT_EQ(line_list(), (std::vector<int>{8, 9, 7}));
    EXPECT_EQ(p.obj_colour[40], 128 + 2);  // sprite 8 on top
}

// A 16 x 16 sprite of tile $0F: right half tile $10, lower half $1F and
// $20, each 16 tiles (0x100 words) below.
TEST_F(Sprites, TilesRunOnInVram) {
    fill_tile(0x0F * 16, 1);
    fill_tile(0x10 * 16, 2);
    fill_tile(0x1F * 16, 3);
    fill_tile(0x20 * 16, 4);
    set_sprite(0, 100, 50, 0x0F, 0, true);
    draw_line(51);
    EXPECT_EQ(p.obj_colour[100], 128 + 1);
    EXPECT_EQ(p.obj_colour[108], 128 + 2);
    draw_line(59);
    EXPECT_EQ(p.obj_colour[107], 128 + 3);
    EXPECT_EQ(p.obj_colour[115], 128 + 4);
}

TEST_F(Sprites, FlipsMirrorTheWholeSprite) {
    // Tiles 0, 1 (top) and 16, 17 (bottom): pixel value = 1 + column.
    for (int t : {0, 1, 16, 17}) {
        for (int row = 0; row < 8; row++) set_tile_row(t * 16, row, {1, 2, 3, 4, 5, 6, 7, 8});
    }
    set_tile_row(16 * 16, 7, {9, 9, 9, 9, 9, 9, 9, 9});  // the last row of the bottom-left tile
    set_sprite(0, 100, 50, 0, 0x40, true);                  // horizontal flip
    draw_line(51);
    EXPECT_EQ(p.obj_colour[100], 128 + 8);  // column 15 of the sprite: tile 1's column 7
    EXPECT_EQ(p.obj_colour[107], 128 + 1);
    EXPECT_EQ(p.obj_colour[108], 128 + 8);  // tile 0's column 7
    EXPECT_EQ(p.obj_colour[115], 128 + 1);

    set_sprite(0, 100, 50, 0, 0x80, true);  // vertical flip: row 15 first
    draw_line(51);
    EXPECT_EQ(p.obj_colour[100], 128 + 9);
    EXPECT_EQ(p.obj_colour[108], 128 + 1);
}

TEST_F(Sprites, AttributesGiveColourBasePriorityAndSecondTable) {
    write(0x2101, 0x09);  // name base 1 (0x2000 words), gap 1: second table at 0x4000
    fill_tile(0x2000 + 5 * 16, 1);
    fill_tile(0x4000 + 5 * 16, 2);
    set_sprite(0, 10, 50, 5, 0x3E, false);  // palette 7, priority 3, first table
    set_sprite(1, 30, 50, 5, 0x11, false);  // palette 0, priority 1, second table
    draw_line(51);
    EXPECT_EQ(p.obj_colour[10], 128 + 7 * 16 + 1);
    EXPECT_EQ(p.obj_priority[10], 3);
    EXPECT_EQ(p.obj_colour[30], 128 + 2);
    EXPECT_EQ(p.obj_priority[30], 1);
}

// Sprite interlace: a 16-pixel sprite is 8 lines high on screen, and line
// r of it shows sprite row 2r plus the field.
TEST_F(Sprites, InterlaceHalvesTheHeightAndPicksRowsByField) {
    for (int row = 0; row < 8; row++) {
        set_tile_row(0, row, {row + 1, 0, 0, 0, 0, 0, 0, 0});
        set_tile_row(16 * 16, row, {row + 8, 0, 0, 0, 0, 0, 0, 0});
    }
    set_sprite(0, 100, 50, 0, 0, true);
    write(0x2133, 0x02);
    m.timing.line = 57;
    sprite_evaluation(m);
    EXPECT_EQ(p.sprite_count, 1);
    m.timing.line = 58;
    sprite_evaluation(m);
    EXPECT_EQ(p.sprite_count, 0);

    p.stat78 &= 0x7F;  // even field
    draw_line(52);     // screen row 1: sprite row 2
    EXPECT_EQ(p.obj_colour[100], 128 + 3);
    p.stat78 |= 0x80;  // odd field: sprite row 3
    draw_line(52);
    EXPECT_EQ(p.obj_colour[100], 128 + 4);
    draw_line(58);  // screen row 7: sprite row 15
    EXPECT_EQ(p.obj_colour[100], 128 + 15);
}

// Lines the sprite unit leaves alone show no sprite.
TEST_F(Sprites, PriorityLineIsClearedEveryLine) {
    fill_tile(0, 1);
    set_sprite(0, 10, 50, 0, 0, false);
    draw_line(51);
    EXPECT_TRUE(drawn(10));
    draw_line(70);
    for (int x = 0; x < 256; x++) ASSERT_FALSE(drawn(x)) << x;
}

// A state loaded between a line's evaluation and its drawing gives the
// same sprite line: the list and the rotation are rebuilt from OAM and the
// OAM address registers, and the rebuild reports nothing.
TEST_F(Sprites, LoadedStateRebuildsRotationAndTheLineList) {
    for (int t = 0; t < 3; t++) fill_tile(t * 16, t + 1);
    set_sprite(7, 40, 50, 0, 0, false);
    set_sprite(8, 40, 50, 1, 0, false);
    write(0x2103, 0x80);
    write(0x2102, 0x10);
    m.timing.line = 50;
    sprite_evaluation(m);

    std::vector<uint8_t> sppu(kPpuStateSize), vram(kVramStateSize);
    ppu_save_state(m, sppu.data());
    vram_save_state(m, vram.data());
    auto fresh = machine_with_rom("smoke");
    fresh->timing.line = 50;
    ppu_load_state(*fresh, sppu.data());
    vram_load_state(*fresh, vram.data());
    ppu_refresh_derived(*fresh);
    EXPECT_EQ(fresh->ppu.stat77, p.stat77);
    EXPECT_EQ(fresh->ppu.sprite_count, 2);

    fresh->timing.line = 51;
    sprites_draw_line(*fresh);
    EXPECT_EQ(fresh->ppu.obj_colour[40], 128 + 2);  // sprite 8 on top, as rotation says
}

}  // namespace
}  // namespace vt::test
