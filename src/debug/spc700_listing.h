// The SPC700 one-line disassembler of the debugger: "0400 mov     a, #$00"
// (four hex digits of the address, one space, the mnemonic padded with
// spaces to column 13, then the operands separated by ", "; lower-case hex).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "debug/w65816_listing.h"  // ListingLine

namespace vt {

struct Machine;
struct Spc700Instruction;

inline constexpr int kSpc700OperandColumn = 13;

std::string spc700_format_line(const Spc700Instruction& ins);
// The instruction at `pc` of the audio CPU's memory, read without side
// effects; `next` (when given) receives the address after it.
std::string spc700_line(const Machine& m, uint16_t pc, uint16_t* next = nullptr);
// `count` lines from `pc`.
std::vector<ListingLine> spc700_listing(const Machine& m, uint16_t pc, int count);

}  // namespace vt
