// The machine's clock: runs the console a frame at a time, a frame as a
// fixed sequence of scanlines, a scanline as steps of main-CPU work with
// the other processors brought level after each step.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

// Runs one whole frame; draws its picture unless the program asked it not
// to (m.host.draw_frame).
void run_frame(Machine& m);
// Runs the scanline named by the line counter.
void run_line(Machine& m);

// Puts every unit into its power-on state, in the console's order. The
// memory map must already be built.
void machine_power_on(Machine& m);
// The console's reset button (the caller asks for confirmation).
void machine_reset(Machine& m);

}  // namespace vt
