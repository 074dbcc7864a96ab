#include "coproc/placeholder_chips.h"

#include "cart/cartridge_map.h"
#include "cart/coprocessor_windows.h"
#include "cart/rom_layout.h"
#include "core/machine.h"

namespace vt {

void map_cx4_placeholder(Machine& m) {
    install_loader_pages(m, 0x60, 0x6B, kCx4Window);
    install_loader_pages(m, 0x70, 0x7B, kCx4Window);
    install_loader_pages(m, 0x7F, 0x7F, kCx4Window);
}

void map_sdd1_placeholder(Machine& m) {
    // Banks $00-$3F and $80-$BF see the 32 KiB windows of the first 2 MiB.
    const uint8_t* rom = m.cart.rom.data();
    for (int bank = 0; bank < 256; bank++) {
        if (bank & 0x40) continue;
        const uint8_t* p = upper_half_pointer(rom + size_t(bank & 0x3F) * kBlockSize);
        m.mem.rom_lower[bank] = p;
        m.mem.rom_upper[bank] = p;
    }
    // Every ROM window goes through the data port.
    HandlerTables& t = m.mem.loader;
    for (size_t i = 0; i < t.read_bank.size(); i++) {
        if (t.read_bank[i] != &rom_read) continue;
        t.read_bank[i] = kSdd1DataPort.read;
        t.peek_bank[i] = kSdd1DataPort.peek;
    }
    install_loader_pages(m, 0x48, 0x48, kSdd1RegisterWindow);
}

void map_spc7110_placeholder(Machine& m) {
    install_loader_pages(m, 0x60, 0x7F, kSpc7110Window);
    install_loader_pages(m, 0x48, 0x48, kSpc7110RegisterWindow);
}

void map_st018_placeholder(Machine& m) { install_loader_pages(m, 0x38, 0x38, kSt018Window); }

void map_bsx_placeholder(Machine& m) {
    install_loader_banks(m, 0x70, 0x77, 0, kBsxMemoryPackWindow);
    install_loader_banks(m, 0x70, 0x77, 1, kBsxMemoryPackWindow);
    install_loader_pages(m, 0x50, 0x5F, kBsxRegisterWindow);
}

// The memory pack's registers on the B bus replace the defaults at
// $2184-$219F.
void map_bsx_b_bus_placeholder(Machine& m) {
    for (int a = 0x84; a <= 0x9F; a++) memory_install_io(m, uint8_t(a), kBsxBbusWindow);
}

}  // namespace vt
