#include "coproc/necdsp/necdsp_cartridge.h"

#include <cstdio>

#include "coproc/dsp/dsp_port_window.h"
#include "core/machine.h"

namespace vt {

namespace {

// After a completed transfer the chip runs until it wants the console again.
void run_after_transfer(Machine& m) {
    NecDsp& d = m.necdsp;
    if (necdsp_run_until_request(d, kNecDspRunLimit) || d.limit_logged) return;
    d.limit_logged = true;
    if (!m.host.log_line) return;
    char line[96];
    std::snprintf(line, sizeof line, "NEC DSP: no request after %u instructions (PC %04X)", kNecDspRunLimit, d.pc);
    m.host.log_line(m.host.log, line);
}

uint8_t read_dr(Machine& m) {
    uint8_t value;
    if (necdsp_host_read_dr(m.necdsp, value)) run_after_transfer(m);
    return value;
}

void write_dr(Machine& m, uint8_t value) {
    if (necdsp_host_write_dr(m.necdsp, value)) run_after_transfer(m);
}

// --- the DSP-4: the board's select bit picks SR; bus costs as the other
// DSP-family chips'.
bool dsp4_selects_sr(const Machine& m, uint16_t addr) { return (addr >> 8) & m.dsp_family.port.select_mask; }

uint8_t dsp4_read(Machine& m, uint8_t bank, uint16_t addr) {
    m.timing.line_clock += dsp_port_cost(m, bank, addr);
    const uint8_t value = dsp4_selects_sr(m, addr) ? necdsp_host_read_sr(m.necdsp) : read_dr(m);
    m.mem.open_bus = value;
    return value;
}

void dsp4_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    m.timing.line_clock += dsp_port_cost(m, bank, addr);
    if (!dsp4_selects_sr(m, addr)) write_dr(m, value);  // SR is read-only
}

int dsp4_peek(const Machine& m, uint8_t, uint16_t addr) {
    return dsp4_selects_sr(m, addr) ? necdsp_host_read_sr(m.necdsp) : necdsp_host_peek_dr(m.necdsp);
}

// --- the ST011: one clock unit an access, like its other windows.
uint8_t st011_program_port_read(Machine& m, uint8_t, uint16_t addr) {
    m.timing.line_clock += 1;
    const uint8_t value = (addr & 1) ? necdsp_host_read_sr(m.necdsp) : read_dr(m);
    m.mem.open_bus = value;
    return value;
}

void st011_program_port_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    if (!(addr & 1)) write_dr(m, value);
}

int st011_program_port_peek(const Machine& m, uint8_t, uint16_t addr) {
    return (addr & 1) ? necdsp_host_read_sr(m.necdsp) : necdsp_host_peek_dr(m.necdsp);
}

uint8_t st011_program_ram_read(Machine& m, uint8_t, uint16_t addr) {
    m.timing.line_clock += 1;
    const uint8_t value = necdsp_host_read_ram(m.necdsp, addr);
    m.mem.open_bus = value;
    return value;
}

void st011_program_ram_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    necdsp_host_write_ram(m.necdsp, addr, value);
}

int st011_program_ram_peek(const Machine& m, uint8_t, uint16_t addr) { return necdsp_host_read_ram(m.necdsp, addr); }

void start_program(Machine& m) {
    m.necdsp.limit_logged = false;
    if (m.necdsp.has_firmware) run_after_transfer(m);
}

}  // namespace

const MemoryWindow kNecDspDsp4Window{&dsp4_read, &dsp4_write, &dsp4_peek};
const MemoryWindow kNecDspSt011PortWindow{&st011_program_port_read, &st011_program_port_write, &st011_program_port_peek};
const MemoryWindow kNecDspSt011RamWindow{&st011_program_ram_read, &st011_program_ram_write, &st011_program_ram_peek};

void necdsp_cartridge_power_on(Machine& m, NecDspModel model) {
    if (!m.necdsp.has_firmware) m.necdsp.model = model;
    necdsp_power_on(m.necdsp);
    start_program(m);
}

void necdsp_cartridge_reset(Machine& m) {
    necdsp_reset(m.necdsp);
    start_program(m);
}

}  // namespace vt
