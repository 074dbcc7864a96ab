// One voice of the sound generator: key on and off, and the work of one
// output frame (sample fetch, envelope, phase).
#pragma once

#include <cstdint>

#include "audio/dsp.h"

namespace vt {

struct Machine;

// Per-frame sums of the voices' outputs times their volumes.
struct DspSums {
    int64_t left = 0;
    int64_t right = 0;
    int64_t echo_left = 0;
    int64_t echo_right = 0;
};

void dsp_key_on(Machine& m, int voice);
void dsp_release(Dsp& d, int voice);
// Period of the envelope mode the voice is in (for the countdown).
int32_t dsp_envelope_period(const DspVoice& v);
// Plays one output frame of an active voice and adds it to the sums.
void dsp_voice_frame(Dsp& d, const uint8_t* ram, int voice, DspSums& sums);

}  // namespace vt
