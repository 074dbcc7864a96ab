// The CPU trace: headers, the 26/36-column layout, CR LF, the continuation
// header at each new scanline, "E+" in emulation mode, and the stop line.
#include <gtest/gtest.h>

#include <cstdio>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "core/driver.h"
#include "core/machine.h"
#include "debug/cpu_trace.h"
#include "support/test_rom.h"

namespace vt {
namespace {

// The trace's text, kept in memory.
struct Captured {
    std::string text;
    CpuTrace trace;
    Captured() {
        trace.sink = {this, [](void* user, const char* data, size_t size) {
                          static_cast<Captured*>(user)->text.append(data, size);
                      }};
    }
};

std::vector<std::string> crlf_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2) {
        lines.push_back(text.substr(start, end - start));
    }
    EXPECT_EQ(start, text.size()) << "text after the last CR LF";
    return lines;
}

// An instruction line: the disassembly padded to column 36, the registers.
std::string trace_line(const std::string& disassembly, const std::string& registers) {
    std::string line = disassembly;
    line.resize(36, ' ');
    return line + registers;
}

// The first instructions of the smoke cartridge after power-on: the CPU in
// emulation mode with the power-on registers, at the reset vector $8000.
TEST(CpuTrace, FirstLinesOfACartridge) {
    auto m = test::machine_with_rom("smoke");
    Captured c;
    cpu_trace_start(*m, c.trace);
    for (int i = 0; i < 6; i++) machine_run(*m, RunUnit::Instruction);
    cpu_trace_stop(*m);
    const std::vector<std::string> lines = crlf_lines(c.text);
    const std::vector<std::string> expected = {
        "CPU Trace Started @ Frame:00000000 HCT:0000 VCT:0000",
        trace_line("008000 sei", "A:0000 X:0000 Y:0000 S:01ff D:0000 DBR:00 P:34 E+"),
        trace_line("008001 clc", "A:0000 X:0000 Y:0000 S:01ff D:0000 DBR:00 P:34 E+"),
        trace_line("008002 xce", "A:0000 X:0000 Y:0000 S:01ff D:0000 DBR:00 P:34 E+"),
        trace_line("008003 rep     #$10", "A:0000 X:0000 Y:0000 S:01ff D:0000 DBR:00 P:35 E-"),
        trace_line("008005 sep     #$20", "A:0000 X:0000 Y:0000 S:01ff D:0000 DBR:00 P:25 E-"),
        trace_line("008007 ldx     #$1fff", "A:0000 X:0000 Y:0000 S:01ff D:0000 DBR:00 P:25 E-"),
        "CPU Trace Stopped.",
        "",
    };
    EXPECT_EQ(lines, expected);
    // An implied instruction's registers start at column 37.
    EXPECT_EQ(lines[1].find("A:"), 36u);
}

// A whole frame: every line is a header, an empty line before a
// continuation header, or an instruction line with its columns in place.
TEST(CpuTrace, AFrameKeepsTheLayout) {
    auto m = test::machine_with_rom("smoke");
    run_frame(*m);
    Captured c;
    cpu_trace_start(*m, c.trace);
    run_frame(*m);
    cpu_trace_stop(*m);
    const std::vector<std::string> lines = crlf_lines(c.text);
    const std::regex header(R"((CPU Trace Started|Continuing) @ Frame:[0-9a-f]{8} HCT:[0-9a-f]{4} VCT:[0-9a-f]{4})");
    const std::regex instruction(
        R"([0-9a-f]{6} [a-z]{3}     [^ ].{0,19} *(\[[0-9a-f]{2}:[0-9a-f]{4}\])? *)"
        R"(A:[0-9a-f]{4} X:[0-9a-f]{4} Y:[0-9a-f]{4} S:[0-9a-f]{4} D:[0-9a-f]{4} DBR:[0-9a-f]{2} P:[0-9a-f]{2} E[+-])");
    const std::regex implied(R"([0-9a-f]{6} [a-z]{3} {26}A:.*)");
    int continuations = 0;
    ASSERT_GT(lines.size(), 100u);
    EXPECT_EQ(lines.front().rfind("CPU Trace Started @ Frame:00000001 HCT:", 0), 0u) << lines.front();
    for (size_t i = 0; i < lines.size(); i++) {
        const std::string& l = lines[i];
        if (l.rfind("Continuing", 0) == 0) {
            ASSERT_TRUE(std::regex_match(l, header)) << l;
            ASSERT_EQ(lines[i - 1], "") << "no empty line before " << l;
            continuations++;
            continue;
        }
        if (l.empty() || l == "CPU Trace Stopped." || std::regex_match(l, header)) continue;
        ASSERT_TRUE(std::regex_match(l, instruction) || std::regex_match(l, implied)) << l;
        EXPECT_EQ(l.substr(36, 2), "A:") << l;
        if (l.find('[') != std::string::npos) {
            EXPECT_EQ(l.find('['), 26u) << l;
        }
    }
    // The program runs on every line of the frame except those it waits
    // through: the continuation header appears once per traced line.
    EXPECT_GT(continuations, 200);
    EXPECT_EQ(lines[lines.size() - 2], "CPU Trace Stopped.");
}

// The memory operand's address in brackets from column 27: STZ $10 with
// D = 0 in native mode, after SEI CLC XCE REP SEP LDX TXS.
TEST(CpuTrace, MemoryOperandInBrackets) {
    auto m = test::machine_with_rom("smoke");
    for (int i = 0; i < 7; i++) machine_run(*m, RunUnit::Instruction);
    std::string expected = "00800b stz     $10";
    expected.resize(26, ' ');
    expected += "[00:0010] A:0000 X:1fff Y:0000 S:1fff D:0000 DBR:00 P:25 E-";
    EXPECT_EQ(cpu_trace_line(*m), expected);
}

TEST(CpuTrace, SwitchingOffBeforeAnInstructionWritesNoStopLine) {
    auto m = test::machine_with_rom("smoke");
    Captured c;
    cpu_trace_start(*m, c.trace);
    cpu_trace_stop(*m);
    EXPECT_EQ(c.text, "");
    EXPECT_FALSE(cpu_trace_is_on(*m));
    EXPECT_EQ(m->debug.trace_step, nullptr);
}

// Each period of tracing starts with its own header; the periods append.
TEST(CpuTrace, PeriodsAppend) {
    auto m = test::machine_with_rom("smoke");
    Captured c;
    for (int period = 0; period < 2; period++) {
        cpu_trace_start(*m, c.trace);
        machine_run(*m, RunUnit::Instruction);
        cpu_trace_stop(*m);
    }
    const std::vector<std::string> lines = crlf_lines(c.text);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[0].rfind("CPU Trace Started", 0), 0u);
    EXPECT_EQ(lines[4].rfind("CPU Trace Started", 0), 0u);
    EXPECT_EQ(lines[5].substr(0, 10), "008001 clc");
}

// The step that enters an interrupt runs no instruction and gets no line:
// the line before the NMI handler's first one is the instruction before
// the interrupt, not the one the handler returns to.
TEST(CpuTrace, InterruptEntryWritesNoLine) {
    auto m = test::machine_with_rom("smoke");
    run_frame(*m);
    run_frame(*m);
    // Up to V-blank, where the NMI is raised.
    while (m->timing.line <= m->timing.last_visible_line) machine_run(*m, RunUnit::Line);
    Captured c;
    cpu_trace_start(*m, c.trace);
    machine_run(*m, RunUnit::Line);
    cpu_trace_stop(*m);
    std::vector<std::string> instructions;
    for (const std::string& l : crlf_lines(c.text)) {
        if (l.size() > 36) instructions.push_back(l);
    }
    char handler[8];
    std::snprintf(handler, sizeof handler, "00%02x%02x", bus_peek(*m, 0, 0xFFEB), bus_peek(*m, 0, 0xFFEA));
    size_t h = 0;
    while (h < instructions.size() && instructions[h].rfind(handler, 0) != 0) h++;
    ASSERT_LT(h, instructions.size()) << "the NMI handler at " << handler << " was not traced";
    ASSERT_GT(h, 0u);
    size_t r = h;
    while (r < instructions.size() && instructions[r].substr(7, 3) != "rti") r++;
    ASSERT_LT(r + 1, instructions.size());
    EXPECT_NE(instructions[h - 1].substr(0, 6), instructions[r + 1].substr(0, 6))
        << instructions[h - 1] << " / " << instructions[r + 1];
}

}  // namespace
}  // namespace vt
