#include "audio/apu.h"

#include "core/machine.h"

namespace vt {

// The SPC700 arrives with the audio subsystem. Until then the unit only
// keeps its clock level with the main CPU and the ports hold their bytes.
void apu_power_on(Machine& m) { m.apu = Apu{}; }
void apu_reset(Machine& m) { apu_power_on(m); }

void spc700_step(Machine& m) {
    m.apu.clock = m.timing.line_clock;
}

void apu_advance_timers(Machine& m) { m.apu.line_time = 0; }

uint8_t apu_port_read(Machine& m, uint8_t, uint16_t addr) {
    uint8_t v = m.apu.to_cpu[addr & 3];
    m.mem.open_bus = v;
    return v;
}

void apu_port_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.apu.from_cpu[addr & 3] = value;
}

}  // namespace vt
