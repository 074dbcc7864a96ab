// Decoding 65816 instructions from memory for the debugger and the trace:
// the opcode map gives mnemonic, mode and length; the operand and the
// effective address are worked out from a copy of the registers, reading
// pointers through a side-effect-free peek. The same decoder serves every
// 65816 (the main CPU, the SA-1, a test's flat memory) through its own peek.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/w65816_opcodes.h"

namespace vt {

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

namespace w65816::decoding {

// The effective address of a memory operand from the operand and the
// pointers it leads to (read through `byte`); false for modes without one.
template <class ByteAt>
bool effective_address(ByteAt&& byte, const W65816DecodeState& r, AddrMode mode, uint32_t op, uint32_t& out) {
    auto pointer16 = [&](uint16_t p) { return uint16_t(byte(p) | (byte(uint16_t(p + 1)) << 8)); };
    auto pointer24 = [&](uint16_t p) { return pointer16(p) | (uint32_t(byte(uint16_t(p + 2))) << 16); };
    // Direct-page and stack addresses as the processor forms them. Emulation
    // mode wraps dp,X, dp,Y and the (dp) pointers within the page while the
    // low byte of D is 0; the second byte of a (dp,X) pointer always stays
    // in the page of the first there.
    const bool page_wrap = r.e && (r.d & 0xFF) == 0;
    auto dp_indexed = [&](uint8_t o, uint16_t index) {
        if (page_wrap) return uint16_t(r.d | uint8_t(o + index));
        return uint16_t(r.d + o + index);
    };
    auto dp_pointer = [&](uint8_t o) {
        const uint16_t p = uint16_t(r.d + o);
        const uint16_t hi_at = page_wrap ? uint16_t(r.d | uint8_t(o + 1)) : uint16_t(p + 1);
        return uint16_t(byte(p) | (byte(hi_at) << 8));
    };
    auto dpx_pointer = [&](uint8_t o) {
        const uint16_t p = dp_indexed(o, r.x);
        const uint16_t hi_at = r.e ? uint16_t((p & 0xFF00) | uint8_t(p + 1)) : uint16_t(p + 1);
        return uint16_t(byte(p) | (byte(hi_at) << 8));
    };
    auto stack = [&](uint8_t o) { return uint16_t(r.s + o); };

    const uint32_t data_bank = uint32_t(r.dbr) << 16;
    const uint8_t op8 = uint8_t(op);
    const uint16_t dp = uint16_t(r.d + op8);
    switch (mode) {
        case AddrMode::Dp: out = dp; return true;
        case AddrMode::DpX: out = dp_indexed(op8, r.x); return true;
        case AddrMode::DpY: out = dp_indexed(op8, r.y); return true;
        case AddrMode::DpInd: out = data_bank | dp_pointer(op8); return true;
        case AddrMode::DpIndLong: out = pointer24(dp); return true;
        case AddrMode::DpXInd: out = data_bank | dpx_pointer(op8); return true;
        case AddrMode::DpIndY: out = ((data_bank | dp_pointer(op8)) + r.y) & 0xFFFFFF; return true;
        case AddrMode::DpIndLongY: out = (pointer24(dp) + r.y) & 0xFFFFFF; return true;
        case AddrMode::Abs: out = data_bank | uint16_t(op); return true;
        case AddrMode::AbsX: out = ((data_bank | uint16_t(op)) + r.x) & 0xFFFFFF; return true;
        case AddrMode::AbsY: out = ((data_bank | uint16_t(op)) + r.y) & 0xFFFFFF; return true;
        case AddrMode::Long: out = op & 0xFFFFFF; return true;
        case AddrMode::LongX: out = (op + r.x) & 0xFFFFFF; return true;
        case AddrMode::Sr: out = stack(op8); return true;
        case AddrMode::SrIndY: out = ((data_bank | pointer16(stack(op8))) + r.y) & 0xFFFFFF; return true;
        default: return false;
    }
}

}  // namespace w65816::decoding

// Decodes the instruction at a 24-bit address. `peek(address)` gives the
// byte at a 24-bit address as the processor would read it now, or
// kNotReadable (read as 0), and must change nothing.
template <class Peek>
W65816Instruction w65816_decode(Peek&& peek, const W65816DecodeState& regs, uint32_t address) {
    auto byte = [&](uint32_t a) {
        const int v = peek(a & 0xFFFFFF);
        return v < 0 ? uint8_t(0) : uint8_t(v);
    };
    W65816Instruction ins;
    ins.address = address & 0xFFFFFF;
    const uint32_t bank = ins.address & 0xFF0000;
    const uint16_t pc = uint16_t(ins.address);
    // The operand bytes follow within the bank, as the program counter does.
    auto at = [&](int i) { return byte(bank | uint16_t(pc + i)); };

    ins.bytes[0] = at(0);
    ins.info = &w65816::kOpcodeMap[ins.bytes[0]];
    ins.length = uint8_t(w65816::instruction_length(*ins.info, regs.widths()));
    for (int i = 1; i < ins.length; i++) {
        ins.bytes[size_t(i)] = at(i);
        ins.operand |= uint32_t(ins.bytes[size_t(i)]) << (8 * (i - 1));
    }

    if (ins.info->mode == w65816::AddrMode::Rel8) ins.target = uint16_t(pc + 2 + int8_t(ins.operand));
    if (ins.info->mode == w65816::AddrMode::Rel16) ins.target = uint16_t(pc + 3 + int16_t(ins.operand));
    if (ins.bytes[0] == 0xD4) {  // PEI: the pointer it pushes lies at D + operand
        ins.has_effective = true;
        ins.effective = uint16_t(regs.d + uint8_t(ins.operand));
    } else {
        ins.has_effective =
            w65816::decoding::effective_address(byte, regs, ins.info->mode, ins.operand, ins.effective);
    }
    return ins;
}

// The operand as the debugger writes it, lower-case hex: "#$12",
// "$1234,x", "($12),y", "$0480" (branch, BRL and PER: the target),
// "$7e,$7f" (block move, bytes in stored order), "($1234)" for both
// JMP (abs) and JML [abs]. Empty for implied forms.
std::string w65816_operand_text(const W65816Instruction& ins);
// The same into `out` (room for kW65816OperandMax characters, no
// terminator); returns the number of characters.
inline constexpr int kW65816OperandMax = 12;
int w65816_format_operand(const W65816Instruction& ins, char* out);
// Mnemonic, then the operand after one space: "lda $12,x".
std::string w65816_text(const W65816Instruction& ins);

}  // namespace vt
