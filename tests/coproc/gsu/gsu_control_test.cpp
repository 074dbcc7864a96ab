// GSU prefixes, branches and the delay slot, jumps, loads and stores, the
// ROM buffer, the cache and STOP.
#include <gtest/gtest.h>

#include "coproc/gsu/gsu_harness.h"
#include "core/cpu_state.h"

namespace vt::test {
namespace {

TEST(GsuPrefixes, ToFromWithSelectRegistersAndBMakesMoveAndMoves) {
    GsuMachine t;
    t.set_r(3, 0x0100);
    t.set_r(4, 0x0023);
    // FROM R3, TO R5, ADD R4: R5 = R3 + R4; the next ADD is back on R0.
    t.set_r(0, 7);
    t.start({0xB3, 0x15, 0x54, 0x54, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(5), 0x0123);
    EXPECT_EQ(t.r(0), 7 + 0x23);

    // WITH R6 sets both and B; TO R7 is then MOVE R7,R6.
    t.set_r(6, 0xBEEF);
    t.start({0x26, 0x17, kStop});
    t.run(2);
    EXPECT_EQ(t.r(7), 0xBEEF);
    EXPECT_FALSE(t.flag(kSfrB));
    // WITH R8, FROM R9 is MOVES R8,R9: flags from the value, OV from bit 7.
    t.set_r(9, 0x0080);
    t.start({0x28, 0xB9, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(8), 0x0080);
    EXPECT_TRUE(t.flag(kSfrOv));
    EXPECT_FALSE(t.flag(kSfrS));
    EXPECT_FALSE(t.flag(kSfrZ));
}

TEST(GsuPrefixes, AltBitsAccumulateAndClearAfterTheInstruction) {
    GsuMachine t;
    t.set_r(0, 10);
    t.set_r(2, 3);
    // ALT2 then ALT1 is ALT3: opcode $62 is CMP R2 (R0 unchanged).
    t.start({0x3E, 0x3D, 0x62, kStop});
    t.run(2);
    EXPECT_TRUE(t.flag(kSfrAlt1));
    EXPECT_TRUE(t.flag(kSfrAlt2));
    t.run(1);
    EXPECT_EQ(t.r(0), 10);
    EXPECT_TRUE(t.flag(kSfrCy));
    EXPECT_FALSE(t.flag(kSfrAlt1) || t.flag(kSfrAlt2));
    // An ALT prefix clears B; WITH keeps ALT.
    t.start({0x21, 0x3D, kStop});
    t.run(2);
    EXPECT_FALSE(t.flag(kSfrB));
    EXPECT_TRUE(t.flag(kSfrAlt1));
    t.start({0x3D, 0x21, kStop});
    t.run(2);
    EXPECT_TRUE(t.flag(kSfrB));
    EXPECT_TRUE(t.flag(kSfrAlt1));
}

struct BranchCase {
    uint8_t opcode;
    uint16_t taken_with;  // SFR flags that make it branch
    uint16_t not_taken_with;
};

TEST(GsuBranches, EveryConditionTakesItsDelaySlotOnce) {
    const BranchCase cases[] = {
        {0x05, 0, 0xFFFF},          {0x06, kSfrS | kSfrOv, kSfrS}, {0x07, kSfrOv, kSfrS | kSfrOv},
        {0x08, 0, kSfrZ},           {0x09, kSfrZ, 0},              {0x0A, 0, kSfrS},
        {0x0B, kSfrS, 0},           {0x0C, 0, kSfrCy},             {0x0D, kSfrCy, 0},
        {0x0E, 0, kSfrOv},          {0x0F, kSfrOv, 0},
    };
    GsuMachine t;
    for (const BranchCase& c : cases) {
        for (bool take : {true, false}) {
            if (c.opcode == 0x05 && !take) continue;
            SCOPED_TRACE(testing::Message() << int(c.opcode) << (take ? " taken" : " not taken"));
            // At A = $1000: Bcc +5; delay slot INC R1; INC R2; ...; at A+2+5: INC R3.
            Code code = {c.opcode, 0x05, 0xD1, 0xD2, 0xD2, 0xD2, 0xD2, 0xD3, kStop};
            t.set_r(1, 0);
            t.set_r(2, 0);
            t.set_r(3, 0);
            Gsu& g = t.gsu();
            g.sfr = uint16_t((g.sfr & ~0x1E) | ((take ? c.taken_with : c.not_taken_with) & 0x1E));
            t.start(code);
            t.run_until_stop();
            EXPECT_EQ(t.r(1), 1);
            EXPECT_EQ(t.r(2), take ? 0 : 4);
            EXPECT_EQ(t.r(3), 1);
            EXPECT_EQ(t.r(15), 0x100A);  // past STOP and the byte fetched after it
        }
    }
}

TEST(GsuBranches, PrefixesSurviveABranch) {
    GsuMachine t;
    // $1000: ALT1; BRA +1; (delay) ADD R1 as ADC; ... the ALT survives the branch.
    t.set_r(0, 1);
    t.set_r(1, 1);
    t.gsu().sfr |= kSfrCy;
    t.start({0x3D, 0x05, 0x01, 0x51, kNop, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 3);  // ADC: 1 + 1 + carry
}

TEST(GsuJumps, IwtIntoR15RunsTheNextInstructionFirst) {
    GsuMachine t;
    for (int n = 1; n <= 3; n++) t.set_r(n, 0);
    Code code = iwt(15, 0x1010) + Code{0xD1, 0xD2, kStop};
    code.resize(0x10, kNop);
    code = code + Code{0xD3, kStop};
    t.start(code);
    t.run_until_stop();
    EXPECT_EQ(t.r(1), 1);  // the delay slot
    EXPECT_EQ(t.r(2), 0);  // skipped
    EXPECT_EQ(t.r(3), 1);
}

TEST(GsuJumps, LoopCountsDownWithItsDelaySlot) {
    GsuMachine t;
    t.set_r(12, 5);
    t.set_r(1, 0);
    t.set_r(13, 0x1000);
    // $1000: INC R1 ... LOOP; INC R2 (delay slot runs every time, also at the end)
    t.start({0xD1, 0x3C, 0xD2, kStop});
    t.set_r(2, 0);
    t.run_until_stop();
    EXPECT_EQ(t.r(1), 5);
    EXPECT_EQ(t.r(2), 5);
    EXPECT_EQ(t.r(12), 0);

    // LOOP's own flags: Z when the count reaches 0, S from its bit 15.
    t.set_r(12, 1);
    t.start({0x3C, kNop, kStop});
    t.run_until_stop();
    EXPECT_TRUE(t.flag(kSfrZ));
    t.set_r(12, 0);
    t.start({0x3C, kNop, kStop});
    t.run(2);
    EXPECT_TRUE(t.flag(kSfrS));
    EXPECT_EQ(t.r(12), 0xFFFF);
}

TEST(GsuJumps, LinkJmpAndReturn) {
    GsuMachine t;
    t.set_r(8, 0x1020);
    // $1000: LINK #2; JMP R8; NOP(delay); INC R3 (return point $1003... see below)
    // LINK at $1000: R11 = $1001 + 2 = $1003.
    Code code = {0x92, 0x98, kNop, 0xD3, kStop};
    code.resize(0x20, kNop);
    code = code + Code{0xD4, 0x9B, kNop};  // INC R4; JMP R11; delay NOP
    t.start(code);
    t.run_until_stop();
    EXPECT_EQ(t.r(11), 0x1003);
    EXPECT_EQ(t.r(4), 0);  // R4 was $FFFF at reset
    EXPECT_EQ(t.r(3), 0);
}

TEST(GsuJumps, LjmpChangesTheProgramBankAndTheCacheBase) {
    GsuMachine t;
    t.rom(0x2345, 0x41) = 0xD5;  // INC R5
    t.rom(0x2346, 0x41) = kNop;
    t.set_r(9, 0x0041);
    t.set_r(0, 0x2345);
    t.set_r(5, 0);
    t.start(alt1(0x99) + Code{kNop});
    t.run(4);  // ALT1, LJMP, the delay slot, INC R5
    EXPECT_EQ(t.gsu().pbr, 0x41);
    EXPECT_EQ(t.r(5), 1);
    EXPECT_EQ(t.gsu().cbr, 0x2340);
}

TEST(GsuMemory, WordsPairWithTheByteAtAddressXorOne) {
    GsuMachine t;
    t.ram(0x2000) = 0x11;
    t.ram(0x2001) = 0x22;
    t.set_r(3, 0x2001);
    t.start({0x43, kStop});  // LDW (R3)
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 0x1122);  // [A] low, [A-1] high
    t.start(alt1(0x43) + Code{kStop});  // LDB (R3)
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 0x0022);

    t.set_r(0, 0xABCD);
    t.set_r(4, 0x3003);
    t.start({0x34, kStop});  // STW (R4)
    t.run_until_stop();
    EXPECT_EQ(t.ram(0x3003), 0xCD);
    EXPECT_EQ(t.ram(0x3002), 0xAB);
    t.set_r(0, 0x0077);
    t.start(alt1(0x34) + Code{kStop});  // STB (R4)
    t.run_until_stop();
    EXPECT_EQ(t.ram(0x3003), 0x77);
    EXPECT_EQ(t.ram(0x3002), 0xAB);
}

TEST(GsuMemory, AbsoluteShortAndBackStores) {
    GsuMachine t;
    t.set_r(6, 0x1357);
    t.start(alt2(0xF6) + Code{0x34, 0x12} + Code{kStop});  // SM ($1234),R6
    t.run_until_stop();
    EXPECT_EQ(t.ram(0x1234), 0x57);
    EXPECT_EQ(t.ram(0x1235), 0x13);
    t.start(alt1(0xF7) + Code{0x34, 0x12} + Code{kStop});  // LM R7,($1234)
    t.run_until_stop();
    EXPECT_EQ(t.r(7), 0x1357);
    t.start(alt3(0xF8) + Code{0x34, 0x12} + Code{kStop});  // ALT3 form is LM too
    t.run_until_stop();
    EXPECT_EQ(t.r(8), 0x1357);

    t.set_r(2, 0xCAFE);
    t.start(alt2(0xA2) + Code{0x81, kStop});  // SMS ($102),R2
    t.run_until_stop();
    EXPECT_EQ(t.ram(0x102), 0xFE);
    EXPECT_EQ(t.ram(0x103), 0xCA);
    t.start(alt1(0xA3) + Code{0x81, kStop});  // LMS R3,($102)
    t.run_until_stop();
    EXPECT_EQ(t.r(3), 0xCAFE);

    // SBK stores Sreg at the last RAM address.
    t.set_r(0, 0x4242);
    t.start({0x90, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.ram(0x102), 0x42);
    EXPECT_EQ(t.ram(0x103), 0x42);
}

TEST(GsuMemory, ImmediatesAndRamBank) {
    GsuMachine t;
    t.start(ibt(4, 0x80) + ibt(5, 0x7F) + iwt(6, 0xA55A) + Code{kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(4), 0xFF80);
    EXPECT_EQ(t.r(5), 0x007F);
    EXPECT_EQ(t.r(6), 0xA55A);

    // RAMB 1, then a store lands in the second 64 KiB.
    t.set_r(0, 1);
    t.set_r(1, 0x0010);
    t.start(alt2(0xDF) + Code{0xB6, 0x31, kStop});  // RAMB; FROM R6; STW (R1)
    t.run_until_stop();
    EXPECT_EQ(t.ram(0x10010), 0x5A);
    EXPECT_EQ(t.ram(0x10011), 0xA5);
    EXPECT_EQ(t.gsu().rambr, 1);
}

TEST(GsuRomBuffer, WritesOfR14FillItAndGetReadsIt) {
    GsuMachine t;
    t.write_reg(0x3036, GsuMachine::kCodeBank);  // ROMBR
    t.rom(0x5000) = 0x9C;
    t.rom(0x5000, 0x42) = 0x11;
    t.set_r(0, 0x3400);
    // IWT R14,#$5000; GETB; FROM R0 GETBH into R1; GETBL into R2; GETBS into R3
    t.start(iwt(14, 0x5000) + Code{0xEF} + Code{0xB0, 0x11} + alt1(0xEF) + Code{0xB0, 0x12} + alt2(0xEF) +
            Code{0x13} + alt3(0xEF) + Code{kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 0x009C);
    EXPECT_EQ(t.r(1), 0x9C9C);
    EXPECT_EQ(t.r(2), 0x009C);
    EXPECT_EQ(t.r(3), 0xFF9C);

    // ROMB switches the bank but keeps the buffered byte until R14 changes.
    t.set_r(0, 0x42);
    t.start(alt3(0xDF) + Code{0x11, 0xEF, 0xDE, 0xEE, 0xEF, kStop});  // ROMB; GETB->R1; INC R14; DEC R14; GETB
    t.run_until_stop();
    EXPECT_EQ(t.gsu().rombr, 0x42);
    EXPECT_EQ(t.r(1), 0x9C);
    EXPECT_EQ(t.r(0), 0x11);
}

TEST(GsuColour, ColorGetcAndThePlotOptionNibbles) {
    GsuMachine t;
    t.write_reg(0x3036, GsuMachine::kCodeBank);  // ROMBR
    struct Case {
        uint8_t por, old_colr, value, colr;
    } cases[] = {
        {0x00, 0x00, 0xA5, 0xA5},
        {kPorHighNibble, 0x00, 0xA5, 0xAA},
        {kPorFreezeHigh, 0x70, 0xA5, 0x75},
        {kPorHighNibble | kPorFreezeHigh, 0x30, 0xA5, 0x3A},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.por));
        t.gsu().colr = c.old_colr;
        t.set_r(0, c.por);
        t.set_r(1, c.value);
        t.start(alt1(0x4E) + Code{0xB1, 0x4E, kStop});  // CMODE; FROM R1 COLOR
        t.run(4);
        EXPECT_EQ(t.gsu().por, c.por);
        EXPECT_EQ(t.gsu().colr, c.colr);
        // GETC takes the ROM buffer through the same options.
        t.gsu().colr = c.old_colr;
        t.rom(0x6000) = c.value;
        t.start(iwt(14, 0x6000) + Code{0xDF, kNop});
        t.run(2);
        EXPECT_EQ(t.gsu().colr, c.colr);
    }
}

TEST(GsuCache, CacheSetsItsBaseAndLoadsTheCodeThere) {
    GsuMachine t;
    Code code(0x30, kNop);
    code[0x21] = 0x02;  // CACHE at $1021
    code[0x25] = 0x77;
    code[0x28] = kStop;
    t.start(code);
    t.run(0x22);
    EXPECT_EQ(t.gsu().cbr, 0x1020);
    EXPECT_EQ(t.read_reg(0x303E), 0x20);
    EXPECT_EQ(t.read_reg(0x303F), 0x10);
    EXPECT_EQ(t.read_reg(0x3105), 0x77);  // $1025 is byte 5 of the cache
    // STOP empties it again.
    t.run_until_stop();
    EXPECT_EQ(t.gsu().cbr, 0);
}

TEST(GsuStop, StopEndsTheSliceRaisesTheInterruptAndClearsPor) {
    GsuMachine t;
    Machine& m = t.m();
    t.gsu().por = 0x1F;
    t.start({kNop, kStop, 0xD1, 0xD1});
    t.set_r(1, 0);
    EXPECT_EQ(t.run(50), 2);
    EXPECT_FALSE(t.flag(kSfrGo));
    EXPECT_FALSE(t.gsu().running);
    EXPECT_EQ(t.gsu().por, 0);
    EXPECT_EQ(t.r(1), 0);
    EXPECT_TRUE(t.flag(kSfrIrq));
    EXPECT_TRUE(m.cpu.irq_sources & kIrqCartridge);
    // Reading the status high byte acknowledges it.
    EXPECT_EQ(t.read_reg(0x3031) & 0x80, 0x80);
    EXPECT_EQ(t.read_reg(0x3031) & 0x80, 0);
    EXPECT_FALSE(m.cpu.irq_sources & kIrqCartridge);

    // CFGR bit 7 masks the interrupt.
    t.write_reg(0x3037, 0x80);
    t.start({kStop});
    t.run_until_stop();
    EXPECT_FALSE(t.flag(kSfrIrq));
    EXPECT_FALSE(m.cpu.irq_sources & kIrqCartridge);
}

// Every opcode in every ALT state runs from a fresh start and leaves the
// machine consistent: R15 stepped past the instruction's bytes (or at a
// branch target), prefixes dropped unless it was one.
TEST(GsuDispatch, EveryOpcodeInEveryAltStateRuns) {
    GsuMachine t;
    for (int alt = 0; alt < 4; alt++) {
        for (int op = 0; op < 256; op++) {
            SCOPED_TRACE(testing::Message() << "alt " << alt << " opcode " << op);
            for (int n = 0; n < 15; n++) t.set_r(n, uint16_t(0x100 * n + 0x10));
            Code code = {uint8_t(op), 0x00, 0x00, kNop, kNop};
            if (alt) code.insert(code.begin(), uint8_t(0x3C + alt));
            t.start(code, 0x2000);
            t.run(alt ? 2 : 1);
            bool prefix = (op >= 0x10 && op <= 0x2F) || (op >= 0x3D && op <= 0x3F) || (op >= 0xB0 && op <= 0xBF);
            bool branch = op >= 0x05 && op <= 0x0F;
            if (!prefix && !branch) {
                EXPECT_FALSE(t.flag(kSfrAlt1) || t.flag(kSfrAlt2) || t.flag(kSfrB));
                EXPECT_EQ(t.gsu().sreg, 0);
                EXPECT_EQ(t.gsu().dreg, 0);
            }
        }
    }
}

}  // namespace
}  // namespace vt::test
