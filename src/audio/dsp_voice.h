// The eight voices' work in one 32 kHz sample: key on and off, BRR
// decoding, pitch (with modulation), Gaussian interpolation or noise, the
// envelope, and the voices' outputs summed into the main and echo mixes.
#pragma once

#include <cstdint>

#include "audio/dsp.h"

namespace vt {

// The voices' sums for one sample, each clamped to 16 bits as it grows.
struct DspMix {
    int main_left = 0;
    int main_right = 0;
    int echo_left = 0;
    int echo_right = 0;
};

// Runs voices 0-7 for one sample. `rates_firing` is dsp_rates_firing of
// the rate counter.
void dsp_run_voices(Dsp& d, const uint8_t* ram, uint32_t rates_firing, DspMix& mix);

// The directory entry of a voice: start address at +0, loop address at +2.
uint16_t dsp_directory_entry(const Dsp& d, int voice);

}  // namespace vt
