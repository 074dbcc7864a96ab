// The machine's clock: runs the console a frame at a time, a frame as a
// fixed sequence of scanlines, a scanline as steps of main-CPU work with
// the other processors brought level after each step.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

// Runs one whole frame; draws at most one picture.
void run_frame(Machine& m);
// Runs the scanline named by the line counter.
void run_line(Machine& m);

// Puts every unit into its power-on state, in the console's order. The
// memory map must already be built.
void machine_power_on(Machine& m);
// The console's reset button (the caller asks for confirmation).
void machine_reset(Machine& m);

// The main window's idle turn: runs a frame while a Gamepak is loaded and
// nothing holds the machine, and keeps the title in step. Returns whether a
// frame ran.
bool run_idle_turn(Machine& m);

// Frame skip 0-4: frames emulated but not drawn after each drawn frame. The
// next frame is drawn.
void set_frame_skip(Machine& m, uint8_t frames);

}  // namespace vt
