// Emulation mode's status byte: M and X read 1 and nothing clears them;
// every pushed status has bit 5 set, and bit 4 tells a software interrupt or
// PHP (1) from a hardware interrupt (0), as on the 6502.
#include <gtest/gtest.h>

#include <functional>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint16_t kIrqHandler = 0xA000, kNmiHandler = 0x9000, kCopHandler = 0xC000;

// An emulation-mode core with N V D I Z C from `flags`, the vectors set and
// the stack at $01F0.
void prepare(FlatCtx& ctx, uint8_t flags) {
    ctx.enter_mode(Mode::Emu, flags);
    ctx.poke16(0xFFFE, kIrqHandler);
    ctx.poke16(0xFFFA, kNmiHandler);
    ctx.poke16(0xFFF4, kCopHandler);
    ctx.cpu.s = 0x01F0;
}

struct StatusCase {
    const char* what;
    uint8_t flags;                        // N V D I Z C before
    std::vector<uint8_t> code;            // at $00:8000
    std::function<void(FlatCtx&)> setup;  // stack contents and the like
    uint8_t status;                       // afterwards
};

TEST(W65816Emulation, MAndXReadOneWhateverChangesTheStatus) {
    auto pulled = [](uint8_t v) { return [v](FlatCtx& c) { c.poke(0x0001F1, {v, 0x00, 0x90}); }; };
    auto none = [](FlatCtx&) {};
    const StatusCase cases[] = {
        {"power-on state", 0x04, {0xEA}, none, 0x34},
        {"REP #$30", 0x04, {0xC2, 0x30}, none, 0x34},
        {"REP #$FF", 0xCF, {0xC2, 0xFF}, none, 0x30},
        {"SEP #$CF", 0x00, {0xE2, 0xCF}, none, 0xFF},
        {"PLP of $00", 0x04, {0x28}, pulled(0x00), 0x30},
        {"PLP of $CF", 0x00, {0x28}, pulled(0xCF), 0xFF},
        {"RTI of $00", 0x04, {0x40}, pulled(0x00), 0x30},
        {"RTI of $C3", 0x04, {0x40}, pulled(0xC3), 0xF3},
        {"CLC", 0xCF, {0x18}, none, 0xFE},
    };
    for (const StatusCase& k : cases) {
        SCOPED_TRACE(k.what);
        FlatCtx ctx;
        prepare(ctx, k.flags);
        k.setup(ctx);
        for (size_t i = 0; i < k.code.size(); i++) ctx.store(0x8000 + uint32_t(i), k.code[i]);
        ctx.cpu.pc = 0x8000;
        ctx.step();
        EXPECT_EQ(ctx.status(), k.status);
        EXPECT_EQ(ctx.cpu.e, 1);
        // Still 8-bit: LDA # takes one operand byte.
        ctx.load_code(0x00, 0x8100, {0xA9, 0x12, 0x34});
        ctx.step();
        EXPECT_EQ(ctx.cpu.pc, 0x8102);
    }
    // A debugger edit or a loaded state cannot clear them either.
    FlatCtx ctx;
    ctx.set_status(0x00, 1);
    EXPECT_EQ(ctx.status(), 0x30);
}

TEST(W65816Emulation, XceIntoEmulationSetsMAndX) {
    for (Mode mode : kNativeModes) {
        FlatCtx ctx;
        ctx.enter_mode(mode, 0x05);
        ctx.load_code(0x00, 0x8000, {0xFB});  // XCE with C = 1
        ctx.step();
        EXPECT_EQ(ctx.status(), 0x34) << mode_name(mode);
        EXPECT_EQ(ctx.cpu.e, 1);
    }
}

struct PushCase {
    const char* what;
    uint8_t flags;                        // N V D I Z C before
    std::function<void(FlatCtx&)> start;  // places code or raises the interrupt
    size_t bytes;                         // pushed in all
    uint8_t pushed;                       // the status byte, pushed last
};

TEST(W65816Emulation, PushedStatusHasBitFiveSetAndBitFourTellsTheSource) {
    auto code = [](std::vector<uint8_t> bytes) {
        return [bytes](FlatCtx& c) {
            for (size_t i = 0; i < bytes.size(); i++) c.store(0x8000 + uint32_t(i), bytes[i]);
            c.cpu.pc = 0x8000;
        };
    };
    auto raised = [](bool nmi) {
        return [nmi](FlatCtx& c) {
            c.load_code(0x00, 0x8000, {0xEA, 0xEA});
            if (nmi) c.raise_nmi();
            else c.raise_irq(kIrqTimer);
            c.step();  // the instruction before the entry
        };
    };
    const PushCase cases[] = {
        {"PHP", 0x00, code({0x08}), 1, 0x30},
        {"PHP, all flags", 0xCF, code({0x08}), 1, 0xFF},
        {"BRK", 0x00, code({0x00, 0x00}), 3, 0x30},
        {"BRK, all flags", 0xCB, code({0x00, 0x00}), 3, 0xFB},
        {"COP", 0x00, code({0x02, 0x00}), 3, 0x30},
        {"IRQ", 0x00, raised(false), 3, 0x20},
        {"IRQ, flags", 0xC3, raised(false), 3, 0xE3},
        {"NMI", 0x04, raised(true), 3, 0x24},
        {"NMI, flags", 0xCF, raised(true), 3, 0xEF},
    };
    for (const PushCase& k : cases) {
        SCOPED_TRACE(k.what);
        FlatCtx ctx;
        prepare(ctx, k.flags);
        k.start(ctx);
        ctx.clear_log();
        ctx.step();
        std::vector<Access> writes = ctx.writes();
        ASSERT_EQ(writes.size(), k.bytes);
        EXPECT_EQ(writes.back().value, k.pushed);
        EXPECT_EQ(ctx.status() & 0x30, 0x30);
    }
}

// Native mode pushes the real M and X: nothing to tell apart there.
TEST(W65816Emulation, NativePushesCarryTheWidthBits) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M0X0, 0x00);
    ctx.poke16(0xFFE6, 0xB000);
    ctx.load_code(0x00, 0x8000, {0x08, 0x00, 0x00});  // PHP, BRK
    ctx.step();
    EXPECT_EQ(ctx.writes().back().value, 0x00);
    ctx.clear_log();
    ctx.step();
    EXPECT_EQ(ctx.writes().back().value, 0x00);
    ctx.enter_mode(Mode::M1X1, 0x00);
    ctx.load_code(0x00, 0x8000, {0x08});
    ctx.step();
    EXPECT_EQ(ctx.writes().back().value, 0x30);
}

}  // namespace
}  // namespace vt::test
