#include "coproc/placeholder_chips.h"

#include "cart/cartridge_map.h"
#include "cart/coprocessor_windows.h"
#include "cart/rom_layout.h"
#include "core/machine.h"

namespace vt {

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
