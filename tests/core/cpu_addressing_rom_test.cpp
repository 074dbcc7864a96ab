#include <gtest/gtest.h>

#include "support/test_rom.h"

namespace vt::test {
namespace {

// Results of tests/roms/cpu_addressing.s, worked out by hand from its
// source; the comments there say what each slot checks.
struct Slot {
    int index;
    uint16_t value;
};
const Slot kExpected[] = {
    // Emulation mode: page wrapping of dp,X, dp,Y, (dp,X); sr,S, PEA, JSL
    // and RTL leaving page 1
    {0, 0x00AA}, {1, 0x00CC}, {2, 0x00AA}, {3, 0x00E3}, {4, 0x0055},
    {5, 0x00FE}, {6, 0x0012}, {7, 0x0034}, {8, 0x0077},
    {9, 0x0080}, {10, 0x00FE}, {11, 0x0001},
    {12, 0x0001},                               // JMP ($12FF) without page wrap
    {13, 0x0034}, {14, 0x0034}, {15, 0x00C0}, {16, 0x00FF},  // BRK, COP
    {17, 0x0035},                               // status after XCE
    // Native mode, 16-bit: every read addressing mode
    {18, 0x1234}, {19, 0x3210}, {20, 0x3210}, {21, 0xBA98}, {22, 0xBA98},
    {23, 0xFEDC}, {24, 0x7654}, {25, 0xBA98}, {26, 0x7654}, {27, 0xABCD},
    {28, 0xABCD}, {29, 0xABCD}, {30, 0x5A5A}, {31, 0xFEDC},
    // 8-bit accumulator, then 8-bit index
    {32, 0x0076}, {33, 0x00BA}, {34, 0x00FE}, {35, 0x0034}, {36, 0x0001},
    // Stores
    {37, 0xC0DE}, {38, 0xBEEF}, {39, 0xF00D}, {40, 0x00BE}, {41, 0x0099},
    // Read-modify-write
    {42, 0x0100}, {43, 0x0200}, {44, 0x8100}, {45, 0x810F}, {46, 0x800F}, {47, 0x800E},
    // Decimal mode
    {48, 0x1000}, {49, 0x0999}, {50, 0x0001}, {51, 0x0083},
    // Block moves
    {52, 0xFFFF}, {53, 0x3210}, {54, 0x7654}, {55, 0xFEDC}, {56, 0x007E},
    // Carries into the next bank
    {57, 0x6655}, {58, 0x6655}, {59, 0x2211},
    // Calls, jumps, PER, PEI, BRL, branches
    {60, 0x1234}, {61, 0x0080}, {62, 0x600D}, {63, 0x0080}, {64, 0x0100},
    {65, 0x4321}, {66, 0xB00B}, {67, 0x000F}, {68, 0x0001},
    // Native BRK and COP, transfers, back to emulation mode
    {69, 0xB4B4}, {70, 0xC0C0}, {71, 0x1FFF}, {72, 0x3412}, {73, 0x0300},
    {74, 0x5555}, {75, 0x00FF},
    {127, 0x600D},                              // reached the end
};

constexpr uint32_t kResults = 0x2000;  // $7E:2000

TEST(CpuAddressingCartridge, EveryAddressingModeGivesTheWorkedOutResults) {
    auto m = machine_with_rom("cpu_addressing");
    run_frames(*m, 3);
    bool listed[128] = {};
    for (const Slot& s : kExpected) {
        EXPECT_EQ(wram16(*m, kResults + 2 * s.index), s.value) << "slot " << s.index;
        listed[s.index] = true;
    }
    for (int i = 0; i < 128; i++) {
        if (!listed[i]) {
            EXPECT_EQ(wram16(*m, kResults + 2 * i), 0) << "slot " << i;
        }
    }
}

TEST(CpuAddressingCartridge, StopsAtTheEnd) {
    auto m = machine_with_rom("cpu_addressing");
    run_frames(*m, 2);
    const uint16_t pc = m->cpu.pc;
    const uint8_t pbr = m->cpu.pbr;
    run_frames(*m, 1);
    EXPECT_EQ(m->cpu.pc, pc);
    EXPECT_EQ(m->cpu.pbr, pbr);
    EXPECT_EQ(m->cpu.e, 1);
}

}  // namespace
}  // namespace vt::test
