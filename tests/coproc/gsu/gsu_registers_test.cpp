// The Super FX as the main CPU sees it: the register page, starting and
// stopping, the slice per line, and random traffic over every window.
#include <gtest/gtest.h>

#include <random>

#include "../../../fuzz/gsu_input.h"
#include "coproc/gsu/gsu_debug.h"
#include "coproc/gsu/gsu_harness.h"
#include "core/cpu_state.h"
#include "core/driver.h"

namespace vt::test {
namespace {

TEST(GsuRegisters, GeneralRegistersReadBackAndOnlyTheHighByteOfR15Starts) {
    GsuMachine t;
    for (int n = 0; n < 15; n++) t.set_r(n, uint16_t(0x1111 * (n + 1)));
    for (int n = 0; n < 15; n++) {
        EXPECT_EQ(t.read_reg(uint16_t(0x3000 + 2 * n)), uint8_t(0x1111 * (n + 1)));
        EXPECT_EQ(t.read_reg(uint16_t(0x3001 + 2 * n)), uint8_t((0x1111 * (n + 1)) >> 8));
    }
    EXPECT_FALSE(t.flag(kSfrGo));
    t.write_reg(0x301E, 0x34);
    EXPECT_FALSE(t.flag(kSfrGo));
    t.write_reg(0x301F, 0x12);
    EXPECT_TRUE(t.flag(kSfrGo));
    EXPECT_EQ(t.r(15), 0x1234);
    EXPECT_EQ(t.read_reg(0x3030) & 0x20, 0x20);
    // The main CPU stops it by clearing GO, which also empties the cache.
    t.gsu().cbr = 0x1230;
    t.write_reg(0x3030, 0x00);
    EXPECT_FALSE(t.flag(kSfrGo));
    EXPECT_EQ(t.gsu().cbr, 0);
}

TEST(GsuRegisters, ControlRegistersAndTheirReadValues) {
    GsuMachine t;
    t.write_reg(0x3034, 0x41);
    t.write_reg(0x3036, 0x42);
    t.write_reg(0x303C, 0xFF);
    t.write_reg(0x303E, 0x5F);
    t.write_reg(0x303F, 0x12);
    t.write_reg(0x3033, 0x01);
    t.write_reg(0x3038, 0x08);
    EXPECT_EQ(t.read_reg(0x3034), 0x41);
    EXPECT_EQ(t.read_reg(0x3036), 0x42);
    EXPECT_EQ(t.read_reg(0x303C), 0x01);  // one bit of RAM bank
    EXPECT_EQ(t.read_reg(0x303E), 0x50);  // low four bits of CBR are zero
    EXPECT_EQ(t.read_reg(0x303F), 0x12);
    EXPECT_EQ(t.read_reg(0x303B), kGsuVersion);
    for (uint16_t write_only : {0x3033, 0x3037, 0x3038, 0x3039, 0x303A, 0x3032, 0x3035, 0x303D}) {
        EXPECT_EQ(t.read_reg(write_only), 0) << write_only;
    }
    // $3020-$302F read as $3030-$303F.
    EXPECT_EQ(t.read_reg(0x3024), 0x41);
    EXPECT_EQ(t.read_reg(0x302B), kGsuVersion);
    EXPECT_EQ(t.gsu().screen_base, 8u * 1024);
    // The cache RAM at $3100-$32FF.
    t.write_reg(0x3100, 0xAA);
    t.write_reg(0x32FF, 0xBB);
    EXPECT_EQ(t.read_reg(0x3100), 0xAA);
    EXPECT_EQ(t.read_reg(0x32FF), 0xBB);
}

TEST(GsuRegisters, TheRamWindowsShowTheGsuRam) {
    GsuMachine t;
    Machine& m = t.m();
    t.ram(0x1FFF) = 0x5A;
    t.ram(0x10000) = 0xA5;
    EXPECT_EQ(bus_read(m, 0x00, 0x7FFF), 0x5A);
    EXPECT_EQ(bus_read(m, 0x3F, 0x7FFF), 0x5A);
    EXPECT_EQ(bus_read(m, 0x70, 0x1FFF), 0x5A);
    EXPECT_EQ(bus_read(m, 0x71, 0x0000), 0xA5);
    bus_write(m, 0x71, 0x8001, 0x77);
    EXPECT_EQ(t.ram(0x18001), 0x77);
}

// 8 and 16 Mbit cartridges: the GSU sees the ROM linearly in banks
// $40-$5F and in 32 KiB halves in banks $00-$3F, as the 65816 does.
TEST(GsuRegisters, TheGsuSeesTheWholeRomOfEightAndSixteenMbitCartridges) {
    for (size_t kib : {1024u, 2048u}) {
        SCOPED_TRACE(kib);
        GsuMachine t(0x13, kib);
        const auto image = GsuMachine::super_fx_image(0x13, kib);
        Machine& m = t.m();
        const size_t last = image.size() - 1;
        EXPECT_EQ(gsu_bank_base(m, uint8_t(0x40 + last / 0x10000))[last & 0xFFFF], image[last]);
        EXPECT_EQ(gsu_bank_base(m, uint8_t(last / 0x8000))[0x8000 | (last & 0x7FFF)], image[last]);
        EXPECT_EQ(gsu_bank_base(m, 0x00)[0x8123], image[0x123]);
        EXPECT_EQ(bus_read(m, uint8_t(last / 0x8000), uint16_t(0x8000 | (last & 0x7FFF))), image[last]);
        // The RAM is 128 KiB whatever the header says.
        EXPECT_EQ(m.cart.sram_size, kGsuRamSize);
        EXPECT_EQ(gsu_bank_base(m, 0x71), m.cart.sram.data() + 0x10000);
    }
}

TEST(GsuSlices, OneSlicePerLineOfThreeOrSixHundredInstructions) {
    for (uint8_t clsr : {0, 1}) {
        GsuMachine t;
        Machine& m = t.m();
        // An endless loop of INC R1: BRA to itself with INC in the delay slot.
        t.set_r(1, 0);
        t.write_reg(0x3039, clsr);
        t.start({0x05, 0xFE, 0xD1});
        gsu_line_end(m);
        // The first slice runs the priming NOP, then alternates BRA and INC.
        const int slice = clsr ? 600 : 300;
        EXPECT_EQ(t.r(1), (slice - 1) / 2);
        gsu_line_end(m);
        EXPECT_EQ(t.r(1), (2 * slice - 1) / 2);
    }
}

TEST(GsuSlices, NothingRunsWithoutTheRomGivenToTheGsu) {
    GsuMachine t;
    Machine& m = t.m();
    t.set_r(1, 0);
    t.start({0x05, 0xFE, 0xD1});
    t.write_reg(0x303A, 0x00);  // RON clear
    EXPECT_TRUE(t.flag(kSfrGo));
    gsu_line_end(m);
    EXPECT_EQ(t.r(1), 0);
    t.write_reg(0x303A, kScmrRon);
    gsu_line_end(m);
    EXPECT_GT(t.r(1), 0);
}

TEST(GsuSlices, ResetStopsTheGsuAndSetsItsRegisters) {
    GsuMachine t;
    Machine& m = t.m();
    t.start({0x05, 0xFE, 0xD1});
    machine_reset(m);
    EXPECT_FALSE(m.gsu.running);
    EXPECT_EQ(m.gsu.sfr, 0);
    EXPECT_EQ(m.gsu.r[0], 0xFFFF);
    EXPECT_EQ(m.gsu.r[1], 0);
    EXPECT_EQ(m.gsu.r[15], 0);
    EXPECT_EQ(m.gsu.slice_length, kGsuSliceShort);
}

TEST(GsuDebug, RegistersAndDisassemblyForTheInspector) {
    GsuMachine t;
    t.set_r(3, 0xBEEF);
    DebugRegisters regs = kGsuTarget.registers(t.m());
    ASSERT_GE(regs.count, 26);
    EXPECT_STREQ(regs.list[3].name, "R3");
    EXPECT_EQ(regs.list[3].value, 0xBEEF);
    EXPECT_STREQ(regs.list[16].name, "SFR");
    EXPECT_STREQ(regs.list[25].name, "CBR");
    struct Case {
        int alt;
        std::vector<uint8_t> bytes;
        const char* text;
        int length;
    } cases[] = {
        {0, {0xF1, 0x34, 0x12}, "iwt r1, #$1234", 3}, {1, {0xF1, 0x34, 0x12}, "lm r1, ($1234)", 3},
        {2, {0xF1, 0x34, 0x12}, "sm ($1234), r1", 3}, {0, {0xA2, 0x80}, "ibt r2, #$80", 2},
        {3, {0x65}, "cmp r5", 1},                     {2, {0x55}, "add #5", 1},
        {1, {0x4C}, "rpix", 1},                       {0, {0x05, 0xFE}, "bra $1000", 2},
        {3, {0xEF}, "getbs", 1},                      {1, {0x9A}, "ljmp r10", 1},
    };
    for (const Case& c : cases) {
        GsuInstructionText text = gsu_instruction_text(c.alt, c.bytes[0], c.bytes.size() > 1 ? c.bytes[1] : 0,
                                                       c.bytes.size() > 2 ? c.bytes[2] : 0, 0x1001);
        EXPECT_EQ(text.text, c.text);
        EXPECT_EQ(text.length, c.length);
    }
}

// A million random reads and writes over every window of the chip, with the
// GSU running slices in between, stay inside its buffers (the sanitizer
// build checks that) and leave the chip usable.
TEST(GsuFuzz, RandomTrafficOverEveryWindowNeverCrashes) {
    GsuMachine t;
    Machine& m = t.m();
    std::mt19937 rng(2024);
    struct Window {
        uint8_t bank;
        uint16_t first, last;
    };
    const Window windows[] = {
        {0x00, 0x3000, 0x34FF}, {0x80, 0x3000, 0x34FF}, {0x00, 0x6000, 0x7FFF},
        {0x70, 0x0000, 0xFFFF}, {0x71, 0x0000, 0xFFFF}, {0x60, 0x0000, 0xFFFF},
    };
    for (int i = 0; i < 1000000; i++) {
        const Window& w = windows[rng() % std::size(windows)];
        uint16_t addr = uint16_t(w.first + rng() % (w.last - w.first + 1));
        if (rng() & 1) bus_write(m, w.bank, addr, uint8_t(rng()));
        else bus_read(m, w.bank, addr);
        if (i % 1000 == 0) {
            t.write_reg(0x303A, uint8_t(rng() | kScmrRon));
            gsu_run(m, 200);  // whatever program the random bytes make
        }
    }
    t.write_reg(0x3030, 0);
    t.write_reg(0x3034, GsuMachine::kCodeBank);
    t.write_reg(0x303C, 0);
    t.set_r(1, 0);
    t.start({0xD1, kStop});
    t.run_until_stop();
    EXPECT_EQ(t.r(1), 1);
}

// The fuzz target's input path: random state chunks and operation lists,
// including damaged ones, load and run without leaving the buffers.
TEST(GsuFuzz, RandomStateChunksAndOperationListsRunCleanly) {
    auto m = make_machine();
    ASSERT_TRUE(fuzz::load_gsu_fuzz_cartridge(*m));
    std::mt19937 rng(99);
    for (int input = 0; input < 200; input++) {
        std::vector<uint8_t> bytes(rng() % 4000);
        for (uint8_t& b : bytes) b = uint8_t(rng());
        fuzz::run_gsu_input(*m, bytes.data(), bytes.size());
        EXPECT_LT(m->gsu.sreg, 16);
        EXPECT_LT(m->gsu.dreg, 16);
    }
}

}  // namespace
}  // namespace vt::test
