// The CX4's maths commands through its registers: each started by a write
// of its number to $7F4F, operands and results in the register file.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "cart/loader_support.h"
#include "coproc/cx4/cx4.h"
#include "coproc/cx4/cx4_commands.h"

namespace vt::test {
namespace {

struct Cx4CommandsTest : ::testing::Test {
    Loaded l = load_image([] {
        HeaderFields f;
        f.cart_type = 0xF3;
        auto image = pattern_image(1 * kMiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0x7FFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        return image;
    }());
    Machine& m = l.m();
    std::vector<std::string> log;

    void SetUp() override {
        m.host.log = &log;
        m.host.log_line = [](void* l, std::string_view line) {
            static_cast<std::vector<std::string>*>(l)->emplace_back(line);
        };
    }
    // Through the bus, as the main CPU does it.
    void set(int index, int32_t v) {
        for (int b = 0; b < 3; b++) bus_write(m, 0x00, uint16_t(0x7F80 + 3 * index + b), uint8_t(v >> (8 * b)));
    }
    int32_t get(int index) {
        uint32_t v = 0;
        for (int b = 2; b >= 0; b--) v = v << 8 | bus_read(m, 0x00, uint16_t(0x7F80 + 3 * index + b));
        return int32_t(v << 8) >> 8;
    }
    void command(uint8_t c) { bus_write(m, 0x00, 0x7F4F, c); }
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

TEST_F(Cx4CommandsTest, CommandsNotBuiltAreLoggedAndChangeNothing) {
    set(0, 0x123456);
    command(0x00);
    command(0x2D);
    EXPECT_EQ(get(0), 0x123456);
    EXPECT_EQ(log, (std::vector<std::string>{"CX4 UNKNOWN COMMAND #00", "CX4 UNKNOWN COMMAND #2D"}));
    EXPECT_EQ(bus_read(m, 0x00, 0x7F5E), 0x00);  // never busy
}

}  // namespace
}  // namespace vt::test
