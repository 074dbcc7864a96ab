// Single steps of the debugger: one main-CPU instruction (or the interrupt
// entry that is due), through the driver, so the audio CPU and a cartridge
// processor are caught up after it and the line's events happen where the
// instruction crosses them, as in a normal run.
#pragma once

#include "core/timing.h"

namespace vt {

struct Machine;

// Runs one main-CPU step. A frame's end that comes first is run through
// (its picture presented) and the step follows it. Returns
// RunStop::Instruction, or RunStop::Requested when something (a watch, an
// interrupt trap) asked to stop during it.
RunStop debug_step(Machine& m);

}  // namespace vt
