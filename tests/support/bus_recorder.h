// A page of the memory map that records every write made to it, with the
// scanline and line clock at which it happened. Test programs write to it to
// report when something ran.
#pragma once

#include <cstdint>
#include <vector>

#include "core/machine.h"

namespace vt::test {

struct RecordedWrite {
    uint16_t addr;
    uint8_t value;
    uint16_t line;
    int32_t line_clock;
    uint32_t frame;
};

// Installs the recorder at the given system-area page (all banks $00-$3F and
// $80-$BF) and clears what was recorded before.
void install_recorder(Machine& m, int page);
std::vector<RecordedWrite>& recorded_writes();

}  // namespace vt::test
