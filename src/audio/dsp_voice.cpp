// One sample of each voice, in the order the chip does the work:
//
//  1. Pitch: the 14-bit PITCH, raised or lowered by the previous voice's
//     output when the voice's PMON bit is set (voice 0 cannot be modulated).
//  2. Key-on start: for five samples after a key on the voice is silent and
//     does not advance; on the first it takes the sample's start address,
//     on the second to fourth it decodes the first twelve samples.
//  3. The sample: Gaussian interpolation of four decoded samples (or the
//     noise generator's value when the NON bit is set), times the envelope.
//  4. End of sample or soft reset: a block with END and without LOOP (its
//     header read as decoding reaches it), or FLG bit 7, silences the voice
//     at once (level 0, release).
//  5. Every other sample, the polled KOFF (release) and KON (key on) bits.
//  6. The envelope, except during the key-on start.
//  7. Decoding: once the position passes four samples, the next four are
//     decoded; after a block's last four the next block follows, or the
//     loop address when the block has END (and ENDX gets the voice's bit).
//  8. The position advances by the pitch; it never runs more than eight
//     samples ahead.
//  9. The output times VOL L and VOL R joins the main mix, and the echo mix
//     when the voice's EON bit is set.
#include "audio/dsp_voice.h"

#include <algorithm>

#include "audio/brr.h"
#include "audio/dsp_envelope.h"
#include "audio/dsp_gaussian.h"

namespace vt {

namespace {

inline uint16_t ram_word(const uint8_t* ram, uint16_t addr) {
    return uint16_t(ram[addr] | ram[uint16_t(addr + 1)] << 8);
}

inline int clamp16(int v) { return std::clamp(v, -32768, 32767); }

// Decodes the next four samples of the block into the oldest group of the
// ring. The filters read the two samples before each one, which sit just
// below it in the doubled ring.
void decode_group(DspVoice& v, const uint8_t* ram, uint8_t header) {
    const int shift = header >> 4;
    const int filter = (header >> 2) & 3;
    const uint16_t at = uint16_t(v.block_address + v.block_offset);
    const unsigned nibbles = unsigned(ram[at]) << 8 | ram[uint16_t(at + 1)];
    int16_t* group = &v.ring[v.ring_position];
    for (int i = 0; i < 4; i++) {
        const int nibble = int16_t(uint16_t(nibbles << (4 * i))) >> 12;
        const int16_t s = brr_sample(nibble, shift, filter, group[i + 11], group[i + 10]);
        group[i] = s;
        group[i + 12] = s;
    }
    v.ring_position = v.ring_position == 8 ? 0 : uint8_t(v.ring_position + 4);
}

void run_voice(Dsp& d, const uint8_t* ram, int n, uint32_t rates_firing, int& previous_output, DspMix& mix) {
    DspVoice& v = d.voices[n];
    uint8_t* regs = &d.regs[size_t(n) << 4];
    const uint8_t bit = uint8_t(1 << n);

    // 1.
    int pitch = regs[kVoicePitchL] | (regs[kVoicePitchH] & 0x3F) << 8;
    if (d.regs[kDspPmon] & bit & 0xFE) pitch += ((previous_output >> 5) * pitch) >> 10;

    // 2.
    uint8_t header = ram[v.block_address];
    const bool keyed_now = v.key_on_delay == kKeyOnDelay;
    if (v.key_on_delay) {
        if (keyed_now) {
            v.block_address = ram_word(ram, dsp_directory_entry(d, n));
            v.block_offset = 1;
            v.ring_position = 0;
            header = 0;  // not read on this sample
        }
        v.envelope = 0;
        v.hidden_envelope = 0;
        v.key_on_delay--;
        v.interp_position = (v.key_on_delay & 3) ? 0x4000 : 0;
        pitch = 0;
    }

    // 3.
    int sample;
    if (d.regs[kDspNon] & bit) {
        sample = int16_t(uint16_t(d.noise * 2));
    } else {
        const int16_t* four = &v.ring[v.ring_position + (v.interp_position >> 12)];
        sample = dsp_gaussian(four, (v.interp_position >> 4) & 0xFF);
    }
    v.output = int16_t(((sample * v.envelope) >> 11) & ~1);
    regs[kVoiceEnvx] = uint8_t(v.envelope >> 4);
    regs[kVoiceOutx] = uint8_t(v.output >> 8);

    // 4.
    if ((d.regs[kDspFlg] & kFlgReset) || (header & (kBrrEnd | kBrrLoop)) == kBrrEnd) {
        v.mode = EnvelopeMode::release;
        v.envelope = 0;
    }

    // 5.
    if (d.every_other_sample) {
        if (d.koff & bit) v.mode = EnvelopeMode::release;
        if (d.kon & bit) {
            v.key_on_delay = kKeyOnDelay;
            v.mode = EnvelopeMode::attack;
        }
    }

    // 6.
    if (!v.key_on_delay) dsp_envelope_step(v, regs, rates_firing);

    // 7.
    if (v.interp_position >= 0x4000) {
        decode_group(v, ram, header);
        v.block_offset += 2;
        if (v.block_offset >= kBrrBlockBytes) {
            v.block_address = uint16_t(v.block_address + kBrrBlockBytes);
            if (header & kBrrEnd) {
                v.block_address = ram_word(ram, uint16_t(dsp_directory_entry(d, n) + 2));
                d.regs[kDspEndx] |= bit;
            }
            v.block_offset = 1;
        }
    }
    // A voice just keyed on starts with its ENDX bit clear.
    if (v.key_on_delay == kKeyOnDelay) d.regs[kDspEndx] &= uint8_t(~bit);

    // 8.
    v.interp_position = uint16_t(std::min((v.interp_position & 0x3FFF) + pitch, kInterpPositionMax));

    // 9.
    const int left = (v.output * int8_t(regs[kVoiceVolL])) >> 7;
    const int right = (v.output * int8_t(regs[kVoiceVolR])) >> 7;
    mix.main_left = clamp16(mix.main_left + left);
    mix.main_right = clamp16(mix.main_right + right);
    if (d.regs[kDspEon] & bit) {
        mix.echo_left = clamp16(mix.echo_left + left);
        mix.echo_right = clamp16(mix.echo_right + right);
    }
    previous_output = v.output;
}

}  // namespace

uint16_t dsp_directory_entry(const Dsp& d, int voice) {
    return uint16_t(d.regs[kDspDir] * 256 + d.regs[size_t(voice) << 4 | kVoiceSrcn] * 4);
}

void dsp_run_voices(Dsp& d, const uint8_t* ram, uint32_t rates_firing, DspMix& mix) {
    int previous_output = 0;
    for (int n = 0; n < kDspVoices; n++) run_voice(d, ram, n, rates_firing, previous_output, mix);
}

}  // namespace vt
