// Reset of whichever cartridge coprocessor the loaded Gamepak carries.
#pragma once

namespace vt {

struct Machine;

void coprocessor_reset(Machine& m);

}  // namespace vt
