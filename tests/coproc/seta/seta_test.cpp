// The SETA maths chip through its shared RAM: commands start inside the
// write that sets the start bit and leave their results in the RAM.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "cart/loader_support.h"
#include "coproc/seta/seta.h"

namespace vt::test {
namespace {

std::vector<uint8_t> seta_image() {
    HeaderFields f;
    f.title = "F1 ROC II";
    auto image = pattern_image(512 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

struct SetaTest : ::testing::Test {
    Loaded l = load_image(seta_image());
    Machine& m = l.m();
    void SetUp() override { ASSERT_EQ(m.cart.coprocessor, kCoprocSt010); }

    void poke(uint16_t offset, uint16_t v, uint8_t bank = 0x68) {
        bus_write(m, bank, offset, uint8_t(v));
        bus_write(m, bank, uint16_t(offset + 1), uint8_t(v >> 8));
    }
    uint16_t word(uint16_t offset, uint8_t bank = 0x68) {
        return uint16_t(bus_read(m, bank, offset) | bus_read(m, bank, uint16_t(offset + 1)) << 8);
    }
    uint32_t long_word(uint16_t offset) { return word(offset) | uint32_t(word(offset + 2)) << 16; }
    void start(uint8_t command) {
        bus_write(m, 0x68, 0x20, command);
        bus_write(m, 0x68, 0x21, 0x80);
    }
    uint16_t angle(int x, int y) {
        poke(0x00, uint16_t(x));
        poke(0x02, uint16_t(y));
        start(1);
        return word(0x10);
    }
};

TEST_F(SetaTest, TheRamIsSharedThroughEveryBankAndMirroredEvery4K) {
    bus_write(m, 0xEF, 0x1234, 0x5A);
    EXPECT_EQ(bus_read(m, 0x68, 0x0234), 0x5A);
    EXPECT_EQ(bus_read(m, 0x6B, 0x7234), 0x5A);
}

TEST_F(SetaTest, AngleAxesAndQuadrants) {
    EXPECT_EQ(angle(0, 5), 0x8000);
    EXPECT_EQ(angle(3, 0), 0xC000);
    EXPECT_EQ(angle(0, -5), 0x0000);
    EXPECT_EQ(angle(-3, 0), 0x4000);
    EXPECT_EQ(word(0x20), 0);  // the command word reads 0 afterwards
    // Every direction: the angle turns from (0, -1) through (-1, 0).
    for (int a = 0; a < 360; a += 7) {
        const double r = a * std::numbers::pi / 180;
        const int x = int(std::lround(-1000 * std::sin(r))), y = int(std::lround(-1000 * std::cos(r)));
        const double expected = a / 360.0 * 65536;
        double diff = std::abs(double(angle(x, y)) - expected);
        diff = std::min(diff, 65536 - diff);
        EXPECT_LT(diff, 600) << a;
    }
    // The most negative values are folded without overflow.
    EXPECT_NEAR(angle(-32768, -32768), 0x2000, 0x200);
}

TEST_F(SetaTest, SortByKeyDescending) {
    const int keys[3] = {1, 3, 2}, values[3] = {10, 30, 20};
    const int sorted_keys[3] = {3, 2, 1}, sorted_values[3] = {30, 20, 10};
    poke(0x24, 3);
    for (int i = 0; i < 3; i++) {
        poke(uint16_t(0x40 + 2 * i), uint16_t(keys[i]));
        poke(uint16_t(0x80 + 2 * i), uint16_t(values[i]));
    }
    start(2);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(word(uint16_t(0x40 + 2 * i)), sorted_keys[i]);
        EXPECT_EQ(word(uint16_t(0x80 + 2 * i)), sorted_values[i]);
    }
    // Signed keys; a huge count sorts only the 32 keys there is room for.
    poke(0x24, 0xFFFF);
    poke(0x40, uint16_t(-5));
    poke(0x42, 7);
    start(2);
    EXPECT_EQ(word(0x40), 7);
    EXPECT_EQ(word(0x20), 0);
}

TEST_F(SetaTest, ProductsAndScaling) {
    poke(0x00, 0x4000);
    poke(0x02, uint16_t(-3));
    start(6);
    EXPECT_EQ(long_word(0x10), uint32_t(2 * 0x4000 * -3));
    poke(0x04, 100);
    start(3);
    EXPECT_EQ(long_word(0x10), uint32_t(2 * 0x4000 * 100));
    EXPECT_EQ(long_word(0x14), uint32_t(2 * -3 * 100));
    poke(0x02, 1000);
    start(4);
    EXPECT_EQ(word(0x10), uint16_t((2 * (1000 * 31472 + 16384)) >> 16));
    // Rotation by a quarter turn: (x, y) = (100, 0) gives (0, -99).
    poke(0x00, 100);
    poke(0x02, 0);
    bus_write(m, 0x68, 0x05, 64);
    start(8);
    EXPECT_EQ(word(0x10), 0);
    EXPECT_EQ(word(0x12), uint16_t(-99));
}

TEST_F(SetaTest, TableBuildingAndItsZeroSine) {
    bus_write(m, 0x68, 0x01, 0);  // angle 0: sine 0
    start(7);
    for (uint16_t i = 0; i < 176; i++) {
        ASSERT_EQ(word(uint16_t(0x250 + 2 * i)), 0);
        ASSERT_EQ(word(uint16_t(0x3B0 + 2 * i)), 0);  // not $FFFF
        ASSERT_EQ(word(uint16_t(0xF0 + 2 * i)), word(uint16_t(0x510 + 2 * i)));
    }
    EXPECT_NEAR(int16_t(word(0xF0)), 896, 1);  // the nearest scale at cosine 1
    bus_write(m, 0x68, 0x01, 64);
    start(7);
    EXPECT_EQ(word(0x3B0), uint16_t(~word(0x250)));
    EXPECT_GT(int16_t(word(0x250)), int16_t(word(0x250 + 2 * 175)));
}

TEST_F(SetaTest, TablesHaveTheirStatedShape) {
    EXPECT_EQ(seta_sine(0), 0);
    EXPECT_EQ(seta_sine(64), 32767);
    EXPECT_EQ(seta_scale(0), 896);
    EXPECT_EQ(seta_scale(175), 43);
    for (int i = 1; i < 176; i++) EXPECT_LE(seta_scale(i), seta_scale(i - 1));
}

TEST_F(SetaTest, SteeringTurnsTowardsTheTargetWithinItsLimit) {
    poke(0xC0, 0), poke(0xC2, 0), poke(0xC4, 0), poke(0xC6, 100);  // target along +y: $8000
    poke(0xC8, 0x7000), poke(0xCA, 0x0400);
    start(5);
    EXPECT_EQ(word(0xCE), 0x8000);
    EXPECT_EQ(word(0xCC), 0x0400);
    EXPECT_EQ(word(0xC8), 0x7400);
    poke(0xCA, 0);  // no limit
    start(5);
    EXPECT_EQ(word(0xC8), 0x8000);
}

TEST_F(SetaTest, CommandsPastTheNineRunNothing) {
    poke(0x00, 0x1234);
    start(0x7F);
    EXPECT_EQ(word(0x00), 0x1234);
    EXPECT_EQ(word(0x20), 0);
}

}  // namespace
}  // namespace vt::test
