// The NES CPU's debug target: registers, disassembler, peek.
#pragma once

#include <functional>

#include "core/debug_target.h"

namespace vt {

extern const DebugTarget kNesCpuTarget;

// One instruction at `address`, its bytes read through `peek`.
DisassembledLine nes_disassemble(const std::function<uint8_t(uint16_t)>& peek, uint16_t address);

}  // namespace vt
