#include "coproc/spc7110/spc7110.h"

#include <algorithm>

#include "cart/cartridge_map.h"
#include "coproc/chips.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr uint32_t kDataRomOffset = 0x100000;  // the data ROM follows the 1 MiB program ROM
constexpr uint32_t kMiB = 0x100000;
constexpr uint32_t kProgramSlots = 16;

// Register indexes (low byte of $48nn).
enum : uint8_t {
    kDecompressedData = 0x00,
    kDecompressionStart = 0x06,
    kDecompressedCount = 0x09,  // $09-$0A
    kDecompressionStatus = 0x0C,
    kDataPort = 0x10,
    kDataAddress = 0x11,  // $11-$13
    kDataOffset = 0x14,   // $14-$15
    kDataStep = 0x16,     // $16-$17
    kDataMode = 0x18,
    kDataPortWithOffset = 0x1A,
    kDividend = 0x20,    // $20-$23; $20-$21 also the multiplicand
    kMultiplier = 0x24,  // $24-$25
    kDivisor = 0x26,     // $26-$27
    kResult = 0x28,      // $28-$2B
    kRemainder = 0x2C,   // $2C-$2D
    kArithmeticMode = 0x2E,
    kArithmeticStatus = 0x2F,
    kRamWriteEnable = 0x30,
    kDataBankD0 = 0x31,  // $31-$33: banks $D0-$DF, $E0-$EF, $F0-$FF
    kClockEnable = 0x40,
    kClockData = 0x41,
    kClockStatus = 0x42,
};

uint16_t reg16(const Spc7110& s, int i) { return uint16_t(s.regs[size_t(i)] | s.regs[size_t(i + 1)] << 8); }
uint32_t reg24(const Spc7110& s, int i) { return reg16(s, i) | uint32_t(s.regs[size_t(i + 2)]) << 16; }
uint32_t reg32(const Spc7110& s, int i) { return reg24(s, i) | uint32_t(s.regs[size_t(i + 3)]) << 24; }

void set16(Spc7110& s, int i, uint16_t v) {
    s.regs[size_t(i)] = uint8_t(v);
    s.regs[size_t(i + 1)] = uint8_t(v >> 8);
}
void set24(Spc7110& s, int i, uint32_t v) {
    set16(s, i, uint16_t(v));
    s.regs[size_t(i + 2)] = uint8_t(v >> 16);
}
void set32(Spc7110& s, int i, uint32_t v) {
    set24(s, i, v);
    s.regs[size_t(i + 3)] = uint8_t(v >> 24);
}

// --- data port

uint8_t mode(const Spc7110& s) { return s.regs[kDataMode]; }

// The offset as the mode takes it: signed when mode bit 3 is set.
uint32_t offset_as_addend(const Spc7110& s) {
    const uint16_t o = reg16(s, kDataOffset);
    return (mode(s) & 0x08) ? uint32_t(int32_t(int16_t(o))) : o;
}

uint32_t address(const Spc7110& s) { return reg24(s, kDataAddress); }
void set_address(Spc7110& s, uint32_t a) { set24(s, kDataAddress, a & 0xFFFFFF); }
void add_to_address(Spc7110& s, uint32_t addend) { set_address(s, address(s) + addend); }
void add_to_offset(Spc7110& s, uint16_t addend) { set16(s, kDataOffset, uint16_t(reg16(s, kDataOffset) + addend)); }

// The address a $4810 read takes its byte from.
uint32_t data_port_source(const Spc7110& s) {
    if (mode(s) & 0x02) return (address(s) + offset_as_addend(s)) & 0xFFFFFF;
    return address(s);
}

uint8_t data_port_read(Machine& m) {
    Spc7110& s = m.spc7110;
    const uint8_t mo = mode(s);
    const uint8_t v = spc7110_data_rom_byte(m, data_port_source(s));
    if (mo & 0x02) {
        add_to_offset(s, 1);
    } else if (mo & 0x01) {
        const uint16_t step = reg16(s, kDataStep);
        if (mo & 0x10) {
            add_to_offset(s, step);
        } else {
            add_to_address(s, (mo & 0x04) ? uint32_t(int32_t(int16_t(step))) : step);
        }
    } else if (mo & 0x10) {
        add_to_offset(s, 1);
    } else {
        add_to_address(s, 1);
    }
    s.regs[kDataPort] = v;
    return v;
}

uint8_t data_port_with_offset_read(Machine& m) {
    Spc7110& s = m.spc7110;
    const uint8_t mo = mode(s);
    const uint8_t v = spc7110_data_rom_byte(m, (address(s) + offset_as_addend(s)) & 0xFFFFFF);
    if ((mo & 0x6F) >= 0x60) {
        if (mo & 0x10) {
            add_to_offset(s, reg16(s, kDataOffset));
        } else {
            add_to_address(s, offset_as_addend(s));
        }
    }
    s.regs[kDataPortWithOffset] = v;
    return v;
}

void offset_low_written(Spc7110& s) {
    const uint8_t mo = mode(s);
    if ((mo & 0x62) != 0x22) return;  // bits 1 and 5 set, bit 6 clear
    const uint8_t low = s.regs[kDataOffset];
    add_to_address(s, (mo & 0x08) ? uint32_t(int32_t(int8_t(low))) : low);
}

void offset_high_written(Spc7110& s) {
    if ((mode(s) & 0x62) != 0x42) return;  // bits 1 and 6 set, bit 5 clear
    add_to_address(s, offset_as_addend(s));
}

// --- arithmetic unit

void multiply(Spc7110& s) {
    const uint16_t a = reg16(s, kDividend);
    const uint16_t b = reg16(s, kMultiplier);
    const uint32_t product = (s.regs[kArithmeticMode] & 1)
                                 ? uint32_t(int32_t(int16_t(a)) * int32_t(int16_t(b)))
                                 : uint32_t(a) * uint32_t(b);
    set32(s, kResult, product);
}

void divide(Spc7110& s) {
    const uint32_t dividend = reg32(s, kDividend);
    const uint16_t divisor = reg16(s, kDivisor);
    uint32_t quotient;
    uint16_t remainder;
    if (divisor == 0) {
        quotient = 0xFFFFFFFF;
        remainder = 0xFFFF;
    } else if (s.regs[kArithmeticMode] & 1) {
        const int64_t n = int32_t(dividend);
        const int64_t d = int16_t(divisor);
        // In 64 bits -2,147,483,648 / -1 cannot trap; its quotient keeps
        // the low 32 bits ($80000000).
        quotient = uint32_t(n / d);
        remainder = uint16_t(n % d);
    } else {
        quotient = dividend / divisor;
        remainder = uint16_t(dividend % divisor);
    }
    set32(s, kResult, quotient);
    set16(s, kRemainder, remainder);
}

// --- data-ROM banks

// Banks $D0-$DF, $E0-$EF and $F0-$FF each see the 1 MiB block of data ROM
// their register names; a block past the end of the data ROM wraps.
void point_data_banks(Machine& m) {
    const Spc7110& s = m.spc7110;
    const uint32_t blocks = (s.data_rom_size + kMiB - 1) / kMiB;
    const uint8_t* data = m.cart.rom.data() + kDataRomOffset;
    for (int group = 0; group < 3; group++) {
        uint32_t block = s.regs[size_t(kDataBankD0 + group)] & 7u;
        if (blocks) block %= blocks;
        for (int i = 0; i < 16; i++) {
            const uint8_t* p = data + size_t(block) * kMiB + size_t(i) * kRomSlotSize;
            const int bank = 0xD0 + group * 16 + i;
            m.mem.rom_lower[size_t(bank)] = p;
            m.mem.rom_upper[size_t(bank)] = p;
        }
    }
}

void reset_registers(Machine& m) {
    Spc7110& s = m.spc7110;
    s.regs.fill(0);
    s.regs[kDataBankD0] = 0;
    s.regs[kDataBankD0 + 1] = 1;
    s.regs[kDataBankD0 + 2] = 2;
    s.decompression_started = false;
    s.data_port_enabled = false;
    s.clock.index = kClockIndexNone;
    s.clock.command = 0;
    s.clock.command_expected = false;
    point_data_banks(m);
}

constexpr MemoryWindow kRegisterWindow{&spc7110_register_read, &spc7110_register_write, &spc7110_register_peek};
constexpr MemoryWindow kRamWindow{&spc7110_ram_read, &spc7110_ram_write, &spc7110_ram_peek};

void save_chunk(StateWriter& out, const Machine& m) { spc7110_state_io(out, m); }
void load_chunk(StateReader& in, Machine& m) { spc7110_state_io(in, m); }

}  // namespace

const ChipStateChunk kSpc7110StateChunks[1] = {{"XSPC", kSpc7110StateSize, &save_chunk, &load_chunk}};

uint8_t spc7110_data_rom_byte(const Machine& m, uint32_t address) {
    const uint32_t size = m.spc7110.data_rom_size;
    if (size == 0) return 0;
    return m.cart.rom[kDataRomOffset + (address & 0xFFFFFF) % size];
}

uint8_t spc7110_register_read(Machine& m, uint8_t, uint16_t addr) {
    Spc7110& s = m.spc7110;
    const uint8_t r = uint8_t(addr);
    uint8_t v;
    switch (r) {
        case kDecompressedData:
            set16(s, kDecompressedCount, uint16_t(reg16(s, kDecompressedCount) - 1));
            v = s.regs[r];
            break;
        case kDecompressionStatus:
            if (s.decompression_started) {
                s.decompression_started = false;
            } else {
                s.regs[r] &= 0x7F;
            }
            v = s.regs[r];
            break;
        case kDataPort:
            v = s.data_port_enabled ? data_port_read(m) : s.regs[r];
            break;
        case kDataPortWithOffset:
            v = s.data_port_enabled ? data_port_with_offset_read(m) : s.regs[r];
            break;
        case kArithmeticStatus:
            v = 0;
            break;
        case kClockData:
            v = spc7110_clock_data_read(m);
            break;
        case kClockStatus:
            v = 0x80;
            break;
        default:
            v = s.regs[r];
            break;
    }
    m.mem.open_bus = v;
    return v;
}

int spc7110_register_peek(const Machine& m, uint8_t, uint16_t addr) {
    const Spc7110& s = m.spc7110;
    const uint8_t r = uint8_t(addr);
    switch (r) {
        case kDecompressionStatus:
            return s.decompression_started ? s.regs[r] : (s.regs[r] & 0x7F);
        case kDataPort:
            return s.data_port_enabled ? spc7110_data_rom_byte(m, data_port_source(s)) : s.regs[r];
        case kDataPortWithOffset:
            return s.data_port_enabled ? spc7110_data_rom_byte(m, (address(s) + offset_as_addend(s)) & 0xFFFFFF)
                                       : s.regs[r];
        case kArithmeticStatus:
            return 0;
        case kClockData:
            return spc7110_clock_data_peek(m);
        case kClockStatus:
            return 0x80;
        default:
            return s.regs[r];
    }
}

void spc7110_register_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    Spc7110& s = m.spc7110;
    const uint8_t r = uint8_t(addr);
    s.regs[r] = value;
    switch (r) {
        case kDecompressionStart:
            s.regs[kDecompressionStatus] |= 0x80;
            s.decompression_started = true;
            break;
        case kDataOffset:
            offset_low_written(s);
            break;
        case kDataOffset + 1:
            offset_high_written(s);
            break;
        case kDataMode:
            s.data_port_enabled = true;
            break;
        case kMultiplier + 1:
            multiply(s);
            break;
        case kDivisor + 1:
            divide(s);
            break;
        case kArithmeticMode:
            std::fill(s.regs.begin() + kDividend, s.regs.begin() + kRemainder + 2, uint8_t(0));
            break;
        case kDataBankD0:
        case kDataBankD0 + 1:
        case kDataBankD0 + 2:
            point_data_banks(m);
            break;
        case kClockEnable:
            spc7110_clock_command_write(m, value);
            break;
        case kClockData:
            spc7110_clock_data_write(m, value);
            break;
        default:
            break;
    }
}

uint8_t spc7110_ram_read(Machine& m, uint8_t, uint16_t addr) {
    m.timing.line_clock += 1;
    const uint8_t v = m.cart.sram[addr & m.cart.sram_mask];
    m.mem.open_bus = v;
    return v;
}

void spc7110_ram_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    if (m.spc7110.regs[kRamWriteEnable] & 0x80) m.cart.sram[addr & m.cart.sram_mask] = value;
}

int spc7110_ram_peek(const Machine& m, uint8_t, uint16_t addr) { return m.cart.sram[addr & m.cart.sram_mask]; }

void spc7110_map(Machine& m) {
    // The 1 MiB program ROM: banks $C0-$CF and their mirrors $40-$4F, and
    // the upper halves of the system banks.
    const uint8_t* rom = m.cart.rom.data();
    const uint32_t slot_mask = std::min(kProgramSlots, m.cart.mirrored_slots) - 1;
    for (int bank = 0; bank < 256; bank++) {
        const bool program = (bank & 0x40) == 0 || (bank & 0x70) == 0x40;
        if (!program) continue;
        const uint8_t* p = rom + size_t(bank & slot_mask) * kRomSlotSize;
        m.mem.rom_lower[size_t(bank)] = p;
        m.mem.rom_upper[size_t(bank)] = p;
    }
    // Banks $50-$5F would stream decompressed data, which is not built.
    install_loader_banks(m, 0x50, 0x5F, 0, kOpenBusWindow);
    install_loader_banks(m, 0x50, 0x5F, 1, kOpenBusWindow);
    point_data_banks(m);
    install_loader_pages(m, 0x48, 0x48, kRegisterWindow);
    install_loader_pages(m, 0x60, 0x7F, kRamWindow);
}

void spc7110_power_on(Machine& m) {
    Spc7110& s = m.spc7110;
    s = Spc7110{};
    const uint32_t image = std::min<uint32_t>(m.cart.image_size, kRomSlotCount * kRomSlotSize);
    s.data_rom_size = image > kDataRomOffset ? image - kDataRomOffset : 0;
    spc7110_clock_reset(s.clock);
    spc7110_clock_set_from_host(s.clock);
    reset_registers(m);
}

void spc7110_reset(Machine& m) { reset_registers(m); }

DebugRegisters spc7110_debug_registers(const Machine& m) {
    const Spc7110& s = m.spc7110;
    DebugRegisters r;
    r.add("ADDR", 24, address(s));
    r.add("OFFSET", 16, reg16(s, kDataOffset));
    r.add("STEP", 16, reg16(s, kDataStep));
    r.add("MODE", 8, mode(s));
    r.add("PORT", 1, s.data_port_enabled);
    r.add("DIVIDEND", 32, reg32(s, kDividend));
    r.add("MULT", 16, reg16(s, kMultiplier));
    r.add("DIVISOR", 16, reg16(s, kDivisor));
    r.add("RESULT", 32, reg32(s, kResult));
    r.add("REMAIN", 16, reg16(s, kRemainder));
    r.add("SIGNED", 1, s.regs[kArithmeticMode] & 1);
    r.add("RAMWE", 1, s.regs[kRamWriteEnable] >> 7);
    r.add("BANKD0", 8, s.regs[kDataBankD0]);
    r.add("BANKE0", 8, s.regs[kDataBankD0 + 1]);
    r.add("BANKF0", 8, s.regs[kDataBankD0 + 2]);
    r.add("RTCIDX", 8, s.clock.index);
    r.add("RTCCMD", 8, s.clock.command);
    return r;
}

template <class Io>
void spc7110_state_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.spc7110;
    io.bytes(s.regs);
    uint8_t started = s.decompression_started, enabled = s.data_port_enabled;
    io.u8(started);
    io.u8(enabled);
    io.bytes(s.clock.regs);
    uint8_t index = s.clock.index, expected = s.clock.command_expected;
    io.u8(index);
    io.u8(s.clock.command);
    io.u8(expected);
    io.u32(s.clock.lines);
    if constexpr (Io::loading) {
        s.decompression_started = started & 1;
        s.data_port_enabled = enabled & 1;
        for (uint8_t& nibble : s.clock.regs) nibble &= 0x0F;
        s.clock.index = index < 16 ? index : uint8_t(kClockIndexNone);
        s.clock.command_expected = expected & 1;
        s.clock.lines = std::min<uint32_t>(s.clock.lines, 1u << 20);
        point_data_banks(m);
    }
}

template void spc7110_state_io(StateWriter&, const Machine&);
template void spc7110_state_io(StateReader&, Machine&);

}  // namespace vt
