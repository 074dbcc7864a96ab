// ST018: the ARM-based chip of one shogi cartridge, seen through three
// ports in page $38 of the system banks. Its program (inside the chip) is
// not emulated; the ports answer the way a ready chip does, so the game's
// handshake completes:
//
//   $3800 read:  the byte the chip sent; reading it clears status bit 0
//   $3802 write: a byte for the chip. It is taken at once and the chip
//                answers it with the same byte (status bit 0 set)
//   $3804 read:  status: bit 7 the chip is ready, bit 0 a byte waits at
//                $3800; bit 3 (a byte for the chip not yet taken) stays 0
//   $3804 write: control; a write with bit 0 set resets the chip's side
//
// The other addresses of the page read open bus and ignore writes.
#pragma once

#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

inline constexpr uint8_t kSt018Ready = 0x80;
inline constexpr uint8_t kSt018ReplyWaiting = 0x01;

struct St018 {
    uint8_t reply = 0;        // the byte at $3800
    bool reply_waiting = false;
    uint8_t control = 0;      // last $3804 write
    uint32_t bytes_taken = 0; // bytes the chip took at $3802
};

void st018_map(Machine& m);
void st018_power_on(Machine& m);
void st018_reset(Machine& m);

uint8_t st018_read(Machine& m, uint8_t bank, uint16_t addr);
void st018_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int st018_peek(const Machine& m, uint8_t bank, uint16_t addr);

// "XS18": reply, waiting flag, control, bytes taken.
inline constexpr uint32_t kSt018StateSize = 1 + 1 + 1 + 4;
template <class Io>
void st018_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSt018StateChunks[1];

}  // namespace vt
