// The NES's CPU: the 2A03's 6502 core (no decimal mode). Its registers and
// interrupt inputs; the interpreter is nes_cpu_core.h, written once as a
// template over a bus so the NES side and the tests' flat memory share it.
#pragma once

#include <cstdint>
#include <type_traits>

namespace vt {

// Status flags.
inline constexpr uint8_t kNesFlagC = 0x01;
inline constexpr uint8_t kNesFlagZ = 0x02;
inline constexpr uint8_t kNesFlagI = 0x04;
inline constexpr uint8_t kNesFlagD = 0x08;
inline constexpr uint8_t kNesFlagB = 0x10;
inline constexpr uint8_t kNesFlagU = 0x20;
inline constexpr uint8_t kNesFlagV = 0x40;
inline constexpr uint8_t kNesFlagN = 0x80;

inline constexpr uint16_t kNesNmiVector = 0xFFFA;
inline constexpr uint16_t kNesResetVector = 0xFFFC;
inline constexpr uint16_t kNesIrqVector = 0xFFFE;

struct NesCpu {
    uint8_t a = 0, x = 0, y = 0;
    uint8_t s = 0xFD;
    uint8_t p = kNesFlagU | kNesFlagI;
    uint16_t pc = 0;
    // An NMI edge was seen; taken before the next instruction.
    bool nmi_pending = false;
    // The IRQ line was low with I clear at the last poll (the end of the
    // instruction before): the next step takes the IRQ.
    bool irq_pending = false;
    // A JAM opcode halted the processor until reset.
    bool jammed = false;
};

// The 8-byte save image: A X Y S P PCL PCH, flags.
inline constexpr uint32_t kNesCpuStateSize = 8;
template <class Io>
void nes_cpu_state_io(Io& io, std::conditional_t<Io::loading, NesCpu, const NesCpu>& c) {
    io.u8(c.a);
    io.u8(c.x);
    io.u8(c.y);
    io.u8(c.s);
    io.u8(c.p);
    io.u16(c.pc);
    uint8_t flags = uint8_t(c.nmi_pending) | uint8_t(c.irq_pending) << 1 | uint8_t(c.jammed) << 2;
    io.u8(flags);
    if constexpr (Io::loading) {
        c.p |= kNesFlagU;
        c.nmi_pending = flags & 1;
        c.irq_pending = flags & 2;
        c.jammed = flags & 4;
    }
}

// Instruction lengths in bytes (opcode included), and the mnemonics, for
// the disassembler.
uint8_t nes_opcode_length(uint8_t opcode);

}  // namespace vt
