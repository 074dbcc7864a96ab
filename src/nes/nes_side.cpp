#include "nes/nes_side.h"

#include <cstdio>

#include "core/machine.h"

namespace vt {

namespace {

// The sound unit and the CPU share the 2A03: before a sound register is
// touched the sound unit catches up to the CPU's cycle.
inline void apu_catch_up(NesSide& s) {
    if (s.cycles != s.apu_cycles) {
        nes_apu_run(s.apu, uint32_t(s.cycles - s.apu_cycles));
        s.apu_cycles = s.cycles;
    }
}

inline uint16_t ppu_dot(const NesSide& s) { return uint16_t(s.clock < kNesLineDots ? s.clock : kNesLineDots - 1); }

// The NMI line's rise is what the CPU latches.
inline void look_at_nmi(NesSide& s) {
    const bool now = nes_ppu_nmi_line(s.ppu);
    if (now && !s.nmi_line) s.cpu.nmi_pending = true;
    s.nmi_line = now;
}

void log_unmapped(NesSide& s, char kind, uint16_t address, uint8_t value) {
    Machine& m = *s.machine;
    if (!m.host.log_line) return;
    char text[64];
    if (kind == 'W') {
        std::snprintf(text, sizeof text, "NOMAP W: [$00:%04X] 00%04X %02X", s.instruction_pc, address, value);
    } else {
        std::snprintf(text, sizeof text, "NOMAP R: [$00:%04X] 00%04X (0x%02X)", s.instruction_pc, address, value);
    }
    m.host.log_line(m.host.log, text);
}

// The buttons of a port in the order the console shifts them out:
// A, B, Select, Start, Up, Down, Left, Right.
uint8_t controller_byte(const Machine& m, int port) {
    if (m.input.device[port] != PortDevice::Joypad) return 0;
    const uint32_t r = m.input.record[port];
    static constexpr uint32_t kOrder[8] = {kPadA, kPadB, kPadSelect, kPadStart, kPadUp, kPadDown, kPadLeft, kPadRight};
    uint8_t byte = 0;
    for (int i = 0; i < 8; i++) {
        if (r & kOrder[i]) byte |= uint8_t(1 << i);
    }
    // The SNES pad's X and Y serve as a second A and B.
    if (r & kPadX) byte |= 1;
    if (r & kPadY) byte |= 2;
    // A pad cannot press opposite directions; games misbehave when both read as held.
    if ((byte & 0x30) == 0x30) byte &= uint8_t(~0x30);
    if ((byte & 0xC0) == 0xC0) byte &= uint8_t(~0xC0);
    return byte;
}

void latch_controllers(NesSide& s) {
    s.shift[0] = controller_byte(*s.machine, 0);
    s.shift[1] = controller_byte(*s.machine, 1);
}

uint8_t read_controller(NesSide& s, int port) {
    if (s.strobe & 1) latch_controllers(s);
    const uint8_t bit = s.shift[port] & 1;
    // After eight reads an official pad returns 1s.
    s.shift[port] = uint8_t(s.shift[port] >> 1 | 0x80);
    return uint8_t((s.open_bus & 0xE0) | bit);
}

// $4014: the CPU halts for one cycle (two on an odd cycle), then copies the
// page with a read and a write per byte.
void oam_dma(NesSide& s, uint8_t page) {
    const uint32_t halt = (s.cycles & 1) ? 2 : 1;
    s.cycles += halt;
    s.clock += int32_t(halt) * kNesDotsPerCycle;
    std::array<uint8_t, 256> bytes;
    for (int i = 0; i < 256; i++) {
        bytes[size_t(i)] = nes_read(s, uint16_t(page << 8 | i));
        s.cycles++;
        s.clock += kNesDotsPerCycle;
    }
    nes_ppu_oam_dma(s.ppu, bytes.data());
}

uint8_t read_io(NesSide& s, uint16_t address) {
    switch (address) {
        case 0x4015: {
            apu_catch_up(s);
            // Bit 5 is not driven.
            return uint8_t((nes_apu_read_status(s.apu) & ~0x20) | (s.open_bus & 0x20));
        }
        case 0x4016: return read_controller(s, 0);
        case 0x4017: return read_controller(s, 1);
        default: break;
    }
    if (address >= 0x4018) log_unmapped(s, 'R', address, s.open_bus);
    return s.open_bus;  // write-only registers and nothing: the last byte on the bus
}

void write_io(NesSide& s, uint16_t address, uint8_t value) {
    if (address == 0x4014) {
        oam_dma(s, value);
        return;
    }
    if (address == 0x4016) {
        const uint8_t before = s.strobe;
        s.strobe = value & 1;
        if ((before & 1) && !(value & 1)) latch_controllers(s);
        if (value & 1) latch_controllers(s);
        return;
    }
    if (address <= 0x4017) {
        apu_catch_up(s);
        nes_apu_write(s.apu, address, value);
        return;
    }
    log_unmapped(s, 'W', address, value);
}

uint8_t dmc_read(void* context, uint16_t address) { return nes_peek(*static_cast<NesSide*>(context), address); }

uint8_t* chr_base(NesSide& s) { return s.chr_rom ? const_cast<uint8_t*>(s.chr_rom) : s.chr_ram.data(); }
uint32_t chr_bytes(const NesSide& s) { return s.chr_rom ? s.info.chr_size : s.info.chr_ram_size; }

}  // namespace

// ---------------------------------------------------------------------------
// The CPU's memory map

uint8_t nes_read_registers(NesSide& s, uint16_t address) {
    uint8_t v;
    switch (address >> 13) {
        case 1:
            if ((address & 7) == 2) {
                // A status read on the dots around the V-blank flag's rise
                // keeps the NMI from happening this frame, even though the
                // line's start already latched it: withdraw it.
                const bool suppressed_before = nes_ppu_nmi_suppressed(s.ppu);
                v = nes_ppu_read(s.ppu, address, ppu_dot(s));
                if (!suppressed_before && nes_ppu_nmi_suppressed(s.ppu)) s.cpu.nmi_pending = false;
                look_at_nmi(s);
                break;
            }
            v = nes_ppu_read(s.ppu, address, ppu_dot(s));
            break;
        case 2: v = read_io(s, address); break;
        default:
            if (!s.mapper_state.prg_ram_enabled) {
                v = s.open_bus;
                break;
            }
            v = s.prg_ram[address & 0x1FFF];
            break;
    }
    s.open_bus = v;
    return v;
}

void nes_write_registers(NesSide& s, uint16_t address, uint8_t value) {
    switch (address >> 13) {
        case 1:
            nes_ppu_write(s.ppu, address, value, ppu_dot(s));
            if ((address & 7) == 0) look_at_nmi(s);
            break;
        case 2: write_io(s, address, value); break;
        case 3:
            if (s.mapper_state.prg_ram_enabled && s.mapper_state.prg_ram_writable) s.prg_ram[address & 0x1FFF] = value;
            break;
        default: s.mapper->write(s, address, value); break;
    }
}

uint8_t nes_peek(const NesSide& s, uint16_t address) {
    switch (address >> 13) {
        case 0: return s.ram[address & 0x7FF];
        case 1: return nes_ppu_peek(s.ppu, address);
        case 2: return address == 0x4015 ? nes_apu_peek_status(s.apu) : s.open_bus;
        case 3: return s.mapper_state.prg_ram_enabled && s.prg_ram ? s.prg_ram[address & 0x1FFF] : s.open_bus;
        default: return s.prg_page[(address >> 13) & 3] ? s.prg_page[(address >> 13) & 3][address & 0x1FFF] : 0;
    }
}

// ---------------------------------------------------------------------------
// Bank helpers

uint32_t nes_prg_banks_8k(const NesSide& s) { return s.info.prg_size / 0x2000; }

void nes_set_prg_8k(NesSide& s, int slot, uint32_t bank) {
    const uint32_t count = nes_prg_banks_8k(s);
    s.prg_page[size_t(slot & 3)] = s.prg_rom + size_t(bank % count) * 0x2000;
}

void nes_set_prg_16k(NesSide& s, int slot, uint32_t bank) {
    nes_set_prg_8k(s, slot * 2, bank * 2);
    nes_set_prg_8k(s, slot * 2 + 1, bank * 2 + 1);
}

void nes_set_prg_32k(NesSide& s, uint32_t bank) {
    for (int i = 0; i < 4; i++) nes_set_prg_8k(s, i, bank * 4 + uint32_t(i));
}

void nes_set_chr_1k(NesSide& s, int slot, uint32_t bank) {
    const uint32_t count = chr_bytes(s) / 0x400;
    s.ppu.chr_page[size_t(slot & 7)] = chr_base(s) + size_t(bank % count) * 0x400;
}

void nes_set_chr_2k(NesSide& s, int slot, uint32_t bank) {
    nes_set_chr_1k(s, slot, bank * 2);
    nes_set_chr_1k(s, slot + 1, bank * 2 + 1);
}

void nes_set_chr_4k(NesSide& s, int slot, uint32_t bank) {
    for (int i = 0; i < 4; i++) nes_set_chr_1k(s, slot + i, bank * 4 + uint32_t(i));
}

void nes_set_chr_8k(NesSide& s, uint32_t bank) {
    for (int i = 0; i < 8; i++) nes_set_chr_1k(s, i, bank * 8 + uint32_t(i));
}

void nes_set_mirroring(NesSide& s, NesMirroring mirroring) {
    // A four-screen board keeps its own layout whatever the mapper says.
    if (s.info.mirroring == NesMirroring::FourScreen) mirroring = NesMirroring::FourScreen;
    s.mapper_state.mirroring = mirroring;
    uint8_t* a = s.ppu.ciram.data();
    uint8_t* b = s.ppu.ciram.data() + 0x400;
    auto& page = s.ppu.nametable_page;
    switch (mirroring) {
        case NesMirroring::Horizontal: page = {a, a, b, b}; break;
        case NesMirroring::Vertical: page = {a, b, a, b}; break;
        case NesMirroring::SingleLower: page = {a, a, a, a}; break;
        case NesMirroring::SingleUpper: page = {b, b, b, b}; break;
        case NesMirroring::FourScreen:
            page = {a, b, s.extra_nametables.data(), s.extra_nametables.data() + 0x400};
            break;
    }
}

// ---------------------------------------------------------------------------
// Attaching, power-on, reset

void nes_side_attach(Machine& m) {
    NesSide& s = m.nes;
    s.machine = &m;
    s.info = m.cart.nes_info;
    s.mapper = nes_mapper_for(s.info.mapper);
    s.prg_rom = m.cart.rom.data();
    s.chr_rom = s.info.chr_size ? m.cart.rom.data() + s.info.prg_size : nullptr;
    s.prg_ram = m.cart.sram.data();
    s.ppu.chr_writable = s.chr_rom == nullptr;
    s.apu.dmc_read = &dmc_read;
    s.apu.dmc_context = &s;
}

void nes_side_power_on(Machine& m) {
    NesSide& s = m.nes;
    nes_side_attach(m);
    s.ram.fill(0);
    s.chr_ram.fill(0);
    s.extra_nametables.fill(0);
    s.cpu = NesCpu{};
    s.mapper_state = NesMapperState{};
    nes_set_mirroring(s, s.info.mirroring);
    s.mapper->power_on(s);
    s.mapper->apply(s);
    nes_ppu_power_on(s.ppu);
    nes_apu_power_on(s.apu);
    s.apu.dmc_read = &dmc_read;
    s.apu.dmc_context = &s;
    s.strobe = 0;
    s.shift = {};
    s.cycles = s.apu_cycles = 0;
    s.sample_phase = 0;
    nes_side_reset(m);
}

void nes_side_reset(Machine& m) {
    NesSide& s = m.nes;
    nes_ppu_reset(s.ppu);
    nes_apu_reset(s.apu);
    NesCpu& c = s.cpu;
    c.s = uint8_t(c.s - 3);
    c.p |= kNesFlagI | kNesFlagU;
    c.nmi_pending = c.irq_pending = c.jammed = false;
    c.pc = uint16_t(nes_peek(s, kNesResetVector) | nes_peek(s, kNesResetVector + 1) << 8);
    s.mapper_state.irq_line = false;
    s.point = NesPoint::FrameStart;
    s.line = 0;
    s.clock = 0;
    s.frame_dots = 0;
    s.nmi_line = nes_ppu_nmi_line(s.ppu);
}

void nes_side_after_state_load(Machine& m) {
    NesSide& s = m.nes;
    nes_side_attach(m);
    nes_set_mirroring(s, s.mapper_state.mirroring);
    s.mapper->apply(s);
    s.point = NesPoint::FrameStart;
    s.line = 0;
    s.frame_dots = 0;
    s.apu_cycles = s.cycles;
    s.nmi_line = nes_ppu_nmi_line(s.ppu);
}

}  // namespace vt
