#include "debug/stepping.h"

#include "core/driver.h"
#include "core/machine.h"

namespace vt {

RunStop debug_step(Machine& m) {
    // A run of one instruction stops at a frame's end; the second run then
    // starts the next frame and takes the step.
    for (int tries = 0; tries < 2; tries++) {
        const RunStop stop = machine_run(m, RunUnit::Instruction);
        if (stop != RunStop::FrameEnd) return stop;
    }
    return m.timing.last_stop;
}

}  // namespace vt
