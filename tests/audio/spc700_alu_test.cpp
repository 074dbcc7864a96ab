// SPC700 arithmetic and logic: results and flags checked over every operand
// pair against expectations written out from the instruction definitions,
// and the same operations through each addressing mode, in both direct
// pages.
#include <gtest/gtest.h>

#include "spc700_harness.h"

namespace vt::test {
namespace {

struct Expected {
    uint8_t result;
    uint8_t flags;  // N V H Z C only
};

constexpr uint8_t kArithFlags = kN | kV | kH | kZ | kC;

uint8_t nz(int r) { return uint8_t((r & 0x80 ? kN : 0) | ((r & 0xFF) == 0 ? kZ : 0)); }

// Carry out of bit 7, signed overflow, and this program's H: after an
// addition, set when bit 4 of the result is clear.
Expected expected_adc(int a, int b, int c) {
    int sum = a + b + c;
    int signed_sum = int8_t(a) + int8_t(b) + c;
    uint8_t r = uint8_t(sum);
    uint8_t f = nz(r);
    if (sum > 255) f |= kC;
    if (signed_sum < -128 || signed_sum > 127) f |= kV;
    if (!(r & 0x10)) f |= kH;
    return {r, f};
}

// C means no borrow; after a subtraction H is set when bit 4 of the result
// is set.
Expected expected_sbc(int a, int b, int c) {
    int diff = a - b - (1 - c);
    int signed_diff = int8_t(a) - int8_t(b) - (1 - c);
    uint8_t r = uint8_t(diff);
    uint8_t f = nz(r);
    if (diff >= 0) f |= kC;
    if (signed_diff < -128 || signed_diff > 127) f |= kV;
    if (r & 0x10) f |= kH;
    return {r, f};
}

TEST(Spc700Alu, AdcImmediateEveryOperandPair) {
    SpcHarness h;
    for (int c = 0; c < 2; c++) {
        for (int a = 0; a < 256; a++) {
            for (int b = 0; b < 256; b++) {
                h.s.pc = 0x0200;
                h.s.a = uint8_t(a);
                h.set_psw(c ? kC : 0);
                h.run({0x88, uint8_t(b)});  // ADC A, #b
                Expected e = expected_adc(a, b, c);
                ASSERT_EQ(h.s.a, e.result) << a << "+" << b << "+" << c;
                ASSERT_EQ(h.psw() & kArithFlags, e.flags) << a << "+" << b << "+" << c;
            }
        }
    }
}

TEST(Spc700Alu, SbcImmediateEveryOperandPair) {
    SpcHarness h;
    for (int c = 0; c < 2; c++) {
        for (int a = 0; a < 256; a++) {
            for (int b = 0; b < 256; b++) {
                h.s.pc = 0x0200;
                h.s.a = uint8_t(a);
                h.set_psw(c ? kC : 0);
                h.run({0xA8, uint8_t(b)});  // SBC A, #b
                Expected e = expected_sbc(a, b, c);
                ASSERT_EQ(h.s.a, e.result) << a << "-" << b << " c=" << c;
                ASSERT_EQ(h.psw() & kArithFlags, e.flags) << a << "-" << b << " c=" << c;
            }
        }
    }
}

TEST(Spc700Alu, CompareSetsNzcAndKeepsOperands) {
    SpcHarness h;
    for (int a = 0; a < 256; a += 3) {
        for (int b = 0; b < 256; b += 5) {
            h.s.pc = 0x0200;
            h.s.a = uint8_t(a);
            h.set_psw(kV | kH);  // untouched by CMP
            h.run({0x68, uint8_t(b)});  // CMP A, #b
            uint8_t want = uint8_t(nz(a - b) | (a >= b ? kC : 0) | kV | kH);
            ASSERT_EQ(h.psw(), want) << a << " cmp " << b;
            ASSERT_EQ(h.s.a, a);
        }
    }
    // CMP X / CMP Y forms
    h.s.pc = 0x0200;
    h.s.x = 0x40;
    h.run({0xC8, 0x41});  // CMP X, #$41
    EXPECT_EQ(h.psw() & (kN | kZ | kC), kN);
    h.s.y = 0x41;
    h.run({0xAD, 0x41});  // CMP Y, #$41
    EXPECT_EQ(h.psw() & (kN | kZ | kC), kZ | kC);
}

TEST(Spc700Alu, LogicalOperationsSetOnlyNz) {
    SpcHarness h;
    struct Case {
        uint8_t op, a, b, want;
    } cases[] = {
        {0x08, 0x0F, 0xF0, 0xFF},  // OR
        {0x28, 0x0F, 0xF0, 0x00},  // AND
        {0x28, 0xF3, 0x9E, 0x92},
        {0x48, 0xFF, 0x0F, 0xF0},  // EOR
        {0x48, 0x5A, 0x5A, 0x00},
    };
    for (const Case& c : cases) {
        h.s.pc = 0x0200;
        h.s.a = c.a;
        h.set_psw(kC | kV | kH);
        h.run({c.op, c.b});
        EXPECT_EQ(h.s.a, c.want);
        EXPECT_EQ(h.psw(), uint8_t(kC | kV | kH | nz(c.want))) << int(c.op);
    }
}

// The same addition through every operand form of the ADC row, with the
// direct page at page 0 and at page 1.
TEST(Spc700Alu, AdcThroughEveryAddressingModeInBothDirectPages) {
    for (int page = 0; page < 2; page++) {
        SpcHarness h;
        const uint16_t dp = uint16_t(page << 8);
        h.set_psw(page ? kP : 0);
        h.s.x = 0x04;
        h.s.y = 0x06;
        // Operands: 3 in memory, A = 5 gives 8 everywhere.
        h.s.ram[dp + 0x10] = 3;            // dp
        h.s.ram[dp + 0x14] = 3;            // dp+X
        h.s.ram[0x1234] = 3;               // abs
        h.s.ram[0x1238] = 3;               // abs+X
        h.s.ram[0x123A] = 3;               // abs+Y
        h.s.ram[dp + 0x04] = 3;            // (X)
        h.s.ram[dp + 0x24] = 0x00;         // [dp+X]: pointer at dp+$20+X -> $1300
        h.s.ram[dp + 0x25] = 0x13;
        h.s.ram[0x1300] = 3;
        h.s.ram[dp + 0x30] = 0x00;         // [dp]+Y: pointer $1400, + Y
        h.s.ram[dp + 0x31] = 0x14;
        h.s.ram[0x1406] = 3;
        struct Form {
            std::initializer_list<uint8_t> code;
            const char* name;
        } forms[] = {
            {{0x84, 0x10}, "dp"},          {{0x94, 0x10}, "dp+X"},   {{0x85, 0x34, 0x12}, "!abs"},
            {{0x95, 0x34, 0x12}, "!abs+X"}, {{0x96, 0x34, 0x12}, "!abs+Y"}, {{0x86}, "(X)"},
            {{0x87, 0x20}, "[dp+X]"},      {{0x97, 0x30}, "[dp]+Y"}, {{0x88, 0x03}, "#imm"},
        };
        for (const Form& f : forms) {
            h.s.pc = 0x0200;
            h.s.a = 5;
            h.s.psw.c = false;
            h.run(f.code);
            EXPECT_EQ(h.s.a, 8) << f.name << " page " << page;
        }
    }
}

// Memory-destination forms: dp,dp (source first), dp,#imm (immediate first),
// (X),(Y); the compare forms leave memory alone.
TEST(Spc700Alu, MemoryDestinationFormsInBothDirectPages) {
    for (int page = 0; page < 2; page++) {
        SpcHarness h;
        const uint16_t dp = uint16_t(page << 8);
        h.set_psw(page ? kP : 0);

        h.s.ram[dp + 0x20] = 0x30;  // source
        h.s.ram[dp + 0x21] = 0x05;  // destination
        h.run({0x89, 0x20, 0x21});  // ADC $21, $20
        EXPECT_EQ(h.s.ram[dp + 0x21], 0x35);
        EXPECT_EQ(h.s.ram[dp + 0x20], 0x30);

        h.run({0xB8, 0x01, 0x21});  // SBC $21, #$01 (C clear from the ADC: borrow)
        EXPECT_EQ(h.s.ram[dp + 0x21], 0x33);

        h.s.x = 0x40;
        h.s.y = 0x41;
        h.s.ram[dp + 0x40] = 0xF0;
        h.s.ram[dp + 0x41] = 0x0F;
        h.run({0x19});  // OR (X), (Y)
        EXPECT_EQ(h.s.ram[dp + 0x40], 0xFF);

        h.run({0x79});  // CMP (X), (Y): $FF - $0F
        EXPECT_EQ(h.s.ram[dp + 0x40], 0xFF);
        EXPECT_TRUE(h.s.psw.c);
        EXPECT_TRUE(h.s.psw.n);

        h.run({0x78, 0xFF, 0x40});  // CMP $40, #$FF
        EXPECT_TRUE(h.s.psw.z);
        EXPECT_EQ(h.s.ram[dp + 0x40], 0xFF);

        h.run({0x69, 0x41, 0x40});  // CMP $40, $41: $FF vs $0F
        EXPECT_FALSE(h.s.psw.z);
        EXPECT_TRUE(h.s.psw.c);

        h.run({0x58, 0xFF, 0x41});  // EOR $41, #$FF
        EXPECT_EQ(h.s.ram[dp + 0x41], 0xF0);
        h.run({0x38, 0x3C, 0x41});  // AND $41, #$3C
        EXPECT_EQ(h.s.ram[dp + 0x41], 0x30);
    }
}

TEST(Spc700Alu, ShiftsAndRotatesThroughCarry) {
    SpcHarness h;
    h.s.a = 0x81;
    h.s.psw.c = false;
    h.run({0x1C});  // ASL A
    EXPECT_EQ(h.s.a, 0x02);
    EXPECT_TRUE(h.s.psw.c);
    h.run({0x3C});  // ROL A: carry in at bit 0
    EXPECT_EQ(h.s.a, 0x05);
    EXPECT_FALSE(h.s.psw.c);
    h.run({0x5C});  // LSR A
    EXPECT_EQ(h.s.a, 0x02);
    EXPECT_TRUE(h.s.psw.c);
    h.run({0x7C});  // ROR A: carry in at bit 7
    EXPECT_EQ(h.s.a, 0x81);
    EXPECT_FALSE(h.s.psw.c);
    EXPECT_TRUE(h.s.psw.n);

    // Memory forms in page 1.
    h.set_psw(kP | kC);
    h.s.x = 2;
    h.s.ram[0x0110] = 0x40;
    h.run({0x2B, 0x10});  // ROL $10
    EXPECT_EQ(h.s.ram[0x0110], 0x81);
    EXPECT_FALSE(h.s.psw.c);
    EXPECT_TRUE(h.s.psw.n);
    h.s.ram[0x0112] = 0x01;
    h.run({0x5B, 0x10});  // LSR $10+X
    EXPECT_EQ(h.s.ram[0x0112], 0x00);
    EXPECT_TRUE(h.s.psw.c);
    EXPECT_TRUE(h.s.psw.z);
    h.s.ram[0x2000] = 0x01;
    h.run({0x6C, 0x00, 0x20});  // ROR !$2000 with C set
    EXPECT_EQ(h.s.ram[0x2000], 0x80);
    EXPECT_TRUE(h.s.psw.c);
    h.run({0x0C, 0x00, 0x20});  // ASL !$2000
    EXPECT_EQ(h.s.ram[0x2000], 0x00);
    EXPECT_TRUE(h.s.psw.c);
    EXPECT_TRUE(h.s.psw.z);
}

TEST(Spc700Alu, IncrementAndDecrementWrap) {
    SpcHarness h;
    h.s.a = 0xFF;
    h.run({0xBC});  // INC A
    EXPECT_EQ(h.s.a, 0);
    EXPECT_TRUE(h.s.psw.z);
    h.run({0x1D});  // DEC X
    EXPECT_EQ(h.s.x, 0xFF);
    EXPECT_TRUE(h.s.psw.n);
    h.s.y = 0x7F;
    h.run({0xFC});  // INC Y
    EXPECT_EQ(h.s.y, 0x80);
    EXPECT_TRUE(h.s.psw.n);
    h.s.psw.c = true;
    h.s.ram[0x0033] = 1;
    h.run({0x8B, 0x33});  // DEC $33
    EXPECT_EQ(h.s.ram[0x0033], 0);
    EXPECT_TRUE(h.s.psw.z);
    EXPECT_TRUE(h.s.psw.c);  // carry untouched
    h.s.x = 3;
    h.run({0xBB, 0x30});  // INC $30+X
    EXPECT_EQ(h.s.ram[0x0033], 1);
    h.run({0xAC, 0x33, 0x00});  // INC !$0033
    EXPECT_EQ(h.s.ram[0x0033], 2);
}

TEST(Spc700Alu, SixteenBitOperationsOnYa) {
    SpcHarness h;
    // ADDW: $12FF + $0001 = $1300; C clear, bit 8 of the result is 1 so H clear.
    h.s.a = 0xFF;
    h.s.y = 0x12;
    h.load(0x0040, {0x01, 0x00});
    h.run({0x7A, 0x40});
    EXPECT_EQ(h.ya(), 0x1300);
    EXPECT_EQ(h.psw() & kArithFlags, 0);

    // ADDW overflow: $7FFF + $0001 = $8000; bit 8 clear so H set.
    h.s.a = 0xFF;
    h.s.y = 0x7F;
    h.run({0x7A, 0x40});
    EXPECT_EQ(h.ya(), 0x8000);
    EXPECT_EQ(h.psw() & kArithFlags, kN | kV | kH);

    // ADDW carry out: $FFFF + $0001 = $0000 (C ignored on input).
    h.s.a = 0xFF;
    h.s.y = 0xFF;
    h.s.psw.c = true;
    h.run({0x7A, 0x40});
    EXPECT_EQ(h.ya(), 0x0000);
    EXPECT_EQ(h.psw() & kArithFlags, kZ | kC | kH);

    // SUBW: $1000 - $0001 = $0FFF, no borrow; bit 8 set so H set.
    h.s.a = 0x00;
    h.s.y = 0x10;
    h.s.psw.c = false;
    h.run({0x9A, 0x40});
    EXPECT_EQ(h.ya(), 0x0FFF);
    EXPECT_EQ(h.psw() & kArithFlags, kC | kH);

    // SUBW borrow and overflow: $8000 - $0001 = $7FFF.
    h.s.a = 0x00;
    h.s.y = 0x80;
    h.run({0x9A, 0x40});
    EXPECT_EQ(h.ya(), 0x7FFF);
    EXPECT_EQ(h.psw() & kArithFlags, kC | kV | kH);

    // CMPW: YA < word clears C and leaves YA.
    h.s.a = 0x00;
    h.s.y = 0x00;
    h.run({0x5A, 0x40});
    EXPECT_EQ(h.ya(), 0);
    EXPECT_FALSE(h.s.psw.c);
    EXPECT_TRUE(h.s.psw.n);

    // MOVW in page 1, then INCW/DECW across the byte boundary.
    h.set_psw(kP);
    h.load(0x0150, {0xFF, 0x00});
    h.run({0xBA, 0x50});  // MOVW YA, $50
    EXPECT_EQ(h.ya(), 0x00FF);
    EXPECT_FALSE(h.s.psw.z);
    h.run({0x3A, 0x50});  // INCW $50
    EXPECT_EQ(h.s.ram[0x0150], 0x00);
    EXPECT_EQ(h.s.ram[0x0151], 0x01);
    h.run({0x1A, 0x50});  // DECW $50
    h.run({0x1A, 0x50});
    EXPECT_EQ(h.s.ram[0x0150], 0xFE);
    EXPECT_EQ(h.s.ram[0x0151], 0x00);
    h.s.a = 0x34;
    h.s.y = 0x12;
    h.run({0xDA, 0x60});  // MOVW $60, YA
    EXPECT_EQ(h.s.ram[0x0160], 0x34);
    EXPECT_EQ(h.s.ram[0x0161], 0x12);
    EXPECT_EQ(h.s.ram[0x0060], 0x00);

    // A word at $FF of the page takes its high byte from $00 of the same page.
    h.load(0x01FF, {0xCD});
    h.load(0x0100, {0xAB});
    h.run({0xBA, 0xFF});
    EXPECT_EQ(h.ya(), 0xABCD);
}

TEST(Spc700Alu, MultiplyDivideAndDecimalAdjust) {
    SpcHarness h;
    h.s.y = 0x20;
    h.s.a = 0x10;
    h.run({0xCF});  // MUL YA
    EXPECT_EQ(h.ya(), 0x0200);
    EXPECT_FALSE(h.s.psw.z);  // N and Z from the 16-bit product
    EXPECT_FALSE(h.s.psw.n);
    h.s.y = 0xFF;
    h.s.a = 0xFF;
    h.run({0xCF});
    EXPECT_EQ(h.ya(), 0xFE01);
    EXPECT_TRUE(h.s.psw.n);
    h.s.y = 0;
    h.run({0xCF});
    EXPECT_EQ(h.ya(), 0);
    EXPECT_TRUE(h.s.psw.z);

    // DIV: 1000 / 7 = 142 remainder 6.
    h.s.a = uint8_t(1000 & 0xFF);
    h.s.y = uint8_t(1000 >> 8);
    h.s.x = 7;
    EXPECT_EQ(h.run({0x9E}), 12);
    EXPECT_EQ(h.s.a, 142);
    EXPECT_EQ(h.s.y, 6);
    EXPECT_FALSE(h.s.psw.v);
    // Quotient above $FF: A keeps its low byte, V tells.
    h.s.a = 0x00;
    h.s.y = 0x10;  // 4096 / 2 = 2048
    h.s.x = 2;
    h.run({0x9E});
    EXPECT_EQ(h.s.a, 0x00);
    EXPECT_EQ(h.s.y, 0);
    EXPECT_TRUE(h.s.psw.v);
    // Divide by zero changes nothing.
    h.s.a = 0x34;
    h.s.y = 0x12;
    h.s.x = 0;
    h.set_psw(kN | kC);
    EXPECT_EQ(h.run({0x9E}), 12);
    EXPECT_EQ(h.ya(), 0x1234);
    EXPECT_EQ(h.psw(), kN | kC);

    // DAA: $15 + $27 = $3C -> $42; $95 + $10 = $A5 -> $05 with C.
    h.s.a = 0x3C;
    h.s.psw.c = false;
    h.run({0xDF});
    EXPECT_EQ(h.s.a, 0x42);
    EXPECT_FALSE(h.s.psw.c);
    h.s.a = 0xA5;
    h.run({0xDF});
    EXPECT_EQ(h.s.a, 0x05);
    EXPECT_TRUE(h.s.psw.c);
    // DAS: $42 - $15 = $2D (no borrow) -> $27; $05 - $10 = $F5 (borrow) -> $95.
    h.s.a = 0x2D;
    h.s.psw.c = true;
    h.run({0xBE});
    EXPECT_EQ(h.s.a, 0x27);
    EXPECT_TRUE(h.s.psw.c);
    h.s.a = 0xF5;
    h.s.psw.c = false;
    h.run({0xBE});
    EXPECT_EQ(h.s.a, 0x95);
    EXPECT_FALSE(h.s.psw.c);

    h.s.a = 0x1E;
    h.run({0x9F});  // XCN A
    EXPECT_EQ(h.s.a, 0xE1);
    EXPECT_TRUE(h.s.psw.n);
}

}  // namespace
}  // namespace vt::test
