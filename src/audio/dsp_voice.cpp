#include "audio/dsp_voice.h"

#include <algorithm>

#include "audio/brr.h"
#include "audio/dsp_tables.h"
#include "core/machine.h"

namespace vt {

namespace {

inline uint16_t ram_word(const uint8_t* ram, uint16_t addr) {
    return uint16_t(ram[addr] | ram[uint16_t(addr + 1)] << 8);
}

// The voice's entry in the sample directory: start address at +0, loop
// address at +2.
inline uint16_t directory_entry(const Dsp& d, const DspVoice& v, int offset) {
    return uint16_t(d.regs[kDspDir] * 256 + v.directory_offset + offset);
}

inline uint8_t voice_reg(const Dsp& d, int voice, int reg) { return d.regs[voice << 4 | reg]; }

void decode_next_block(DspVoice& v, const uint8_t* ram) {
    uint8_t block[kBrrBlockBytes];
    for (int i = 0; i < kBrrBlockBytes; i++) block[i] = ram[uint16_t(v.block_address + i)];
    v.block_flags = block[0] & (kBrrEnd | kBrrLoop);
    brr_decode_block(block, v.samples.data(), v.prev1, v.prev2);
    v.block_address = uint16_t(v.block_address + kBrrBlockBytes);
}

void enter_mode(DspVoice& v, EnvelopeMode mode) {
    v.mode = mode;
    v.countdown = dsp_envelope_period(v);
}

void gain_step(DspVoice& v) {
    switch (v.gain_mode) {
    case kGainLinearDecrease: v.envelope = std::max(v.envelope - 512, 0); break;
    case kGainExpDecrease: v.envelope -= v.envelope >> 8; break;
    case kGainLinearIncrease: v.envelope = std::min(v.envelope + 512, kEnvelopeMax); break;
    case kGainBentIncrease:
        v.envelope = std::min(v.envelope + (v.envelope < 24576 ? 512 : 128), kEnvelopeMax);
        break;
    default: break;
    }
}

// Once per output frame. Release and the direct GAIN modes act every frame;
// the other modes step when their countdown expires.
void envelope_step(Dsp& d, int voice) {
    DspVoice& v = d.voices[voice];
    if (v.mode == EnvelopeMode::release) {
        v.envelope -= 128;
        if (v.envelope < 0) {
            v.envelope = 0;
            v.output = 0;
            d.active &= uint8_t(~(1 << voice));
        }
        return;
    }
    if (v.mode == EnvelopeMode::gain && v.gain_mode < kGainLinearDecrease) {
        v.envelope = (voice_reg(d, voice, kVoiceGain) & 0x7F) * 256;
        return;
    }
    if (--v.countdown > 0) return;
    v.countdown = dsp_envelope_period(v);

    switch (v.mode) {
    case EnvelopeMode::attack:
        v.envelope += 512;
        if (v.envelope > kEnvelopeMax) {
            v.envelope = kEnvelopeMax;
            enter_mode(v, v.sustain_level == kSustainAtMaximum ? EnvelopeMode::sustain : EnvelopeMode::decay);
        }
        break;
    case EnvelopeMode::decay:
        if (v.envelope > v.sustain_level) v.envelope -= v.envelope >> 8;
        if (v.envelope <= v.sustain_level) enter_mode(v, EnvelopeMode::sustain);
        break;
    case EnvelopeMode::sustain: v.envelope -= v.envelope >> 8; break;
    case EnvelopeMode::gain: gain_step(v); break;
    case EnvelopeMode::release: break;
    }
}

}  // namespace

int32_t dsp_envelope_period(const DspVoice& v) {
    switch (v.mode) {
    case EnvelopeMode::attack: return v.attack_period;
    case EnvelopeMode::decay: return v.decay_period;
    case EnvelopeMode::sustain: return v.sustain_period;
    case EnvelopeMode::gain: return v.gain_period;
    case EnvelopeMode::release: return 1;
    }
    return 1;
}

// The envelope level is kept: a voice keyed on again attacks from where it
// is. GAIN mode with bit 6 clear (direct values below $40, the decrease
// modes) starts from the maximum.
void dsp_key_on(Machine& m, int voice) {
    Dsp& d = m.dsp;
    DspVoice& v = d.voices[voice];
    d.active |= uint8_t(1 << voice);
    v.block_address = ram_word(m.apu.ram.data(), directory_entry(d, v, 0));
    v.phase = int16_t(-kDspPhaseStep);
    v.block_flags = 0;
    v.position = kBrrBlockSamples;  // decode the first block before the first sample
    if (voice_reg(d, voice, kVoiceAdsr1) & 0x80) {
        enter_mode(v, EnvelopeMode::attack);
    } else {
        enter_mode(v, EnvelopeMode::gain);
        if (!(voice_reg(d, voice, kVoiceGain) & 0x40)) v.envelope = kEnvelopeMax;
    }
    d.regs[kDspEndx] &= uint8_t(~(1 << voice));
}

void dsp_release(Dsp& d, int voice) { enter_mode(d.voices[voice], EnvelopeMode::release); }

void dsp_voice_frame(Dsp& d, const uint8_t* ram, int voice, DspSums& sums) {
    DspVoice& v = d.voices[voice];

    // 1. The next block once the current one has been played.
    if (v.position >= kBrrBlockSamples) {
        bool decode = true;
        if (v.block_flags & kBrrEnd) {
            d.regs[kDspEndx] |= uint8_t(1 << voice);
            if (v.block_flags & kBrrLoop) {
                v.block_address = ram_word(ram, directory_entry(d, v, 2));
            } else {
                // A sample without a loop fades out on its last block.
                if (v.mode != EnvelopeMode::release) dsp_release(d, voice);
                decode = false;
            }
        }
        if (decode) decode_next_block(v, ram);
        v.position -= kBrrBlockSamples;
    }

    // 2-3. Output, rounded, into the sums.
    const int64_t out = (int64_t(v.samples[v.position]) * v.envelope + 16384) >> 15;
    v.output = int32_t(out);
    sums.left += out * v.volume_left;
    sums.right += out * v.volume_right;
    if (d.regs[kDspEon] & (1 << voice)) {
        sums.echo_left += out * v.volume_left;
        sums.echo_right += out * v.volume_right;
    }

    // 4. Envelope.
    envelope_step(d, voice);

    // 5. Phase: one source sample per kDspPhaseStep of accumulated pitch.
    const int32_t pitch = (voice_reg(d, voice, kVoicePitchL) | voice_reg(d, voice, kVoicePitchH) << 8) & 0x3FFF;
    int32_t phase = v.phase + pitch;
    if (phase >= 0) {
        do {
            v.position++;
            phase -= kDspPhaseStep;
        } while (phase > 0);
    }
    v.phase = int16_t(phase);
}

}  // namespace vt
