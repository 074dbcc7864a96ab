// The audio unit: SPC700 processor, its RAM and I/O, and the ports at
// $2140-$2143 through which the main CPU talks to it.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

struct Apu {
    int32_t clock = 0;      // audio time in clock units, compared with the line clock
    int32_t line_time = 0;  // audio time counted since the timers were last advanced
    uint8_t from_cpu[4] = {0, 0, 0, 0};  // written by the main CPU at $2140-$2143
    uint8_t to_cpu[4] = {0, 0, 0, 0};    // written by the SPC700 at $F4-$F7
};

void apu_power_on(Machine& m);
void apu_reset(Machine& m);
// One SPC700 instruction; advances the audio clock.
void spc700_step(Machine& m);
// Advances the three timers by the audio time of the line just run.
void apu_advance_timers(Machine& m);

// $2140-$217F, port (address & 3).
uint8_t apu_port_read(Machine& m, uint8_t bank, uint16_t addr);
void apu_port_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);

}  // namespace vt
