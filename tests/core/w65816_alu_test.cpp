// Loads, stores, arithmetic, logic, compares, BIT, shifts and the other
// read-modify-write instructions, in every addressing mode they have and in
// emulation mode and all four native width combinations.
#include <gtest/gtest.h>

#include <sstream>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint8_t kI = 0x04;
constexpr uint8_t kD = 0x08;

// Expected outcome of one operation at 16-bit and at 8-bit width.
struct WidthOutcome {
    uint16_t a;
    int flags;  // 0bNVZC
};
struct AluOutcome {
    const char* name;
    uint8_t base;
    WidthOutcome wide, narrow;
};

// A = $1234, operand $4F8F (the 8-bit forms see $34 and $8F), C = 1, V = 1,
// Z = 1, N = 0 on entry. Worked out by hand.
const AluOutcome kAccumulatorOps[] = {
    {"ORA", 0x00, {0x5FBF, 0b0101}, {0x12BF, 0b1101}},
    {"AND", 0x20, {0x0204, 0b0101}, {0x1204, 0b0101}},
    {"EOR", 0x40, {0x5DBB, 0b0101}, {0x12BB, 0b1101}},
    // $1234 + $4F8F + 1; $34 + $8F + 1: no carry, no signed overflow.
    {"ADC", 0x60, {0x61C4, 0b0000}, {0x12C4, 0b1000}},
    // $1234 - $4F8F borrows; $34 - $8F borrows and overflows (52 - -113).
    {"SBC", 0xE0, {0xC2A5, 0b1000}, {0x12A5, 0b1100}},
    // A unchanged; N from the difference, V untouched.
    {"CMP", 0xC0, {0x1234, 0b1100}, {0x1234, 0b1100}},
    {"LDA", 0xA0, {0x4F8F, 0b0101}, {0x128F, 0b1101}},
};

TEST(W65816Alu, AccumulatorOperationsInEveryAddressingMode) {
    for (const AluOutcome& op : kAccumulatorOps) {
        for (OpCase oc : accumulator_group(op.base)) {
            for (Mode mode : kAllModes) {
                SCOPED_TRACE(std::string(op.name) + " " + describe(oc.code, mode));
                FlatCtx ctx;
                run_op(ctx, mode, 0x47, 0x1234, oc, 0x4F8F);
                const WidthOutcome& want = wide_m(mode) ? op.wide : op.narrow;
                EXPECT_EQ(ctx.cpu.a, want.a);
                EXPECT_EQ(nvzc(ctx.cpu), want.flags);
                EXPECT_TRUE(ctx.writes().empty());
                EXPECT_EQ(ctx.cpu.x, layout::kX);
                EXPECT_EQ(ctx.cpu.y, layout::kY);
            }
        }
    }
}

// A 16-bit operand whose high byte lies in the next bank is read from there.
TEST(W65816Alu, SixteenBitOperandCrossesIntoTheNextBank) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M0X0);
    ctx.cpu.dbr = 0x12;
    ctx.load_code(0x05, 0x8000, {0xAD, 0xFF, 0xFF});  // LDA $FFFF
    ctx.poke(0x12FFFF, {0x34});
    ctx.poke(0x130000, {0x12});
    ctx.step();
    EXPECT_EQ(ctx.cpu.a, 0x1234);
}

TEST(W65816Alu, BitMemorySetsNAndVFromOperandImmediateOnlyZ) {
    const OpCase memory_forms[] = {{0x24, Addr::Dp}, {0x34, Addr::DpX}, {0x2C, Addr::Abs}, {0x3C, Addr::AbsX}};
    for (Mode mode : kAllModes) {
        for (OpCase oc : memory_forms) {
            SCOPED_TRACE(describe(oc.code, mode));
            FlatCtx ctx;
            run_op(ctx, mode, 0x47, 0x1234, oc, 0x4F8F);
            // 16-bit: N = bit 15 (0), V = bit 14 (1); 8-bit: bit 7 (1), bit 6 (0).
            EXPECT_EQ(nvzc(ctx.cpu), wide_m(mode) ? 0b0101 : 0b1001);
            EXPECT_EQ(ctx.cpu.a, 0x1234);
        }
        SCOPED_TRACE(describe(0x89, mode));
        FlatCtx ctx;
        run_op(ctx, mode, 0x47, 0x1234, {0x89, Addr::ImmM}, 0x4F8F);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0101);  // only Z changed (1 -> 0)
    }
}

TEST(W65816Alu, BitImmediateLeavesNAndVAlone) {
    for (uint8_t nv : {0x00, 0xC0}) {
        FlatCtx ctx;
        // BIT #$80 with A = $80
        run_op(ctx, Mode::M1X1, uint8_t(nv | kI), 0x0080, {0x89, Addr::ImmM}, 0x0080);
        EXPECT_EQ(ctx.cpu.n, nv ? 1 : 0);
        EXPECT_EQ(ctx.cpu.v, nv ? 1 : 0);
        EXPECT_EQ(ctx.cpu.z, 0);
    }
    FlatCtx ctx;
    run_op(ctx, Mode::M0X0, kI, 0x0F0F, {0x89, Addr::ImmM}, 0xF0F0);
    EXPECT_EQ(ctx.cpu.z, 1);
    // 16-bit memory BIT with a zero AND and both top bits set.
    run_op(ctx, Mode::M0X0, kI, 0x0000, {0x2C, Addr::Abs}, 0xC000);
    EXPECT_EQ(nvzc(ctx.cpu), 0b1110);
}

TEST(W65816Alu, StoresWriteTheRegisterAtItsWidthAndKeepFlags) {
    struct Store {
        const char* name;
        std::vector<OpCase> ops;
        bool index_width;
        uint16_t CpuRegs::*reg;  // the register stored; nullptr for STZ
    };
    const Store stores[] = {
        {"STA", accumulator_group(0x80, false), false, &CpuRegs::a},
        {"STZ", {{0x64, Addr::Dp}, {0x74, Addr::DpX}, {0x9C, Addr::Abs}, {0x9E, Addr::AbsX}}, false, nullptr},
        {"STX", {{0x86, Addr::Dp}, {0x96, Addr::DpY}, {0x8E, Addr::Abs}}, true, &CpuRegs::x},
        {"STY", {{0x84, Addr::Dp}, {0x94, Addr::DpX}, {0x8C, Addr::Abs}}, true, &CpuRegs::y},
    };
    for (const Store& st : stores) {
        for (OpCase oc : st.ops) {
            for (Mode mode : kAllModes) {
                SCOPED_TRACE(std::string(st.name) + " " + describe(oc.code, mode));
                const bool wide = st.index_width ? wide_x(mode) : wide_m(mode);
                FlatCtx ctx;
                RunResult r = run_op(ctx, mode, 0xC7, 0x8D12, oc, 0xEEEE, [&](FlatCtx& c) {
                    if (st.reg && st.reg != &CpuRegs::a) c.cpu.*st.reg = wide ? 0x8D12 : 0x12;
                });
                std::vector<Access> want;
                const uint8_t lo = st.reg ? 0x12 : 0x00, hi = st.reg ? 0x8D : 0x00;
                want.push_back({true, r.ea, lo});
                if (wide) want.push_back({true, (r.ea + 1) & 0xFFFFFF, hi});
                EXPECT_EQ(ctx.writes(), want);
                EXPECT_EQ(ctx.peek((r.ea + 1) & 0xFFFFFF), wide ? hi : 0xEE);
                EXPECT_EQ(nvzc(ctx.cpu), 0b1111);
            }
        }
    }
}

TEST(W65816Alu, IndexLoadsUseTheIndexWidth) {
    const OpCase ldx[] = {{0xA2, Addr::ImmX}, {0xA6, Addr::Dp}, {0xB6, Addr::DpY}, {0xAE, Addr::Abs}, {0xBE, Addr::AbsY}};
    const OpCase ldy[] = {{0xA0, Addr::ImmX}, {0xA4, Addr::Dp}, {0xB4, Addr::DpX}, {0xAC, Addr::Abs}, {0xBC, Addr::AbsX}};
    for (Mode mode : kAllModes) {
        for (OpCase oc : ldx) {
            SCOPED_TRACE(describe(oc.code, mode));
            FlatCtx ctx;
            run_op(ctx, mode, 0x47, 0x1234, oc, 0x4F8F);
            EXPECT_EQ(ctx.cpu.x, wide_x(mode) ? 0x4F8F : 0x008F);
            EXPECT_EQ(ctx.cpu.y, layout::kY);
            EXPECT_EQ(nvzc(ctx.cpu), wide_x(mode) ? 0b0101 : 0b1101);
            EXPECT_EQ(ctx.cpu.a, 0x1234);
        }
        for (OpCase oc : ldy) {
            SCOPED_TRACE(describe(oc.code, mode));
            FlatCtx ctx;
            run_op(ctx, mode, 0x47, 0x1234, oc, 0x4F8F);
            EXPECT_EQ(ctx.cpu.y, wide_x(mode) ? 0x4F8F : 0x008F);
            EXPECT_EQ(ctx.cpu.x, layout::kX);
            EXPECT_EQ(nvzc(ctx.cpu), wide_x(mode) ? 0b0101 : 0b1101);
        }
    }
}

TEST(W65816Alu, LdxImmediateWithEightBitIndexLoadsOnlyTheLowByte) {
    FlatCtx ctx;
    run_op(ctx, Mode::M0X1, kI, 0, {0xA2, Addr::ImmX}, 0x1234);
    EXPECT_EQ(ctx.cpu.x, 0x0034);
    EXPECT_EQ(ctx.cpu.pc, layout::kCodePc + 2);
}

TEST(W65816Alu, IndexComparesUseTheIndexWidth) {
    const OpCase cpx[] = {{0xE0, Addr::ImmX}, {0xE4, Addr::Dp}, {0xEC, Addr::Abs}};
    const OpCase cpy[] = {{0xC0, Addr::ImmX}, {0xC4, Addr::Dp}, {0xCC, Addr::Abs}};
    for (Mode mode : kAllModes) {
        const uint16_t reg = wide_x(mode) ? 0x1234 : 0x34;
        // $1234 - $1334 = $FF00 (borrow); $34 - $34 = 0. V stays 1.
        const int want = wide_x(mode) ? 0b1100 : 0b0111;
        for (OpCase oc : cpx) {
            SCOPED_TRACE(describe(oc.code, mode));
            FlatCtx ctx;
            run_op(ctx, mode, 0x47, 0, oc, 0x1334, [&](FlatCtx& c) { c.cpu.x = reg; });
            EXPECT_EQ(nvzc(ctx.cpu), want);
            EXPECT_EQ(ctx.cpu.x, reg);
        }
        for (OpCase oc : cpy) {
            SCOPED_TRACE(describe(oc.code, mode));
            FlatCtx ctx;
            run_op(ctx, mode, 0x47, 0, oc, 0x1334, [&](FlatCtx& c) { c.cpu.y = reg; });
            EXPECT_EQ(nvzc(ctx.cpu), want);
        }
    }
}

TEST(W65816Alu, CompareSetsCarryWhenRegisterIsAtLeastOperand) {
    struct Case {
        Mode mode;
        uint16_t a, operand;
        int flags;
    };
    const Case cases[] = {
        {Mode::M1X1, 0x40, 0x40, 0b0011},   {Mode::M1X1, 0x40, 0x41, 0b1000},
        {Mode::M1X1, 0x80, 0x01, 0b0001},   {Mode::M1X1, 0x01, 0xFF, 0b0000},
        {Mode::M0X0, 0x8000, 0x7FFF, 0b0001}, {Mode::M0X0, 0x0000, 0x0001, 0b1000},
        {Mode::M0X0, 0xFFFF, 0xFFFF, 0b0011},
    };
    for (const Case& k : cases) {
        FlatCtx ctx;
        run_op(ctx, k.mode, kI, k.a, {0xC9, Addr::ImmM}, k.operand);
        EXPECT_EQ(nvzc(ctx.cpu), k.flags) << std::hex << k.a << " vs " << k.operand;
    }
}

struct RmwOutcome {
    const char* name;
    std::vector<OpCase> ops;
    uint16_t wide_result;
    int wide_flags;
    uint8_t narrow_result;
    int narrow_flags;
};

// Operand $4F8F (8-bit: $8F), A = $1234, flags N = V = C = 1, Z = 0 on entry.
const RmwOutcome kRmwOps[] = {
    {"ASL", {{0x06, Addr::Dp}, {0x16, Addr::DpX}, {0x0E, Addr::Abs}, {0x1E, Addr::AbsX}}, 0x9F1E, 0b1100, 0x1E, 0b0101},
    {"ROL", {{0x26, Addr::Dp}, {0x36, Addr::DpX}, {0x2E, Addr::Abs}, {0x3E, Addr::AbsX}}, 0x9F1F, 0b1100, 0x1F, 0b0101},
    {"LSR", {{0x46, Addr::Dp}, {0x56, Addr::DpX}, {0x4E, Addr::Abs}, {0x5E, Addr::AbsX}}, 0x27C7, 0b0101, 0x47, 0b0101},
    {"ROR", {{0x66, Addr::Dp}, {0x76, Addr::DpX}, {0x6E, Addr::Abs}, {0x7E, Addr::AbsX}}, 0xA7C7, 0b1101, 0xC7, 0b1101},
    {"INC", {{0xE6, Addr::Dp}, {0xF6, Addr::DpX}, {0xEE, Addr::Abs}, {0xFE, Addr::AbsX}}, 0x4F90, 0b0101, 0x90, 0b1101},
    {"DEC", {{0xC6, Addr::Dp}, {0xD6, Addr::DpX}, {0xCE, Addr::Abs}, {0xDE, Addr::AbsX}}, 0x4F8E, 0b0101, 0x8E, 0b1101},
    // Z from A AND operand ($0204 / $04); N and V untouched.
    {"TSB", {{0x04, Addr::Dp}, {0x0C, Addr::Abs}}, 0x5FBF, 0b1101, 0xBF, 0b1101},
    {"TRB", {{0x14, Addr::Dp}, {0x1C, Addr::Abs}}, 0x4D8B, 0b1101, 0x8B, 0b1101},
};

TEST(W65816Alu, ReadModifyWriteOnMemoryReadsLowHighAndWritesHighLow) {
    for (const RmwOutcome& op : kRmwOps) {
        for (OpCase oc : op.ops) {
            for (Mode mode : kAllModes) {
                SCOPED_TRACE(std::string(op.name) + " " + describe(oc.code, mode));
                FlatCtx ctx;
                RunResult r = run_op(ctx, mode, 0xC5, 0x1234, oc, 0x4F8F);
                const uint32_t hi_at = (r.ea + 1) & 0xFFFFFF;
                std::vector<Access> data;  // accesses to the operand, in order
                for (const Access& a : ctx.log)
                    if (a.addr == r.ea || a.addr == hi_at) data.push_back(a);
                std::vector<Access> want;
                if (wide_m(mode)) {
                    want = {{false, r.ea, 0x8F}, {false, hi_at, 0x4F},
                            {true, hi_at, uint8_t(op.wide_result >> 8)}, {true, r.ea, uint8_t(op.wide_result)}};
                    EXPECT_EQ(nvzc(ctx.cpu), op.wide_flags);
                } else {
                    want = {{false, r.ea, 0x8F}, {true, r.ea, op.narrow_result}};
                    EXPECT_EQ(nvzc(ctx.cpu), op.narrow_flags);
                }
                EXPECT_EQ(data, want);
                EXPECT_EQ(ctx.writes().size(), want.size() / 2);
                EXPECT_EQ(ctx.cpu.a, 0x1234);
            }
        }
    }
}

TEST(W65816Alu, AccumulatorShiftsAndIncrementsKeepTheHighByteAtEightBits) {
    const std::pair<uint8_t, const char*> acc_forms[] = {
        {0x0A, "ASL"}, {0x2A, "ROL"}, {0x4A, "LSR"}, {0x6A, "ROR"}, {0x1A, "INC"}, {0x3A, "DEC"}};
    for (auto [code, name] : acc_forms) {
        const RmwOutcome* op = nullptr;
        for (const RmwOutcome& o : kRmwOps)
            if (std::string(o.name) == name) op = &o;
        ASSERT_NE(op, nullptr);
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(code, mode));
            FlatCtx ctx;
            run_op(ctx, mode, 0xC5, 0x4F8F, {code, Addr::Implied}, 0);
            if (wide_m(mode)) {
                EXPECT_EQ(ctx.cpu.a, op->wide_result);
                EXPECT_EQ(nvzc(ctx.cpu), op->wide_flags);
            } else {
                EXPECT_EQ(ctx.cpu.a, 0x4F00 | op->narrow_result);
                EXPECT_EQ(nvzc(ctx.cpu), op->narrow_flags);
            }
            EXPECT_TRUE(ctx.writes().empty());
        }
    }
}

TEST(W65816Alu, ShiftsAndIncrementsSetZeroAndCarry) {
    FlatCtx ctx;
    run_op(ctx, Mode::M1X1, kI, 0x1280, {0x0A, Addr::Implied}, 0);  // ASL A: $80 -> $00, C = 1
    EXPECT_EQ(ctx.cpu.a, 0x1200);
    EXPECT_EQ(nvzc(ctx.cpu), 0b0011);
    run_op(ctx, Mode::M0X0, kI, 0x0001, {0x4A, Addr::Implied}, 0);  // LSR A: 1 -> 0, C = 1
    EXPECT_EQ(ctx.cpu.a, 0x0000);
    EXPECT_EQ(nvzc(ctx.cpu), 0b0011);
    run_op(ctx, Mode::M0X0, kI, 0x8000, {0x2A, Addr::Implied}, 0);  // ROL A with C = 0
    EXPECT_EQ(ctx.cpu.a, 0x0000);
    EXPECT_EQ(nvzc(ctx.cpu), 0b0011);
    run_op(ctx, Mode::M0X0, kI, 0xFFFF, {0x1A, Addr::Implied}, 0);  // INC A wraps
    EXPECT_EQ(ctx.cpu.a, 0x0000);
    EXPECT_EQ(nvzc(ctx.cpu), 0b0010);
    run_op(ctx, Mode::Emu, kI, 0x3400, {0x3A, Addr::Implied}, 0);  // DEC A: $00 -> $FF
    EXPECT_EQ(ctx.cpu.a, 0x34FF);
    EXPECT_EQ(nvzc(ctx.cpu), 0b1000);
    run_op(ctx, Mode::M1X1, kI, 0, {0xE6, Addr::Dp}, 0x00FF);  // INC dp: $FF -> $00
    EXPECT_EQ(ctx.peek(0x000320), 0x00);
    EXPECT_EQ(ctx.peek(0x000321), 0x00);
    EXPECT_EQ(nvzc(ctx.cpu), 0b0010);
}

TEST(W65816Alu, IndexIncrementsAndDecrementsWrapAtTheIndexWidth) {
    struct Case {
        uint8_t code;
        uint16_t CpuRegs::*reg;
        uint16_t wide_from, wide_to;
        int wide_flags;
        uint8_t narrow_from, narrow_to;
        int narrow_flags;
    };
    const Case cases[] = {
        {0xE8, &CpuRegs::x, 0x7FFF, 0x8000, 0b1000, 0xFF, 0x00, 0b0010},  // INX
        {0xC8, &CpuRegs::y, 0xFFFF, 0x0000, 0b0010, 0x7F, 0x80, 0b1000},  // INY
        {0xCA, &CpuRegs::x, 0x0000, 0xFFFF, 0b1000, 0x01, 0x00, 0b0010},  // DEX
        {0x88, &CpuRegs::y, 0x0100, 0x00FF, 0b0000, 0x00, 0xFF, 0b1000},  // DEY
    };
    for (const Case& k : cases) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(k.code, mode));
            const bool wide = wide_x(mode);
            FlatCtx ctx;
            run_op(ctx, mode, kI, 0x1234, {k.code, Addr::Implied}, 0,
                   [&](FlatCtx& c) { c.cpu.*k.reg = wide ? k.wide_from : k.narrow_from; });
            EXPECT_EQ(ctx.cpu.*k.reg, wide ? k.wide_to : k.narrow_to);
            EXPECT_EQ(nvzc(ctx.cpu), wide ? k.wide_flags : k.narrow_flags);
        }
    }
}

TEST(W65816Alu, TsbTrbSetZFromTheAndAndLeaveNAndV) {
    for (uint8_t nv : {0x00, 0xC0}) {
        FlatCtx ctx;
        run_op(ctx, Mode::M1X1, uint8_t(nv | kI), 0x000F, {0x04, Addr::Dp}, 0x00F0);  // TSB
        EXPECT_EQ(ctx.peek(0x000320), 0xFF);
        EXPECT_EQ(nvzc(ctx.cpu), (nv ? 0b1100 : 0) | 0b0010);
        run_op(ctx, Mode::M1X1, uint8_t(nv | kI), 0x000F, {0x14, Addr::Dp}, 0x00F0);  // TRB
        EXPECT_EQ(ctx.peek(0x000320), 0xF0);
        EXPECT_EQ(nvzc(ctx.cpu), (nv ? 0b1100 : 0) | 0b0010);
        run_op(ctx, Mode::M0X0, uint8_t(nv | kI), 0x8001, {0x1C, Addr::Abs}, 0xFFFF);  // TRB abs, 16-bit
        EXPECT_EQ(ctx.peek16(0x125678), 0x7FFE);
        EXPECT_EQ(nvzc(ctx.cpu), nv ? 0b1100 : 0);
    }
}

struct ArithCase {
    uint8_t code;  // $69 ADC # or $E9 SBC #
    Mode mode;
    uint8_t status;  // N V D I Z C on entry
    uint16_t a, operand;
    uint16_t result;
    int flags;  // 0bNVZC after
    bool check_v = true;
};

void run_arith(const ArithCase& k) {
    FlatCtx ctx;
    RunResult r = run_op(ctx, k.mode, k.status, k.a, {k.code, Addr::ImmM}, k.operand);
    std::ostringstream what;
    what << (k.code == 0x69 ? "ADC " : "SBC ") << std::hex << k.a << ", " << k.operand << " in "
         << mode_name(k.mode) << " status " << int(k.status);
    SCOPED_TRACE(what.str());
    EXPECT_EQ(ctx.cpu.a, k.result);
    if (k.check_v) {
        EXPECT_EQ(nvzc(ctx.cpu), k.flags);
    } else {
        EXPECT_EQ(nvzc(ctx.cpu) & 0b1011, k.flags & 0b1011);
    }
    EXPECT_EQ(r.cost, wide_m(k.mode) ? 9 : 6);
}

TEST(W65816Alu, BinaryAdditionCarryAndOverflow) {
    const ArithCase cases[] = {
        {0x69, Mode::M1X1, kI, 0x007F, 0x01, 0x0080, 0b1100},
        {0x69, Mode::M1X1, kI, 0x0080, 0x80, 0x0000, 0b0111},
        {0x69, Mode::Emu, kI | 1, 0x00FF, 0x00, 0x0000, 0b0011},
        {0x69, Mode::Emu, kI | 1, 0x00FF, 0xFF, 0x00FF, 0b1001},
        {0x69, Mode::M1X0, kI, 0xAB80, 0x7F, 0xABFF, 0b1000},
        {0x69, Mode::M0X0, kI, 0x7FFF, 0x0001, 0x8000, 0b1100},
        {0x69, Mode::M0X1, kI, 0xFFFF, 0x0001, 0x0000, 0b0011},
        {0x69, Mode::M0X0, kI | 1, 0x1234, 0x4321, 0x5556, 0b0000},
        {0x69, Mode::M0X0, kI, 0x8000, 0x8000, 0x0000, 0b0111},
        {0x69, Mode::M0X0, kI, 0x00FF, 0x0001, 0x0100, 0b0000},  // carries into the high byte
    };
    for (const ArithCase& k : cases) run_arith(k);
}

TEST(W65816Alu, BinarySubtractionBorrowAndOverflow) {
    const ArithCase cases[] = {
        // SBC #$0001 with A = 0, C = 1, 16-bit: $FFFF, C = 0, N = 1, 3 cycles.
        {0xE9, Mode::M0X0, kI | 1, 0x0000, 0x0001, 0xFFFF, 0b1000},
        {0xE9, Mode::M1X1, kI | 1, 0x0080, 0x01, 0x007F, 0b0101},
        {0xE9, Mode::M1X1, kI | 1, 0x0000, 0x01, 0x00FF, 0b1000},
        {0xE9, Mode::Emu, kI, 0x0000, 0x00, 0x00FF, 0b1000},  // C = 0 borrows one more
        {0xE9, Mode::Emu, kI | 1, 0x007F, 0xFF, 0x0080, 0b1100},
        {0xE9, Mode::M1X0, kI | 1, 0x5555, 0x55, 0x5500, 0b0011},
        {0xE9, Mode::M0X1, kI | 1, 0x8000, 0x0001, 0x7FFF, 0b0101},
        {0xE9, Mode::M0X0, kI | 1, 0x1000, 0x0001, 0x0FFF, 0b0001},  // borrows from the high byte
        {0xE9, Mode::M0X0, kI | 1, 0x7FFF, 0xFFFF, 0x8000, 0b1100},
    };
    for (const ArithCase& k : cases) run_arith(k);
}

// Decimal mode: V is not fixed by the console's documentation, so only N, Z
// and C are compared.
TEST(W65816Alu, DecimalAdditionAtBothWidths) {
    const uint8_t d = kI | kD;
    const ArithCase cases[] = {
        {0x69, Mode::M1X1, d, 0x0009, 0x01, 0x0010, 0b0000, false},
        {0x69, Mode::M1X1, d, 0x0099, 0x01, 0x0000, 0b0011, false},
        {0x69, Mode::M1X1, d, 0x0015, 0x27, 0x0042, 0b0000, false},
        {0x69, Mode::M1X1, d | 1, 0x0058, 0x46, 0x0005, 0b0001, false},
        {0x69, Mode::M1X1, d, 0x0099, 0x99, 0x0098, 0b1001, false},
        {0x69, Mode::M1X1, d, 0x0050, 0x50, 0x0000, 0b0011, false},
        {0x69, Mode::Emu, d | 1, 0x0012, 0x34, 0x0047, 0b0000, false},
        {0x69, Mode::Emu, d, 0x0000, 0x00, 0x0000, 0b0010, false},
        {0x69, Mode::Emu, d | 1, 0x0079, 0x00, 0x0080, 0b1000, false},
        {0x69, Mode::M1X0, d, 0x5A09, 0x01, 0x5A10, 0b0000, false},  // B kept
        {0x69, Mode::M0X0, d, 0x0999, 0x0001, 0x1000, 0b0000, false},
        {0x69, Mode::M0X0, d, 0x9999, 0x0001, 0x0000, 0b0011, false},
        {0x69, Mode::M0X1, d, 0x1234, 0x5678, 0x6912, 0b0000, false},
        {0x69, Mode::M0X1, d, 0x4999, 0x5001, 0x0000, 0b0011, false},
        {0x69, Mode::M0X0, d, 0x0050, 0x0050, 0x0100, 0b0000, false},
        {0x69, Mode::M0X0, d, 0x9999, 0x9999, 0x9998, 0b1001, false},
        {0x69, Mode::M0X0, d | 1, 0x0000, 0x0000, 0x0001, 0b0000, false},
    };
    for (const ArithCase& k : cases) run_arith(k);
}

TEST(W65816Alu, DecimalSubtractionAtBothWidths) {
    const uint8_t d = kI | kD;
    const ArithCase cases[] = {
        {0xE9, Mode::M1X1, d | 1, 0x0010, 0x01, 0x0009, 0b0001, false},
        {0xE9, Mode::M1X1, d | 1, 0x0000, 0x01, 0x0099, 0b1000, false},
        {0xE9, Mode::M1X1, d | 1, 0x0046, 0x12, 0x0034, 0b0001, false},
        {0xE9, Mode::M1X1, d | 1, 0x0040, 0x13, 0x0027, 0b0001, false},
        {0xE9, Mode::Emu, d, 0x0032, 0x02, 0x0029, 0b0001, false},
        {0xE9, Mode::Emu, d | 1, 0x0012, 0x21, 0x0091, 0b1000, false},
        {0xE9, Mode::Emu, d | 1, 0x0050, 0x50, 0x0000, 0b0011, false},
        {0xE9, Mode::M0X0, d | 1, 0x1000, 0x0001, 0x0999, 0b0001, false},
        {0xE9, Mode::M0X0, d | 1, 0x0000, 0x0001, 0x9999, 0b1000, false},
        {0xE9, Mode::M0X1, d | 1, 0x5000, 0x1234, 0x3766, 0b0001, false},
        {0xE9, Mode::M0X1, d | 1, 0x0100, 0x0001, 0x0099, 0b0001, false},
        {0xE9, Mode::M0X0, d | 1, 0x1234, 0x1234, 0x0000, 0b0011, false},
        {0xE9, Mode::M0X0, d, 0x2000, 0x0999, 0x1000, 0b0001, false},
    };
    for (const ArithCase& k : cases) run_arith(k);
}

// Decimal mode, every flag, worked out by hand digit by digit, low digit
// first: a digit sum above 9 gets 6 added and carries; a digit that borrows
// gets 6 taken off. Digits above 9 in the operands take the same steps (the
// chip has no other rule for them). V is the signed overflow of the value
// before the top digit's adjustment: for SBC that is the binary V.
TEST(W65816Alu, DecimalResultsAndAllFlagsIncludingInvalidDigits) {
    const uint8_t d = kI | kD;
    const ArithCase cases[] = {
        // ADC, 8-bit
        {0x69, Mode::M1X1, d | 1, 0x0058, 0x46, 0x0005, 0b0101},  // 8+6+1: 5 carry; 5+4+1 = 10: $A5 overflows
        {0x69, Mode::M1X1, d, 0x0099, 0x01, 0x0000, 0b0011},
        {0x69, Mode::Emu, d | 1, 0x0079, 0x00, 0x0080, 0b1100},
        {0x69, Mode::M1X1, d, 0x008F, 0x05, 0x009A, 0b1000},      // F+5 = 20: A, carry; 8+1 = 9
        {0x69, Mode::M1X1, d | 1, 0x00FF, 0xFF, 0x0055, 0b0001},  // F+F+1 = 31: 5 carry, twice
        {0x69, Mode::Emu, d, 0x000A, 0x00, 0x0010, 0b0000},
        {0x69, Mode::M1X0, d, 0x009A, 0x00, 0x0000, 0b0011},
        {0x69, Mode::M1X1, d, 0x0050, 0x50, 0x0000, 0b0111},      // $A0 before adjustment: V
        // ADC, 16-bit
        {0x69, Mode::M0X0, d, 0x0999, 0x0001, 0x1000, 0b0000},
        {0x69, Mode::M0X1, d, 0x9999, 0x0001, 0x0000, 0b0011},
        {0x69, Mode::M0X0, d, 0x4999, 0x5001, 0x0000, 0b0111},    // $A000 before the top adjustment
        {0x69, Mode::M0X0, d, 0x1234, 0x5678, 0x6912, 0b0000},
        {0x69, Mode::M0X0, d, 0x00FF, 0x0001, 0x0166, 0b0000},    // F+1 twice: 6 and 6, carries
        {0x69, Mode::M0X1, d, 0x7FFF, 0x0000, 0x8665, 0b1100},
        // SBC, 8-bit
        {0xE9, Mode::M1X1, d | 1, 0x0046, 0x12, 0x0034, 0b0001},
        {0xE9, Mode::M1X1, d | 1, 0x0040, 0x13, 0x0027, 0b0001},
        {0xE9, Mode::Emu, d | 1, 0x0000, 0x01, 0x0099, 0b1000},
        {0xE9, Mode::M1X1, d | 1, 0x0020, 0x0F, 0x001B, 0b0001},  // 0-F borrows: B; 2-0-1 = 1
        {0xE9, Mode::M1X1, d | 1, 0x00AA, 0x00, 0x00AA, 0b1001},  // no borrow: no adjustment
        {0xE9, Mode::M1X0, d | 1, 0x0080, 0x01, 0x0079, 0b0101},
        {0xE9, Mode::Emu, d, 0x0000, 0x00, 0x0099, 0b1000},
        {0xE9, Mode::M1X1, d | 1, 0x001F, 0x00, 0x001F, 0b0001},
        // SBC, 16-bit
        {0xE9, Mode::M0X0, d | 1, 0x1000, 0x0001, 0x0999, 0b0001},
        {0xE9, Mode::M0X0, d | 1, 0x0000, 0x0001, 0x9999, 0b1000},
        {0xE9, Mode::M0X1, d | 1, 0x0100, 0x0001, 0x0099, 0b0001},
        {0xE9, Mode::M0X0, d | 1, 0x8000, 0x0001, 0x7999, 0b0101},
        {0xE9, Mode::M0X0, d | 1, 0x2000, 0x00FF, 0x19AB, 0b0001},  // 0-F: B; 0-F-1: A; 0-0-1: 9; 2-0-1
        {0xE9, Mode::M0X1, d | 1, 0x1234, 0x1234, 0x0000, 0b0011},
    };
    for (const ArithCase& k : cases) run_arith(k);
}

// Published description of decimal addition on this family of chips, one
// byte at a time (the high byte takes the carry of the low byte): the low
// digit is adjusted and forced to carry, the high digits are added with it,
// V is the signed overflow of that sum, then $60 is added at $A0 or above.
struct ByteResult {
    int value, carry, v;
};
ByteResult published_adc_byte(int a, int b, int c) {
    int al = (a & 0x0F) + (b & 0x0F) + c;
    if (al >= 0x0A) al = ((al + 0x06) & 0x0F) + 0x10;
    int sum = (a & 0xF0) + (b & 0xF0) + al;
    int signed_sum = int8_t(a & 0xF0) + int8_t(b & 0xF0) + al;
    int v = signed_sum < -128 || signed_sum > 127;
    if (sum >= 0xA0) sum += 0x60;
    return {sum & 0xFF, sum >= 0x100, v};
}

// Decimal subtraction: a borrowing low digit is adjusted by 6 and forced to
// borrow; the high digits follow; $60 comes off when the whole byte borrowed.
ByteResult published_sbc_byte(int a, int b, int c) {
    int al = (a & 0x0F) - (b & 0x0F) + c - 1;
    if (al < 0) al = ((al - 0x06) & 0x0F) - 0x10;
    int diff = (a & 0xF0) - (b & 0xF0) + al;
    if (diff < 0) diff -= 0x60;
    int binary = a - b - (1 - c);
    int signed_diff = int8_t(a) - int8_t(b) - (1 - c);
    return {diff & 0xFF, binary >= 0, signed_diff < -128 || signed_diff > 127};
}

TEST(W65816Alu, DecimalAgreesWithThePublishedDescriptionForEveryByte) {
    for (bool sbc : {false, true}) {
        for (int c = 0; c < 2; c++) {
            FlatCtx ctx;
            ctx.enter_mode(Mode::M1X1, uint8_t(kI | kD | c));
            for (int a = 0; a < 256; a++) {
                for (int b = 0; b < 256; b++) {
                    ctx.cpu.a = uint16_t(a);
                    ctx.cpu.c = uint8_t(c);
                    ctx.load_code(0x00, 0x8000, {uint8_t(sbc ? 0xE9 : 0x69), uint8_t(b)});
                    ctx.step();
                    ByteResult want = sbc ? published_sbc_byte(a, b, c) : published_adc_byte(a, b, c);
                    const int flags = ((want.value & 0x80) ? 8 : 0) | (want.v << 2) | (want.value == 0 ? 2 : 0) | want.carry;
                    ASSERT_EQ(ctx.cpu.a, want.value) << (sbc ? "SBC " : "ADC ") << a << ", " << b << ", c=" << c;
                    ASSERT_EQ(nvzc(ctx.cpu), flags) << (sbc ? "SBC " : "ADC ") << a << ", " << b << ", c=" << c;
                }
            }
        }
    }
}

// 16 bits are two bytes of the above, the high byte taking the low byte's
// carry; N, V and Z come from the high byte and the whole result.
TEST(W65816Alu, SixteenBitDecimalIsTwoBytesChained) {
    const uint16_t samples[] = {0x0000, 0x0001, 0x0009, 0x000F, 0x0099, 0x00FF, 0x0999, 0x0F0F, 0x1234, 0x4999,
                                0x5000, 0x7FFF, 0x8000, 0x9999, 0x99A0, 0xA0A0, 0xF00F, 0xFFFF};
    for (bool sbc : {false, true}) {
        for (int c = 0; c < 2; c++) {
            for (uint16_t a : samples) {
                for (uint16_t b : samples) {
                    FlatCtx ctx;
                    ctx.enter_mode(Mode::M0X0, uint8_t(kI | kD | c));
                    ctx.cpu.a = a;
                    ctx.load_code(0x00, 0x8000, {uint8_t(sbc ? 0xE9 : 0x69), uint8_t(b), uint8_t(b >> 8)});
                    ctx.step();
                    auto byte = sbc ? published_sbc_byte : published_adc_byte;
                    ByteResult lo = byte(a & 0xFF, b & 0xFF, c);
                    ByteResult hi = byte(a >> 8, b >> 8, lo.carry);
                    const uint16_t value = uint16_t(hi.value << 8 | lo.value);
                    const int flags = ((value & 0x8000) ? 8 : 0) | (hi.v << 2) | (value == 0 ? 2 : 0) | hi.carry;
                    ASSERT_EQ(ctx.cpu.a, value) << (sbc ? "SBC " : "ADC ") << a << ", " << b << ", c=" << c;
                    ASSERT_EQ(nvzc(ctx.cpu), flags) << (sbc ? "SBC " : "ADC ") << a << ", " << b << ", c=" << c;
                }
            }
        }
    }
}

}  // namespace
}  // namespace vt::test
