// OBC1: a sprite-table chip that keeps a sprite attribute table in the
// cartridge's 8 KiB battery RAM and lets the main CPU reach one entry at a
// time through registers at $7FF0-$7FF7 of the system banks. It has no
// processor: every effect happens inside the register handlers.
//
// The table at `base`: 128 entries of 4 bytes, then at base + $200 a high
// table of 32 bytes with a 2-bit field per entry (entry i in byte i >> 2 at
// bit (i AND 3) x 2).
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

struct Obc1 {
    uint16_t base = 0x1C00;  // RAM offset of the current table: $1C00 or $1800
    uint8_t index = 0;       // current entry, 0-127
    uint8_t shift = 0;       // 0, 2, 4 or 6: the entry's field in its high-table byte
};

// Row functions of the chip table.
void obc1_map(Machine& m);
void obc1_power_on(Machine& m);
void obc1_reset(Machine& m);

// "XOBC": base, index and shift, so a state keeps the selected entry.
extern const std::array<ChipStateChunk, 1> kObc1StateChunks;

}  // namespace vt
