// Windows of the cartridge hardware without code of its own: they answer
// with the open bus and ignore writes, so such a cartridge loads and runs.
#pragma once

#include "cart/memory_map.h"

namespace vt {

inline constexpr MemoryWindow kNoChipWindow = kOpenBusWindow;

inline constexpr MemoryWindow kDspWindow[5] = {                      // by DSP variant 1-4
    kNoChipWindow, kNoChipWindow, kNoChipWindow, kNoChipWindow, kNoChipWindow};
inline constexpr MemoryWindow kSuperUfoWindow = kNoChipWindow;       // page $3D

}  // namespace vt
