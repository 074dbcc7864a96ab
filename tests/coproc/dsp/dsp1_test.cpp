// The DSP-1 as the main CPU sees it: the command loop, each command's
// transfer pattern and results, and a state saved in the middle of a command.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "coproc/dsp/dsp1_tables.h"
#include "coproc/dsp/dsp_ports.h"
#include "core/driver.h"

namespace vt::test {
namespace {

// Raster repeats while the main CPU only reads: a write in place of the
// next line's last word ends it.
void stop_raster(DspPorts& dsp) {
    dsp.read_words(3);
    dsp.write16(0x7F7F);  // any word but the line's last one
    EXPECT_EQ(dsp.status(), 0x84);
}

struct Dsp1Test : ::testing::Test {
    Loaded l = load_image(dsp_image("DSP ONE TEST"));
    Machine& m = l.m();
    DspPorts dsp{m};
    void SetUp() override {
        ASSERT_EQ(m.cart.coprocessor, kCoprocDsp);
        ASSERT_EQ(m.cart.dsp_variant, 1);
    }
};

TEST_F(Dsp1Test, StatusShowsEightBitWaitingThenSixteenBitWordsAndTheHalfDoneWord) {
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.read16() & 0xFF, 0x80);  // DR while waiting: $0080 (8-bit reads, ignored as a command)
    dsp.write8(0x00);                      // Multiply
    EXPECT_EQ(dsp.status(), 0x80);
    dsp.write8(0x00);
    EXPECT_EQ(dsp.status(), 0x90);  // the high byte comes next
    dsp.write8(0x40);
    EXPECT_EQ(dsp.status(), 0x80);
    dsp.write16(0x4000);
    EXPECT_EQ(dsp.read8(), 0x00);
    EXPECT_EQ(dsp.status(), 0x90);
    EXPECT_EQ(dsp.read8(), 0x20);
    EXPECT_EQ(dsp.status(), 0x84);  // back in the command loop
    // Writes to the status register change nothing.
    bus_write(m, 0x30, 0xC000, 0x00);
    EXPECT_EQ(dsp.status(), 0x84);
}

TEST_F(Dsp1Test, MultiplyAndMultiplyPlusOne) {
    EXPECT_EQ(dsp.run(0x00, {0x4000, 0x4000}, 1)[0], 0x2000);
    EXPECT_EQ(dsp.run(0x20, {0x4000, 0x4000}, 1)[0], 0x2001);
    EXPECT_EQ(dsp.run(0x00, {-0x8000, -0x8000}, 1)[0], 0x8000);  // 2ab does not fit: its high word
    EXPECT_EQ(dsp.run(0x00, {-1, 1}, 1)[0], 0xFFFF);              // truncated toward minus infinity
}

TEST_F(Dsp1Test, CommandBytesFromFortyUpAreIgnoredAndTheNextOneBelowStarts) {
    for (int c : {0x40, 0x7F, 0x80, 0xFF}) {
        dsp.write8(uint8_t(c));
        EXPECT_EQ(dsp.status(), 0x84) << c;
    }
    EXPECT_EQ(dsp.run(0x00, {0x4000, 0x2000}, 1)[0], 0x1000);
}

TEST_F(Dsp1Test, CommandsWithoutParametersGiveTheCommandWordFirst) {
    EXPECT_EQ(dsp.run(0x27, {}, 2), (std::vector<uint16_t>{0x0027, 0x0100}));
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.run(0x07, {}, 2), (std::vector<uint16_t>{0x0007, 0x0000}));
    EXPECT_EQ(dsp.status(), 0x84);
    // The data ROM dump: the command word, then the 1,024 words in order.
    const auto words = dsp.run(0x1F, {}, 1 + 1024);
    EXPECT_EQ(words[0], 0x001F);
    const auto& rom = dsp1::data_rom();
    for (int i = 0; i < 1024; i++) ASSERT_EQ(words[size_t(1 + i)], rom[size_t(i)]) << i;
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(words[1], 1);  // powers of two lead the ROM
    EXPECT_EQ(words[16], 0x8000);
}

TEST_F(Dsp1Test, InverseEdgesAndAccuracy) {
    EXPECT_EQ(dsp.run(0x10, {0, 5}, 2), (std::vector<uint16_t>{0x7FFF, 0x002F}));
    EXPECT_EQ(dsp.run(0x10, {0x4000, 0}, 2), (std::vector<uint16_t>{0x7FFF, 0x0001}));
    EXPECT_EQ(dsp.run(0x10, {-0x4000, 0}, 2), (std::vector<uint16_t>{0xC000, 0x0002}));
    // Every coefficient: C' x 2^E' times C x 2^E is 1 within a few units in
    // the last place.
    for (int c = -32768; c < 32768; c += 97) {
        if (c == 0) continue;
        for (int e : {-3, 0, 4}) {
            const auto r = dsp.run(0x30, {c, e}, 2);
            const double value = c / 32768.0 * std::ldexp(1.0, e);
            const double inverse = int16_t(r[0]) / 32768.0 * std::ldexp(1.0, int16_t(r[1]));
            ASSERT_NEAR(value * inverse, 1.0, 0.0005) << c << " " << e;
        }
    }
}

TEST_F(Dsp1Test, TriangleRotateAndPolarUseTheSineTables) {
    EXPECT_EQ(dsp.run(0x04, {0x4000, 0x7FFF}, 2), (std::vector<uint16_t>{0x7FFE, 0x0000}));
    EXPECT_EQ(dsp.run(0x24, {0x0000, 0x7FFF}, 2), (std::vector<uint16_t>{0x0000, 0x7FFE}));
    EXPECT_EQ(dsp.run(0x04, {-0x8000, 0x7FFF}, 2), (std::vector<uint16_t>{0x0000, 0x8001}));
    // Rotate (100, 0) by 90 degrees: X2 = 0 sin + 100 cos = 0, Y2 = 0 cos - 100 sin.
    EXPECT_EQ(dsp.run(0x0C, {0x4000, 100, 0}, 2), (std::vector<uint16_t>{0, uint16_t(-99)}));
    // Polar with only Az is the same rotation, Z untouched.
    EXPECT_EQ(dsp.run(0x1C, {0x4000, 0, 0, 100, 0, 1000}, 3),
              (std::vector<uint16_t>{0, uint16_t(-99), 998}));
    // The table is close to the sine everywhere.
    for (int a = -32768; a < 32768; a += 61) {
        const auto r = dsp.run(0x04, {a, 0x7FFF}, 2);
        const double angle = a * std::numbers::pi / 32768.0;
        ASSERT_NEAR(int16_t(r[0]), 32767 * std::sin(angle), 40) << a;
        ASSERT_NEAR(int16_t(r[1]), 32767 * std::cos(angle), 40) << a;
    }
}

TEST_F(Dsp1Test, RadiusRangeAndDistance) {
    EXPECT_EQ(dsp.run(0x08, {1, 2, 3}, 2), (std::vector<uint16_t>{28, 0}));
    EXPECT_EQ(dsp.run(0x08, {0x7FFF, 0x7FFF, 0}, 2), (std::vector<uint16_t>{0x0004, 0xFFFC}));
    // 2(X^2+Y^2+Z^2) - 2R^2, high word.
    EXPECT_EQ(dsp.run(0x18, {0x4000, 0, 0, 0}, 1)[0], 0x2000);
    EXPECT_EQ(dsp.run(0x38, {0x4000, 0, 0, 0}, 1)[0], 0x2001);
    EXPECT_EQ(dsp.run(0x18, {0x4000, 0, 0, 0x4000}, 1)[0], 0);
    EXPECT_EQ(dsp.run(0x28, {0, 0, 0}, 1)[0], 0);
    EXPECT_EQ(dsp.run(0x28, {3, 4, 0}, 1)[0], 5);
    EXPECT_EQ(dsp.run(0x28, {1, 0, 0}, 1)[0], 1);
    EXPECT_EQ(dsp.run(0x28, {-0x8000, 0, 0}, 1)[0], 0x8000);
    for (int x = 1; x < 32768; x += 331) {
        const int y = x / 3, z = -x / 2;
        const double root = std::sqrt(double(x) * x + double(y) * y + double(z) * z);
        ASSERT_NEAR(dsp.run(0x28, {x, y, z}, 1)[0], root, 1.0 + root / 4000) << x;
    }
}

TEST_F(Dsp1Test, AttitudeObjectiveSubjectiveAndScalar) {
    // Attitude A with M = $7FFF and all angles 0: about half the identity.
    dsp.write8(0x01);
    dsp.write_words({0x7FFF, 0, 0, 0});
    EXPECT_EQ(dsp.status(), 0x84);  // no results
    const auto o = dsp.run(0x09, {1000, 2000, -3000}, 3);
    EXPECT_NEAR(int16_t(o[0]), 500, 2);
    EXPECT_NEAR(int16_t(o[1]), 1000, 2);
    EXPECT_NEAR(int16_t(o[2]), -1500, 2);
    EXPECT_NEAR(int16_t(dsp.run(0x0B, {1000, 2000, -3000}, 1)[0]), 500, 2);

    // Attitude B turned 90 degrees about Z: row 0 is (0, -m, 0), row 1 (m, 0, 0).
    dsp.write8(0x11);
    dsp.write_words({0x7FFF, 0x4000, 0, 0});
    const auto ob = dsp.run(0x19, {1000, 2000, 3000}, 3);
    EXPECT_NEAR(int16_t(ob[0]), -1000, 2);
    EXPECT_NEAR(int16_t(ob[1]), 500, 2);
    EXPECT_NEAR(int16_t(ob[2]), 1500, 2);
    // Subjective uses the transposed matrix: the opposite turn.
    const auto sb = dsp.run(0x13, {1000, 2000, 3000}, 3);
    EXPECT_NEAR(int16_t(sb[0]), 1000, 2);
    EXPECT_NEAR(int16_t(sb[1]), -500, 2);
    EXPECT_NEAR(int16_t(sb[2]), 1500, 2);
    // Matrix A is untouched by Attitude B; C is still zero.
    EXPECT_NEAR(int16_t(dsp.run(0x0D, {1000, 0, 0}, 3)[0]), 500, 2);
    EXPECT_EQ(dsp.run(0x29, {1000, 2000, 3000}, 3), (std::vector<uint16_t>{0, 0, 0}));
}

TEST_F(Dsp1Test, GyrateAddsTheBodyRatesWhenLevel) {
    // (x cos 0 loses the last unit: cosine 0 is 32767 / 32768.)
    EXPECT_EQ(dsp.run(0x14, {0x1000, 0, 0, 0x10, 0x20, 0x30}, 3), (std::vector<uint16_t>{0x100F, 0x002F, 0x0020}));
    // Rolled 90 degrees: a turn about the craft's up axis pitches it.
    const auto r = dsp.run(0x14, {0, 0, 0x4000, 0x100, 0, 0}, 3);
    EXPECT_NEAR(int16_t(r[0]), 0, 1);
    EXPECT_NEAR(int16_t(r[1]), 0x100, 1);
}

struct Dsp1ProjectionTest : Dsp1Test {
    // Eye above the ground looking forward and down at 60 degrees from
    // vertical, the focus point on the ground.
    std::vector<uint16_t> set_view() {
        return dsp.run(0x02, {100, 200, 0, 300, 256, 0x0000, 0x2AAA}, 4);
    }
};

TEST_F(Dsp1ProjectionTest, ParameterGivesTheHorizonAndTheFocusOnTheCentreLine) {
    const auto p = set_view();
    EXPECT_EQ(p[0], 0);                             // Vof
    EXPECT_NEAR(int16_t(p[1]), -256 / std::sqrt(3.0), 2);  // Vva = -Les cot(zenith)
    EXPECT_NEAR(int16_t(p[2]), 100, 1);             // Cx, Cy: the focus point
    EXPECT_NEAR(int16_t(p[3]), 200, 1);
    const auto f = dsp.run(0x06, {100, 200, 0}, 3);
    EXPECT_NEAR(int16_t(f[0]), 0, 1);
    EXPECT_NEAR(int16_t(f[1]), 0, 1);
    EXPECT_NEAR(int16_t(f[2]), 256 * 256 / 556, 2);  // M = Les / depth
}

TEST_F(Dsp1ProjectionTest, ProjectAndTargetInvertEachOther) {
    set_view();
    for (int h : {-100, -20, 0, 50, 127}) {
        for (int v : {-100, -40, 0, 60, 111}) {
            const auto g = dsp.run(0x0E, {h, v}, 2);
            const auto s = dsp.run(0x06, {int16_t(g[0]), int16_t(g[1]), 0}, 3);
            EXPECT_NEAR(int16_t(s[0]), h, 2 + std::abs(v + 150) / 40) << h << "," << v;
            EXPECT_NEAR(int16_t(s[1]), v, 2 + std::abs(v + 150) / 40) << h << "," << v;
        }
    }
}

TEST_F(Dsp1ProjectionTest, RasterRepeatsForTheNextLineWhileOnlyRead) {
    set_view();
    dsp.write8(0x0A);
    dsp.write16(10);
    const auto line10 = dsp.read_words(4);
    const auto line11 = dsp.read_words(4);
    const auto line12 = dsp.read_words(4);
    dsp.read_words(3);
    EXPECT_EQ(dsp.status(), 0x80);  // still delivering
    // A write in place of a line's last word ends the repetition: the loop
    // waits for a command again.
    dsp.write16(0x1234);
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.run(0x1A, {11}, 4), line11);
    stop_raster(dsp);
    EXPECT_EQ(dsp.run(0x2A, {12}, 4), line12);
    stop_raster(dsp);
    EXPECT_NE(line10, line11);
    // Along the line the matrix steps like Target from pixel to pixel.
    const auto left = dsp.run(0x0E, {0, 10}, 2);
    const auto right = dsp.run(0x0E, {64, 10}, 2);
    EXPECT_NEAR((int16_t(right[0]) - int16_t(left[0])) * 256 / 64.0, int16_t(line10[0]), 8);
    EXPECT_NEAR((int16_t(right[1]) - int16_t(left[1])) * 256 / 64.0, int16_t(line10[2]), 8);
    // Above the horizon there is no ground.
    EXPECT_EQ(dsp.run(0x0A, {-200}, 4), (std::vector<uint16_t>{0, 0, 0, 0}));
    stop_raster(dsp);
}

TEST_F(Dsp1Test, AStateSavedWithParametersHalfSentResumesTheCommand) {
    dsp.write8(0x02);
    dsp.write_words({100, 200, 0});
    dsp.write8(0x2C);  // half of the fourth word
    Loaded other = load_image(dsp_image("DSP ONE TEST"));
    carry_state(m, other.m());
    DspPorts again{other.m()};
    EXPECT_EQ(again.status(), 0x90);
    again.write8(0x01);  // 300
    again.write_words({256, 0, 0x2AAA});
    const auto p = again.read_words(4);
    EXPECT_NEAR(int16_t(p[2]), 100, 1);
    EXPECT_NEAR(int16_t(p[3]), 200, 1);
    // Matrices and the projection came along too: Raster in the new machine
    // equals Raster in the old one.
    dsp.write8(0x01);
    dsp.write_words({256, 0, 0x2AAA});
    dsp.read_words(4);
    EXPECT_EQ(again.run(0x0A, {20}, 4), dsp.run(0x0A, {20}, 4));
    stop_raster(dsp);
    // In the middle of the ROM dump.
    dsp.write8(0x1F);
    dsp.read_words(100);
    carry_state(m, other.m());
    EXPECT_EQ(again.read_words(925), dsp.read_words(925));
    EXPECT_EQ(again.status(), 0x84);
}

TEST(Dsp1Board, HiRomBoardsSelectTheStatusRegisterWithAddressBitTwelve) {
    Loaded l = load_image(dsp_image("DSP ONE HIROM", true));
    Machine& m = l.m();
    ASSERT_TRUE(m.cart.hirom);
    DspPorts dsp{m, 0x00, 0x6000, 0x7000};
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_EQ(dsp.run(0x00, {0x4000, 0x4000}, 1)[0], 0x2000);
    // Every mirror reaches the same chip.
    bus_write(m, 0x9F, 0x6FFF, 0x20);
    DspPorts mirror{m, 0x80, 0x6123, 0x7FFF};
    EXPECT_EQ(mirror.status(), 0x80);
    mirror.write_words({0x4000, 0x4000});
    EXPECT_EQ(dsp.read16(), 0x2001);
}

TEST(Dsp1Board, ResetReturnsToTheCommandLoop) {
    Loaded l = load_image(dsp_image("DSP ONE TEST"));
    Machine& m = l.m();
    DspPorts dsp{m, 0xB5, 0xBFFF, 0xFFFF};
    dsp.write8(0x00);
    dsp.write8(0x12);
    EXPECT_EQ(dsp.status(), 0x90);
    machine_reset(m);
    EXPECT_EQ(dsp.status(), 0x84);
}

}  // namespace
}  // namespace vt::test
