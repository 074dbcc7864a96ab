// Pushes and pulls at every width, and the page-1 stack of emulation mode
// for every instruction that touches the stack.
#include <gtest/gtest.h>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint8_t kI = 0x04;

struct PushCase {
    const char* name;
    OpCase op;
    uint16_t operand;
    // Bytes pushed, in the order written, at 16-bit and at 8-bit width.
    std::vector<uint8_t> wide, narrow;
    bool index_width;
};

// Standard layout: S = $01F0, D = $0300, DBR = $12, PBR = $05, code at $8000.
// A = $1234, X = $5678 and Y = $9ABC (their low bytes with 8-bit index).
const PushCase kPushes[] = {
    {"PHA", {0x48, Addr::Implied}, 0, {0x12, 0x34}, {0x34}, false},
    {"PHX", {0xDA, Addr::Implied}, 0, {0x56, 0x78}, {0x78}, true},
    {"PHY", {0x5A, Addr::Implied}, 0, {0x9A, 0xBC}, {0xBC}, true},
    {"PHB", {0x8B, Addr::Implied}, 0, {0x12}, {0x12}, false},
    {"PHK", {0x4B, Addr::Implied}, 0, {0x05}, {0x05}, false},
    {"PHD", {0x0B, Addr::Implied}, 0, {0x03, 0x00}, {0x03, 0x00}, false},
    {"PEA", {0xF4, Addr::AbsJump}, 0xBEEF, {0xBE, 0xEF}, {0xBE, 0xEF}, false},
    // PEI $20 pushes the word at $00:0320, here $ABCD.
    {"PEI", {0xD4, Addr::Dp}, 0xABCD, {0xAB, 0xCD}, {0xAB, 0xCD}, false},
    // PER $0010: the next instruction is at $8003.
    {"PER", {0x62, Addr::Rel16}, 0x0010, {0x80, 0x13}, {0x80, 0x13}, false},
};

TEST(W65816Stack, PushesWriteHighByteFirstAtTheirWidth) {
    for (const PushCase& k : kPushes) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(std::string(k.name) + " " + describe(k.op.code, mode));
            const bool wide = k.index_width ? wide_x(mode) : wide_m(mode);
            FlatCtx ctx;
            run_op(ctx, mode, kI, 0x1234, k.op, k.operand, [&](FlatCtx& c) {
                c.cpu.x = wide_x(mode) ? 0x5678 : 0x78;
                c.cpu.y = wide_x(mode) ? 0x9ABC : 0xBC;
            });
            const std::vector<uint8_t>& bytes = wide ? k.wide : k.narrow;
            std::vector<Access> want;
            uint16_t s = 0x01F0;
            for (uint8_t b : bytes) want.push_back({true, s--, b});
            EXPECT_EQ(ctx.writes(), want);
            EXPECT_EQ(ctx.cpu.s, s);
        }
    }
}

TEST(W65816Stack, PhpPushesTheAssembledStatus) {
    const std::pair<Mode, uint8_t> cases[] = {
        {Mode::M0X0, 0xC7}, {Mode::M0X1, 0xD7}, {Mode::M1X0, 0xE7}, {Mode::M1X1, 0xF7}, {Mode::Emu, 0xF7}};
    for (auto [mode, status] : cases) {
        FlatCtx ctx;
        run_op(ctx, mode, 0xC7, 0, {0x08, Addr::Implied}, 0);
        EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x0001F0, status}})) << mode_name(mode);
    }
}

TEST(W65816Stack, PullsReadLowByteFirstAndSetNZ) {
    struct PullCase {
        const char* name;
        uint8_t code;
        bool index_width;
    };
    const PullCase pulls[] = {{"PLA", 0x68, false}, {"PLX", 0xFA, true}, {"PLY", 0x7A, true}};
    for (const PullCase& k : pulls) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(std::string(k.name) + " " + mode_name(mode));
            const bool wide = k.index_width ? wide_x(mode) : wide_m(mode);
            FlatCtx ctx;
            run_op(ctx, mode, 0x06, 0x5500, {k.code, Addr::Implied}, 0, [](FlatCtx& c) { c.poke(0x0001F1, {0x80, 0x00}); });
            uint16_t got = k.code == 0x68 ? ctx.cpu.a : k.code == 0xFA ? ctx.cpu.x : ctx.cpu.y;
            if (wide) {
                EXPECT_EQ(got, 0x0080);
                EXPECT_EQ(ctx.cpu.s, 0x01F2);
                EXPECT_EQ(nvzc(ctx.cpu), 0b0000);
            } else {
                EXPECT_EQ(got, k.code == 0x68 ? 0x5580 : 0x0080);
                EXPECT_EQ(ctx.cpu.s, 0x01F1);
                EXPECT_EQ(nvzc(ctx.cpu), 0b1000);
            }
        }
    }
    for (Mode mode : kAllModes) {
        SCOPED_TRACE(mode_name(mode));
        FlatCtx ctx;
        run_op(ctx, mode, kI, 0, {0xAB, Addr::Implied}, 0, [](FlatCtx& c) { c.poke(0x0001F1, {0x80, 0x00}); });  // PLB
        EXPECT_EQ(ctx.cpu.dbr, 0x80);
        EXPECT_EQ(ctx.cpu.s, 0x01F1);
        EXPECT_EQ(nvzc(ctx.cpu), 0b1000);
        run_op(ctx, mode, kI, 0, {0x2B, Addr::Implied}, 0, [](FlatCtx& c) { c.poke(0x0001F1, {0x80, 0x00}); });  // PLD
        EXPECT_EQ(ctx.cpu.d, 0x0080);
        EXPECT_EQ(ctx.cpu.s, 0x01F2);
        EXPECT_EQ(nvzc(ctx.cpu), 0b0000);
        run_op(ctx, mode, kI, 0, {0x2B, Addr::Implied}, 0, [](FlatCtx& c) { c.poke(0x0001F1, {0x00, 0x00}); });
        EXPECT_EQ(nvzc(ctx.cpu), 0b0010);
    }
}

// Stack accesses at the edge of page 1. In emulation mode the 6502's own
// stack instructions wrap within page 1; the 65816's additions (PHD, PLD,
// PHB, PLB, PEA, PEI, PER, JSL, RTL, JSR (abs,X)) move S as 16 bits while
// they run, so they reach page 0 or page 2, and S returns to page 1
// afterwards. Native mode has a plain 16-bit stack.
struct Touch {
    bool write;
    uint16_t addr;
    bool operator==(const Touch&) const = default;
};
constexpr Touch R(uint16_t a) { return {false, a}; }
constexpr Touch W(uint16_t a) { return {true, a}; }

struct StackCase {
    const char* name;
    OpCase op;
    uint16_t operand;
    uint16_t s;
    std::vector<Touch> emu;
    uint16_t emu_s;
    std::vector<Touch> native;
    uint16_t native_s;
};

const StackCase kStackCases[] = {
    {"PHA", {0x48, Addr::Implied}, 0, 0x0100, {W(0x100)}, 0x01FF, {W(0x100)}, 0x00FF},
    {"PHX", {0xDA, Addr::Implied}, 0, 0x0100, {W(0x100)}, 0x01FF, {W(0x100)}, 0x00FF},
    {"PHY", {0x5A, Addr::Implied}, 0, 0x0100, {W(0x100)}, 0x01FF, {W(0x100)}, 0x00FF},
    {"PHP", {0x08, Addr::Implied}, 0, 0x0100, {W(0x100)}, 0x01FF, {W(0x100)}, 0x00FF},
    {"PHB", {0x8B, Addr::Implied}, 0, 0x0100, {W(0x100)}, 0x01FF, {W(0x100)}, 0x00FF},
    {"PHK", {0x4B, Addr::Implied}, 0, 0x0100, {W(0x100)}, 0x01FF, {W(0x100)}, 0x00FF},
    {"PHD", {0x0B, Addr::Implied}, 0, 0x0100, {W(0x100), W(0x0FF)}, 0x01FE, {W(0x100), W(0x0FF)}, 0x00FE},
    {"PEA", {0xF4, Addr::AbsJump}, 0x1234, 0x0100, {W(0x100), W(0x0FF)}, 0x01FE, {W(0x100), W(0x0FF)}, 0x00FE},
    {"PEI", {0xD4, Addr::Dp}, 0x1234, 0x0100, {W(0x100), W(0x0FF)}, 0x01FE, {W(0x100), W(0x0FF)}, 0x00FE},
    {"PER", {0x62, Addr::Rel16}, 0x1234, 0x0100, {W(0x100), W(0x0FF)}, 0x01FE, {W(0x100), W(0x0FF)}, 0x00FE},
    {"JSR", {0x20, Addr::AbsJump}, 0x9000, 0x0100, {W(0x100), W(0x1FF)}, 0x01FE, {W(0x100), W(0x0FF)}, 0x00FE},
    {"JSR (abs,X)", {0xFC, Addr::AbsXInd}, 0x9000, 0x0100, {W(0x100), W(0x0FF)}, 0x01FE, {W(0x100), W(0x0FF)},
     0x00FE},
    {"JSL", {0x22, Addr::LongJump}, 0x9000, 0x0100, {W(0x100), W(0x0FF), W(0x0FE)}, 0x01FD,
     {W(0x100), W(0x0FF), W(0x0FE)}, 0x00FD},
    {"BRK", {0x00, Addr::Imm8}, 0, 0x0100, {W(0x100), W(0x1FF), W(0x1FE)}, 0x01FD,
     {W(0x100), W(0x0FF), W(0x0FE), W(0x0FD)}, 0x00FC},
    {"COP", {0x02, Addr::Imm8}, 0, 0x0100, {W(0x100), W(0x1FF), W(0x1FE)}, 0x01FD,
     {W(0x100), W(0x0FF), W(0x0FE), W(0x0FD)}, 0x00FC},
    {"PLA", {0x68, Addr::Implied}, 0, 0x01FF, {R(0x100)}, 0x0100, {R(0x200)}, 0x0200},
    {"PLX", {0xFA, Addr::Implied}, 0, 0x01FF, {R(0x100)}, 0x0100, {R(0x200)}, 0x0200},
    {"PLY", {0x7A, Addr::Implied}, 0, 0x01FF, {R(0x100)}, 0x0100, {R(0x200)}, 0x0200},
    {"PLP", {0x28, Addr::Implied}, 0, 0x01FF, {R(0x100)}, 0x0100, {R(0x200)}, 0x0200},
    {"PLB", {0xAB, Addr::Implied}, 0, 0x01FF, {R(0x200)}, 0x0100, {R(0x200)}, 0x0200},
    {"PLD", {0x2B, Addr::Implied}, 0, 0x01FF, {R(0x200), R(0x201)}, 0x0101, {R(0x200), R(0x201)}, 0x0201},
    {"RTS", {0x60, Addr::Implied}, 0, 0x01FF, {R(0x100), R(0x101)}, 0x0101, {R(0x200), R(0x201)}, 0x0201},
    {"RTL", {0x6B, Addr::Implied}, 0, 0x01FF, {R(0x200), R(0x201), R(0x202)}, 0x0102,
     {R(0x200), R(0x201), R(0x202)}, 0x0202},
    {"RTI", {0x40, Addr::Implied}, 0, 0x01FF, {R(0x100), R(0x101), R(0x102)}, 0x0102,
     {R(0x200), R(0x201), R(0x202), R(0x203)}, 0x0203},
};

TEST(W65816Stack, EveryStackInstructionAtTheEdgeOfPageOne) {
    for (const StackCase& k : kStackCases) {
        for (Mode mode : {Mode::Emu, Mode::M1X1}) {
            SCOPED_TRACE(std::string(k.name) + " " + mode_name(mode));
            FlatCtx ctx;
            run_op(ctx, mode, kI, 0, k.op, k.operand, [&](FlatCtx& c) { c.cpu.s = k.s; });
            std::vector<Touch> touches;  // the stack's accesses: pages 0-2
            for (const Access& a : ctx.log)
                if (a.addr < 0x0300) touches.push_back({a.write, uint16_t(a.addr)});
            EXPECT_EQ(touches, is_emu(mode) ? k.emu : k.native);
            EXPECT_EQ(ctx.cpu.s, is_emu(mode) ? k.emu_s : k.native_s);
        }
    }
}

// What the wide pulls of emulation mode bring back from page 2.
TEST(W65816Stack, EmulationPullsOfTheNewInstructionsReadPageTwo) {
    auto fill = [](FlatCtx& c) {
        c.poke(0x0001FE, {0x66, 0x44});
        c.poke(0x000100, {0x11, 0x22, 0x33});
        c.poke(0x000200, {0x55, 0x77, 0x88});
    };
    FlatCtx ctx;
    run_op(ctx, Mode::Emu, kI, 0, {0xAB, Addr::Implied}, 0, [&](FlatCtx& c) { fill(c); c.cpu.s = 0x01FF; });  // PLB
    EXPECT_EQ(ctx.cpu.dbr, 0x55);
    run_op(ctx, Mode::Emu, kI, 0, {0x2B, Addr::Implied}, 0, [&](FlatCtx& c) { fill(c); c.cpu.s = 0x01FF; });  // PLD
    EXPECT_EQ(ctx.cpu.d, 0x7755);
    run_op(ctx, Mode::Emu, kI, 0, {0x6B, Addr::Implied}, 0, [&](FlatCtx& c) { fill(c); c.cpu.s = 0x01FE; });  // RTL
    EXPECT_EQ(ctx.pc24(), 0x775545u);  // $01FF, $0200, bank from $0201
    EXPECT_EQ(ctx.cpu.s, 0x0101);
    run_op(ctx, Mode::Emu, kI, 0, {0x60, Addr::Implied}, 0, [&](FlatCtx& c) { fill(c); c.cpu.s = 0x01FE; });  // RTS
    EXPECT_EQ(ctx.pc24(), 0x051145u);
    run_op(ctx, Mode::Emu, kI, 0, {0x40, Addr::Implied}, 0, [&](FlatCtx& c) { fill(c); c.cpu.s = 0x01FE; });  // RTI
    EXPECT_EQ(ctx.status(), 0x74);  // $44 pulled; M and X read 1
    EXPECT_EQ(ctx.pc24(), 0x052211u);  // emulation RTI keeps PBR
}

}  // namespace
}  // namespace vt::test
