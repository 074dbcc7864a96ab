// The 65816 one-line disassembler of the debugger: the instruction at a
// 24-bit address as "008000 lda     #$12" (six hex digits of the address,
// one space, the mnemonic, five spaces, the operand; lower-case hex), with
// the effective address of a memory operand. The trace writes one such line
// per executed instruction; the inspector lists 64 of them from the PC.
//
// The disassembler works on its own copy of the registers. For listings it
// can follow the flags as it walks forward: CLC and SEC set C, XCE swaps C
// and E (entering emulation mode sets M and X), and REP and SEP change M and
// X, so the widths of the immediate operands after them come out right.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/w65816_disassembler.h"

namespace vt {

struct Machine;

// The disassembler's working copy.
struct W65816Listing {
    uint32_t pc = 0;  // 24-bit address of the next instruction
    W65816DecodeState regs;
    uint8_t carry = 0;
    bool follow_flags = false;
};

// Where a memory operand lies, as the trace shows it: "[bb:aaaa]".
struct EffectiveAddress {
    bool present = false;
    uint8_t bank = 0;
    uint16_t address = 0;
};

// The longest line: 15 characters before the operand and the operand.
inline constexpr int kW65816LineMax = 15 + kW65816OperandMax;

// The line of a decoded instruction into `out` (kW65816LineMax characters
// at most, no terminator); returns the number of characters.
int w65816_format_line(const W65816Instruction& ins, char* out);
// After an instruction: the copy's PC steps over it (within its bank) and,
// when following flags, C, E, M and X change as the instruction would
// change them.
void w65816_listing_advance(W65816Listing& l, const W65816Instruction& ins);
EffectiveAddress w65816_effective_address(const W65816Instruction& ins);

// Disassembles the instruction at l.pc and advances l. `peek(address)`
// returns the byte at a 24-bit address or a negative number (read as 0)
// and changes nothing.
template <class Peek>
int w65816_disassemble(Peek&& peek, W65816Listing& l, EffectiveAddress& ea, char* out) {
    const W65816Instruction ins = w65816_decode(peek, l.regs, l.pc);
    ea = w65816_effective_address(ins);
    w65816_listing_advance(l, ins);
    return w65816_format_line(ins, out);
}

template <class Peek>
std::string w65816_disassemble_text(Peek&& peek, W65816Listing& l, EffectiveAddress* ea = nullptr) {
    char line[kW65816LineMax];
    EffectiveAddress scratch;
    const int n = w65816_disassemble(peek, l, ea ? *ea : scratch, line);
    return std::string(line, size_t(n));
}

// The main CPU's registers as the disassembler's copy, at its PC.
W65816Listing main_cpu_listing_start(const Machine& m, bool follow_flags);

struct ListingLine {
    uint32_t address = 0;
    std::string text;
};
// `count` lines of the main CPU's memory from `l`, following the flags.
std::vector<ListingLine> main_cpu_listing(const Machine& m, W65816Listing l, int count);

}  // namespace vt
