#include "coproc/sa1/sa1.h"

#include "core/machine.h"

namespace vt {

// The SA-1 core arrives with its own subsystem; a stopped SA-1 never runs.
void sa1_step(Machine& m) { m.sa1.clock = m.timing.line_clock; }

}  // namespace vt
