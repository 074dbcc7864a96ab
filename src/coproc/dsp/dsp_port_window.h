// The memory-map window of a DSP-family chip: read, write and peek
// handlers over the DspPort, made once per chip from its interpreter's
// resume function, so an access does no decoding.
#pragma once

#include "coproc/dsp/dsp_port.h"
#include "core/machine.h"

namespace vt {

// Clock units of a port access: the cartridge bus is slow in the lower half
// of a bank and follows the bank's ROM speed in the upper half.
inline int32_t dsp_port_cost(const Machine& m, uint8_t bank, uint16_t addr) {
    return (addr & 0x8000) ? m.mem.rom_speed[bank] : 1;
}

// The loaded cartridge carries one DSP-family chip, so they share one port.
template <void (*Resume)(Machine&)>
struct DspPortHandlers {
    static uint8_t read(Machine& m, uint8_t bank, uint16_t addr) {
        m.timing.line_clock += dsp_port_cost(m, bank, addr);
        DspPort& p = m.dsp_family.port;
        uint8_t value;
        if ((addr >> 8) & p.select_mask) {
            value = p.sr;
        } else if (dsp_port_read_byte(p, value)) {
            Resume(m);
        }
        m.mem.open_bus = value;
        return value;
    }

    static void write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
        m.timing.line_clock += dsp_port_cost(m, bank, addr);
        DspPort& p = m.dsp_family.port;
        if ((addr >> 8) & p.select_mask) return;  // the status register is read-only
        if (dsp_port_write_byte(p, value)) Resume(m);
    }

    static int peek(const Machine& m, uint8_t, uint16_t addr) { return dsp_port_peek_byte(m.dsp_family.port, addr); }

    static constexpr MemoryWindow window{&read, &write, &peek};
};

}  // namespace vt
