// Joypad scripts: parsing, errors, and the records they put on the ports.
#include <gtest/gtest.h>

#include <cctype>
#include <string_view>

#include "core/input_ports.h"
#include "core/machine.h"
#include "frontend/input_script.h"
#include "support/odd_files.h"
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

// Files that are not scripts are refused with the reason, before anything is
// read from them: a device would be read forever, a pipe would block.
TEST(InputScript, OnlyRegularFilesOfASaneSizeAreRead) {
    test::OddFiles odd("veltrane-input-script");
    struct Case {
        std::string path;
        std::string reason;
    };
    const Case cases[] = {
        {"/dev/zero", "not a regular file"},
        {odd.folder("scripts"), "it is a folder, not a file"},
        {odd.pipe("pipe.txt"), "not a regular file"},
        {odd.sparse("huge.txt", kMaxInputScriptSize + 1), "larger than 16 MiB"},
        {odd.link_loop("loop.txt"), "cannot read: too many levels of symbolic links"},
        {odd.path("missing.txt"), "no such file"},
    };
    for (const Case& c : cases) {
        InputScript s;
        s.events.push_back({});
        std::string error;
        EXPECT_FALSE(load_input_script(c.path, s, error)) << c.path;
        EXPECT_EQ(error, c.reason) << c.path;
        EXPECT_TRUE(s.events.empty()) << c.path;
    }

    // The largest script allowed still loads.
    std::string big(kMaxInputScriptSize, ' ');
    big.replace(0, 8, "5 1 A  \n");
    InputScript s;
    std::string error;
    ASSERT_TRUE(load_input_script(odd.text("big.txt", big), s, error)) << error;
    ASSERT_EQ(s.events.size(), 1u);
    EXPECT_EQ(s.events[0].buttons, kPadA);
}

TEST(InputScript, GarbageGivesAShortPrintableReason) {
    test::OddFiles odd("veltrane-input-garbage");
    std::vector<uint8_t> binary(4096);
    for (size_t i = 0; i < binary.size(); i++) binary[i] = uint8_t(i * 7 + 1);  // no '\n' or '#' early on
    binary[0] = 0x01;
    std::string error;
    InputScript s;
    EXPECT_FALSE(load_input_script(odd.file("binary.bin", binary), s, error));
    EXPECT_EQ(error.rfind("line 1: bad frame number \"", 0), 0u) << error;
    EXPECT_LT(error.size(), 70u) << error;
    for (char ch : error) EXPECT_TRUE(std::isprint(static_cast<unsigned char>(ch))) << error;

    using namespace std::string_view_literals;
    const struct {
        std::string_view text;
        const char* error;
    } bad[] = {
        {"1 1 A\0B\n"sv, "line 1: unknown button \"A?B\""},
        {"1 1 ABCDEFGHIJKLMNOPQRSTUVWXYZ\n"sv, "line 1: unknown button \"ABCDEFGHIJKLMNOPQRSTUVWX...\""},
        {"1 \x7F\n"sv, "line 1: port must be 1 or 2, not \"?\""},
        {"4294967296 1 A\n"sv, "line 1: bad frame number \"4294967296\""},
    };
    for (const auto& b : bad) {
        EXPECT_FALSE(parse_input_script(b.text, s, error)) << b.text;
        EXPECT_EQ(error, b.error);
    }
}

}  // namespace
}  // namespace vt
