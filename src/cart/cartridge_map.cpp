#include "cart/cartridge_map.h"

#include <cstdint>

#include "cart/boards.h"
#include "cart/coprocessor_windows.h"
#include "cart/rom_layout.h"
#include "cart/sram_access.h"
#include "core/machine.h"

namespace vt {

namespace {

// A pointer p for which p[addr], addr in $8000-$FFFF, reads the 32 KiB at
// `window`. The pointer itself may lie before the buffer (worked out on the
// integer value); only p + addr is ever dereferenced.
const uint8_t* upper_half_pointer(const uint8_t* window) {
    return reinterpret_cast<const uint8_t*>(reinterpret_cast<uintptr_t>(window) - kBlockSize);
}

void install_bank(Machine& m, int bank, int half, WindowHandlers h) {
    memory_install_loader_bank(m, bank, half, h.read, h.write);
}

void install_banks(Machine& m, int first, int last, int half, WindowHandlers h) {
    for (int bank = first; bank <= last; bank++) install_bank(m, bank, half, h);
}

void install_pages(Machine& m, int first, int last, WindowHandlers h) {
    for (int page = first; page <= last; page++) memory_install_loader_page(m, page, h.read, h.write);
}

constexpr WindowHandlers kRom{&rom_read, &discard_write};
constexpr WindowHandlers kRomUpper{&rom_read_upper, &discard_write};
constexpr WindowHandlers kOpenBus{&open_bus_read, &discard_write};
constexpr WindowHandlers kLoRomSram{&lorom_sram_read, &lorom_sram_write};
constexpr WindowHandlers kHiRomSram{&hirom_sram_read, &hirom_sram_write};
constexpr WindowHandlers kSramWindow{&sram_window_read, &sram_window_write};
constexpr WindowHandlers kSramBank{&sram_bank_read, &sram_bank_write};
constexpr WindowHandlers kSramSingleBank{&sram_single_bank_read, &sram_single_bank_write};

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
    if (c.coprocessor == kCoprocSdd1) {
        // Banks $00-$3F and $80-$BF see the 32 KiB windows of the first 2 MiB.
        for (int bank = 0; bank < 256; bank++) {
            if (bank & 0x40) continue;
            const uint8_t* p = upper_half_pointer(rom + size_t(bank & 0x3F) * kBlockSize);
            m.mem.rom_lower[bank] = p;
            m.mem.rom_upper[bank] = p;
        }
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
        if ((mask >> group) & 1) memory_install_loader_sub(m, group, kHiRomSram.read, kHiRomSram.write);
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
                }
            }
            break;
        case SramLayout::HiRom:
            for (int nibble : {0x2, 0x3, 0xA, 0xB}) memory_install_loader_sub(m, nibble, kHiRomSram.read, kHiRomSram.write);
            break;
        case SramLayout::None:
            break;
    }
}

// ---------------------------------------------------------------------------
// Coprocessors

void map_dsp(Machine& m) {
    WindowHandlers h = kDspWindow[m.cart.dsp_variant <= 4 ? m.cart.dsp_variant : 0];
    switch (dsp_placement(m)) {
        case DspPlacement::HiRom:
            for (int nibble : {0x0, 0x1, 0x8, 0x9}) memory_install_loader_sub(m, nibble, h.read, h.write);
            break;
        case DspPlacement::LoRomBanks30:
            install_banks(m, 0x30, 0x3F, 1, h);
            install_banks(m, 0xB0, 0xBF, 1, h);
            break;
        case DspPlacement::LoRomBanks20:
            install_banks(m, 0x20, 0x3F, 1, h);
            install_banks(m, 0xA0, 0xBF, 1, h);
            break;
        case DspPlacement::LoRomBanks60:
            install_banks(m, 0x60, 0x6F, 0, h);
            install_banks(m, 0xE0, 0xEF, 0, h);
            break;
    }
}

void map_super_fx_ram(Machine& m) {
    for (int bank = 0x60; bank <= 0x7F; bank++) {
        WindowHandlers h = (bank == 0x70 || bank == 0x71) ? kSramBank : kOpenBus;
        install_bank(m, bank, 0, h);
        install_bank(m, bank, 1, h);
    }
}

void map_coprocessor(Machine& m) {
    const Cartridge& c = m.cart;
    HandlerTables& t = m.mem.loader;
    switch (c.coprocessor) {
        case kCoprocCx4:
            install_pages(m, 0x60, 0x6B, kCx4Window);
            install_pages(m, 0x70, 0x7B, kCx4Window);
            install_pages(m, 0x7F, 0x7F, kCx4Window);
            break;
        case kCoprocDsp:
            map_dsp(m);
            break;
        case kCoprocObc1:
            install_pages(m, 0x78, 0x7F, kObc1Window);
            for (int bank : {0x70, 0x71, 0xF0, 0xF1}) install_bank(m, bank, 0, kObc1Window);
            break;
        case kCoprocSa1:
            t.write_page[0x22] = kSa1RegisterWindow.write;
            t.read_page[0x23] = kSa1RegisterWindow.read;
            install_pages(m, 0x30, 0x37, kSa1IramWindow);
            install_pages(m, 0x60, 0x7F, kSa1BwramWindow);
            break;
        case kCoprocSdd1:
            for (ReadHandler& r : t.read_bank) {
                if (r == &rom_read) r = kSdd1DataPort.read;
            }
            install_pages(m, 0x48, 0x48, kSdd1RegisterWindow);
            break;
        case kCoprocSuperFx:
            install_pages(m, 0x30, 0x34, kSuperFxRegisterWindow);
            install_pages(m, 0x60, 0x7F, kSramWindow);
            map_super_fx_ram(m);
            break;
        case kCoprocSpc7110:
            install_pages(m, 0x60, 0x7F, kSpc7110Window);
            install_pages(m, 0x48, 0x48, kSpc7110RegisterWindow);
            break;
        case kCoprocSt010:
            install_banks(m, 0x68, 0x6F, 0, kSt010Window);
            install_banks(m, 0xE8, 0xEF, 0, kSt010Window);
            break;
        case kCoprocSt018:
            install_pages(m, 0x38, 0x38, kSt018Window);
            break;
        case kCoprocBsx:
            install_banks(m, 0x70, 0x77, 0, kBsxMemoryPackWindow);
            install_banks(m, 0x70, 0x77, 1, kBsxMemoryPackWindow);
            install_pages(m, 0x50, 0x5F, kBsxRegisterWindow);
            break;
        default:
            break;
    }
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
    if (c.satellaview_base) {
        install_banks(m, 0x70, 0x7F, 0, kBsxMemoryPackWindow);
        install_banks(m, 0x70, 0x7F, 1, kBsxMemoryPackWindow);
        install_pages(m, 0x50, 0x5F, kBsxRegisterWindow);
        install_bank(m, 0xC0, 0, {&bsx_bank_c0_read, &discard_write});
        install_bank(m, 0xC0, 1, {&bsx_bank_c0_read, &discard_write});
    }
    if (title == "XBAND VIDEOGAME MODEM" || title == "XBAND JAPANESE MODEM") {
        for (int bank : {0xE0, 0x60}) {
            install_bank(m, bank, 0, kSramSingleBank);
            install_bank(m, bank, 1, kSramSingleBank);
        }
        install_bank(m, 0xFB, 1, {&xband_id_read, &discard_write});
    }
    if (title == "SUPER UFO PRO-8 1995") install_pages(m, 0x3D, 0x3D, kSuperUfoWindow);
    if (c.image_size == kWindowImageSize && c.crc32 == kWindowImageCrc) install_pages(m, 0x60, 0x7F, kSramWindow);
    if (title == "Super GAMEBOY" || title == "Super GAMEBOY2") {
        install_pages(m, 0x60, 0x67, kSuperGameBoyWindow);
        for (int page = 0x70; page <= 0x7F; page++) m.mem.loader.read_page[page] = kSuperGameBoyWindow.read;
    }
}

}  // namespace

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
    map_coprocessor(m);
    map_special_cartridges(m);
    memory_copy_loader_to_cpu(m);
    memory_reset_io_tables(m);
    if (m.cart.coprocessor == kCoprocBsx) {
        for (int a = 0x84; a <= 0x9F; a++) {
            m.mem.io_read[a] = kBsxBbusWindow.read;
            m.mem.io_write[a] = kBsxBbusWindow.write;
        }
    }
}

}  // namespace vt
