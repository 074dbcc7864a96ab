// The audio CPU as the debugger sees it: instructions decoded from its
// memory (through apu_peek, which changes nothing) and its debug target.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "audio/spc700_opcode_map.h"
#include "core/debug_target.h"

namespace vt {

// One decoded operand.
struct Spc700Operand {
    spc700::Arg kind = spc700::Arg::None;
    // Direct-page byte, immediate, 16-bit address, 13-bit bit address, the
    // branch target, $FF00 + byte for PCALL, the number for TCALL.
    uint16_t value = 0;
    uint8_t bit = 0;  // DpBit, MemBit, MemBitNot
};

struct Spc700Instruction {
    uint16_t address = 0;
    const spc700::OpInfo* info = nullptr;
    uint8_t length = 1;
    std::array<uint8_t, 3> bytes{};  // opcode and operand bytes as stored
    std::array<Spc700Operand, 2> operands{};  // in written order
};

Spc700Instruction spc700_decode(const Machine& m, uint16_t address);

// "a", "$12+x", "#$40", "$0f00.3", "!$0f00.3" (inverted bit), "$80"
// (PCALL's offset into page $FF)...
std::string spc700_operand_text(const Spc700Operand& op);
// Mnemonic, then the operands separated by ", ": "mov a, $12+x".
std::string spc700_text(const Spc700Instruction& ins);

extern const DebugTarget kSpc700Target;

}  // namespace vt
