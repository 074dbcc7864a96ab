// Register transfers, flag instructions and the width and mode changes made
// by REP, SEP, PLP, RTI and XCE.
#include <gtest/gtest.h>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint8_t kI = 0x04;

// Runs an implied-mode opcode in `mode` after `setup`.
template <class Setup>
int run_implied(FlatCtx& ctx, Mode mode, uint8_t flags, uint8_t code, Setup setup) {
    return run_op(ctx, mode, flags, ctx.cpu.a, {code, Addr::Implied}, 0, setup).cost;
}

TEST(W65816Transfer, AccumulatorToIndexUsesTheIndexWidth) {
    for (uint8_t code : {0xAA, 0xA8}) {  // TAX, TAY
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(code, mode));
            FlatCtx ctx;
            run_implied(ctx, mode, kI, code, [](FlatCtx& c) { c.cpu.a = 0x8D12; });
            const uint16_t got = code == 0xAA ? ctx.cpu.x : ctx.cpu.y;
            // With 16-bit index registers the whole of A, B included, is copied.
            EXPECT_EQ(got, wide_x(mode) ? 0x8D12 : 0x0012);
            EXPECT_EQ(ctx.cpu.n, wide_x(mode) ? 1 : 0);
            EXPECT_EQ(ctx.cpu.a, 0x8D12);
        }
    }
}

TEST(W65816Transfer, IndexToAccumulatorUsesTheAccumulatorWidth) {
    for (uint8_t code : {0x8A, 0x98}) {  // TXA, TYA
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(code, mode));
            FlatCtx ctx;
            run_implied(ctx, mode, kI, code, [&](FlatCtx& c) {
                c.cpu.a = 0x5634;
                (code == 0x8A ? c.cpu.x : c.cpu.y) = wide_x(mode) ? 0x8D92 : 0x0092;
            });
            uint16_t want;
            if (!wide_m(mode)) want = 0x5692;   // B kept
            else if (wide_x(mode)) want = 0x8D92;
            else want = 0x0092;                  // the 8-bit index has a zero high byte
            EXPECT_EQ(ctx.cpu.a, want);
            EXPECT_EQ(ctx.cpu.n, want == 0x0092 ? 0 : 1);
            EXPECT_EQ(ctx.cpu.z, 0);
        }
    }
}

TEST(W65816Transfer, IndexToIndexAndStackToIndex) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        run_implied(ctx, mode, kI, 0x9B, [&](FlatCtx& c) { c.cpu.x = wide_x(mode) ? 0x8001 : 0x80; });  // TXY
        EXPECT_EQ(ctx.cpu.y, wide_x(mode) ? 0x8001 : 0x0080);
        EXPECT_EQ(ctx.cpu.n, 1);
        run_implied(ctx, mode, kI, 0xBB, [&](FlatCtx& c) { c.cpu.y = 0; });  // TYX
        EXPECT_EQ(ctx.cpu.x, 0);
        EXPECT_EQ(ctx.cpu.z, 1);
        run_implied(ctx, mode, kI, 0xBA, [](FlatCtx&) {});  // TSX with S = $01F0
        EXPECT_EQ(ctx.cpu.x, wide_x(mode) ? 0x01F0 : 0x00F0);
        EXPECT_EQ(ctx.cpu.n, wide_x(mode) ? 0 : 1);
        EXPECT_EQ(ctx.cpu.s, 0x01F0);
    }
}

TEST(W65816Transfer, TxsAndTcsSetTheStackWithoutFlags) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        run_implied(ctx, mode, 0xC7, 0x9A, [&](FlatCtx& c) { c.cpu.x = wide_x(mode) ? 0x1234 : 0x34; });  // TXS
        if (is_emu(mode)) EXPECT_EQ(ctx.cpu.s, 0x0134);  // only the low byte in emulation mode
        else EXPECT_EQ(ctx.cpu.s, wide_x(mode) ? 0x1234 : 0x0034);
        EXPECT_EQ(nvzc(ctx.cpu), 0b1111);
        run_implied(ctx, mode, 0x04, 0x1B, [](FlatCtx& c) { c.cpu.a = 0x1234; });  // TCS, whatever M
        EXPECT_EQ(ctx.cpu.s, is_emu(mode) ? 0x0134 : 0x1234);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0000);
    }
}

TEST(W65816Transfer, SixteenBitTransfersIgnoreTheWidths) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        run_implied(ctx, mode, kI, 0x3B, [](FlatCtx& c) { c.cpu.a = 0xFFFF; });  // TSC: S = $01F0, high byte 1
        EXPECT_EQ(ctx.cpu.a, 0x01F0);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0000);
        run_implied(ctx, mode, kI, 0x5B, [](FlatCtx& c) { c.cpu.a = 0x8000; });  // TCD
        EXPECT_EQ(ctx.cpu.d, 0x8000);
        EXPECT_EQ(nvzc(ctx.cpu), 0b1000);
        run_implied(ctx, mode, kI, 0x7B, [](FlatCtx& c) {  // TDC clears B too
            c.cpu.a = 0xFFFF;
            c.cpu.d = 0x0000;
        });
        EXPECT_EQ(ctx.cpu.a, 0x0000);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0010);
        run_implied(ctx, mode, kI, 0x7B, [](FlatCtx& c) { c.cpu.d = 0x00FF; });  // 16-bit N and Z
        EXPECT_EQ(ctx.cpu.a, 0x00FF);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0000);
    }
    FlatCtx ctx;  // TSC with a native stack in the upper half: N from bit 15
    run_implied(ctx, Mode::M1X1, kI, 0x3B, [](FlatCtx& c) { c.cpu.s = 0x8000; });
    EXPECT_EQ(ctx.cpu.a, 0x8000);
    EXPECT_EQ(ctx.cpu.n, 1);
}

TEST(W65816Transfer, XbaSwapsAndFlagsTheNewLowByte) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        EXPECT_EQ(run_implied(ctx, mode, kI, 0xEB, [](FlatCtx& c) { c.cpu.a = 0x12F0; }), 9);
        EXPECT_EQ(ctx.cpu.a, 0xF012);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0000);
        run_implied(ctx, mode, kI, 0xEB, [](FlatCtx& c) { c.cpu.a = 0x0080; });
        EXPECT_EQ(ctx.cpu.a, 0x8000);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0010);  // low byte 0, its bit 7 clear
        run_implied(ctx, mode, kI, 0xEB, [](FlatCtx& c) { c.cpu.a = 0x8000; });
        EXPECT_EQ(nvzc(ctx.cpu), 0b1000);
    }
}

TEST(W65816Flags, SetAndClearInstructions) {
    struct Case {
        uint8_t code;
        uint8_t before, after;  // full status byte apart from M and X
    };
    const Case cases[] = {
        {0x18, 0xCF, 0xCE}, {0x38, 0x04, 0x05},  // CLC SEC
        {0xB8, 0xCF, 0x8F}, {0xD8, 0xCF, 0xC7},  // CLV CLD
        {0xF8, 0x04, 0x0C}, {0x78, 0x00, 0x04},  // SED SEI
        {0x58, 0xCF, 0xCB},                       // CLI
    };
    for (const Case& k : cases) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(k.code, mode));
            FlatCtx ctx;
            run_implied(ctx, mode, k.before, k.code, [](FlatCtx&) {});
            EXPECT_EQ(ctx.status() & 0xCF, k.after);
            EXPECT_EQ(ctx.cpu.irq_mask, (k.after & kI) ? 0 : 3);
        }
    }
}

TEST(W65816Flags, RepAndSepChangeFlagsAndTheIrqMask) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        run_op(ctx, mode, 0xCF, 0, {0xC2, Addr::Imm8}, 0xCF);  // REP #$CF
        EXPECT_EQ(ctx.status() & 0xCF, 0x00);
        EXPECT_EQ(ctx.cpu.irq_mask, 3);
        run_op(ctx, mode, 0x00, 0, {0xE2, Addr::Imm8}, 0xCF);  // SEP #$CF
        EXPECT_EQ(ctx.status() & 0xCF, 0xCF);
        EXPECT_EQ(ctx.cpu.irq_mask, 0);
        run_op(ctx, mode, 0x00, 0, {0xE2, Addr::Imm8}, 0x01);  // SEP #$01 leaves the rest
        EXPECT_EQ(ctx.status() & 0xCF, 0x01);
        EXPECT_EQ(ctx.cpu.irq_mask, 3);
    }
}

// Runs LDA #, LDX # and LDY # after the first step and returns their lengths,
// which show the widths the core now executes with.
struct Widths {
    int a, x;
};
Widths executed_widths(FlatCtx& ctx) {
    const uint32_t at = ctx.pc24();
    ctx.poke(at, {0xA9, 0x11, 0x22, 0x33});
    ctx.step();
    int a = ctx.cpu.pc - uint16_t(at) - 1;
    const uint32_t at2 = ctx.pc24();
    ctx.poke(at2, {0xA2, 0x44, 0x55, 0x66});
    ctx.step();
    int x = ctx.cpu.pc - uint16_t(at2) - 1;
    return {a, x};
}

TEST(W65816Modes, RepAndSepSwitchWidthsInNativeMode) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M1X1);
    ctx.cpu.a = 0xAB00;
    ctx.load_code(0x00, 0x8000, {0xC2, 0x30});  // REP #$30
    ctx.step();
    Widths w = executed_widths(ctx);
    EXPECT_EQ(w.a, 2);
    EXPECT_EQ(w.x, 2);
    EXPECT_EQ(ctx.cpu.a, 0x2211);
    EXPECT_EQ(ctx.cpu.x, 0x5544);

    ctx.cpu.y = 0x1234;
    ctx.poke(ctx.pc24(), {0xE2, 0x10});  // SEP #$10 drops the index high bytes
    ctx.step();
    EXPECT_EQ(ctx.cpu.x, 0x0044);
    EXPECT_EQ(ctx.cpu.y, 0x0034);
    w = executed_widths(ctx);
    EXPECT_EQ(w.a, 2);
    EXPECT_EQ(w.x, 1);

    ctx.poke(ctx.pc24(), {0xE2, 0x20, 0xC2, 0x10});  // SEP #$20, REP #$10
    ctx.step();
    EXPECT_EQ(ctx.cpu.a, 0x2211);  // B stays
    ctx.step();
    w = executed_widths(ctx);
    EXPECT_EQ(w.a, 1);
    EXPECT_EQ(w.x, 2);
    EXPECT_EQ(ctx.cpu.a, 0x2211);
}

// M and X cannot be cleared in emulation mode (more in the emulation tests).
TEST(W65816Modes, RepAndSepInEmulationKeepEightBitRegisters) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu);
    ctx.load_code(0x00, 0x8000, {0xC2, 0x30});  // REP #$30
    ctx.step();
    EXPECT_EQ(ctx.status() & 0x30, 0x30);
    Widths w = executed_widths(ctx);
    EXPECT_EQ(w.a, 1);
    EXPECT_EQ(w.x, 1);
    ctx.poke(ctx.pc24(), {0xE2, 0x30});  // SEP #$30
    ctx.step();
    EXPECT_EQ(ctx.status() & 0x30, 0x30);
}

TEST(W65816Modes, PlpSetsWidthsAndClearsIndexHighBytes) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M0X0);
    ctx.cpu.s = 0x1000;
    ctx.cpu.x = 0x1234;
    ctx.cpu.y = 0x5678;
    ctx.poke(0x001001, {0x10});  // pulled status: X = 1, I clear
    ctx.load_code(0x00, 0x8000, {0x28});
    EXPECT_EQ(ctx.step(), 12);
    EXPECT_EQ(ctx.cpu.s, 0x1001);
    EXPECT_EQ(ctx.cpu.x, 0x0034);
    EXPECT_EQ(ctx.cpu.y, 0x0078);
    EXPECT_EQ(ctx.status(), 0x10);
    EXPECT_EQ(ctx.cpu.irq_mask, 3);
    Widths w = executed_widths(ctx);
    EXPECT_EQ(w.a, 2);
    EXPECT_EQ(w.x, 1);

    ctx.poke(0x001002, {0xE7});  // N V M D I Z C
    ctx.poke(ctx.pc24(), {0x28});
    ctx.step();
    EXPECT_EQ(ctx.status(), 0xE7);
    EXPECT_EQ(nvzc(ctx.cpu), 0b1111);
    EXPECT_EQ(ctx.cpu.irq_mask, 0);
    w = executed_widths(ctx);
    EXPECT_EQ(w.a, 1);
    EXPECT_EQ(w.x, 2);
}

TEST(W65816Modes, PlpInEmulationKeepsEightBitExecution) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu);
    ctx.cpu.s = 0x01EF;
    ctx.poke(0x0001F0, {0x00});  // M and X clear in the pulled byte
    ctx.load_code(0x00, 0x8000, {0x28});
    ctx.step();
    EXPECT_EQ(ctx.cpu.s, 0x01F0);
    EXPECT_EQ(ctx.status(), 0x30);  // M and X read 1 whatever was pulled
    Widths w = executed_widths(ctx);
    EXPECT_EQ(w.a, 1);
    EXPECT_EQ(w.x, 1);
}

TEST(W65816Modes, RtiRestoresWidthsInNativeMode) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M0X0);
    ctx.cpu.s = 0x1000;
    ctx.cpu.x = 0x1234;
    ctx.poke(0x001001, {0x30, 0x00, 0x90, 0x07});  // status M X, PC $9000, PBR $07
    ctx.load_code(0x00, 0x8000, {0x40});
    EXPECT_EQ(ctx.step(), 21);
    EXPECT_EQ(ctx.pc24(), 0x079000u);
    EXPECT_EQ(ctx.cpu.s, 0x1004);
    EXPECT_EQ(ctx.cpu.x, 0x0034);
    Widths w = executed_widths(ctx);
    EXPECT_EQ(w.a, 1);
    EXPECT_EQ(w.x, 1);
}

TEST(W65816Modes, XceIntoNativeKeepsEightBitRegistersUntilRep) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu, kI);  // C = 0
    ctx.cpu.a = 0x1234;
    ctx.load_code(0x00, 0x8000, {0xFB});
    EXPECT_EQ(ctx.step(), 6);
    EXPECT_EQ(ctx.cpu.e, 0);
    EXPECT_EQ(ctx.cpu.c, 1);  // the old E
    EXPECT_EQ(ctx.status() & 0x30, 0x30);
    EXPECT_EQ(ctx.cpu.a, 0x1234);
    Widths w = executed_widths(ctx);
    EXPECT_EQ(w.a, 1);
    EXPECT_EQ(w.x, 1);
    // The stack is now a 16-bit pointer: a push below $0100 leaves page 1.
    ctx.cpu.s = 0x0100;
    ctx.poke(ctx.pc24(), {0x48});  // PHA
    ctx.step();
    EXPECT_EQ(ctx.cpu.s, 0x00FF);
}

TEST(W65816Modes, XceIntoEmulationDropsHighBytesAndMovesTheStackToPageOne) {
    for (Mode mode : kNativeModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        ctx.enter_mode(mode, kI | 1);  // C = 1
        ctx.cpu.a = 0x1234;
        ctx.cpu.x = wide_x(mode) ? 0x5678 : 0x78;
        ctx.cpu.y = wide_x(mode) ? 0x9ABC : 0xBC;
        ctx.cpu.s = 0x2345;
        ctx.load_code(0x00, 0x8000, {0xFB});
        EXPECT_EQ(ctx.step(), 6);
        EXPECT_EQ(ctx.cpu.e, 1);
        EXPECT_EQ(ctx.cpu.c, 0);
        EXPECT_EQ(ctx.cpu.x, 0x0078);
        EXPECT_EQ(ctx.cpu.y, 0x00BC);
        EXPECT_EQ(ctx.cpu.s, 0x0145);
        EXPECT_EQ(ctx.cpu.a, 0x1234);          // B survives
        EXPECT_EQ(ctx.status() & 0x30, 0x30);  // M and X read 1
        Widths w = executed_widths(ctx);
        EXPECT_EQ(w.a, 1);
        EXPECT_EQ(w.x, 1);
    }
}

TEST(W65816Modes, XceWithCarryEqualToEChangesNothing) {
    for (Mode mode : {Mode::M0X0, Mode::Emu}) {
        FlatCtx ctx;
        const uint8_t c = is_emu(mode) ? 1 : 0;
        ctx.enter_mode(mode, uint8_t(kI | c));
        ctx.cpu.x = is_emu(mode) ? 0x12 : 0x1234;
        ctx.load_code(0x00, 0x8000, {0xFB});
        const uint8_t before = ctx.status();
        EXPECT_EQ(ctx.step(), 6);
        EXPECT_EQ(ctx.cpu.e, c);
        EXPECT_EQ(ctx.status(), before);
        EXPECT_EQ(ctx.cpu.x, is_emu(mode) ? 0x12 : 0x1234);
    }
}

}  // namespace
}  // namespace vt::test
