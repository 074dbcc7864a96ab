// CPU-side system registers $4200-$421F and the serial joypad ports
// $4016/$4017: interrupt enables and flags, the H/V timer, multiplier and
// divider, memory speed, programmable I/O port and joypad registers.
#pragma once

#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

struct SystemRegisters {
    uint8_t nmitimen = 0;  // $4200
    uint8_t wrio = 0xFF;   // $4201, bit 7 is the counter-latch line
    uint8_t wrmpya = 0;    // $4202
    uint8_t wrmpyb = 0;    // $4203
    uint16_t wrdiv = 0;    // $4204/$4205
    uint8_t wrdivb = 0;    // $4206
    uint16_t htime = 0;    // $4207/$4208, 9 bits
    uint16_t vtime = 0;    // $4209/$420A, 9 bits
    uint8_t mdmaen = 0;    // $420B
    uint8_t hdmaen = 0;    // $420C
    uint8_t memsel = 0;    // $420D
    uint8_t rdnmi = 2;     // $4210, bits 3-0 the CPU version
    uint8_t timeup = 0;    // $4211
    uint8_t hvbjoy = 0;    // $4212
    uint8_t rdio = 0xFF;   // $4213
    uint16_t rddiv = 0;    // $4214/$4215
    uint16_t rdmpy = 0;    // $4216/$4217
    uint16_t joy[4] = {0, 0, 0, 0};  // $4218-$421F

    // Serial port state (not saved).
    uint16_t shift[2] = {0, 0};
    uint8_t strobe = 0;
};

inline constexpr int kSystemRegistersSaveSize = 30;

inline constexpr uint8_t kNmitimenNmi = 0x80;
inline constexpr uint8_t kNmitimenVirq = 0x20;
inline constexpr uint8_t kNmitimenHirq = 0x10;
inline constexpr uint8_t kNmitimenAutoJoypad = 0x01;

void sysregs_power_on(Machine& m);
void sysregs_reset(Machine& m);
// Masks, re-derives and reinstalls after power-on or a loaded state.
void sysregs_post_load_fixup(Machine& m);
void sysregs_recompute_hirq_point(Machine& m);
void sysregs_auto_joypad_read(Machine& m);
void sysregs_save(const Machine& m, uint8_t out[kSystemRegistersSaveSize]);
void sysregs_load(Machine& m, const uint8_t in[kSystemRegistersSaveSize]);
// The serial ports' shift registers and strobe latch, which the 30-byte
// block leaves out: shift words of ports 1 and 2 (little-endian), strobe.
inline constexpr int kSerialPortsSaveSize = 5;
void sysregs_save_serial(const Machine& m, uint8_t out[kSerialPortsSaveSize]);
void sysregs_load_serial(Machine& m, const uint8_t in[kSerialPortsSaveSize]);
// The layouts of the two for a StateWriter or a StateReader; loading the
// block runs the post-load fix-up.
template <class Io>
void sysregs_state_io(Io& io, IoMachine<Io>& m);
template <class Io>
void serial_ports_io(Io& io, IoMachine<Io>& m);

// Handlers of pages $40 and $42.
uint8_t sysregs_page40_read(Machine& m, uint8_t bank, uint16_t addr);
void sysregs_page40_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sysregs_page40_peek(const Machine& m, uint8_t bank, uint16_t addr);
uint8_t sysregs_page42_read(Machine& m, uint8_t bank, uint16_t addr);
void sysregs_page42_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sysregs_page42_peek(const Machine& m, uint8_t bank, uint16_t addr);

}  // namespace vt
