// Jumps, calls, returns and branches: targets, what they push and pull, and
// their cost in every mode.
#include <gtest/gtest.h>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint8_t kI = 0x04;

TEST(W65816Jump, JumpsGoToTheirTargets) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        // JMP $9000: within the program bank
        RunResult r = run_op(ctx, mode, kI, 0, {0x4C, Addr::AbsJump}, 0x9000);
        EXPECT_EQ(ctx.pc24(), 0x059000u);
        EXPECT_EQ(r.cost, 9);
        // JML $34:9000
        r = run_op(ctx, mode, kI, 0, {0x5C, Addr::LongJump}, 0x9000);
        EXPECT_EQ(ctx.pc24(), 0x349000u);
        EXPECT_EQ(r.cost, 12);
        // JMP ($9000): pointer in bank 0, the program bank stays
        r = run_op(ctx, mode, kI, 0, {0x6C, Addr::AbsInd}, 0x9000, [](FlatCtx& c) {
            c.poke16(0x009000, 0xA1B2);
            c.poke16(0x059000, 0xDEAD);
        });
        EXPECT_EQ(ctx.pc24(), 0x05A1B2u);
        EXPECT_EQ(r.cost, 15);
        // JMP ($9000,X): pointer in the program bank at $9000 + X
        r = run_op(ctx, mode, kI, 0, {0x7C, Addr::AbsXInd}, 0x9000, [](FlatCtx& c) {
            c.poke16(0x059004, 0xC3D4);
            c.poke16(0x009004, 0xDEAD);
        });
        EXPECT_EQ(ctx.pc24(), 0x05C3D4u);
        EXPECT_EQ(r.cost, 18);
        // JML [$9000]: three pointer bytes in bank 0
        r = run_op(ctx, mode, kI, 0, {0xDC, Addr::AbsIndLong}, 0x9000, [](FlatCtx& c) { c.poke24(0x009000, 0x7AE5F6); });
        EXPECT_EQ(ctx.pc24(), 0x7AE5F6u);
        EXPECT_EQ(r.cost, 18);
        EXPECT_EQ(ctx.cpu.s, layout::kS);
        EXPECT_TRUE(ctx.writes().empty());
    }
}

TEST(W65816Jump, IndexedIndirectPointerWrapsWithinTheBank) {
    FlatCtx ctx;
    run_op(ctx, Mode::M1X0, kI, 0, {0x7C, Addr::AbsXInd}, 0xFFFE, [](FlatCtx& c) {
        c.cpu.x = 0x0003;  // $FFFE + 3 = $0001 in the same bank
        c.poke16(0x050001, 0x4321);
    });
    EXPECT_EQ(ctx.pc24(), 0x054321u);
    // The pointer's second byte also stays in the bank.
    run_op(ctx, Mode::M1X0, kI, 0, {0x7C, Addr::AbsXInd}, 0xFFFB, [](FlatCtx& c) {
        c.poke(0x05FFFF, {0x21});
        c.poke(0x050000, {0x43});
    });
    EXPECT_EQ(ctx.pc24(), 0x054321u);
}

TEST(W65816Jump, CallsPushTheAddressOfTheirLastByte) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        // JSR $9000 at $05:8000 pushes $8002.
        RunResult r = run_op(ctx, mode, kI, 0, {0x20, Addr::AbsJump}, 0x9000);
        EXPECT_EQ(ctx.pc24(), 0x059000u);
        EXPECT_EQ(r.cost, 18);
        EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x0001F0, 0x80}, {true, 0x0001EF, 0x02}}));
        EXPECT_EQ(ctx.cpu.s, 0x01EE);
        // JSR ($9000,X) pushes $8002, then reads the pointer from the program bank.
        r = run_op(ctx, mode, kI, 0, {0xFC, Addr::AbsXInd}, 0x9000, [](FlatCtx& c) { c.poke16(0x059004, 0xA000); });
        EXPECT_EQ(ctx.pc24(), 0x05A000u);
        EXPECT_EQ(r.cost, 24);
        EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x0001F0, 0x80}, {true, 0x0001EF, 0x02}}));
        ASSERT_GE(ctx.log.size(), 2u);
        EXPECT_EQ(ctx.log[ctx.log.size() - 2], (Access{false, 0x059004, 0x00}));  // pointer read last
        // JSL $34:9000 pushes the bank, then $8003.
        r = run_op(ctx, mode, kI, 0, {0x22, Addr::LongJump}, 0x9000);
        EXPECT_EQ(ctx.pc24(), 0x349000u);
        EXPECT_EQ(r.cost, 24);
        EXPECT_EQ(ctx.writes(),
                  (std::vector<Access>{{true, 0x0001F0, 0x05}, {true, 0x0001EF, 0x80}, {true, 0x0001EE, 0x03}}));
        EXPECT_EQ(ctx.cpu.s, 0x01ED);
    }
}

TEST(W65816Jump, ReturnsPullAndAddOne) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        auto stack = [](FlatCtx& c) { c.poke(0x0001F1, {0x02, 0x80, 0x07, 0x99}); };
        RunResult r = run_op(ctx, mode, kI, 0, {0x60, Addr::Implied}, 0, stack);  // RTS
        EXPECT_EQ(ctx.pc24(), 0x058003u);
        EXPECT_EQ(ctx.cpu.s, 0x01F2);
        EXPECT_EQ(r.cost, 18);
        r = run_op(ctx, mode, kI, 0, {0x6B, Addr::Implied}, 0, stack);  // RTL
        EXPECT_EQ(ctx.pc24(), 0x078003u);
        EXPECT_EQ(ctx.cpu.s, 0x01F3);
        EXPECT_EQ(r.cost, 18);
        // RTS from $FFFF wraps to $0000 of the same bank.
        r = run_op(ctx, mode, kI, 0, {0x60, Addr::Implied}, 0, [](FlatCtx& c) { c.poke(0x0001F1, {0xFF, 0xFF}); });
        EXPECT_EQ(ctx.pc24(), 0x050000u);
    }
}

TEST(W65816Jump, RtiPullsStatusPcAndInNativeModeTheBank) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        // Status $C3 keeps the widths of the native quarter being tested.
        const uint8_t status = uint8_t(0xC3 | (wide_m(mode) ? 0 : 0x20) | (wide_x(mode) ? 0 : 0x10));
        RunResult r = run_op(ctx, mode, kI, 0, {0x40, Addr::Implied}, 0,
                             [&](FlatCtx& c) { c.poke(0x0001F1, {status, 0x34, 0x12, 0x07}); });
        EXPECT_EQ(nvzc(ctx.cpu), 0b1111);
        EXPECT_EQ(ctx.cpu.irq_mask, 3);  // I clear in the pulled status
        if (is_emu(mode)) {
            EXPECT_EQ(ctx.pc24(), 0x051234u);
            EXPECT_EQ(ctx.cpu.s, 0x01F3);
            EXPECT_EQ(r.cost, 18);
        } else {
            EXPECT_EQ(ctx.pc24(), 0x071234u);
            EXPECT_EQ(ctx.cpu.s, 0x01F4);
            EXPECT_EQ(r.cost, 21);
            EXPECT_EQ(ctx.status(), status);
        }
    }
}

struct BranchCase {
    uint8_t code;
    uint8_t taken_flags;  // a status that makes it branch
};
const BranchCase kBranches[] = {
    {0x10, 0x00}, {0x30, 0x80}, {0x50, 0x00}, {0x70, 0x40}, {0x90, 0x00},
    {0xB0, 0x01}, {0xD0, 0x00}, {0xF0, 0x02}, {0x80, 0x00}, {0x80, 0xC3},
};

TEST(W65816Branch, TakenBranchesCostOneMore) {
    for (const BranchCase& b : kBranches) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(b.code, mode));
            FlatCtx ctx;
            RunResult r = run_op(ctx, mode, uint8_t(b.taken_flags | kI), 0, {b.code, Addr::Rel8}, 0x40);
            EXPECT_EQ(ctx.pc24(), 0x058042u);
            EXPECT_EQ(r.cost, 9);
            r = run_op(ctx, mode, uint8_t(b.taken_flags | kI), 0, {b.code, Addr::Rel8}, 0xFE);  // branch to itself
            EXPECT_EQ(ctx.pc24(), 0x058000u);
            EXPECT_EQ(r.cost, 9);
        }
    }
}

// Emulation mode charges a cycle more when the target's page differs from
// the page of the branch's operand byte.
TEST(W65816Branch, PageCrossingCostsOneMoreOnlyInEmulationMode) {
    struct Case {
        uint16_t at;  // address of the branch opcode
        uint8_t offset;
        uint16_t target;
        bool crosses;
    };
    const Case cases[] = {
        {0x80F0, 0x20, 0x8112, true},    // forward into the next page
        {0x8010, 0xE0, 0x7FF2, true},    // backward into the previous page
        {0x8010, 0x10, 0x8022, false},
        // The page is that of the next instruction, not of the operand byte.
        {0x80FE, 0x00, 0x8100, false},   // next instruction at $8100, target $8100
        {0x80FE, 0xFE, 0x80FE, true},    // from $8100 back to $80FE
        {0x80FD, 0x00, 0x80FF, false},
        {0x80FD, 0x01, 0x8100, true},
    };
    for (const Case& k : cases) {
        for (Mode mode : kAllModes) {
            for (uint8_t code : {0x80, 0xD0}) {
                SCOPED_TRACE(describe(code, mode) + " at " + std::to_string(k.at));
                FlatCtx ctx;
                ctx.enter_mode(mode, kI);
                ctx.load_code(0x05, k.at, {code, k.offset});
                int cost = ctx.step();
                EXPECT_EQ(ctx.cpu.pc, k.target);
                EXPECT_EQ(cost, (k.crosses && is_emu(mode)) ? 12 : 9);
            }
        }
    }
}

TEST(W65816Branch, BranchesStayInTheProgramBank) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu, kI);
    ctx.load_code(0x05, 0xFFF0, {0x80, 0x20});  // BRA: $FFF2 + $20 wraps to $0012
    ctx.step();
    EXPECT_EQ(ctx.pc24(), 0x050012u);
    ctx.load_code(0x05, 0x0004, {0xF0, 0xF0});  // BEQ back past $0000
    ctx.cpu.z = 1;
    ctx.step();
    EXPECT_EQ(ctx.pc24(), 0x05FFF6u);
}

TEST(W65816Branch, BrlAddsSixteenBitOffsetWithinTheBank) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        RunResult r = run_op(ctx, mode, kI, 0, {0x82, Addr::Rel16}, 0x1000);
        EXPECT_EQ(ctx.pc24(), 0x059003u);
        EXPECT_EQ(r.cost, 12);
        r = run_op(ctx, mode, kI, 0, {0x82, Addr::Rel16}, 0xFFFD);  // to itself
        EXPECT_EQ(ctx.pc24(), 0x058000u);
        // Past $FFFF: wraps to the start of the same bank.
        ctx.enter_mode(mode, kI);
        ctx.load_code(0x05, 0xFFF0, {0x82, 0x20, 0x00});
        EXPECT_EQ(ctx.step(), 12);
        EXPECT_EQ(ctx.pc24(), 0x050013u);
    }
}

}  // namespace
}  // namespace vt::test
