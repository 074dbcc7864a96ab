// Effective-address rules: the direct-page penalty, the page wrapping of
// emulation mode, the bank-0 wrap of direct-page and stack data, 24-bit index
// carries and pointer fetches.
#include <gtest/gtest.h>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

constexpr uint8_t kI = 0x04;

struct Probe {
    uint32_t read_at;  // address of the last byte read: the data
    int cost;
};

// Runs `code` (8-bit registers unless `mode` says otherwise) at $05:8000
// after `setup` and reports where its data came from.
template <class Setup>
Probe probe(Mode mode, std::initializer_list<uint8_t> code, Setup setup) {
    FlatCtx ctx;
    ctx.enter_mode(mode, kI);
    ctx.cpu.dbr = 0x12;
    setup(ctx);
    ctx.load_code(0x05, 0x8000, code);
    ctx.clear_log();
    int cost = ctx.step();
    return {ctx.log.empty() ? 0 : ctx.log.back().addr, cost};
}

struct DpModeCase {
    const char* name;
    uint8_t code;
    int cycles;  // base, 8-bit
};
// Every instruction form that adds D to its operand.
const DpModeCase kDpModes[] = {
    {"LDA dp", 0xA5, 3},      {"LDA dp,X", 0xB5, 4},     {"LDX dp,Y", 0xB6, 4},  {"LDA (dp)", 0xB2, 5},
    {"LDA [dp]", 0xA7, 6},    {"LDA (dp,X)", 0xA1, 6},   {"LDA (dp),Y", 0xB1, 5}, {"LDA [dp],Y", 0xB7, 6},
    {"ADC dp", 0x65, 3},      {"STA dp", 0x85, 3},       {"ASL dp", 0x06, 5},    {"TSB dp", 0x04, 5},
    {"BIT dp", 0x24, 3},      {"LDY dp", 0xA4, 3},       {"STZ dp,X", 0x74, 4},  {"INC dp,X", 0xF6, 6},
    {"PEI (dp)", 0xD4, 6},
};

// The chip spends one cycle more on every direct-page access while the low
// byte of D is not zero, whether or not D + operand crosses a page; in both
// modes.
TEST(W65816Addressing, DirectPagePenaltyWheneverTheLowByteOfDIsNotZero) {
    struct DCase {
        uint16_t d;
        uint8_t op;
        bool penalty;
    };
    const DCase cases[] = {{0x0300, 0xFF, false}, {0x0380, 0x7F, true}, {0x0380, 0x80, true},
                           {0x0301, 0xFF, true},  {0x03FF, 0x00, true}, {0x0000, 0x10, false}};
    for (Mode mode : {Mode::M1X1, Mode::Emu}) {
        for (const DpModeCase& m : kDpModes) {
            for (const DCase& k : cases) {
                SCOPED_TRACE(std::string(m.name) + " " + mode_name(mode) + " D=" + std::to_string(k.d) +
                             " op=" + std::to_string(k.op));
                Probe p = probe(mode, {m.code, k.op}, [&](FlatCtx& c) {
                    c.cpu.d = k.d;
                    c.cpu.x = 0;
                    c.cpu.y = 0;
                });
                EXPECT_EQ(p.cost, 3 * m.cycles + (k.penalty ? 3 : 0));
            }
        }
    }
}

// One bus access of an instruction outside its own bytes: pointer, data or
// stack.
struct Touch {
    bool write;
    uint32_t addr;
    bool operator==(const Touch&) const = default;
};
constexpr Touch R(uint32_t a) { return {false, a}; }
constexpr Touch W(uint32_t a) { return {true, a}; }

struct WrapCase {
    const char* what;
    Mode mode;
    std::vector<uint8_t> code;  // run at $05:8000, DBR = $12, memory zero
    uint16_t d, x, y, s;
    std::vector<Touch> touches;  // every access outside bank $05, in order
    int cycles;                  // base cost and direct-page penalty
};

// Where the direct-page, stack-relative and indirect modes reach, in
// emulation mode and in native mode. Emulation mode keeps the 6502's page
// wrap for its own modes only while the low byte of D is 0; (dp,X) keeps the
// second pointer byte in the page of the first whatever D holds; the
// 65816's own modes ([dp], sr,S, PEI) and JMP (abs) never wrap in a page.
// 16-bit data of direct-page and stack modes wraps within bank 0.
const WrapCase kWrapCases[] = {
    // --- emulation mode
    {"dp", Mode::Emu, {0xA5, 0xFF}, 0x0100, 0, 0, 0x01F0, {R(0x0001FF)}, 3},
    {"dp leaving D's page", Mode::Emu, {0xA5, 0x01}, 0x01FF, 0, 0, 0x01F0, {R(0x000200)}, 4},
    {"dp,X D low 0 wraps", Mode::Emu, {0xB5, 0xFF}, 0x0100, 2, 0, 0x01F0, {R(0x000101)}, 4},
    {"dp,X D low not 0: full sum", Mode::Emu, {0xB5, 0xFF}, 0x0180, 2, 0, 0x01F0, {R(0x000281)}, 5},
    {"dp,X D low not 0, same page", Mode::Emu, {0xB5, 0x10}, 0x0180, 2, 0, 0x01F0, {R(0x000192)}, 5},
    {"dp,Y D low 0 wraps", Mode::Emu, {0xB6, 0xFF}, 0x0100, 0, 2, 0x01F0, {R(0x000101)}, 4},
    {"dp,Y D low not 0: full sum", Mode::Emu, {0xB6, 0xFF}, 0x0180, 0, 2, 0x01F0, {R(0x000281)}, 5},
    {"STZ dp,X wraps", Mode::Emu, {0x74, 0xFF}, 0x0100, 2, 0, 0x01F0, {W(0x000101)}, 4},
    {"STX dp,Y wraps", Mode::Emu, {0x96, 0xFF}, 0x0100, 0, 2, 0x01F0, {W(0x000101)}, 4},
    {"INC dp,X full sum", Mode::Emu, {0xF6, 0xFF}, 0x0180, 2, 0, 0x01F0, {R(0x000281), W(0x000281)}, 7},
    {"(dp) D low 0: pointer wraps", Mode::Emu, {0xB2, 0xFF}, 0x0100, 0, 0, 0x01F0,
     {R(0x0001FF), R(0x000100), R(0x120000)}, 5},
    {"(dp) D low not 0", Mode::Emu, {0xB2, 0xFE}, 0x0101, 0, 0, 0x01F0, {R(0x0001FF), R(0x000200), R(0x120000)}, 6},
    {"(dp),Y D low 0: pointer wraps", Mode::Emu, {0xB1, 0xFF}, 0x0100, 0, 3, 0x01F0,
     {R(0x0001FF), R(0x000100), R(0x120003)}, 5},
    {"(dp),Y D low not 0", Mode::Emu, {0xB1, 0xFE}, 0x0101, 0, 3, 0x01F0,
     {R(0x0001FF), R(0x000200), R(0x120003)}, 6},
    {"[dp] never wraps", Mode::Emu, {0xA7, 0xFF}, 0x0100, 0, 0, 0x01F0,
     {R(0x0001FF), R(0x000200), R(0x000201), R(0x000000)}, 6},
    {"[dp],Y never wraps", Mode::Emu, {0xB7, 0xFF}, 0x0100, 0, 3, 0x01F0,
     {R(0x0001FF), R(0x000200), R(0x000201), R(0x000003)}, 6},
    {"(dp,X) D low 0: pointer wraps", Mode::Emu, {0xA1, 0xFE}, 0x0100, 1, 0, 0x01F0,
     {R(0x0001FF), R(0x000100), R(0x120000)}, 6},
    {"(dp,X) D low 0: index wraps", Mode::Emu, {0xA1, 0xFF}, 0x0100, 2, 0, 0x01F0,
     {R(0x000101), R(0x000102), R(0x120000)}, 6},
    {"(dp,X) D low not 0: second byte wraps", Mode::Emu, {0xA1, 0xDE}, 0x0120, 1, 0, 0x01F0,
     {R(0x0001FF), R(0x000100), R(0x120000)}, 7},
    {"(dp,X) D low not 0: next page", Mode::Emu, {0xA1, 0xFF}, 0x0101, 1, 0, 0x01F0,
     {R(0x000201), R(0x000202), R(0x120000)}, 7},
    {"STA (dp,X)", Mode::Emu, {0x81, 0xDE}, 0x0120, 1, 0, 0x01F0, {R(0x0001FF), R(0x000100), W(0x120000)}, 7},
    {"sr,S leaves page 1", Mode::Emu, {0xA3, 0x20}, 0, 0, 0, 0x01F0, {R(0x000210)}, 4},
    {"STA sr,S", Mode::Emu, {0x83, 0x20}, 0, 0, 0, 0x01F0, {W(0x000210)}, 4},
    {"(sr,S),Y", Mode::Emu, {0xB3, 0x20}, 0, 0, 1, 0x01F0, {R(0x000210), R(0x000211), R(0x120001)}, 7},
    {"JMP (abs) without the 6502 wrap", Mode::Emu, {0x6C, 0xFF, 0x12}, 0, 0, 0, 0x01F0,
     {R(0x0012FF), R(0x001300)}, 5},
    {"JML [abs]", Mode::Emu, {0xDC, 0xFF, 0x12}, 0, 0, 0, 0x01F0, {R(0x0012FF), R(0x001300), R(0x001301)}, 6},
    {"PEI never wraps", Mode::Emu, {0xD4, 0xFF}, 0x0100, 0, 0, 0x01F0,
     {R(0x0001FF), R(0x000200), W(0x0001F0), W(0x0001EF)}, 6},
    {"PEI D low not 0", Mode::Emu, {0xD4, 0xFE}, 0x0101, 0, 0, 0x01F0,
     {R(0x0001FF), R(0x000200), W(0x0001F0), W(0x0001EF)}, 7},
    // --- native mode, 8-bit registers unless said
    {"dp,X 16-bit sum", Mode::M1X1, {0xB5, 0xFF}, 0x0100, 2, 0, 0x01F0, {R(0x000201)}, 4},
    {"dp,X wraps in bank 0", Mode::M1X0, {0xB5, 0x20}, 0xFFF0, 0x0010, 0, 0x01F0, {R(0x000020)}, 5},
    {"dp,Y 16-bit sum", Mode::M1X1, {0xB6, 0x10}, 0x0180, 0, 0xF0, 0x01F0, {R(0x000280)}, 5},
    {"(dp)", Mode::M1X1, {0xB2, 0xFF}, 0x0100, 0, 0, 0x01F0, {R(0x0001FF), R(0x000200), R(0x120000)}, 5},
    {"(dp,X)", Mode::M1X1, {0xA1, 0xDE}, 0x0120, 1, 0, 0x01F0, {R(0x0001FF), R(0x000200), R(0x120000)}, 7},
    {"sr,S", Mode::M1X1, {0xA3, 0x20}, 0, 0, 0, 0x01F0, {R(0x000210)}, 4},
    {"JMP (abs) in bank 0", Mode::M1X1, {0x6C, 0xFF, 0xFF}, 0, 0, 0, 0x01F0, {R(0x00FFFF), R(0x000000)}, 5},
    {"PEI", Mode::M1X1, {0xD4, 0xFF}, 0x0100, 0, 0, 0x01F0,
     {R(0x0001FF), R(0x000200), W(0x0001F0), W(0x0001EF)}, 6},
    {"16-bit dp wraps in bank 0", Mode::M0X0, {0xA5, 0xFF}, 0xFF00, 0, 0, 0x01F0, {R(0x00FFFF), R(0x000000)}, 4},
    {"16-bit dp,X wraps in bank 0", Mode::M0X0, {0xB5, 0xFE}, 0xFF00, 1, 0, 0x01F0, {R(0x00FFFF), R(0x000000)}, 5},
    {"16-bit LDX dp,Y wraps in bank 0", Mode::M1X0, {0xB6, 0xFF}, 0xFF00, 0, 0, 0x01F0,
     {R(0x00FFFF), R(0x000000)}, 5},
    {"16-bit STA dp wraps in bank 0", Mode::M0X0, {0x85, 0xFF}, 0xFF00, 0, 0, 0x01F0, {W(0x00FFFF), W(0x000000)}, 4},
    {"16-bit INC dp wraps in bank 0", Mode::M0X0, {0xE6, 0xFF}, 0xFF00, 0, 0, 0x01F0,
     {R(0x00FFFF), R(0x000000), W(0x000000), W(0x00FFFF)}, 7},
    {"16-bit sr,S wraps in bank 0", Mode::M0X0, {0xA3, 0x03}, 0, 0, 0, 0xFFFC, {R(0x00FFFF), R(0x000000)}, 5},
};

TEST(W65816Addressing, EveryModeReachesWhereTheChipReaches) {
    for (const WrapCase& k : kWrapCases) {
        SCOPED_TRACE(std::string(k.what) + ", " + mode_name(k.mode));
        FlatCtx ctx;
        ctx.enter_mode(k.mode, kI);
        ctx.cpu.dbr = 0x12;
        ctx.cpu.d = k.d;
        ctx.cpu.x = k.x;
        ctx.cpu.y = k.y;
        ctx.cpu.s = k.s;
        for (size_t i = 0; i < k.code.size(); i++) ctx.store(0x058000 + uint32_t(i), k.code[i]);
        ctx.cpu.pbr = 0x05;
        ctx.cpu.pc = 0x8000;
        ctx.clear_log();
        const int cost = ctx.step();
        std::vector<Touch> touches;
        for (const Access& a : ctx.log)
            if ((a.addr >> 16) != 0x05) touches.push_back({a.write, a.addr});
        EXPECT_EQ(touches, k.touches);
        EXPECT_EQ(cost, 3 * k.cycles);
    }
}


// Indexing carries through all 24 bits; the bank is not kept.
TEST(W65816Addressing, IndexedAddressesCarryIntoTheNextBank) {
    for (Mode mode : {Mode::M1X0, Mode::M1X1, Mode::Emu}) {  // 8-bit data: the last read is the address
        SCOPED_TRACE(mode_name(mode));
        auto regs = [](FlatCtx& c) {
            c.cpu.x = 2;
            c.cpu.y = 3;
            c.cpu.d = 0x0000;
            c.poke16(0x000040, 0xFFFF);  // (dp) pointer
            c.poke24(0x000050, 0x12FFFF);  // [dp] pointer
        };
        EXPECT_EQ(probe(mode, {0xBD, 0xFF, 0xFF}, regs).read_at, 0x130001u);        // LDA $FFFF,X
        EXPECT_EQ(probe(mode, {0xB9, 0xFF, 0xFF}, regs).read_at, 0x130002u);        // LDA $FFFF,Y
        EXPECT_EQ(probe(mode, {0xBF, 0xFF, 0xFF, 0x12}, regs).read_at, 0x130001u);  // LDA $12FFFF,X
        EXPECT_EQ(probe(mode, {0xB1, 0x40}, regs).read_at, 0x130002u);              // LDA ($40),Y
        EXPECT_EQ(probe(mode, {0xB7, 0x50}, regs).read_at, 0x130002u);              // LDA [$50],Y
        EXPECT_EQ(probe(mode, {0xBF, 0xFF, 0xFF, 0xFF}, regs).read_at, 0x000001u);  // wraps past $FFFFFF
    }
    // (sr,S),Y likewise.
    Probe p = probe(Mode::M1X1, {0xB3, 0x01}, [](FlatCtx& c) {
        c.cpu.s = 0x1000;
        c.cpu.y = 4;
        c.poke16(0x001001, 0xFFFE);
    });
    EXPECT_EQ(p.read_at, 0x130002u);
    // A 16-bit index reaches well into the next bank.
    p = probe(Mode::M1X0, {0xBD, 0x00, 0x80}, [](FlatCtx& c) { c.cpu.x = 0x9000; });
    EXPECT_EQ(p.read_at, 0x131000u);
}

TEST(W65816Addressing, SixteenBitDataCrossesIntoTheNextBank) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::M0X0, kI);
    ctx.cpu.dbr = 0x12;
    ctx.cpu.a = 0xBEEF;
    ctx.load_code(0x05, 0x8000, {0x8D, 0xFF, 0xFF});  // STA $FFFF
    ctx.step();
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x12FFFF, 0xEF}, {true, 0x130000, 0xBE}}));
    ctx.load_code(0x05, 0x8000, {0xEE, 0xFF, 0xFF});  // INC $FFFF
    ctx.clear_log();
    ctx.step();
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x130000, 0xBE}, {true, 0x12FFFF, 0xF0}}));
    ctx.load_code(0x05, 0x8000, {0xAF, 0xFF, 0xFF, 0x7F});  // LDA $7FFFFF
    ctx.poke(0x7FFFFF, {0x34});
    ctx.poke(0x800000, {0x12});
    ctx.step();
    EXPECT_EQ(ctx.cpu.a, 0x1234);
}

TEST(W65816Addressing, DirectPagePointersAreReadAtSuccessiveBankZeroAddresses) {
    // D + op = $FFFF: the pointer's next bytes come from $0000 and $0001.
    auto setup = [](FlatCtx& c) {
        c.cpu.d = 0xFF00;
        c.poke(0x00FFFF, {0x00});
        c.poke(0x000000, {0x40, 0x56});
        c.poke(0x010000, {0x99, 0x99});
    };
    EXPECT_EQ(probe(Mode::M1X1, {0xB2, 0xFF}, setup).read_at, 0x124000u);  // LDA ($FF)
    EXPECT_EQ(probe(Mode::M1X1, {0xA7, 0xFF}, setup).read_at, 0x564000u);  // LDA [$FF]
}


TEST(W65816Addressing, JmlIndirectAndOtherPointersCrossPagesNormally) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu, kI);
    ctx.poke(0x0012FE, {0x11, 0x22, 0x33});
    ctx.load_code(0x05, 0x8000, {0xDC, 0xFE, 0x12});  // JML [$12FE]
    ctx.step();
    EXPECT_EQ(ctx.pc24(), 0x332211u);
}

}  // namespace
}  // namespace vt::test
