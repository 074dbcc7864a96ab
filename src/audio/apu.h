// The audio unit: the SPC700 processor with its 64 KiB of RAM, the sixteen
// I/O registers at $00F0-$00FF (timers, the sound generator's register port,
// four communication ports), the 64-byte boot ROM, and the ports at
// $2140-$2143 through which the main CPU talks to it.
//
// The SPC700 runs in whole instructions, interleaved with the main CPU: after
// every main-CPU step the driver runs spc700_step while the audio clock is
// behind the line clock. The audio unit has its own crystal: the SPC700 runs
// at 1.024 MHz, so one of its cycles lasts about 10.49 clock units on an NTSC
// console (10.39 on a PAL one). The audio clock keeps the fraction.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

// One SPC700 cycle in 1/65536 clock units: two master clocks against 1/1.024
// MHz, from the master clocks of 21.477 MHz (NTSC) and 21.281 MHz (PAL).
inline constexpr uint32_t kSpcCycleFractionNtsc = 687273;
inline constexpr uint32_t kSpcCycleFractionPal = 681004;
inline constexpr uint16_t kIplRomBase = 0xFFC0;

// I/O register numbers (address AND $0F from $00F0).
enum SpcIo : uint8_t {
    kIoTest = 0x0,
    kIoControl = 0x1,
    kIoDspAddress = 0x2,
    kIoDspData = 0x3,
    kIoPort0 = 0x4,  // $F4-$F7: in io[], the bytes the main CPU last wrote
    kIoTimer0Target = 0xA,
    kIoTimer0Counter = 0xD,
};

// TEST ($F0) bits: timers run while bit 3 is set and bit 0 clear; RAM takes
// writes while bit 1 is set. $0A after reset.
inline constexpr uint8_t kTestTimersHalt = 0x01;
inline constexpr uint8_t kTestRamWritable = 0x02;
inline constexpr uint8_t kTestTimersRun = 0x08;
inline constexpr uint8_t kTestAfterReset = kTestTimersRun | kTestRamWritable;

// CONTROL ($F1) bits.
inline constexpr uint8_t kControlTimersMask = 0x07;
inline constexpr uint8_t kControlClearPorts01 = 0x10;
inline constexpr uint8_t kControlClearPorts23 = 0x20;
inline constexpr uint8_t kControlIplMapped = 0x80;

// The program status word, kept unpacked.
struct Psw {
    bool c = false;  // carry
    bool z = false;  // zero
    bool i = false;  // interrupt enable (the audio CPU has no interrupts)
    bool h = false;  // half carry
    bool b = false;  // break
    bool p = false;  // direct page: page 1 when set, page 0 when clear
    bool v = false;  // overflow
    bool n = false;  // negative
};

uint8_t psw_pack(const Psw& f);
Psw psw_unpack(uint8_t value);

struct Apu {
    // SPC700 registers
    uint8_t a = 0;
    uint8_t x = 0;
    uint8_t y = 0;
    uint8_t sp = 0xFF;
    uint16_t pc = 0;
    Psw psw;

    uint8_t to_cpu[4] = {0, 0, 0, 0};  // output ports: written at $F4-$F7, read at $2140-$2143
    // Last values of $F0-$FF; io[kIoPort0 + n] is input port n, the byte the
    // main CPU last wrote to $2140 + n.
    std::array<uint8_t, 16> io{};
    bool ipl_mapped = true;  // CONTROL bit 7: boot ROM visible at $FFC0-$FFFF

    int32_t clock = 0;               // audio time in clock units, compared with the line clock
    uint16_t clock_fraction = 0;     // and its fraction, in 1/65536 units
    uint32_t cycle_fraction = kSpcCycleFractionNtsc;  // one cycle, from the console's region

    // Timers 0-2. Stage 1 divides the SPC700's clock by 128 (timers 0 and
    // 1, 8 kHz) or 16 (timer 2, 64 kHz); it runs all the time and is one
    // divider, the position of the cycle counter. Stage 2 counts those
    // ticks while the timer is enabled and starts again from 0 when it
    // reaches the target ($FA-$FC, 0 meaning 256), ticking stage 3: the
    // 4-bit counter read, and cleared, at $FD-$FF. The timers are brought
    // up to date when the program touches them and at every line end.
    uint32_t cycles = 0;         // SPC700 cycles since power-on (wraps)
    uint32_t timers_synced = 0;  // `cycles` when the timers were last brought up to date
    std::array<uint8_t, 3> timer_stage2{};
    std::array<uint8_t, 3> timer_counter{};

    // Writes that take the slow path of spc_write: the I/O registers, or
    // every write while TEST keeps RAM from taking them.
    uint16_t slow_write_mask = 0xFFF0;
    uint16_t slow_write_match = 0x00F0;

    std::array<uint8_t, 0x10000> ram{};
};

// Power-on: RAM pattern, I/O cleared, timers reset, sound generator reset,
// then reset.
void apu_power_on(Machine& m);
// The console's reset: registers, CONTROL $80, ports 0, PC from the boot ROM.
void apu_reset(Machine& m);
// One SPC700 instruction; advances the audio clock and the cycle counter.
void spc700_step(Machine& m);
// Line end: brings the timers up to date (they also catch up whenever the
// program reads or sets them).
void apu_advance_timers(Machine& m);
void apu_catch_up_timers(Apu& s);

// The timers as they stand after the cycles run so far, without changing
// anything (debugger, save states).
struct ApuTimers {
    std::array<uint8_t, 3> stage2;
    std::array<uint8_t, 3> counter;
};
ApuTimers apu_timers_now(const Apu& s);

// Whether audio RAM takes writes (TEST bit 1); the sound generator's echo
// writes obey it too.
inline bool apu_ram_writable(const Apu& s) { return (s.io[0] & kTestRamWritable) != 0; }
// Re-derives what follows from TEST after it changes or a state loads.
void apu_test_changed(Apu& s);

// Main CPU side, $2140-$217F, port (address & 3).
uint8_t apu_port_read(Machine& m, uint8_t bank, uint16_t addr);
int apu_port_peek(const Machine& m, uint8_t bank, uint16_t addr);
void apu_port_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);

// The SPC700's view of its address space: RAM, the boot ROM overlay and the
// I/O registers, with their side effects (the debugger uses apu_peek, which
// has none).
uint8_t spc700_read(Machine& m, uint16_t addr);
void spc700_write(Machine& m, uint16_t addr, uint8_t value);
uint8_t apu_peek(const Machine& m, uint16_t addr);

// The audio CPU's save image: A, X, Y, SP, PC (low first), packed PSW, the 4
// output ports, the 16 I/O registers (as last written) and the 64 KiB of
// RAM. Loading starts the timers' stage 2 and the clock's fraction afresh
// and maps the boot ROM from CONTROL bit 7.
inline constexpr int kApuImageSize = 4 + 2 + 1 + 4 + 16 + 0x10000;
void apu_save_image(const Machine& m, uint8_t* out);
void apu_load_image(Machine& m, const uint8_t* in);
template <class Io>
void apu_image_io(Io& io, IoMachine<Io>& m);

// What the save image leaves out and a listener would notice: the audio
// clock (relative to the line clock) and its fraction, the stage-1 divider's
// position, a format byte, each timer's stage 2 and its 4-bit counter. Load
// it after the image. Values out of range are brought into it, so a damaged
// record cannot stall the machine; a record of the program's earlier layout
// (format byte 0) keeps only the clock and the counters.
inline constexpr int kApuTimingSize = 4 + 4 + 3 * 4 + 3;
void apu_save_timing(const Machine& m, uint8_t* out);
void apu_load_timing(Machine& m, const uint8_t* in);
template <class Io>
void apu_timing_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
