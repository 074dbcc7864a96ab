// Debugger hooks the driver calls: breakpoints before a CPU step and the CPU
// trace log.
#pragma once

#include <cstdint>
#include <vector>

namespace vt {

struct Machine;

struct Debugger {
    std::vector<uint32_t> breakpoints;  // 24-bit program addresses
    bool tracing = false;
    // Bit 0: the next traced instruction is the first of its line and is
    // preceded by the position header.
    uint8_t trace_state = 0;
};

// Called before a CPU step while the breakpoint list is not empty.
void debug_check_breakpoints(Machine& m);
// Called before a CPU step while tracing is on and the CPU is not waiting.
void debug_trace_step(Machine& m);

}  // namespace vt
