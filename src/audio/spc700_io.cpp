// The audio CPU's I/O registers at $00F0-$00FF.
#include "audio/dsp.h"
#include "audio/spc700_bus.h"

namespace vt {

namespace {

// --- reads

uint8_t read_stored(Machine& m, uint8_t reg) { return m.apu.io[reg]; }

uint8_t read_ram(Machine& m, uint8_t reg) { return m.apu.ram[0xF0 + reg]; }

uint8_t read_dsp_data(Machine& m, uint8_t) { return dsp_read(m, m.apu.io[kIoDspAddress]); }

// Reading a counter clears it.
uint8_t read_counter(Machine& m, uint8_t reg) {
    uint8_t& counter = m.apu.timer_counter[reg - kIoTimer0Counter];
    uint8_t v = counter;
    counter = 0;
    return v;
}

// --- writes

void write_stored(Machine& m, uint8_t reg, uint8_t value) { m.apu.io[reg] = value; }

void write_ram(Machine& m, uint8_t reg, uint8_t value) { m.apu.ram[0xF0 + reg] = value; }

// Any CONTROL write restarts the timers' time base; the counters keep their
// values. Bits 4 and 5 clear the main CPU's bytes in ports 0-1 and 2-3; the
// next instruction clears the bits again (spc700_step).
void write_control(Machine& m, uint8_t reg, uint8_t value) {
    Apu& s = m.apu;
    s.io[reg] = value;
    s.line_time = 0;
    s.timer_elapsed.fill(0);
    if (value & kControlClearPorts01) s.io[kIoPort0] = s.io[kIoPort0 + 1] = 0;
    if (value & kControlClearPorts23) s.io[kIoPort0 + 2] = s.io[kIoPort0 + 3] = 0;
    s.ipl_mapped = (value & kControlIplMapped) != 0;
}

void write_dsp_data(Machine& m, uint8_t, uint8_t value) { dsp_write(m, m.apu.io[kIoDspAddress], value); }

void write_port(Machine& m, uint8_t reg, uint8_t value) { m.apu.to_cpu[reg - kIoPort0] = value; }

void write_target(Machine& m, uint8_t reg, uint8_t value) {
    Apu& s = m.apu;
    s.io[reg] = value;
    int timer = reg - kIoTimer0Target;
    s.timer_period[timer] = apu_timer_period(timer, value);
}

}  // namespace

const SpcIoRead kSpcIoRead[16] = {
    read_stored,   read_stored,  read_stored,  read_dsp_data,  // $F0 TEST, CONTROL, DSP address, DSP data
    read_stored,   read_stored,  read_stored,  read_stored,    // $F4-$F7 main CPU's bytes
    read_ram,      read_ram,                                   // $F8-$F9 RAM
    read_stored,   read_stored,  read_stored,                  // $FA-$FC timer targets
    read_counter,  read_counter, read_counter,                 // $FD-$FF counters
};

const SpcIoWrite kSpcIoWrite[16] = {
    write_stored,  write_control, write_stored, write_dsp_data,  // $F0-$F3
    write_port,    write_port,    write_port,   write_port,      // $F4-$F7 output ports
    write_ram,     write_ram,                                    // $F8-$F9
    write_target,  write_target,  write_target,                  // $FA-$FC
    write_stored,  write_stored,  write_stored,                  // $FD-$FF: no effect
};

}  // namespace vt
