// The SPC700 instruction table. spc700_step fetches the opcode, runs its
// handler (which fetches the operands and moves PC itself) and charges
// kSpcCycles[op] plus what the handler returns: 2 more cycles for a taken
// branch, 0 otherwise.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

using SpcHandler = int (*)(Machine&);

extern const SpcHandler kSpcOps[256];
extern const uint8_t kSpcCycles[256];

}  // namespace vt
