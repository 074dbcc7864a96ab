// ST011: the NEC DSP of a shogi cartridge, running the chip's own shogi
// program (inside the chip), which is not emulated. The cartridge sees:
//
//   banks $60-$67 (and $E0-$E7), $0000-$7FFF: the data register at even
//     addresses, the status register at odd ones. The status always says
//     the chip waits for the console (bit 7, $80, 8-bit transfers $04 off);
//     a data read gives back the last byte written: the chip computes
//     nothing, so the game's moves get no answer from it.
//   banks $68-$6F (and $E8-$EF), $0000-$7FFF: the chip's 4 KiB of RAM,
//     repeated every 4 KiB.
//
// With the user's file of the chip's program ("st011.rom") the same
// windows serve the NEC core (coproc/necdsp), which runs the program.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

inline constexpr uint8_t kSt011Status = 0x80;
inline constexpr uint32_t kSt011RamSize = 4096;

struct St011 {
    uint8_t data = 0;
    std::array<uint8_t, kSt011RamSize> ram{};
};

void st011_map(Machine& m);
void st011_power_on(Machine& m);
void st011_reset(Machine& m);

uint8_t st011_port_read(Machine& m, uint8_t bank, uint16_t addr);
void st011_port_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int st011_port_peek(const Machine& m, uint8_t bank, uint16_t addr);
uint8_t st011_ram_read(Machine& m, uint8_t bank, uint16_t addr);
void st011_ram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int st011_ram_peek(const Machine& m, uint8_t bank, uint16_t addr);

// "XS11": the data register and the RAM; "XNEC": the NEC core that runs
// the chip's own program when the user has it.
inline constexpr uint32_t kSt011StateSize = 1 + kSt011RamSize;
template <class Io>
void st011_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSt011StateChunks[2];

}  // namespace vt
