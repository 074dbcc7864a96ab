// Mapper 1, the MMC1 (SxROM boards). Registers are written one bit at a
// time through a 5-bit shift register; the fifth write's address picks the
// register. regs[0] control, [1] CHR bank 0, [2] CHR bank 1, [3] PRG bank.
#include "nes/nes_mapper_rows.h"

namespace vt {

namespace {

void mmc1_power_on(NesSide& s) {
    s.mapper_state.regs[0] = 0x0C;  // PRG mode 3: the last bank fixed at $C000
}

void mmc1_write(NesSide& s, uint16_t address, uint8_t value) {
    NesMapperState& st = s.mapper_state;
    // The second write of a read-modify-write instruction comes on the very
    // next cycle; the chip ignores it.
    const bool back_to_back = st.last_write_cycle + 1 == s.cycles;
    st.last_write_cycle = s.cycles;
    if (back_to_back) return;
    if (value & 0x80) {
        st.shift = 0;
        st.shift_count = 0;
        st.regs[0] |= 0x0C;
        s.mapper->apply(s);
        return;
    }
    st.shift = uint8_t(st.shift >> 1 | (value & 1) << 4);
    if (++st.shift_count < 5) return;
    st.regs[size_t(((address >> 13) & 3) + 0)] = st.shift;
    st.shift = 0;
    st.shift_count = 0;
    s.mapper->apply(s);
}

void mmc1_apply(NesSide& s) {
    NesMapperState& st = s.mapper_state;
    const uint8_t control = st.regs[0];
    static constexpr NesMirroring kMirroring[4] = {NesMirroring::SingleLower, NesMirroring::SingleUpper,
                                                   NesMirroring::Vertical, NesMirroring::Horizontal};
    nes_set_mirroring(s, kMirroring[control & 3]);

    // 512 KiB boards (SUROM) take the outer 256 KiB half from CHR bank bit 4.
    const uint32_t outer = nes_prg_banks_8k(s) > 32 ? (st.regs[1] & 0x10) : 0;
    const uint32_t prg = st.regs[3] & 0x0F;
    switch ((control >> 2) & 3) {
        case 0:
        case 1: nes_set_prg_32k(s, (outer | (prg & 0x0E)) >> 1); break;
        case 2:
            nes_set_prg_16k(s, 0, outer);
            nes_set_prg_16k(s, 1, outer | prg);
            break;
        case 3:
            nes_set_prg_16k(s, 0, outer | prg);
            nes_set_prg_16k(s, 1, outer | 0x0F);
            break;
    }
    if (control & 0x10) {
        nes_set_chr_4k(s, 0, st.regs[1]);
        nes_set_chr_4k(s, 4, st.regs[2]);
    } else {
        nes_set_chr_8k(s, st.regs[1] >> 1);
    }
    st.prg_ram_enabled = !(st.regs[3] & 0x10);
}

}  // namespace

const NesMapper kNesMapperMmc1{1, "MMC1", &mmc1_power_on, &mmc1_write, &mmc1_apply, nullptr};

}  // namespace vt
