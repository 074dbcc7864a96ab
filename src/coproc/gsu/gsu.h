// Super FX (GSU) cartridge processor.
#pragma once

namespace vt {

struct Machine;

struct Gsu {
    bool running = false;  // GO set in SFR and the run bit of SCMR set
};

// The slice of GSU work run at each line end while it is running.
void gsu_line_slice(Machine& m);

}  // namespace vt
