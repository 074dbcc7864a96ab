// The Super Game Boy's interface chip (ICD2) between the console and the
// Game Boy inside the cartridge. The Game Boy processor itself is not
// emulated: its picture stays blank, it sends no command packets, and the
// joypad bytes written for it go nowhere. What the console's program sees
// is complete, so the Super Game Boy's own program runs:
//
//   $6000      read:  LCD row being drawn (bits 7-3) and the buffer it
//                     goes to (bits 1-0); the row counts while the Game
//                     Boy runs, 0 while it is held in reset
//   $6001      write: the character buffer the data port reads (0-3)
//   $6002      read:  bit 0, a command packet is waiting (never)
//   $6003      write: control: bit 7 releases the Game Boy from reset,
//                     bits 5-4 the number of joypads, bits 1-0 its speed
//   $6004-7    write: joypads 1-4 for the Game Boy
//   $600F      read:  the chip's version, $21
//   $7000-700F read:  the last command packet's 16 bytes
//   $7800      read:  the selected character buffer, 320 bytes in turn
//
// Registers $6000-$600F repeat through $6000-$67FF; the packet through
// $7000-$77FF and the data port through $7800-$7FFF.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

inline constexpr uint8_t kSgbVersion = 0x21;
inline constexpr uint16_t kSgbRowBytes = 320;  // one row of 20 tiles of 16 bytes
inline constexpr uint8_t kSgbRunning = 0x80;    // control bit 7

struct Sgb {
    uint8_t control = 0;
    uint8_t read_buffer = 0;     // 0-3
    uint16_t read_index = 0;     // 0-319
    std::array<uint8_t, 4> joypads{0xFF, 0xFF, 0xFF, 0xFF};
    std::array<uint8_t, 16> packet{};
};

void sgb_map(Machine& m);
void sgb_power_on(Machine& m);
void sgb_reset(Machine& m);

uint8_t sgb_read(Machine& m, uint8_t bank, uint16_t addr);
void sgb_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sgb_peek(const Machine& m, uint8_t bank, uint16_t addr);

// The LCD row (0-17) the Game Boy draws at the console's current line.
uint8_t sgb_lcd_row(const Machine& m);

// "XSGB": control, buffer select, data index, joypads, packet.
inline constexpr uint32_t kSgbStateSize = 1 + 1 + 2 + 4 + 16;
template <class Io>
void sgb_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSgbStateChunks[1];

}  // namespace vt
