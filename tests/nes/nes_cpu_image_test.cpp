// CPU test images run through the whole NES side: every result and flag
// the image stored is compared with the value worked out here from the
// instruction's definition.
#include <gtest/gtest.h>

#include <array>

#include "nes/nes_side.h"
#include "support/test_rom.h"

namespace vt {
namespace {

// The operand table both images use.
constexpr std::array<uint8_t, 16> kA = {0x00, 0x01, 0x7F, 0x80, 0xFF, 0x50, 0x50, 0xD0,
                                        0xD0, 0x01, 0xFF, 0x80, 0x0F, 0xF0, 0xAA, 0x55};
constexpr std::array<uint8_t, 16> kB = {0x00, 0x01, 0x01, 0xFF, 0x01, 0x50, 0xD0, 0x90,
                                        0x30, 0xFF, 0xFF, 0x80, 0xF0, 0x0F, 0x55, 0x55};
constexpr std::array<uint8_t, 16> kC = {0, 0, 0, 0, 0, 1, 0, 1, 0, 1, 1, 0, 1, 0, 1, 1};

// Flags as PHP pushes them inside the images: I set, B and bit 5 set.
constexpr uint8_t kBase = 0x34;
uint8_t flags(bool n, bool v, bool z, bool c) {
    return uint8_t(kBase | (n ? 0x80 : 0) | (v ? 0x40 : 0) | (z ? 0x02 : 0) | (c ? 0x01 : 0));
}
uint8_t nz_flags(uint8_t r, bool v, bool c) { return flags(r & 0x80, v, r == 0, c); }

struct Sum {
    uint8_t r;
    uint8_t f;
};
Sum add(uint8_t a, uint8_t b, int c) {
    const int sum = a + b + c;
    const int8_t sa = int8_t(a), sb = int8_t(b);
    const int signed_sum = sa + sb + c;
    const uint8_t r = uint8_t(sum);
    return {r, nz_flags(r, signed_sum < -128 || signed_sum > 127, sum > 0xFF)};
}
Sum subtract(uint8_t a, uint8_t b, int c) {
    const int borrow = 1 - c;
    const int diff = a - b - borrow;
    const int signed_diff = int8_t(a) - int8_t(b) - borrow;
    const uint8_t r = uint8_t(diff);
    return {r, nz_flags(r, signed_diff < -128 || signed_diff > 127, diff >= 0)};
}
uint8_t compare_flags(uint8_t reg, uint8_t v, bool keep_v) {
    const uint8_t r = uint8_t(reg - v);
    return nz_flags(r, keep_v, reg >= v);
}

std::unique_ptr<Machine> run_image(const char* name) {
    auto m = test::machine_with_nes_rom(name);
    test::run_frames(*m, 3);
    EXPECT_EQ(m->nes.ram[0x300], 0xA5) << name << " did not finish";
    return m;
}

TEST(NesCpuImages, ArithmeticLogicAndShifts) {
    auto m = run_image("cpu_alu");
    const auto& ram = m->nes.ram;
    for (int i = 0; i < 16; i++) {
        const uint8_t a = kA[size_t(i)], b = kB[size_t(i)];
        const int c = kC[size_t(i)];
        SCOPED_TRACE(testing::Message() << "case " << i);
        const Sum s = add(a, b, c);
        EXPECT_EQ(ram[0x400 + i], s.r);
        EXPECT_EQ(ram[0x410 + i], s.f);
        const Sum d = subtract(a, b, c);
        EXPECT_EQ(ram[0x420 + i], d.r);
        EXPECT_EQ(ram[0x430 + i], d.f);
        EXPECT_EQ(ram[0x440 + i], a & b);
        EXPECT_EQ(ram[0x450 + i], nz_flags(uint8_t(a & b), false, c));
        EXPECT_EQ(ram[0x460 + i], a | b);
        EXPECT_EQ(ram[0x470 + i], nz_flags(uint8_t(a | b), false, c));
        EXPECT_EQ(ram[0x480 + i], a ^ b);
        EXPECT_EQ(ram[0x490 + i], nz_flags(uint8_t(a ^ b), false, c));
        EXPECT_EQ(ram[0x4A0 + i], compare_flags(a, b, false));
        // BIT: N and V from memory, Z from A AND memory, C untouched.
        EXPECT_EQ(ram[0x4B0 + i], flags(b & 0x80, b & 0x40, (a & b) == 0, c));
        const uint8_t asl = uint8_t(a << 1), lsr = uint8_t(a >> 1);
        const uint8_t rol = uint8_t(a << 1 | c), ror = uint8_t(a >> 1 | c << 7);
        EXPECT_EQ(ram[0x500 + i], asl);
        EXPECT_EQ(ram[0x510 + i], nz_flags(asl, false, a & 0x80));
        EXPECT_EQ(ram[0x520 + i], lsr);
        EXPECT_EQ(ram[0x530 + i], nz_flags(lsr, false, a & 1));
        EXPECT_EQ(ram[0x540 + i], rol);
        EXPECT_EQ(ram[0x550 + i], nz_flags(rol, false, a & 0x80));
        EXPECT_EQ(ram[0x560 + i], ror);
        EXPECT_EQ(ram[0x570 + i], nz_flags(ror, false, a & 1));
        EXPECT_EQ(ram[0x580 + i], uint8_t(a + 1));
        EXPECT_EQ(ram[0x590 + i], nz_flags(uint8_t(a + 1), false, c));
        EXPECT_EQ(ram[0x5A0 + i], uint8_t(a - 1));
        EXPECT_EQ(ram[0x5B0 + i], nz_flags(uint8_t(a - 1), false, c));
        // CPX and CPY run after the shifts; V stays clear from the CLV before them.
        EXPECT_EQ(ram[0x5C0 + i] & ~0x40, compare_flags(a, b, false));
        EXPECT_EQ(ram[0x5D0 + i] & ~0x40, compare_flags(a, b, false));
    }
}

TEST(NesCpuImages, UnofficialOpcodes) {
    auto m = run_image("cpu_unofficial");
    const auto& ram = m->nes.ram;
    for (int i = 0; i < 16; i++) {
        const uint8_t a = kA[size_t(i)], b = kB[size_t(i)];
        const int c = kC[size_t(i)];
        SCOPED_TRACE(testing::Message() << "case " << i);
        // SLO: ASL memory, then ORA.
        const uint8_t slo_m = uint8_t(b << 1);
        EXPECT_EQ(ram[0x410 + i], slo_m);
        EXPECT_EQ(ram[0x400 + i], a | slo_m);
        EXPECT_EQ(ram[0x420 + i], nz_flags(uint8_t(a | slo_m), false, b & 0x80));
        // RLA: ROL memory, then AND.
        const uint8_t rla_m = uint8_t(b << 1 | c);
        EXPECT_EQ(ram[0x440 + i], rla_m);
        EXPECT_EQ(ram[0x430 + i], a & rla_m);
        EXPECT_EQ(ram[0x450 + i], nz_flags(uint8_t(a & rla_m), false, b & 0x80));
        // SRE: LSR memory, then EOR.
        const uint8_t sre_m = uint8_t(b >> 1);
        EXPECT_EQ(ram[0x470 + i], sre_m);
        EXPECT_EQ(ram[0x460 + i], a ^ sre_m);
        EXPECT_EQ(ram[0x480 + i], nz_flags(uint8_t(a ^ sre_m), false, b & 1));
        // RRA: ROR memory, then ADC with the carry ROR left.
        const uint8_t rra_m = uint8_t(b >> 1 | c << 7);
        const Sum rra = add(a, rra_m, b & 1);
        EXPECT_EQ(ram[0x4A0 + i], rra_m);
        EXPECT_EQ(ram[0x490 + i], rra.r);
        EXPECT_EQ(ram[0x4B0 + i], rra.f);
        // DCP: DEC memory, then CMP (V stays clear).
        const uint8_t dcp_m = uint8_t(b - 1);
        EXPECT_EQ(ram[0x4C0 + i], dcp_m);
        EXPECT_EQ(ram[0x4D0 + i], compare_flags(a, dcp_m, false));
        // ISC: INC memory, then SBC.
        const uint8_t isc_m = uint8_t(b + 1);
        const Sum isc = subtract(a, isc_m, c);
        EXPECT_EQ(ram[0x4F0 + i], isc_m);
        EXPECT_EQ(ram[0x4E0 + i], isc.r);
        EXPECT_EQ(ram[0x500 + i], isc.f);
        // LAX loads both; SAX stores A AND X.
        EXPECT_EQ(ram[0x510 + i], 0);
        EXPECT_EQ(ram[0x520 + i], b);
        EXPECT_EQ(ram[0x530 + i], a & b);
        // ANC: AND, carry from bit 7.
        const uint8_t anc = a & b;
        EXPECT_EQ(ram[0x540 + i], anc);
        EXPECT_EQ(ram[0x550 + i], nz_flags(anc, false, anc & 0x80));
        // ALR: AND, then LSR.
        const uint8_t alr = uint8_t((a & b) >> 1);
        EXPECT_EQ(ram[0x560 + i], alr);
        EXPECT_EQ(ram[0x570 + i], nz_flags(alr, false, (a & b) & 1));
        // ARR: AND, then ROR; C from bit 6, V from bit 6 XOR bit 5.
        const uint8_t arr = uint8_t((a & b) >> 1 | c << 7);
        EXPECT_EQ(ram[0x580 + i], arr);
        EXPECT_EQ(ram[0x590 + i], nz_flags(arr, ((arr >> 6) ^ (arr >> 5)) & 1, arr & 0x40));
        // AXS: X = (A AND X) - operand, carry as CMP, V untouched (clear).
        const uint8_t ax = a & 0xF3;
        EXPECT_EQ(ram[0x5A0 + i], uint8_t(ax - b));
        EXPECT_EQ(ram[0x5B0 + i], compare_flags(ax, b, false));
        // $EB is SBC #.
        const Sum sbc = subtract(a, b, c);
        EXPECT_EQ(ram[0x5C0 + i], sbc.r);
        EXPECT_EQ(ram[0x5D0 + i], sbc.f);
    }
}

}  // namespace
}  // namespace vt
