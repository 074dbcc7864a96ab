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

// Carry out of bit 7, signed overflow, and H: the carry out of the low
// digit (bit 3).
Expected expected_adc(int a, int b, int c) {
    int sum = a + b + c;
    int signed_sum = int8_t(a) + int8_t(b) + c;
    uint8_t r = uint8_t(sum);
    uint8_t f = nz(r);
    if (sum > 255) f |= kC;
    if (signed_sum < -128 || signed_sum > 127) f |= kV;
    if ((a & 15) + (b & 15) + c > 15) f |= kH;
    return {r, f};
}

// C means no borrow out of bit 7, H no borrow out of the low digit.
Expected expected_sbc(int a, int b, int c) {
    int diff = a - b - (1 - c);
    int signed_diff = int8_t(a) - int8_t(b) - (1 - c);
    uint8_t r = uint8_t(diff);
    uint8_t f = nz(r);
    if (diff >= 0) f |= kC;
    if (signed_diff < -128 || signed_diff > 127) f |= kV;
    if ((a & 15) - (b & 15) - (1 - c) >= 0) f |= kH;
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

// ADDW and SUBW over a spread of word pairs: no carry in (whatever C
// holds), C out of bit 15 (SUBW: no borrow), H out of bit 11 (SUBW: no
// borrow out of bit 12's digit), V the signed overflow, N and Z from YA.
TEST(Spc700Alu, WordAdditionAndSubtraction) {
    const uint16_t values[] = {0x0000, 0x0001, 0x000F, 0x00FF, 0x0100, 0x07FF, 0x0800, 0x0FFF, 0x1000,
                               0x12FF, 0x3456, 0x7FFF, 0x8000, 0x8001, 0x9ABC, 0xF000, 0xF7FF, 0xFFFF};
    for (uint16_t ya : values) {
        for (uint16_t w : values) {
            for (bool carry_before : {false, true}) {
                SCOPED_TRACE(std::to_string(ya) + " and " + std::to_string(w) + " C=" + std::to_string(carry_before));
                SpcHarness h;
                h.load(0x0040, {uint8_t(w), uint8_t(w >> 8)});
                for (bool add : {true, false}) {
                    h.s.pc = 0x0200;
                    h.s.a = uint8_t(ya);
                    h.s.y = uint8_t(ya >> 8);
                    h.set_psw(carry_before ? kC : 0);
                    EXPECT_EQ(h.run({uint8_t(add ? 0x7A : 0x9A), 0x40}), 5);
                    const int full = add ? ya + w : ya - w;
                    const int signed_full = add ? int16_t(ya) + int16_t(w) : int16_t(ya) - int16_t(w);
                    const int low12 = add ? (ya & 0xFFF) + (w & 0xFFF) : (ya & 0xFFF) - (w & 0xFFF);
                    const uint16_t r = uint16_t(full);
                    uint8_t f = 0;
                    if (r & 0x8000) f |= kN;
                    if (r == 0) f |= kZ;
                    if (add ? full > 0xFFFF : full >= 0) f |= kC;
                    if (add ? low12 > 0xFFF : low12 >= 0) f |= kH;
                    if (signed_full < -32768 || signed_full > 32767) f |= kV;
                    EXPECT_EQ(h.ya(), r) << (add ? "ADDW" : "SUBW");
                    EXPECT_EQ(h.psw() & kArithFlags, f) << (add ? "ADDW" : "SUBW");
                }
            }
        }
    }
}

TEST(Spc700Alu, SixteenBitOperationsOnYa) {
    SpcHarness h;
    h.load(0x0040, {0x01, 0x00});
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

// MUL YA: the 16-bit product in YA; N and Z follow Y, the high byte.
TEST(Spc700Alu, MultiplySetsNAndZFromTheHighByte) {
    struct Case {
        uint8_t y, a;
        uint16_t product;
        uint8_t flags;
    };
    const Case cases[] = {
        {0x20, 0x10, 0x0200, 0},  {0xFF, 0xFF, 0xFE01, kN}, {0x00, 0x55, 0x0000, kZ},
        {0x01, 0x80, 0x0080, kZ}, {0x10, 0x08, 0x0080, kZ}, {0x80, 0x02, 0x0100, 0},
        {0x90, 0x01, 0x0090, kZ}, {0x0F, 0x11, 0x00FF, kZ}, {0xC0, 0x02, 0x0180, 0},
    };
    for (const Case& k : cases) {
        SpcHarness h;
        h.s.y = k.y;
        h.s.a = k.a;
        h.set_psw(kC | kV | kH);
        EXPECT_EQ(h.run({0xCF}), 9);
        EXPECT_EQ(h.ya(), k.product) << int(k.y) << "*" << int(k.a);
        EXPECT_EQ(h.psw(), kC | kV | kH | k.flags) << int(k.y) << "*" << int(k.a);
    }
}

// The chip's divider: nine steps of a shift-and-subtract over a 17-bit
// register holding YA, with X placed at bits 9-16. Each step rotates the
// register left by one (bit 16 comes round into bit 0), flips bit 0 when
// the register is at least the shifted X, and subtracts the shifted X when
// bit 0 is then set. A is bits 0-7 of the result, V bit 8, Y bits 9-16.
struct DivResult {
    uint8_t a, y;
    bool v;
};
DivResult shift_and_subtract(uint16_t ya, uint8_t x) {
    const uint32_t divisor = uint32_t(x) << 9;
    uint32_t r = ya;
    for (int step = 0; step < 9; step++) {
        r <<= 1;
        if (r & 0x20000) r = (r & 0x1FFFF) | 1;
        if (r >= divisor) r ^= 1;
        if (r & 1) r = (r - divisor) & 0x1FFFF;
    }
    return {uint8_t(r), uint8_t(r >> 9), (r & 0x100) != 0};
}

// DIV YA, X for every divisor, dividends spread over the whole range, the
// overflowing ones (Y >= X) and X = 0 included. H is set when the low digit
// of Y is at least that of X; N and Z follow A; C is untouched.
TEST(Spc700Alu, DivideForEveryDivisor) {
    SpcHarness h;
    for (int x = 0; x < 256; x++) {
        for (uint32_t ya = 0; ya < 0x10000; ya += (ya < 0x300 ? 1 : 97)) {
            for (uint8_t before : {uint8_t(0), uint8_t(kC | kV | kH | kN | kZ)}) {
                h.s.pc = 0x0200;
                h.s.a = uint8_t(ya);
                h.s.y = uint8_t(ya >> 8);
                h.s.x = uint8_t(x);
                h.set_psw(before);
                ASSERT_EQ(h.run({0x9E}), 12);
                const DivResult want = shift_and_subtract(uint16_t(ya), uint8_t(x));
                uint8_t f = uint8_t(nz(want.a) | (before & kC));
                if (want.v) f |= kV;
                if (((ya >> 8) & 15) >= (x & 15)) f |= kH;
                ASSERT_EQ(h.s.a, want.a) << ya << "/" << x;
                ASSERT_EQ(h.s.y, want.y) << ya << "/" << x;
                ASSERT_EQ(h.s.x, x);
                ASSERT_EQ(h.psw() & kArithFlags, f) << ya << "/" << x;
            }
        }
    }
    // In range it is the plain quotient and remainder; a few known results
    // beyond: division by 0 and quotients above $1FF.
    struct Case {
        uint16_t ya;
        uint8_t x, a, y;
        bool v;
    };
    const Case cases[] = {
        {1000, 7, 142, 6, false}, {0x1000, 2, 243, 26, true}, {0x01FF, 1, 0xFF, 0x00, true},
        {0x1234, 0, 0xED, 0x34, true}, {0x0000, 0, 0xFF, 0x00, true},   {0xFFFF, 1, 0x01, 0xFE, true},
    };
    for (const Case& k : cases) {
        h.s.pc = 0x0200;
        h.s.a = uint8_t(k.ya);
        h.s.y = uint8_t(k.ya >> 8);
        h.s.x = k.x;
        h.run({0x9E});
        EXPECT_EQ(h.s.a, k.a) << k.ya << "/" << int(k.x);
        EXPECT_EQ(h.s.y, k.y) << k.ya << "/" << int(k.x);
        EXPECT_EQ(h.s.psw.v, k.v) << k.ya << "/" << int(k.x);
    }
}

// DAA after ADC and DAS after SBC turn binary arithmetic on packed BCD
// bytes into decimal arithmetic: every pair of two-digit numbers, with
// and without a carry in, gives the decimal sum or difference and the
// decimal carry or borrow. N and Z follow A; V and H stay.
TEST(Spc700Alu, DecimalAdjustGivesDecimalArithmeticForEveryPair) {
    SpcHarness h;
    auto bcd = [](int n) { return uint8_t((n / 10) << 4 | n % 10); };
    for (int a = 0; a < 100; a++) {
        for (int b = 0; b < 100; b++) {
            for (int c = 0; c < 2; c++) {
                h.s.pc = 0x0200;
                h.s.a = bcd(a);
                h.set_psw(c ? kC : 0);
                h.run({0x88, bcd(b)});  // ADC A, #b
                const uint8_t vh = h.psw() & (kV | kH);
                EXPECT_EQ(h.run({0xDF}), 3);  // DAA
                const int sum = a + b + c;
                ASSERT_EQ(h.s.a, bcd(sum % 100)) << a << "+" << b << "+" << c;
                ASSERT_EQ(h.psw() & kArithFlags, uint8_t(nz(bcd(sum % 100)) | vh | (sum > 99 ? kC : 0)))
                    << a << "+" << b << "+" << c;

                h.s.a = bcd(a);
                h.set_psw(c ? kC : 0);
                h.run({0xA8, bcd(b)});  // SBC A, #b
                const uint8_t vh2 = h.psw() & (kV | kH);
                EXPECT_EQ(h.run({0xBE}), 3);  // DAS
                const int diff = a - b - (1 - c);
                const int wrapped = (diff + 100) % 100;
                ASSERT_EQ(h.s.a, bcd(wrapped)) << a << "-" << b << " c=" << c;
                ASSERT_EQ(h.psw() & kArithFlags, uint8_t(nz(bcd(wrapped)) | vh2 | (diff >= 0 ? kC : 0)))
                    << a << "-" << b << " c=" << c;
            }
        }
    }
}

// DAA and DAS on their own, for every A, C and H: a byte above $99 or C
// moves the high digit by 6 (and sets C after DAA, clears it after DAS);
// a low digit above 9 or H (after DAS: H clear) moves the low digit by 6.
TEST(Spc700Alu, DecimalAdjustFromCarryAndHalfCarry) {
    struct Case {
        uint8_t op, a, flags_in, a_out;
        bool c_out;
    };
    const Case cases[] = {
        {0xDF, 0x3C, 0, 0x42, false},     {0xDF, 0xA5, 0, 0x05, true},       {0xDF, 0x12, kH, 0x18, false},
        {0xDF, 0x12, kC, 0x72, true},     {0xDF, 0x9A, 0, 0x00, true},       {0xDF, 0xFF, kC | kH, 0x65, true},
        {0xDF, 0x99, 0, 0x99, false},     {0xDF, 0x00, kH, 0x06, false},     {0xBE, 0x2D, kC | kH, 0x27, true},
        {0xBE, 0xF5, kH, 0x95, false},    {0xBE, 0x12, kC, 0x0C, true},      {0xBE, 0x12, kH, 0xB2, false},
        {0xBE, 0x9A, kC | kH, 0x34, false}, {0xBE, 0xA0, kC | kH, 0x40, false}, {0xBE, 0x00, 0, 0x9A, false},
    };
    for (const Case& k : cases) {
        SpcHarness h;
        h.s.a = k.a;
        h.set_psw(k.flags_in | kV);
        h.run({k.op});
        EXPECT_EQ(h.s.a, k.a_out) << (k.op == 0xDF ? "DAA " : "DAS ") << int(k.a) << " flags " << int(k.flags_in);
        EXPECT_EQ(h.s.psw.c, k.c_out) << int(k.a);
        EXPECT_EQ(h.s.psw.h, (k.flags_in & kH) != 0);
        EXPECT_TRUE(h.s.psw.v);
        EXPECT_EQ(h.s.psw.z, k.a_out == 0);
        EXPECT_EQ(h.s.psw.n, (k.a_out & 0x80) != 0);
    }
}

TEST(Spc700Alu, ExchangeNibbles) {
    SpcHarness h;
    h.s.a = 0x1E;
    h.run({0x9F});  // XCN A
    EXPECT_EQ(h.s.a, 0xE1);
    EXPECT_TRUE(h.s.psw.n);
    h.s.a = 0x00;
    h.run({0x9F});
    EXPECT_TRUE(h.s.psw.z);
}

}  // namespace
}  // namespace vt::test
