// The DSP-2 through its ports: byte transfers, the status staying $84, and
// each command's parameters and results.
#include <gtest/gtest.h>

#include "coproc/dsp/dsp_ports.h"

namespace vt::test {
namespace {

struct Dsp2Test : ::testing::Test {
    Loaded l = load_image(dsp_image("DUNGEON MASTER"));
    Machine& m = l.m();
    DspPorts dsp{m};
    void SetUp() override { ASSERT_EQ(m.cart.dsp_variant, 2); }

    std::vector<uint8_t> run(uint8_t command, std::vector<uint8_t> params, int results) {
        dsp.write8(command);
        for (uint8_t b : params) {
            dsp.write8(b);
            EXPECT_EQ(dsp.status(), 0x84);
        }
        std::vector<uint8_t> out;
        for (int i = 0; i < results; i++) out.push_back(dsp.read8());
        return out;
    }
};

TEST_F(Dsp2Test, StatedExamples) {
    EXPECT_EQ(run(0x06, {2, 0x12, 0x34}, 2), (std::vector<uint8_t>{0x43, 0x21}));
    run(0x03, {0x00}, 0);
    EXPECT_EQ(run(0x05, {1, 0xAB, 0x0C}, 1), (std::vector<uint8_t>{0xAC}));
    EXPECT_EQ(run(0x09, {0xFE, 0xFF, 0x03, 0x00}, 4), (std::vector<uint8_t>{0xFA, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(run(0x0D, {4, 2, 0x12, 0x34}, 1), (std::vector<uint8_t>{0x13}));
    EXPECT_EQ(dsp.status(), 0x84);
}

TEST_F(Dsp2Test, OverlayKeepsTheTransparentColourBetweenCommands) {
    run(0x03, {0x37}, 0);  // colour 7
    EXPECT_EQ(run(0x05, {2, 0x11, 0x22, 0x77, 0x7A}, 2), (std::vector<uint8_t>{0x11, 0x2A}));
    run(0x00, {}, 0);  // does nothing
    EXPECT_EQ(run(0x05, {1, 0x11, 0x07}, 1), (std::vector<uint8_t>{0x01}));
}

TEST_F(Dsp2Test, TileConversionToBitPlanes) {
    std::vector<uint8_t> tile(32, 0);
    tile[0] = 0xF0;   // row 0, pixel 0 colour 15
    tile[7] = 0x05;   // row 1, pixel 7 colour 5 (planes 0 and 2)
    const auto out = run(0x01, tile, 32);
    std::vector<uint8_t> expected(32, 0);
    expected[0] = expected[1] = expected[16] = expected[17] = 0x80;
    expected[2] |= 0x01;   // row 1 plane 0
    expected[18] |= 0x01;  // row 1 plane 2
    EXPECT_EQ(out, expected);
}

TEST_F(Dsp2Test, ScaleAndEmptyCountsAndIgnoredCommands) {
    // Doubling: every input pixel twice.
    EXPECT_EQ(run(0x0D, {2, 4, 0x9A}, 2), (std::vector<uint8_t>{0x99, 0xAA}));
    // An odd output width: the last pixel lies past the input and reads 0.
    EXPECT_EQ(run(0x0D, {2, 1, 0x9A}, 1), (std::vector<uint8_t>{0x90}));
    // Widths of 0: no input bytes, no result; the loop waits again.
    run(0x0D, {0, 0}, 0);
    run(0x06, {0}, 0);
    for (int c : {0x0F, 0x10, 0x80, 0xFF}) run(uint8_t(c), {}, 0);
    EXPECT_EQ(run(0x06, {1, 0x5A}, 1), (std::vector<uint8_t>{0xA5}));
}

TEST_F(Dsp2Test, AStateSavedInTheMiddleOfOverlayResumesIt) {
    run(0x03, {0x00}, 0);
    dsp.write8(0x05);
    dsp.write8(2);
    dsp.write8(0xAB);
    Loaded other = load_image(dsp_image("DUNGEON MASTER"));
    carry_state(m, other.m());
    DspPorts again{other.m()};
    for (uint8_t b : {0xCD, 0x0C, 0x10}) again.write8(b);
    EXPECT_EQ(again.read8(), 0xAC);
    EXPECT_EQ(again.read8(), 0x1D);
    EXPECT_EQ(again.status(), 0x84);
}

}  // namespace
}  // namespace vt::test
