#include "coproc/obc1/obc1.h"

#include "cart/cartridge_map.h"
#include "cart/sram_access.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint32_t kRamMask = 0x1FFF;
constexpr uint16_t kRegisterEcho = 0x1F00;  // every register byte is also stored at $1F00 + low byte

uint8_t& ram(Machine& m, uint32_t offset) { return m.cart.sram[offset & kRamMask]; }
uint8_t ram(const Machine& m, uint32_t offset) { return m.cart.sram[offset & kRamMask]; }

uint32_t entry_offset(const Obc1& o, int n) { return uint32_t(o.base + o.index * 4 + n); }
uint32_t high_table_offset(const Obc1& o) { return uint32_t(o.base + 0x200 + (o.index >> 2)); }

constexpr MemoryWindow kRamWindow{&sram_window_read, &sram_window_write, &sram_window_peek};

// The 8 KiB RAM at pages $60-$77 of the system banks, in the main CPU's
// tables and in the loader's.
void install_low_ram_pages(Machine& m) {
    for (int page = 0x60; page <= 0x77; page++) {
        memory_install_page(m, page, kRamWindow);
        memory_install_loader_page(m, page, kRamWindow);
    }
}

// The byte a read of $7Fxx returns, without its side effects.
uint8_t register_value(const Machine& m, uint16_t addr) {
    const Obc1& o = m.obc1;
    const uint8_t low = uint8_t(addr);
    if (low >= 0xF0 && low <= 0xF3) return ram(m, entry_offset(o, low - 0xF0));
    if (low == 0xF4) return ram(m, high_table_offset(o));
    return ram(m, kRegisterEcho + low);
}

uint8_t register_read(Machine& m, uint8_t, uint16_t addr) {
    if (uint8_t(addr) == 0xF6) m.timing.line_clock += 1;
    const uint8_t value = register_value(m, addr);
    m.mem.open_bus = value;
    return value;
}

int register_peek(const Machine& m, uint8_t, uint16_t addr) { return register_value(m, addr); }

void register_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    Obc1& o = m.obc1;
    const uint8_t low = uint8_t(addr);
    ram(m, kRegisterEcho + low) = value;
    switch (low) {
        case 0xF0:
        case 0xF1:
        case 0xF2:
        case 0xF3: ram(m, entry_offset(o, low - 0xF0)) = value; break;
        case 0xF4: {
            uint8_t& b = ram(m, high_table_offset(o));
            b = uint8_t((b & ~(3 << o.shift)) | ((value & 3) << o.shift));
            break;
        }
        case 0xF5:
            o.base = (value & 1) ? 0x1800 : 0x1C00;
            install_low_ram_pages(m);
            break;
        case 0xF6:
            o.index = value & 0x7F;
            o.shift = uint8_t((value & 3) * 2);
            break;
        default: break;  // stored only
    }
}

constexpr MemoryWindow kRegisterWindow{&register_read, &register_write, &register_peek};

template <class Io>
void obc1_state_io(Io& io, IoMachine<Io>& m) {
    auto& o = m.obc1;
    io.u16(o.base);
    io.u8_masked(o.index, 0x7F);
    io.u8_masked(o.shift, 6);
    if constexpr (Io::loading) {
        if (o.base != 0x1800) o.base = 0x1C00;
    }
}

}  // namespace

void obc1_map(Machine& m) {
    install_loader_pages(m, 0x78, 0x7E, kRamWindow);
    install_loader_pages(m, 0x7F, 0x7F, kRegisterWindow);
    for (int bank : {0x70, 0x71, 0xF0, 0xF1}) memory_install_loader_bank(m, bank, 0, kRamWindow);
}

void obc1_power_on(Machine& m) { m.obc1 = Obc1{}; }
void obc1_reset(Machine& m) { m.obc1 = Obc1{}; }

const std::array<ChipStateChunk, 1> kObc1StateChunks = {{
    {"XOBC", 4, &obc1_state_io<StateWriter>, &obc1_state_io<StateReader>},
}};

}  // namespace vt
