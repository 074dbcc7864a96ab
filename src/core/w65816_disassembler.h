// Decoding 65816 instructions from memory for the debugger and the trace:
// the opcode map gives mnemonic, mode and length; the operand and the
// effective address are worked out from a copy of the registers, reading
// pointers through a side-effect-free peek. The same decoder serves every
// 65816 (the main CPU, the SA-1) through its own peek.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/w65816_opcodes.h"

namespace vt {

struct Machine;

// The registers an instruction is decoded with.
struct W65816DecodeState {
    uint16_t d = 0;
    uint16_t x = 0;
    uint16_t y = 0;
    uint16_t s = 0x01FF;
    uint8_t dbr = 0;
    uint8_t p = 0x34;  // status byte: M (bit 5) and X (bit 4) give the widths
    uint8_t e = 1;

    w65816::Widths widths() const {
        return {.m16 = !e && !(p & 0x20), .x16 = !e && !(p & 0x10), .native = !e};
    }
};

// A 24-bit address's byte as the processor would read it now, or
// kNotReadable.
using Peek24 = int (*)(const Machine& m, uint32_t address);

// An instruction as stored, with its operand decoded.
struct W65816Instruction {
    uint32_t address = 0;  // 24-bit address of the opcode
    const w65816::OpInfo* info = nullptr;
    uint8_t length = 1;
    std::array<uint8_t, 4> bytes{};  // opcode and operand bytes as stored
    // The operand bytes as a number (8, 16 or 24 bits); for block moves the
    // first byte is the low byte.
    uint32_t operand = 0;
    // Branches, BRL and PER: the 16-bit address reached from the next
    // instruction, in the instruction's bank.
    uint16_t target = 0;
    // Instructions with a memory operand: its 24-bit effective address, as
    // the processor would compute it with the registers given (pointers
    // that cannot be read count as 0).
    bool has_effective = false;
    uint32_t effective = 0;
};

W65816Instruction w65816_decode(const Machine& m, Peek24 peek, const W65816DecodeState& regs, uint32_t address);

// The operand in the usual notation, lower-case hex: "#$12", "$1234,x",
// "($12),y", "$0480" (branch target), "$7e,$7f" (block move, bytes in
// stored order). Empty for implied forms.
std::string w65816_operand_text(const W65816Instruction& ins);
// Mnemonic, then the operand after one space: "lda $12,x".
std::string w65816_text(const W65816Instruction& ins);

}  // namespace vt
