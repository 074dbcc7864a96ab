// The audio unit's I/O registers, the ports seen from both sides, the
// timers, the boot ROM overlay, power-on and reset.
#include <gtest/gtest.h>

#include <vector>

#include "audio/dsp.h"
#include "audio/ipl_rom.h"
#include "core/driver.h"
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
    EXPECT_EQ(s.timer_counter[0], 0x0F);
    EXPECT_EQ(s.timer_period[0], 256u * 1280u);
    EXPECT_EQ(s.timer_period[2], 256u * 160u);
    EXPECT_TRUE(s.ipl_mapped);
}

TEST(ApuPowerOn, ResetKeepsRamAndTimerSettings) {
    SpcHarness h;
    h.s.ram[0x0300] = 0x42;
    h.s.io[kIoTimer0Target] = 5;
    h.s.timer_period[0] = apu_timer_period(0, 5);
    h.s.a = h.s.x = h.s.y = 9;
    h.s.to_cpu[1] = 7;
    h.s.io[kIoPort0 + 2] = 7;
    apu_reset(h.m);
    EXPECT_EQ(h.s.ram[0x0300], 0x42);
    EXPECT_EQ(h.s.timer_period[0], 5u * 1280u);
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

TEST(ApuPorts, BothDirectionsAndNoWritesToRam) {
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
    EXPECT_EQ(h.s.ram[0x00F6], 0x00);  // I/O writes do not reach RAM
    // The SPC700 reads the main CPU's byte, not its own output.
    h.run({0xE4, 0xF6});
    EXPECT_EQ(h.s.a, 0x00);
}

TEST(ApuPorts, ControlClearsPortPairsAndBlocksWritesUntilNextInstruction) {
    SpcHarness h;
    for (int p = 0; p < 4; p++) cpu_writes_port(h.m, p, uint8_t(0x10 + p));
    h.run({0x8F, 0x10, 0xF1});  // MOV $F1, #$10: clear ports 0-1
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 1], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 2], 0x12);
    cpu_writes_port(h.m, 0, 0x99);  // lost: the request is still pending
    cpu_writes_port(h.m, 2, 0x98);  // ports 2-3 are not blocked
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 2], 0x98);
    h.run({0x00});  // NOP ends the request
    cpu_writes_port(h.m, 0, 0x99);
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0x99);

    h.run({0x8F, 0x20, 0xF1});  // clear ports 2-3
    EXPECT_EQ(h.s.io[kIoPort0 + 2], 0);
    EXPECT_EQ(h.s.io[kIoPort0 + 0], 0x99);
    cpu_writes_port(h.m, 3, 0x55);
    EXPECT_EQ(h.s.io[kIoPort0 + 3], 0);
}

TEST(ApuRegisters, StoredRegistersRamPairAndDspPort) {
    SpcHarness h;
    h.run({0x8F, 0x5A, 0xF0});  // TEST
    h.run({0xE4, 0xF0});
    EXPECT_EQ(h.s.a, 0x5A);
    h.run({0x8F, 0x66, 0xF8});  // $F8/$F9 are RAM
    EXPECT_EQ(h.s.ram[0x00F8], 0x66);
    h.run({0xE4, 0xF8});
    EXPECT_EQ(h.s.a, 0x66);
    h.run({0x8F, 0x33, 0xFB});  // timer 1 target reads back
    h.run({0xE4, 0xFB});
    EXPECT_EQ(h.s.a, 0x33);
    EXPECT_EQ(h.s.timer_period[1], 0x33u * 1280u);

    // DSP address keeps all 8 bits; data goes to register (address AND $7F).
    h.run({0x8F, 0x8C, 0xF2});  // address $8C -> register $0C (MVOL L)
    h.run({0x8F, 0x40, 0xF3});
    EXPECT_EQ(h.m.dsp.regs[0x0C], 0x40);
    h.run({0xE4, 0xF2});
    EXPECT_EQ(h.s.a, 0x8C);
    h.run({0xE4, 0xF3});
    EXPECT_EQ(h.s.a, 0x40);
    // ENVX reads what the sound generator last wrote there.
    h.m.dsp.regs[0x28] = 0x34;
    h.run({0x8F, 0x28, 0xF2});
    h.run({0xE4, 0xF3});
    EXPECT_EQ(h.s.a, 0x34);
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

// Feeds lines of a given audio time to the timers.
void advance_lines(Apu& s, Machine& m, int lines, int32_t units_per_line) {
    for (int i = 0; i < lines; i++) {
        s.line_time = units_per_line;
        apu_advance_timers(m);
    }
}

TEST(ApuTimers, PeriodsFromTargets) {
    SpcHarness h;
    h.s.timer_counter = {0, 0, 0};
    h.run({0x8F, 0x01, 0xFA});  // timer 0: 1280 units per tick
    h.run({0x8F, 0x02, 0xFB});  // timer 1: 2560
    h.run({0x8F, 0x01, 0xFC});  // timer 2: 160
    h.run({0x8F, 0x07, 0xF1});  // start all three
    advance_lines(h.s, h.m, 2, 640);  // 1280 units
    EXPECT_EQ(h.s.timer_counter[0], 1);
    EXPECT_EQ(h.s.timer_counter[1], 0);
    EXPECT_EQ(h.s.timer_counter[2], 8);
    advance_lines(h.s, h.m, 2, 640);  // 2560 in all
    EXPECT_EQ(h.s.timer_counter[0], 2);
    EXPECT_EQ(h.s.timer_counter[1], 1);
    EXPECT_EQ(h.s.timer_counter[2], 0);  // 16 ticks wrap the 4-bit counter
}

TEST(ApuTimers, TargetZeroDividesBy256) {
    SpcHarness h;
    h.s.timer_counter = {0, 0, 0};
    h.run({0x8F, 0x00, 0xFC});
    h.run({0x8F, 0x04, 0xF1});  // timer 2 only
    advance_lines(h.s, h.m, 1, 256 * 160 - 1);
    EXPECT_EQ(h.s.timer_counter[2], 0);
    advance_lines(h.s, h.m, 1, 1);
    EXPECT_EQ(h.s.timer_counter[2], 1);
    EXPECT_EQ(h.s.timer_counter[0], 0);  // stopped timers stay
}

TEST(ApuTimers, SlowTimersTickAtMostOncePerLineFastTimerCatchesUp) {
    SpcHarness h;
    h.s.timer_counter = {0, 0, 0};
    h.run({0x8F, 0x01, 0xFA});
    h.run({0x8F, 0x01, 0xFC});
    h.run({0x8F, 0x05, 0xF1});
    advance_lines(h.s, h.m, 1, 3 * 1280);
    EXPECT_EQ(h.s.timer_counter[0], 1);
    EXPECT_EQ(h.s.timer_counter[2], (3 * 1280 / 160) & 15);
}

TEST(ApuTimers, ControlWriteRestartsTimeBaseButKeepsCounters) {
    SpcHarness h;
    h.s.timer_counter = {0, 0, 0};
    h.run({0x8F, 0x01, 0xFA});
    h.run({0x8F, 0x01, 0xF1});
    advance_lines(h.s, h.m, 1, 1000);
    EXPECT_EQ(h.s.timer_elapsed[0], 1000u);
    h.s.timer_counter[0] = 4;
    h.run({0x8F, 0x01, 0xF1});  // same value again
    EXPECT_EQ(h.s.timer_elapsed[0], 0u);
    EXPECT_EQ(h.s.line_time, 5 * kSpcCycleUnits);  // only the writing instruction's own time
    EXPECT_EQ(h.s.timer_counter[0], 4);
}

// Through the driver: an audio program sums the three counters while the
// main CPU runs a frame. Each SPC700 instruction's time reaches the timers
// at the end of its line.
TEST(ApuTimers, RatesThroughTheDriver) {
    auto machine = machine_with_rom("smoke");
    Machine& m = *machine;
    Apu& s = m.apu;
    const uint8_t program[] = {
        0xE4, 0xFD, 0xE4, 0xFE, 0xE4, 0xFF,  // clear the counters (reset leaves $F)
        0x8F, 0x01, 0xFA,                    // timer 0 target 1: 1280 units
        0x8F, 0x04, 0xFB,                    // timer 1 target 4: 5120 units
        0x8F, 0x0A, 0xFC,                    // timer 2 target 10: 1600 units
        0x8F, 0x07, 0xF1,                    // start them
        // loop: $00 += counter 0, $01 += counter 1, $02 += counter 2
        0xE4, 0xFD, 0x60, 0x84, 0x00, 0xC4, 0x00,
        0xE4, 0xFE, 0x60, 0x84, 0x01, 0xC4, 0x01,
        0xE4, 0xFF, 0x60, 0x84, 0x02, 0xC4, 0x02,
        0x2F, 0xE9,                          // BRA loop
    };
    std::copy(std::begin(program), std::end(program), s.ram.begin() + 0x0200);
    s.ram[0] = s.ram[1] = s.ram[2] = 0;
    s.pc = 0x0200;
    run_frames(m, 1);
    // A frame is 262 lines of 680 units.
    const double frame_units = 262.0 * 680.0;
    EXPECT_NEAR(s.ram[0], frame_units / 1280, 1.5);
    EXPECT_NEAR(s.ram[1], frame_units / 5120, 1.5);
    EXPECT_NEAR(s.ram[2], frame_units / 1600, 1.5);
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
    other.s.timer_elapsed = {100, 200, 300};
    apu_load_image(other.m, image.data());
    EXPECT_EQ(other.s.a, 0x11);
    EXPECT_EQ(other.s.pc, 0x1234);
    EXPECT_EQ(other.psw(), kN | kP | kC);
    EXPECT_EQ(other.s.to_cpu[3], 0x77);
    EXPECT_EQ(other.s.ram[0xABCD], 0x5A);
    EXPECT_TRUE(other.s.ipl_mapped);  // from CONTROL bit 7
    EXPECT_EQ(other.s.timer_period[1], 0x10u * 1280u);
    EXPECT_EQ(other.s.timer_period[0], 256u * 1280u);  // target 0
    EXPECT_EQ(other.s.timer_elapsed[2], 0u);
}

}  // namespace
}  // namespace vt::test
