#include "coproc/gsu/gsu.h"

#include "cart/cartridge_map.h"
#include "cart/sram_access.h"
#include "core/machine.h"

namespace vt {

namespace {

// Until the chip's registers exist, they answer with the open bus.
constexpr MemoryWindow kGsuRegisterWindow = kOpenBusWindow;  // pages $30-$34

}  // namespace

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

void gsu_power_on(Machine& m) { m.gsu = Gsu{}; }

void gsu_reset(Machine& m) { m.gsu = Gsu{}; }

void gsu_line_end(Machine& m) {
    if (m.gsu.running) gsu_line_slice(m);
}

// The GSU arrives with its own subsystem.
void gsu_line_slice(Machine&) {}

}  // namespace vt
