// A voice's envelope, run once per 32 kHz sample.
//
// The level is 11 bits (0-$7FF). Release takes 8 from it every sample. In
// every other mode the next level is worked out every sample, but it is
// only stored when the mode's rate fires on the shared counter
// (dsp_rates.h); the mode changes (attack to decay at the top, decay to
// sustain at the sustain level) follow the level worked out, stored or not.
//
// ADSR (ADSR1 bit 7 set):
//   attack   +$20 at rate 2A+1, or +$400 every sample when A is 15
//   decay    level - 1 - (level - 1) / 256 at rate 2D+16, until the top
//            three bits equal the sustain level (ADSR2 bits 5-7)
//   sustain  the same fall at rate SR (ADSR2 bits 0-4)
// GAIN (ADSR1 bit 7 clear, outside release), GAIN bits 5-7:
//   0-3      level = GAIN x 16 (bits 0-6), every sample
//   4        -$20     5  level - 1 - (level - 1) / 256
//   6        +$20     7  +$20 below $600, then +8 (judged on the last level
//                        worked out)
//   at rate GAIN bits 0-4. In GAIN mode the decay-to-sustain test reads
//   the GAIN register's top bits, as the chip does.
#pragma once

#include <cstdint>

#include "audio/dsp.h"

namespace vt {

inline void dsp_envelope_step(DspVoice& v, const uint8_t* voice_regs, uint32_t rates_firing) {
    int env = v.envelope;
    if (v.mode == EnvelopeMode::release) {
        env -= 8;
        v.envelope = int16_t(env < 0 ? 0 : env);
        return;
    }

    int rate;
    int level_reg;  // ADSR2 or GAIN: its top three bits are the sustain test
    const uint8_t adsr1 = voice_regs[kVoiceAdsr1];
    if (adsr1 & 0x80) {
        level_reg = voice_regs[kVoiceAdsr2];
        if (v.mode == EnvelopeMode::attack) {
            rate = (adsr1 & 0x0F) * 2 + 1;
            env += rate < 31 ? 0x20 : 0x400;
        } else {
            env--;
            env -= env >> 8;
            rate = v.mode == EnvelopeMode::decay ? ((adsr1 >> 3) & 0x0E) + 0x10 : level_reg & 0x1F;
        }
    } else {
        level_reg = voice_regs[kVoiceGain];
        const int gain_mode = level_reg >> 5;
        if (gain_mode < kGainLinearDecrease) {
            env = level_reg * 0x10;
            rate = 31;
        } else {
            rate = level_reg & 0x1F;
            switch (gain_mode) {
            case kGainLinearDecrease: env -= 0x20; break;
            case kGainExpDecrease:
                env--;
                env -= env >> 8;
                break;
            case kGainLinearIncrease: env += 0x20; break;
            default: env += v.hidden_envelope >= 0x600 || v.hidden_envelope < 0 ? 0x08 : 0x20; break;
            }
        }
    }

    if (v.mode == EnvelopeMode::decay && (env >> 8) == (level_reg >> 5)) v.mode = EnvelopeMode::sustain;
    v.hidden_envelope = int16_t(env);
    if (env < 0 || env > kEnvelopeMax) {
        env = env < 0 ? 0 : kEnvelopeMax;
        if (v.mode == EnvelopeMode::attack) v.mode = EnvelopeMode::decay;
    }
    if (rates_firing >> rate & 1) v.envelope = int16_t(env);
}

}  // namespace vt
