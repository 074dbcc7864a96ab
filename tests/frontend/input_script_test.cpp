// Joypad scripts: parsing, errors, and the records they put on the ports.
#include <gtest/gtest.h>

#include "core/input_ports.h"
#include "core/machine.h"
#include "frontend/input_script.h"
#include "support/test_rom.h"

namespace vt {
namespace {

TEST(InputScript, ParsesButtonsPortsAndComments) {
    InputScript s;
    std::string error;
    ASSERT_TRUE(parse_input_script("# demo\n\n10 2 up A start\n  3 1 B Y Select Start Up Down Left Right A X L R\n"
                                   "5 1   # nothing held\n",
                                   s, error))
        << error;
    ASSERT_EQ(s.events.size(), 3u);
    // Sorted by frame.
    EXPECT_EQ(s.events[0].frame, 3u);
    EXPECT_EQ(s.events[0].port, 0);
    EXPECT_EQ(s.events[0].buttons, 0xFFF00000u);
    EXPECT_EQ(s.events[1].frame, 5u);
    EXPECT_EQ(s.events[1].buttons, 0u);
    EXPECT_EQ(s.events[2].port, 1);
    EXPECT_EQ(s.events[2].buttons, (1u << 27) | (1u << 23) | (1u << 28));
    EXPECT_TRUE(input_script_uses_port(s, 1));
    EXPECT_FALSE(input_script_uses_port(InputScript{}, 1));
}

TEST(InputScript, BadLinesNameTheirLineNumber) {
    InputScript s;
    std::string error;
    const char* bad[] = {"1\n", "x 1 A\n", "1 3 A\n", "1 0 A\n", "1 1 Turbo\n", "-1 1 A\n", "99999999999 1 A\n"};
    for (const char* text : bad) {
        EXPECT_FALSE(parse_input_script(text, s, error)) << text;
        EXPECT_EQ(error.rfind("line 1: ", 0), 0u) << error;
    }
    EXPECT_FALSE(parse_input_script("0 1 A\n\n2 1 Q\n", s, error));
    EXPECT_EQ(error.rfind("line 3: ", 0), 0u);
    EXPECT_FALSE(load_input_script("/no/such/script.txt", s, error));
}

TEST(InputScript, ButtonsHoldUntilThePortsNextLine) {
    InputScript s;
    std::string error;
    ASSERT_TRUE(parse_input_script("2 1 A\n2 2 B\n4 1 X\n4 1 L\n7 2\n", s, error));
    InputPorts ports;
    const uint32_t none = 0x0000FFFF;  // a joypad with nothing held
    ports.record[0] = ports.record[1] = none;
    uint32_t seen[9][2];
    for (uint32_t f = 0; f < 9; f++) {
        input_script_apply(s, f, ports);
        seen[f][0] = ports.record[0];
        seen[f][1] = ports.record[1];
    }
    EXPECT_EQ(seen[1][0], none);
    EXPECT_EQ(seen[2][0], kPadA | 0xFFFFu);
    EXPECT_EQ(seen[3][0], kPadA | 0xFFFFu);
    EXPECT_EQ(seen[4][0], kPadL | 0xFFFFu);  // the later line of the same frame wins
    EXPECT_EQ(seen[8][0], kPadL | 0xFFFFu);
    EXPECT_EQ(seen[6][1], kPadB | 0xFFFFu);
    EXPECT_EQ(seen[7][1], none);
}

TEST(InputScript, DrivesTheAutomaticReadOfTheTestCartridge) {
    auto m = test::machine_with_rom("sysregs_joypad");
    m->input.device[0] = PortDevice::Joypad;
    m->input.present[0] = 0xFFFF;
    InputScript s;
    std::string error;
    ASSERT_TRUE(parse_input_script("1 1 Left Y\n", s, error));
    for (uint32_t f = 0; f < 3; f++) {
        input_script_apply(s, f, m->input);
        test::run_frames(*m, 1);
    }
    EXPECT_EQ(test::wram16(*m, 0x200), 0x0000);  // frame 0: nothing yet
    EXPECT_EQ(test::wram16(*m, 0x204), 0x4200);  // Y is bit 6 and Left bit 1 of the high byte
    EXPECT_EQ(test::wram16(*m, 0x208), 0x4200);
    EXPECT_EQ(test::wram16(*m, 0x406), 1);       // the 17th serial bit of an attached pad
}

}  // namespace
}  // namespace vt
