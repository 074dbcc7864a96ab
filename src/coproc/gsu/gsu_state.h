// The GSU's registers and cache RAM in a state file ("XGSU"); its RAM is the
// cartridge RAM and travels in "SRAM".
#pragma once

#include <span>

#include "coproc/chips.h"

namespace vt {

inline constexpr uint32_t kGsuChunkSize = 565;

extern const ChipStateChunk kGsuStateChunks[1];

}  // namespace vt
