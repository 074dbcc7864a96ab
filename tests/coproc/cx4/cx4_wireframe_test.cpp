// The CX4's wireframe commands: the line steps of $05, the 2bpp line
// drawing of $08 and $01, the one-point transform $2D.
#include "cx4_fixture.h"

namespace vt::test {
namespace {

struct Cx4WireframeTest : Cx4Fixture {
    // Colour of pixel (x, y) of the 96x96 2bpp picture at RAM $300.
    int pixel(int x, int y) {
        const size_t b = 0x300 + size_t(y / 8) * 192 + size_t(x / 8) * 16 + size_t(y % 8) * 2;
        const int bit = 7 - x % 8;
        return (ram(b) >> bit & 1) | (ram(b + 1) >> bit & 1) << 1;
    }
    void vertex(int n, int x, int y, int z) {
        ram16(16 * size_t(n) + 1, uint16_t(x));
        ram16(16 * size_t(n) + 5, uint16_t(y));
        ram16(16 * size_t(n) + 9, uint16_t(z));
    }
    void point(uint32_t address, int x, int y, int z) {
        rom(address, {uint8_t(x >> 8), uint8_t(x), uint8_t(y >> 8), uint8_t(y), uint8_t(z >> 8), uint8_t(z)});
    }
};

TEST_F(Cx4WireframeTest, TransformLinesProjectsVerticesAndWritesLineSteps) {
    vertex(0, 0, 0, 0);
    vertex(1, 30, -10, 0);
    vertex(2, 5, 40, 0);
    vertex(3, 40, 20, 149);  // twice as far from the eye: half size
    reg16(0x7F80, 4);
    reg8(0x7F83, 0);
    reg8(0x7F86, 0);
    reg8(0x7F89, 0);
    reg8(0x7F8C, 144);
    ram16(0xB00, 4);
    const uint8_t pairs[] = {0, 1, 1, 0, 0, 2, 0, 0};
    for (size_t i = 0; i < 8; i++) ram(0xB02 + i) = pairs[i];
    sub_function(0x05);

    const int screen[4][2] = {{0x80, 0x50}, {0x80 + 30, 0x50 - 10}, {0x80 + 5, 0x50 + 40}, {0x80 + 20, 0x50 + 10}};
    for (size_t v = 0; v < 4; v++) {
        EXPECT_EQ(ram16(16 * v + 1), screen[v][0]) << v;
        EXPECT_EQ(ram16(16 * v + 5), screen[v][1]) << v;
    }
    struct Steps {
        uint16_t count, x, y;
    } expected[] = {{31, 0x100, uint16_t(-10 * 256 / 30)},
                    {31, uint16_t(-0x100), 10 * 256 / 30},
                    {41, 5 * 256 / 40, 0x100},
                    {1, 0, 0}};
    for (size_t k = 0; k < 4; k++) {
        EXPECT_EQ(ram16(0x600 + 8 * k), expected[k].count) << k;
        EXPECT_EQ(ram16(0x600 + 8 * k + 2), expected[k].x) << k;
        EXPECT_EQ(ram16(0x600 + 8 * k + 5), expected[k].y) << k;
    }

    // A quarter turn about Z (byte angle 64) takes (30, -10) to (10, 30).
    vertex(1, 30, -10, 0);
    reg16(0x7F80, 2);
    reg8(0x7F89, 64);
    sub_function(0x05);
    EXPECT_EQ(ram16(16 + 1), 0x80 + 10);
    EXPECT_EQ(ram16(16 + 5), 0x50 + 30);
    EXPECT_TRUE(log.empty());
}

TEST_F(Cx4WireframeTest, DrawsLinesInTheTwoPlanesOfTheColour) {
    // Line list at $02:8000, points in bank $02 from $9000.
    point(0x029000, -10, 0, 0);
    point(0x029006, 10, 0, 0);
    point(0x02900C, 10, 20, 0);
    point(0x029012, -200, -30, 0);
    point(0x029018, 200, -30, 0);
    rom(0x028000, {0x90, 0x00, 0x90, 0x06, 0x02,    // (38,48)-(58,48) colour 2
                   0xFF, 0xFF, 0x90, 0x0C, 0x01,    // on from (58,48) to (58,68) colour 1
                   0x90, 0x12, 0x90, 0x18, 0x03});  // across the whole picture at y 18
    reg8(0x7F80, 0x00);
    reg8(0x7F81, 0x80);
    reg8(0x7F82, 0x02);
    for (uint16_t r = 0x7F86; r <= 0x7F88; r++) reg8(r, 0);
    reg8(0x7F90, 144);
    ram(0x295) = 3;
    for (size_t i = 0x300; i < 0xC00; i++) ram(i) = 0;
    ram(0x300) = 0xFF;
    command(0x01);  // clears first
    for (int y = 0; y < 96; y++)
        for (int x = 0; x < 96; x++) {
            int colour = 0;
            if (y == 48 && x >= 38 && x <= 58) colour = 2;
            if (x == 58 && y >= 48 && y <= 68) colour = 1;  // the later line wins
            if (y == 18 && x >= 1) colour = 3;
            ASSERT_EQ(pixel(x, y), colour) << x << "," << y;
        }

    // $08 draws over what is there, replacing both bits of each pixel.
    ram(0x295) = 1;
    ram(0x300) = 0x0F;
    ram(0x300 + 6 * 192 + 5 * 16) = 0xFF;  // plane 0 of row 48, pixels 40-47
    sub_function(0x08);
    EXPECT_EQ(ram(0x300), 0x0F);
    EXPECT_EQ(pixel(40, 48), 2);
    EXPECT_EQ(pixel(47, 48), 2);
    EXPECT_EQ(pixel(58, 60), 1);
}

TEST_F(Cx4WireframeTest, TransformOnePoint) {
    struct Case {
        int x, y, z;
        uint8_t ax, ay, az;
        uint16_t scale;
        int sx, sy;
    } cases[] = {{100, -50, 0, 0, 0, 0, 144, 100, -50},  {100, -50, 149, 0, 0, 0, 144, 50, -25},
                 {100, -50, 0, 0, 0, 0, 288, 200, -100}, {100, -50, 0, 0, 0, 64, 144, 50, 100},
                 {100, 0, 0, 0, 128, 0, 144, -100, 0},   {0, 100, 0, 128, 0, 0, 144, 0, -100}};
    for (const Case& c : cases) {
        reg16(0x7F81, uint16_t(c.x));
        reg16(0x7F84, uint16_t(c.y));
        reg16(0x7F87, uint16_t(c.z));
        reg8(0x7F89, c.ax);
        reg8(0x7F8A, c.ay);
        reg8(0x7F8B, c.az);
        reg16(0x7F90, c.scale);
        command(0x2D);
        EXPECT_EQ(int16_t(reg16(0x7F80)), c.sx) << c.x << "," << c.y << "," << c.z;
        EXPECT_EQ(int16_t(reg16(0x7F83)), c.sy) << c.x << "," << c.y << "," << c.z;
    }
}

}  // namespace
}  // namespace vt::test
