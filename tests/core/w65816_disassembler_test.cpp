// The 65816 decoder: lengths and effective addresses agree with what the
// interpreter does, operands read as written, and the main CPU's debug
// target shows the machine without changing it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/debug_target.h"
#include "core/main_cpu_debug.h"
#include "core/w65816_disassembler.h"
#include "support/flat_cpu.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

using w65816::kOpcodeMap;

W65816DecodeState decode_state(const FlatCtx& ctx) {
    const CpuRegs& c = ctx.cpu;
    return {.d = c.d, .x = c.x, .y = c.y, .s = c.s, .dbr = c.dbr, .p = c.p, .e = c.e};
}

W65816Instruction decode_at(const FlatCtx& ctx, uint32_t address) {
    return w65816_decode([&ctx](uint32_t a) { return int(ctx.peek(a)); }, decode_state(ctx), address);
}

// Every opcode in every mode: the decoder's length is the distance the
// interpreter moves PC over, and its effective address is the one the
// interpreter uses.
TEST(W65816Decoder, LengthAndEffectiveAddressAgreeWithTheInterpreter) {
    for (const w65816::OpInfo& op : kOpcodeMap) {
        if (op.code == 0xD4) continue;  // PEI: below
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(op.code, mode));
            FlatCtx ctx;
            ctx.enter_mode(mode);
            set_standard_registers(ctx);
            const uint32_t ea = place_instruction(ctx, mode, op.code, op.mode, 0x0000);
            const W65816Instruction ins = decode_at(ctx, layout::kCode);
            EXPECT_EQ(ins.info, &op);
            EXPECT_EQ(ins.has_effective, ea != 0);
            if (ea != 0) {
                EXPECT_EQ(ins.effective, ea);
            }
            if (op.flow == w65816::Flow::Straight) {
                ctx.step();
                EXPECT_EQ(ins.length, ctx.cpu.pc - layout::kCodePc);
            }
        }
    }
}

// The decoder's effective address is where the interpreter's data access
// goes, at the edges where emulation mode wraps within a page and where it
// does not. Page 1 and its neighbours hold distinct pointer bytes.
TEST(W65816Decoder, EffectiveAddressesWrapAsTheProcessorDoes) {
    struct Case {
        Mode mode;
        uint16_t d;
        uint8_t code;
        uint8_t operand;
    };
    const Case cases[] = {
        {Mode::Emu, 0x0100, 0xB5, 0xFF},  {Mode::Emu, 0x0180, 0xB5, 0xFF},  {Mode::Emu, 0x0100, 0xB6, 0xFF},
        {Mode::Emu, 0x0180, 0xB6, 0xFF},  {Mode::Emu, 0x0000, 0xA3, 0x20},  {Mode::Emu, 0x0100, 0xB2, 0xFF},
        {Mode::Emu, 0x0101, 0xB2, 0xFE},  {Mode::Emu, 0x0100, 0xB1, 0xFF},  {Mode::Emu, 0x0100, 0xA7, 0xFF},
        {Mode::Emu, 0x0100, 0xA1, 0xFD},  {Mode::Emu, 0x0120, 0xA1, 0xDD},  {Mode::Emu, 0x0101, 0xA1, 0xFE},
        {Mode::Emu, 0x0000, 0xB3, 0x0F},  {Mode::M1X1, 0x0100, 0xB2, 0xFF}, {Mode::M1X1, 0x0120, 0xA1, 0xDD},
        {Mode::M1X1, 0x0180, 0xB6, 0xFF}, {Mode::M1X1, 0x0000, 0xA3, 0x20},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(describe(c.code, c.mode) + " D=" + std::to_string(c.d));
        FlatCtx ctx;
        ctx.enter_mode(c.mode);
        ctx.cpu.d = c.d;
        ctx.cpu.x = 2;
        ctx.cpu.y = 2;
        ctx.cpu.s = 0x01F0;
        for (uint32_t a = 0x0000F0; a < 0x000310; a++) ctx.store(a, uint8_t(a * 7 + 3));
        ctx.load_code(0x05, 0x8000, {c.code, c.operand});
        const W65816Instruction ins = decode_at(ctx, 0x058000);
        ctx.clear_log();
        ctx.step();
        ASSERT_TRUE(ins.has_effective);
        EXPECT_EQ(ins.effective, ctx.log.back().addr);  // the data byte comes last
    }
}

TEST(W65816Decoder, OperandsReadAsWritten) {
    struct Case {
        uint32_t address;
        std::vector<uint8_t> code;
        bool native16;  // native mode with 16-bit registers, else emulation mode
        const char* text;
    };
    const Case cases[] = {
        {0x008000, {0xA9, 0x34, 0x12}, true, "lda #$1234"},
        {0x008000, {0xA9, 0x34}, false, "lda #$34"},
        {0x008000, {0xA2, 0x34, 0x12}, true, "ldx #$1234"},
        {0x008000, {0xE2, 0x30}, true, "sep #$30"},
        {0x008000, {0x00, 0x42}, false, "brk #$42"},
        {0x008000, {0xB5, 0x12}, false, "lda $12,x"},
        {0x008000, {0xB6, 0x12}, false, "ldx $12,y"},
        {0x008000, {0xB2, 0x12}, false, "lda ($12)"},
        {0x008000, {0xA7, 0x12}, false, "lda [$12]"},
        {0x008000, {0xA1, 0x12}, false, "lda ($12,x)"},
        {0x008000, {0xB1, 0x12}, false, "lda ($12),y"},
        {0x008000, {0xB7, 0x12}, false, "lda [$12],y"},
        {0x008000, {0xA3, 0x03}, false, "lda $03,s"},
        {0x008000, {0xB3, 0x03}, false, "lda ($03,s),y"},
        {0x008000, {0xBD, 0x34, 0x12}, false, "lda $1234,x"},
        {0x008000, {0xB9, 0x34, 0x12}, false, "lda $1234,y"},
        {0x008000, {0xBF, 0x56, 0x34, 0x12}, false, "lda $123456,x"},
        {0x008000, {0x1A}, false, "ina"},
        {0x008000, {0x3A}, false, "dea"},
        {0x008000, {0x6C, 0x34, 0x12}, false, "jmp ($1234)"},
        {0x008000, {0x7C, 0x34, 0x12}, false, "jmp ($1234,x)"},
        {0x008000, {0xFC, 0x34, 0x12}, false, "jsr ($1234,x)"},
        {0x008000, {0xDC, 0x34, 0x12}, false, "jml ($1234)"},  // long pointer, shown as ($dddd)
        {0x008000, {0x5C, 0x56, 0x34, 0x12}, false, "jmp $123456"},
        {0x008000, {0x22, 0x56, 0x34, 0x12}, false, "jsl $123456"},
        {0x008000, {0x54, 0x7E, 0x7F}, false, "mvn $7e,$7f"},
        {0x008000, {0xD4, 0x12}, false, "pei ($12)"},
        {0x008000, {0xF4, 0x34, 0x12}, false, "pea $1234"},
        {0x008000, {0xD0, 0xFE}, false, "bne $8000"},
        {0x008000, {0x80, 0x7F}, false, "bra $8081"},
        {0x008000, {0x82, 0xFD, 0xFF}, false, "brl $8000"},
        {0x008000, {0x62, 0x00, 0x10}, false, "per $9003"},
        {0x01FFF0, {0x80, 0x20}, false, "bra $0012"},  // the target stays in the bank
    };
    for (const Case& c : cases) {
        FlatCtx ctx;
        ctx.enter_mode(c.native16 ? Mode::M0X0 : Mode::Emu);
        for (size_t i = 0; i < c.code.size(); i++) ctx.store(c.address + uint32_t(i), c.code[i]);
        const W65816Instruction ins = decode_at(ctx, c.address);
        EXPECT_EQ(w65816_text(ins), c.text);
        EXPECT_EQ(ins.length, c.code.size()) << c.text;
        for (size_t i = 0; i < c.code.size(); i++) EXPECT_EQ(ins.bytes[i], c.code[i]) << c.text;
    }
}

TEST(W65816Decoder, PeiPointsAtThePointerItPushes) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M1X1);
    ctx.cpu.d = 0x0300;
    ctx.load_code(0x00, 0x8000, {0xD4, 0x40});
    const W65816Instruction ins = decode_at(ctx, 0x008000);
    EXPECT_TRUE(ins.has_effective);
    EXPECT_EQ(ins.effective, 0x000340u);
}

TEST(MainCpuTarget, ShowsTheMachineWithoutChangingIt) {
    auto m = machine_with_rom("driver_timer");
    run_frames(*m, 1);
    const int32_t clock = m->timing.line_clock;
    const uint8_t bus = m->mem.open_bus;

    const std::vector<const DebugTarget*> targets = machine_debug_targets(*m);
    ASSERT_EQ(targets.size(), 2u);
    EXPECT_STREQ(targets[0]->name, "W65C816S");
    EXPECT_STREQ(targets[1]->name, "SPC700");

    const DebugTarget& cpu = kMainCpuTarget;
    const uint32_t pc = cpu.pc(*m);
    EXPECT_EQ(pc, (uint32_t(m->cpu.pbr) << 16) | m->cpu.pc);
    const DebugRegisters regs = cpu.registers(*m);
    std::vector<std::string> names;
    for (int i = 0; i < regs.count; i++) names.push_back(regs.list[size_t(i)].name);
    EXPECT_EQ(names, (std::vector<std::string>{"A", "X", "Y", "S", "D", "PBR", "PC", "DBR", "P", "E"}));
    EXPECT_EQ(regs.list[6].value, m->cpu.pc);
    EXPECT_EQ(regs.list[8].value, cpu_status(m->cpu));

    // The program idles in NOP, NOP, BRA.
    const DisassembledLine line = cpu.disassemble(*m, pc);
    EXPECT_EQ(line.address, pc);
    EXPECT_TRUE(line.text == "nop" || line.text.rfind("bra $", 0) == 0) << line.text;
    EXPECT_EQ(cpu.peek(*m, pc), line.bytes[0]);
    EXPECT_EQ(cpu.peek(*m, 0x002100), kNotReadable);  // write-only

    EXPECT_EQ(m->timing.line_clock, clock);
    EXPECT_EQ(m->mem.open_bus, bus);
}

}  // namespace
}  // namespace vt::test
