#include "cart/cartridge_map.h"

#include <cstdint>

#include "cart/boards.h"
#include "cart/coprocessor_windows.h"
#include "cart/rom_layout.h"
#include "cart/sram_access.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

void install_bank(Machine& m, int bank, int half, const MemoryWindow& w) { memory_install_loader_bank(m, bank, half, w); }

void install_banks(Machine& m, int first, int last, int half, const MemoryWindow& w) {
    install_loader_banks(m, first, last, half, w);
}

void install_pages(Machine& m, int first, int last, const MemoryWindow& w) { install_loader_pages(m, first, last, w); }

constexpr const MemoryWindow& kRom = kRomWindow;
constexpr const MemoryWindow& kRomUpper = kRomUpperWindow;
constexpr const MemoryWindow& kOpenBus = kOpenBusWindow;
constexpr const MemoryWindow& kLoRomSram = kLoRomSramWindow;
constexpr const MemoryWindow& kHiRomSram = kHiRomSramWindow;
constexpr const MemoryWindow& kSramBank = kSramBankWindow;

// ---------------------------------------------------------------------------
// ROM

bool extended_layout(const Cartridge& c) {
    return c.rom_size == 13 && c.hirom && c.coprocessor != kCoprocSpc7110;
}

void map_rom(Machine& m) {
    const Cartridge& c = m.cart;
    const uint8_t* rom = c.rom.data();
    for (int bank = 0; bank < 256; bank++) {
        install_bank(m, bank, 0, kRom);
        install_bank(m, bank, 1, kRom);
        const uint8_t* slot = rom + size_t(rom_slot_for_bank(m, uint8_t(bank))) * kRomSlotSize;
        m.mem.rom_lower[bank] = slot;
        m.mem.rom_upper[bank] = slot;
    }
}

// Game Doctor maps: each 32 KiB half described by a map byte of the copier
// header. $20-$3F: ROM at (byte AND $1F) x 512 KiB, 32 KiB per bank in
// order; $40-$5F: LoROM-style battery RAM; anything else: open bus.
void map_game_doctor_half(Machine& m, int bank, int half, uint8_t map_byte, uint32_t index_in_group) {
    const Cartridge& c = m.cart;
    if (map_byte >= 0x20 && map_byte <= 0x3F) {
        uint64_t window = uint64_t(map_byte & 0x1F) * 0x80000 + uint64_t(index_in_group) * kBlockSize;
        if (window + kBlockSize > kRomBufferSize) return;  // beyond the buffer: open bus
        const uint8_t* p = c.rom.data() + window;
        if (half) {
            m.mem.rom_upper[bank] = upper_half_pointer(p);
            install_bank(m, bank, 1, kRomUpper);
        } else {
            m.mem.rom_lower[bank] = p;
            install_bank(m, bank, 0, kRom);
        }
    } else if (map_byte >= 0x40 && map_byte <= 0x5F && c.sram_size) {
        install_bank(m, bank, half, kLoRomSram);
    }
}

void map_game_doctor(Machine& m) {
    const std::vector<uint8_t>& h = m.cart.copier_header_bytes;
    if (h.size() < kCopierHeaderSize) return;
    for (int group = 0; group < 16; group++) {
        for (int j = 0; j < 16; j++) map_game_doctor_half(m, group * 16 + j, 1, h[17 + group], uint32_t(j));
    }
    static constexpr int kLowerGroups[8] = {0x40, 0x50, 0x60, 0x70, 0xC0, 0xD0, 0xE0, 0xF0};
    for (int i = 0; i < 8; i++) {
        for (int j = 0; j < 16; j++) map_game_doctor_half(m, kLowerGroups[i] + j, 0, h[33 + i], uint32_t(j));
    }
    // Battery RAM at $6000-$7FFF of the system-area bank groups whose bit is set.
    uint16_t mask = uint16_t(h[41] | (h[42] << 8));
    if (!m.cart.sram_size) return;
    for (int group = 0; group < 16; group++) {
        if ((mask >> group) & 1) memory_install_loader_sub(m, group, kHiRomSram);
    }
}

// ---------------------------------------------------------------------------
// Battery RAM

void map_battery_ram(Machine& m) {
    const Cartridge& c = m.cart;
    if (c.gd3 || !c.sram_size) return;
    switch (c.sram_layout) {
        case SramLayout::LoRom:
            install_banks(m, 0x70, 0x7F, 0, kLoRomSram);
            if (c.coprocessor == kCoprocNone) install_banks(m, 0x40, 0x6F, 0, kOpenBus);
            if (c.rom_size < 13) {
                HandlerTables& t = m.mem.loader;
                for (int bank = 0; bank < 128; bank++) {
                    t.read_bank[bank + 128] = t.read_bank[bank];
                    t.write_bank[bank + 128] = t.write_bank[bank];
                    t.peek_bank[bank + 128] = t.peek_bank[bank];
                }
            }
            break;
        case SramLayout::HiRom:
            for (int nibble : {0x2, 0x3, 0xA, 0xB}) memory_install_loader_sub(m, nibble, kHiRomSram);
            break;
        case SramLayout::None:
            break;
    }
}

// ---------------------------------------------------------------------------
// Cartridge chips: each chip's map is in its row of the chip table.

void map_chip(Machine& m) {
    const Cartridge& c = m.cart;
    if (const Chip& chip = chip_for(c.coprocessor); chip.map) chip.map(m);
    // A Super FX board whose chip was not recognised still has its RAM.
    const Board* board = find_board(c.pcb_id);
    if (board && board->family == BoardFamily::SuperFx && c.coprocessor != kCoprocSuperFx) {
        install_banks(m, 0x70, 0x71, 0, kSramBank);
        install_banks(m, 0x70, 0x71, 1, kSramBank);
    }
}

// Image with a CRC32 known to need the 8 KiB battery RAM window.
constexpr uint32_t kWindowImageSize = 131072;
constexpr uint32_t kWindowImageCrc = 226457354;

void map_special_cartridges(Machine& m) {
    const Cartridge& c = m.cart;
    const std::string& title = c.header_title;
    if (title == "SUPER UFO PRO-8 1995") install_pages(m, 0x3D, 0x3D, kSuperUfoWindow);
    if (c.image_size == kWindowImageSize && c.crc32 == kWindowImageCrc) install_pages(m, 0x60, 0x7F, kSramWindow);
}

}  // namespace

void install_loader_banks(Machine& m, int first, int last, int half, const MemoryWindow& w) {
    for (int bank = first; bank <= last; bank++) memory_install_loader_bank(m, bank, half, w);
}

void install_loader_pages(Machine& m, int first, int last, const MemoryWindow& w) {
    for (int page = first; page <= last; page++) memory_install_loader_page(m, page, w);
}

const uint8_t* upper_half_pointer(const uint8_t* window) {
    return reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(window) - kBlockSize);
}

DspPlacement dsp_placement(const Machine& m) {
    const Cartridge& c = m.cart;
    const Board* board = find_board(c.pcb_id);
    if (board && board->family == BoardFamily::HiRomDsp) return DspPlacement::HiRom;
    if (board && board->family == BoardFamily::LoRomDsp) return DspPlacement::LoRomBanks30;
    if (c.hirom) return DspPlacement::HiRom;
    if (c.rom_size <= 9) return DspPlacement::LoRomBanks30;
    if (c.rom_size == 10) return DspPlacement::LoRomBanks20;
    return DspPlacement::LoRomBanks60;
}

uint32_t rom_slot_for_bank(const Machine& m, uint8_t bank) {
    const Cartridge& c = m.cart;
    uint32_t slot = bank & 0x7F;
    if (extended_layout(c)) {
        // Banks $80-$FF see the first 4 MiB, banks $00-$7F the rest.
        slot = (bank & 0x80) ? (bank & 0x3F) : 64 + (bank & 0x3F);
    }
    return slot & (c.mirrored_slots - 1);
}

void build_cartridge_map(Machine& m) {
    memory_reset_loader_tables(m);
    if (m.cart.gd3) {
        map_game_doctor(m);
    } else {
        map_rom(m);
        map_battery_ram(m);
    }
    map_chip(m);
    map_special_cartridges(m);
    memory_copy_loader_to_cpu(m);
    memory_reset_io_tables(m);
    if (const Chip& chip = chip_for(m.cart.coprocessor); chip.map_cpu_view) chip.map_cpu_view(m);
}

}  // namespace vt
