#include "core/system_registers.h"

#include "cart/memory_map.h"
#include "core/state_io.h"
#include "core/machine.h"
#include "core/main_cpu.h"
#include "video/ppu.h"

namespace vt {

// ---------------------------------------------------------------------------
// H/V timer

// The timer IRQ fires kTimerIrqDelay after the position it matches: the
// start of line VTIME with V-IRQ alone, dot HTIME (of line VTIME, with
// V-IRQ) with H-IRQ. Enabling V-IRQ alone while the line counter already
// equals VTIME fires at once; a dot already passed fires on the next line.
void sysregs_recompute_hirq_point(Machine& m) {
    SystemRegisters& r = m.sysregs;
    Timing& t = m.timing;
    t.hirq_point = kNoHirq;
    timing_update_event_point(t);
    const bool v_enabled = r.nmitimen & kNmitimenVirq;
    const bool h_enabled = r.nmitimen & kNmitimenHirq;
    int32_t point = kTimerIrqDelay;
    if (v_enabled) {
        if (r.vtime != t.line) return;
        if (!h_enabled && point <= t.line_clock) {
            r.timeup = 0x80;
            cpu_raise_irq(m, kIrqTimer);
            return;
        }
    } else if (!h_enabled) {
        return;
    }
    if (h_enabled) {
        if (r.htime >= kHtimeDots) return;
        point = int32_t(r.htime) * 2 + kTimerIrqDelay;
    }
    if (point <= t.line_clock) return;  // already passed on this line
    t.hirq_point = point;
    timing_update_event_point(t);
}

// ---------------------------------------------------------------------------
// Serial joypad ports

static uint8_t serial_next_bit(Machine& m, int port) {
    SystemRegisters& r = m.sysregs;
    uint8_t bit = uint8_t(r.shift[port] >> 15);
    r.shift[port] = uint16_t((r.shift[port] << 1) | (m.input.present[port] & 1));
    return bit;
}

static void serial_strobe_write(Machine& m, uint8_t value) {
    SystemRegisters& r = m.sysregs;
    uint8_t bit = value & 1;
    if (!r.strobe && bit) {
        for (int port = 0; port < 2; port++) {
            if (m.input.strobe_hook[port]) m.input.strobe_hook[port](m, port);
        }
        for (int port = 0; port < 2; port++) r.shift[port] = uint16_t(m.input.record[port] >> 16);
    }
    r.strobe = bit;
}

void sysregs_auto_joypad_read(Machine& m) {
    SystemRegisters& r = m.sysregs;
    if (!(r.nmitimen & kNmitimenAutoJoypad)) return;
    for (int port = 0; port < 2; port++) {
        r.joy[port] = uint16_t(m.input.record[port] >> 16);
        // Serial reads after the automatic read return bits 16-31 (the
        // mouse's motion bytes).
        r.shift[port] = uint16_t(m.input.record[port]);
    }
}

// ---------------------------------------------------------------------------
// Pages $40-$41: $4016/$4017

// Every bus cycle on $4000-$41FF takes 12 master clocks: 3 units more than
// the CPU's base cost (the open-bus handler adds 1 of them itself).
constexpr int32_t kJoypadPageUnits = 3;

uint8_t sysregs_page40_read(Machine& m, uint8_t bank, uint16_t addr) {
    uint8_t v;
    switch (addr) {
        case 0x4016: v = uint8_t((m.mem.open_bus & 0xFC) | serial_next_bit(m, 0)); break;
        case 0x4017: v = uint8_t((m.mem.open_bus & 0xE0) | 0x1C | serial_next_bit(m, 1)); break;
        default:
            m.timing.line_clock += kJoypadPageUnits - 1;
            return open_bus_read(m, bank, addr);
    }
    m.timing.line_clock += kJoypadPageUnits;
    m.mem.open_bus = v;
    return v;
}

int sysregs_page40_peek(const Machine& m, uint8_t, uint16_t addr) {
    const SystemRegisters& r = m.sysregs;
    switch (addr) {
        case 0x4016: return (m.mem.open_bus & 0xFC) | (r.shift[0] >> 15);
        case 0x4017: return (m.mem.open_bus & 0xE0) | 0x1C | (r.shift[1] >> 15);
        default: return kNotReadable;
    }
}

void sysregs_page40_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    switch (addr) {
        case 0x4016: serial_strobe_write(m, value); break;
        case 0x4017: break;
        default:
            m.timing.line_clock += kJoypadPageUnits - 1;
            discard_write(m, bank, addr, value);
            return;
    }
    m.timing.line_clock += kJoypadPageUnits;
}

// ---------------------------------------------------------------------------
// Page $42

// What a read of $4210-$421F returns, before its side effects; kNotReadable
// for the write-only and empty addresses of the page.
int sysregs_page42_peek(const Machine& m, uint8_t, uint16_t addr) {
    const SystemRegisters& r = m.sysregs;
    const uint8_t bus = m.mem.open_bus;
    switch (addr) {
        case 0x4210: return (bus & 0x70) | r.rdnmi;
        case 0x4211: return (bus & 0x7F) | r.timeup;
        case 0x4212: return (bus & 0x3E) | r.hvbjoy;
        case 0x4213: return r.rdio;
        case 0x4214: return uint8_t(r.rddiv);
        case 0x4215: return uint8_t(r.rddiv >> 8);
        case 0x4216: return uint8_t(r.rdmpy);
        case 0x4217: return uint8_t(r.rdmpy >> 8);
        case 0x4218: case 0x4219: case 0x421A: case 0x421B:
        case 0x421C: case 0x421D: case 0x421E: case 0x421F: {
            int i = addr - 0x4218;
            return uint8_t(r.joy[i >> 1] >> (8 * (i & 1)));
        }
        default: return kNotReadable;
    }
}

// Reading RDNMI clears its flag; reading TIMEUP clears its flag and
// acknowledges the timer IRQ.
uint8_t sysregs_page42_read(Machine& m, uint8_t bank, uint16_t addr) {
    const int value = sysregs_page42_peek(m, bank, addr);
    if (value == kNotReadable) return open_bus_read(m, bank, addr);
    SystemRegisters& r = m.sysregs;
    if (addr == 0x4210) r.rdnmi &= 0x7F;
    if (addr == 0x4211) {
        r.timeup &= 0x7F;
        m.cpu.irq_sources &= uint8_t(~0x81);
    }
    m.mem.open_bus = uint8_t(value);
    return uint8_t(value);
}

// Stores a byte of HTIME or VTIME; only a change recomputes the H-IRQ point.
static void write_timer_byte(Machine& m, uint16_t& reg, bool high, uint8_t value) {
    uint16_t updated = high ? uint16_t((reg & 0x00FF) | ((value & 1) << 8)) : uint16_t((reg & 0xFF00) | value);
    if (updated == reg) return;
    reg = updated;
    sysregs_recompute_hirq_point(m);
}

void sysregs_page42_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    SystemRegisters& r = m.sysregs;
    switch (addr) {
        case 0x4200: {
            uint8_t old = r.nmitimen;
            if (!(old & kNmitimenNmi) && (value & kNmitimenNmi) && (r.rdnmi & 0x80)) cpu_raise_nmi(m);
            r.nmitimen = value;
            if ((old ^ value) & (kNmitimenHirq | kNmitimenVirq)) {
                m.cpu.irq_sources = 0;
                r.timeup = 0;
                sysregs_recompute_hirq_point(m);
            }
            break;
        }
        case 0x4201:
            if ((r.wrio & 0x80) && !(value & 0x80)) ppu_latch_counters(m);
            r.wrio = value;
            r.rdio = value;
            break;
        case 0x4202: r.wrmpya = value; break;
        case 0x4203:
            r.wrmpyb = value;
            r.rdmpy = uint16_t(r.wrmpya * value);
            break;
        case 0x4204: r.wrdiv = uint16_t((r.wrdiv & 0xFF00) | value); break;
        case 0x4205: r.wrdiv = uint16_t((r.wrdiv & 0x00FF) | (value << 8)); break;
        case 0x4206:
            r.wrdivb = value;
            if (value == 0) {
                r.rddiv = 0xFFFF;
                r.rdmpy = r.wrdiv;
            } else {
                r.rddiv = uint16_t(r.wrdiv / value);
                r.rdmpy = uint16_t(r.wrdiv % value);
            }
            break;
        case 0x4207: write_timer_byte(m, r.htime, false, value); break;
        case 0x4208: write_timer_byte(m, r.htime, true, value); break;
        case 0x4209: write_timer_byte(m, r.vtime, false, value); break;
        case 0x420A: write_timer_byte(m, r.vtime, true, value); break;
        case 0x420B: r.mdmaen = value; break;
        case 0x420C:
            // Outside V-blank the next H-blank runs the channels enabled
            // now, except those whose table ended in this frame.
            if (!(r.hvbjoy & 0x80)) m.timing.hdma_active = uint8_t(value & ~m.dma.hdma_ended);
            r.hdmaen = value;
            break;
        case 0x420D:
            r.memsel = value;
            memory_set_fast_rom(m, value & 1);
            break;
        default: discard_write(m, bank, addr, value); break;
    }
}

// ---------------------------------------------------------------------------
// Lifecycle

void sysregs_power_on(Machine& m) {
    SystemRegisters& r = m.sysregs;
    // JOY1-JOY4 and HVBJOY survive power-on.
    uint16_t joy[4] = {r.joy[0], r.joy[1], r.joy[2], r.joy[3]};
    uint8_t hvbjoy = r.hvbjoy;
    r = SystemRegisters{};
    for (int i = 0; i < 4; i++) r.joy[i] = joy[i];
    r.hvbjoy = hvbjoy;
    m.timing.line_clock = 0;
    m.timing.line = 0;
    m.timing.hdma_active = 0;
    sysregs_post_load_fixup(m);
}

void sysregs_reset(Machine& m) { sysregs_power_on(m); }

void sysregs_post_load_fixup(Machine& m) {
    SystemRegisters& r = m.sysregs;
    r.htime &= 0x1FF;
    r.vtime &= 0x1FF;
    r.rdnmi = uint8_t((r.rdnmi & 0x80) | 2);
    m.cpu.irq_sources = (r.timeup & 0x80) ? kIrqTimer : 0;
    memory_set_fast_rom(m, r.memsel & 1);
    // $4000-$41FF: the joypad ports' slow page and the open bus beside it.
    memory_install_page(m, 0x40, {&sysregs_page40_read, &sysregs_page40_write, &sysregs_page40_peek});
    memory_install_page(m, 0x41, {&sysregs_page40_read, &sysregs_page40_write, &sysregs_page40_peek});
    memory_install_page(m, 0x42, {&sysregs_page42_read, &sysregs_page42_write, &sysregs_page42_peek});
}

template <class Io>
void sysregs_state_io(Io& io, IoMachine<Io>& m) {
    auto& r = m.sysregs;
    io.u8(r.nmitimen);
    io.u8(r.wrio);
    io.u8(r.wrmpya);
    io.u8(r.wrmpyb);
    io.u16(r.wrdiv);
    io.u8(r.wrdivb);
    io.u16(r.htime);
    io.u16(r.vtime);
    io.u8(r.mdmaen);
    io.u8(r.hdmaen);
    io.u8(r.memsel);
    io.u8(r.rdnmi);
    io.u8(r.timeup);
    io.u8(r.hvbjoy);
    io.u8(r.rdio);
    io.u16(r.rddiv);
    io.u16(r.rdmpy);
    for (auto& j : r.joy) io.u16(j);
    if constexpr (Io::loading) sysregs_post_load_fixup(m);
}

template <class Io>
void serial_ports_io(Io& io, IoMachine<Io>& m) {
    auto& r = m.sysregs;
    for (auto& shift : r.shift) io.u16(shift);
    io.u8_masked(r.strobe, 1);
}

template void sysregs_state_io(StateWriter&, const Machine&);
template void sysregs_state_io(StateReader&, Machine&);
template void serial_ports_io(StateWriter&, const Machine&);
template void serial_ports_io(StateReader&, Machine&);

void sysregs_save(const Machine& m, uint8_t out[kSystemRegistersSaveSize]) {
    StateWriter w{out};
    sysregs_state_io(w, m);
}

void sysregs_load(Machine& m, const uint8_t in[kSystemRegistersSaveSize]) {
    StateReader r{in};
    sysregs_state_io(r, m);
}

void sysregs_save_serial(const Machine& m, uint8_t out[kSerialPortsSaveSize]) {
    StateWriter w{out};
    serial_ports_io(w, m);
}

void sysregs_load_serial(Machine& m, const uint8_t in[kSerialPortsSaveSize]) {
    StateReader r{in};
    serial_ports_io(r, m);
}

}  // namespace vt
