// Read and write handlers for the cartridge's battery RAM and the few fixed
// answers of special cartridges. Every access costs one slow-memory unit;
// every index stays inside the 256 KiB battery RAM buffer.
#pragma once

#include <cstdint>

#include "cart/memory_map.h"

namespace vt {

struct Machine;

// LoROM battery RAM (banks $70-$7F, $0000-$7FFF): through the bank's
// battery-RAM pointer (bank modulo 4), address AND mask.
uint8_t lorom_sram_read(Machine& m, uint8_t bank, uint16_t addr);
void lorom_sram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int lorom_sram_peek(const Machine& m, uint8_t bank, uint16_t addr);

// HiROM battery RAM ($6000-$7FFF of banks $20-$3F, $A0-$BF):
// (bank x 8192 + address - $6000) AND mask.
uint8_t hirom_sram_read(Machine& m, uint8_t bank, uint16_t addr);
void hirom_sram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int hirom_sram_peek(const Machine& m, uint8_t bank, uint16_t addr);

// An 8 KiB window of battery RAM at $6000-$7FFF: address AND $1FFF.
uint8_t sram_window_read(Machine& m, uint8_t bank, uint16_t addr);
void sram_window_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sram_window_peek(const Machine& m, uint8_t bank, uint16_t addr);

// Whole banks of battery RAM: (bank x 65536 + address) AND mask (the Super
// FX RAM in banks $70-$71).
uint8_t sram_bank_read(Machine& m, uint8_t bank, uint16_t addr);
void sram_bank_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sram_bank_peek(const Machine& m, uint8_t bank, uint16_t addr);

// The same bank for every bank it is installed in: address AND mask
// (the XBAND modem's RAM at $E0, mirrored at $60).
uint8_t sram_single_bank_read(Machine& m, uint8_t bank, uint16_t addr);
void sram_single_bank_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sram_single_bank_peek(const Machine& m, uint8_t bank, uint16_t addr);

// XBAND bank $FB upper half: $46 at $C1B2, $08 at $C1BC, 0 elsewhere.
uint8_t xband_id_read(Machine& m, uint8_t bank, uint16_t addr);
int xband_id_peek(const Machine& m, uint8_t bank, uint16_t addr);
// Satellaview base cartridge: bank $C0 reads $80 everywhere.
uint8_t bsx_bank_c0_read(Machine& m, uint8_t bank, uint16_t addr);
int bsx_bank_c0_peek(const Machine& m, uint8_t bank, uint16_t addr);

inline constexpr MemoryWindow kLoRomSramWindow{&lorom_sram_read, &lorom_sram_write, &lorom_sram_peek};
inline constexpr MemoryWindow kHiRomSramWindow{&hirom_sram_read, &hirom_sram_write, &hirom_sram_peek};
inline constexpr MemoryWindow kSramWindow{&sram_window_read, &sram_window_write, &sram_window_peek};
inline constexpr MemoryWindow kSramBankWindow{&sram_bank_read, &sram_bank_write, &sram_bank_peek};
inline constexpr MemoryWindow kSramSingleBankWindow{&sram_single_bank_read, &sram_single_bank_write,
                                                    &sram_single_bank_peek};
inline constexpr MemoryWindow kXbandIdWindow{&xband_id_read, &discard_write, &xband_id_peek};
inline constexpr MemoryWindow kBsxBankC0Window{&bsx_bank_c0_read, &discard_write, &bsx_bank_c0_peek};

}  // namespace vt
