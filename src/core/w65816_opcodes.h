// The 65816 opcode map as data: mnemonic, addressing mode, length and base
// cost of every opcode, and how length and cost grow with the register
// widths. The interpreter does not read it (its handlers are specialised
// per width); the disassembler, the trace and the CPU tests do.
#pragma once

#include <cstdint>

namespace vt::w65816 {

// Operand forms of the opcode map.
enum class AddrMode : uint8_t {
    Implied,     // includes the accumulator forms
    ImmM,        // #, m-width
    ImmX,        // #, x-width
    Imm8,        // one operand byte: REP, SEP, WDM, BRK and COP signatures
    Dp, DpX, DpY, DpInd, DpIndLong, DpXInd, DpIndY, DpIndLongY,
    Abs, AbsX, AbsY, Long, LongX, Sr, SrIndY,
    Rel8, Rel16,                     // branches; BRL and PER
    AbsJump, LongJump,               // JMP/JSR abs and PEA; JML/JSL long
    AbsInd, AbsXInd, AbsIndLong,     // JMP (abs), JMP/JSR (abs,X), JML [abs]
    Block,                           // MVN, MVP
};
// PEI is listed as (dp): it pushes the pointer that (dp) would follow.

// How the cost and the length grow with the register widths.
enum class Grow : uint8_t {
    None,
    M,       // +1 cycle with a 16-bit accumulator (and +1 byte for #)
    M2,      // +2 cycles with a 16-bit accumulator (read-modify-write)
    X,       // +1 cycle with 16-bit index registers (and +1 byte for #)
    Native,  // +1 cycle in native mode (RTI, BRK, COP)
};

// What the instruction does to the program counter besides stepping over
// itself.
enum class Flow : uint8_t { Straight, Branch, Jump, Stop };

struct OpInfo {
    uint8_t code;
    char mnemonic[4];  // lower case, with the debugger's spellings (ina, dea, jml, ...)
    AddrMode mode;
    uint8_t bytes;   // with 8-bit registers
    uint8_t cycles;  // with 8-bit registers; in emulation mode for Grow::Native
    Grow grow;
    Flow flow;
};

extern const OpInfo kOpcodeMap[256];

// Register widths and mode an instruction is decoded for.
struct Widths {
    bool m16 = false;  // 16-bit accumulator (native mode with M clear)
    bool x16 = false;  // 16-bit index registers (native mode with X clear)
    bool native = false;
};

// Bytes of the instruction, opcode included.
inline int instruction_length(const OpInfo& op, Widths w) {
    if (op.mode == AddrMode::ImmM && w.m16) return op.bytes + 1;
    if (op.mode == AddrMode::ImmX && w.x16) return op.bytes + 1;
    return op.bytes;
}

// Base cost in cycles, before the direct-page and branch penalties and the
// memory surcharges.
inline int base_cycles(const OpInfo& op, Widths w) {
    switch (op.grow) {
        case Grow::None: return op.cycles;
        case Grow::M: return op.cycles + (w.m16 ? 1 : 0);
        case Grow::M2: return op.cycles + (w.m16 ? 2 : 0);
        case Grow::X: return op.cycles + (w.x16 ? 1 : 0);
        case Grow::Native: return op.cycles + (w.native ? 1 : 0);
    }
    return op.cycles;
}

}  // namespace vt::w65816
