// The NES sound unit (the 2A03's APU): two pulse channels with sweep, the
// triangle, noise, the DMC, the frame counter, mixed with the console's
// non-linear mixer into 44,100 Hz stereo (both sides equal).
//
// The NES side runs it in step with the CPU (nes_apu_run after each batch
// of CPU cycles; before a register access it brings the unit up to the
// access's cycle) and takes a video frame's samples at the frame's end.
//
// How the sound is made: the channels run from event to event (the next
// timer expiry of any channel or of the frame counter); between events the
// mixer's output is constant. That signal, at the CPU's rate, is averaged
// over blocks of kNesApuBlockCycles cycles (exact, since the signal is a
// staircase) and the block averages go through libsoxr's band-limiting
// converter to 44,100 Hz. The console's output stage follows: two
// high-pass filters (90 Hz and 440 Hz, which also take the mixer's DC
// offset away) and a 14 kHz low-pass.
#pragma once

#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <memory>
#include <type_traits>

#include "audio/dsp_resampler.h"  // SoxrDelete

namespace vt {

// CPU cycles per block average handed to the converter (357,955 Hz).
inline constexpr uint32_t kNesApuBlockCycles = 5;
// Blocks and output frames stand in the ratio 625 : 77
// (1,789,772.7 Hz / 5 : 44,100 Hz).
inline constexpr int kNesApuPhaseBlocks = 625;
inline constexpr int kNesApuPhaseOutputs = 77;
// A converter restarted after a state is loaded is fed again the last
// blocks the old one had (the saved phase plus this many whole phases,
// longer than its filters), so it carries on where the old one was.
inline constexpr int kNesApuReplayPhases = 5;
inline constexpr int kNesApuHistory = 4096;  // a power of two
// Block averages gathered before they go to the converter.
inline constexpr int kNesApuBlockBuffer = 1024;
// Output held back (frames): the converter hands its output out in bursts
// and starts about 300 frames late; the first frames are silence so each
// video frame can take its 734 or 735 frames.
inline constexpr int kNesApuLatency = 512;
inline constexpr int kNesApuPendingRoom = 4096;
inline constexpr int kNesApuPendingSaved = 1024;
// A timer that is not running (far beyond any batch of cycles).
inline constexpr uint32_t kNesApuIdle = 1u << 30;

struct NesEnvelope {
    bool start = false;
    uint8_t divider = 0;
    uint8_t decay = 0;  // the volume when the constant-volume bit is clear
};

struct NesPulse {
    uint16_t period = 0;  // the 11-bit timer reload value
    uint32_t timer = kNesApuIdle;  // CPU cycles to the next sequencer step
    uint8_t step = 0;              // 0-7 in the duty sequence
    uint8_t length = 0;
    NesEnvelope envelope;
    uint8_t sweep_divider = 0;
    bool sweep_reload = false;
};

struct NesTriangle {
    uint16_t period = 0;
    uint32_t timer = kNesApuIdle;
    uint8_t step = 0;  // 0-31
    uint8_t length = 0;
    uint8_t linear = 0;
    bool linear_reload = false;
};

struct NesNoise {
    uint32_t timer = kNesApuIdle;
    uint16_t shift = 1;  // the 15-bit feedback register
    uint8_t length = 0;
    NesEnvelope envelope;
};

struct NesDmc {
    uint32_t timer = 428;
    uint16_t address = 0xC000;  // next byte to fetch
    uint16_t remaining = 0;     // bytes left to fetch
    uint8_t level = 0;          // the 7-bit output level
    uint8_t buffer = 0;         // the sample buffer
    bool buffer_full = false;
    uint8_t shift = 0;  // the output unit's shift register
    uint8_t bits = 8;   // bits left in it
    bool silent = true;
};

struct NesApu {
    // The DMC fetches its sample bytes from the CPU's address space through
    // this reader (set by the NES side; never saved).
    uint8_t (*dmc_read)(void* context, uint16_t address) = nullptr;
    void* dmc_context = nullptr;

    std::array<uint8_t, 0x18> registers{};  // $4000-$4017 as written
    uint32_t cycle = 0;                     // CPU cycles run in this frame
    bool frame_irq = false;
    bool dmc_irq = false;

    NesPulse pulse[2];
    NesTriangle triangle;
    NesNoise noise;
    NesDmc dmc;
    uint8_t enabled = 0;  // $4015 bits 0-3: channels whose length may load

    // The frame counter: CPU cycles since its sequence (re)started, the
    // mode ($4017 bit 7: 5-step) and the delayed effect of a $4017 write.
    uint32_t frame_cycle = 0;
    uint32_t frame_write_delay = 0;  // 0: none pending
    uint8_t frame_write_value = 0;
    bool five_step = false;
    bool odd_cycle = false;  // the parity of the CPU cycle (APU cycles are two)
    // The side runs the unit after every instruction: runs that reach no
    // event only count their cycles here (`unsettled`, charged to the
    // timers, the frame counter and the parity at the next event, write or
    // nes_apu_sync) while `quiet` cycles remain before the next event.
    uint32_t unsettled = 0;
    uint32_t quiet = 0;
    // Cycles the DMC's sample fetches took from the CPU, not yet collected
    // by the side (nes_apu_take_stall).
    uint32_t stall_cycles = 0;

    // The mixer's output now (0-32767) and the partial block average.
    int32_t level = 0;
    int32_t block_sum = 0;
    uint32_t block_left = kNesApuBlockCycles;

    // Block averages not yet converted.
    std::array<int16_t, kNesApuBlockBuffer> blocks{};
    uint32_t block_count = 0;
    // Where the converter stands: blocks converted since power-on modulo
    // kNesApuPhaseBlocks, and output frames it made since the last block
    // count that was a multiple of it (negative while its delay lasts).
    uint16_t phase = 0;
    int32_t outputs_since_phase = 0;
    // The blocks converted last, a ring written at history_position.
    std::array<int16_t, kNesApuHistory> history{};
    uint16_t history_position = 0;
    std::unique_ptr<soxr, SoxrDelete> converter;

    // The output stage's filter memories.
    float lowpass = 0, highpass90_in = 0, highpass90_out = 0, highpass440_in = 0, highpass440_out = 0;
    // Finished output (mono, both sides get it), oldest first.
    std::array<int16_t, kNesApuPendingRoom> pending{};
    uint32_t pending_count = 0;
    uint32_t drop_outputs = 0;  // after a load (see nes_apu_after_load)
};

void nes_apu_power_on(NesApu& a);
void nes_apu_reset(NesApu& a);
// $4000-$4013, $4015, $4017.
void nes_apu_write(NesApu& a, uint16_t address, uint8_t value);
// $4015: channel status and IRQ flags; clears the frame IRQ flag. Bit 5 is
// the data bus's (open bus): 0 here, the side may put its bus value in.
uint8_t nes_apu_read_status(NesApu& a);
uint8_t nes_apu_peek_status(const NesApu& a);
// Runs `cycles` CPU cycles of sound.
void nes_apu_run(NesApu& a, uint32_t cycles);
// The IRQ line (frame counter or DMC).
inline bool nes_apu_irq(const NesApu& a) { return a.frame_irq || a.dmc_irq; }
// Charges the cycles run so far to the timers, the frame counter and the
// parity (for whoever looks at those fields: the debugger, tests).
void nes_apu_sync(NesApu& a);
// CPU cycles the DMC's sample fetches stole since the last call (4 per
// byte fetched); the side may add them to the CPU's time.
uint32_t nes_apu_take_stall(NesApu& a);
// End of a video frame: writes exactly `frames` stereo frames (interleaved
// left/right) of the frame's sound to `out`.
void nes_apu_frame_end(NesApu& a, int16_t* out, uint32_t frames);

// The mixer's output (0-32767, before the output stage) for channel levels:
// pulses 0-15, triangle 0-15, noise 0-15, DMC 0-127.
int32_t nes_apu_mix(int pulse1, int pulse2, int triangle, int noise, int dmc);

// After loading a state: a new converter resumes where the old one was.
void nes_apu_after_load(NesApu& a);

inline constexpr uint32_t kNesApuStateSize =
    0x18 + 4 + 1 + 1 +                        // registers, cycle, flags, enabled
    2 * (2 + 4 + 1 + 1 + 3 + 1 + 1) +         // pulses
    (2 + 4 + 1 + 1 + 1 + 1) +                 // triangle
    (4 + 2 + 1 + 3) +                         // noise
    (4 + 2 + 2 + 1 + 1 + 1 + 1 + 1 + 1) +     // DMC
    4 + 4 + 1 + 1 + 4 + 4 + 4 +               // frame counter, stall, unsettled, quiet
    4 + 4 + 4 +                               // level, block sum, block left
    2 + 4 + 2 * kNesApuHistory + 2 +          // converter position and history
    5 * 4 +                                   // filters
    4 + 2 * kNesApuPendingSaved;              // pending output

// Far above any level the output stage's filters reach (a few times 32,768).
inline constexpr float kNesApuFilterLimit = 1.0e6f;

namespace nes_apu_detail {
template <class Io, class E>
void envelope_io(Io& io, E& e) {
    uint8_t start = e.start;
    io.u8(start);
    io.u8_masked(e.divider, 0x0F);
    io.u8_masked(e.decay, 0x0F);
    if constexpr (Io::loading) e.start = start & 1;
}
template <class Io>
void timer_io(Io& io, std::conditional_t<Io::loading, uint32_t, const uint32_t>& timer) {
    // 1..idle: a zero would never expire.
    uint32_t t = timer;
    io.u32_at_most(t, kNesApuIdle);
    if constexpr (Io::loading) timer = t == 0 ? 1 : t;
}
template <class Io>
void float_io(Io& io, std::conditional_t<Io::loading, float, const float>& f) {
    uint32_t bits = std::bit_cast<uint32_t>(f);
    io.u32(bits);
    if constexpr (Io::loading) {
        // The output stage's filters hold sample levels; a damaged value
        // (not a number, infinite, or far past any level) starts them from
        // rest instead of poisoning every later sample.
        const float v = std::bit_cast<float>(bits);
        f = std::isfinite(v) && std::fabs(v) <= kNesApuFilterLimit ? v : 0.0f;
    }
}
}  // namespace nes_apu_detail

// The whole chip's state. Every field read back is bounded, so a damaged
// state can only sound wrong.
template <class Io>
void nes_apu_state_io(Io& io, std::conditional_t<Io::loading, NesApu, const NesApu>& a) {
    using namespace nes_apu_detail;
    io.bytes(a.registers);
    io.u32_at_most(a.cycle, 1u << 20);
    uint8_t flags = uint8_t(a.frame_irq) | uint8_t(a.dmc_irq) << 1 | uint8_t(a.odd_cycle) << 2 |
                    uint8_t(a.five_step) << 3;
    io.u8(flags);
    if constexpr (Io::loading) {
        a.frame_irq = flags & 1;
        a.dmc_irq = flags & 2;
        a.odd_cycle = flags & 4;
        a.five_step = flags & 8;
    }
    io.u8_masked(a.enabled, 0x0F);
    for (auto& p : a.pulse) {
        io.u16_masked(p.period, 0x7FF);
        timer_io(io, p.timer);
        io.u8_masked(p.step, 7);
        io.u8(p.length);
        envelope_io(io, p.envelope);
        io.u8_masked(p.sweep_divider, 7);
        uint8_t reload = p.sweep_reload;
        io.u8(reload);
        if constexpr (Io::loading) p.sweep_reload = reload & 1;
    }
    auto& t = a.triangle;
    io.u16_masked(t.period, 0x7FF);
    timer_io(io, t.timer);
    io.u8_masked(t.step, 31);
    io.u8(t.length);
    io.u8_masked(t.linear, 0x7F);
    uint8_t reload = t.linear_reload;
    io.u8(reload);
    if constexpr (Io::loading) t.linear_reload = reload & 1;
    auto& n = a.noise;
    timer_io(io, n.timer);
    io.u16_masked(n.shift, 0x7FFF);
    io.u8(n.length);
    envelope_io(io, n.envelope);
    auto& d = a.dmc;
    timer_io(io, d.timer);
    io.u16(d.address);
    io.u16_masked(d.remaining, 0xFFF);
    io.u8_masked(d.level, 0x7F);
    io.u8(d.buffer);
    uint8_t full = d.buffer_full;
    io.u8(full);
    io.u8(d.shift);
    io.u8_masked(d.bits, 7);
    uint8_t silent = d.silent;
    io.u8(silent);
    if constexpr (Io::loading) {
        d.buffer_full = full & 1;
        d.silent = silent & 1;
        if (d.bits == 0) d.bits = 8;
        if (n.shift == 0) n.shift = 1;
    }
    io.u32_at_most(a.frame_cycle, 37282);
    io.u32_at_most(a.frame_write_delay, 4);
    io.u8(a.frame_write_value);
    uint8_t spare = 0;
    io.u8(spare);
    io.u32_at_most(a.stall_cycles, 1u << 20);
    io.u32_at_most(a.unsettled, 1u << 20);
    io.u32_at_most(a.quiet, kNesApuIdle);
    io.i32_within(a.level, 0, 32767);
    io.i32_within(a.block_sum, 0, 32767 * int32_t(kNesApuBlockCycles));
    io.u32_at_most(a.block_left, kNesApuBlockCycles);
    io.u16(a.phase);
    io.i32_within(a.outputs_since_phase, -4096, 4096);
    for (auto& b : a.history) io.i16(b);
    io.u16_masked(a.history_position, kNesApuHistory - 1);
    float_io(io, a.lowpass);
    float_io(io, a.highpass90_in);
    float_io(io, a.highpass90_out);
    float_io(io, a.highpass440_in);
    float_io(io, a.highpass440_out);
    uint32_t pending = a.pending_count < uint32_t(kNesApuPendingSaved) ? a.pending_count : kNesApuPendingSaved;
    io.u32_at_most(pending, kNesApuPendingSaved);
    for (int i = 0; i < kNesApuPendingSaved; i++) {
        int16_t s = a.pending[i];
        io.i16(s);
        if constexpr (Io::loading) a.pending[i] = s;
    }
    if constexpr (Io::loading) {
        if (a.block_left == 0) a.block_left = kNesApuBlockCycles;
        a.phase = a.phase < kNesApuPhaseBlocks ? a.phase : 0;
        a.pending_count = pending;
        a.block_count = 0;
        nes_apu_after_load(a);
    }
}

}  // namespace vt
