// Register pages as a real-time save holds them: 256 bytes each for the
// PPU's $2100-$21FF (write-only registers as last written), the system
// registers' $4200-$42FF and the DMA channels' $4300-$43FF, and the replay
// of those bytes through the registers' own write handlers.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

inline constexpr int kSnapshotSize = 256;

// Registers that keep a 16-bit value from two writes of a shared latch
// (scroll, Mode 7) give their last written byte, the high one. COLDATA is
// given as one write that sets the components sharing red's intensity.
void ppu_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]);
void system_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]);
void dma_register_snapshot(const Machine& m, uint8_t out[kSnapshotSize]);

// Writes the snapshots back register by register, in address order:
// $2100-$2103, $2105-$2117, $211A-$2121, $2123-$2133, $2140-$2143 and
// $2181-$2183 (the latched pairs $210D-$2114 and $211B-$2120 twice with
// the same byte), $4200-$420D, then $43n0-$43nA of each channel.
void replay_register_snapshots(Machine& m, const uint8_t ppu[kSnapshotSize], const uint8_t system[kSnapshotSize],
                               const uint8_t dma[kSnapshotSize]);

}  // namespace vt
