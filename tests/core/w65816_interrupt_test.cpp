// Interrupt entry and its timing, WAI, STP, reset and power-on, and the
// block moves that can be interrupted between bytes.
#include <gtest/gtest.h>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint8_t kI = 0x04;
constexpr uint8_t kNop = 0xEA;

// Handler addresses behind each vector.
constexpr uint16_t kEmuNmi = 0x9000, kEmuIrq = 0xA000, kEmuCop = 0xC000;
constexpr uint16_t kNatNmi = 0x9100, kNatIrq = 0xA100, kNatBrk = 0xB100, kNatCop = 0xC100;

// A core in `mode` with all vectors set, NOPs at every handler and at the
// program, which starts at bank:$8000.
void prepare(FlatCtx& ctx, Mode mode, uint8_t flags, uint8_t bank = 0x00) {
    ctx.enter_mode(mode, flags);
    ctx.poke16(0xFFE4, kNatCop);
    ctx.poke16(0xFFE6, kNatBrk);
    ctx.poke16(0xFFEA, kNatNmi);
    ctx.poke16(0xFFEE, kNatIrq);
    ctx.poke16(0xFFF4, kEmuCop);
    ctx.poke16(0xFFFA, kEmuNmi);
    ctx.poke16(0xFFFE, kEmuIrq);
    for (uint16_t h : {kEmuNmi, kEmuIrq, kEmuCop, kNatNmi, kNatIrq, kNatBrk, kNatCop})
        ctx.poke(h, {kNop, kNop, kNop, kNop});
    ctx.load_code(bank, 0x8000, {kNop, kNop, kNop, kNop, kNop, kNop, kNop, kNop});
    ctx.cpu.s = 0x01F0;
}

TEST(W65816Interrupt, NmiEntryInEmulationMode) {
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, 0xC9);  // N V D C set, I clear; M and X read 1
    ctx.raise_nmi();
    EXPECT_EQ(ctx.step(), 6);  // one more instruction first
    EXPECT_EQ(ctx.cpu.pc, 0x8001);
    ctx.clear_log();
    EXPECT_EQ(ctx.step(), 21);
    // The status goes out with bit 4 clear: a hardware interrupt.
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x0001F0, 0x80}, {true, 0x0001EF, 0x01}, {true, 0x0001EE, 0xE9}}));
    EXPECT_EQ(ctx.pc24(), uint32_t(kEmuNmi));
    EXPECT_EQ(ctx.cpu.s, 0x01ED);
    EXPECT_EQ(ctx.cpu.nmi_pending, 0);
    EXPECT_EQ(ctx.status(), 0xF5);  // D cleared, I set; bit 4 still reads 1
    EXPECT_EQ(ctx.cpu.irq_mask, 0);
    EXPECT_EQ(ctx.step(), 6);  // the handler runs
    EXPECT_EQ(ctx.cpu.pc, kEmuNmi + 1);
}

TEST(W65816Interrupt, EmulationEntriesLeaveTheIrqSourcesAlone) {
    // NMI (with the stack at the bottom of page 1), BRK and COP leave a
    // masked source alone; so does the IRQ entry (next test).
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, kI);
    ctx.poke(0x008001, {0x00, 0xEA});
    ctx.poke(kEmuNmi, {0x02, 0xEA});
    ctx.cpu.irq_sources = kIrqCartridge;
    ctx.cpu.s = 0x0100;
    ctx.raise_nmi();
    ctx.step();
    ctx.clear_log();
    ctx.step();  // NMI entry
    EXPECT_EQ(ctx.cpu.pc, kEmuNmi);
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x000100, 0x80}, {true, 0x0001FF, 0x01}, {true, 0x0001FE, 0x24}}));
    ctx.step();  // COP
    EXPECT_EQ(ctx.cpu.pc, kEmuCop);
    EXPECT_EQ(ctx.cpu.irq_sources, kIrqCartridge);
    ctx.load_code(0x00, 0x8001, {0x00, 0xEA});
    ctx.step();  // BRK
    EXPECT_EQ(ctx.cpu.pc, kEmuIrq);
    EXPECT_EQ(ctx.cpu.irq_sources, kIrqCartridge);
}

TEST(W65816Interrupt, NmiEntryInNativeModePushesTheBank) {
    FlatCtx ctx;
    prepare(ctx, Mode::M0X0, 0x08, 0x05);  // D set
    ctx.raise_nmi();
    ctx.step();
    ctx.clear_log();
    EXPECT_EQ(ctx.step(), 24);
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x0001F0, 0x05},
                                                {true, 0x0001EF, 0x80},
                                                {true, 0x0001EE, 0x01},
                                                {true, 0x0001ED, 0x08}}));
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatNmi));
    EXPECT_EQ(ctx.cpu.s, 0x01EC);
    EXPECT_EQ(ctx.status(), 0x04);
}

// The IRQ line stays active until the program acknowledges its source, in
// emulation mode as in native mode: an RTI that clears I lets it in again.
TEST(W65816Interrupt, EmulationIrqPushesBitFourClearAndKeepsItsSources) {
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, 0x00);
    ctx.raise_irq(kIrqTimer | kIrqCartridge);
    ctx.step();
    ctx.clear_log();
    EXPECT_EQ(ctx.step(), 21);
    EXPECT_EQ(ctx.pc24(), uint32_t(kEmuIrq));
    EXPECT_EQ(ctx.cpu.irq_sources, kIrqTimer | kIrqCartridge);
    EXPECT_EQ(ctx.writes().back(), (Access{true, 0x0001EE, 0x20}));  // M set, bit 4 clear
    EXPECT_EQ(ctx.status() & 0x3C, 0x34);                           // I set; M and X read 1
    ctx.poke(kEmuIrq, {0x40});                                      // RTI
    EXPECT_EQ(ctx.step(), 18);
    EXPECT_EQ(ctx.cpu.pc, 0x8001);
    EXPECT_EQ(ctx.status() & 0x34, 0x30);
    ctx.step();  // one more instruction, then the IRQ again
    EXPECT_EQ(ctx.step(), 21);
    EXPECT_EQ(ctx.cpu.pc, kEmuIrq);
}

TEST(W65816Interrupt, NativeIrqKeepsItsSourceAndComesBackAfterCli) {
    FlatCtx ctx;
    prepare(ctx, Mode::M1X1, 0x00, 0x05);
    ctx.raise_irq(kIrqTimer);
    ctx.step();
    ctx.clear_log();
    EXPECT_EQ(ctx.step(), 24);
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatIrq));
    EXPECT_EQ(ctx.cpu.irq_sources, kIrqTimer);
    EXPECT_EQ(ctx.writes().size(), 4u);
    // The handler clears I without acknowledging: the IRQ comes back after
    // one more instruction.
    ctx.poke(kNatIrq, {0x58, kNop});  // CLI, NOP
    ctx.step();                       // CLI
    ctx.step();                       // NOP
    EXPECT_EQ(ctx.cpu.pc, kNatIrq + 2);
    EXPECT_EQ(ctx.step(), 24);
    EXPECT_EQ(ctx.cpu.pc, kNatIrq);
}

TEST(W65816Interrupt, BrkAndCopInEveryMode) {
    struct Case {
        Mode mode;
        uint8_t code;
        uint16_t handler;
        int cost;
        int pushed;
    };
    std::vector<Case> cases;
    for (Mode mode : kAllModes) {
        const bool emu = is_emu(mode);
        cases.push_back({mode, 0x00, emu ? kEmuIrq : kNatBrk, emu ? 21 : 24, emu ? 3 : 4});
        cases.push_back({mode, 0x02, emu ? kEmuCop : kNatCop, emu ? 21 : 24, emu ? 3 : 4});
    }
    for (const Case& k : cases) {
        SCOPED_TRACE(describe(k.code, k.mode));
        FlatCtx ctx;
        prepare(ctx, k.mode, 0x08, 0x05);  // D set, I clear
        ctx.poke(0x058000, {k.code, 0x77});
        const uint8_t before = ctx.status();
        EXPECT_EQ(ctx.step(), k.cost);
        EXPECT_EQ(ctx.pc24(), uint32_t(k.handler));
        std::vector<Access> want;
        uint16_t s = 0x01F0;
        if (k.pushed == 4) want.push_back({true, s--, 0x05});
        want.push_back({true, s--, 0x80});
        want.push_back({true, s--, 0x02});  // PC + 2: past the signature byte
        want.push_back({true, s--, before});
        EXPECT_EQ(ctx.writes(), want);
        EXPECT_EQ(ctx.status() & 0x0C, 0x04);  // D clear, I set
        EXPECT_EQ(ctx.cpu.irq_mask, 0);
        if (is_emu(k.mode)) {
            EXPECT_EQ(before & 0x30, 0x30);  // software interrupts push bit 4 set
            EXPECT_EQ(ctx.status() & 0x30, 0x30);
        }
    }
}

TEST(W65816Interrupt, RtiReturnsFromBrkPastTheSignature) {
    FlatCtx ctx;
    prepare(ctx, Mode::M1X1, 0x00, 0x05);
    ctx.poke(0x058000, {0x00, 0x77, kNop});
    ctx.poke(kNatBrk, {0x40});
    ctx.step();
    EXPECT_EQ(ctx.step(), 21);
    EXPECT_EQ(ctx.pc24(), 0x058002u);
    EXPECT_EQ(ctx.cpu.s, 0x01F0);
    EXPECT_EQ(ctx.status(), 0x30);
}

TEST(W65816Interrupt, IrqIsTakenAfterOneMoreInstruction) {
    for (Mode mode : {Mode::Emu, Mode::M1X1}) {
        FlatCtx ctx;
        prepare(ctx, mode, 0x00);
        ctx.step();  // an instruction before the raise
        ctx.raise_irq(kIrqTimer);
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, 0x8002) << mode_name(mode);
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, is_emu(mode) ? kEmuIrq : kNatIrq);
    }
}

TEST(W65816Interrupt, MaskedIrqWaitsForCliAndOneMoreInstruction) {
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, kI);
    ctx.poke(0x008002, {0x58});  // CLI at $8002
    ctx.raise_irq(kIrqTimer);
    ctx.step();
    ctx.step();
    EXPECT_EQ(ctx.cpu.pc, 0x8002);  // nothing taken while I is set
    ctx.step();                     // CLI
    ctx.step();                     // one more instruction
    EXPECT_EQ(ctx.cpu.pc, 0x8004);
    EXPECT_EQ(ctx.step(), 21);
    EXPECT_EQ(ctx.cpu.pc, kEmuIrq);
    EXPECT_EQ(ctx.peek16(0x0001EF), 0x8004);  // return address
}

TEST(W65816Interrupt, RepPlpAndRtiClearingIUnmaskAPendingIrq) {
    struct Case {
        std::initializer_list<uint8_t> code;
        uint16_t lands_at;
    };
    const Case cases[] = {
        {{0xC2, 0x04}, 0x8002},  // REP #$04
        {{0x28, kNop}, 0x8001},  // PLP
        {{0x40, kNop}, 0x8002},  // RTI to $00:8002
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(describe(*k.code.begin(), Mode::M1X1));
        FlatCtx ctx;
        prepare(ctx, Mode::M1X1, kI);
        ctx.poke(0x008000, k.code);
        ctx.poke(0x0001F1, {0x30, 0x02, 0x80, 0x00});  // pulled status (M X), then PC $8002, bank 0
        ctx.raise_irq(kIrqTimer);
        ctx.step();  // the unmasking instruction
        EXPECT_EQ(ctx.cpu.pc, k.lands_at);
        ctx.step();  // one more
        EXPECT_EQ(ctx.cpu.pc, k.lands_at + 1);
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, kNatIrq);
    }
}

TEST(W65816Interrupt, SeiMasksLaterIrqs) {
    for (std::initializer_list<uint8_t> code : {std::initializer_list<uint8_t>{0x78}, {0xE2, 0x04}}) {  // SEI, SEP #$04
        FlatCtx ctx;
        prepare(ctx, Mode::M1X1, 0x00);
        ctx.poke(0x008000, code);
        ctx.step();
        const uint16_t pc = ctx.cpu.pc;
        ctx.raise_irq(kIrqTimer);
        for (int i = 0; i < 3; i++) ctx.step();
        EXPECT_EQ(ctx.cpu.pc, pc + 3);
    }
}

// The check routine decides before the instruction runs: an IRQ raised
// before SEI is still entered after it.
TEST(W65816Interrupt, IrqRaisedBeforeSeiIsStillEntered) {
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, 0x00);
    ctx.poke(0x008000, {0x78});
    ctx.raise_irq(kIrqTimer);
    ctx.step();  // SEI
    EXPECT_EQ(ctx.step(), 21);
    EXPECT_EQ(ctx.cpu.pc, kEmuIrq);
}

TEST(W65816Interrupt, NmiAndIrqTogetherEnterIrqThenNmi) {
    FlatCtx ctx;
    prepare(ctx, Mode::M1X1, 0x00, 0x05);
    ctx.poke(kNatNmi, {0x40});  // the NMI handler returns at once
    ctx.raise_nmi();
    ctx.raise_irq(kIrqTimer);
    ctx.step();  // one more instruction
    EXPECT_EQ(ctx.step(), 24);  // IRQ entry
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatIrq));
    EXPECT_EQ(ctx.step(), 24);  // NMI entry straight after
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatNmi));
    // The NMI pushed the IRQ handler's first instruction.
    EXPECT_EQ(ctx.peek(0x0001EC), 0x00);
    EXPECT_EQ(ctx.peek16(0x0001EA), kNatIrq);
    ctx.step();  // RTI
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatIrq));
    ctx.step();
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatIrq + 1));
    EXPECT_EQ(ctx.cpu.s, 0x01EC);  // the IRQ's frame is still there
}

TEST(W65816Interrupt, NmiRaisedBeforeAnUnmaskingInstructionIsEnteredRightAfterIt) {
    // The check routine has already chosen the NMI when CLI, PLP or XCE run;
    // they must not push the entry back by another instruction.
    for (uint8_t code : {0x58, 0x28, 0xFB, 0xC2}) {
        SCOPED_TRACE(describe(code, Mode::M1X1));
        FlatCtx ctx;
        prepare(ctx, Mode::M1X1, kI | 1);
        ctx.poke(0x008000, {code, 0x04});
        ctx.poke(0x0001F1, {0x30});
        ctx.raise_nmi();
        ctx.step();
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, code == 0xFB ? kEmuNmi : kNatNmi);
    }
}

TEST(W65816Interrupt, WaiWithASourceAlreadySetEndsAtOnce) {
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, kI);
    ctx.poke(0x008000, {0xCB});
    ctx.cpu.irq_sources = kIrqTimer;  // raised earlier, masked
    EXPECT_EQ(ctx.step(), 9);
    EXPECT_EQ(ctx.cpu.waiting, 0);
    EXPECT_EQ(ctx.step(), 6);  // the next instruction runs
    EXPECT_EQ(ctx.cpu.pc, 0x8002);
    EXPECT_EQ(ctx.cpu.irq_sources, kIrqTimer);
}

TEST(W65816Interrupt, WaiIdlesUntilNmiAndEntersItAtOnce) {
    for (Mode mode : {Mode::Emu, Mode::M0X0}) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        prepare(ctx, mode, kI);
        ctx.poke(0x008000, {0xCB});
        EXPECT_EQ(ctx.step(), 9);
        EXPECT_EQ(ctx.cpu.waiting, 1);
        EXPECT_EQ(ctx.cpu.pc, 0x8001);
        for (int i = 0; i < 3; i++) EXPECT_EQ(ctx.step(), 6);
        EXPECT_EQ(ctx.cpu.pc, 0x8001);
        ctx.raise_nmi();
        EXPECT_EQ(ctx.step(), is_emu(mode) ? 21 : 24);
        EXPECT_EQ(ctx.cpu.waiting, 0);
        EXPECT_EQ(ctx.cpu.pc, is_emu(mode) ? kEmuNmi : kNatNmi);
        EXPECT_EQ(ctx.peek16(is_emu(mode) ? 0x0001EF : 0x0001EE), 0x8001);  // returns after WAI
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, (is_emu(mode) ? kEmuNmi : kNatNmi) + 1);
    }
}

TEST(W65816Interrupt, WaiWokenByUnmaskedIrqEntersIt) {
    FlatCtx ctx;
    prepare(ctx, Mode::M1X1, 0x00);
    ctx.poke(0x008000, {0xCB});
    ctx.step();
    ctx.step();
    ctx.raise_irq(kIrqCartridge);
    EXPECT_EQ(ctx.step(), 24);
    EXPECT_EQ(ctx.cpu.pc, kNatIrq);
    EXPECT_EQ(ctx.peek16(0x0001EE), 0x8001);
}

TEST(W65816Interrupt, WaiWokenByMaskedIrqContinuesWithoutEntering) {
    FlatCtx ctx;
    prepare(ctx, Mode::Emu, kI);
    ctx.poke(0x008000, {0xCB});
    ctx.step();
    ctx.step();
    ctx.raise_irq(kIrqTimer);
    ctx.step();  // wake-up
    EXPECT_EQ(ctx.cpu.waiting, 0);
    EXPECT_EQ(ctx.step(), 6);
    EXPECT_EQ(ctx.cpu.pc, 0x8002);
    EXPECT_EQ(ctx.cpu.s, 0x01F0);
    // Raising again later does not put the core back to sleep.
    ctx.raise_irq(kIrqTimer);
    EXPECT_EQ(ctx.step(), 6);
    EXPECT_EQ(ctx.cpu.pc, 0x8003);
}

TEST(W65816Interrupt, NmiRaisedJustBeforeWaiIsNotLost) {
    // The NMI arrives while the instruction before WAI runs; the check then
    // runs WAI. The NMI must still be entered after WAI rather than being
    // slept through.
    for (Mode mode : {Mode::Emu, Mode::M1X1}) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        prepare(ctx, mode, kI);
        ctx.poke(0x008001, {0xCB});
        ctx.step();
        ctx.raise_nmi();
        ctx.step();  // WAI
        EXPECT_EQ(ctx.step(), is_emu(mode) ? 21 : 24);
        EXPECT_EQ(ctx.cpu.pc, is_emu(mode) ? kEmuNmi : kNatNmi);
        EXPECT_EQ(ctx.cpu.waiting, 0);
    }
}

TEST(W65816Interrupt, StpIdlesUntilReset) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        prepare(ctx, mode, 0x00);
        ctx.poke16(0xFFFC, 0x8123);
        ctx.poke(0x008000, {0xDB});
        EXPECT_EQ(ctx.step(), 9);
        EXPECT_EQ(ctx.cpu.pc, 0x8000);  // PC stays on STP
        ctx.raise_nmi();
        ctx.raise_irq(kIrqTimer);
        for (int i = 0; i < 5; i++) EXPECT_EQ(ctx.step(), 6);
        EXPECT_EQ(ctx.cpu.pc, 0x8000);
        EXPECT_EQ(ctx.cpu.s, 0x01F0);
        ctx.reset();
        EXPECT_EQ(ctx.cpu.pc, 0x8123);
        ctx.poke(0x008123, {kNop});
        EXPECT_EQ(ctx.step(), 6);
        EXPECT_EQ(ctx.cpu.pc, 0x8124);
    }
}

TEST(W65816Interrupt, ResetKeepsSomeRegistersAndResetsTheRest) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M0X0, 0xCB);  // N V D Z C set, I clear
    ctx.poke16(0xFFFC, 0x8765);
    ctx.cpu.a = 0x1234;
    ctx.cpu.x = 0x5678;
    ctx.cpu.y = 0x9ABC;
    ctx.cpu.d = 0x4321;
    ctx.cpu.s = 0x2F02;
    ctx.cpu.pbr = 0x05;
    ctx.cpu.dbr = 0x06;
    ctx.cpu.irq_sources = 3;
    ctx.cpu.nmi_pending = 1;
    ctx.clock = 0;
    ctx.reset();
    EXPECT_EQ(ctx.clock, 24);
    EXPECT_EQ(ctx.cpu.a, 0x1234);
    EXPECT_EQ(ctx.cpu.x, 0x0078);
    EXPECT_EQ(ctx.cpu.y, 0x00BC);
    EXPECT_EQ(ctx.cpu.d, 0x0000);
    EXPECT_EQ(ctx.cpu.s, 0x01FF);  // $02 - 3 wraps in the low byte
    EXPECT_EQ(ctx.pc24(), 0x008765u);
    EXPECT_EQ(ctx.cpu.dbr, 0x00);
    EXPECT_EQ(ctx.cpu.e, 1);
    EXPECT_EQ(ctx.status(), 0xF7);  // M, X and I set, D clear; N V Z C kept
    EXPECT_EQ(ctx.cpu.irq_mask, 0);
    EXPECT_EQ(ctx.cpu.irq_sources, 0);
    EXPECT_EQ(ctx.cpu.nmi_pending, 0);
    ctx.poke(0x008765, {0xA9, 0x01, 0x02});  // LDA #: 8-bit now
    ctx.step();
    EXPECT_EQ(ctx.cpu.pc, 0x8767);
}

TEST(W65816Interrupt, PowerOnValues) {
    FlatCtx ctx;
    ctx.poke16(0x00FFFC, 0x8000);
    ctx.power_on();
    EXPECT_EQ(ctx.clock, 0);
    EXPECT_EQ(ctx.cpu.a, 0);
    EXPECT_EQ(ctx.cpu.x, 0);
    EXPECT_EQ(ctx.cpu.y, 0);
    EXPECT_EQ(ctx.cpu.d, 0);
    EXPECT_EQ(ctx.cpu.s, 0x01FF);
    EXPECT_EQ(ctx.pc24(), 0x008000u);
    EXPECT_EQ(ctx.cpu.dbr, 0);
    EXPECT_EQ(ctx.cpu.e, 1);
    EXPECT_EQ(ctx.status(), 0x34);
    EXPECT_EQ(ctx.cpu.irq_mask, 0);
    EXPECT_EQ(ctx.cpu.irq_sources, 0);
    EXPECT_EQ(ctx.cpu.nmi_pending, 0);
    EXPECT_EQ(ctx.cpu.waiting, 0);
}

// --- block moves

TEST(W65816BlockMove, MvnMovesOneBytePerStepUpward) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        prepare(ctx, mode, kI, 0x05);
        ctx.poke(0x058000, {0x54, 0x7E, 0x12});  // MVN $7E,$12 (destination first)
        ctx.poke(0x120010, {0xA1, 0xA2, 0xA3});
        ctx.cpu.a = 2;  // three bytes
        ctx.cpu.x = 0x10;
        ctx.cpu.y = 0x20;
        for (int i = 0; i < 3; i++) {
            EXPECT_EQ(ctx.step(), 21);
            EXPECT_EQ(ctx.cpu.pc, i < 2 ? 0x8000 : 0x8003);
        }
        EXPECT_EQ(ctx.peek(0x7E0020), 0xA1);
        EXPECT_EQ(ctx.peek(0x7E0021), 0xA2);
        EXPECT_EQ(ctx.peek(0x7E0022), 0xA3);
        EXPECT_EQ(ctx.peek(0x7E0023), 0x00);
        EXPECT_EQ(ctx.cpu.a, 0xFFFF);  // all 16 bits, whatever M
        EXPECT_EQ(ctx.cpu.x, 0x13);
        EXPECT_EQ(ctx.cpu.y, 0x23);
        EXPECT_EQ(ctx.cpu.dbr, 0x7E);
    }
}

TEST(W65816BlockMove, MvpMovesDownwardAndEightBitIndexesWrap) {
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        prepare(ctx, mode, kI, 0x05);
        ctx.poke(0x058000, {0x44, 0x7F, 0x12});  // MVP $7F,$12
        ctx.poke(0x12FFFF, {0xB0});
        ctx.poke(0x120000, {0xB1});
        ctx.poke(0x1200FF, {0xB2});
        ctx.cpu.a = 1;
        ctx.cpu.x = 0x0000;
        ctx.cpu.y = 0x0000;
        ctx.step();
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, 0x8003);
        EXPECT_EQ(ctx.peek(0x7F0000), 0xB1);
        if (wide_x(mode)) {
            EXPECT_EQ(ctx.peek(0x7FFFFF), 0xB0);
            EXPECT_EQ(ctx.cpu.x, 0xFFFE);
            EXPECT_EQ(ctx.cpu.y, 0xFFFE);
        } else {
            EXPECT_EQ(ctx.peek(0x7F00FF), 0xB2);
            EXPECT_EQ(ctx.cpu.x, 0x00FE);
            EXPECT_EQ(ctx.cpu.y, 0x00FE);
        }
    }
}

TEST(W65816BlockMove, CountOfZeroMovesOneByte) {
    FlatCtx ctx;
    prepare(ctx, Mode::M1X0, kI, 0x05);
    ctx.poke(0x058000, {0x54, 0x7E, 0x12});
    ctx.poke(0x120000, {0x11, 0x22});
    ctx.cpu.a = 0x0000;
    ctx.cpu.x = 0;
    ctx.cpu.y = 0;
    ctx.step();
    EXPECT_EQ(ctx.cpu.pc, 0x8003);
    EXPECT_EQ(ctx.cpu.a, 0xFFFF);
    EXPECT_EQ(ctx.peek(0x7E0000), 0x11);
    EXPECT_EQ(ctx.peek(0x7E0001), 0x00);
}

TEST(W65816BlockMove, CountOfFfffMovesAWholeBank) {
    FlatCtx ctx;
    prepare(ctx, Mode::M0X0, kI, 0x05);
    ctx.poke(0x058000, {0x54, 0x7E, 0x12});
    ctx.poke(0x120000, {0x5A});
    ctx.poke(0x12FFFF, {0xA5});
    ctx.cpu.a = 0xFFFF;
    ctx.cpu.x = 0;
    ctx.cpu.y = 0;
    int steps = 0;
    while (ctx.cpu.pc == 0x8000 && steps < 70000) {
        ctx.step();
        ctx.clear_log();
        steps++;
    }
    EXPECT_EQ(steps, 65536);
    EXPECT_EQ(ctx.peek(0x7E0000), 0x5A);
    EXPECT_EQ(ctx.peek(0x7EFFFF), 0xA5);
    EXPECT_EQ(ctx.cpu.a, 0xFFFF);
    EXPECT_EQ(ctx.cpu.x, 0x0000);
}

TEST(W65816BlockMove, InterruptsAreTakenBetweenBytesAndTheMoveResumes) {
    FlatCtx ctx;
    prepare(ctx, Mode::M1X0, 0x00, 0x05);
    ctx.poke(0x058000, {0x54, 0x7E, 0x12});
    ctx.poke(0x120000, {0x01, 0x02, 0x03, 0x04});
    ctx.poke(kNatIrq, {0x40});  // RTI
    ctx.cpu.a = 3;
    ctx.cpu.x = 0;
    ctx.cpu.y = 0;
    ctx.step();             // byte 1
    ctx.raise_irq(kIrqCartridge);
    ctx.step();             // byte 2 (one more instruction)
    ctx.clear_log();
    EXPECT_EQ(ctx.step(), 24);  // IRQ entry between bytes
    EXPECT_EQ(ctx.pc24(), uint32_t(kNatIrq));
    EXPECT_EQ(ctx.peek16(0x0001EE), 0x8000);  // returns to the MVN itself
    EXPECT_EQ(ctx.peek(0x0001F0), 0x05);
    ctx.cpu.irq_sources = 0;  // acknowledged
    ctx.step();              // RTI
    EXPECT_EQ(ctx.pc24(), 0x058000u);
    ctx.step();
    ctx.step();
    EXPECT_EQ(ctx.pc24(), 0x058003u);
    for (uint32_t i = 0; i < 4; i++) EXPECT_EQ(ctx.peek(0x7E0000 + i), i + 1);
}

}  // namespace
}  // namespace vt::test
