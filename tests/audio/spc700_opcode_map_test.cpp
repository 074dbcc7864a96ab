// The SPC700 opcode map as data: lengths agree with the interpreter,
// operands decode in the order they are stored, and the audio CPU's debug
// target changes nothing it shows.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "audio/spc700_debug.h"
#include "audio/spc700_opcode_map.h"
#include "audio/spc700_harness.h"

namespace vt::test {
namespace {

bool changes_flow(uint8_t op) {
    if ((op & 0x0F) == 0x01) return true;  // TCALL
    for (uint8_t f : {0x0F, 0x1F, 0x3F, 0x4F, 0x5F, 0x6F, 0x7F, 0xEF, 0xFF}) {
        if (op == f) return true;  // BRK, JMP, CALL, PCALL, RET, RETI, SLEEP, STOP
    }
    return false;
}

TEST(Spc700OpcodeMap, LengthsAreWhatTheInterpreterStepsOver) {
    // Operand bytes of 0: every branch offset is 0, so taken or not, the
    // instruction ends at the next one.
    for (int op = 0; op < 256; op++) {
        if (changes_flow(uint8_t(op))) continue;
        SpcHarness h;
        h.run({uint8_t(op), 0x00, 0x00});
        EXPECT_EQ(h.s.pc - SpcHarness::kCodeAt, spc700::instruction_length(spc700::kOpcodeMap[op]))
            << spc700::kOpcodeMap[op].mnemonic << " $" << std::hex << op;
    }
}

TEST(Spc700OpcodeMap, HasTheSixtySixMnemonics) {
    std::set<std::string> names;
    for (const spc700::OpInfo& op : spc700::kOpcodeMap) names.insert(op.mnemonic);
    EXPECT_EQ(names.size(), 66u);
}

TEST(Spc700Decoder, OperandsReadInWrittenOrder) {
    struct Case {
        std::vector<uint8_t> code;
        const char* text;
    };
    const Case cases[] = {
        {{0xFA, 0x34, 0x12}, "mov $12, $34"},  // source stored first
        {{0x8F, 0x05, 0x20}, "mov $20, #$05"},
        {{0x09, 0x34, 0x12}, "or $12, $34"},
        {{0x63, 0x10, 0xFE}, "bbs $10.3, $0201"},
        {{0x2E, 0x10, 0x05}, "cbne $10, $0208"},
        {{0xFE, 0xFD}, "dbnz y, $01ff"},
        {{0xAA, 0x34, 0xF2}, "mov1 c, $1234.7"},
        {{0x2A, 0x34, 0x12}, "or1 c, !$1234.0"},
        {{0xCA, 0x34, 0xF2}, "mov1 $1234.7, c"},
        {{0xE5, 0x34, 0x12}, "mov a, $1234"},
        {{0xF5, 0x34, 0x12}, "mov a, $1234+x"},
        {{0xF7, 0x10}, "mov a, ($10)+y"},
        {{0xE7, 0x10}, "mov a, ($10+x)"},
        {{0x1F, 0x34, 0x12}, "jmp ($1234+x)"},
        {{0x4F, 0x80}, "pcall $80"},
        {{0x31}, "tcall 3"},
        {{0xC6}, "mov (x), a"},
        {{0xAF}, "mov (x)+, a"},
        {{0x99}, "adc (x), (y)"},
        {{0x9E}, "div ya, x"},
        {{0xBA, 0x10}, "movw ya, $10"},
        {{0x9D}, "mov x, sp"},
        {{0x0D}, "push psw"},
        {{0xD9, 0x10}, "mov $10+y, x"},
        {{0xE2, 0x10}, "set1 $10.7"},
        {{0xF2, 0x10}, "clr1 $10.7"},
        {{0x2F, 0x80}, "bra $0182"},
    };
    for (const Case& c : cases) {
        SpcHarness h;
        for (size_t i = 0; i < c.code.size(); i++) h.s.ram[SpcHarness::kCodeAt + i] = c.code[i];
        const Spc700Instruction ins = spc700_decode(h.m, SpcHarness::kCodeAt);
        EXPECT_EQ(spc700_text(ins), c.text);
        EXPECT_EQ(ins.length, c.code.size()) << c.text;
    }
}

TEST(Spc700Target, ShowsRegistersAndMemoryWithoutChangingThem) {
    SpcHarness h;
    h.s.a = 0x12;
    h.s.sp = 0xEF;
    h.s.timer_counter[0] = 5;
    h.s.ram[SpcHarness::kCodeAt] = 0xE8;  // mov a, #$34
    h.s.ram[SpcHarness::kCodeAt + 1] = 0x34;
    const DebugTarget& t = kSpc700Target;
    EXPECT_EQ(t.pc(h.m), SpcHarness::kCodeAt);
    const DebugRegisters regs = t.registers(h.m);
    std::vector<std::string> names;
    for (int i = 0; i < regs.count; i++) names.push_back(regs.list[size_t(i)].name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "X", "Y", "SP", "PC", "PSW"}));
    EXPECT_EQ(regs.list[0].value, 0x12u);
    EXPECT_EQ(regs.list[3].value, 0xEFu);
    EXPECT_EQ(t.disassemble(h.m, SpcHarness::kCodeAt).text, "mov a, #$34");
    // Reading a timer counter clears it; peeking does not.
    EXPECT_EQ(t.peek(h.m, 0x00FD), 5);
    EXPECT_EQ(t.peek(h.m, 0x00FD), 5);
    EXPECT_EQ(h.s.timer_counter[0], 5);
}

}  // namespace
}  // namespace vt::test
