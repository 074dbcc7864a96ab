// The sound generator's save-state layouts: the 128-byte register file of
// the shared "SDSP" chunk, and the playing state beside it, without which a
// loaded state would fall silent until the program keys its voices on again
// and would lose the echo's tail.
#include <algorithm>

#include "audio/brr.h"
#include "audio/dsp.h"
#include "audio/dsp_tables.h"
#include "core/machine.h"
#include "core/state_io.h"

namespace vt {

namespace {

constexpr int32_t kLongestPeriod = kDspRatePeriods[0];
constexpr uint8_t kModeCount = uint8_t(EnvelopeMode::gain) + 1;
// Volumes are sign-extended bytes, or +128 after power-on.
constexpr int32_t kVolumeLow = -128;
constexpr int32_t kVolumeHigh = 128;

inline int32_t sign_extend(uint8_t v) { return int8_t(v); }

// Position and phase bound the sample index: a frame starts with the
// position below two blocks and the phase within one source sample, so
// after the block step the index stays inside the sample buffer.
template <class Io, class Voice>
void voice_io(Io& io, Voice& v) {
    io.i32_within(v.volume_left, kVolumeLow, kVolumeHigh);
    io.i32_within(v.volume_right, kVolumeLow, kVolumeHigh);
    io.u16(v.directory_offset);
    io.u16(v.block_address);
    io.u8_masked(v.block_flags, kBrrEnd | kBrrLoop);
    for (auto& s : v.samples) io.i32(s);
    io.i32(v.prev1);
    io.i32(v.prev2);
    io.u8(v.position);
    io.i16_within(v.phase, -kDspPhaseStep, 0);
    io.i32_within(v.envelope, 0, kEnvelopeMax);
    io.enum8(v.mode, kModeCount, EnvelopeMode::gain);
    io.i32_within(v.countdown, 0, kLongestPeriod);
    io.i32_within(v.attack_period, 0, kLongestPeriod);
    io.i32_within(v.decay_period, 0, kLongestPeriod);
    io.i32_within(v.sustain_period, 0, kLongestPeriod);
    io.i32_within(v.sustain_level, 0, kSustainAtMaximum);
    io.i32_within(v.gain_period, 0, kLongestPeriod);
    io.u8_masked(v.gain_mode, 7);
    io.i32(v.output);
    if constexpr (Io::loading) {
        if (v.position >= 2 * kBrrBlockSamples) v.position = uint8_t(kBrrBlockSamples);
    }
}

}  // namespace

template <class Io>
void dsp_registers_io(Io& io, IoMachine<Io>& m) {
    io.bytes(m.dsp.regs);
    if constexpr (Io::loading) dsp_refresh_from_registers(m);
}

template <class Io>
void dsp_playback_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.dsp;
    for (auto& v : d.voices) voice_io(io, v);
    io.u8(d.active);
    io.i32_within(d.main_left, kVolumeLow, kVolumeHigh);
    io.i32_within(d.main_right, kVolumeLow, kVolumeHigh);
    io.i32_within(d.echo_volume_left, kVolumeLow, kVolumeHigh);
    io.i32_within(d.echo_volume_right, kVolumeLow, kVolumeHigh);
    io.i32_within(d.echo_feedback, kVolumeLow, kVolumeHigh);
    io.u16(d.echo_length);
    io.u16(d.echo_position);
    for (auto& e : d.echo_left) io.i32(e);
    for (auto& e : d.echo_right) io.i32(e);
    if constexpr (Io::loading) {
        // The mixer wraps the position once it reaches the length, so a
        // length within the buffers keeps every access inside them.
        d.echo_length = std::min<uint16_t>(d.echo_length, uint16_t(d.echo_left.size()));
    }
}

template void dsp_registers_io(StateWriter&, const Machine&);
template void dsp_registers_io(StateReader&, Machine&);
template void dsp_playback_io(StateWriter&, const Machine&);
template void dsp_playback_io(StateReader&, Machine&);

void dsp_save_playback(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    dsp_playback_io(w, m);
}

void dsp_load_playback(Machine& m, const uint8_t* in) {
    StateReader r{in};
    dsp_playback_io(r, m);
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
