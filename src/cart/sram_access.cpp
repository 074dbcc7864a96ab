#include "cart/sram_access.h"

#include "core/machine.h"

namespace vt {

namespace {

constexpr uint32_t kSramIndexMask = kSramBufferSize - 1;

inline uint8_t read_at(Machine& m, uint32_t index) {
    m.timing.line_clock += 1;
    uint8_t v = m.cart.sram[index & kSramIndexMask];
    m.mem.open_bus = v;
    return v;
}

inline int peek_at(const Machine& m, uint32_t index) { return m.cart.sram[index & kSramIndexMask]; }

inline void write_at(Machine& m, uint32_t index, uint8_t value) {
    m.timing.line_clock += 1;
    m.cart.sram[index & kSramIndexMask] = value;
}

inline uint32_t lorom_index(const Machine& m, uint8_t bank, uint16_t addr) {
    return m.cart.sram_bank_offset[bank & 3] + (addr & m.cart.sram_mask);
}

inline uint32_t hirom_index(const Machine& m, uint8_t bank, uint16_t addr) {
    return (uint32_t(bank) * 0x2000 + addr - 0x6000) & m.cart.sram_mask;
}

inline uint32_t bank_index(const Machine& m, uint8_t bank, uint16_t addr) {
    return ((uint32_t(bank) << 16) + addr) & m.cart.sram_mask;
}

inline uint8_t fixed_answer(Machine& m, uint8_t value) {
    m.timing.line_clock += 1;
    m.mem.open_bus = value;
    return value;
}

}  // namespace

uint8_t lorom_sram_read(Machine& m, uint8_t bank, uint16_t addr) { return read_at(m, lorom_index(m, bank, addr)); }
void lorom_sram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    write_at(m, lorom_index(m, bank, addr), value);
}

uint8_t hirom_sram_read(Machine& m, uint8_t bank, uint16_t addr) { return read_at(m, hirom_index(m, bank, addr)); }
void hirom_sram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    write_at(m, hirom_index(m, bank, addr), value);
}

uint8_t sram_window_read(Machine& m, uint8_t, uint16_t addr) { return read_at(m, addr & 0x1FFFu); }
void sram_window_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) { write_at(m, addr & 0x1FFFu, value); }

uint8_t sram_bank_read(Machine& m, uint8_t bank, uint16_t addr) { return read_at(m, bank_index(m, bank, addr)); }
void sram_bank_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    write_at(m, bank_index(m, bank, addr), value);
}

uint8_t sram_single_bank_read(Machine& m, uint8_t, uint16_t addr) { return read_at(m, addr & m.cart.sram_mask); }
void sram_single_bank_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    write_at(m, addr & m.cart.sram_mask, value);
}

int lorom_sram_peek(const Machine& m, uint8_t bank, uint16_t addr) { return peek_at(m, lorom_index(m, bank, addr)); }
int hirom_sram_peek(const Machine& m, uint8_t bank, uint16_t addr) { return peek_at(m, hirom_index(m, bank, addr)); }
int sram_window_peek(const Machine& m, uint8_t, uint16_t addr) { return peek_at(m, addr & 0x1FFFu); }
int sram_bank_peek(const Machine& m, uint8_t bank, uint16_t addr) { return peek_at(m, bank_index(m, bank, addr)); }
int sram_single_bank_peek(const Machine& m, uint8_t, uint16_t addr) { return peek_at(m, addr & m.cart.sram_mask); }

static uint8_t xband_id_byte(uint16_t addr) {
    if (addr == 0xC1B2) return 0x46;
    if (addr == 0xC1BC) return 0x08;
    return 0x00;
}

uint8_t xband_id_read(Machine& m, uint8_t, uint16_t addr) { return fixed_answer(m, xband_id_byte(addr)); }
int xband_id_peek(const Machine&, uint8_t, uint16_t addr) { return xband_id_byte(addr); }

uint8_t bsx_bank_c0_read(Machine& m, uint8_t, uint16_t) { return fixed_answer(m, 0x80); }
int bsx_bank_c0_peek(const Machine&, uint8_t, uint16_t) { return 0x80; }

}  // namespace vt
