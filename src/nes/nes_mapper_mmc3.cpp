// Mapper 4, the MMC3 (TxROM boards), and mapper 64, Tengen's RAMBO-1, which
// works much the same way. Both count rendered lines for an IRQ.
//
// regs[0-7]: R0-R7 (bank data), regs[8]: bank select, regs[9]: mirroring,
// regs[10]: PRG RAM protect; RAMBO-1 adds regs[11], [12], [13]: R8, R9, RF
// and regs[14]: its IRQ mode.
#include "nes/nes_mapper_rows.h"

namespace vt {

namespace {

constexpr int kSelect = 8;
constexpr int kMirroring = 9;
constexpr int kPrgRamProtect = 10;
constexpr int kR8 = 11;
constexpr int kR9 = 12;
constexpr int kRf = 13;

void mmc3_power_on(NesSide& s) {
    NesMapperState& st = s.mapper_state;
    static constexpr uint8_t kBanks[8] = {0, 2, 4, 5, 6, 7, 0, 1};
    for (int i = 0; i < 8; i++) st.regs[size_t(i)] = kBanks[i];
    st.regs[kMirroring] = s.info.mirroring == NesMirroring::Horizontal ? 1 : 0;
    st.regs[kPrgRamProtect] = 0x80;
}

// The registers both chips share: $8000-$9FFF select/data, $A000-$BFFF
// mirroring and (MMC3) PRG RAM protection, $C000-$DFFF IRQ latch and
// reload, $E000-$FFFF IRQ disable and enable.
void shared_write(NesSide& s, uint16_t address, uint8_t value, bool rambo) {
    NesMapperState& st = s.mapper_state;
    const bool odd = address & 1;
    switch (address & 0xE000) {
        case 0x8000:
            if (!odd) {
                st.regs[kSelect] = value;
            } else {
                const uint8_t index = st.regs[kSelect] & (rambo ? 0x0F : 0x07);
                if (index < 8) {
                    st.regs[index] = value;
                } else if (rambo && index == 8) {
                    st.regs[kR8] = value;
                } else if (rambo && index == 9) {
                    st.regs[kR9] = value;
                } else if (rambo && index == 15) {
                    st.regs[kRf] = value;
                }
            }
            break;
        case 0xA000:
            if (!odd) {
                st.regs[kMirroring] = value;
            } else if (!rambo) {
                st.regs[kPrgRamProtect] = value;
            }
            break;
        case 0xC000:
            if (!odd) {
                st.irq_latch = value;
            } else {
                st.irq_counter = 0;
                st.irq_reload = true;
                if (rambo) st.regs[14] = value & 1;
            }
            return;
        case 0xE000:
            st.irq_enabled = odd;
            if (!odd) st.irq_line = false;  // disabling acknowledges
            return;
    }
    s.mapper->apply(s);
}

void mmc3_write(NesSide& s, uint16_t address, uint8_t value) { shared_write(s, address, value, false); }
void rambo_write(NesSide& s, uint16_t address, uint8_t value) { shared_write(s, address, value, true); }

void apply_mirroring(NesSide& s) {
    nes_set_mirroring(s, (s.mapper_state.regs[kMirroring] & 1) ? NesMirroring::Horizontal : NesMirroring::Vertical);
}

void mmc3_apply(NesSide& s) {
    const NesMapperState& st = s.mapper_state;
    const uint8_t select = st.regs[kSelect];
    const uint32_t last = nes_prg_banks_8k(s) - 1;
    const bool swap_prg = select & 0x40;
    nes_set_prg_8k(s, swap_prg ? 2 : 0, st.regs[6]);
    nes_set_prg_8k(s, 1, st.regs[7]);
    nes_set_prg_8k(s, swap_prg ? 0 : 2, last - 1);
    nes_set_prg_8k(s, 3, last);

    const int invert = (select & 0x80) ? 4 : 0;
    nes_set_chr_1k(s, 0 ^ invert, st.regs[0] & 0xFE);
    nes_set_chr_1k(s, 1 ^ invert, st.regs[0] | 1);
    nes_set_chr_1k(s, 2 ^ invert, st.regs[1] & 0xFE);
    nes_set_chr_1k(s, 3 ^ invert, st.regs[1] | 1);
    for (int i = 0; i < 4; i++) nes_set_chr_1k(s, (4 + i) ^ invert, st.regs[size_t(2 + i)]);
    apply_mirroring(s);

    s.mapper_state.prg_ram_enabled = st.regs[kPrgRamProtect] & 0x80;
    s.mapper_state.prg_ram_writable = !(st.regs[kPrgRamProtect] & 0x40);
}

void rambo_apply(NesSide& s) {
    const NesMapperState& st = s.mapper_state;
    const uint8_t select = st.regs[kSelect];
    const uint32_t last = nes_prg_banks_8k(s) - 1;
    if (select & 0x40) {
        nes_set_prg_8k(s, 0, st.regs[kRf]);
        nes_set_prg_8k(s, 1, st.regs[6]);
        nes_set_prg_8k(s, 2, st.regs[7]);
    } else {
        nes_set_prg_8k(s, 0, st.regs[6]);
        nes_set_prg_8k(s, 1, st.regs[7]);
        nes_set_prg_8k(s, 2, st.regs[kRf]);
    }
    nes_set_prg_8k(s, 3, last);

    const int invert = (select & 0x80) ? 4 : 0;
    if (select & 0x20) {  // 1 KiB pages throughout
        nes_set_chr_1k(s, 0 ^ invert, st.regs[0]);
        nes_set_chr_1k(s, 1 ^ invert, st.regs[kR8]);
        nes_set_chr_1k(s, 2 ^ invert, st.regs[1]);
        nes_set_chr_1k(s, 3 ^ invert, st.regs[kR9]);
    } else {
        nes_set_chr_1k(s, 0 ^ invert, st.regs[0] & 0xFE);
        nes_set_chr_1k(s, 1 ^ invert, st.regs[0] | 1);
        nes_set_chr_1k(s, 2 ^ invert, st.regs[1] & 0xFE);
        nes_set_chr_1k(s, 3 ^ invert, st.regs[1] | 1);
    }
    for (int i = 0; i < 4; i++) nes_set_chr_1k(s, (4 + i) ^ invert, st.regs[size_t(2 + i)]);
    apply_mirroring(s);
    s.mapper_state.prg_ram_enabled = false;  // the RAMBO-1 boards carry no PRG RAM
}

// The MMC3 clocks its counter on each rise of the PPU's address line A12,
// once a rendered line when backgrounds fetch from $0000 and sprites from
// $1000: the counter reloads when it is zero (or a reload was asked for),
// else counts down, and a zero with the IRQ enabled raises the line.
void mmc3_line(NesSide& s) {
    NesMapperState& st = s.mapper_state;
    if (st.irq_counter == 0 || st.irq_reload) {
        st.irq_counter = st.irq_latch;
        st.irq_reload = false;
    } else {
        st.irq_counter--;
    }
    if (st.irq_counter == 0 && st.irq_enabled) st.irq_line = true;
}

// The RAMBO-1 loads latch + 1 after a reload write, so the IRQ comes one
// line later than the MMC3's for the same latch. Its CPU-cycle mode is
// counted in lines as well.
void rambo_line(NesSide& s) {
    NesMapperState& st = s.mapper_state;
    if (st.irq_reload) {
        st.irq_counter = uint8_t(st.irq_latch + 1);
        st.irq_reload = false;
    } else if (st.irq_counter == 0) {
        st.irq_counter = st.irq_latch;
    } else {
        st.irq_counter--;
    }
    if (st.irq_counter == 0 && st.irq_enabled) st.irq_line = true;
}

}  // namespace

const NesMapper kNesMapperMmc3{4, "MMC3", &mmc3_power_on, &mmc3_write, &mmc3_apply, &mmc3_line};
const NesMapper kNesMapperRambo1{64, "RAMBO-1", &mmc3_power_on, &rambo_write, &rambo_apply, &rambo_line};

}  // namespace vt
