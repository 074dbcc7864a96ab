// Super FX (GSU) cartridge processor. What exists so far is the frame of the
// chip: its state, its windows in the memory map and its slice at each line
// end; the processor itself arrives with its own subsystem.
#pragma once

namespace vt {

struct Machine;

struct Gsu {
    bool running = false;  // GO set in SFR and the run bit of SCMR set
};

// Row functions of the chip table.
void gsu_map(Machine& m);
void gsu_power_on(Machine& m);
void gsu_reset(Machine& m);
// Line end: one slice of GSU work while it is running.
void gsu_line_end(Machine& m);

// The slice of GSU work run at each line end while it is running.
void gsu_line_slice(Machine& m);

}  // namespace vt
