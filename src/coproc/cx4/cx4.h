// CX4 cartridge chip: its 3 KiB data RAM and its register block at
// $7F40-$7FFF in pages $60-$7F of the system banks. What is built: the RAM,
// the registers, the DMA from the cartridge into the RAM, the commands
// started through $7F4F (cx4_commands.h: maths, the OAM builder, bitmap
// scaling, rotation and effects, wireframes), each finished at once, and a
// status that never reports busy.
#pragma once

#include <array>
#include <cstdint>

#include "core/debug_target.h"
#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

inline constexpr uint32_t kCx4RamSize = 0xC00;

struct Cx4 {
    std::array<uint8_t, kCx4RamSize> ram{};
    std::array<uint8_t, 0xC0> regs{};  // $7F40-$7FFF at index addr - $7F40
};

void cx4_map(Machine& m);
void cx4_power_on(Machine& m);
void cx4_reset(Machine& m);

uint8_t cx4_read(Machine& m, uint8_t bank, uint16_t addr);
void cx4_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int cx4_peek(const Machine& m, uint8_t bank, uint16_t addr);

DebugRegisters cx4_debug_registers(const Machine& m);

// State chunk "XCX4": RAM, then the register block.
inline constexpr uint32_t kCx4StateSize = kCx4RamSize + 0xC0;
template <class Io>
void cx4_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kCx4StateChunks[1];

}  // namespace vt
