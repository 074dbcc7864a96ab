// The audio unit's life cycle, the instruction step, the timers and the
// main CPU's side of the four ports.
#include "audio/apu.h"

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

void apu_power_on(Machine& m) {
    Apu& s = m.apu;
    // Alternating runs of 32 bytes $00 and 32 bytes $FF, starting with $00.
    for (uint32_t i = 0; i < s.ram.size(); i++) s.ram[i] = (i & 0x20) ? 0xFF : 0x00;
    s.io.fill(0);
    s.to_cpu[0] = s.to_cpu[1] = s.to_cpu[2] = s.to_cpu[3] = 0;
    s.clock = 0;
    s.clock_fraction = 0;
    s.cycles = 0;
    s.timers_synced = 0;
    s.timer_stage2.fill(0);
    dsp_power_on(m);
    apu_reset(m);
}

void apu_reset(Machine& m) {
    Apu& s = m.apu;
    s.a = s.x = s.y = 0;
    s.sp = 0xFF;
    s.psw = Psw{};
    s.io[kIoTest] = kTestAfterReset;
    s.io[kIoControl] = kControlIplMapped;  // boot ROM mapped, timers stopped
    s.ipl_mapped = true;
    for (int n = 0; n < 4; n++) {
        s.io[kIoPort0 + n] = 0;
        s.to_cpu[n] = 0;
    }
    s.timer_counter.fill(0x0F);
    s.cycle_fraction = m.timing.lines_per_frame > 262 ? kSpcCycleFractionPal : kSpcCycleFractionNtsc;
    apu_test_changed(s);
    s.pc = uint16_t(kIplRom[62] | kIplRom[63] << 8);
}

void apu_test_changed(Apu& s) {
    // While RAM takes no writes, every write goes the slow way, which drops
    // it; otherwise only the I/O registers do.
    const bool writable = apu_ram_writable(s);
    s.slow_write_mask = writable ? 0xFFF0 : 0x0000;
    s.slow_write_match = writable ? 0x00F0 : 0x0000;
}

void spc700_step(Machine& m) {
    Apu& s = m.apu;
    uint8_t op = spc_read(m, s.pc);
    s.pc++;
    // The instruction's cycles count before it runs, so a timer it reads
    // shows the state at its end; a taken branch adds its two afterwards.
    uint32_t cycles = kSpcCycles[op];
    s.cycles += cycles;
    const uint32_t taken = uint32_t(kSpcOps[op](m));
    s.cycles += taken;
    cycles += taken;
    const uint32_t time = s.clock_fraction + cycles * s.cycle_fraction;
    s.clock += int32_t(time >> 16);
    s.clock_fraction = uint16_t(time);
}

namespace {

// Stage 2 of one timer takes `ticks` ticks of stage 1: it counts up (an 8-bit
// counter) and, each time it reaches the target, starts again from 0 and
// ticks the 4-bit stage 3.
void advance_stage2(uint8_t& stage2, uint8_t& counter, uint8_t target_byte, uint32_t ticks) {
    if (ticks == 0) return;
    const uint32_t target = target_byte ? target_byte : 256;
    // Ticks to the next match; a stage 2 already past the target goes round
    // through 256 first.
    const uint32_t to_match = ((target - stage2 - 1) & 0xFF) + 1;
    if (ticks < to_match) {
        stage2 = uint8_t(stage2 + ticks);
        return;
    }
    ticks -= to_match;
    counter = uint8_t((counter + 1 + ticks / target) & 0x0F);
    stage2 = uint8_t(ticks % target);
}

bool timers_run(const Apu& s) { return (s.io[kIoTest] & (kTestTimersHalt | kTestTimersRun)) == kTestTimersRun; }

// Stage-1 ticks of the slow (128 cycles) and fast (16 cycles) dividers
// between two positions of the cycle counter.
void advance_timers(const Apu& s, uint32_t from, uint32_t to, ApuTimers& t) {
    if (!timers_run(s)) return;
    const uint32_t n = to - from;
    const uint32_t slow = ((from & 127) + n) >> 7;
    const uint32_t fast = ((from & 15) + n) >> 4;
    const uint8_t enabled = s.io[kIoControl] & kControlTimersMask;
    for (int i = 0; i < 3; i++) {
        if (!(enabled & (1 << i))) continue;
        advance_stage2(t.stage2[size_t(i)], t.counter[size_t(i)], s.io[size_t(kIoTimer0Target + i)], i == 2 ? fast : slow);
    }
}

}  // namespace

ApuTimers apu_timers_now(const Apu& s) {
    ApuTimers t{s.timer_stage2, s.timer_counter};
    advance_timers(s, s.timers_synced, s.cycles, t);
    return t;
}

void apu_catch_up_timers(Apu& s) {
    if (s.timers_synced == s.cycles) return;
    ApuTimers t = apu_timers_now(s);
    s.timer_stage2 = t.stage2;
    s.timer_counter = t.counter;
    s.timers_synced = s.cycles;
}

void apu_advance_timers(Machine& m) { apu_catch_up_timers(m.apu); }

uint8_t apu_port_read(Machine& m, uint8_t, uint16_t addr) {
    uint8_t v = m.apu.to_cpu[addr & 3];
    m.mem.open_bus = v;
    return v;
}

int apu_port_peek(const Machine& m, uint8_t, uint16_t addr) { return m.apu.to_cpu[addr & 3]; }

// The main CPU's byte lands in the port's latch, which the audio CPU reads
// at $F4-$F7 (a CONTROL write can clear the latches, but blocks nothing).
void apu_port_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.apu.io[size_t(kIoPort0 + (addr & 3))] = value;
}

uint8_t spc700_read(Machine& m, uint16_t addr) { return spc_read(m, addr); }
void spc700_write(Machine& m, uint16_t addr, uint8_t value) { spc_write(m, addr, value); }

uint8_t apu_peek(const Machine& m, uint16_t addr) {
    const Apu& s = m.apu;
    if (spc_is_io(addr)) {
        const uint8_t reg = addr & 0x0F;
        if (reg == 0x8 || reg == 0x9) return s.ram[addr];
        if (reg >= kIoTimer0Counter) return apu_timers_now(s).counter[size_t(reg - kIoTimer0Counter)];
        if (reg == kIoDspData) return m.dsp.regs[s.io[kIoDspAddress] & 0x7F];
        if (reg == kIoDspAddress || (reg >= kIoPort0 && reg < kIoPort0 + 4)) return s.io[reg];
        return 0;  // TEST, CONTROL and the targets read 0
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
        s.timer_stage2.fill(0);
        s.timers_synced = s.cycles;
        s.clock_fraction = 0;
        s.ipl_mapped = (s.io[kIoControl] & kControlIplMapped) != 0;
        apu_test_changed(s);
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
