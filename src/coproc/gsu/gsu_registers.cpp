// The Super FX as the main CPU sees it: the register page at $3000-$32FF,
// the GSU RAM windows, power-on and reset, the slice at each line end, and
// the derived bank and screen bases recomputed whenever their register is
// written.
#include "coproc/gsu/gsu.h"

#include "cart/cartridge_map.h"
#include "cart/sram_access.h"
#include "core/cpu_state.h"
#include "core/machine.h"
#include "core/main_cpu.h"

namespace vt {

namespace {

constexpr MemoryWindow kGsuRegisterWindow{&gsu_register_read, &gsu_register_write, &gsu_register_peek};

// Banks $60-$7F of the GSU's own view that are not its RAM read this: the
// GSU has nothing there, and a pointer into a spare 64 KiB keeps every
// 16-bit index inside a buffer.
const std::array<uint8_t, 0x10000>& empty_bank() {
    static const std::array<uint8_t, 0x10000> bank = [] {
        std::array<uint8_t, 0x10000> b;
        b.fill(0xFF);
        return b;
    }();
    return bank;
}

// What a register-page read returns, or kNotReadable for addresses that
// answer with the open bus. Reads change nothing here; the $3031 side
// effect is the read handler's.
int register_value(const Gsu& g, uint16_t addr) {
    if (addr >= 0x3100 && addr < 0x3300) return g.cache[addr - 0x3100];
    if (addr >= 0x3040) return kNotReadable;
    uint8_t reg = addr & 0x3F;
    if (reg < 0x20) {
        uint16_t v = g.r[reg >> 1];
        return (reg & 1) ? v >> 8 : v & 0xFF;
    }
    reg |= 0x10;  // $3020-$302F repeat $3030-$303F
    uint16_t sfr = gsu_packed_sfr(g);
    switch (reg) {
        case 0x30: return sfr & 0xFF;
        case 0x31: return sfr >> 8;
        case 0x34: return g.pbr;
        case 0x36: return g.rombr;
        case 0x3B: return kGsuVersion;
        case 0x3C: return g.rambr;
        case 0x3E: return g.cbr & 0xFF;
        case 0x3F: return g.cbr >> 8;
        default: return 0;  // write-only registers
    }
}

void write_sfr_low(Machine& m, uint8_t value) {
    Gsu& g = m.gsu;
    g.sfr = uint16_t((g.sfr & 0xFF00) | (value & 0x7E));
    // Stopping the GSU from the main CPU empties its cache.
    if (!(value & kSfrGo)) g.cbr = 0;
    gsu_refresh_running(m);
}

}  // namespace

// ---------------------------------------------------------------------------
// Derived state

const uint8_t* gsu_bank_base(const Machine& m, uint8_t bank) {
    bank &= 0x7F;
    if (bank == 0x70 || bank == 0x71) return m.cart.sram.data() + size_t(bank & 1) * 0x10000;
    if (bank >= 0x60) return empty_bank().data();
    return m.cart.rom.data() + size_t(bank) * kRomSlotSize;
}

void gsu_set_program_bank(Machine& m, uint8_t bank) {
    m.gsu.pbr = bank;
    m.gsu.program_base = gsu_bank_base(m, bank);
}

void gsu_set_rom_bank(Machine& m, uint8_t bank) {
    m.gsu.rombr = bank;
    m.gsu.rom_base = gsu_bank_base(m, bank & 0x7F);
}

void gsu_set_ram_bank(Machine& m, uint8_t bank) {
    m.gsu.rambr = bank;
    m.gsu.ram = m.cart.sram.data();
    m.gsu.ram_base = m.gsu.ram + size_t(bank & 1) * 0x10000;
}

void gsu_set_screen(Machine& m) {
    Gsu& g = m.gsu;
    g.screen_base = uint32_t(g.scbr) * 1024;
    g.colour_mode = g.scmr & 3;
    g.height_index = uint8_t(((g.scmr >> 2) & 1) | ((g.scmr >> 4) & 2));
    gsu_select_plot_tables(g);
}

void gsu_set_clock(Machine& m) { m.gsu.slice_length = (m.gsu.clsr & 1) ? kGsuSliceLong : kGsuSliceShort; }

void gsu_refresh_running(Machine& m) {
    Gsu& g = m.gsu;
    g.running = (g.sfr & kSfrGo) && (g.scmr & kScmrRon);
}

void gsu_refresh_derived(Machine& m) {
    Gsu& g = m.gsu;
    gsu_set_program_bank(m, g.pbr);
    gsu_set_rom_bank(m, g.rombr);
    gsu_set_ram_bank(m, g.rambr);
    gsu_set_screen(m);
    gsu_set_clock(m);
    gsu_refresh_running(m);
}

void gsu_fill_rom_buffer(Gsu& g) { g.rom_buffer = g.rom_base[g.r[14]]; }

uint16_t gsu_packed_sfr(const Gsu& g) { return g.sfr & 0xFF7E; }

// ---------------------------------------------------------------------------
// Chip table row

// The registers at $3000-$34FF, the RAM's 8 KiB window at $6000-$7FFF of the
// system banks and its two whole banks $70-$71; the rest of banks $60-$7F
// is open.
void gsu_map(Machine& m) {
    install_loader_pages(m, 0x30, 0x34, kGsuRegisterWindow);
    install_loader_pages(m, 0x60, 0x7F, kSramWindow);
    for (int bank = 0x60; bank <= 0x7F; bank++) {
        const MemoryWindow& w = (bank == 0x70 || bank == 0x71) ? kSramBankWindow : kOpenBusWindow;
        memory_install_loader_bank(m, bank, 0, w);
        memory_install_loader_bank(m, bank, 1, w);
    }
}

void gsu_power_on(Machine& m) {
    m.gsu.cache.fill(0);
    gsu_reset(m);
}

void gsu_reset(Machine& m) {
    Gsu& g = m.gsu;
    std::array<uint8_t, kGsuCacheSize> cache = g.cache;  // the cache RAM keeps its bytes
    g = Gsu{};
    g.cache = cache;
    g.r.fill(0xFFFF);
    g.r[1] = g.r[2] = g.r[15] = 0;
    gsu_refresh_derived(m);
    gsu_fill_rom_buffer(g);
    m.cpu.irq_sources &= uint8_t(~kIrqCartridge);
}

void gsu_line_end(Machine& m) {
    if (m.gsu.running) gsu_line_slice(m);
}

void gsu_line_slice(Machine& m) { gsu_run(m, m.gsu.slice_length); }

// ---------------------------------------------------------------------------
// Main-CPU side

uint8_t gsu_register_read(Machine& m, uint8_t bank, uint16_t addr) {
    Gsu& g = m.gsu;
    int v = register_value(g, addr);
    if (v == kNotReadable) return open_bus_read(m, bank, addr);
    if (addr < 0x3040 && (addr & 0x3F) == 0x31) {
        // Reading the status high byte acknowledges the interrupt.
        g.sfr &= uint16_t(~kSfrIrq);
        m.cpu.irq_sources &= uint8_t(~kIrqCartridge);
    }
    m.mem.open_bus = uint8_t(v);
    return uint8_t(v);
}

int gsu_register_peek(const Machine& m, uint8_t, uint16_t addr) { return register_value(m.gsu, addr); }

void gsu_register_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    Gsu& g = m.gsu;
    if (addr >= 0x3100 && addr < 0x3300) {
        g.cache[addr - 0x3100] = value;
        return;
    }
    if (addr >= 0x3040) return;
    uint8_t reg = addr & 0x3F;
    if (reg < 0x20) {
        if (!(reg & 1)) {
            g.latch = value;
            return;
        }
        int n = reg >> 1;
        g.r[size_t(n)] = uint16_t(value << 8 | g.latch);
        if (n == 14) gsu_fill_rom_buffer(g);
        if (n == 15) {
            // Writing R15's high byte starts the GSU at R15 with an empty
            // pipeline (a NOP in it).
            g.sfr |= kSfrGo;
            g.pipe = 0x01;
            gsu_refresh_running(m);
        }
        return;
    }
    switch (reg) {
        case 0x30: write_sfr_low(m, value); break;
        case 0x31: g.sfr = uint16_t((g.sfr & 0x00FF) | (value << 8)); break;
        case 0x33: g.bramr = value; break;
        case 0x34: gsu_set_program_bank(m, value); break;
        case 0x36: gsu_set_rom_bank(m, value); break;
        case 0x37: g.cfgr = value; break;
        case 0x38:
            g.scbr = value;
            gsu_set_screen(m);
            break;
        case 0x39:
            g.clsr = value;
            gsu_set_clock(m);
            break;
        case 0x3A:
            g.scmr = value;
            gsu_set_screen(m);
            gsu_refresh_running(m);
            break;
        case 0x3C: gsu_set_ram_bank(m, value & 1); break;
        case 0x3E: g.cbr = uint16_t((g.cbr & 0xFF00) | (value & 0xF0)); break;
        case 0x3F: g.cbr = uint16_t((g.cbr & 0x00FF) | (value << 8)); break;
        default: break;  // $3020-$302F, $3032, $3035, $303B, $303D
    }
}

}  // namespace vt
