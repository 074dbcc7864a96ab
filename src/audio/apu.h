// The audio unit: the SPC700 processor with its 64 KiB of RAM, the sixteen
// I/O registers at $00F0-$00FF (timers, the sound generator's register port,
// four communication ports), the 64-byte boot ROM, and the ports at
// $2140-$2143 through which the main CPU talks to it.
//
// The SPC700 runs in whole instructions, interleaved with the main CPU: after
// every main-CPU step the driver runs spc700_step while the audio clock is
// behind the line clock. One SPC700 cycle costs kSpcCycleUnits clock units.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

inline constexpr int32_t kSpcCycleUnits = 8;
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

    int32_t clock = 0;      // audio time in clock units, compared with the line clock
    int32_t line_time = 0;  // audio time counted since the timers were last advanced

    // Timers 0-2: time since the last tick, time per tick, and the 4-bit
    // counters read (and cleared) at $FD-$FF.
    std::array<uint32_t, 3> timer_elapsed{};
    std::array<uint32_t, 3> timer_period{};
    std::array<uint8_t, 3> timer_counter{};

    std::array<uint8_t, 0x10000> ram{};
};

// Power-on: RAM pattern, I/O cleared, timers reset, sound generator reset,
// then reset.
void apu_power_on(Machine& m);
// The console's reset: registers, CONTROL $80, ports 0, PC from the boot ROM.
void apu_reset(Machine& m);
// One SPC700 instruction; advances the audio clock and the per-line time.
void spc700_step(Machine& m);
// Line end: adds the audio time of the line to the enabled timers.
void apu_advance_timers(Machine& m);

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

// Timer period for a target byte (0 means 256), in clock units.
uint32_t apu_timer_period(int timer, uint8_t target);

// The audio CPU's save image: A, X, Y, SP, PC (low first), packed PSW, the 4
// output ports, the 16 I/O registers and the 64 KiB of RAM. Loading
// recomputes the timer periods from the targets, clears the timer
// accumulators and maps the boot ROM from CONTROL bit 7.
inline constexpr int kApuImageSize = 4 + 2 + 1 + 4 + 16 + 0x10000;
void apu_save_image(const Machine& m, uint8_t* out);
void apu_load_image(Machine& m, const uint8_t* in);
template <class Io>
void apu_image_io(Io& io, IoMachine<Io>& m);

// What the save image leaves out and a listener would notice: the audio
// clock (relative to the line clock), the time counted since the timers
// last advanced, each timer's time since its last tick and its 4-bit
// counter. Load it after the image, which clears the timers' phases.
// Values out of range are brought into it, so a damaged record cannot
// stall the machine.
inline constexpr int kApuTimingSize = 4 + 4 + 3 * 4 + 3;
void apu_save_timing(const Machine& m, uint8_t* out);
void apu_load_timing(Machine& m, const uint8_t* in);
template <class Io>
void apu_timing_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
