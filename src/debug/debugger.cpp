#include "debug/debugger.h"

#include "core/machine.h"

namespace vt {

// Breakpoint stops and the trace writer arrive with the debugger.
void debug_check_breakpoints(Machine&) {}
void debug_trace_step(Machine&) {}

}  // namespace vt
