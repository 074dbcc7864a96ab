// SPC700 moves, branches, bit instructions, calls and the stack, flag
// instructions, and the cycle count of every opcode.
#include <gtest/gtest.h>

#include "spc700_harness.h"

namespace vt::test {
namespace {

TEST(Spc700Moves, LoadsSetNzStoresDoNot) {
    SpcHarness h;
    h.run({0xE8, 0x80});  // MOV A, #$80
    EXPECT_EQ(h.s.a, 0x80);
    EXPECT_TRUE(h.s.psw.n);
    h.run({0xCD, 0x00});  // MOV X, #0
    EXPECT_TRUE(h.s.psw.z);
    h.run({0x8D, 0x7F});  // MOV Y, #$7F
    EXPECT_FALSE(h.s.psw.n);
    EXPECT_FALSE(h.s.psw.z);

    h.set_psw(0);
    h.run({0xC4, 0x10});  // MOV $10, A
    h.run({0xD8, 0x11});  // MOV $11, X
    h.run({0xCB, 0x12});  // MOV $12, Y
    EXPECT_EQ(h.s.ram[0x10], 0x80);
    EXPECT_EQ(h.s.ram[0x11], 0x00);
    EXPECT_EQ(h.s.ram[0x12], 0x7F);
    EXPECT_EQ(h.psw(), 0);

    h.run({0xC5, 0x00, 0x30});  // MOV !$3000, A
    h.run({0xC9, 0x01, 0x30});  // MOV !$3001, X
    h.run({0xCC, 0x02, 0x30});  // MOV !$3002, Y
    EXPECT_EQ(h.s.ram[0x3000], 0x80);
    EXPECT_EQ(h.s.ram[0x3001], 0x00);
    EXPECT_EQ(h.s.ram[0x3002], 0x7F);

    h.run({0xEC, 0x00, 0x30});  // MOV Y, !$3000
    EXPECT_EQ(h.s.y, 0x80);
    h.run({0xE9, 0x02, 0x30});  // MOV X, !$3002
    EXPECT_EQ(h.s.x, 0x7F);
    h.run({0xEB, 0x11});  // MOV Y, $11
    EXPECT_TRUE(h.s.psw.z);
    h.run({0xF8, 0x10});  // MOV X, $10
    EXPECT_EQ(h.s.x, 0x80);
}

TEST(Spc700Moves, IndexedAndIndirectFormsInBothDirectPages) {
    for (int page = 0; page < 2; page++) {
        SpcHarness h;
        const uint16_t dp = uint16_t(page << 8);
        h.set_psw(page ? kP : 0);
        h.s.x = 0x02;
        h.s.y = 0x03;
        h.s.a = 0x5A;

        h.run({0xD4, 0x20});  // MOV $20+X, A
        EXPECT_EQ(h.s.ram[dp + 0x22], 0x5A);
        h.run({0xD9, 0x20});  // MOV $20+Y, X
        EXPECT_EQ(h.s.ram[dp + 0x23], 0x02);
        h.run({0xDB, 0x30});  // MOV $30+X, Y
        EXPECT_EQ(h.s.ram[dp + 0x32], 0x03);
        h.run({0xC6});  // MOV (X), A
        EXPECT_EQ(h.s.ram[dp + 0x02], 0x5A);
        // dp+X wraps within the page.
        h.s.x = 0xF0;
        h.run({0xD4, 0x20});
        EXPECT_EQ(h.s.ram[dp + 0x10], 0x5A);
        h.s.x = 0x02;

        h.load(dp + 0x40, {0x00, 0x35});  // pointer $3500
        h.run({0xD7, 0x40});              // MOV [$40]+Y, A
        EXPECT_EQ(h.s.ram[0x3503], 0x5A);
        h.load(dp + 0x52, {0x10, 0x35});  // pointer $3510 at $50+X
        h.run({0xC7, 0x50});              // MOV [$50+X], A
        EXPECT_EQ(h.s.ram[0x3510], 0x5A);
        h.run({0xD5, 0x00, 0x36});  // MOV !$3600+X, A
        h.run({0xD6, 0x00, 0x36});  // MOV !$3600+Y, A
        EXPECT_EQ(h.s.ram[0x3602], 0x5A);
        EXPECT_EQ(h.s.ram[0x3603], 0x5A);

        h.s.a = 0;
        h.run({0xF7, 0x40});  // MOV A, [$40]+Y
        EXPECT_EQ(h.s.a, 0x5A);
        h.s.a = 0;
        h.run({0xE7, 0x50});  // MOV A, [$50+X]
        EXPECT_EQ(h.s.a, 0x5A);
        h.s.ram[dp + 0x23] = 0x77;
        h.run({0xF9, 0x20});  // MOV X, $20+Y
        EXPECT_EQ(h.s.x, 0x77);
        h.s.x = 0x02;
        h.run({0xFB, 0x20});  // MOV Y, $20+X
        EXPECT_EQ(h.s.y, 0x5A);

        // MOV dp, #imm (immediate first) and MOV dp, dp (source first).
        h.run({0x8F, 0x99, 0x60});
        EXPECT_EQ(h.s.ram[dp + 0x60], 0x99);
        h.run({0xFA, 0x60, 0x61});
        EXPECT_EQ(h.s.ram[dp + 0x61], 0x99);
        EXPECT_EQ(h.s.ram[(dp ^ 0x100) + 0x61], 0x00);  // the other page is untouched

        // (X)+ forms increment X.
        h.s.x = 0x70;
        h.s.a = 0x11;
        h.run({0xAF});  // MOV (X)+, A
        h.s.a = 0x22;
        h.run({0xAF});
        EXPECT_EQ(h.s.x, 0x72);
        EXPECT_EQ(h.s.ram[dp + 0x70], 0x11);
        EXPECT_EQ(h.s.ram[dp + 0x71], 0x22);
        h.s.x = 0x70;
        h.run({0xBF});  // MOV A, (X)+
        EXPECT_EQ(h.s.a, 0x11);
        EXPECT_EQ(h.s.x, 0x71);
    }
}

TEST(Spc700Moves, RegisterTransfers) {
    SpcHarness h;
    h.s.a = 0x80;
    h.run({0x5D});  // MOV X, A
    EXPECT_EQ(h.s.x, 0x80);
    EXPECT_TRUE(h.s.psw.n);
    h.run({0xFD});  // MOV Y, A
    EXPECT_EQ(h.s.y, 0x80);
    h.s.x = 0;
    h.run({0x7D});  // MOV A, X
    EXPECT_EQ(h.s.a, 0);
    EXPECT_TRUE(h.s.psw.z);
    h.run({0xDD});  // MOV A, Y
    EXPECT_EQ(h.s.a, 0x80);
    h.s.x = 0x00;
    h.s.psw.z = false;
    h.run({0xBD});  // MOV SP, X: no flags
    EXPECT_EQ(h.s.sp, 0x00);
    EXPECT_FALSE(h.s.psw.z);
    h.s.sp = 0xEF;
    h.run({0x9D});  // MOV X, SP
    EXPECT_EQ(h.s.x, 0xEF);
    EXPECT_TRUE(h.s.psw.n);
}

TEST(Spc700Branches, ConditionsTargetsAndCycles) {
    struct Case {
        uint8_t op;
        uint8_t flag;
        bool taken_when_set;
    } cases[] = {
        {0x10, kN, false}, {0x30, kN, true}, {0x50, kV, false}, {0x70, kV, true},
        {0x90, kC, false}, {0xB0, kC, true}, {0xD0, kZ, false}, {0xF0, kZ, true},
    };
    for (const Case& c : cases) {
        for (int set = 0; set < 2; set++) {
            SpcHarness h;
            h.set_psw(set ? c.flag : 0);
            int cycles = h.run({c.op, 0xFE});  // branch to itself
            bool taken = (set != 0) == c.taken_when_set;
            EXPECT_EQ(h.s.pc, taken ? 0x0200 : 0x0202) << int(c.op);
            EXPECT_EQ(cycles, taken ? 4 : 2) << int(c.op);
        }
    }
    SpcHarness h;
    EXPECT_EQ(h.run({0x2F, 0x10}), 4);  // BRA +$10
    EXPECT_EQ(h.s.pc, 0x0212);
    h.s.pc = 0x0200;
    h.run({0x2F, 0x80});  // BRA -128
    EXPECT_EQ(h.s.pc, 0x0202 - 128);
}

TEST(Spc700Branches, BitBranchesCompareAndDecrement) {
    for (int page = 0; page < 2; page++) {
        SpcHarness h;
        const uint16_t dp = uint16_t(page << 8);
        h.set_psw(page ? kP : 0);
        h.s.ram[dp + 0x10] = 0x20;  // bit 5 set

        EXPECT_EQ(h.run({0xA3, 0x10, 0x05}), 7);  // BBS $10.5, +5
        EXPECT_EQ(h.s.pc, 0x0208);
        h.s.pc = 0x0200;
        EXPECT_EQ(h.run({0x83, 0x10, 0x05}), 5);  // BBS $10.4: not taken
        EXPECT_EQ(h.s.pc, 0x0203);
        h.s.pc = 0x0200;
        EXPECT_EQ(h.run({0x93, 0x10, 0x05}), 7);  // BBC $10.4: taken
        h.s.pc = 0x0200;
        EXPECT_EQ(h.run({0xB3, 0x10, 0x05}), 5);  // BBC $10.5: not taken

        // CBNE dp / dp+X
        h.s.pc = 0x0200;
        h.s.a = 0x20;
        EXPECT_EQ(h.run({0x2E, 0x10, 0x05}), 5);  // equal: not taken
        h.s.pc = 0x0200;
        h.s.a = 0x21;
        EXPECT_EQ(h.run({0x2E, 0x10, 0x05}), 7);
        h.s.pc = 0x0200;
        h.s.x = 0x01;
        h.s.ram[dp + 0x11] = 0x21;
        EXPECT_EQ(h.run({0xDE, 0x10, 0x05}), 6);  // CBNE $10+X: equal
        h.s.pc = 0x0200;
        h.s.a = 0x00;
        EXPECT_EQ(h.run({0xDE, 0x10, 0x05}), 8);

        // DBNZ dp and Y: no flags change.
        h.s.pc = 0x0200;
        h.s.ram[dp + 0x12] = 2;
        h.set_psw(page ? kP : 0);
        EXPECT_EQ(h.run({0x6E, 0x12, 0xFD}), 7);  // back to itself
        EXPECT_EQ(h.s.ram[dp + 0x12], 1);
        EXPECT_EQ(h.s.pc, 0x0200);
        EXPECT_EQ(h.step(), 5);
        EXPECT_EQ(h.s.ram[dp + 0x12], 0);
        EXPECT_EQ(h.s.pc, 0x0203);
        EXPECT_FALSE(h.s.psw.z);
        h.s.pc = 0x0200;
        h.s.y = 1;
        EXPECT_EQ(h.run({0xFE, 0x10}), 4);  // DBNZ Y: Y becomes 0, not taken
        h.s.pc = 0x0200;
        EXPECT_EQ(h.run({0xFE, 0x10}), 6);  // Y wraps to $FF: taken
        EXPECT_EQ(h.s.y, 0xFF);
    }
}

TEST(Spc700Bits, SetAndClearDirectPageBits) {
    SpcHarness h;
    for (int bit = 0; bit < 8; bit++) {
        h.s.pc = 0x0200;
        h.run({uint8_t(0x02 | bit << 5), 0x40});  // SET1 $40.bit
        h.s.pc = 0x0200;
        h.set_psw(kP);
        h.run({uint8_t(0x02 | bit << 5), 0x40});  // page 1
        h.set_psw(0);
    }
    EXPECT_EQ(h.s.ram[0x0040], 0xFF);
    EXPECT_EQ(h.s.ram[0x0140], 0xFF);
    h.s.pc = 0x0200;
    h.run({0xD2, 0x40});  // CLR1 $40.6
    EXPECT_EQ(h.s.ram[0x0040], 0xBF);
    EXPECT_EQ(h.s.ram[0x0140], 0xFF);
}

TEST(Spc700Bits, ThirteenBitAddressBitInstructions) {
    SpcHarness h;
    // Bit 3 of $1234: operand $1234 | 3 << 13 = $7234.
    h.s.ram[0x1234] = 0x08;
    h.s.psw.c = false;
    h.run({0xAA, 0x34, 0x72});  // MOV1 C, $1234.3
    EXPECT_TRUE(h.s.psw.c);
    h.run({0x4A, 0x34, 0x52});  // AND1 C, $1234.2 (clear)
    EXPECT_FALSE(h.s.psw.c);
    h.run({0x0A, 0x34, 0x72});  // OR1 C, $1234.3
    EXPECT_TRUE(h.s.psw.c);
    h.run({0x6A, 0x34, 0x72});  // AND1 C, /$1234.3
    EXPECT_FALSE(h.s.psw.c);
    h.run({0x2A, 0x34, 0x52});  // OR1 C, /$1234.2
    EXPECT_TRUE(h.s.psw.c);
    h.run({0x8A, 0x34, 0x72});  // EOR1 C, $1234.3
    EXPECT_FALSE(h.s.psw.c);
    h.run({0xEA, 0x34, 0xF2});  // NOT1 $1234.7
    EXPECT_EQ(h.s.ram[0x1234], 0x88);
    h.s.psw.c = true;
    h.run({0xCA, 0x34, 0x12});  // MOV1 $1234.0, C
    EXPECT_EQ(h.s.ram[0x1234], 0x89);
    h.s.psw.c = false;
    h.run({0xCA, 0x34, 0x72});  // MOV1 $1234.3, C
    EXPECT_EQ(h.s.ram[0x1234], 0x81);
    // The top three operand bits are the bit number, not address bits.
    EXPECT_EQ(h.s.ram[0x7234], 0x00);
}

TEST(Spc700Bits, TestAndSetOrClear) {
    SpcHarness h;
    h.s.ram[0x2345] = 0x0F;
    h.s.a = 0xF0;
    h.run({0x0E, 0x45, 0x23});  // TSET1 !$2345: flags from A - mem = $E1
    EXPECT_EQ(h.s.ram[0x2345], 0xFF);
    EXPECT_FALSE(h.s.psw.z);
    EXPECT_TRUE(h.s.psw.n);
    EXPECT_EQ(h.s.a, 0xF0);
    h.run({0x4E, 0x45, 0x23});  // TCLR1 !$2345: A - mem = $F1
    EXPECT_EQ(h.s.ram[0x2345], 0x0F);
    EXPECT_FALSE(h.s.psw.z);
    EXPECT_TRUE(h.s.psw.n);
    h.s.a = 0x0F;
    h.set_psw(kC | kV | kH);
    h.run({0x0E, 0x45, 0x23});  // A equal to mem: Z, and C, V, H untouched
    EXPECT_EQ(h.s.ram[0x2345], 0x0F);
    EXPECT_EQ(h.psw(), kZ | kC | kV | kH);
    h.s.a = 0x20;
    h.run({0x4E, 0x45, 0x23});  // $20 - $0F = $11: N and Z clear
    EXPECT_EQ(h.s.ram[0x2345], 0x0F);
    EXPECT_EQ(h.psw(), kC | kV | kH);
}

TEST(Spc700Flow, JumpsCallsAndReturns) {
    SpcHarness h;
    h.s.sp = 0xEF;
    h.run({0x3F, 0x00, 0x30});  // CALL $3000
    EXPECT_EQ(h.s.pc, 0x3000);
    EXPECT_EQ(h.s.sp, 0xED);
    EXPECT_EQ(h.s.ram[0x01EF], 0x02);  // return address $0203, high byte first
    EXPECT_EQ(h.s.ram[0x01EE], 0x03);
    h.run({0x6F});  // RET
    EXPECT_EQ(h.s.pc, 0x0203);
    EXPECT_EQ(h.s.sp, 0xEF);

    h.s.pc = 0x0200;
    h.run({0x4F, 0x80});  // PCALL $80
    EXPECT_EQ(h.s.pc, 0xFF80);
    EXPECT_EQ(h.s.ram[0x01EE], 0x02);

    // TCALL n jumps through $FFDE - 2n, read from RAM.
    h.s.sp = 0xEF;
    h.load(0xFFDE - 2 * 5, {0x00, 0x44});
    h.s.pc = 0x0200;
    h.run({0x51});  // TCALL 5
    EXPECT_EQ(h.s.pc, 0x4400);
    EXPECT_EQ(h.s.ram[0x01EE], 0x01);  // return $0201

    h.s.pc = 0x0200;
    h.run({0x5F, 0x34, 0x12});  // JMP !$1234
    EXPECT_EQ(h.s.pc, 0x1234);
    h.s.x = 4;
    h.load(0x2004, {0x78, 0x56});
    h.s.pc = 0x0200;
    h.run({0x1F, 0x00, 0x20});  // JMP [!$2000+X]
    EXPECT_EQ(h.s.pc, 0x5678);
}

TEST(Spc700Flow, StackPushPopAndReturnFromInterrupt) {
    SpcHarness h;
    h.s.sp = 0xEF;
    h.s.a = 0x11;
    h.s.x = 0x22;
    h.s.y = 0x33;
    h.set_psw(kN | kC | kP);
    h.run({0x2D});  // PUSH A
    h.run({0x4D});  // PUSH X
    h.run({0x6D});  // PUSH Y
    h.run({0x0D});  // PUSH PSW
    EXPECT_EQ(h.s.sp, 0xEB);
    EXPECT_EQ(h.s.ram[0x01EF], 0x11);
    EXPECT_EQ(h.s.ram[0x01EC], kN | kC | kP);
    h.set_psw(0);
    h.run({0x8E});  // POP PSW
    EXPECT_EQ(h.psw(), kN | kC | kP);
    h.set_psw(kZ);
    h.run({0xAE});  // POP A (= $33, no flags)
    h.run({0xCE});  // POP X
    h.run({0xEE});  // POP Y
    EXPECT_EQ(h.s.a, 0x33);
    EXPECT_EQ(h.s.x, 0x22);
    EXPECT_EQ(h.s.y, 0x11);
    EXPECT_EQ(h.psw(), kZ);
    EXPECT_EQ(h.s.sp, 0xEF);

    // RETI pops PSW first, then PC low and high.
    h.s.sp = 0xEC;
    h.load(0x01ED, {kV | kI, 0x78, 0x56});
    h.run({0x7F});
    EXPECT_EQ(h.psw(), kV | kI);
    EXPECT_EQ(h.s.pc, 0x5678);
    EXPECT_EQ(h.s.sp, 0xEF);
}

TEST(Spc700Flow, BrkPushesStateAndJumpsThroughItsVector) {
    SpcHarness h;
    h.s.sp = 0xEF;
    h.load(0xFFDE, {0x00, 0x60});
    h.set_psw(kI | kC);
    EXPECT_EQ(h.run({0x0F}), 8);
    EXPECT_EQ(h.s.pc, 0x6000);
    EXPECT_EQ(h.s.ram[0x01EF], 0x02);
    EXPECT_EQ(h.s.ram[0x01EE], 0x01);
    EXPECT_EQ(h.s.ram[0x01ED], kI | kC);
    EXPECT_EQ(h.psw(), kB | kC);
}

TEST(Spc700Flow, SleepAndStopStayOnThemselves) {
    for (uint8_t op : {uint8_t(0xEF), uint8_t(0xFF)}) {
        SpcHarness h;
        EXPECT_EQ(h.run({op}), 3);
        EXPECT_EQ(h.step(), 3);
        EXPECT_EQ(h.s.pc, 0x0200);
    }
}

TEST(Spc700Flags, FlagInstructions) {
    SpcHarness h;
    h.run({0x80});  // SETC
    EXPECT_EQ(h.psw(), kC);
    h.run({0xED});  // NOTC
    EXPECT_EQ(h.psw(), 0);
    h.run({0xED});
    h.run({0x60});  // CLRC
    EXPECT_EQ(h.psw(), 0);
    h.run({0x40});  // SETP
    EXPECT_EQ(h.psw(), kP);
    h.run({0x20});  // CLRP
    h.run({0xA0});  // EI
    EXPECT_EQ(h.psw(), kI);
    h.run({0xC0});  // DI
    h.set_psw(kV | kH | kN);
    h.run({0xE0});  // CLRV clears V and H
    EXPECT_EQ(h.psw(), kN);
}

// Every opcode's cost, not-taken branch times; written out row by row.
TEST(Spc700Cycles, EveryOpcodeCostsItsTableValue) {
    const int expected[16][16] = {
        {2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 5, 4, 5, 4, 6, 8},  {2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 6, 5, 2, 2, 4, 6},
        {2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 5, 4, 5, 4, 5, 4},  {2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 6, 5, 2, 2, 3, 8},
        {2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 4, 4, 5, 4, 6, 6},  {2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 4, 5, 2, 2, 4, 3},
        {2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 4, 4, 5, 4, 5, 5},  {2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 5, 5, 2, 2, 3, 6},
        {2, 8, 4, 5, 3, 4, 3, 6, 2, 6, 5, 4, 5, 2, 4, 5},  {2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 5, 5, 2, 2, 12, 5},
        {3, 8, 4, 5, 3, 4, 3, 6, 2, 6, 4, 4, 5, 2, 4, 4},  {2, 8, 4, 5, 4, 5, 5, 6, 5, 5, 5, 5, 2, 2, 3, 4},
        {3, 8, 4, 5, 4, 5, 4, 7, 2, 5, 6, 4, 5, 2, 4, 9},  {2, 8, 4, 5, 5, 6, 6, 7, 4, 5, 5, 5, 2, 2, 6, 3},
        {2, 8, 4, 5, 3, 4, 3, 6, 2, 4, 5, 3, 4, 3, 4, 3},  {2, 8, 4, 5, 4, 5, 5, 6, 3, 4, 5, 4, 2, 2, 4, 3},
    };
    for (int op = 0; op < 256; op++) {
        SpcHarness h;
        // Operands that keep every branch untaken: memory 0 and A = 0 (BBS
        // and CBNE fall through), flags chosen per condition below, Y = 1
        // and a direct-page counter of 1 (DBNZ falls through).
        h.s.sp = 0xEF;
        h.s.y = 1;
        h.s.ram[0x0200] = uint8_t(op);
        h.s.ram[0x0201] = 0x00;
        h.s.ram[0x0202] = 0x00;
        h.s.x = 1;  // DIV by a non-zero divisor
        uint8_t flags = 0;
        if (op == 0x30 || op == 0x10) flags = (op == 0x10) ? kN : 0;   // BPL/BMI
        if (op == 0x50 || op == 0x70) flags = (op == 0x50) ? kV : 0;   // BVC/BVS
        if (op == 0x90 || op == 0xB0) flags = (op == 0x90) ? kC : 0;   // BCC/BCS
        if (op == 0xD0 || op == 0xF0) flags = (op == 0xD0) ? kZ : 0;   // BNE/BEQ
        h.set_psw(flags);
        if ((op & 0x1F) == 0x13) h.s.ram[0x0000] = 0xFF;  // BBC: every bit set
        if (op == 0x6E) h.s.ram[0x0000] = 1;              // DBNZ dp counts down to 0
        int cycles = h.step();
        int want = op == 0x2F ? 4 : expected[op >> 4][op & 15];  // BRA always branches
        EXPECT_EQ(cycles, want) << "opcode " << std::hex << op;
    }
}

}  // namespace
}  // namespace vt::test
