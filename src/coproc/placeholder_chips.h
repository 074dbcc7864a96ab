// Maps of the cartridge chips whose own code is not built yet: their
// windows answer with the open bus (see cart/coprocessor_windows.h), so
// their cartridges load and run. A chip that arrives replaces its map here
// with one in its own folder.
#pragma once

namespace vt {

struct Machine;

void map_st018_placeholder(Machine& m);
void map_bsx_placeholder(Machine& m);
void map_bsx_b_bus_placeholder(Machine& m);

}  // namespace vt
