#include "audio/dsp.h"

#include "core/machine.h"

namespace vt {

// The sound generator arrives with the audio subsystem.
void dsp_power_on(Machine& m) { m.dsp = Dsp{}; }
void dsp_line_step(Machine&) {}
void dsp_frame_end(Machine& m) { m.dsp.frame_position = 0; }

}  // namespace vt
