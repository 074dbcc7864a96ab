// SA-1 cartridge processor.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

struct Sa1 {
    bool running = false;
    int32_t clock = 0;  // compared with the main CPU's line clock
};

void sa1_step(Machine& m);

}  // namespace vt
