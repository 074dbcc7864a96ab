// The SPC700's memory accesses, inlined into the instruction handlers. RAM
// is the common case; the I/O registers ($00F0-$00FF except $F8/$F9) and the
// boot ROM overlay take a slower path.
#pragma once

#include <cstdint>

#include "audio/apu.h"
#include "audio/ipl_rom.h"
#include "core/machine.h"

namespace vt {

using SpcIoRead = uint8_t (*)(Machine&, uint8_t reg);
using SpcIoWrite = void (*)(Machine&, uint8_t reg, uint8_t value);

// Handlers of $F0-$FF, indexed by address AND $0F.
extern const SpcIoRead kSpcIoRead[16];
extern const SpcIoWrite kSpcIoWrite[16];

inline bool spc_is_io(uint16_t addr) { return (addr & 0xFFF0) == 0x00F0; }

inline uint8_t spc_read(Machine& m, uint16_t addr) {
    Apu& s = m.apu;
    if (spc_is_io(addr)) [[unlikely]]
        return kSpcIoRead[addr & 0x0F](m, uint8_t(addr & 0x0F));
    if (addr >= kIplRomBase && s.ipl_mapped) [[unlikely]]
        return kIplRom[addr & 0x3F];
    return s.ram[addr];
}

// Writes reach RAM, boot ROM area included; writes to the I/O registers
// reach the RAM beneath them as well. While TEST keeps RAM from taking
// writes every write takes the slow path, which drops the RAM part.
void spc_write_slow(Machine& m, uint16_t addr, uint8_t value);

inline void spc_write(Machine& m, uint16_t addr, uint8_t value) {
    Apu& s = m.apu;
    if ((addr & s.slow_write_mask) == s.slow_write_match) [[unlikely]] {
        spc_write_slow(m, addr, value);
        return;
    }
    s.ram[addr] = value;
}

}  // namespace vt
