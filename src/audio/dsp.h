// The S-DSP sound generator.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

struct Dsp {
    uint32_t frame_position = 0;  // sample frames produced in the current video frame
};

void dsp_power_on(Machine& m);
// Produces the sample frames of one sound line.
void dsp_line_step(Machine& m);
// Resets the per-frame sample position at the end of a video frame.
void dsp_frame_end(Machine& m);

}  // namespace vt
