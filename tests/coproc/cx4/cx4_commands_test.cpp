// The CX4's maths commands through its registers: each started by a write
// of its number to $7F4F, operands and results in the register file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "coproc/cx4/cx4_commands.h"
#include "cx4_fixture.h"

namespace vt::test {
namespace {

struct Cx4CommandsTest : Cx4Fixture {
    // Through the bus, as the main CPU does it.
    void set(int index, int32_t v) {
        for (int b = 0; b < 3; b++) bus_write(m, 0x00, uint16_t(0x7F80 + 3 * index + b), uint8_t(v >> (8 * b)));
    }
    int32_t get(int index) {
        uint32_t v = 0;
        for (int b = 2; b >= 0; b--) v = v << 8 | bus_read(m, 0x00, uint16_t(0x7F80 + 3 * index + b));
        return int32_t(v << 8) >> 8;
    }
};

TEST_F(Cx4CommandsTest, MultiplyAndSquareGiveThe48BitProductInTwoWords) {
    struct Case {
        int32_t a, b;
    } cases[] = {{3, 4}, {-3, 4}, {0x7FFFFF, 0x7FFFFF}, {-0x800000, -0x800000}, {-0x800000, 0x7FFFFF}, {0, -1}};
    for (const Case& c : cases) {
        set(0, c.a);
        set(1, c.b);
        command(0x25);
        const int64_t p = int64_t(c.a) * c.b;
        EXPECT_EQ(get(0) & 0xFFFFFF, int32_t(p & 0xFFFFFF)) << c.a << " x " << c.b;
        EXPECT_EQ(get(1), int32_t(p >> 24)) << c.a << " x " << c.b;

        set(0, c.a);
        command(0x54);
        const int64_t s = int64_t(c.a) * c.a;
        EXPECT_EQ(get(1) & 0xFFFFFF, int32_t(s & 0xFFFFFF)) << c.a;
        EXPECT_EQ(get(2), int32_t(s >> 24)) << c.a;
    }
}

TEST_F(Cx4CommandsTest, DistanceAngleAndPolarToRectangular) {
    struct Case {
        int x, y, distance, angle;
    } cases[] = {{3, 4, 5, 76}, {100, 0, 100, 0}, {0, 100, 100, 0x80}, {-100, 0, 100, 0x100},
                 {0, -100, 100, 0x180}, {-300, -400, 500, 0x14C}, {1, 1, 1, 0x40}};
    for (const Case& c : cases) {
        set(0, c.x);
        set(1, c.y);
        command(0x1F);
        EXPECT_EQ(get(2), c.angle) << c.x << "," << c.y;
        command(0x15);
        EXPECT_EQ(get(0), c.distance) << c.x << "," << c.y;
    }
    for (int angle : {0, 0x40, 0x80, 0x100, 0x180, 0x1C0}) {
        set(0, angle);
        set(1, 1000);
        command(0x10);
        const double a = angle * std::acos(-1.0) / 256.0;
        EXPECT_EQ(get(2), std::lround(1000 * std::cos(a))) << angle;
        EXPECT_EQ(get(3), std::lround(1000 * std::sin(a))) << angle;
    }
}

TEST_F(Cx4CommandsTest, VectorLengthSumAndIdentify) {
    set(0, 30);
    set(1, -40);
    set(2, 100);
    command(0x0D);
    EXPECT_EQ(get(3), 60);
    EXPECT_EQ(get(4), -80);
    set(0, 0);
    set(1, 0);
    command(0x0D);
    EXPECT_EQ(get(3), 0);

    for (int i = 0; i < 0x800; i++) bus_write(m, 0x00, uint16_t(0x6000 + i), 0xFF);
    bus_write(m, 0x00, 0x6800, 0xFF);  // past the summed part
    command(0x40);
    EXPECT_EQ(get(0), (0x800 * 0xFF) & 0xFFFF);

    command(0x89);
    EXPECT_EQ(bus_read(m, 0x00, 0x7F80), 0x36);
    EXPECT_EQ(bus_read(m, 0x00, 0x7F81), 0x43);
    EXPECT_EQ(bus_read(m, 0x00, 0x7F82), 0x05);
    EXPECT_TRUE(log.empty());
}

TEST_F(Cx4CommandsTest, ConstantsFinePolarToRectangularAndPropulsion) {
    command(0x5C);
    const int32_t constants[16] = {0x000000, 0xFFFFFF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00, 0x800000, 0x7FFFFF,
                                   0x008000, 0x007FFF, 0xFF7FFF, 0xFFFF7F, 0x010000, 0xFEFFFF, 0x000100, 0x00FEFF};
    for (int i = 0; i < 16; i++) EXPECT_EQ(get(i) & 0xFFFFFF, constants[i]) << i;

    struct Polar {
        int angle, radius, x, y;
    } polar[] = {{0, 1000, 255992, 0}, {0x80, 1000, 0, 255992}, {0x100, 1000, -255993, 0}, {0x180, -1000, 0, 255992}};
    for (const Polar& p : polar) {
        set(0, p.angle);
        set(1, p.radius);
        command(0x13);
        EXPECT_EQ(get(2), p.x) << p.angle;
        EXPECT_EQ(get(3), p.y) << p.angle;
    }

    struct Propulsion {
        uint16_t divisor, value, result;
    } propulsion[] = {{0x100, 0x200, 0x200}, {3, 0x100, 0x5555}, {1, 0xFFFF, 0xFF00}, {0, 0x1234, 0}};
    for (const Propulsion& p : propulsion) {
        set(1, 0);
        bus_write(m, 0x00, 0x7F81, uint8_t(p.value));
        bus_write(m, 0x00, 0x7F82, uint8_t(p.value >> 8));
        bus_write(m, 0x00, 0x7F83, uint8_t(p.divisor));
        bus_write(m, 0x00, 0x7F84, uint8_t(p.divisor >> 8));
        command(0x05);
        EXPECT_EQ(bus_read(m, 0x00, 0x7F80) | bus_read(m, 0x00, 0x7F81) << 8, p.result) << p.divisor;
    }
    EXPECT_TRUE(log.empty());
}

TEST_F(Cx4CommandsTest, TrapezoidWindowTables) {
    auto word = [&](uint16_t addr, int v) {
        bus_write(m, 0x00, addr, uint8_t(v));
        bus_write(m, 0x00, uint16_t(addr + 1), uint8_t(v >> 8));
    };
    struct Case {
        const char* label;
        int angle1, angle2, centre, width;
        int left, right;  // at y = 0; left edges at 45 degrees grow by y
    } cases[] = {
        {"upright edges", 0, 0, 40, 100, 40, 140},
        {"right edge clamped", 0, 0, 200, 100, 200, 255},
        {"left edge clamped", 0, 0, -10, 50, 0, 40},
        {"both left of the screen", 0, 0, -50, 20, 1, 0},
        {"both right of the screen", 0, 0, 300, 10, 255, 254},
        {"left edge at 45 degrees", 0x40, 0, 40, 100, 40, 140},
    };
    for (const Case& c : cases) {
        word(0x7F80, 10);
        word(0x7F86, 10 + c.centre);
        word(0x7F93, c.width);
        word(0x7F83, 5);
        word(0x7F89, 10);  // y starts at -5
        word(0x7F8C, c.angle1);
        word(0x7F8F, c.angle2);
        command(0x22);
        for (size_t j = 0; j < 5; j++) {
            EXPECT_EQ(m.cx4.ram[0x800 + j], 1) << c.label << " " << j;
            EXPECT_EQ(m.cx4.ram[0x900 + j], 0) << c.label << " " << j;
        }
        EXPECT_EQ(m.cx4.ram[0x805], c.left) << c.label;
        EXPECT_EQ(m.cx4.ram[0x905], c.right) << c.label;
        const int slope = c.angle1 ? 1 : 0;
        EXPECT_EQ(m.cx4.ram[0x805 + 20], std::min(c.left + slope * 20, 255)) << c.label;
    }
    EXPECT_EQ(m.cx4.ram[0x800 + 224], std::min(40 + 219, 255));  // the 225th line is written
    EXPECT_EQ(m.cx4.ram[0x800 + 225], 0);
}

TEST_F(Cx4CommandsTest, CommandsNotBuiltAreLoggedAndChangeNothing) {
    set(0, 0x123456);
    command(0x02);
    bus_write(m, 0x00, 0x7F4D, 0x01);  // command $00 with a sub-function it does not know
    command(0x00);
    EXPECT_EQ(get(0), 0x123456);
    EXPECT_EQ(log, (std::vector<std::string>{"CX4 UNKNOWN COMMAND #02", "CX4 UNKNOWN COMMAND #01"}));
    EXPECT_EQ(bus_read(m, 0x00, 0x7F5E), 0x00);  // never busy
}

}  // namespace
}  // namespace vt::test
