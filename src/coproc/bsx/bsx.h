// The Satellaview: the base unit's registers and the memory pack.
//
// - Base cartridge registers, pages $50-$5F of banks $00-$0F (and $80-$8F):
//   the bank number picks one of sixteen one-bit registers, the value is
//   bit 7. Banks $10-$17 (and $90-$97) show the cartridge's 32 KiB of
//   battery RAM ("BS-X.SRM") at $5000-$5FFF, 4 KiB per bank.
// - Receiver registers on the B bus, $2188-$219F: no satellite broadcast
//   is received, so the stream queues stay empty; the channel and control
//   registers keep what is written.
// - Memory pack, banks $70-$77 ($70-$7F for the base cartridge): flash
//   memory with its command set (read array, status, identifier, program
//   byte, block erase, chip erase). A memory-pack image is the pack itself;
//   the base cartridge alone has no pack and its window reads open bus.
//   Programming changes the loaded image in memory, not the image file.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

enum class BsxFlashMode : uint8_t { ReadArray, Status, Identifier, Program, EraseSetup, ChipEraseSetup };
inline constexpr uint8_t kBsxFlashModes = 6;

// Flash status bits.
inline constexpr uint8_t kBsxFlashReady = 0x80;
inline constexpr uint8_t kBsxFlashEraseError = 0x20;
inline constexpr uint8_t kBsxFlashProgramError = 0x10;

// The identifier the pack answers in identifier mode (offset 0: maker,
// offset 1: device).
inline constexpr uint8_t kBsxFlashMaker = 0xB0;
inline constexpr uint8_t kBsxFlashDevice = 0xD0;

inline constexpr uint32_t kBsxPackSize = 1024 * 1024;
inline constexpr uint32_t kBsxFlashBlock = 64 * 1024;

struct Bsx {
    std::array<uint8_t, 16> regs{};     // base cartridge registers, bit 7 each
    std::array<uint8_t, 0x20> bbus{};   // $2180-$219F as last written
    BsxFlashMode flash_mode = BsxFlashMode::ReadArray;
    uint8_t flash_status = kBsxFlashReady;
};

// Rows of the chip table: the memory-pack cartridge and the base cartridge.
void bsx_map(Machine& m);
void bsx_base_map(Machine& m);
void bsx_map_b_bus(Machine& m);
void bsx_power_on(Machine& m);
void bsx_reset(Machine& m);

uint8_t bsx_register_read(Machine& m, uint8_t bank, uint16_t addr);  // pages $50-$5F
void bsx_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int bsx_register_peek(const Machine& m, uint8_t bank, uint16_t addr);

uint8_t bsx_bbus_read(Machine& m, uint8_t bank, uint16_t addr);  // $2184-$219F
void bsx_bbus_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int bsx_bbus_peek(const Machine& m, uint8_t bank, uint16_t addr);

uint8_t bsx_pack_read(Machine& m, uint8_t bank, uint16_t addr);  // banks $70-$7F
void bsx_pack_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int bsx_pack_peek(const Machine& m, uint8_t bank, uint16_t addr);

// The ROM buffer offset of a pack byte (0 to 1 MiB - 1), by the image's layout.
uint32_t bsx_pack_offset(const Machine& m, uint32_t pack_address);

// "XBSX": the registers, the B-bus latches and the flash's mode and status.
// The pack's contents are the loaded image and are not in the state.
inline constexpr uint32_t kBsxStateSize = 16 + 0x20 + 2;
template <class Io>
void bsx_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kBsxStateChunks[1];

}  // namespace vt
