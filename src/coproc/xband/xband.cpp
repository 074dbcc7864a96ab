#include "coproc/xband/xband.h"

#include "cart/cartridge_map.h"
#include "cart/sram_access.h"

namespace vt {

void xband_map(Machine& m) {
    for (int bank : {0xE0, 0x60}) {
        install_loader_banks(m, bank, bank, 0, kSramSingleBankWindow);
        install_loader_banks(m, bank, bank, 1, kSramSingleBankWindow);
    }
    install_loader_banks(m, 0xFB, 0xFB, 1, kXbandIdWindow);
}

}  // namespace vt
