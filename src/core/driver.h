// The machine's clock: runs the console a frame at a time, a frame as a
// fixed sequence of scanlines, a scanline as steps of main-CPU work with
// the other processors brought level after each step.
//
// Every way of running shares one loop, and the driver keeps its place in
// the frame in the timing state (Timing::point). A run returns at the end
// of its unit or, earlier, at an instruction boundary when a breakpoint or
// driver_request_stop asks it to; the next run of any unit continues from
// exactly there. Nothing is shown to the user from inside a run: the
// program looks at what the run returned.
#pragma once

#include <cstdint>

#include "core/timing.h"

namespace vt {

struct Machine;

enum class RunUnit : uint8_t {
    Frame,         // until the frame is complete
    Line,          // until the line is complete (or the frame, at its last line)
    Instruction,   // one main-CPU step (instruction, interrupt entry or idle step), or up to the frame's end
    UntilStopped,  // until a breakpoint or driver_request_stop
};

// Runs from where the driver stands. A breakpoint on the instruction a run
// stopped at does not stop the next run again there; neither does one on
// the instruction a single step is asked to run.
RunStop machine_run(Machine& m, RunUnit unit);

// Asks the run in progress to return before its next step. Called from
// inside a run: a breakpoint, a watch on a memory handler, a host hook.
void driver_request_stop(Machine& m);

// Runs one whole frame (the rest of it after a stop); draws its picture
// unless the program asked it not to (m.host.draw_frame). Returns early on a
// stop request: see m.timing.last_stop.
void run_frame(Machine& m);
// Runs the rest of the current scanline.
void run_line(Machine& m);

// Puts every unit into its power-on state, in the console's order. The
// memory map must already be built.
void machine_power_on(Machine& m);
// The console's reset button (the caller asks for confirmation).
void machine_reset(Machine& m);

// Puts the driver at the start of a frame at line 0, as a loaded state
// expects (states are taken between frames).
void driver_rewind_to_frame_start(Machine& m);

}  // namespace vt
