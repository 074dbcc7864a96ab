// Placing image data into the 64 KiB slots of the cartridge ROM buffer,
// mirroring it to a power of two and summing it.
#pragma once

#include <cstddef>
#include <cstdint>

#include "cart/cartridge.h"

namespace vt {

inline constexpr uint32_t kBlockSize = 0x8000;  // 32 KiB

// Each placement returns the number of image bytes it used and sets
// `last_bank` to the last slot (LoROM: block) that received data. The
// buffer must be $FF-filled before.

// LoROM: block n to slot n, repeated to fill the slot; up to 128 blocks.
size_t place_lorom(Cartridge& c, const uint8_t* data, size_t size);
// HiROM: 64 KiB per slot, up to 128 slots.
size_t place_hirom(Cartridge& c, const uint8_t* data, size_t size);
// Interleaved HiROM: the first half of the blocks fills the upper halves of
// slots 0, 1, 2, ..., the second half their lower halves.
size_t place_interleaved_hirom(Cartridge& c, const uint8_t* data, size_t size);
// Interleaved extended HiROM (6 MiB): blocks in file order to the upper
// then lower halves of slots 64-95, then of slots 0-63.
size_t place_interleaved_extended_hirom(Cartridge& c, const uint8_t* data, size_t size);

// Smallest power of two above `last_bank`.
uint32_t power_of_two_above(uint32_t last_bank);
// Fills the slots after the last one with data up to the next power of two
// by copying, in order, the slots from half that power on; sets
// `mirrored_slots`.
void mirror_to_power_of_two(Cartridge& c);
// The Super FX sees 4 MiB of mirrored ROM, and banks $40-$5F hold it
// linearly (slot $40+k holds blocks 2k and 2k+1).
void lay_out_super_fx(Cartridge& c);

// 16-bit sum of bytes `start`-$FFFF of the first `slots` slots.
uint16_t sum_slots(const Cartridge& c, uint32_t slots, uint32_t start);

// True when every slot holds 64 KiB of image data (HiROM-style placement).
bool slots_hold_64k(const Cartridge& c);

}  // namespace vt
