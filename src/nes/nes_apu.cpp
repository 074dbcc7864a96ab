#include "nes/nes_apu.h"


#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vt {

namespace {

// ---------------------------------------------------------------- tables

// Length counter loads, by the top five bits of $4003/$4007/$400B/$400F.
constexpr uint8_t kLengths[32] = {10, 254, 20, 2,  40, 4,  80, 6,  160, 8,  60, 10, 14, 12, 26, 14,
                                  12, 16,  24, 18, 48, 20, 96, 22, 192, 24, 72, 26, 16, 28, 32, 30};

// The pulse duty sequences (12.5 %, 25 %, 50 %, 75 %), in the order they
// play after a $4003 write restarts the sequencer.
constexpr uint8_t kDuty[4][8] = {
    {0, 1, 0, 0, 0, 0, 0, 0},
    {0, 1, 1, 0, 0, 0, 0, 0},
    {0, 1, 1, 1, 1, 0, 0, 0},
    {1, 0, 0, 1, 1, 1, 1, 1},
};

// The triangle's 32 steps: down from 15 to 0, then up again.
constexpr uint8_t kTriangle[32] = {15, 14, 13, 12, 11, 10, 9,  8,  7,  6,  5,  4,  3,  2,  1,  0,
                                   0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, 13, 14, 15};

// Noise timer periods in CPU cycles (NTSC).
constexpr uint16_t kNoisePeriods[16] = {4, 8, 16, 32, 64, 96, 128, 160, 202, 254, 380, 508, 762, 1016, 2034, 4068};

// DMC output-unit periods in CPU cycles (NTSC).
constexpr uint16_t kDmcPeriods[16] = {428, 380, 340, 320, 286, 254, 226, 214, 190, 160, 142, 128, 106, 84, 72, 54};

// Frame counter steps, in CPU cycles after the sequence (re)starts.
constexpr uint32_t kQuarter1 = 7457, kHalf1 = 14913, kQuarter3 = 22371;
constexpr uint32_t kFourStepIrq = 29828, kFourStepLast = 29829, kFourStepEnd = 29830;
constexpr uint32_t kFiveStepLast = 37281, kFiveStepEnd = 37282;

// The console's mixer: the two pulses meet in one resistor network, the
// triangle, noise and DMC in another; each gives a non-linear curve. The
// loudest sum of both is 1.0, scaled to 32767.
constexpr double kMixScale = 32767.0;

struct PulseTable {
    int16_t level[31];
    PulseTable() {
        level[0] = 0;
        for (int i = 1; i < 31; i++) level[i] = int16_t(std::lround(kMixScale * 95.88 / (8128.0 / i + 100.0)));
    }
};
const PulseTable kPulseMix;

// Triangle in half steps (the ultrasonic triangle's mean is 7.5).
float tnd_level(int triangle_x2, int noise, int dmc) {
    const float sum = float(triangle_x2) / (2 * 8227.0f) + float(noise) / 12241.0f + float(dmc) / 22638.0f;
    if (sum <= 0) return 0;
    return float(kMixScale) * 159.79f / (1.0f / sum + 100.0f);
}

// The output stage, first-order filters at 44,100 Hz: high-passes at 90 and
// 440 Hz, a low-pass at 14 kHz.
float highpass_factor(double hz) {
    const double rc = 1.0 / (2 * M_PI * hz), dt = 1.0 / 44100.0;
    return float(rc / (rc + dt));
}
float lowpass_factor(double hz) {
    const double rc = 1.0 / (2 * M_PI * hz), dt = 1.0 / 44100.0;
    return float(dt / (rc + dt));
}
const float kHighpass90 = highpass_factor(90);
const float kHighpass440 = highpass_factor(440);
const float kLowpass14k = lowpass_factor(14000);
// The mixer's full range spans 1.5 times the 16-bit range after the DC is
// gone; all channels loud at once is rare and clips.
constexpr float kOutputGain = 1.5f;

constexpr double kCpuHz = 19687500.0 / 11.0;  // 1,789,772.7 Hz (NTSC)

// ----------------------------------------------------------- the converter

soxr* new_converter() {
    soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_FLOAT32_I);
    io.flags = SOXR_NO_DITHER;
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_LQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr* converter = soxr_create(kCpuHz / kNesApuBlockCycles, 44100, 1, &error, &io, &quality, &runtime);
    if (!converter) {
        std::fprintf(stderr, "veltrane: cannot set up the NES audio converter: %s\n", error ? error : "unknown error");
        std::abort();
    }
    return converter;
}

void ensure_converter(NesApu& a) {
    if (!a.converter) a.converter.reset(new_converter());
}

// One converted sample (soxr gives 16-bit input back as -1..1) through the
// output stage into the pending output.
void finish_sample(NesApu& a, float converted) {
    const float x = converted * 32768.0f;
    // After a state is loaded, the restarted converter first repeats output
    // the old one had already made (and filtered).
    if (a.drop_outputs > 0) {
        a.drop_outputs--;
        return;
    }
    a.lowpass += kLowpass14k * (x - a.lowpass);
    a.highpass90_out = kHighpass90 * (a.highpass90_out + a.lowpass - a.highpass90_in);
    a.highpass90_in = a.lowpass;
    a.highpass440_out = kHighpass440 * (a.highpass440_out + a.highpass90_out - a.highpass440_in);
    a.highpass440_in = a.highpass90_out;
    const float y = std::clamp(a.highpass440_out * kOutputGain, -32768.0f, 32767.0f);
    if (a.pending_count < kNesApuPendingRoom) a.pending[a.pending_count++] = int16_t(y < 0 ? y - 0.5f : y + 0.5f);
}

// Feeds `count` blocks to the converter and finishes what it gives back;
// the blocks join the history unless they come from it.
void convert(NesApu& a, const int16_t* input, uint32_t count, bool remember = true) {
    ensure_converter(a);
    if (remember) {
        const uint32_t kept = std::min<uint32_t>(count, kNesApuHistory);
        const int16_t* from = input + (count - kept);
        const uint32_t first = std::min<uint32_t>(kept, kNesApuHistory - a.history_position);
        std::copy_n(from, first, a.history.begin() + a.history_position);
        std::copy_n(from + first, kept - first, a.history.begin());
        a.history_position = uint16_t((a.history_position + kept) & (kNesApuHistory - 1));
    }
    float out[512];
    while (count > 0) {
        size_t used = 0, produced = 0;
        soxr_process(a.converter.get(), input, count, &used, out, std::size(out), &produced);
        for (size_t i = 0; i < produced; i++) finish_sample(a, out[i]);
        a.outputs_since_phase += int32_t(produced);
        input += used;
        count -= uint32_t(used);
        a.phase = uint16_t(a.phase + used);
        while (a.phase >= kNesApuPhaseBlocks) {
            a.phase = uint16_t(a.phase - kNesApuPhaseBlocks);
            a.outputs_since_phase -= kNesApuPhaseOutputs;
        }
        if (used == 0 && produced == 0) break;  // only after an error
    }
}

void flush_blocks(NesApu& a) {
    convert(a, a.blocks.data(), a.block_count);
    a.block_count = 0;
}

void emit_block(NesApu& a, int32_t value) {
    a.blocks[a.block_count++] = int16_t(value);
    if (a.block_count == kNesApuBlockBuffer) flush_blocks(a);
}

// The mixer's output has been `a.level` for the last `n` cycles.
void accumulate(NesApu& a, uint32_t n) {
    if (n < a.block_left) {
        a.block_sum += a.level * int32_t(n);
        a.block_left -= n;
        return;
    }
    emit_block(a, (a.block_sum + a.level * int32_t(a.block_left) + int32_t(kNesApuBlockCycles / 2)) /
                      int32_t(kNesApuBlockCycles));
    n -= a.block_left;
    while (n >= kNesApuBlockCycles) {
        emit_block(a, a.level);
        n -= kNesApuBlockCycles;
    }
    a.block_sum = a.level * int32_t(n);
    a.block_left = kNesApuBlockCycles - n;
}

// --------------------------------------------------------------- channels

uint8_t envelope_volume(uint8_t control, const NesEnvelope& e) { return (control & 0x10) ? control & 0x0F : e.decay; }

void clock_envelope(uint8_t control, NesEnvelope& e) {
    if (e.start) {
        e.start = false;
        e.decay = 15;
        e.divider = control & 0x0F;
    } else if (e.divider == 0) {
        e.divider = control & 0x0F;
        if (e.decay > 0) e.decay--;
        else if (control & 0x20) e.decay = 15;  // loop
    } else {
        e.divider--;
    }
}

// The period the sweep unit would set. Pulse 1 subtracts one more (its
// adder takes the ones' complement).
int sweep_target(const NesApu& a, int i) {
    const NesPulse& p = a.pulse[i];
    const uint8_t sweep = a.registers[4 * i + 1];
    const int change = p.period >> (sweep & 7);
    if (sweep & 0x08) return p.period - change - (i == 0 ? 1 : 0);
    return p.period + change;
}

// Below 8 or with a sweep target past $7FF the channel is silent, whether
// the sweep is enabled or not.
bool pulse_muted(const NesApu& a, int i) { return a.pulse[i].period < 8 || sweep_target(a, i) > 0x7FF; }

int pulse_output(const NesApu& a, int i) {
    const NesPulse& p = a.pulse[i];
    const uint8_t control = a.registers[4 * i];
    if (p.length == 0 || pulse_muted(a, i) || !kDuty[control >> 6][p.step]) return 0;
    return envelope_volume(control, p.envelope);
}

// Stopped timers are set to kNesApuIdle and count down with the others
// (cheaper than a test each step); nes_apu_frame_end sets them back, so
// they never come near zero.
bool idle(uint32_t timer) { return timer > kNesApuIdle / 2; }

uint32_t pulse_timer_period(const NesPulse& p) { return 2 * (uint32_t(p.period) + 1); }

// A pulse below period 8 is silent whatever its sequencer does, so its
// timer stops rather than expire every few cycles.
void pulse_set_period(NesPulse& p, uint16_t period) {
    const bool was_running = p.period >= 8;
    p.period = period & 0x7FF;
    if (p.period < 8) p.timer = kNesApuIdle;
    else if (!was_running || idle(p.timer)) p.timer = pulse_timer_period(p);
}

bool triangle_running(const NesApu& a) { return a.triangle.length > 0 && a.triangle.linear > 0; }

// The triangle below period 2 steps at 56 or 28 kHz, far above hearing:
// what is left after band-limiting is its mean, 7.5, so it is not stepped.
bool triangle_ultrasonic(const NesApu& a) { return a.triangle.period < 2; }

// Twice the triangle's level (the mean of an ultrasonic one is 7.5).
int triangle_output_x2(const NesApu& a) {
    if (triangle_running(a) && triangle_ultrasonic(a)) return 15;
    return 2 * kTriangle[a.triangle.step];
}

// The triangle's timer runs only while its sequencer can move (and not in
// the ultrasonic case); the channel holds its level when stopped.
void triangle_rearm(NesApu& a) {
    NesTriangle& t = a.triangle;
    if (triangle_running(a) && !triangle_ultrasonic(a)) {
        if (idle(t.timer)) t.timer = t.period + 1u;
    } else {
        t.timer = kNesApuIdle;
    }
}

int noise_output(const NesApu& a) {
    if (a.noise.length == 0 || (a.noise.shift & 1)) return 0;
    return envelope_volume(a.registers[0x0C], a.noise.envelope);
}

// A silent noise channel's shift register stops (its state is heard only
// as randomness), so it costs nothing while the channel is off.
void noise_rearm(NesApu& a) {
    if (a.noise.length == 0) a.noise.timer = kNesApuIdle;
    else if (idle(a.noise.timer)) a.noise.timer = kNoisePeriods[a.registers[0x0E] & 0x0F];
}

void update_level(NesApu& a) {
    a.level = kPulseMix.level[pulse_output(a, 0) + pulse_output(a, 1)] +
              int32_t(tnd_level(triangle_output_x2(a), noise_output(a), a.dmc.level) + 0.5f);
}

void dmc_restart(NesApu& a) {
    a.dmc.address = uint16_t(0xC000 + a.registers[0x12] * 64);
    a.dmc.remaining = uint16_t(a.registers[0x13] * 16 + 1);
}

// The memory reader refills the sample buffer when it is empty.
void dmc_fetch(NesApu& a) {
    NesDmc& d = a.dmc;
    if (d.buffer_full || d.remaining == 0) return;
    d.buffer = a.dmc_read ? a.dmc_read(a.dmc_context, d.address) : 0;
    d.buffer_full = true;
    a.stall_cycles += 4;
    d.address = d.address == 0xFFFF ? 0x8000 : uint16_t(d.address + 1);
    if (--d.remaining == 0) {
        if (a.registers[0x10] & 0x40) dmc_restart(a);
        else if (a.registers[0x10] & 0x80) a.dmc_irq = true;
    }
}

void dmc_clock(NesApu& a) {
    NesDmc& d = a.dmc;
    if (!d.silent) {
        if (d.shift & 1) {
            if (d.level <= 125) d.level = uint8_t(d.level + 2);
        } else if (d.level >= 2) {
            d.level = uint8_t(d.level - 2);
        }
    }
    d.shift >>= 1;
    if (--d.bits == 0) {
        d.bits = 8;
        if (d.buffer_full) {
            d.silent = false;
            d.shift = d.buffer;
            d.buffer_full = false;
            dmc_fetch(a);
        } else {
            d.silent = true;
        }
    }
}

// ----------------------------------------------------------- frame counter

void quarter_frame(NesApu& a) {
    clock_envelope(a.registers[0x00], a.pulse[0].envelope);
    clock_envelope(a.registers[0x04], a.pulse[1].envelope);
    clock_envelope(a.registers[0x0C], a.noise.envelope);
    NesTriangle& t = a.triangle;
    if (t.linear_reload) t.linear = a.registers[0x08] & 0x7F;
    else if (t.linear > 0) t.linear--;
    if (!(a.registers[0x08] & 0x80)) t.linear_reload = false;
    triangle_rearm(a);
}

void half_frame(NesApu& a) {
    for (int i = 0; i < 2; i++) {
        NesPulse& p = a.pulse[i];
        if (!(a.registers[4 * i] & 0x20) && p.length > 0) p.length--;
        const uint8_t sweep = a.registers[4 * i + 1];
        if (p.sweep_divider == 0 && (sweep & 0x80) && (sweep & 7) && !pulse_muted(a, i))
            pulse_set_period(p, uint16_t(std::max(0, sweep_target(a, i))));
        if (p.sweep_divider == 0 || p.sweep_reload) {
            p.sweep_divider = (sweep >> 4) & 7;
            p.sweep_reload = false;
        } else {
            p.sweep_divider--;
        }
    }
    if (!(a.registers[0x08] & 0x80) && a.triangle.length > 0) a.triangle.length--;
    if (!(a.registers[0x0C] & 0x20) && a.noise.length > 0) a.noise.length--;
    triangle_rearm(a);
    noise_rearm(a);
}

// Cycles from now to the frame counter's next step.
uint32_t frame_step_in(const NesApu& a) {
    const uint32_t c = a.frame_cycle;
    const uint32_t end = a.five_step ? kFiveStepEnd : kFourStepEnd;
    if (c >= end) return 1;  // only after a damaged state: the next step wraps
    uint32_t next;
    if (c < kQuarter1) next = kQuarter1;
    else if (c < kHalf1) next = kHalf1;
    else if (c < kQuarter3) next = kQuarter3;
    else if (a.five_step) next = c < kFiveStepLast ? kFiveStepLast : kFiveStepEnd;
    else next = c < kFourStepIrq ? kFourStepIrq : c < kFourStepLast ? kFourStepLast : kFourStepEnd;
    return next - c;
}

void raise_frame_irq(NesApu& a) {
    if (!(a.registers[0x17] & 0x40)) a.frame_irq = true;
}

void frame_step(NesApu& a) {
    switch (a.frame_cycle) {
    case kQuarter1:
    case kQuarter3:
        quarter_frame(a);
        break;
    case kHalf1:
        quarter_frame(a);
        half_frame(a);
        break;
    default:
        if (a.five_step) {
            if (a.frame_cycle == kFiveStepLast) {
                quarter_frame(a);
                half_frame(a);
            } else if (a.frame_cycle >= kFiveStepEnd) {
                a.frame_cycle = 0;
            }
        } else if (a.frame_cycle == kFourStepIrq) {
            raise_frame_irq(a);
        } else if (a.frame_cycle == kFourStepLast) {
            quarter_frame(a);
            half_frame(a);
            raise_frame_irq(a);
        } else if (a.frame_cycle >= kFourStepEnd) {
            raise_frame_irq(a);
            a.frame_cycle = 0;
        }
        break;
    }
}

// The $4017 write takes effect: the sequence restarts, and the 5-step mode
// clocks the envelopes, lengths and sweeps at once.
void frame_counter_restart(NesApu& a) {
    a.five_step = a.frame_write_value & 0x80;
    a.frame_cycle = 0;
    if (a.five_step) {
        quarter_frame(a);
        half_frame(a);
    }
}

// Cycles to the earliest event of any timer or of the frame counter.
uint32_t next_event_in(const NesApu& a) {
    const uint32_t write_in = a.frame_write_delay > 0 ? a.frame_write_delay : kNesApuIdle;
    return std::min({a.pulse[0].timer, a.pulse[1].timer, a.triangle.timer, a.noise.timer, a.dmc.timer,
                     frame_step_in(a), write_in});
}

void settle(NesApu& a) {
    const uint32_t n = a.unsettled;
    if (n == 0) return;
    a.unsettled = 0;
    accumulate(a, n);  // the level held all along
    // No event lies inside: every timer is further away than `n`.
    for (uint32_t* timer : {&a.pulse[0].timer, &a.pulse[1].timer, &a.triangle.timer, &a.noise.timer, &a.dmc.timer})
        *timer = *timer > n ? *timer - n : 1;
    if (a.frame_write_delay > 0) a.frame_write_delay = a.frame_write_delay > n ? a.frame_write_delay - n : 1;
    a.frame_cycle += n;
    a.odd_cycle ^= (n & 1);
}

void load_length(NesApu& a, int channel, uint8_t& length, uint8_t value) {
    if (a.enabled & (1 << channel)) length = kLengths[value >> 3];
}

}  // namespace

// ------------------------------------------------------------------ mixer

int32_t nes_apu_mix(int pulse1, int pulse2, int triangle, int noise, int dmc) {
    pulse1 = std::clamp(pulse1, 0, 15);
    pulse2 = std::clamp(pulse2, 0, 15);
    triangle = std::clamp(triangle, 0, 15);
    noise = std::clamp(noise, 0, 15);
    dmc = std::clamp(dmc, 0, 127);
    return kPulseMix.level[pulse1 + pulse2] + int32_t(tnd_level(2 * triangle, noise, dmc) + 0.5f);
}

// ------------------------------------------------------------ the interface

void nes_apu_power_on(NesApu& a) {
    a.registers.fill(0);
    a.cycle = 0;
    a.frame_irq = a.dmc_irq = false;
    a.pulse[0] = a.pulse[1] = NesPulse{};
    a.triangle = NesTriangle{};
    a.noise = NesNoise{};
    a.dmc = NesDmc{};
    a.enabled = 0;
    a.frame_cycle = 0;
    a.frame_write_delay = 0;
    a.frame_write_value = 0;
    a.five_step = false;
    a.odd_cycle = false;
    a.unsettled = 0;
    a.stall_cycles = 0;
    a.level = 0;
    a.block_sum = 0;
    a.block_left = kNesApuBlockCycles;
    a.block_count = 0;
    a.pending.fill(0);
    a.pending_count = kNesApuLatency;
    update_level(a);
    // The mixer rests above zero (the triangle sits on 15): the converter
    // and the output stage start as if it had always been there, so power-on
    // makes no thump.
    a.phase = 0;
    a.outputs_since_phase = 0;
    a.lowpass = a.highpass90_in = float(a.level);
    a.highpass90_out = a.highpass440_in = a.highpass440_out = 0;
    a.history.fill(int16_t(a.level));
    a.history_position = 0;
    nes_apu_after_load(a);
}

// The reset button silences the channels and restarts the frame counter in
// its mode; the DMC's level keeps only its low bit.
void nes_apu_reset(NesApu& a) {
    nes_apu_write(a, 0x4015, 0);
    a.frame_irq = false;
    a.dmc_irq = false;
    a.dmc.level &= 1;
    a.frame_write_value = a.registers[0x17];
    a.frame_write_delay = 0;
    settle(a);
    frame_counter_restart(a);
    update_level(a);
    a.quiet = next_event_in(a);
}

void nes_apu_write(NesApu& a, uint16_t address, uint8_t value) {
    if (address < 0x4000 || address > 0x4017 || address == 0x4014 || address == 0x4016) return;
    settle(a);
    const unsigned r = address - 0x4000;
    a.registers[r] = value;
    switch (r) {
    case 0x00:
    case 0x04:
        break;  // duty, halt, volume: read from the register when used
    case 0x01:
    case 0x05:
        a.pulse[r >> 2].sweep_reload = true;
        break;
    case 0x02:
    case 0x06: {
        NesPulse& p = a.pulse[r >> 2];
        pulse_set_period(p, uint16_t((p.period & 0x700) | value));
        break;
    }
    case 0x03:
    case 0x07: {
        NesPulse& p = a.pulse[r >> 2];
        pulse_set_period(p, uint16_t((p.period & 0xFF) | (value & 7) << 8));
        load_length(a, int(r >> 2), p.length, value);
        p.step = 0;
        p.envelope.start = true;
        break;
    }
    case 0x08:
        break;
    case 0x0A:
        a.triangle.period = uint16_t((a.triangle.period & 0x700) | value);
        triangle_rearm(a);
        break;
    case 0x0B:
        a.triangle.period = uint16_t((a.triangle.period & 0xFF) | (value & 7) << 8);
        load_length(a, 2, a.triangle.length, value);
        a.triangle.linear_reload = true;
        triangle_rearm(a);
        break;
    case 0x0C:
    case 0x0E:
        break;
    case 0x0F:
        load_length(a, 3, a.noise.length, value);
        a.noise.envelope.start = true;
        noise_rearm(a);
        break;
    case 0x10:
        if (!(value & 0x80)) a.dmc_irq = false;
        break;
    case 0x11:
        a.dmc.level = value & 0x7F;  // direct load
        break;
    case 0x12:
    case 0x13:
        break;
    case 0x15:
        a.enabled = value & 0x0F;
        if (!(value & 1)) a.pulse[0].length = 0;
        if (!(value & 2)) a.pulse[1].length = 0;
        if (!(value & 4)) a.triangle.length = 0;
        if (!(value & 8)) a.noise.length = 0;
        a.dmc_irq = false;
        if (!(value & 0x10)) {
            a.dmc.remaining = 0;
        } else if (a.dmc.remaining == 0) {
            dmc_restart(a);
            dmc_fetch(a);
        }
        triangle_rearm(a);
        noise_rearm(a);
        break;
    case 0x17:
        // The new mode starts 3 or 4 cycles later (at the next APU cycle
        // boundary after the write); the IRQ inhibit acts at once.
        if (value & 0x40) a.frame_irq = false;
        a.frame_write_value = value;
        a.frame_write_delay = a.odd_cycle ? 4 : 3;
        break;
    default:
        break;
    }
    update_level(a);
    a.quiet = next_event_in(a);
}

uint8_t nes_apu_peek_status(const NesApu& a) {
    return uint8_t((a.pulse[0].length > 0) | (a.pulse[1].length > 0) << 1 | (a.triangle.length > 0) << 2 |
                   (a.noise.length > 0) << 3 | (a.dmc.remaining > 0) << 4 | a.frame_irq << 6 | a.dmc_irq << 7);
}

uint8_t nes_apu_read_status(NesApu& a) {
    const uint8_t s = nes_apu_peek_status(a);
    a.frame_irq = false;
    return s;
}

void nes_apu_sync(NesApu& a) {
    settle(a);
    a.quiet = next_event_in(a);
}

void nes_apu_run(NesApu& a, uint32_t cycles) {
    a.cycle += cycles;
    if (cycles < a.quiet) {
        // Nothing happens: the level stays; the cycles are charged to the
        // timers and the output later, at once.
        a.quiet -= cycles;
        a.unsettled += cycles;
        return;
    }
    settle(a);
    while (cycles > 0) {
        const uint32_t step_in = frame_step_in(a);
        const uint32_t write_in = a.frame_write_delay > 0 ? a.frame_write_delay : kNesApuIdle;
        const uint32_t n = std::min({cycles, a.pulse[0].timer, a.pulse[1].timer, a.triangle.timer,
                                     a.noise.timer, a.dmc.timer, step_in, write_in});
        accumulate(a, n);
        cycles -= n;
        a.odd_cycle ^= (n & 1);
        a.frame_cycle += n;
        bool changed = false;
        for (NesPulse& p : a.pulse) {
            p.timer -= n;
            if (p.timer == 0) {
                if (p.period < 8) {
                    p.timer = kNesApuIdle;
                } else {
                    // Only a change of the duty bit can change the level.
                    const uint8_t* duty = kDuty[a.registers[&p == &a.pulse[0] ? 0 : 4] >> 6];
                    const uint8_t before = duty[p.step];
                    p.step = (p.step + 1) & 7;
                    p.timer = pulse_timer_period(p);
                    changed |= duty[p.step] != before;
                }
            }
        }
        NesTriangle& t = a.triangle;
        t.timer -= n;
        if (t.timer == 0) {
            t.timer = kNesApuIdle;
            if (triangle_running(a) && !triangle_ultrasonic(a)) {
                t.step = (t.step + 1) & 31;
                t.timer = t.period + 1u;
                changed = true;
            }
        }
        NesNoise& z = a.noise;
        z.timer -= n;
        if (z.timer == 0) {
            const int tap = (a.registers[0x0E] & 0x80) ? 6 : 1;
            const uint16_t feedback = (z.shift ^ (z.shift >> tap)) & 1;
            const uint16_t before = z.shift;
            z.shift = uint16_t(z.shift >> 1 | feedback << 14);
            z.timer = kNesApuIdle;
            noise_rearm(a);
            changed |= ((z.shift ^ before) & 1) != 0;
        }
        a.dmc.timer -= n;
        if (a.dmc.timer == 0) {
            const uint8_t before = a.dmc.level;
            dmc_clock(a);
            a.dmc.timer = kDmcPeriods[a.registers[0x10] & 0x0F];
            changed |= a.dmc.level != before;
        }
        if (n == step_in) {
            frame_step(a);
            changed = true;
        }
        if (a.frame_write_delay > 0) {
            a.frame_write_delay -= n;
            if (a.frame_write_delay == 0) {
                frame_counter_restart(a);
                changed = true;
            }
        }
        if (changed) update_level(a);
    }
    a.quiet = next_event_in(a);
}

uint32_t nes_apu_take_stall(NesApu& a) {
    const uint32_t s = a.stall_cycles;
    a.stall_cycles = 0;
    return s;
}

void nes_apu_frame_end(NesApu& a, int16_t* out, uint32_t frames) {
    settle(a);
    for (uint32_t* timer : {&a.pulse[0].timer, &a.pulse[1].timer, &a.triangle.timer, &a.noise.timer})
        if (idle(*timer)) *timer = kNesApuIdle;
    a.quiet = next_event_in(a);
    flush_blocks(a);
    const uint32_t available = std::min(frames, a.pending_count);
    for (uint32_t i = 0; i < available; i++) out[2 * i] = out[2 * i + 1] = a.pending[i];
    // Should the converter ever fall short, the last level holds.
    const int16_t last = available ? a.pending[available - 1] : 0;
    for (uint32_t i = available; i < frames; i++) out[2 * i] = out[2 * i + 1] = last;
    std::copy(a.pending.begin() + available, a.pending.begin() + a.pending_count, a.pending.begin());
    a.pending_count -= available;
    // The side's frame lengths and the converter's rate agree only on
    // average; output piling up beyond three latencies is dropped.
    if (a.pending_count > 3 * uint32_t(kNesApuLatency)) {
        const uint32_t excess = a.pending_count - kNesApuLatency;
        std::copy(a.pending.begin() + excess, a.pending.begin() + a.pending_count, a.pending.begin());
        a.pending_count -= excess;
    }
    a.cycle = 0;
}

// The converter cannot be saved: a new one is fed the last blocks again,
// from a block count that was a multiple of the phase (so its phase matches
// the old one's), and the output frames the old one had already made from
// them are dropped. Power-on starts the same way from a history of the
// resting level.
void nes_apu_after_load(NesApu& a) {
    settle(a);
    update_level(a);
    a.quiet = next_event_in(a);
    // A damaged state's filter memories could hold anything.
    for (float* f : {&a.lowpass, &a.highpass90_in, &a.highpass90_out, &a.highpass440_in, &a.highpass440_out})
        if (!std::isfinite(*f) || std::fabs(*f) > 1e6f) *f = 0;
    ensure_converter(a);
    soxr_clear(a.converter.get());
    const uint32_t replay = uint32_t(kNesApuReplayPhases * kNesApuPhaseBlocks + a.phase);
    a.drop_outputs = uint32_t(std::max(0, kNesApuReplayPhases * kNesApuPhaseOutputs + a.outputs_since_phase));
    a.phase = 0;
    a.outputs_since_phase = 0;
    int16_t chunk[512];
    uint32_t at = (a.history_position + kNesApuHistory - replay) & (kNesApuHistory - 1);
    for (uint32_t left = replay; left > 0;) {
        const uint32_t n = std::min<uint32_t>(left, std::size(chunk));
        for (uint32_t i = 0; i < n; i++) {
            chunk[i] = a.history[at];
            at = (at + 1) & (kNesApuHistory - 1);
        }
        convert(a, chunk, n, false);
        left -= n;
    }
}

}  // namespace vt
