// The DSP-family cartridge chips (DSP-1 to DSP-4): the shared port
// and each chip's interpreter state. A cartridge carries one of them (its
// DSP variant); the others keep their power-on state.
#pragma once

#include <array>
#include <cstdint>

#include "coproc/dsp/dsp1.h"
#include "coproc/dsp/dsp2.h"
#include "coproc/dsp/dsp3.h"
#include "coproc/dsp/dsp4.h"
#include "coproc/dsp/dsp_port.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

struct DspFamily {
    DspPort port;
    Dsp1 dsp1;
    Dsp2 dsp2;
    Dsp3 dsp3;
    Dsp4 dsp4;
};

// Row functions of the chip table (kind 3; the variant picks the chip).
void dsp_chip_map(Machine& m);
void dsp_chip_power_on(Machine& m);
void dsp_chip_reset(Machine& m);

// "XDCH": the port and the DSP-1 to DSP-3 interpreters' state, so a state
// saved in the middle of a command resumes it; "XDP4": the DSP-4's (a
// chunk of its own, so states written before it still load); "XNEC": the
// NEC core that runs the DSP-4's own program when the user has it.
extern const std::array<ChipStateChunk, 3> kDspStateChunks;

}  // namespace vt
