// Mapper 33, Taito's TC0190: two 8 KiB PRG banks, two 2 KiB and four 1 KiB
// CHR banks, mirroring in the first register.
// regs[0-1]: PRG at $8000 and $A000 (regs[0] bit 6: mirroring),
// regs[2-3]: 2 KiB CHR at $0000 and $0800, regs[4-7]: 1 KiB CHR at $1000-$1C00.
#include "nes/nes_mapper_rows.h"

namespace vt {

namespace {

void tc0190_power_on(NesSide& s) {
    for (int i = 0; i < 8; i++) s.mapper_state.regs[size_t(i)] = 0;
}

void tc0190_write(NesSide& s, uint16_t address, uint8_t value) {
    const uint16_t reg = address & 0xA003;
    switch (reg) {
        case 0x8000: s.mapper_state.regs[0] = value; break;
        case 0x8001: s.mapper_state.regs[1] = value; break;
        case 0x8002: s.mapper_state.regs[2] = value; break;
        case 0x8003: s.mapper_state.regs[3] = value; break;
        case 0xA000: s.mapper_state.regs[4] = value; break;
        case 0xA001: s.mapper_state.regs[5] = value; break;
        case 0xA002: s.mapper_state.regs[6] = value; break;
        case 0xA003: s.mapper_state.regs[7] = value; break;
        default: return;
    }
    s.mapper->apply(s);
}

void tc0190_apply(NesSide& s) {
    const auto& r = s.mapper_state.regs;
    const uint32_t last = nes_prg_banks_8k(s) - 1;
    nes_set_prg_8k(s, 0, r[0] & 0x3F);
    nes_set_prg_8k(s, 1, r[1] & 0x3F);
    nes_set_prg_8k(s, 2, last - 1);
    nes_set_prg_8k(s, 3, last);
    nes_set_chr_2k(s, 0, r[2]);
    nes_set_chr_2k(s, 2, r[3]);
    for (int i = 0; i < 4; i++) nes_set_chr_1k(s, 4 + i, r[size_t(4 + i)]);
    nes_set_mirroring(s, (r[0] & 0x40) ? NesMirroring::Horizontal : NesMirroring::Vertical);
}

}  // namespace

const NesMapper kNesMapperTaitoTc0190{33, "TC0190", &tc0190_power_on, &tc0190_write, &tc0190_apply, nullptr};

}  // namespace vt
