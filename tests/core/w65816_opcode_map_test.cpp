// Every opcode in every mode: the interpreter's instruction length and base
// cost agree with the opcode map the disassembler and the trace use.
#include <gtest/gtest.h>

#include <set>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

using w65816::Flow;
using w65816::kOpcodeMap;
using w65816::OpInfo;

w65816::Widths widths(Mode mode) { return {.m16 = wide_m(mode), .x16 = wide_x(mode), .native = !is_emu(mode)}; }

int expected_bytes(const OpInfo& op, Mode mode) { return w65816::instruction_length(op, widths(mode)); }
int expected_cycles(const OpInfo& op, Mode mode) { return w65816::base_cycles(op, widths(mode)); }

std::string op_name(const OpInfo& op) { return describe(op.code, Mode::Emu) + " " + op.mnemonic; }

// A sample of the published map, written out independently of the table:
// mnemonic, mode, length and cycles at 8-bit width.
TEST(W65816OpcodeMap, TableAgreesWithThePublishedMapOnASample) {
    struct Sample {
        uint8_t code;
        const char* mnemonic;
        Addr mode;
        int bytes;
        int cycles;
    };
    const Sample samples[] = {
        {0x00, "brk", Addr::Imm8, 2, 7},      {0x1A, "ina", Addr::Implied, 1, 2},  {0x3A, "dea", Addr::Implied, 1, 2},
        {0x22, "jsl", Addr::LongJump, 4, 8},  {0x5C, "jmp", Addr::LongJump, 4, 4}, {0xDC, "jml", Addr::AbsIndLong, 3, 6},
        {0xFC, "jsr", Addr::AbsXInd, 3, 8},   {0x44, "mvp", Addr::Block, 3, 7},    {0x54, "mvn", Addr::Block, 3, 7},
        {0xB7, "lda", Addr::DpIndLongY, 2, 6}, {0x93, "sta", Addr::SrIndY, 2, 7},  {0xD4, "pei", Addr::DpInd, 2, 6},
        {0x62, "per", Addr::Rel16, 3, 6},     {0xF4, "pea", Addr::AbsJump, 3, 5},  {0xEB, "xba", Addr::Implied, 1, 3},
    };
    for (const Sample& s : samples) {
        const OpInfo& op = kOpcodeMap[s.code];
        SCOPED_TRACE(op_name(op));
        EXPECT_STREQ(op.mnemonic, s.mnemonic);
        EXPECT_EQ(op.mode, s.mode);
        EXPECT_EQ(op.bytes, s.bytes);
        EXPECT_EQ(op.cycles, s.cycles);
    }
    std::set<std::string> mnemonics;
    for (const OpInfo& op : kOpcodeMap) mnemonics.insert(op.mnemonic);
    EXPECT_EQ(mnemonics.size(), 94u);  // the 92 of the instruction set, and INC A, DEC A spelled ina, dea
}

// Straight-line opcodes: PC ends at the next instruction and the clock has
// advanced by the base cost. D's low byte is 0, so no direct-page penalty.
TEST(W65816OpcodeMap, StraightOpcodesAdvancePcByLengthAndChargeBaseCost) {
    for (const OpInfo& op : kOpcodeMap) {
        if (op.flow != Flow::Straight) continue;
        for (Mode mode : kAllModes) {
            FlatCtx ctx;
            ctx.enter_mode(mode);
            set_standard_registers(ctx);
            place_instruction(ctx, mode, op.code, op.mode, 0x0000);
            int cost = ctx.step();
            SCOPED_TRACE(op_name(op) + ", " + mode_name(mode));
            EXPECT_EQ(ctx.cpu.pbr, layout::kCodeBank);
            EXPECT_EQ(ctx.cpu.pc, layout::kCodePc + expected_bytes(op, mode));
            EXPECT_EQ(cost, 3 * expected_cycles(op, mode));
        }
    }
}

TEST(W65816OpcodeMap, NopAndWdmChangeNothingButPc) {
    for (uint8_t code : {0xEA, 0x42}) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(code, mode));
            FlatCtx ctx;
            ctx.enter_mode(mode, 0xCB);
            set_standard_registers(ctx);
            ctx.cpu.a = 0x1234;
            place_instruction(ctx, mode, code, code == 0xEA ? Addr::Implied : Addr::Imm8, 0xFF);
            const CpuRegs before = ctx.cpu;
            ctx.step();
            const CpuRegs& after = ctx.cpu;
            EXPECT_EQ(after.pc, before.pc + (code == 0xEA ? 1 : 2));
            EXPECT_EQ(after.a, before.a);
            EXPECT_EQ(after.x, before.x);
            EXPECT_EQ(after.y, before.y);
            EXPECT_EQ(after.s, before.s);
            EXPECT_EQ(after.d, before.d);
            EXPECT_EQ(after.dbr, before.dbr);
            EXPECT_EQ(after.pbr, before.pbr);
            EXPECT_EQ(cpu_status(after), cpu_status(before));
            EXPECT_EQ(after.e, before.e);
            EXPECT_TRUE(ctx.writes().empty());
        }
    }
}

// Branches not taken cost their base and skip the operand; taken ones are
// in the branch tests.
TEST(W65816OpcodeMap, BranchesNotTakenSkipTheirOperand) {
    // For each conditional branch, the status that makes it fall through.
    const std::pair<uint8_t, uint8_t> cases[] = {
        {0x10, 0x80}, {0x30, 0x00}, {0x50, 0x40}, {0x70, 0x00},
        {0x90, 0x01}, {0xB0, 0x00}, {0xD0, 0x02}, {0xF0, 0x00},
    };
    for (auto [code, flags] : cases) {
        for (Mode mode : kAllModes) {
            FlatCtx ctx;
            ctx.enter_mode(mode, uint8_t(flags | 0x04));
            place_instruction(ctx, mode, code, Addr::Rel8, 0x40);
            SCOPED_TRACE(op_name(kOpcodeMap[code]) + ", " + mode_name(mode));
            EXPECT_EQ(ctx.step(), 6);
            EXPECT_EQ(ctx.cpu.pc, layout::kCodePc + 2);
        }
    }
}

// Every opcode that is not straight-line has its own test elsewhere; this
// guards the list against an opcode slipping through.
TEST(W65816OpcodeMap, ControlFlowOpcodesAreTheExpectedOnes) {
    std::set<int> flow;
    for (const OpInfo& op : kOpcodeMap)
        if (op.flow != Flow::Straight) flow.insert(op.code);
    const std::set<int> expected = {0x00, 0x02, 0x10, 0x20, 0x22, 0x30, 0x40, 0x4C, 0x50, 0x5C, 0x60,
                                    0x6B, 0x6C, 0x70, 0x7C, 0x80, 0x82, 0x90, 0xB0, 0xD0, 0xDB, 0xDC,
                                    0xF0, 0xFC};
    EXPECT_EQ(flow, expected);
}

}  // namespace
}  // namespace vt::test
