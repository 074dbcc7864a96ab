// The sound generator's playing state beside its register file, for saved
// states: without it a loaded state would fall silent until the program
// keys its voices on again, and would lose the echo's tail.
#include <algorithm>

#include "audio/brr.h"
#include "audio/dsp.h"
#include "audio/dsp_tables.h"
#include "core/byte_stream.h"
#include "core/machine.h"

namespace vt {

namespace {

using Writer = ByteWriter;

struct Reader : ByteReader {
    // A value the generator only ever holds within [low, high].
    int32_t i32_within(int32_t low, int32_t high) { return std::clamp(i32(), low, high); }
};

constexpr int32_t kLongestPeriod = kDspRatePeriods[0];
constexpr uint8_t kModeCount = uint8_t(EnvelopeMode::gain) + 1;
// Volumes are sign-extended bytes, or +128 after power-on.
constexpr int32_t kVolumeLow = -128;
constexpr int32_t kVolumeHigh = 128;

void save_voice(Writer& w, const DspVoice& v) {
    w.i32(v.volume_left);
    w.i32(v.volume_right);
    w.u16(v.directory_offset);
    w.u16(v.block_address);
    w.u8(v.block_flags);
    for (int32_t s : v.samples) w.i32(s);
    w.i32(v.prev1);
    w.i32(v.prev2);
    w.u8(v.position);
    w.u16(uint16_t(v.phase));
    w.i32(v.envelope);
    w.u8(uint8_t(v.mode));
    w.i32(v.countdown);
    w.i32(v.attack_period);
    w.i32(v.decay_period);
    w.i32(v.sustain_period);
    w.i32(v.sustain_level);
    w.i32(v.gain_period);
    w.u8(v.gain_mode);
    w.i32(v.output);
}

// Position and phase bound the sample index: a frame starts with the
// position below two blocks and the phase within one source sample, so
// after the block step the index stays inside the sample buffer.
void load_voice(Reader& r, DspVoice& v) {
    v.volume_left = r.i32_within(kVolumeLow, kVolumeHigh);
    v.volume_right = r.i32_within(kVolumeLow, kVolumeHigh);
    v.directory_offset = r.u16();
    v.block_address = r.u16();
    v.block_flags = r.u8() & (kBrrEnd | kBrrLoop);
    for (int32_t& s : v.samples) s = r.i32();
    v.prev1 = r.i32();
    v.prev2 = r.i32();
    const uint8_t position = r.u8();
    v.position = position < 2 * kBrrBlockSamples ? position : uint8_t(kBrrBlockSamples);
    v.phase = int16_t(std::clamp<int32_t>(int16_t(r.u16()), -kDspPhaseStep, 0));
    v.envelope = r.i32_within(0, kEnvelopeMax);
    const uint8_t mode = r.u8();
    v.mode = mode < kModeCount ? EnvelopeMode(mode) : EnvelopeMode::gain;
    v.countdown = r.i32_within(0, kLongestPeriod);
    v.attack_period = r.i32_within(0, kLongestPeriod);
    v.decay_period = r.i32_within(0, kLongestPeriod);
    v.sustain_period = r.i32_within(0, kLongestPeriod);
    v.sustain_level = r.i32_within(0, kSustainAtMaximum);
    v.gain_period = r.i32_within(0, kLongestPeriod);
    v.gain_mode = r.u8() & 7;
    v.output = r.i32();
}

inline int32_t sign_extend(uint8_t v) { return int8_t(v); }

}  // namespace

void dsp_save_playback(const Machine& m, uint8_t* out) {
    const Dsp& d = m.dsp;
    Writer w{out};
    for (const DspVoice& v : d.voices) save_voice(w, v);
    w.u8(d.active);
    w.i32(d.main_left);
    w.i32(d.main_right);
    w.i32(d.echo_volume_left);
    w.i32(d.echo_volume_right);
    w.i32(d.echo_feedback);
    w.u16(d.echo_length);
    w.u16(d.echo_position);
    for (int32_t e : d.echo_left) w.i32(e);
    for (int32_t e : d.echo_right) w.i32(e);
}

void dsp_load_playback(Machine& m, const uint8_t* in) {
    Dsp& d = m.dsp;
    Reader r{{in}};
    for (DspVoice& v : d.voices) load_voice(r, v);
    d.active = r.u8();
    d.main_left = r.i32_within(kVolumeLow, kVolumeHigh);
    d.main_right = r.i32_within(kVolumeLow, kVolumeHigh);
    d.echo_volume_left = r.i32_within(kVolumeLow, kVolumeHigh);
    d.echo_volume_right = r.i32_within(kVolumeLow, kVolumeHigh);
    d.echo_feedback = r.i32_within(kVolumeLow, kVolumeHigh);
    // The mixer wraps the position once it reaches the length, so a length
    // within the buffers keeps every access inside them.
    d.echo_length = std::min<uint16_t>(r.u16(), uint16_t(d.echo_left.size()));
    d.echo_position = r.u16();
    for (int32_t& e : d.echo_left) e = r.i32();
    for (int32_t& e : d.echo_right) e = r.i32();
}

void dsp_refresh_from_registers(Machine& m) {
    Dsp& d = m.dsp;
    for (int n = 0; n < kDspVoices; n++) {
        DspVoice& v = d.voices[n];
        const uint8_t* regs = &d.regs[size_t(n) << 4];
        v.volume_left = sign_extend(regs[kVoiceVolL]);
        v.volume_right = sign_extend(regs[kVoiceVolR]);
        v.directory_offset = uint16_t(regs[kVoiceSrcn] * 4);
        v.attack_period = kDspAttackPeriods[regs[kVoiceAdsr1] & 0x0F];
        v.decay_period = kDspDecayPeriods[(regs[kVoiceAdsr1] >> 4) & 0x07];
        v.sustain_period = kDspRatePeriods[regs[kVoiceAdsr2] & 0x1F];
        v.sustain_level = kDspSustainLevels[regs[kVoiceAdsr2] >> 5];
        v.gain_period = kDspRatePeriods[regs[kVoiceGain] & 0x1F];
        v.gain_mode = regs[kVoiceGain] >> 5;
    }
    d.main_left = sign_extend(d.regs[kDspMvolL]);
    d.main_right = sign_extend(d.regs[kDspMvolR]);
    d.echo_volume_left = sign_extend(d.regs[kDspEvolL]);
    d.echo_volume_right = sign_extend(d.regs[kDspEvolR]);
    d.echo_feedback = sign_extend(d.regs[kDspEfb]);
    d.echo_length = uint16_t((d.regs[kDspEdl] & 0x0F) * 16 + 16);
}

}  // namespace vt
