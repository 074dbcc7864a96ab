#include "coproc/placeholder_chips.h"

#include "cart/cartridge_map.h"
#include "cart/coprocessor_windows.h"
#include "cart/rom_layout.h"
#include "core/machine.h"

namespace vt {

void map_dsp_placeholder(Machine& m) {
    const MemoryWindow& w = kDspWindow[m.cart.dsp_variant <= 4 ? m.cart.dsp_variant : 0];
    switch (dsp_placement(m)) {
        case DspPlacement::HiRom:
            for (int nibble : {0x0, 0x1, 0x8, 0x9}) memory_install_loader_sub(m, nibble, w);
            break;
        case DspPlacement::LoRomBanks30:
            install_loader_banks(m, 0x30, 0x3F, 1, w);
            install_loader_banks(m, 0xB0, 0xBF, 1, w);
            break;
        case DspPlacement::LoRomBanks20:
            install_loader_banks(m, 0x20, 0x3F, 1, w);
            install_loader_banks(m, 0xA0, 0xBF, 1, w);
            break;
        case DspPlacement::LoRomBanks60:
            install_loader_banks(m, 0x60, 0x6F, 0, w);
            install_loader_banks(m, 0xE0, 0xEF, 0, w);
            break;
    }
}

void map_obc1_placeholder(Machine& m) {
    install_loader_pages(m, 0x78, 0x7F, kObc1Window);
    for (int bank : {0x70, 0x71, 0xF0, 0xF1}) memory_install_loader_bank(m, bank, 0, kObc1Window);
}

void map_st010_placeholder(Machine& m) {
    install_loader_banks(m, 0x68, 0x6F, 0, kSt010Window);
    install_loader_banks(m, 0xE8, 0xEF, 0, kSt010Window);
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
