// The SA-1's memories as both processors see them: I-RAM, BW-RAM (linear
// and as packed pixels), ROM through the Super MMC with the vector
// overrides, and the register pages. The main CPU's handlers charge the
// main CPU's memory time and keep its open bus; the SA-1's charge nothing
// (its instructions cost their base cycles) and leave the main CPU's bus
// alone.
#include <algorithm>

#include "cart/cartridge_map.h"
#include "coproc/sa1/sa1.h"
#include "coproc/sa1/sa1_bus.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint32_t kMegabyte = 0x100000;

uint8_t sram_at(const Machine& m, uint32_t offset) { return m.cart.sram[offset & m.cart.sram_mask]; }
void sram_set(Machine& m, uint32_t offset, uint8_t v) { m.cart.sram[offset & m.cart.sram_mask] = v; }

uint32_t bank_linear(uint8_t bank, uint16_t addr) { return (uint32_t(bank & 0x0F) << 16) | addr; }

bool iram_page_writable(uint8_t mask, uint16_t addr) { return (mask >> ((addr >> 8) & 7)) & 1; }

// ---------------------------------------------------------------------------
// Main CPU side

uint8_t snes_register_read(Machine& m, uint8_t, uint16_t addr) {
    uint8_t v = sa1_register_read(m, addr);
    m.mem.open_bus = v;
    return v;
}
void snes_register_write(Machine& m, uint8_t, uint16_t addr, uint8_t v) { sa1_register_write(m, addr, v); }
int register_peek(const Machine& m, uint8_t, uint16_t addr) { return sa1_register_peek(m, addr); }

uint8_t snes_iram_read(Machine& m, uint8_t, uint16_t addr) {
    uint8_t v = m.sa1.iram[addr & (kSa1IramSize - 1)];
    m.mem.open_bus = v;
    return v;
}
void snes_iram_write(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    if (iram_page_writable(m.sa1.w.siwp, addr)) m.sa1.iram[addr & (kSa1IramSize - 1)] = v;
}
int iram_peek(const Machine& m, uint8_t, uint16_t addr) { return m.sa1.iram[addr & (kSa1IramSize - 1)]; }

// $6000-$7FFF: 8 KiB of BW-RAM at the BMAPS base, unprotected.
uint8_t snes_window_read(Machine& m, uint8_t, uint16_t addr) {
    m.timing.line_clock += 1;
    uint8_t v = sram_at(m, m.sa1.snes_bwram_base + (addr & 0x1FFF));
    m.mem.open_bus = v;
    return v;
}
void snes_window_write(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    m.timing.line_clock += 1;
    sram_set(m, m.sa1.snes_bwram_base + (addr & 0x1FFF), v);
}
int snes_window_peek(const Machine& m, uint8_t, uint16_t addr) {
    return sram_at(m, m.sa1.snes_bwram_base + (addr & 0x1FFF));
}

// Banks $40-$4F: BW-RAM linear; writes under the SNES protection.
uint8_t snes_bwram_read(Machine& m, uint8_t bank, uint16_t addr) {
    m.timing.line_clock += 1;
    uint8_t v = sram_at(m, bank_linear(bank, addr));
    m.mem.open_bus = v;
    return v;
}
void snes_bwram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t v) {
    m.timing.line_clock += 1;
    sa1_protected_bwram_write(m, (uint32_t(bank) << 16) | addr, m.sa1.w.sbwe, v);
}
int bwram_peek(const Machine& m, uint8_t bank, uint16_t addr) { return sram_at(m, bank_linear(bank, addr)); }

// While character conversion type 1 runs, the same banks read out the
// converted characters.
uint8_t snes_conversion_read(Machine& m, uint8_t, uint16_t) {
    m.timing.line_clock += 1;
    uint8_t v = sa1_conversion_read(m);
    m.mem.open_bus = v;
    return v;
}
int conversion_peek(const Machine& m, uint8_t, uint16_t) {
    const Sa1& s = m.sa1;
    return s.iram[(s.w.dda + s.read_counter) & (kSa1IramSize - 1)];
}

// Bank $00 $8000-$FFFF: ROM, but the NMI and IRQ vectors come from SNV and
// SIV when SCNT switches them over.
int snes_vector_override(const Machine& m, uint16_t addr) {
    if (addr < 0xFFE0) return -1;
    const Sa1Written& w = m.sa1.w;
    switch (addr & 0xF) {
        case 0xA: return (w.scnt & 0x10) ? (w.snv & 0xFF) : -1;
        case 0xB: return (w.scnt & 0x10) ? (w.snv >> 8) : -1;
        case 0xE: return (w.scnt & 0x40) ? (w.siv & 0xFF) : -1;
        case 0xF: return (w.scnt & 0x40) ? (w.siv >> 8) : -1;
        default: return -1;
    }
}
uint8_t snes_bank0_read(Machine& m, uint8_t bank, uint16_t addr) {
    if (int v = snes_vector_override(m, addr); v >= 0) {
        m.timing.line_clock += m.mem.rom_speed[bank];
        m.mem.open_bus = uint8_t(v);
        return uint8_t(v);
    }
    return rom_read_upper(m, bank, addr);
}
int snes_bank0_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    if (int v = snes_vector_override(m, addr); v >= 0) return v;
    return rom_peek_upper(m, bank, addr);
}

// ---------------------------------------------------------------------------
// SA-1 side

uint8_t sa1_open_read(Machine&, uint8_t, uint16_t) { return 0; }
void sa1_ignore_write(Machine&, uint8_t, uint16_t, uint8_t) {}

uint8_t sa1_register_page_read(Machine& m, uint8_t, uint16_t addr) { return sa1_register_read(m, addr); }

uint8_t sa1_iram_read(Machine& m, uint8_t, uint16_t addr) { return m.sa1.iram[addr & (kSa1IramSize - 1)]; }
void sa1_iram_write(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    if (iram_page_writable(m.sa1.w.ciwp, addr)) m.sa1.iram[addr & (kSa1IramSize - 1)] = v;
}

uint8_t sa1_lorom_read(Machine& m, uint8_t bank, uint16_t addr) { return m.sa1.rom[bank][addr & 0x7FFF]; }
int sa1_lorom_peek(const Machine& m, uint8_t bank, uint16_t addr) { return m.sa1.rom[bank][addr & 0x7FFF]; }
uint8_t sa1_hirom_read(Machine& m, uint8_t bank, uint16_t addr) { return m.sa1.rom[bank][addr]; }
int sa1_hirom_peek(const Machine& m, uint8_t bank, uint16_t addr) { return m.sa1.rom[bank][addr]; }

// Bank $00 $FFE0-$FFFF: the SA-1's NMI, reset and IRQ vectors are its own
// registers CNV, CRV and CIV.
int sa1_vector(const Machine& m, uint16_t addr) {
    if (addr < 0xFFE0) return -1;
    const Sa1Written& w = m.sa1.w;
    switch (addr & 0xF) {
        case 0xA: return w.cnv & 0xFF;
        case 0xB: return w.cnv >> 8;
        case 0xC: return w.crv & 0xFF;
        case 0xD: return w.crv >> 8;
        case 0xE: return w.civ & 0xFF;
        case 0xF: return w.civ >> 8;
        default: return -1;
    }
}
uint8_t sa1_bank0_read(Machine& m, uint8_t bank, uint16_t addr) {
    if (int v = sa1_vector(m, addr); v >= 0) return uint8_t(v);
    return m.sa1.rom[bank][addr & 0x7FFF];
}
int sa1_bank0_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    if (int v = sa1_vector(m, addr); v >= 0) return v;
    return m.sa1.rom[bank][addr & 0x7FFF];
}

// $6000-$7FFF at the BMAP base: linear bytes, or pixels.
uint8_t sa1_window_read(Machine& m, uint8_t, uint16_t addr) {
    return sram_at(m, m.sa1.sa1_bwram_base + (addr & 0x1FFF));
}
void sa1_window_write(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    sram_set(m, m.sa1.sa1_bwram_base + (addr & 0x1FFF), v);
}
int sa1_window_peek(const Machine& m, uint8_t, uint16_t addr) {
    return sram_at(m, m.sa1.sa1_bwram_base + (addr & 0x1FFF));
}
uint8_t sa1_window_pixel_read(Machine& m, uint8_t, uint16_t addr) {
    return sa1_bitmap_read(m, m.sa1.sa1_bwram_base + (addr & 0x1FFF));
}
void sa1_window_pixel_write(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    sa1_bitmap_write(m, m.sa1.sa1_bwram_base + (addr & 0x1FFF), v);
}
int sa1_window_pixel_peek(const Machine& m, uint8_t, uint16_t addr) {
    return sa1_bitmap_read(m, m.sa1.sa1_bwram_base + (addr & 0x1FFF));
}

// Banks $40-$4F linear, writes under the SA-1 protection.
uint8_t sa1_bwram_read(Machine& m, uint8_t bank, uint16_t addr) { return sram_at(m, bank_linear(bank, addr)); }
void sa1_bwram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t v) {
    sa1_protected_bwram_write(m, (uint32_t(bank) << 16) | addr, m.sa1.w.cbwe, v);
}

// Banks $60-$6F: the bitmap view.
uint8_t sa1_bitmap_bank_read(Machine& m, uint8_t bank, uint16_t addr) {
    return sa1_bitmap_read(m, bank_linear(bank, addr));
}
void sa1_bitmap_bank_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t v) {
    sa1_bitmap_write(m, bank_linear(bank, addr), v);
}
int sa1_bitmap_bank_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    return sa1_bitmap_read(m, bank_linear(bank, addr));
}

constexpr MemoryWindow kSnesIram{&snes_iram_read, &snes_iram_write, &iram_peek};
constexpr MemoryWindow kSnesWindow{&snes_window_read, &snes_window_write, &snes_window_peek};
constexpr MemoryWindow kSnesBwram{&snes_bwram_read, &snes_bwram_write, &bwram_peek};
constexpr MemoryWindow kSnesConversion{&snes_conversion_read, &snes_bwram_write, &conversion_peek};

constexpr MemoryWindow kSa1Open{&sa1_open_read, &sa1_ignore_write, &unreadable_peek};
constexpr MemoryWindow kSa1Iram{&sa1_iram_read, &sa1_iram_write, &iram_peek};
constexpr MemoryWindow kSa1LoRom{&sa1_lorom_read, &sa1_ignore_write, &sa1_lorom_peek};
constexpr MemoryWindow kSa1HiRom{&sa1_hirom_read, &sa1_ignore_write, &sa1_hirom_peek};
constexpr MemoryWindow kSa1Bank0{&sa1_bank0_read, &sa1_ignore_write, &sa1_bank0_peek};
constexpr MemoryWindow kSa1Window{&sa1_window_read, &sa1_window_write, &sa1_window_peek};
constexpr MemoryWindow kSa1PixelWindow{&sa1_window_pixel_read, &sa1_window_pixel_write, &sa1_window_pixel_peek};
constexpr MemoryWindow kSa1Bwram{&sa1_bwram_read, &sa1_bwram_write, &bwram_peek};
constexpr MemoryWindow kSa1Bitmap{&sa1_bitmap_bank_read, &sa1_bitmap_bank_write, &sa1_bitmap_bank_peek};

void install(HandlerTables& t, int bank, int half, const MemoryWindow& w) {
    t.read_bank[size_t(half * 256 + bank)] = w.read;
    t.write_bank[size_t(half * 256 + bank)] = w.write;
    t.peek_bank[size_t(half * 256 + bank)] = w.peek;
}

void install_page(HandlerTables& t, int page, const MemoryWindow& w) {
    t.read_page[size_t(page)] = w.read;
    t.write_page[size_t(page)] = w.write;
    t.peek_page[size_t(page)] = w.peek;
}

bool tables_built(const Machine& m) { return m.sa1.view.read_page[0] != nullptr; }

}  // namespace

// The SA-1's own tables, built whole: it sees neither work RAM nor the
// console's I/O registers.
void sa1_build_view(Machine& m) {
    HandlerTables& t = m.sa1.view;
    for (int page = 0; page < 128; page++) install_page(t, page, kSa1Open);
    for (int bank = 0; bank < 256; bank++) {
        install(t, bank, 0, kSa1Open);
        install(t, bank, 1, kSa1Open);
    }
    for (int page : {0x00, 0x30}) {
        for (int i = 0; i < 8; i++) install_page(t, page + i, kSa1Iram);
    }
    t.write_page[0x22] = &snes_register_write;  // the same register writes as the main CPU's
    t.read_page[0x23] = &sa1_register_page_read;
    t.peek_page[0x23] = &register_peek;
    for (int bank = 0; bank < 256; bank++) {
        if (sa1_lorom_bank(uint8_t(bank))) install(t, bank, 1, bank == 0 ? kSa1Bank0 : kSa1LoRom);
        if (sa1_hirom_bank(uint8_t(bank))) {
            install(t, bank, 0, kSa1HiRom);
            install(t, bank, 1, kSa1HiRom);
        }
    }
    for (int bank = 0x40; bank <= 0x4F; bank++) {
        install(t, bank, 0, kSa1Bwram);
        install(t, bank, 1, kSa1Bwram);
    }
    for (int bank = 0x60; bank <= 0x6F; bank++) {
        install(t, bank, 0, kSa1Bitmap);
        install(t, bank, 1, kSa1Bitmap);
    }
}

int sa1_bus_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    return peek_entry(m.sa1.view, bank, addr)(m, bank, addr);
}

// ---------------------------------------------------------------------------
// Maps

void sa1_map(Machine& m) {
    HandlerTables& t = m.mem.loader;
    t.write_page[0x22] = &snes_register_write;
    t.read_page[0x23] = &snes_register_read;
    t.peek_page[0x23] = &register_peek;
    t.write_page[0x23] = &discard_write;
    install_loader_pages(m, 0x30, 0x37, kSnesIram);
    install_loader_pages(m, 0x60, 0x7F, kSnesWindow);
    install_loader_banks(m, 0x40, 0x4F, 0, kSnesBwram);
    install_loader_banks(m, 0x40, 0x4F, 1, kSnesBwram);
    // Nothing answers in banks $50-$7F but work RAM, which comes later.
    install_loader_banks(m, 0x50, 0x7F, 0, kOpenBusWindow);
    install_loader_banks(m, 0x50, 0x7F, 1, kOpenBusWindow);
    // ROM through the Super MMC.
    for (int bank = 0; bank < 256; bank++) {
        if (sa1_lorom_bank(uint8_t(bank))) memory_install_loader_bank(m, bank, 1, kRomUpperWindow);
        if (sa1_hirom_bank(uint8_t(bank))) {
            memory_install_loader_bank(m, bank, 0, kRomWindow);
            memory_install_loader_bank(m, bank, 1, kRomWindow);
        }
    }
    memory_install_loader_bank(m, 0x00, 1, {&snes_bank0_read, &discard_write, &snes_bank0_peek});
    sa1_rebuild_rom_banks(m);
}

void sa1_map_cpu_view(Machine& m) {
    sa1_build_view(m);
    sa1_refresh_derived(m);
}

// Each of CXB, DXB, EXB, FXB picks a 1 MiB block of the image for a quarter
// of the LoROM banks (bit 7 set; else the fixed block 0-3) and a quarter of
// the HiROM banks (always).
void sa1_rebuild_rom_banks(Machine& m) {
    const Cartridge& c = m.cart;
    const uint32_t rom_bytes = std::max<uint32_t>(c.mirrored_slots, 1) * kRomSlotSize;
    const uint8_t* rom = c.rom.data();
    const auto at = [&](uint32_t offset) { return rom + (offset % rom_bytes); };
    Sa1& s = m.sa1;
    for (int bank = 0; bank < 256; bank++) {
        const uint8_t b = uint8_t(bank);
        if (sa1_lorom_bank(b)) {
            const int quarter = ((b >> 5) & 1) | ((b >> 6) & 2);  // $00, $20, $80, $A0
            const uint8_t reg = s.w.mmc[size_t(quarter)];
            const uint32_t block = (reg & 0x80) ? (reg & 7u) : uint32_t(quarter);
            s.rom[b] = at(block * kMegabyte + (b & 0x1Fu) * 0x8000);
            m.mem.rom_upper[b] = upper_half_pointer(s.rom[b]);
        } else if (sa1_hirom_bank(b)) {
            const uint32_t block = s.w.mmc[size_t((b >> 4) & 3)] & 7u;
            s.rom[b] = at(block * kMegabyte + (b & 0x0Fu) * 0x10000);
            m.mem.rom_lower[b] = s.rom[b];
            m.mem.rom_upper[b] = s.rom[b];
        } else {
            s.rom[b] = nullptr;
        }
    }
}

uint8_t sa1_rom_byte(const Machine& m, uint32_t address) {
    const uint8_t bank = uint8_t(address >> 16);
    const uint16_t addr = uint16_t(address);
    if (sa1_hirom_bank(bank)) return m.sa1.rom[bank][addr];
    if (sa1_lorom_bank(bank) && (addr & 0x8000)) return m.sa1.rom[bank][addr & 0x7FFF];
    return 0;
}

// The window handlers follow BMAP and the conversion: chosen here, when
// the registers change, so an access tests neither.
void sa1_install_switched_windows(Machine& m) {
    if (!tables_built(m)) return;
    const MemoryWindow& window = m.sa1.sa1_window_bitmap ? kSa1PixelWindow : kSa1Window;
    for (int page = 0x60; page <= 0x7F; page++) install_page(m.sa1.view, page, window);
    const MemoryWindow& banks = m.sa1.conversion_active ? kSnesConversion : kSnesBwram;
    for (int bank = 0x40; bank <= 0x4F; bank++) {
        install(m.mem.cpu, bank, 0, banks);
        install(m.mem.cpu, bank, 1, banks);
    }
}

// ---------------------------------------------------------------------------
// BW-RAM rules

uint8_t sa1_bitmap_read(const Machine& m, uint32_t pixel) {
    if (m.sa1.w.bbf & 0x80) return (sram_at(m, pixel >> 2) >> (2 * (pixel & 3))) & 3;
    return (sram_at(m, pixel >> 1) >> (4 * (pixel & 1))) & 0xF;
}

void sa1_bitmap_write(Machine& m, uint32_t pixel, uint8_t value) {
    if (m.sa1.w.bbf & 0x80) {
        const uint32_t at = pixel >> 2;
        const int shift = 2 * int(pixel & 3);
        sram_set(m, at, uint8_t((sram_at(m, at) & ~(3 << shift)) | ((value & 3) << shift)));
    } else {
        const uint32_t at = pixel >> 1;
        const int shift = 4 * int(pixel & 1);
        sram_set(m, at, uint8_t((sram_at(m, at) & ~(0xF << shift)) | ((value & 0xF) << shift)));
    }
}

void sa1_protected_bwram_write(Machine& m, uint32_t address, uint8_t enable, uint8_t value) {
    if (address < m.sa1.protect_boundary && !(enable & 0x80)) return;
    sram_set(m, address & 0x0FFFFF, value);
}

}  // namespace vt
