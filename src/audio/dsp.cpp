// The sound generator's register file, its 32 kHz sample, the per-line
// steps and the per-frame output.
#include "audio/dsp.h"

#include <algorithm>

#include "audio/apu.h"
#include "audio/dsp_echo.h"
#include "audio/dsp_rates.h"
#include "audio/dsp_voice.h"
#include "core/machine.h"

namespace vt {

namespace {

// ---------------------------------------------------------------------------
// Register writes: the byte is stored first; the voices read the register
// file directly, so only two registers do more.

using DspWriteHandler = void (*)(Machine&, uint8_t value);

void write_none(Machine&, uint8_t) {}

// A KON write waits for the next poll; a second write before it replaces it.
void write_kon(Machine& m, uint8_t value) { m.dsp.new_kon = value; }

// Any write clears every ENDX bit.
void write_endx(Machine& m, uint8_t) { m.dsp.regs[kDspEndx] = 0; }

constexpr std::array<DspWriteHandler, 128> make_write_table() {
    std::array<DspWriteHandler, 128> t{};
    t.fill(&write_none);
    t[kDspKon] = &write_kon;
    t[kDspEndx] = &write_endx;
    return t;
}

constexpr std::array<DspWriteHandler, 128> kWriteHandlers = make_write_table();

// The end of a sample: the key registers are polled every other sample
// (KON bits taken at one poll are dropped from the waiting KON at the
// next), the rate counter moves on and the noise generator steps at its
// rate (FLG bits 0-4).
void end_of_sample(Dsp& d) {
    d.every_other_sample ^= 1;
    if (d.every_other_sample) {
        d.new_kon &= uint8_t(~d.kon);
        d.kon = d.new_kon;
        d.koff = d.regs[kDspKoff];
    }
    d.rate_counter = d.rate_counter == 0 ? uint16_t(kRateCounterRange - 1) : uint16_t(d.rate_counter - 1);
    if (dsp_rate_fires(d.regs[kDspFlg] & kFlgNoiseRate, d.rate_counter)) {
        const int feedback = (d.noise << 13) ^ (d.noise << 14);
        d.noise = uint16_t((feedback & 0x4000) ^ (d.noise >> 1));
    }
}

}  // namespace

void dsp_power_on(Machine& m) {
    Dsp& d = m.dsp;
    m.apu.io[kIoDspAddress] = 0;
    d.regs.fill(0);
    for (int v = 0; v < kDspVoices; v++) {
        d.regs[v << 4 | kVoiceVolL] = 0x80;
        d.regs[v << 4 | kVoiceVolR] = 0x80;
        d.voices[v] = DspVoice{};
    }
    d.regs[kDspMvolL] = 0x80;
    d.regs[kDspMvolR] = 0x80;
    d.regs[kDspFlg] = kFlgReset | kFlgMute | kFlgEchoOff;
    d.new_kon = d.kon = d.koff = 0;
    d.every_other_sample = 1;
    d.rate_counter = 0;
    d.noise = 0x4000;
    d.echo_page = 0;
    d.echo_offset = 0;
    d.echo_length = 0;
    d.echo_history_position = 0;
    d.echo_history = {};
    d.native_phase = 0;
    d.native_count = 0;
    resampler_power_on(d.resampler);
    d.frame_position = 0;
    d.finished_frames = 0;
    d.filling = 0;
}

uint8_t dsp_read(Machine& m, uint8_t address) { return m.dsp.regs[address & 0x7F]; }

void dsp_write(Machine& m, uint8_t address, uint8_t value) {
    const uint8_t reg = address & 0x7F;
    m.dsp.regs[reg] = value;
    kWriteHandlers[reg](m, value);
}

void dsp_run_sample(Machine& m, int16_t& left, int16_t& right) {
    Dsp& d = m.dsp;
    uint8_t* ram = m.apu.ram.data();
    DspMix mix;
    dsp_run_voices(d, ram, dsp_rates_firing(d.rate_counter), mix);
    dsp_run_echo(d, ram, mix, left, right);
    end_of_sample(d);
}

// A sound line stands for three output frames, 3 / 44,100 s: the samples
// that fall into it at 32,000 a second (two or three).
void dsp_line_step(Machine& m) {
    Dsp& d = m.dsp;
    d.native_phase += kDspFramesPerLine * kDspNativeRate;
    while (d.native_phase >= uint32_t(kDspSampleRate)) {
        d.native_phase -= kDspSampleRate;
        int16_t left, right;
        dsp_run_sample(m, left, right);
        if (d.native_count < kDspMaxNativeSamples) {
            d.native[2 * d.native_count] = left;
            d.native[2 * d.native_count + 1] = right;
            d.native_count++;
        }
    }
    d.frame_position = std::min(d.frame_position + kDspFramesPerLine, kDspMaxFrames);
}

void dsp_frame_end(Machine& m) {
    Dsp& d = m.dsp;
    resampler_push(d.resampler, d.native.data(), d.native_count);
    resampler_pop(d.resampler, d.buffers[d.filling].data(), d.frame_position);
    d.finished_frames = d.frame_position;
    d.filling ^= 1;
    d.frame_position = 0;
    d.native_count = 0;
}

DspSamples dsp_finished_samples(const Machine& m) {
    const Dsp& d = m.dsp;
    return {d.buffers[d.filling ^ 1].data(), d.finished_frames};
}

uint8_t dsp_sounding_voices(const Dsp& d) {
    uint8_t mask = 0;
    for (int n = 0; n < kDspVoices; n++) {
        const DspVoice& v = d.voices[n];
        if (v.key_on_delay || v.envelope > 0 || v.mode != EnvelopeMode::release) mask |= uint8_t(1 << n);
    }
    return mask;
}

}  // namespace vt
