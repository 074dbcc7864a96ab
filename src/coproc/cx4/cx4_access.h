// Bounded access for the CX4's commands: RAM indexes wrap at the 3 KiB
// RAM's end, registers are named by their address ($7F40-$7FFF), and the
// cartridge is read as the chip sees it (what cannot be read gives 0), so
// no register value can send a command outside a buffer.
#pragma once

#include <cstdint>

#include "cart/bus.h"
#include "coproc/cx4/cx4.h"
#include "core/machine.h"

namespace vt {

inline uint8_t cx4_ram8(const Cx4& c, uint32_t i) { return c.ram[i % kCx4RamSize]; }
inline uint16_t cx4_ram16(const Cx4& c, uint32_t i) { return uint16_t(cx4_ram8(c, i) | cx4_ram8(c, i + 1) << 8); }
inline void cx4_set_ram8(Cx4& c, uint32_t i, uint8_t v) { c.ram[i % kCx4RamSize] = v; }
inline void cx4_set_ram16(Cx4& c, uint32_t i, uint16_t v) {
    cx4_set_ram8(c, i, uint8_t(v));
    cx4_set_ram8(c, i + 1, uint8_t(v >> 8));
}

inline uint8_t cx4_reg8(const Cx4& c, uint16_t addr) { return c.regs[size_t((addr - 0x7F40) & 0xFF) % c.regs.size()]; }
inline uint16_t cx4_reg16(const Cx4& c, uint16_t addr) {
    return uint16_t(cx4_reg8(c, addr) | cx4_reg8(c, uint16_t(addr + 1)) << 8);
}
inline void cx4_set_reg8(Cx4& c, uint16_t addr, uint8_t v) { c.regs[size_t((addr - 0x7F40) & 0xFF) % c.regs.size()] = v; }
inline void cx4_set_reg16(Cx4& c, uint16_t addr, uint16_t v) {
    cx4_set_reg8(c, addr, uint8_t(v));
    cx4_set_reg8(c, uint16_t(addr + 1), uint8_t(v >> 8));
}

// A byte of the cartridge at a 24-bit address.
inline uint8_t cx4_rom8(const Machine& m, uint32_t address) {
    const int v = bus_peek(m, uint8_t(address >> 16), uint16_t(address));
    return v == kNotReadable ? 0 : uint8_t(v);
}

}  // namespace vt
