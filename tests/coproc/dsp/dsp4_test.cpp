// The DSP-4 through its ports: the multiply commands, the parameterless
// sprite-list commands, the log line for the commands not built, and a
// state saved in the middle of a multiply.
#include <gtest/gtest.h>

#include <string>

#include "coproc/dsp/dsp4.h"
#include "coproc/dsp/dsp_ports.h"

namespace vt::test {
namespace {

struct Dsp4Test : ::testing::Test {
    Loaded l = load_image(dsp_image("TOP GEAR 3000"));
    Machine& m = l.m();
    DspPorts dsp{m};
    std::vector<std::string> log;
    void SetUp() override {
        ASSERT_EQ(m.cart.dsp_variant, 4);
        m.host.log = &log;
        m.host.log_line = [](void* l, std::string_view line) {
            static_cast<std::vector<std::string>*>(l)->emplace_back(line);
        };
    }
};

TEST_F(Dsp4Test, MultiplyGivesTheSigned32BitProductLowWordFirst) {
    struct Case {
        int a, b;
        int32_t product;
    } cases[] = {{3, 4, 12}, {-3, 4, -12}, {0x7FFF, 0x7FFF, 0x3FFF0001}, {-32768, -32768, 0x40000000},
                 {-32768, 32767, -1073709056}, {0, -1, 0}};
    for (uint8_t command : {0x00, 0x11}) {
        for (const Case& c : cases) {
            EXPECT_EQ(dsp.status(), 0x84);
            const auto r = dsp.run(command, {c.a & 0xFFFF, c.b & 0xFFFF}, 2);
            EXPECT_EQ(int32_t(uint32_t(r[0] | (r[1] << 16))), c.product) << c.a << " x " << c.b;
        }
    }
    EXPECT_EQ(dsp.status(), 0x84);
    EXPECT_TRUE(log.empty());
}

TEST_F(Dsp4Test, SpriteListCommandsEndAtOnceAndUnbuiltOnesAreLogged) {
    dsp.write8(0x03);
    EXPECT_EQ(dsp.status(), 0x84);
    dsp.write8(0x0E);
    EXPECT_EQ(dsp.status(), 0x84);
    dsp.write8(0x01);
    EXPECT_EQ(dsp.status(), 0x84);
    dsp.write8(0x3A);
    EXPECT_EQ(log, (std::vector<std::string>{"DSP4 UNKNOWN COMMAND #01", "DSP4 UNKNOWN COMMAND #3A"}));
    // The chip still multiplies afterwards.
    EXPECT_EQ(dsp.run(0x00, {7, 6}, 2)[0], 42);
}

TEST_F(Dsp4Test, AStateSavedInTheMiddleOfAMultiplyResumesIt) {
    dsp.write8(0x00);
    dsp.write16(1000);
    Loaded other = load_image(dsp_image("TOP GEAR 3000"));
    carry_state(m, other.m());
    DspPorts resumed{other.m()};
    resumed.write16(1000);
    const auto r = resumed.read_words(2);
    EXPECT_EQ(uint32_t(r[0] | (r[1] << 16)), 1000000u);
    EXPECT_EQ(resumed.status(), 0x84);
}

}  // namespace
}  // namespace vt::test
