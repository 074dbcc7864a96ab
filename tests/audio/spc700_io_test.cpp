// The audio unit's I/O registers, the ports seen from both sides, the
// timers, the boot ROM overlay, power-on and reset.
#include <gtest/gtest.h>

#include <vector>

#include "audio/dsp.h"
#include "audio/ipl_rom.h"
#include "cart/loader.h"
#include "core/driver.h"
#include "core/timing.h"
#include "spc700_harness.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

uint8_t cpu_reads_port(Machine& m, int port) { return apu_port_read(m, 0x00, uint16_t(0x2140 + port)); }
void cpu_writes_port(Machine& m, int port, uint8_t v) { apu_port_write(m, 0x00, uint16_t(0x2140 + port), v); }

TEST(ApuPowerOn, RamPatternRegistersAndBootVector) {
    auto machine = make_machine();
    Machine& m = *machine;
    m.apu.a = 0x12;
    m.apu.io[kIoTimer0Target] = 0x44;
    apu_power_on(m);
    const Apu& s = m.apu;
    EXPECT_EQ(s.ram[0x0000], 0x00);
    EXPECT_EQ(s.ram[0x001F], 0x00);
    EXPECT_EQ(s.ram[0x0020], 0xFF);
    EXPECT_EQ(s.ram[0x003F], 0xFF);
    EXPECT_EQ(s.ram[0x0040], 0x00);
    EXPECT_EQ(s.ram[0x1234], 0xFF);  // $1234 lies in $1220-$123F
    EXPECT_EQ(s.ram[0xFFFF], 0xFF);
    EXPECT_EQ(s.a, 0);
    EXPECT_EQ(s.sp, 0xFF);
    EXPECT_EQ(psw_pack(s.psw), 0);
    EXPECT_EQ(s.pc, 0xFFC0);
    EXPECT_EQ(s.io[kIoControl], 0x80);
    EXPECT_EQ(s.io[kIoTimer0Target], 0);
    EXPECT_EQ(s.io[kIoTest], 0x0A);  // timers run, RAM takes writes
    EXPECT_EQ(s.timer_counter[0], 0x0F);
    EXPECT_TRUE(s.ipl_mapped);
}

TEST(ApuPowerOn, ResetKeepsRamAndTimerSettings) {
    SpcHarness h;
    h.s.ram[0x0300] = 0x42;
    h.s.io[kIoTimer0Target] = 5;
    h.s.io[kIoTest] = 0x00;
    h.s.a = h.s.x = h.s.y = 9;
    h.s.to_cpu[1] = 7;
    h.s.io[kIoPort0 + 2] = 7;
    apu_reset(h.m);
    EXPECT_EQ(h.s.ram[0x0300], 0x42);
    EXPECT_EQ(h.s.io[kIoTimer0Target], 5);
    EXPECT_EQ(h.s.io[kIoTest], 0x0A);
    EXPECT_EQ(h.s.a | h.s.x | h.s.y, 0);
    EXPECT_EQ(h.s.to_cpu[1], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 2], 0);
    EXPECT_EQ(h.s.pc, 0xFFC0);
    EXPECT_EQ(h.s.timer_counter[2], 0x0F);
}

TEST(ApuBootRom, OverlayFollowsControlBit7AndWritesReachRam) {
    SpcHarness h;
    h.s.ram[0xFFC0] = 0x11;
    h.s.ram[0x0400] = 0x00;
    // With the ROM mapped, reads see it and writes still land in RAM.
    h.run({0x8F, 0x80, 0xF1});  // MOV $F1, #$80
    EXPECT_TRUE(h.s.ipl_mapped);
    h.run({0xE5, 0xC0, 0xFF});  // MOV A, !$FFC0
    EXPECT_EQ(h.s.a, kIplRom[0]);
    h.s.a = 0x77;
    h.run({0xC5, 0xFF, 0xFF});  // MOV !$FFFF, A
    EXPECT_EQ(h.s.ram[0xFFFF], 0x77);
    EXPECT_EQ(spc700_read(h.m, 0xFFFF), 0xFF);  // the ROM's vector high byte
    // Unmapped: the RAM shows through.
    h.run({0x8F, 0x00, 0xF1});
    EXPECT_FALSE(h.s.ipl_mapped);
    h.run({0xE5, 0xC0, 0xFF});
    EXPECT_EQ(h.s.a, 0x11);
    EXPECT_EQ(spc700_read(h.m, 0xFFFF), 0x77);
}

TEST(ApuPorts, BothDirections) {
    SpcHarness h;
    cpu_writes_port(h.m, 0, 0xA1);
    cpu_writes_port(h.m, 3, 0xD4);
    h.run({0xE4, 0xF4});  // MOV A, $F4
    EXPECT_EQ(h.s.a, 0xA1);
    h.run({0xE4, 0xF7});
    EXPECT_EQ(h.s.a, 0xD4);
    // Mirrors: address AND 3.
    cpu_writes_port(h.m, 0x3D, 0x5E);  // $217D -> port 1
    h.run({0xE4, 0xF5});
    EXPECT_EQ(h.s.a, 0x5E);

    h.s.a = 0x3C;
    h.run({0xC4, 0xF6});  // MOV $F6, A
    EXPECT_EQ(cpu_reads_port(h.m, 2), 0x3C);
    EXPECT_EQ(h.m.mem.open_bus, 0x3C);
    EXPECT_EQ(h.s.ram[0x00F6], 0x3C);  // the RAM beneath takes the write too
    // The SPC700 reads the main CPU's byte, not its own output.
    h.run({0xE4, 0xF6});
    EXPECT_EQ(h.s.a, 0x00);
}

// A CONTROL write clears the latches once; it blocks nothing after.
TEST(ApuPorts, ControlClearsPortPairs) {
    SpcHarness h;
    for (int p = 0; p < 4; p++) cpu_writes_port(h.m, p, uint8_t(0x10 + p));
    h.run({0x8F, 0x10, 0xF1});  // MOV $F1, #$10: clear ports 0-1
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 1], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 2], 0x12);
    cpu_writes_port(h.m, 0, 0x99);
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0x99);
    h.run({0x8F, 0x20, 0xF1});  // clear ports 2-3
    EXPECT_EQ(h.s.io[kIoPort0 + 2], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 3], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0x99);
}

// What a read of each register gives after a write of $5A (MOV dp,#imm,
// then MOV A,dp).
TEST(ApuRegisters, WhatEachRegisterReadsBack) {
    struct Case {
        uint8_t reg;
        uint8_t reads;
        const char* why;
    };
    const Case cases[] = {
        {0xF0, 0x00, "TEST is write-only"},        {0xF1, 0x00, "CONTROL is write-only"},
        {0xF2, 0x5A, "DSP address keeps 8 bits"},  {0xF8, 0x5A, "$F8 holds a byte"},
        {0xF9, 0x5A, "$F9 holds a byte"},          {0xFA, 0x00, "timer 0 target is write-only"},
        {0xFB, 0x00, "timer 1 target is write-only"}, {0xFC, 0x00, "timer 2 target is write-only"},
        {0xFD, 0x00, "a counter write changes nothing"},
    };
    for (const Case& k : cases) {
        SpcHarness h;
        h.s.timer_counter = {0, 0, 0};
        h.run({0x8F, 0x5A, k.reg});
        h.run({0xE4, k.reg});
        EXPECT_EQ(h.s.a, k.reads) << k.why;
        EXPECT_EQ(h.s.ram[k.reg], 0x5A) << "the RAM beneath $" << std::hex << int(k.reg);
    }
}

TEST(ApuRegisters, DspPortWritesOnlyTheFirst128Registers) {
    SpcHarness h;
    h.run({0x8F, 0x0C, 0xF2});  // register $0C (MVOL L)
    h.run({0x8F, 0x40, 0xF3});
    EXPECT_EQ(h.m.dsp.regs[0x0C], 0x40);
    // $80-$FF read the registers below them and take no writes.
    h.run({0x8F, 0x8C, 0xF2});
    h.run({0x8F, 0x7F, 0xF3});
    EXPECT_EQ(h.m.dsp.regs[0x0C], 0x40);
    h.run({0xE4, 0xF3});
    EXPECT_EQ(h.s.a, 0x40);
    // ENVX reads what the sound generator last wrote there.
    h.m.dsp.regs[0x28] = 0x34;
    h.run({0x8F, 0x28, 0xF2});
    h.run({0xE4, 0xF3});
    EXPECT_EQ(h.s.a, 0x34);
}

// TEST takes writes only while P is clear. Its bit 1 lets RAM take writes
// (the audio CPU's, pushes included; the I/O registers still take theirs);
// bits 3 and 0 run and halt the timers.
TEST(ApuRegisters, TestRegisterGatesRamWritesAndTimers) {
    SpcHarness h;
    h.s.a = 0x00;
    h.set_psw(kP);
    h.run({0xC5, 0xF0, 0x00});  // MOV !$00F0, A with P set: not taken
    EXPECT_EQ(h.s.io[kIoTest], 0x0A);
    h.set_psw(0);
    h.run({0x8F, 0x08, 0xF0});  // timers run, RAM read-only
    h.s.ram[0x0300] = 0x11;
    h.s.a = 0x22;
    h.run({0xC5, 0x00, 0x03});  // MOV !$0300, A
    EXPECT_EQ(h.s.ram[0x0300], 0x11);
    h.run({0x2D});  // PUSH A
    EXPECT_EQ(h.s.ram[0x01FF], 0x00);
    EXPECT_EQ(h.s.sp, 0xFE);
    h.run({0xC4, 0xF5});  // MOV $F5, A still reaches the port
    EXPECT_EQ(cpu_reads_port(h.m, 1), 0x22);
    EXPECT_EQ(h.s.ram[0x00F5], 0x00);
    h.run({0x8F, 0x0A, 0xF0});  // writable again
    h.run({0xC5, 0x00, 0x03});
    EXPECT_EQ(h.s.ram[0x0300], 0x22);
    // Timers: bit 3 clear or bit 0 set halts them.
    for (uint8_t test : {uint8_t(0x02), uint8_t(0x0B)}) {
        SpcHarness t;
        t.s.timer_counter = {0, 0, 0};
        t.run({0x8F, 0x01, 0xFC});  // timer 2, target 1
        t.run({0x8F, 0x04, 0xF1});
        t.run({0x8F, test, 0xF0});
        t.s.cycles += 1000;
        t.run({0xE4, 0xFF});
        EXPECT_EQ(t.s.a, 0) << int(test);
    }
}

TEST(ApuTimers, CounterReadTwiceGivesCountThenZero) {
    SpcHarness h;
    h.s.timer_counter[0] = 5;
    h.run({0xE4, 0xFD});
    EXPECT_EQ(h.s.a, 5);
    h.run({0xE4, 0xFD});
    EXPECT_EQ(h.s.a, 0);
    // Writes to the counters change nothing.
    h.s.timer_counter[1] = 3;
    h.run({0x8F, 0x09, 0xFE});
    EXPECT_EQ(h.s.timer_counter[1], 3);
}

// Stage 1 divides the SPC700's 1.024 MHz by 128 for timers 0 and 1 (8 kHz)
// and by 16 for timer 2 (64 kHz); stage 2 divides by the target (0: 256);
// stage 3 counts modulo 16. The divider starts at a tick boundary here.
TEST(ApuTimers, RatesOfEveryStage) {
    struct Case {
        int timer;
        uint8_t target;
        uint32_t cycles;
        uint8_t counter;
    };
    const Case cases[] = {
        {0, 1, 127, 0},       {0, 1, 128, 1},          {0, 1, 256, 2},      {0, 1, 128 * 17, 1},
        {0, 0, 128 * 256 - 1, 0}, {0, 0, 128 * 256, 1}, {1, 4, 511, 0},      {1, 4, 512, 1},
        {1, 3, 128 * 3 * 5, 5}, {2, 1, 15, 0},         {2, 1, 16, 1},       {2, 1, 16 * 20, 4},
        {2, 10, 159, 0},      {2, 10, 160, 1},         {2, 0, 16 * 256, 1}, {2, 0, 16 * 256 * 3 - 1, 2},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE("timer " + std::to_string(k.timer) + " target " + std::to_string(k.target) + " after " +
                     std::to_string(k.cycles));
        SpcHarness h;
        h.s.io[size_t(kIoTimer0Target + k.timer)] = k.target;
        h.s.io[kIoControl] = uint8_t(1 << k.timer);
        h.s.timer_counter = {0, 0, 0};
        h.s.timer_stage2 = {0, 0, 0};
        h.s.cycles = h.s.timers_synced = 0;
        h.s.cycles += k.cycles;
        EXPECT_EQ(apu_timers_now(h.s).counter[size_t(k.timer)], k.counter);
        apu_catch_up_timers(h.s);  // in one go or in two parts: the same
        EXPECT_EQ(h.s.timer_counter[size_t(k.timer)], k.counter);
        for (int t = 0; t < 3; t++) {
            if (t != k.timer) {
                EXPECT_EQ(h.s.timer_counter[size_t(t)], 0) << "stopped timer " << t;
            }
        }
    }
}

// The divider of stage 1 runs whether a timer is enabled or not: a timer
// started in the middle of a period ticks at the divider's next boundary.
TEST(ApuTimers, TheDividerRunsAllTheTime) {
    SpcHarness h;
    h.s.io[kIoTimer0Target] = 1;
    h.s.timer_counter = {0, 0, 0};
    h.s.cycles = h.s.timers_synced = 100;
    h.run({0x8F, 0x01, 0xF1});  // start timer 0 at cycle 105
    h.s.cycles = 127;
    EXPECT_EQ(apu_timers_now(h.s).counter[0], 0);
    h.s.cycles = 128;
    EXPECT_EQ(apu_timers_now(h.s).counter[0], 1);
}

// Enabling a timer (its bit going from 0 to 1) starts stage 2 and the
// counter from 0; writing CONTROL with the bit already set changes nothing;
// a stopped timer keeps its counter.
TEST(ApuTimers, EnablingStartsStageTwoAndTheCounterFromZero) {
    SpcHarness h;
    h.run({0x8F, 0x04, 0xFC});  // timer 2, target 4
    h.run({0x8F, 0x04, 0xF1});  // start: counter and stage 2 from 0
    EXPECT_EQ(h.s.timer_counter[2], 0);
    const uint32_t started = h.s.cycles;
    h.s.cycles = started + 16 * 6 - (started & 15);  // six divider ticks later
    apu_catch_up_timers(h.s);
    EXPECT_EQ(h.s.timer_counter[2], 1);
    EXPECT_EQ(h.s.timer_stage2[2], 2);
    h.run({0x8F, 0x04, 0xF1});  // the same value: nothing restarts
    EXPECT_EQ(h.s.timer_counter[2], 1);
    EXPECT_EQ(h.s.timer_stage2[2], 2);
    h.run({0x8F, 0x00, 0xF1});  // stop: the counter stays readable
    h.s.cycles += 1000;
    h.run({0xE4, 0xFF});
    EXPECT_EQ(h.s.a, 1);
    h.s.timer_counter[2] = 7;
    h.run({0x8F, 0x04, 0xF1});  // start again
    EXPECT_EQ(h.s.timer_counter[2], 0);
    EXPECT_EQ(h.s.timer_stage2[2], 0);
}

// A target set below stage 2's count is only met after stage 2 wraps at 256.
TEST(ApuTimers, TargetBelowTheCountGoesRoundThrough256) {
    SpcHarness h;
    h.s.io[kIoControl] = 0x01;
    h.s.io[kIoTimer0Target] = 5;
    h.s.timer_stage2[0] = 10;
    h.s.timer_counter = {0, 0, 0};
    h.s.cycles = h.s.timers_synced = 0;
    h.s.cycles = 128 * (256 - 10 + 5) - 1;
    EXPECT_EQ(apu_timers_now(h.s).counter[0], 0);
    h.s.cycles += 1;
    EXPECT_EQ(apu_timers_now(h.s).counter[0], 1);
    EXPECT_EQ(apu_timers_now(h.s).stage2[0], 0);
}

// Through the driver: an audio program sums the three counters while the
// main CPU runs frames. The audio unit's 1.024 MHz against the console's
// master clock gives its timers their rates in the main CPU's time.
void sum_counters_for(Machine& m, int frames, double cycles_per_frame) {
    Apu& s = m.apu;
    const uint8_t program[] = {
        0xE4, 0xFD, 0xE4, 0xFE, 0xE4, 0xFF,  // clear the counters (reset leaves $F)
        0x8F, 0x01, 0xFA,                    // timer 0 target 1: 8000 Hz
        0x8F, 0x04, 0xFB,                    // timer 1 target 4: 2000 Hz
        0x8F, 0x0A, 0xFC,                    // timer 2 target 10: 6400 Hz
        0x8F, 0x07, 0xF1,                    // start them
        // loop: $00 += counter 0, $02 += counter 1, $04 += counter 2 (words)
        // (MOV A,counter; MOV Y,#0; ADDW YA,sum; MOVW sum,YA)
        0xE4, 0xFD, 0x8D, 0x00, 0x7A, 0x00, 0xDA, 0x00,
        0xE4, 0xFE, 0x8D, 0x00, 0x7A, 0x02, 0xDA, 0x02,
        0xE4, 0xFF, 0x8D, 0x00, 0x7A, 0x04, 0xDA, 0x04,
        0x2F, 0xE6,  // BRA loop
    };
    std::copy(std::begin(program), std::end(program), s.ram.begin() + 0x0200);
    std::fill(s.ram.begin(), s.ram.begin() + 0x20, 0);
    s.pc = 0x0200;
    run_frames(m, frames);
    auto word = [&](int at) { return s.ram[size_t(at)] | s.ram[size_t(at + 1)] << 8; };
    const double cycles = frames * cycles_per_frame;
    EXPECT_NEAR(word(0), cycles / 128, 2);
    EXPECT_NEAR(word(2), cycles / 512, 2);
    EXPECT_NEAR(word(4), cycles / 160, 2);
}

TEST(ApuTimers, RatesThroughTheDriverInBothRegions) {
    // The driver's line is kLineUnits clock units of two master clocks
    // each (the main CPU's time); NTSC has 262 lines and a master clock of
    // 21.477 MHz, PAL 312 lines at 21.281 MHz. The audio unit runs
    // 1,024,000 cycles a second.
    const double line_clocks = 2.0 * kLineUnits;
    const double ntsc = 262 * line_clocks / (21477272.73 / 1024000);
    const double pal = 312 * line_clocks / (21281370.0 / 1024000);
    {
        SCOPED_TRACE("NTSC");
        auto m = machine_with_rom("smoke");
        sum_counters_for(*m, 10, ntsc);
    }
    {
        SCOPED_TRACE("PAL");
        auto m = make_machine();
        LoadOptions options;
        options.region = RegionOverride::Pal;
        ASSERT_TRUE(load_gamepak(*m, test_rom_path("smoke"), options).loaded());
        sum_counters_for(*m, 10, pal);
    }
}

// The save image's layout: A, X, Y, SP, PC low/high, PSW, 4 output ports,
// 16 I/O registers, 64 KiB RAM.
TEST(ApuSaveImage, LayoutAndRestore) {
    EXPECT_EQ(kApuImageSize, 65563);
    SpcHarness h;
    h.s.a = 0x11;
    h.s.x = 0x22;
    h.s.y = 0x33;
    h.s.sp = 0xE0;
    h.s.pc = 0x1234;
    h.set_psw(kN | kP | kC);
    h.s.to_cpu[3] = 0x77;
    h.s.io[kIoControl] = 0x81;
    h.s.io[kIoTimer0Target + 1] = 0x10;
    h.s.io[kIoPort0 + 2] = 0x66;
    h.s.ram[0xABCD] = 0x5A;
    std::vector<uint8_t> image(kApuImageSize);
    apu_save_image(h.m, image.data());
    EXPECT_EQ(image[0], 0x11);
    EXPECT_EQ(image[3], 0xE0);
    EXPECT_EQ(image[4], 0x34);
    EXPECT_EQ(image[5], 0x12);
    EXPECT_EQ(image[6], kN | kP | kC);
    EXPECT_EQ(image[10], 0x77);
    EXPECT_EQ(image[11 + kIoControl], 0x81);
    EXPECT_EQ(image[11 + kIoPort0 + 2], 0x66);
    EXPECT_EQ(image[27 + 0xABCD], 0x5A);

    SpcHarness other;
    other.s.timer_stage2 = {100, 200, 30};
    apu_load_image(other.m, image.data());
    EXPECT_EQ(other.s.a, 0x11);
    EXPECT_EQ(other.s.pc, 0x1234);
    EXPECT_EQ(other.psw(), kN | kP | kC);
    EXPECT_EQ(other.s.to_cpu[3], 0x77);
    EXPECT_EQ(other.s.ram[0xABCD], 0x5A);
    EXPECT_TRUE(other.s.ipl_mapped);  // from CONTROL bit 7
    EXPECT_EQ(other.s.io[kIoTimer0Target + 1], 0x10);
    EXPECT_EQ(other.s.timer_stage2[2], 0);
}

}  // namespace
}  // namespace vt::test
