// The audio CPU's I/O registers at $00F0-$00FF.
#include "audio/dsp.h"
#include "audio/spc700_bus.h"

namespace vt {

namespace {

// --- reads

// TEST, CONTROL and the timer targets are write-only: they read 0.
uint8_t read_zero(Machine&, uint8_t) { return 0; }

uint8_t read_stored(Machine& m, uint8_t reg) { return m.apu.io[reg]; }

uint8_t read_ram(Machine& m, uint8_t reg) { return m.apu.ram[0xF0 + reg]; }

uint8_t read_dsp_data(Machine& m, uint8_t) { return dsp_read(m, m.apu.io[kIoDspAddress]); }

// Reading a counter gives its value as the timers stand and clears it.
uint8_t read_counter(Machine& m, uint8_t reg) {
    Apu& s = m.apu;
    apu_catch_up_timers(s);
    uint8_t& counter = s.timer_counter[size_t(reg - kIoTimer0Counter)];
    uint8_t v = counter;
    counter = 0;
    return v;
}

// --- writes (the byte reaches the RAM beneath as well, see spc_write_slow)

void write_stored(Machine& m, uint8_t reg, uint8_t value) { m.apu.io[reg] = value; }

// TEST takes writes only while the P flag is clear.
void write_test(Machine& m, uint8_t reg, uint8_t value) {
    Apu& s = m.apu;
    if (s.psw.p) return;
    apu_catch_up_timers(s);
    s.io[reg] = value;
    apu_test_changed(s);
}

// CONTROL: a timer whose enable bit goes from 0 to 1 starts stage 2 and
// its counter from 0; bits 4 and 5 clear the main CPU's bytes in ports 0-1
// and 2-3; bit 7 maps the boot ROM.
void write_control(Machine& m, uint8_t reg, uint8_t value) {
    Apu& s = m.apu;
    apu_catch_up_timers(s);
    const uint8_t started = value & ~s.io[reg] & kControlTimersMask;
    for (int t = 0; t < 3; t++) {
        if (started & (1 << t)) {
            s.timer_stage2[size_t(t)] = 0;
            s.timer_counter[size_t(t)] = 0;
        }
    }
    s.io[reg] = value;
    if (value & kControlClearPorts01) s.io[kIoPort0] = s.io[kIoPort0 + 1] = 0;
    if (value & kControlClearPorts23) s.io[kIoPort0 + 2] = s.io[kIoPort0 + 3] = 0;
    s.ipl_mapped = (value & kControlIplMapped) != 0;
}

// The sound generator's registers $80-$FF are read-only mirrors of $00-$7F.
void write_dsp_data(Machine& m, uint8_t, uint8_t value) {
    const uint8_t address = m.apu.io[kIoDspAddress];
    if (address & 0x80) return;
    dsp_write(m, address, value);
}

void write_port(Machine& m, uint8_t reg, uint8_t value) { m.apu.to_cpu[reg - kIoPort0] = value; }

void write_target(Machine& m, uint8_t reg, uint8_t value) {
    Apu& s = m.apu;
    apu_catch_up_timers(s);
    s.io[reg] = value;
}

}  // namespace

const SpcIoRead kSpcIoRead[16] = {
    read_zero,     read_zero,    read_stored,  read_dsp_data,  // $F0 TEST, CONTROL, DSP address, DSP data
    read_stored,   read_stored,  read_stored,  read_stored,    // $F4-$F7 main CPU's bytes
    read_ram,      read_ram,                                   // $F8-$F9 RAM
    read_zero,     read_zero,    read_zero,                    // $FA-$FC timer targets
    read_counter,  read_counter, read_counter,                 // $FD-$FF counters
};

const SpcIoWrite kSpcIoWrite[16] = {
    write_test,    write_control, write_stored, write_dsp_data,  // $F0-$F3
    write_port,    write_port,    write_port,   write_port,      // $F4-$F7 output ports
    write_stored,  write_stored,                                 // $F8-$F9: RAM (below)
    write_target,  write_target,  write_target,                  // $FA-$FC
    write_stored,  write_stored,  write_stored,                  // $FD-$FF: no effect
};

void spc_write_slow(Machine& m, uint16_t addr, uint8_t value) {
    Apu& s = m.apu;
    if (spc_is_io(addr)) kSpcIoWrite[addr & 0x0F](m, uint8_t(addr & 0x0F), value);
    if (apu_ram_writable(s)) s.ram[addr] = value;
}

}  // namespace vt
