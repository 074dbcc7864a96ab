// The 24-bit address space of the main CPU: handler tables per 32 KiB bank
// half and per 256-byte page of the system area, work RAM, the open bus and
// the $21xx register tables.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

using ReadHandler = uint8_t (*)(Machine&, uint8_t bank, uint16_t addr);
using WriteHandler = void (*)(Machine&, uint8_t bank, uint16_t addr, uint8_t value);
// What a debugger sees at an address: the byte a read would return now, or
// kNotReadable (unmapped, write-only). A peek changes nothing: no clock
// cost, no open-bus update, no address step, no latch or flag cleared.
using PeekHandler = int (*)(const Machine&, uint8_t bank, uint16_t addr);
inline constexpr int kNotReadable = -1;

// The three handlers of one window of the address space.
struct MemoryWindow {
    ReadHandler read;
    WriteHandler write;
    PeekHandler peek;
};

// One set of dispatch tables. The main CPU has one; the cartridge loader
// builds another ("loader tables") and copies it in. Write page entries
// 128-255 serve only the NES side.
struct HandlerTables {
    std::array<ReadHandler, 128> read_page{};
    std::array<WriteHandler, 256> write_page{};
    std::array<ReadHandler, 512> read_bank{};   // 0-255: $0000-$7FFF, 256-511: $8000-$FFFF
    std::array<WriteHandler, 512> write_bank{};
    std::array<PeekHandler, 128> peek_page{};
    std::array<PeekHandler, 512> peek_bank{};
};

inline constexpr uint32_t kWramSize = 0x20000;

struct MemoryMap {
    HandlerTables cpu;
    HandlerTables loader;
    // Pages $60-$7F of the loader view dispatch again on the bank's high
    // nibble: entry (bank & $F0) / 4.
    std::array<ReadHandler, 64> loader_read_sub{};
    std::array<WriteHandler, 64> loader_write_sub{};
    std::array<PeekHandler, 64> loader_peek_sub{};

    // $2100-$21FF, indexed by the low address byte.
    std::array<ReadHandler, 256> io_read{};
    std::array<WriteHandler, 256> io_write{};
    std::array<PeekHandler, 256> io_peek{};

    // Clock units added by a ROM read, per bank (1 slow, 0 fast).
    std::array<uint8_t, 256> rom_speed{};
    // Host pointer of each bank's 64 KiB ROM slot; a ROM read returns
    // rom_lower[bank][addr] for the full 16-bit address. The upper table
    // serves maps whose halves come from different places.
    std::array<const uint8_t*, 256> rom_lower{};
    std::array<const uint8_t*, 256> rom_upper{};

    uint8_t open_bus = 0;

    // The debugger's watching handlers. While addresses are watched they
    // sit in front of the real handlers in the CPU tables, and the real
    // ones are kept in `behind_watch`. Installing into an entry that holds
    // a watching handler puts the new handler behind it, so a watch stays
    // in front when a register owner changes its pages.
    ReadHandler watch_read = nullptr;
    WriteHandler watch_write = nullptr;
    HandlerTables behind_watch;

    std::array<uint8_t, kWramSize> wram{};
    uint32_t wram_port = 0;  // 24-bit address of the $2180 port
    // DMA lock of the $2180 port: the DMA unit sets it to 1 before each byte;
    // every work RAM access negates it, so bit 7 marks a DMA byte that came
    // from work RAM.
    uint8_t dma_active = 0;
};

// Selection of the handler for an access.
inline ReadHandler& read_entry(HandlerTables& t, uint8_t bank, uint16_t addr) {
    if (addr & 0x8000) return t.read_bank[256 + bank];
    if (bank & 0x40) return t.read_bank[bank];
    return t.read_page[addr >> 8];
}

inline WriteHandler& write_entry(HandlerTables& t, uint8_t bank, uint16_t addr) {
    if (addr & 0x8000) return t.write_bank[256 + bank];
    if (bank & 0x40) return t.write_bank[bank];
    return t.write_page[addr >> 8];
}

inline PeekHandler peek_entry(const HandlerTables& t, uint8_t bank, uint16_t addr) {
    if (addr & 0x8000) return t.peek_bank[256 + bank];
    if (bank & 0x40) return t.peek_bank[bank];
    return t.peek_page[addr >> 8];
}

// --- default handlers
uint8_t open_bus_read(Machine& m, uint8_t bank, uint16_t addr);
void discard_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int unreadable_peek(const Machine& m, uint8_t bank, uint16_t addr);  // always kNotReadable
uint8_t rom_read(Machine& m, uint8_t bank, uint16_t addr);
uint8_t rom_read_upper(Machine& m, uint8_t bank, uint16_t addr);
int rom_peek(const Machine& m, uint8_t bank, uint16_t addr);
int rom_peek_upper(const Machine& m, uint8_t bank, uint16_t addr);
// Empty addresses of the $21xx (B bus) tables: open bus without the
// slow-memory surcharge, writes ignored.
uint8_t io_open_bus_read(Machine& m, uint8_t bank, uint16_t addr);
void io_ignore_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);

inline constexpr MemoryWindow kOpenBusWindow{&open_bus_read, &discard_write, &unreadable_peek};
inline constexpr MemoryWindow kRomWindow{&rom_read, &discard_write, &rom_peek};
inline constexpr MemoryWindow kRomUpperWindow{&rom_read_upper, &discard_write, &rom_peek_upper};

// --- table construction
// Every loader entry becomes open bus / discard, ROM pointers point at slot
// (bank & $7F) of the cartridge ROM buffer.
void memory_reset_loader_tables(Machine& m);
// Installs a window for a bank half (half 0: $0000-$7FFF, 1: $8000-$FFFF).
void memory_install_loader_bank(Machine& m, int bank, int half, const MemoryWindow& w);
void memory_install_loader_page(Machine& m, int page, const MemoryWindow& w);
// Sub-table entry of pages $60-$7F for the banks whose high nibble is bank >> 4.
void memory_install_loader_sub(Machine& m, int bank_nibble, const MemoryWindow& w);
void memory_copy_loader_to_cpu(Machine& m);

void memory_install_page(Machine& m, int page, const MemoryWindow& w);
void memory_install_bank(Machine& m, int bank, int half, const MemoryWindow& w);
// One address $2100 + low of the B bus.
void memory_install_io(Machine& m, uint8_t low, const MemoryWindow& w);

// Fills work RAM, maps it (pages $00-$1F of the system banks, banks
// $7E/$7F) and clears the port address.
void memory_init_wram(Machine& m, uint8_t fill);
// Resets the $21xx tables: open bus / ignored everywhere except the work RAM
// port and the defaults of each register owner installed later.
void memory_reset_io_tables(Machine& m);
// Installs page $21 in the CPU tables (dispatching through io_read/io_write).
void memory_install_io_page(Machine& m);
// Refills ROM speed entries $80-$FF from MEMSEL bit 0.
void memory_set_fast_rom(Machine& m, bool fast);

uint8_t io_page_read(Machine& m, uint8_t bank, uint16_t addr);
void io_page_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int io_page_peek(const Machine& m, uint8_t bank, uint16_t addr);

// Work RAM "WRAM" chunk: 3-byte port address then 131,072 bytes.
inline constexpr uint32_t kWramChunkSize = 3 + kWramSize;
void memory_save_wram(const Machine& m, uint8_t* out);
void memory_load_wram(Machine& m, const uint8_t* in);
template <class Io>
void wram_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
