// The discrete-logic boards: one latch register written anywhere in
// $8000-$FFFF selects the banks.
//   0 NROM: no banking (16 KiB PRG mirrored, or 32 KiB).
//   2 UxROM: 16 KiB at $8000 selected, the last 16 KiB fixed at $C000.
//   3 CNROM: 8 KiB CHR selected.
//   7 AxROM: 32 KiB PRG (bits 0-2), one-screen nametable (bit 4).
//  11 Color Dreams: 32 KiB PRG (bits 0-1), 8 KiB CHR (bits 4-7).
//  66 GxROM: 32 KiB PRG (bits 4-5), 8 KiB CHR (bits 0-1).
#include "nes/nes_mapper_rows.h"

namespace vt {

namespace {

void latch_power_on(NesSide& s) { s.mapper_state.regs[0] = 0; }
void latch_write(NesSide& s, uint16_t, uint8_t value) {
    s.mapper_state.regs[0] = value;
    s.mapper->apply(s);
}

void nrom_write(NesSide&, uint16_t, uint8_t) {}
void nrom_apply(NesSide& s) {
    nes_set_prg_32k(s, 0);  // a 16 KiB image wraps into both halves
    nes_set_chr_8k(s, 0);
}

void uxrom_apply(NesSide& s) {
    nes_set_prg_16k(s, 0, s.mapper_state.regs[0]);
    nes_set_prg_16k(s, 1, nes_prg_banks_8k(s) / 2 - 1);
    nes_set_chr_8k(s, 0);
}

void cnrom_apply(NesSide& s) {
    nes_set_prg_32k(s, 0);
    nes_set_chr_8k(s, s.mapper_state.regs[0]);
}

void axrom_apply(NesSide& s) {
    const uint8_t r = s.mapper_state.regs[0];
    nes_set_prg_32k(s, r & 7);
    nes_set_chr_8k(s, 0);
    nes_set_mirroring(s, (r & 0x10) ? NesMirroring::SingleUpper : NesMirroring::SingleLower);
}

void color_dreams_apply(NesSide& s) {
    const uint8_t r = s.mapper_state.regs[0];
    nes_set_prg_32k(s, r & 3);
    nes_set_chr_8k(s, r >> 4);
}

void gxrom_apply(NesSide& s) {
    const uint8_t r = s.mapper_state.regs[0];
    nes_set_prg_32k(s, (r >> 4) & 3);
    nes_set_chr_8k(s, r & 3);
}

}  // namespace

const NesMapper kNesMapperNrom{0, "NROM", &latch_power_on, &nrom_write, &nrom_apply, nullptr};
const NesMapper kNesMapperUxrom{2, "UNROM", &latch_power_on, &latch_write, &uxrom_apply, nullptr};
const NesMapper kNesMapperCnrom{3, "CNROM", &latch_power_on, &latch_write, &cnrom_apply, nullptr};
const NesMapper kNesMapperAxrom{7, "AOROM", &latch_power_on, &latch_write, &axrom_apply, nullptr};
const NesMapper kNesMapperColorDreams{11, "Color Dreams", &latch_power_on, &latch_write, &color_dreams_apply, nullptr};
const NesMapper kNesMapperGxrom{66, "GNROM", &latch_power_on, &latch_write, &gxrom_apply, nullptr};

}  // namespace vt
