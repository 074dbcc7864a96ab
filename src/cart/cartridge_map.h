// Builds the cartridge's view of the address space from the loaded-cartridge
// record: ROM pointers and handlers for every bank half, battery RAM,
// coprocessor windows and the special cartridges, then copies it into the
// main CPU's tables.
#pragma once

#include <cstdint>

#include "cart/memory_map.h"

namespace vt {

struct Machine;

// For the maps of the cartridge chips: a window over a range of bank
// halves or system-area pages of the loader view.
void install_loader_banks(Machine& m, int first, int last, int half, const MemoryWindow& w);
void install_loader_pages(Machine& m, int first, int last, const MemoryWindow& w);

// A pointer p for which p[addr], addr in $8000-$FFFF, reads the 32 KiB at
// `window`. The pointer itself may lie before the buffer (worked out on the
// integer value); only p + addr is ever dereferenced.
const uint8_t* upper_half_pointer(const uint8_t* window);

// Where a DSP-family chip's window lies.
enum class DspPlacement : uint8_t {
    HiRom,          // $6000-$7FFF of banks $00-$1F and $80-$9F
    LoRomBanks30,   // upper halves of banks $30-$3F and $B0-$BF
    LoRomBanks20,   // upper halves of banks $20-$3F and $A0-$BF
    LoRomBanks60,   // lower halves of banks $60-$6F and $E0-$EF
};

DspPlacement dsp_placement(const Machine& m);

// The slot whose 64 KiB bank `bank` shows (before any per-half window).
uint32_t rom_slot_for_bank(const Machine& m, uint8_t bank);

// Loader tables from m.cart, copied into the CPU tables; also resets the
// $21xx tables. Work RAM and the register pages are installed afterwards.
void build_cartridge_map(Machine& m);

}  // namespace vt
