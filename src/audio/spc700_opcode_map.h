// The SPC700 opcode map as data: mnemonic and operands of every opcode,
// from which its length follows. The interpreter has its own handler table
// (spc700_opcodes.h); the disassembler and the tests use this one. Cycle
// counts are the interpreter's kSpcCycles.
#pragma once

#include <cstdint>

namespace vt::spc700 {

// One operand of an instruction, in the order the instruction is written.
enum class Arg : uint8_t {
    None,
    A, X, Y, YA, SP, PSW, C,  // registers
    IndX,       // (x)
    IndXInc,    // (x)+
    IndY,       // (y)
    Imm,        // #$zz
    Dp,         // $zz (page 0 or 1 by the P flag)
    DpX,        // $zz+x
    DpY,        // $zz+y
    DpXInd,     // ($zz+x): pointer in the direct page
    DpIndY,     // ($zz)+y
    Abs,        // $zzzz
    AbsX,       // $zzzz+x
    AbsY,       // $zzzz+y
    AbsXInd,    // ($zzzz+x): JMP through a table
    DpBit,      // $zz.b, the bit number from the opcode's high three bits
    MemBit,     // $zzzz.b: a 13-bit address and a bit number in one word
    MemBitNot,  // the same, inverted
    Rel,        // a branch: signed offset from the next instruction
    Upage,      // PCALL: $FF00 + byte
    Tcall,      // TCALL: the number from the opcode's high nibble
};

struct OpInfo {
    char mnemonic[6];  // lower case
    Arg first;
    Arg second;
};

extern const OpInfo kOpcodeMap[256];

// Operand bytes an argument takes.
constexpr int arg_bytes(Arg a) {
    switch (a) {
        case Arg::Imm: case Arg::Dp: case Arg::DpX: case Arg::DpY: case Arg::DpXInd: case Arg::DpIndY:
        case Arg::DpBit: case Arg::Rel: case Arg::Upage:
            return 1;
        case Arg::Abs: case Arg::AbsX: case Arg::AbsY: case Arg::AbsXInd: case Arg::MemBit: case Arg::MemBitNot:
            return 2;
        default:
            return 0;
    }
}

// Bytes of the instruction, opcode included.
constexpr int instruction_length(const OpInfo& op) { return 1 + arg_bytes(op.first) + arg_bytes(op.second); }

// Where the operands' bytes are stored: when both take bytes, the source
// (the second operand) comes first, except that a branch offset is always
// last.
constexpr bool second_stored_first(const OpInfo& op) {
    return arg_bytes(op.first) && arg_bytes(op.second) && op.second != Arg::Rel;
}

}  // namespace vt::spc700
