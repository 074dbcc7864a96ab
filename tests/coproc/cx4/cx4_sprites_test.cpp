// The CX4's OAM builder: objects in its RAM, sprite definitions in the
// cartridge, the sprite table with its high table built in its RAM.
#include "cx4_fixture.h"

namespace vt::test {
namespace {

constexpr uint32_t kDefinition = 0x028000;  // LoROM $02:8000

struct Cx4SpritesTest : Cx4Fixture {
    void SetUp() override {
        Cx4Fixture::SetUp();
        ram16(0x621, 0x1000);  // global X
        ram16(0x623, 0x0800);  // global Y
    }
    // Object n at screen place (x, y).
    void object(int n, int x, int y, uint8_t attributes, uint8_t tile, uint8_t extra, uint32_t definition) {
        const size_t o = 0x220 + 16 * size_t(n);
        ram16(o, uint16_t(0x1000 + x));
        ram16(o + 2, uint16_t(0x0800 + y));
        ram(o + 4) = attributes;
        ram(o + 5) = tile;
        ram(o + 6) = extra;
        ram(o + 7) = uint8_t(definition);
        ram(o + 8) = uint8_t(definition >> 8);
        ram(o + 9) = uint8_t(definition >> 16);
    }
    int high_bits(int n) { return ram(0x200 + size_t(n / 4)) >> (2 * (n % 4)) & 3; }
};

TEST_F(Cx4SpritesTest, OnePiecePlacedWithFlipsSizesAndTheHighTableBits) {
    struct Case {
        const char* label;
        int x, y;
        uint8_t attributes, flags;
        int8_t dx, dy;
        int entry_x, entry_y;
        uint8_t entry_attributes;
        int high;
    } cases[] = {
        {"8x8 plain", 100, 50, 0x30, 0x00, 5, -3, 105, 47, 0x31, 0},
        {"8x8 X flip", 100, 50, 0x70, 0x00, 5, -3, 100 - 5 - 8, 47, 0x71, 0},
        {"16x16 Y flip", 100, 50, 0xB0, 0x20, 5, -3, 105, 50 + 3 - 16, 0xB1, 2},
        {"16x16 both flips", 100, 50, 0xF0, 0x20, 5, -3, 100 - 5 - 16, 50 + 3 - 16, 0xF1, 2},
        {"piece flips toggle the object's", 100, 50, 0x30, 0xC0, 5, -3, 105, 47, 0xF1, 0},
        {"X past 255", 260, 50, 0x30, 0x20, 5, 0, 265, 50, 0x31, 3},
        {"X left of 0", -10, 50, 0x30, 0x00, 0, 0, -10, 50, 0x31, 1},
        {"right edge kept", 272, 224, 0x30, 0x00, 0, 0, 272, 224, 0x31, 1},
        {"left edge kept", -16, -16, 0x30, 0x00, 0, 0, -16, -16, 0x31, 1},
    };
    for (const Case& c : cases) {
        rom(kDefinition, {1, c.flags, uint8_t(c.dx), uint8_t(c.dy), 0x02});
        ram(0x620) = 1;
        ram(0x626) = 5;
        ram(0x200 + 1) = 0xFF;  // entry 5's old bits are replaced
        object(0, c.x, c.y, c.attributes, 0x40, 0x01, kDefinition);
        sub_function(0x00);
        EXPECT_EQ(ram(20), uint8_t(c.entry_x)) << c.label;
        EXPECT_EQ(ram(21), uint8_t(c.entry_y)) << c.label;
        EXPECT_EQ(ram(22), 0x42) << c.label;
        EXPECT_EQ(ram(23), c.entry_attributes) << c.label;
        EXPECT_EQ(high_bits(5), c.high) << c.label;
        EXPECT_EQ(high_bits(4), 3) << c.label;  // neighbours untouched
        EXPECT_EQ(ram(25), 0xE0) << c.label;    // the next entry is off screen
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(Cx4SpritesTest, PiecesOffTheVisibleAreaAreSkipped) {
    struct Case {
        int x, y;
    } cases[] = {{273, 0}, {-17, 0}, {0, 225}, {0, -17}, {1000, 0}};
    for (const Case& c : cases) {
        rom(kDefinition, {1, 0x00, 0, 0, 0});
        ram(0x620) = 1;
        ram(0x626) = 0;
        object(0, c.x, c.y, 0x30, 0x40, 0, kDefinition);
        sub_function(0x00);
        EXPECT_EQ(ram(1), 0xE0) << c.x << "," << c.y;
    }
}

TEST_F(Cx4SpritesTest, FillsFromTheStartEntryZeroPieceObjectsAndThe128EntryLimit) {
    for (size_t i = 0; i < 0x200; i++) ram(i) = 0x11;
    rom(kDefinition, {0});                                                     // no pieces
    rom(kDefinition + 0x10, {4, 0x00, 0, 0, 0, 0x00, 8, 0, 1, 0x00, 16, 0, 2, 0x00, 24, 0, 3});  // four
    ram(0x620) = 2;
    ram(0x626) = 120;
    object(0, 260, 40, 0x22, 0x80, 0x00, kDefinition);  // no pieces: one large entry
    object(1, 10, 20, 0x30, 0x10, 0x00, kDefinition + 0x10);
    sub_function(0x00);
    EXPECT_EQ(ram(4 * 119 + 1), 0x11);  // before the start entry: untouched
    const uint8_t first[] = {uint8_t(260 & 0xFF), 40, 0x80, 0x22};
    for (size_t i = 0; i < 4; i++) EXPECT_EQ(ram(4 * 120 + i), first[i]) << i;
    EXPECT_EQ(high_bits(120), 3);  // X bit 8 and large
    for (int p = 0; p < 4; p++) {
        EXPECT_EQ(ram(4 * size_t(121 + p)), 10 + 8 * p) << p;
        EXPECT_EQ(ram(4 * size_t(121 + p) + 2), 0x10 + p) << p;
        EXPECT_EQ(high_bits(121 + p), 0) << p;
    }
    EXPECT_EQ(ram(4 * 125 + 1), 0xE0);
    EXPECT_EQ(ram(4 * 127 + 1), 0xE0);

    // From entry 126 only two of the four pieces fit.
    ram(0x620) = 1;
    ram(0x626) = 126;
    object(0, 10, 20, 0x30, 0x10, 0x00, kDefinition + 0x10);
    sub_function(0x00);
    EXPECT_EQ(ram(4 * 126), 10);
    EXPECT_EQ(ram(4 * 127), 18);
    EXPECT_EQ(ram(4 * 125), 0x11);  // left from the run before: only its Y was moved
    EXPECT_EQ(ram(4 * 125 + 1), 0xE0);
    EXPECT_EQ(ram(0x220), uint8_t(0x1000 + 10));  // the object list is not overwritten
}

}  // namespace
}  // namespace vt::test
