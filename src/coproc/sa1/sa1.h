// SA-1 cartridge processor: a second 65816 with its own registers, work RAM
// and bus. What exists so far is the frame of the chip: its state, its
// windows in the memory map and its driver hooks; the processor itself
// arrives with its own subsystem and a stopped SA-1 never runs.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

struct Sa1 {
    bool running = false;
    int32_t clock = 0;  // compared with the main CPU's line clock
};

// Row functions of the chip table.
void sa1_map(Machine& m);
void sa1_power_on(Machine& m);
void sa1_reset(Machine& m);
// After every main-CPU step: runs SA-1 steps while it is running and its
// clock is behind the main CPU's line clock.
void sa1_catch_up(Machine& m);
// Line end: its clock starts the next line at 0.
void sa1_line_end(Machine& m);

// One SA-1 step.
void sa1_step(Machine& m);

}  // namespace vt
