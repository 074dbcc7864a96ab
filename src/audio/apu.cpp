// The audio unit's life cycle, the instruction step, the timers and the
// main CPU's side of the four ports.
#include "audio/apu.h"

#include <algorithm>

#include "audio/dsp.h"
#include "audio/spc700_bus.h"
#include "audio/spc700_opcodes.h"
#include "core/machine.h"
#include "core/state_io.h"

namespace vt {

uint8_t psw_pack(const Psw& f) {
    return uint8_t(f.c | f.z << 1 | f.i << 2 | f.h << 3 | f.b << 4 | f.p << 5 | f.v << 6 | f.n << 7);
}

Psw psw_unpack(uint8_t value) {
    Psw f;
    f.c = value & 0x01;
    f.z = value & 0x02;
    f.i = value & 0x04;
    f.h = value & 0x08;
    f.b = value & 0x10;
    f.p = value & 0x20;
    f.v = value & 0x40;
    f.n = value & 0x80;
    return f;
}

// Timers 0 and 1 tick at 8 kHz (160 SPC700 cycles), timer 2 at 64 kHz (20
// cycles), each divided further by its target.
uint32_t apu_timer_period(int timer, uint8_t target) {
    uint32_t divisor = target == 0 ? 256 : target;
    return divisor * (timer == 2 ? 160u : 1280u);
}

void apu_power_on(Machine& m) {
    Apu& s = m.apu;
    // Alternating runs of 32 bytes $00 and 32 bytes $FF, starting with $00.
    for (uint32_t i = 0; i < s.ram.size(); i++) s.ram[i] = (i & 0x20) ? 0xFF : 0x00;
    s.io.fill(0);
    s.to_cpu[0] = s.to_cpu[1] = s.to_cpu[2] = s.to_cpu[3] = 0;
    s.clock = 0;
    s.line_time = 0;
    s.timer_elapsed.fill(0);
    for (int t = 0; t < 3; t++) s.timer_period[t] = apu_timer_period(t, 0);
    dsp_power_on(m);
    apu_reset(m);
}

void apu_reset(Machine& m) {
    Apu& s = m.apu;
    s.a = s.x = s.y = 0;
    s.sp = 0xFF;
    s.psw = Psw{};
    s.io[kIoControl] = kControlIplMapped;  // boot ROM mapped, timers stopped
    s.ipl_mapped = true;
    for (int n = 0; n < 4; n++) {
        s.io[kIoPort0 + n] = 0;
        s.to_cpu[n] = 0;
    }
    s.timer_counter.fill(0x0F);
    s.pc = uint16_t(kIplRom[62] | kIplRom[63] << 8);
}

void spc700_step(Machine& m) {
    Apu& s = m.apu;
    // A port-clear request of CONTROL lasts until the next instruction.
    s.io[kIoControl] &= uint8_t(~(kControlClearPorts01 | kControlClearPorts23));
    uint8_t op = spc_read(m, s.pc);
    s.pc++;
    int32_t units = (kSpcCycles[op] + kSpcOps[op](m)) * kSpcCycleUnits;
    s.clock += units;
    s.line_time += units;
}

// Timers 0 and 1 tick at most once per line (their shortest period is longer
// than a line); timer 2 ticks as often as whole periods have passed.
void apu_advance_timers(Machine& m) {
    Apu& s = m.apu;
    const uint8_t enabled = s.io[kIoControl] & kControlTimersMask;
    const uint32_t elapsed = uint32_t(std::max(s.line_time, 0));
    for (int t = 0; t < 3; t++) {
        if (!(enabled & (1 << t))) continue;
        uint32_t& acc = s.timer_elapsed[t];
        const uint32_t period = s.timer_period[t];
        acc += elapsed;
        if (t < 2) {
            if (acc >= period) {
                s.timer_counter[t] = (s.timer_counter[t] + 1) & 0x0F;
                acc -= period;
            }
        } else {
            while (acc >= period) {
                s.timer_counter[t] = (s.timer_counter[t] + 1) & 0x0F;
                acc -= period;
            }
        }
    }
    s.line_time = 0;
}

uint8_t apu_port_read(Machine& m, uint8_t, uint16_t addr) {
    uint8_t v = m.apu.to_cpu[addr & 3];
    m.mem.open_bus = v;
    return v;
}

int apu_port_peek(const Machine& m, uint8_t, uint16_t addr) { return m.apu.to_cpu[addr & 3]; }

// While CONTROL asks for a port pair to be cleared, the main CPU's writes to
// that pair are lost.
void apu_port_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    Apu& s = m.apu;
    const int port = addr & 3;
    const uint8_t blocking = port < 2 ? kControlClearPorts01 : kControlClearPorts23;
    if (s.io[kIoControl] & blocking) return;
    s.io[kIoPort0 + port] = value;
}

uint8_t spc700_read(Machine& m, uint16_t addr) { return spc_read(m, addr); }
void spc700_write(Machine& m, uint16_t addr, uint8_t value) { spc_write(m, addr, value); }

uint8_t apu_peek(const Machine& m, uint16_t addr) {
    const Apu& s = m.apu;
    if (spc_is_io(addr)) {
        const uint8_t reg = addr & 0x0F;
        if (reg == 0x8 || reg == 0x9) return s.ram[addr];
        if (reg >= kIoTimer0Counter) return s.timer_counter[reg - kIoTimer0Counter];
        if (reg == kIoDspData) return m.dsp.regs[s.io[kIoDspAddress] & 0x7F];
        return s.io[reg];
    }
    if (addr >= kIplRomBase && s.ipl_mapped) return kIplRom[addr & 0x3F];
    return s.ram[addr];
}

template <class Io>
void apu_image_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.apu;
    io.u8(s.a);
    io.u8(s.x);
    io.u8(s.y);
    io.u8(s.sp);
    io.u16(s.pc);
    uint8_t psw = psw_pack(s.psw);
    io.u8(psw);
    io.bytes(s.to_cpu);
    io.bytes(s.io);
    io.bytes(s.ram);
    if constexpr (Io::loading) {
        s.psw = psw_unpack(psw);
        for (int t = 0; t < 3; t++) {
            s.timer_period[t] = apu_timer_period(t, s.io[kIoTimer0Target + t]);
            s.timer_elapsed[t] = 0;
        }
        s.ipl_mapped = (s.io[kIoControl] & kControlIplMapped) != 0;
    }
}

template void apu_image_io(StateWriter&, const Machine&);
template void apu_image_io(StateReader&, Machine&);

void apu_save_image(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    apu_image_io(w, m);
}

void apu_load_image(Machine& m, const uint8_t* in) {
    StateReader r{in};
    apu_image_io(r, m);
}

}  // namespace vt
