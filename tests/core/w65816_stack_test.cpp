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
        {Mode::M0X0, 0xC7}, {Mode::M0X1, 0xD7}, {Mode::M1X0, 0xE7}, {Mode::M1X1, 0xF7}, {Mode::Emu, 0xE7}};
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

// Emulation mode keeps the stack in page 1: pushes from S = $0100 continue
// at $01FF. Native mode carries into page 0.
struct WrapPush {
    const char* name;
    OpCase op;
    uint16_t operand;
    int bytes;
};
const WrapPush kWrapPushes[] = {
    {"PHA", {0x48, Addr::Implied}, 0, 1},     {"PHX", {0xDA, Addr::Implied}, 0, 1},
    {"PHY", {0x5A, Addr::Implied}, 0, 1},     {"PHB", {0x8B, Addr::Implied}, 0, 1},
    {"PHK", {0x4B, Addr::Implied}, 0, 1},     {"PHP", {0x08, Addr::Implied}, 0, 1},
    {"PHD", {0x0B, Addr::Implied}, 0, 2},     {"PEA", {0xF4, Addr::AbsJump}, 0x1234, 2},
    {"PEI", {0xD4, Addr::Dp}, 0x1234, 2},     {"PER", {0x62, Addr::Rel16}, 0x1234, 2},
    {"JSR", {0x20, Addr::AbsJump}, 0x9000, 2}, {"JSR (abs,X)", {0xFC, Addr::AbsXInd}, 0x9000, 2},
    {"JSL", {0x22, Addr::LongJump}, 0x9000, 3}, {"BRK", {0x00, Addr::Imm8}, 0, 3},
    {"COP", {0x02, Addr::Imm8}, 0, 3},
};

TEST(W65816Stack, EmulationPushesWrapWithinPageOne) {
    for (const WrapPush& k : kWrapPushes) {
        for (Mode mode : {Mode::Emu, Mode::M1X1}) {
            SCOPED_TRACE(std::string(k.name) + " " + mode_name(mode));
            FlatCtx ctx;
            run_op(ctx, mode, kI, 0, k.op, k.operand, [](FlatCtx& c) { c.cpu.s = 0x0100; });
            // BRK and COP push one byte more in native mode (the bank).
            const int bytes = k.bytes + ((k.op.code == 0x00 || k.op.code == 0x02) && !is_emu(mode) ? 1 : 0);
            std::vector<uint32_t> want;
            for (int i = 0; i < bytes; i++) want.push_back(is_emu(mode) ? (i == 0 ? 0x0100u : 0x0200u - i) : 0x0100u - i);
            std::vector<uint32_t> got;
            for (const Access& a : ctx.writes()) got.push_back(a.addr);
            EXPECT_EQ(got, want);
            EXPECT_EQ(ctx.cpu.s, is_emu(mode) ? 0x0200 - bytes : 0x0100 - bytes);
        }
    }
}

TEST(W65816Stack, EmulationPullsWrapWithinPageOne) {
    // Page 1 and its neighbours hold distinct bytes, so each result shows
    // where it was read.
    auto fill = [](FlatCtx& c) {
        c.poke(0x0001FE, {0x66, 0x44});
        c.poke(0x000100, {0x11, 0x22, 0x33});
        c.poke(0x000200, {0x55, 0x77, 0x88});
    };
    struct Case {
        const char* name;
        uint8_t code;
        uint16_t s;
    };
    const Case cases[] = {{"PLA", 0x68, 0x01FF}, {"PLX", 0xFA, 0x01FF}, {"PLY", 0x7A, 0x01FF}, {"PLB", 0xAB, 0x01FF},
                          {"PLP", 0x28, 0x01FF}, {"PLD", 0x2B, 0x01FE}, {"RTS", 0x60, 0x01FE}, {"RTL", 0x6B, 0x01FE},
                          {"RTI", 0x40, 0x01FE}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        FlatCtx emu;
        run_op(emu, Mode::Emu, kI, 0, {k.code, Addr::Implied}, 0, [&](FlatCtx& c) {
            fill(c);
            c.cpu.s = k.s;
        });
        FlatCtx native;
        run_op(native, Mode::M1X1, kI, 0, {k.code, Addr::Implied}, 0, [&](FlatCtx& c) {
            fill(c);
            c.cpu.s = k.s;
        });
        switch (k.code) {
            case 0x68: EXPECT_EQ(emu.cpu.a & 0xFF, 0x11); EXPECT_EQ(native.cpu.a & 0xFF, 0x55); break;
            case 0xFA: EXPECT_EQ(emu.cpu.x, 0x11); EXPECT_EQ(native.cpu.x, 0x55); break;
            case 0x7A: EXPECT_EQ(emu.cpu.y, 0x11); EXPECT_EQ(native.cpu.y, 0x55); break;
            case 0xAB: EXPECT_EQ(emu.cpu.dbr, 0x11); EXPECT_EQ(native.cpu.dbr, 0x55); break;
            case 0x28: EXPECT_EQ(emu.status(), 0x11); EXPECT_EQ(native.status(), 0x55); break;
            case 0x2B: EXPECT_EQ(emu.cpu.d, 0x1144); EXPECT_EQ(native.cpu.d, 0x5544); break;
            case 0x60: EXPECT_EQ(emu.cpu.pc, 0x1145); EXPECT_EQ(native.cpu.pc, 0x5545); break;
            case 0x6B:
                EXPECT_EQ(emu.pc24(), 0x221145u);
                EXPECT_EQ(native.pc24(), 0x775545u);
                break;
            case 0x40:  // status from $01FF, then PC (and the bank in native mode)
                EXPECT_EQ(emu.status() & 0xCF, 0x44);
                EXPECT_EQ(emu.pc24(), 0x052211u);  // emulation RTI keeps PBR
                EXPECT_EQ(native.status(), 0x44);
                EXPECT_EQ(native.pc24(), 0x887755u);
                break;
        }
        const int bytes = k.code == 0x6B ? 3 : k.code == 0x40 ? 3 : (k.s == 0x01FE ? 2 : 1);
        const int native_bytes = k.code == 0x40 ? 4 : bytes;
        EXPECT_EQ(emu.cpu.s, 0x0100 + bytes - (0x0200 - k.s));
        EXPECT_EQ(native.cpu.s, k.s + native_bytes);
    }
}

}  // namespace
}  // namespace vt::test
