// GSU arithmetic, logic and shifts: every ALT form and every register
// operand against a reference computed here from the instructions' rules.
#include <gtest/gtest.h>

#include <random>

#include "coproc/gsu/gsu_harness.h"

namespace vt::test {
namespace {

struct Flags {
    bool z, cy, s, ov;
};

struct Expect {
    uint16_t value;
    bool stores;  // CMP stores nothing
    Flags f;
    bool cy_ov_kept;  // logic and multiplies leave CY and OV alone
};

enum class Op { Add, Adc, Sub, Sbc, Cmp, And, Bic, Or, Xor, Mult, Umult };

// The reference: plain integer arithmetic on the operands' signed and
// unsigned readings.
Expect reference(Op op, uint16_t a, uint16_t b, bool carry) {
    int sa = int16_t(a), sb = int16_t(b);
    auto zs = [](uint16_t v) { return Flags{v == 0, false, v >= 0x8000, false}; };
    switch (op) {
        case Op::Add:
        case Op::Adc: {
            int c = (op == Op::Adc && carry) ? 1 : 0;
            uint16_t v = uint16_t(a + b + c);
            Flags f = zs(v);
            f.cy = unsigned(a) + b + c > 0xFFFF;
            int sum = sa + sb + c;
            f.ov = sum > 32767 || sum < -32768;
            return {v, true, f, false};
        }
        case Op::Sub:
        case Op::Sbc:
        case Op::Cmp: {
            int borrow = (op == Op::Sbc && !carry) ? 1 : 0;
            uint16_t v = uint16_t(a - b - borrow);
            Flags f = zs(v);
            f.cy = unsigned(a) >= unsigned(b) + borrow;
            int diff = sa - sb - borrow;
            f.ov = diff > 32767 || diff < -32768;
            return {v, op != Op::Cmp, f, false};
        }
        case Op::And: return {uint16_t(a & b), true, zs(a & b), true};
        case Op::Bic: return {uint16_t(a & ~b), true, zs(uint16_t(a & ~b)), true};
        case Op::Or: return {uint16_t(a | b), true, zs(a | b), true};
        case Op::Xor: return {uint16_t(a ^ b), true, zs(a ^ b), true};
        case Op::Mult: {
            uint16_t v = uint16_t(int8_t(a & 0xFF) * int8_t(b & 0xFF));
            return {v, true, zs(v), true};
        }
        case Op::Umult: {
            uint16_t v = uint16_t((a & 0xFF) * (b & 0xFF));
            return {v, true, zs(v), true};
        }
    }
    return {};
}

struct Form {
    const char* name;
    Op op;
    int alt;
    uint8_t base;       // opcode with register/immediate 0
    bool immediate;
    int first, last;    // register or immediate range
};

constexpr Form kForms[] = {
    {"ADD Rn", Op::Add, 0, 0x50, false, 1, 14},  {"ADC Rn", Op::Adc, 1, 0x50, false, 1, 14},
    {"ADD #n", Op::Add, 2, 0x50, true, 0, 15},   {"ADC #n", Op::Adc, 3, 0x50, true, 0, 15},
    {"SUB Rn", Op::Sub, 0, 0x60, false, 1, 14},  {"SBC Rn", Op::Sbc, 1, 0x60, false, 1, 14},
    {"SUB #n", Op::Sub, 2, 0x60, true, 0, 15},   {"CMP Rn", Op::Cmp, 3, 0x60, false, 1, 14},
    {"AND Rn", Op::And, 0, 0x70, false, 1, 14},  {"BIC Rn", Op::Bic, 1, 0x70, false, 1, 14},
    {"AND #n", Op::And, 2, 0x70, true, 1, 15},   {"BIC #n", Op::Bic, 3, 0x70, true, 1, 15},
    {"OR Rn", Op::Or, 0, 0xC0, false, 1, 14},    {"XOR Rn", Op::Xor, 1, 0xC0, false, 1, 14},
    {"OR #n", Op::Or, 2, 0xC0, true, 1, 15},     {"XOR #n", Op::Xor, 3, 0xC0, true, 1, 15},
    {"MULT Rn", Op::Mult, 0, 0x80, false, 1, 14}, {"UMULT Rn", Op::Umult, 1, 0x80, false, 1, 14},
    {"MULT #n", Op::Mult, 2, 0x80, true, 0, 15}, {"UMULT #n", Op::Umult, 3, 0x80, true, 0, 15},
};

TEST(GsuAlu, EveryFormWithEveryOperandMatchesTheReference) {
    GsuMachine t;
    std::mt19937 rng(17);
    const uint16_t kEdges[] = {0x0000, 0x0001, 0x7FFF, 0x8000, 0xFFFF, 0x00FF, 0xFF80};
    for (const Form& form : kForms) {
        for (int n = form.first; n <= form.last; n++) {
            for (int trial = 0; trial < 12; trial++) {
                uint16_t a = trial < 7 ? kEdges[trial] : uint16_t(rng());
                uint16_t b = form.immediate ? uint16_t(n) : (trial < 7 ? kEdges[6 - trial] : uint16_t(rng()));
                bool carry_in = rng() & 1;
                Gsu& g = t.gsu();
                // CY and OV going in: the carry under test, OV the other way
                // round so instructions that leave it are seen to.
                g.sfr = uint16_t((g.sfr & ~(kSfrCy | kSfrOv)) | (carry_in ? kSfrCy : kSfrOv));
                t.set_r(0, a);
                if (!form.immediate) t.set_r(n, b);
                Code code = {uint8_t(form.base + n), kStop};
                if (form.alt) code.insert(code.begin(), uint8_t(0x3C + form.alt));
                t.start(code);
                t.run_until_stop();
                Expect e = reference(form.op, a, b, carry_in);
                SCOPED_TRACE(testing::Message() << form.name << " n=" << n << " a=" << a << " b=" << b
                                                << " carry=" << carry_in);
                EXPECT_EQ(t.r(0), e.stores ? e.value : a);
                EXPECT_EQ(t.flag(kSfrZ), e.f.z);
                EXPECT_EQ(t.flag(kSfrS), e.f.s);
                EXPECT_EQ(t.flag(kSfrCy), e.cy_ov_kept ? carry_in : e.f.cy);
                EXPECT_EQ(t.flag(kSfrOv), e.cy_ov_kept ? !carry_in : e.f.ov);
                if (!form.immediate) {
                    EXPECT_EQ(t.r(n), b);
                }
                if (testing::Test::HasFailure()) return;
            }
        }
    }
}

// One-operand instructions on Sreg, the result to Dreg.
struct UnaryCase {
    const char* name;
    Code code;       // run with R0 = input, CY = carry
    uint16_t input;
    bool carry;
    uint16_t result;
    bool z, cy, s;
};

TEST(GsuAlu, ShiftsAndByteOperations) {
    const UnaryCase cases[] = {
        {"LSR", {0x03}, 0x8003, false, 0x4001, false, true, false},
        {"LSR to zero", {0x03}, 0x0001, false, 0x0000, true, true, false},
        {"ROL", {0x04}, 0x8001, true, 0x0003, false, true, false},
        {"ROR", {0x97}, 0x0001, true, 0x8000, false, true, true},
        {"ASR", {0x96}, 0x8002, false, 0xC001, false, false, true},
        {"ASR of $FFFF", {0x96}, 0xFFFF, false, 0xFFFF, false, true, true},
        {"DIV2 of $FFFF", alt1(0x96), 0xFFFF, false, 0x0000, true, true, false},
        {"DIV2", alt1(0x96), 0xFFFC, false, 0xFFFE, false, false, true},
        {"SWAP", {0x4D}, 0x12F0, false, 0xF012, false, false, true},
        {"NOT", {0x4F}, 0xFFFF, true, 0x0000, true, true, false},
        {"SEX", {0x95}, 0x1280, false, 0xFF80, false, false, true},
        {"LOB", {0x9E}, 0x80F0, false, 0x00F0, false, false, true},
        {"LOB zero", {0x9E}, 0x8000, false, 0x0000, true, false, false},
        {"HIB", {0xC0}, 0x8012, false, 0x0080, false, false, true},
    };
    GsuMachine t;
    for (const UnaryCase& c : cases) {
        SCOPED_TRACE(c.name);
        Gsu& g = t.gsu();
        g.sfr = uint16_t((g.sfr & ~kSfrCy) | (c.carry ? kSfrCy : 0));
        t.set_r(0, c.input);
        t.start(c.code + Code{kStop});
        t.run_until_stop();
        EXPECT_EQ(t.r(0), c.result);
        EXPECT_EQ(t.flag(kSfrZ), c.z);
        EXPECT_EQ(t.flag(kSfrCy), c.cy);
        EXPECT_EQ(t.flag(kSfrS), c.s);
    }
}

TEST(GsuAlu, MergePacksTheHighBytesAndFlagsItsPixelBits) {
    GsuMachine t;
    t.set_r(7, 0x1000);
    t.set_r(8, 0x0000);
    t.start({0x70, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 0x1000);
    EXPECT_TRUE(t.flag(kSfrZ));  // some bit of $F0F0 is set
    EXPECT_FALSE(t.flag(kSfrCy));
    EXPECT_FALSE(t.flag(kSfrOv));
    EXPECT_FALSE(t.flag(kSfrS));

    t.set_r(7, 0x8F00);
    t.set_r(8, 0x4000);
    t.start({0x70, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 0x8F40);
    EXPECT_TRUE(t.flag(kSfrS));
    EXPECT_TRUE(t.flag(kSfrOv));
    EXPECT_TRUE(t.flag(kSfrCy));

    t.set_r(7, 0x0F00);
    t.set_r(8, 0x0F00);
    t.start({0x70, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(0), 0x0F0F);
    EXPECT_FALSE(t.flag(kSfrZ));
}

TEST(GsuAlu, FractionalAndLongMultiplies) {
    std::mt19937 rng(4);
    GsuMachine t;
    for (int trial = 0; trial < 200; trial++) {
        uint16_t a = uint16_t(rng()), b = uint16_t(rng());
        bool is_long = trial & 1;
        t.set_r(0, a);
        t.set_r(6, b);
        t.set_r(4, 0x5555);
        t.start((is_long ? alt1(0x9F) : Code{0x9F}) + Code{kStop});
        t.run_until_stop();
        int64_t product = int64_t(int16_t(a)) * int16_t(b);
        uint32_t bits = uint32_t(product);
        SCOPED_TRACE(testing::Message() << a << " x " << b << (is_long ? " long" : ""));
        EXPECT_EQ(t.r(0), bits >> 16);
        EXPECT_EQ(t.r(4), is_long ? (bits & 0xFFFF) : 0x5555);
        EXPECT_EQ(t.flag(kSfrCy), (bits & 0x8000) != 0);
        EXPECT_EQ(t.flag(kSfrS), (bits & 0x80000000) != 0);
        EXPECT_EQ(t.flag(kSfrZ), (bits >> 16) == 0);
    }
}

TEST(GsuAlu, IncAndDecWorkOnTheirOwnRegister) {
    GsuMachine t;
    for (int n = 0; n <= 14; n++) {
        SCOPED_TRACE(n);
        t.set_r(n, 0xFFFF);
        t.set_r(n == 0 ? 1 : 0, 0x1234);
        t.start({uint8_t(0xD0 + n), kStop});
        t.run_until_stop();
        EXPECT_EQ(t.r(n), 0x0000);
        EXPECT_TRUE(t.flag(kSfrZ));
        EXPECT_EQ(t.r(n == 0 ? 1 : 0), 0x1234);
        t.start({uint8_t(0xE0 + n), kStop});
        t.run_until_stop();
        EXPECT_EQ(t.r(n), 0xFFFF);
        EXPECT_TRUE(t.flag(kSfrS));
        EXPECT_FALSE(t.flag(kSfrZ));
    }
}

}  // namespace
}  // namespace vt::test
