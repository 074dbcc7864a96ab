// The SA-1's register block: writes at $2200-$22FF and reads at
// $2300-$23FF, the same for both processors. Every write is decoded here,
// once: windows, protection and ROM banks are re-derived when their
// registers change, DMA and conversion run to the end at the write that
// starts them.
#include "coproc/sa1/sa1.h"
#include "coproc/sa1/sa1_bus.h"
#include "core/machine.h"
#include "core/main_cpu.h"

namespace vt {

namespace {

void set_low(uint16_t& r, uint8_t v) { r = uint16_t((r & 0xFF00) | v); }
void set_high(uint16_t& r, uint8_t v) { r = uint16_t((r & 0x00FF) | (v << 8)); }
void set_byte(uint32_t& r, int index, uint8_t v) {
    const int shift = 8 * index;
    r = (r & ~(0xFFu << shift)) | (uint32_t(v) << shift);
}

// CCNT: bit 5 holds the SA-1 in reset, bit 6 makes it wait; releasing the
// reset starts it at CRV. Bits 4 and 7 send it an NMI or IRQ, bits 0-3 a
// message.
void write_ccnt(Machine& m, uint8_t v) {
    Sa1& s = m.sa1;
    const uint8_t old = s.w.ccnt;
    s.w.ccnt = v;
    if ((old & 0x20) && !(v & 0x20)) sa1_cpu_start(m);
    s.running = (v & 0x60) == 0;
    if ((v & 0x10) && (s.w.cie & 0x10)) {
        s.cfr_flags |= 0x10;
        sa1_raise_nmi(m);
    }
    if ((v & 0x80) && (s.w.cie & 0x80)) {
        s.cfr_flags |= 0x80;
        sa1_raise_irq(m);
    }
}

// SCNT: vector switches (bits 4 and 6), an IRQ to the main CPU (bit 7)
// and a message.
void write_scnt(Machine& m, uint8_t v) {
    Sa1& s = m.sa1;
    s.w.scnt = v;
    if ((v & 0x80) && (s.w.sie & 0x80)) {
        s.sfr_flags |= 0x80;
        sa1_update_snes_irq(m);
    }
}

void write_sic(Machine& m, uint8_t v) {
    Sa1& s = m.sa1;
    s.w.sic = v;
    s.sfr_flags &= uint8_t(~(v & 0xA0));
    sa1_update_snes_irq(m);
}

// Clears the CFR flags in `bits` and what they requested of the SA-1.
void clear_cfr(Machine& m, uint8_t bits) {
    Sa1& s = m.sa1;
    s.cfr_flags &= uint8_t(~bits);
    if (bits & 0x10) s.cpu.nmi_pending = 0;
    if ((bits & 0xE0) && !(s.cfr_flags & 0xE0)) sa1_clear_irq(m);
}

void write_bmap(Machine& m, uint8_t v) {
    m.sa1.w.bmap = v;
    sa1_refresh_derived(m);
}

void write_mmc(Machine& m, int index, uint8_t v) {
    if (m.sa1.w.mmc[size_t(index)] == v) return;
    m.sa1.w.mmc[size_t(index)] = v;
    sa1_rebuild_rom_banks(m);
}

// A write of DDA may start a transfer: the middle byte for I-RAM, the high
// byte for BW-RAM destinations.
void dda_written(Machine& m, int index) {
    const uint8_t dcnt = m.sa1.w.dcnt;
    if (!(dcnt & 0x80)) return;
    if (dcnt & 0x20) {
        if ((dcnt & 0x10) && index == 1) sa1_start_conversion_type1(m);
        return;
    }
    const bool to_bwram = dcnt & 0x04;
    if ((index == 1 && !to_bwram) || (index == 2 && to_bwram)) sa1_normal_dma(m);
}

void write_cdma(Machine& m, uint8_t v) {
    Sa1& s = m.sa1;
    s.w.cdma = v;
    s.read_counter = 0;
    if (v & 0x80) {
        s.conversion_active = false;
        sa1_install_switched_windows(m);
    }
}

void write_brf(Machine& m, int index, uint8_t v) {
    Sa1& s = m.sa1;
    s.w.brf[size_t(index)] = v;
    if ((index & 7) == 7 && (s.w.dcnt & 0xB0) == 0xA0) sa1_convert_bitmap_row(m, index >> 3);
}

void write_vbd(Machine& m, uint8_t v) {
    m.sa1.w.vbd = v;
    // Fixed mode: each write moves the reader on by the length.
    if (!(v & 0x80)) sa1_bit_reader_advance(m);
}

void write_vda(Machine& m, int index, uint8_t v) {
    set_byte(m.sa1.w.vda, index, v);
    m.sa1.bit_offset = 0;
}

}  // namespace

void sa1_update_snes_irq(Machine& m) {
    if (m.sa1.sfr_flags & 0xA0) cpu_raise_irq(m, kIrqCartridge);
    else m.cpu.irq_sources &= uint8_t(~kIrqCartridge);
}

void sa1_register_write(Machine& m, uint16_t addr, uint8_t v) {
    Sa1& s = m.sa1;
    Sa1Written& w = s.w;
    const uint8_t low = uint8_t(addr);
    switch (low) {
        case 0x00: write_ccnt(m, v); break;
        case 0x01: w.sie = v; break;
        case 0x02: write_sic(m, v); break;
        case 0x03: set_low(w.crv, v); break;
        case 0x04: set_high(w.crv, v); break;
        case 0x05: set_low(w.cnv, v); break;
        case 0x06: set_high(w.cnv, v); break;
        case 0x07: set_low(w.civ, v); break;
        case 0x08: set_high(w.civ, v); break;
        case 0x09: write_scnt(m, v); break;
        case 0x0A:
            w.cie = v;
            clear_cfr(m, uint8_t(~v & 0xF0));
            break;
        case 0x0B:
            w.cic = v;
            clear_cfr(m, uint8_t(v & 0xF0));
            break;
        case 0x0C: set_low(w.snv, v); break;
        case 0x0D: set_high(w.snv, v); break;
        case 0x0E: set_low(w.siv, v); break;
        case 0x0F: set_high(w.siv, v); break;
        case 0x10: w.tmc = v; break;
        case 0x11: w.ctr = v; break;
        case 0x12: set_low(w.hcnt, v); break;
        case 0x13: set_high(w.hcnt, v); break;
        case 0x14: set_low(w.vcnt, v); break;
        case 0x15: set_high(w.vcnt, v); break;
        case 0x20: case 0x21: case 0x22: case 0x23: write_mmc(m, low - 0x20, v); break;
        case 0x24:
            w.bmaps = v;
            sa1_refresh_derived(m);
            break;
        case 0x25: write_bmap(m, v); break;
        case 0x26: w.sbwe = v; break;
        case 0x27: w.cbwe = v; break;
        case 0x28:
            w.bwpa = v;
            sa1_refresh_derived(m);
            break;
        case 0x29: w.siwp = v; break;
        case 0x2A: w.ciwp = v; break;
        case 0x30: w.dcnt = v; break;
        case 0x31: write_cdma(m, v); break;
        case 0x32: case 0x33: case 0x34: set_byte(w.sda, low - 0x32, v); break;
        case 0x35: case 0x36: case 0x37:
            set_byte(w.dda, low - 0x35, v);
            dda_written(m, low - 0x35);
            break;
        case 0x38: set_low(w.dtc, v); break;
        case 0x39: set_high(w.dtc, v); break;
        case 0x3F: w.bbf = v; break;
        case 0x50:
            w.mcnt = v;
            if (v & 0x02) s.mr = 0;
            break;
        case 0x51: set_low(w.ma, v); break;
        case 0x52: set_high(w.ma, v); break;
        case 0x53: set_low(w.mb, v); break;
        case 0x54:
            set_high(w.mb, v);
            sa1_arithmetic(m);
            break;
        case 0x58: write_vbd(m, v); break;
        case 0x59: case 0x5A: case 0x5B: write_vda(m, low - 0x59, v); break;
        default:
            if (low >= 0x40 && low <= 0x4F) write_brf(m, low - 0x40, v);
            break;
    }
}

// The value a read of $2300 + low gives, without its side effects.
int sa1_register_peek(const Machine& m, uint16_t addr) {
    const Sa1& s = m.sa1;
    const Sa1Written& w = s.w;
    const bool counters = w.tmc & 0x80;
    const uint16_t h = uint16_t(s.clock / 2);
    switch (uint8_t(addr)) {
        case 0x00: return (w.scnt & 0x5F) | s.sfr_flags;
        case 0x01: return (w.ccnt & 0x0F) | s.cfr_flags;
        case 0x02: return counters ? (w.hcnt & 0xFF) : (h & 0xFF);
        case 0x03: return counters ? (w.hcnt >> 8) : (s.h_latch >> 8);
        case 0x04: return counters ? (w.vcnt & 0xFF) : (m.timing.line & 0xFF);
        case 0x05: return counters ? (w.vcnt >> 8) : (s.v_latch >> 8);
        case 0x06: case 0x07: case 0x08: case 0x09: case 0x0A:
            return uint8_t(s.mr >> (8 * (uint8_t(addr) - 0x06)));
        case 0x0B: return s.overflow;
        case 0x0C: return sa1_bit_reader_word(m) & 0xFF;
        case 0x0D: return sa1_bit_reader_word(m) >> 8;
        case 0x0E: return 0x10;
        default: return 0;
    }
}

uint8_t sa1_register_read(Machine& m, uint16_t addr) {
    Sa1& s = m.sa1;
    switch (uint8_t(addr)) {
        case 0x02: s.h_latch = uint16_t(s.clock / 2); break;
        case 0x04: s.v_latch = m.timing.line; break;
        case 0x0D: {
            const uint8_t v = uint8_t(sa1_bit_reader_word(m) >> 8);
            if (s.w.vbd & 0x80) sa1_bit_reader_advance(m);
            return v;
        }
        default: break;
    }
    return uint8_t(sa1_register_peek(m, addr));
}

// Register reset of power-on and the console's reset.
void sa1_reset_registers(Machine& m) {
    Sa1& s = m.sa1;
    s.w = Sa1Written{};
    s.sfr_flags = 0;
    s.cfr_flags = 0;
    s.mr = 0;
    s.overflow = 0;
    s.h_latch = 0;
    s.v_latch = 0;
    s.bit_offset = 0;
    s.conversion_active = false;
    s.char_index = 0;
    s.read_counter = 0;
    s.row_offset = 0;
    s.clock = 0;
    sa1_refresh_derived(m);
}

void sa1_refresh_derived(Machine& m) {
    Sa1& s = m.sa1;
    const Sa1Written& w = s.w;
    s.snes_bwram_base = uint32_t(w.bmaps & 0x1F) * 0x2000;
    s.sa1_window_bitmap = w.bmap & 0x80;
    s.sa1_bwram_base = s.sa1_window_bitmap ? uint32_t(w.bmap & 0x7F) * 0x2000 : uint32_t(w.bmap & 0x1F) * 0x2000;
    s.protect_boundary = 0x400000 + (256u << (w.bwpa & 15));
    s.running = (w.ccnt & 0x60) == 0;
    sa1_rebuild_rom_banks(m);
    sa1_install_switched_windows(m);
}

void sa1_power_on(Machine& m) {
    m.sa1.iram.fill(0);
    sa1_build_view(m);
    sa1_reset_registers(m);
    sa1_cpu_power_on(m);
}

void sa1_reset(Machine& m) {
    sa1_reset_registers(m);
    sa1_update_snes_irq(m);
}

}  // namespace vt
