// The sound generator's register file, its per-line sample generation, the
// mixer with the echo, and the per-frame output buffers.
#include "audio/dsp.h"

#include <algorithm>

#include "audio/dsp_tables.h"
#include "audio/dsp_voice.h"
#include "core/machine.h"

namespace vt {

namespace {

// ---------------------------------------------------------------------------
// Register write handlers: the byte is already stored in the register file.

using DspWriteHandler = void (*)(Machine&, uint8_t reg, uint8_t value);

inline DspVoice& voice_of(Machine& m, uint8_t reg) { return m.dsp.voices[reg >> 4]; }
inline int32_t sign_extend(uint8_t v) { return int8_t(v); }

// A period change takes effect at once: a voice waiting out a long period
// does not wait longer than the new one.
inline void shorten_countdown(DspVoice& v) { v.countdown = std::min(v.countdown, dsp_envelope_period(v)); }

void write_none(Machine&, uint8_t, uint8_t) {}

void write_vol_left(Machine& m, uint8_t reg, uint8_t value) { voice_of(m, reg).volume_left = sign_extend(value); }

void write_vol_right(Machine& m, uint8_t reg, uint8_t value) {
    voice_of(m, reg).volume_right = sign_extend(value);
}

// The pitch is 14 bits; the voice reads it from the register file.
void write_pitch_high(Machine& m, uint8_t reg, uint8_t value) { m.dsp.regs[reg] = value & 0x3F; }

void write_srcn(Machine& m, uint8_t reg, uint8_t value) { voice_of(m, reg).directory_offset = uint16_t(value * 4); }

// Clearing bit 7 moves a sounding voice into GAIN mode at once; setting it
// takes effect at the next key on.
void write_adsr1(Machine& m, uint8_t reg, uint8_t value) {
    DspVoice& v = voice_of(m, reg);
    v.attack_period = kDspAttackPeriods[value & 0x0F];
    v.decay_period = kDspDecayPeriods[(value >> 4) & 0x07];
    if (!(value & 0x80) && v.mode != EnvelopeMode::release && v.mode != EnvelopeMode::gain) {
        v.mode = EnvelopeMode::gain;
        v.countdown = v.gain_period;
    }
    shorten_countdown(v);
}

void write_adsr2(Machine& m, uint8_t reg, uint8_t value) {
    DspVoice& v = voice_of(m, reg);
    v.sustain_period = kDspRatePeriods[value & 0x1F];
    v.sustain_level = kDspSustainLevels[value >> 5];
    shorten_countdown(v);
}

void write_gain(Machine& m, uint8_t reg, uint8_t value) {
    DspVoice& v = voice_of(m, reg);
    v.gain_period = kDspRatePeriods[value & 0x1F];
    v.gain_mode = value >> 5;
    shorten_countdown(v);
}

void write_mvol_left(Machine& m, uint8_t, uint8_t value) { m.dsp.main_left = sign_extend(value); }
void write_mvol_right(Machine& m, uint8_t, uint8_t value) { m.dsp.main_right = sign_extend(value); }
void write_evol_left(Machine& m, uint8_t, uint8_t value) { m.dsp.echo_volume_left = sign_extend(value); }
void write_evol_right(Machine& m, uint8_t, uint8_t value) { m.dsp.echo_volume_right = sign_extend(value); }
void write_efb(Machine& m, uint8_t, uint8_t value) { m.dsp.echo_feedback = sign_extend(value); }
void write_edl(Machine& m, uint8_t, uint8_t value) { m.dsp.echo_length = uint16_t((value & 0x0F) * 16 + 16); }

void write_kon(Machine& m, uint8_t, uint8_t value) {
    for (int n = 0; n < kDspVoices; n++) {
        if (value & (1 << n)) dsp_key_on(m, n);
    }
}

void write_koff(Machine& m, uint8_t, uint8_t value) {
    for (int n = 0; n < kDspVoices; n++) {
        if (value & (1 << n)) dsp_release(m.dsp, n);
    }
}

// Soft reset and mute both release every voice; bit 5 (echo off) is read
// by the mixer from the register file.
void write_flg(Machine& m, uint8_t, uint8_t value) {
    if (!(value & (kFlgReset | kFlgMute))) return;
    for (int n = 0; n < kDspVoices; n++) dsp_release(m.dsp, n);
}

void write_endx(Machine& m, uint8_t, uint8_t) { m.dsp.regs[kDspEndx] = 0; }

constexpr std::array<DspWriteHandler, 128> make_write_table() {
    std::array<DspWriteHandler, 128> t{};
    t.fill(&write_none);
    for (int v = 0; v < kDspVoices; v++) {
        const int base = v << 4;
        t[base + kVoiceVolL] = &write_vol_left;
        t[base + kVoiceVolR] = &write_vol_right;
        t[base + kVoicePitchH] = &write_pitch_high;
        t[base + kVoiceSrcn] = &write_srcn;
        t[base + kVoiceAdsr1] = &write_adsr1;
        t[base + kVoiceAdsr2] = &write_adsr2;
        t[base + kVoiceGain] = &write_gain;
    }
    t[kDspMvolL] = &write_mvol_left;
    t[kDspMvolR] = &write_mvol_right;
    t[kDspEvolL] = &write_evol_left;
    t[kDspEvolR] = &write_evol_right;
    t[kDspKon] = &write_kon;
    t[kDspKoff] = &write_koff;
    t[kDspFlg] = &write_flg;
    t[kDspEndx] = &write_endx;
    t[kDspEfb] = &write_efb;
    t[kDspEdl] = &write_edl;
    return t;
}

constexpr std::array<DspWriteHandler, 128> kWriteHandlers = make_write_table();

inline int16_t clamp16(int64_t v) { return int16_t(std::clamp<int64_t>(v, -32768, 32767)); }
inline int32_t clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

}  // namespace

void dsp_power_on(Machine& m) {
    Dsp& d = m.dsp;
    m.apu.io[kIoDspAddress] = 0;
    d.regs.fill(0);
    for (int v = 0; v < kDspVoices; v++) {
        d.regs[v << 4 | kVoiceVolL] = 0x80;
        d.regs[v << 4 | kVoiceVolR] = 0x80;
        DspVoice& voice = d.voices[v];
        voice = DspVoice{};
        // Volumes +128, not the register's sign-extended value.
        voice.volume_left = voice.volume_right = 128;
        voice.attack_period = kDspAttackPeriods[0];
        voice.decay_period = kDspDecayPeriods[0];
        voice.sustain_period = kDspRatePeriods[0];
        voice.sustain_level = kDspSustainLevels[0];
        voice.gain_period = kDspRatePeriods[0];
        voice.gain_mode = 0;
        voice.mode = EnvelopeMode::gain;
    }
    d.regs[kDspMvolL] = 0x80;
    d.regs[kDspMvolR] = 0x80;
    d.regs[kDspFlg] = kFlgReset | kFlgMute | kFlgEchoOff;
    d.main_left = d.main_right = 128;
    d.echo_volume_left = d.echo_volume_right = 0;
    d.echo_feedback = 0;
    d.echo_length = 0;
    d.echo_position = 0;
    d.echo_left.fill(0);
    d.echo_right.fill(0);
    d.active = 0;
    d.frame_position = 0;
    d.finished_frames = 0;
    d.filling = 0;
}

uint8_t dsp_read(Machine& m, uint8_t address) {
    const Dsp& d = m.dsp;
    const uint8_t reg = address & 0x7F;
    switch (reg & 0x0F) {
    case kVoiceEnvx: return uint8_t(d.voices[reg >> 4].envelope >> 8);
    case kVoiceOutx: return uint8_t(d.voices[reg >> 4].output >> 8);
    default: return d.regs[reg];
    }
}

void dsp_write(Machine& m, uint8_t address, uint8_t value) {
    const uint8_t reg = address & 0x7F;
    m.dsp.regs[reg] = value;
    kWriteHandlers[reg](m, reg, value);
}

void dsp_generate_frame(Machine& m, int16_t& left, int16_t& right) {
    Dsp& d = m.dsp;
    const uint8_t* ram = m.apu.ram.data();
    DspSums sums;
    for (int n = 0; n < kDspVoices; n++) {
        if (d.active & (1 << n)) dsp_voice_frame(d, ram, n, sums);
    }

    int64_t out_left = (sums.left * d.main_left) >> 14;
    int64_t out_right = (sums.right * d.main_right) >> 14;
    const bool echo_on = !(d.regs[kDspFlg] & kFlgEchoOff);
    if (echo_on) {
        if (d.echo_position >= d.echo_length) d.echo_position = 0;
        const int pos = d.echo_position;
        out_left += (int64_t(d.echo_left[pos]) * d.echo_volume_left) >> 7;
        out_right += (int64_t(d.echo_right[pos]) * d.echo_volume_right) >> 7;
        // The echo memory is held in 32 bits; a feedback loop that would
        // grow past that saturates instead of wrapping.
        d.echo_left[pos] = clamp32((int64_t(d.echo_left[pos]) * d.echo_feedback + sums.echo_left) >> 7);
        d.echo_right[pos] = clamp32((int64_t(d.echo_right[pos]) * d.echo_feedback + sums.echo_right) >> 7);
        d.echo_position++;
    }
    left = clamp16(out_left);
    right = clamp16(out_right);
}

void dsp_line_step(Machine& m) {
    Dsp& d = m.dsp;
    int16_t* out = d.buffers[d.filling].data();
    for (int i = 0; i < kDspFramesPerLine; i++) {
        int16_t left, right;
        dsp_generate_frame(m, left, right);
        if (d.frame_position < kDspMaxFrames) {
            out[2 * d.frame_position] = left;
            out[2 * d.frame_position + 1] = right;
            d.frame_position++;
        }
    }
}

void dsp_frame_end(Machine& m) {
    Dsp& d = m.dsp;
    d.finished_frames = d.frame_position;
    d.filling ^= 1;
    d.frame_position = 0;
}

DspSamples dsp_finished_samples(const Machine& m) {
    const Dsp& d = m.dsp;
    return {d.buffers[d.filling ^ 1].data(), d.finished_frames};
}

}  // namespace vt
