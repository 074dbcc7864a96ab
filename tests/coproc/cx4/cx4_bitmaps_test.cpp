// The CX4's bitmap commands: scale and rotate ($03, $07), disintegrate
// ($0B) and the bit-plane wave ($0C), each checked pixel by pixel.
#include "cx4_fixture.h"

#include <functional>

namespace vt::test {
namespace {

constexpr int kSize = 16;  // a 16x16 source picture

struct Cx4BitmapsTest : Cx4Fixture {
    void SetUp() override {
        Cx4Fixture::SetUp();
        reg8(0x7F89, kSize);
        reg8(0x7F8C, kSize);
    }
    void source(const std::function<int(int, int)>& colour) {
        for (int y = 0; y < kSize; y++)
            for (int x = 0; x < kSize; x += 2)
                ram(0x600 + size_t((y * kSize + x) / 2)) = uint8_t(colour(x, y) | colour(x + 1, y) << 4);
    }
    // The colour of pixel (x, y) in the 4bpp tiles at RAM $000.
    int output(int tiles_per_row, int x, int y) {
        const size_t row = 32 * size_t((y / 8) * tiles_per_row + x / 8) + 2 * size_t(y % 8);
        const int bit = 7 - x % 8;
        return (ram(row) >> bit & 1) | (ram(row + 1) >> bit & 1) << 1 | (ram(row + 16) >> bit & 1) << 2 |
               (ram(row + 17) >> bit & 1) << 3;
    }
    static int pattern(int x, int y) {
        if (x < 0 || y < 0 || x >= kSize || y >= kSize) return 0;
        return (x + 3 * y) % 15 + 1;
    }
    void scale_rotate(uint8_t sub, int angle, int cx, int cy, uint16_t sx, uint16_t sy) {
        reg16(0x7F80, uint16_t(angle));
        reg16(0x7F83, uint16_t(cx));
        reg16(0x7F86, uint16_t(cy));
        reg16(0x7F8F, sx);
        reg16(0x7F92, sy);
        sub_function(sub);
    }
};

TEST_F(Cx4BitmapsTest, ScaleAndRotateMapsEachOutputPixelBackIntoTheSource) {
    struct Case {
        const char* label;
        int angle;
        uint16_t scale;
        std::function<int(int, int)> expected;
    } cases[] = {
        {"identity", 0, 0x1000, [](int x, int y) { return pattern(x, y); }},
        {"half turn about (8, 8)", 256, 0x1000, [](int x, int y) { return pattern(16 - x, 16 - y); }},
        {"quarter turn", 128, 0x1000, [](int x, int y) { return pattern(8 - (y - 8), 8 + (x - 8)); }},
        {"three quarters", 384, 0x1000, [](int x, int y) { return pattern(8 + (y - 8), 8 - (x - 8)); }},
        {"step 0.5 magnifies", 0, 0x0800, [](int x, int y) { return pattern((x + 8) >> 1, (y + 8) >> 1); }},
        {"step 2 shrinks", 0, 0x2000, [](int x, int y) { return pattern(2 * x - 8, 2 * y - 8); }},
    };
    for (const Case& c : cases) {
        source(pattern);
        for (size_t i = 0; i < 0x100; i++) ram(i) = 0xFF;  // cleared first
        scale_rotate(0x03, c.angle, 8, 8, c.scale, c.scale);
        for (int y = 0; y < kSize; y++)
            for (int x = 0; x < kSize; x++) ASSERT_EQ(output(2, x, y), c.expected(x, y)) << c.label << " " << x << "," << y;
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(Cx4BitmapsTest, GappedScaleRotateLeavesTwoTilesAfterEachRowOfTiles) {
    source(pattern);
    for (size_t i = 0; i < 0x600; i++) ram(i) = 0xFF;
    scale_rotate(0x07, 0, 8, 8, 0x1000, 0x1000);
    for (int y = 0; y < kSize; y++)
        for (int x = 0; x < kSize; x++) ASSERT_EQ(output(4, x, y), pattern(x, y)) << x << "," << y;
    for (size_t i = 64; i < 128; i++) EXPECT_EQ(ram(i), 0) << i;         // the gap after tile row 0
    for (size_t i = 192; i < 256; i++) EXPECT_EQ(ram(i), 0) << i;        // and after tile row 1
    EXPECT_EQ(ram(256), 0xFF);                                           // past the output
    // A scale with bit 15 set steps by $7FFF (just under 8 pixels), not by 9.
    scale_rotate(0x03, 0, 0, 0, 0x9000, 0x9000);
    EXPECT_EQ(output(2, 0, 0), pattern(0, 0));
    EXPECT_EQ(output(2, 1, 0), pattern(7, 0));
    EXPECT_EQ(output(2, 2, 1), pattern(15, 7));
    EXPECT_EQ(output(2, 3, 0), 0);
}

TEST_F(Cx4BitmapsTest, DisintegrateSpreadsPixelsFromTheCentre) {
    source(pattern);
    reg16(0x7F80, 8);
    reg16(0x7F83, 8);
    reg16(0x7F86, 0x100);
    reg16(0x7F8F, 0x100);
    sub_function(0x0B);
    for (int y = 0; y < kSize; y++)
        for (int x = 0; x < kSize; x++) ASSERT_EQ(output(2, x, y), pattern(x, y)) << x << "," << y;

    struct Case {
        int x, y;
        uint16_t sx, sy;
        int to_x, to_y;  // -1: dropped
    } cases[] = {{10, 8, 0x200, 0x100, 12, 8}, {3, 4, 0x100, 0x200, 3, 0}, {3, 4, 0x200, 0x200, -1, -1},
                 {8, 8, 0x300, 0x300, 8, 8},   {6, 9, 0x180, 0x100, 5, 9}};
    for (const Case& c : cases) {
        source([&](int x, int y) { return x == c.x && y == c.y ? 9 : 0; });
        reg16(0x7F86, c.sx);
        reg16(0x7F8F, c.sy);
        sub_function(0x0B);
        int found = 0;
        for (int y = 0; y < kSize; y++)
            for (int x = 0; x < kSize; x++)
                if (output(2, x, y)) {
                    found++;
                    EXPECT_EQ(output(2, x, y), 9);
                    EXPECT_EQ(x, c.to_x) << c.x << "," << c.y;
                    EXPECT_EQ(y, c.to_y) << c.x << "," << c.y;
                }
        EXPECT_EQ(found, c.to_x < 0 ? 0 : 1) << c.x << "," << c.y;
    }
}

TEST_F(Cx4BitmapsTest, WaveShiftsEachColumnOfThePattern) {
    for (size_t i = 0; i < 0xA00; i++) ram(i) = 0xFF;
    for (int h = 0; h < 8; h++) ram16(0xA00 + 2 * size_t(h), uint16_t((0x3C + h) << 8 | (0xA5 ^ h)));
    for (size_t i = 0; i < 128; i++) ram(0xB00 + i) = 0;
    reg8(0x7F83, 10);
    ram(0xB00 + 15) = 3;           // column 5 moves up by 3
    ram(0xB00 + (10 + 70) % 128) = uint8_t(-2);  // column 70 down by 2
    sub_function(0x0C);

    auto planes = [&](int column, int row) {
        const size_t b = 512 * size_t(row / 8) + 32 * size_t(column / 8) + 2 * size_t(row % 8);
        const int bit = 7 - column % 8;
        return (ram(b) >> bit & 1) | (ram(b + 1) >> bit & 1) << 1;
    };
    auto expected = [](int column, int h) {
        if (h < 0) return 0;
        if (h >= 8) return 2;
        const int bit = 7 - column % 8;
        return ((0xA5 ^ h) >> bit & 1) | ((0x3C + h) >> bit & 1) << 1;
    };
    for (int column : {0, 5, 70, 127})
        for (int row = 0; row < 40; row++) {
            const int wave = column == 5 ? 3 : column == 70 ? -2 : 0;
            ASSERT_EQ(planes(column, row), expected(column, row - 16 + wave)) << column << "," << row;
        }
    EXPECT_EQ(ram(16), 0xFF);         // plane 2 untouched
    EXPECT_EQ(ram(5 * 512 - 1), 0xFF);  // plane 3 of the last tile: untouched
    EXPECT_EQ(ram(0xA00), 0xA5);        // the pattern after the picture too
}

}  // namespace
}  // namespace vt::test
