// What the driver's step looks at for the debugger: the breakpoint list and
// the CPU trace writer. Plain data, so the emulation core reads it without
// depending on the debugger's code; the debugger fills it. The driver
// chooses its step loop by them at the start of each run of steps (the
// steps up to the next line event or stop), so they are changed between
// runs, not by code running inside a step.
#pragma once

#include <cstdint>
#include <vector>

namespace vt {

struct Machine;

// Bit 24 of a breakpoint entry: disabled. A disabled entry never equals a
// 24-bit program address, so the check compares whole entries.
inline constexpr uint32_t kBreakpointDisabled = 0x01000000;
inline constexpr uint32_t kNoBreakPass = 0xFFFFFFFF;

struct Debugger {
    // 24-bit program addresses (bank x 65536 + PC), checked before every
    // main-CPU instruction while the list is not empty.
    std::vector<uint32_t> breakpoints;
    // The instruction a breakpoint stopped the machine at, or the one a
    // single step runs: the next check there lets it run once.
    uint32_t passing_break = kNoBreakPass;
    // The trace writer while CPU tracing is on: called before each main-CPU
    // step unless the CPU waits in WAI.
    void (*trace_step)(Machine&) = nullptr;
    // Bit 0: the next traced instruction is the first of its line and is
    // preceded by the position header.
    uint8_t trace_state = 0;
};

}  // namespace vt
