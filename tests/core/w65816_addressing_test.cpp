// Effective-address rules: the direct-page carry penalty, the page wrapping
// of emulation mode, 24-bit index carries and pointer fetches.
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
// Every direct-page mode; pointers are placed where each mode looks.
const DpModeCase kDpModes[] = {
    {"LDA dp", 0xA5, 3},      {"LDA dp,X", 0xB5, 4},     {"LDX dp,Y", 0xB6, 4},  {"LDA (dp)", 0xB2, 5},
    {"LDA [dp]", 0xA7, 6},    {"LDA (dp,X)", 0xA1, 6},   {"LDA (dp),Y", 0xB1, 5}, {"LDA [dp],Y", 0xB7, 6},
    {"ADC dp", 0x65, 3},      {"STA dp", 0x85, 3},       {"ASL dp", 0x06, 5},    {"TSB dp", 0x04, 5},
    {"BIT dp", 0x24, 3},      {"LDY dp", 0xA4, 3},       {"STZ dp,X", 0x74, 4},  {"INC dp,X", 0xF6, 6},
};

// Native mode: 3 units more whenever D's low byte plus the operand carries.
TEST(W65816Addressing, DirectPageCarryPenaltyInNativeMode) {
    struct DCase {
        uint16_t d;
        uint8_t op;
        bool penalty;
    };
    const DCase cases[] = {{0x0300, 0xFF, false}, {0x0380, 0x7F, false}, {0x0380, 0x80, true},
                           {0x0301, 0xFF, true},  {0x03FF, 0x01, true},  {0x03FF, 0x00, false}};
    for (const DpModeCase& m : kDpModes) {
        for (const DCase& k : cases) {
            SCOPED_TRACE(std::string(m.name) + " D=" + std::to_string(k.d) + " op=" + std::to_string(k.op));
            Probe p = probe(Mode::M1X1, {m.code, k.op}, [&](FlatCtx& c) {
                c.cpu.d = k.d;
                c.cpu.x = 0;
                c.cpu.y = 0;
            });
            EXPECT_EQ(p.cost, 3 * m.cycles + (k.penalty ? 3 : 0));
        }
    }
}

TEST(W65816Addressing, PeiChargesNoDirectPagePenalty) {
    Probe p = probe(Mode::M1X1, {0xD4, 0xFF}, [](FlatCtx& c) { c.cpu.d = 0x0301; });
    EXPECT_EQ(p.cost, 18);
    p = probe(Mode::Emu, {0xD4, 0xFF}, [](FlatCtx& c) { c.cpu.d = 0x0301; });
    EXPECT_EQ(p.cost, 18);
}

// Emulation mode, modes without an index: the same penalty rule.
TEST(W65816Addressing, DirectPageCarryPenaltyInEmulationMode) {
    for (uint8_t code : {0xA5, 0xB2, 0xA7, 0xB1, 0xB7, 0x85, 0x06}) {
        SCOPED_TRACE(describe(code, Mode::Emu));
        Probe plain = probe(Mode::Emu, {code, 0x10}, [](FlatCtx& c) { c.cpu.d = 0x0300; });
        Probe carry = probe(Mode::Emu, {code, 0x10}, [](FlatCtx& c) { c.cpu.d = 0x03F8; });
        EXPECT_EQ(carry.cost, plain.cost + 3);
    }
    // dp itself does not wrap: D = $0101, LDA $FF reads $0200.
    Probe p = probe(Mode::Emu, {0xA5, 0xFF}, [](FlatCtx& c) { c.cpu.d = 0x0101; });
    EXPECT_EQ(p.read_at, 0x000200u);
    EXPECT_EQ(p.cost, 12);
}

TEST(W65816Addressing, EmulationDpXWrapsInThePageWhenDLowIsZero) {
    // D = $0100: LDA $FF,X with X = 2 reads $0101, no penalty.
    Probe p = probe(Mode::Emu, {0xB5, 0xFF}, [](FlatCtx& c) {
        c.cpu.d = 0x0100;
        c.cpu.x = 2;
    });
    EXPECT_EQ(p.read_at, 0x000101u);
    EXPECT_EQ(p.cost, 12);
    // D = $0180: the full sum $0281, 3 units more for leaving D's page.
    p = probe(Mode::Emu, {0xB5, 0xFF}, [](FlatCtx& c) {
        c.cpu.d = 0x0180;
        c.cpu.x = 2;
    });
    EXPECT_EQ(p.read_at, 0x000281u);
    EXPECT_EQ(p.cost, 15);
    // D = $0180, sum staying in D's page: no penalty.
    p = probe(Mode::Emu, {0xB5, 0x10}, [](FlatCtx& c) {
        c.cpu.d = 0x0180;
        c.cpu.x = 2;
    });
    EXPECT_EQ(p.read_at, 0x000192u);
    EXPECT_EQ(p.cost, 12);
    // The same in native mode: D + op carries, then X is added in 16 bits.
    p = probe(Mode::M1X1, {0xB5, 0xFF}, [](FlatCtx& c) {
        c.cpu.d = 0x0100;
        c.cpu.x = 2;
    });
    EXPECT_EQ(p.read_at, 0x000201u);
    EXPECT_EQ(p.cost, 12);
    p = probe(Mode::M1X1, {0xB5, 0xFF}, [](FlatCtx& c) {
        c.cpu.d = 0x0180;
        c.cpu.x = 2;
    });
    EXPECT_EQ(p.read_at, 0x000281u);
    EXPECT_EQ(p.cost, 15);
    // Native with a 16-bit X leaves the page freely.
    p = probe(Mode::M1X0, {0xB5, 0x10}, [](FlatCtx& c) {
        c.cpu.d = 0x0100;
        c.cpu.x = 0x1000;
    });
    EXPECT_EQ(p.read_at, 0x001110u);
    EXPECT_EQ(p.cost, 12);
}

TEST(W65816Addressing, EmulationDpXAlsoGovernsStoresAndReadModifyWrite) {
    for (uint8_t code : {0x95, 0x74, 0xF6, 0x94, 0x34}) {  // STA STZ INC STY BIT, all dp,X
        SCOPED_TRACE(describe(code, Mode::Emu));
        FlatCtx ctx;
        ctx.enter_mode(Mode::Emu, kI);
        ctx.cpu.d = 0x0100;
        ctx.cpu.x = 2;
        ctx.load_code(0x05, 0x8000, {code, 0xFF});
        ctx.step();
        bool touched = false;
        for (const Access& a : ctx.log) {
            if (a.addr == 0x000101) touched = true;
            EXPECT_NE(a.addr, 0x000201u);
        }
        EXPECT_TRUE(touched);
    }
}

TEST(W65816Addressing, EmulationDpYAddsYToTheLowByteOnly) {
    // D + op with the penalty, then Y wraps within that page.
    Probe p = probe(Mode::Emu, {0xB6, 0xFF}, [](FlatCtx& c) {  // LDX $FF,Y
        c.cpu.d = 0x0100;
        c.cpu.y = 2;
    });
    EXPECT_EQ(p.read_at, 0x000101u);
    EXPECT_EQ(p.cost, 12);
    p = probe(Mode::Emu, {0xB6, 0x10}, [](FlatCtx& c) {
        c.cpu.d = 0x0180;
        c.cpu.y = 0xF0;  // $0190 + $F0 stays in page 1
    });
    EXPECT_EQ(p.read_at, 0x000180u);
    EXPECT_EQ(p.cost, 12);
    p = probe(Mode::Emu, {0xB6, 0xFF}, [](FlatCtx& c) {
        c.cpu.d = 0x0180;  // $0180 + $FF = $027F: penalty, then page 2
        c.cpu.y = 2;
    });
    EXPECT_EQ(p.read_at, 0x000281u);
    EXPECT_EQ(p.cost, 15);
    // Native: plain 16-bit sum.
    p = probe(Mode::M1X1, {0xB6, 0x10}, [](FlatCtx& c) {
        c.cpu.d = 0x0180;
        c.cpu.y = 0xF0;
    });
    EXPECT_EQ(p.read_at, 0x000280u);
}

TEST(W65816Addressing, EmulationStxDpYWritesInThePage) {
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu, kI);
    ctx.cpu.d = 0x0100;
    ctx.cpu.x = 0x5A;
    ctx.cpu.y = 2;
    ctx.load_code(0x05, 0x8000, {0x96, 0xFF});
    ctx.step();
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x000101, 0x5A}}));
}

TEST(W65816Addressing, EmulationDpXIndirectTakesThePointerFromTheWrappedAddress) {
    auto setup = [](FlatCtx& c) {
        c.cpu.d = 0x0100;
        c.cpu.x = 2;
        c.poke16(0x000101, 0x4000);  // wrapped address
        c.poke16(0x000201, 0x5000);  // unwrapped address
    };
    Probe p = probe(Mode::Emu, {0xA1, 0xFF}, setup);  // LDA ($FF,X)
    EXPECT_EQ(p.read_at, 0x124000u);
    EXPECT_EQ(p.cost, 18);
    p = probe(Mode::M1X1, {0xA1, 0xFF}, setup);
    EXPECT_EQ(p.read_at, 0x125000u);
    EXPECT_EQ(p.cost, 18);
}

TEST(W65816Addressing, StackRelativeWrapsInThePageInEmulationMode) {
    auto setup = [](FlatCtx& c) {
        c.cpu.s = 0x01F0;
        c.cpu.y = 1;
        c.poke16(0x000110, 0x4000);
        c.poke16(0x000210, 0x5000);
    };
    Probe p = probe(Mode::Emu, {0xA3, 0x20}, setup);  // LDA $20,S
    EXPECT_EQ(p.read_at, 0x000110u);
    EXPECT_EQ(p.cost, 12);
    p = probe(Mode::M1X1, {0xA3, 0x20}, setup);
    EXPECT_EQ(p.read_at, 0x000210u);
    p = probe(Mode::Emu, {0xB3, 0x20}, setup);  // LDA ($20,S),Y
    EXPECT_EQ(p.read_at, 0x124001u);
    EXPECT_EQ(p.cost, 21);
    p = probe(Mode::M1X1, {0xB3, 0x20}, setup);
    EXPECT_EQ(p.read_at, 0x125001u);
    // Stores through sr,S follow the same rule.
    FlatCtx ctx;
    ctx.enter_mode(Mode::Emu, kI);
    ctx.cpu.s = 0x01F0;
    ctx.cpu.a = 0x77;
    ctx.load_code(0x05, 0x8000, {0x83, 0x20});  // STA $20,S
    ctx.step();
    EXPECT_EQ(ctx.writes(), (std::vector<Access>{{true, 0x000110, 0x77}}));
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

TEST(W65816Addressing, JmpIndirectStaysInThePageInEmulationMode) {
    auto setup = [](FlatCtx& c) {
        c.poke(0x0012FF, {0x34});
        c.poke(0x001200, {0x56});
        c.poke(0x001300, {0x78});
    };
    FlatCtx ctx;
    for (Mode mode : {Mode::Emu, Mode::M1X1}) {
        ctx.enter_mode(mode, kI);
        setup(ctx);
        ctx.load_code(0x05, 0x8000, {0x6C, 0xFF, 0x12});  // JMP ($12FF)
        EXPECT_EQ(ctx.step(), 15);
        EXPECT_EQ(ctx.pc24(), is_emu(mode) ? 0x055634u : 0x057834u) << mode_name(mode);
    }
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
