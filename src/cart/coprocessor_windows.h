// The handlers installed in the windows of the cartridge chips whose own
// code is not built yet: they answer with the open bus and ignore writes,
// so a cartridge that carries such a chip loads and runs without crashing.
// When a chip arrives, its folder under coproc/ defines its windows and its
// map in the chip table replaces the placeholder.
#pragma once

#include "cart/memory_map.h"

namespace vt {

inline constexpr MemoryWindow kNoChipWindow = kOpenBusWindow;

inline constexpr MemoryWindow kDspWindow[5] = {                      // by DSP variant 1-4
    kNoChipWindow, kNoChipWindow, kNoChipWindow, kNoChipWindow, kNoChipWindow};
inline constexpr MemoryWindow kSt018Window = kNoChipWindow;          // page $38
inline constexpr MemoryWindow kBsxMemoryPackWindow = kNoChipWindow;  // banks $70-$77 (base unit: $70-$7F)
inline constexpr MemoryWindow kBsxRegisterWindow = kNoChipWindow;    // pages $50-$5F
inline constexpr MemoryWindow kBsxBbusWindow{&io_open_bus_read, &io_ignore_write, &unreadable_peek};  // $2184-$219F
inline constexpr MemoryWindow kSuperUfoWindow = kNoChipWindow;       // page $3D
inline constexpr MemoryWindow kSuperGameBoyWindow = kNoChipWindow;   // pages $60-$67, $70-$7F

}  // namespace vt
