// The SETA maths coprocessor (ST010): it shares 4 KiB of RAM with the main
// CPU. The main CPU writes parameters into the RAM, then a command number
// at $20 and the start bit (bit 7 of $21); the command runs at once, inside
// that write, and its results are in the RAM when the main CPU reads them
// back. The chip has no state besides that RAM (the cartridge's battery RAM).
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

inline constexpr uint32_t kSetaRamMask = 0x0FFF;

// Offsets in the shared RAM.
inline constexpr uint16_t kSetaCommand = 0x20;  // command number
inline constexpr uint16_t kSetaStart = 0x21;    // bit 7: run the command

// Row function of the chip table: the RAM in the lower halves of banks
// $68-$6F and $E8-$EF.
void seta_map(Machine& m);

// The constant tables (exposed for their tests).
int16_t seta_sine(int i);                   // 256 steps a turn
uint8_t seta_arctangent(int x, int y);      // x, y in 0-31
int16_t seta_scale(int i);                  // 176 entries, 896 down to 43

}  // namespace vt
