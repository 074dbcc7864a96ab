// The SA-1's DMA unit: normal transfers between ROM, BW-RAM and I-RAM, and
// character conversion from packed pixels to the console's bit-plane
// characters (type 1 reads BW-RAM a character at a time as the main CPU
// reads it out, type 2 converts the rows the SA-1 writes into its bitmap
// register file). Each transfer runs whole at the register write that
// starts it.
#include "coproc/sa1/sa1.h"
#include "coproc/sa1/sa1_bus.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint32_t kIramMask = kSa1IramSize - 1;

// Bits per pixel of the conversion; the unused depth value 3 converts as 2
// bits per pixel.
int depth_bits(const Machine& m) {
    switch (m.sa1.w.cdma & 3) {
        case 0: return 8;
        case 1: return 4;
        default: return 2;
    }
}

uint8_t dma_source_byte(const Machine& m, uint32_t address) {
    const uint8_t dcnt = m.sa1.w.dcnt;
    if (dcnt & 0x02) return m.sa1.iram[address & kIramMask];
    if (dcnt & 0x01) return m.cart.sram[address & m.cart.sram_mask];
    return sa1_rom_byte(m, address);
}

// Eight pixel values as bit-planes in the console's character layout:
// planes 0/1 at `row` x 2, planes 2/3 16 bytes on, 4/5 at 32, 6/7 at 48.
void store_planes(Machine& m, uint32_t base, const uint8_t (&pixels)[8], int bits) {
    for (int plane = 0; plane < bits; plane++) {
        uint8_t byte = 0;
        for (int k = 0; k < 8; k++) byte |= uint8_t(((pixels[k] >> plane) & 1) << (7 - k));
        const uint32_t at = base + uint32_t((plane >> 1) * 16 + (plane & 1));
        m.sa1.iram[at & kIramMask] = byte;
    }
}

// One row of eight packed pixels from BW-RAM: 2 bits per pixel is one
// little-endian word (pixel k in bits 2k..2k+1), 4 bits two words (pixel k
// in nibble k), 8 bits eight bytes.
void read_packed_row(const Machine& m, uint32_t address, int bits, uint8_t (&pixels)[8]) {
    const auto byte = [&m](uint32_t a) { return m.cart.sram[a & m.cart.sram_mask]; };
    if (bits == 8) {
        for (int k = 0; k < 8; k++) pixels[k] = byte(address + uint32_t(k));
        return;
    }
    uint32_t packed = 0;
    for (int i = 0; i < bits; i++) packed |= uint32_t(byte(address + uint32_t(i))) << (8 * i);
    const uint32_t mask = (1u << bits) - 1;
    for (int k = 0; k < 8; k++) pixels[k] = uint8_t((packed >> (bits * k)) & mask);
}

}  // namespace

int sa1_bytes_per_character(const Machine& m) { return 8 * depth_bits(m); }

void sa1_normal_dma(Machine& m) {
    Sa1& s = m.sa1;
    Sa1Written& w = s.w;
    const bool to_bwram = w.dcnt & 0x04;
    uint32_t count = w.dtc ? w.dtc : 0x10000;
    while (count--) {
        const uint8_t v = dma_source_byte(m, w.sda);
        if (to_bwram) {
            sa1_protected_bwram_write(m, 0x400000 | (w.dda & 0x0FFFFF), w.cbwe, v);
        } else {
            s.iram[w.dda & kIramMask] = v;
        }
        w.sda = (w.sda + 1) & 0xFFFFFF;
        w.dda = (w.dda + 1) & 0xFFFFFF;
    }
    w.dtc = 0;
    if (w.cie & 0x20) {
        s.cfr_flags |= 0x20;
        sa1_raise_irq(m);
    }
}

void sa1_start_conversion_type1(Machine& m) {
    Sa1& s = m.sa1;
    s.conversion_active = true;
    s.char_index = 0;
    s.read_counter = 0;
    sa1_convert_character(m);
    sa1_install_switched_windows(m);
    if (s.w.sie & 0x20) {
        s.sfr_flags |= 0x20;
        sa1_update_snes_irq(m);
    }
}

void sa1_convert_character(Machine& m) {
    Sa1& s = m.sa1;
    Sa1Written& w = s.w;
    const int bits = depth_bits(m);
    const uint32_t per_line = 1u << ((w.cdma >> 2) & 7);
    const uint32_t stride = per_line * uint32_t(bits);
    const uint32_t first = w.sda + s.char_index * uint32_t(bits);
    for (uint32_t row = 0; row < 8; row++) {
        uint8_t pixels[8];
        read_packed_row(m, first + row * stride, bits, pixels);
        store_planes(m, w.dda + row * 2, pixels, bits);
    }
    if (++s.char_index >= per_line) {
        s.char_index = 0;
        w.sda = (w.sda + stride * 8) & 0xFFFFFF;
    }
}

uint8_t sa1_conversion_read(Machine& m) {
    Sa1& s = m.sa1;
    const uint8_t v = s.iram[(s.w.dda + s.read_counter) & kIramMask];
    if (++s.read_counter >= sa1_bytes_per_character(m)) {
        s.read_counter = 0;
        sa1_convert_character(m);
    }
    return v;
}

void sa1_convert_bitmap_row(Machine& m, int half) {
    Sa1& s = m.sa1;
    const int bits = depth_bits(m);
    uint8_t pixels[8];
    for (int k = 0; k < 8; k++) pixels[k] = s.w.brf[size_t(half * 8 + k)];
    store_planes(m, s.w.dda + s.row_offset, pixels, bits);
    s.row_offset = uint8_t(s.row_offset + 2);
    if (half == 1) {
        s.row_offset &= 15;
        // Eight rows done: the next character goes to the other buffer.
        if (s.row_offset == 0) s.w.dda ^= uint32_t(sa1_bytes_per_character(m));
    }
}

}  // namespace vt
