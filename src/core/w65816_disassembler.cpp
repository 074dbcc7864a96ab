#include "core/w65816_disassembler.h"

#include <cstdio>

namespace vt {

namespace {

using w65816::AddrMode;

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*x", digits, value);
    return text;
}

}  // namespace

std::string w65816_operand_text(const W65816Instruction& ins) {
    const uint32_t op = ins.operand;
    const std::string byte = hex(op & 0xFF, 2);
    const std::string word = hex(op & 0xFFFF, 4);
    const std::string lng = hex(op & 0xFFFFFF, 6);
    switch (ins.info->mode) {
        case AddrMode::Implied: return "";
        case AddrMode::ImmM:
        case AddrMode::ImmX:
        case AddrMode::Imm8: return "#" + (ins.length == 3 ? word : byte);
        case AddrMode::Dp: return byte;
        case AddrMode::DpX: return byte + ",x";
        case AddrMode::DpY: return byte + ",y";
        case AddrMode::DpInd: return "(" + byte + ")";
        case AddrMode::DpIndLong: return "[" + byte + "]";
        case AddrMode::DpXInd: return "(" + byte + ",x)";
        case AddrMode::DpIndY: return "(" + byte + "),y";
        case AddrMode::DpIndLongY: return "[" + byte + "],y";
        case AddrMode::Abs:
        case AddrMode::AbsJump: return word;
        case AddrMode::AbsX: return word + ",x";
        case AddrMode::AbsY: return word + ",y";
        case AddrMode::Long:
        case AddrMode::LongJump: return lng;
        case AddrMode::LongX: return lng + ",x";
        case AddrMode::Sr: return byte + ",s";
        case AddrMode::SrIndY: return "(" + byte + ",s),y";
        case AddrMode::Rel8:
        case AddrMode::Rel16: return hex(ins.target, 4);
        case AddrMode::AbsInd: return "(" + word + ")";
        case AddrMode::AbsXInd: return "(" + word + ",x)";
        case AddrMode::AbsIndLong: return "[" + word + "]";
        case AddrMode::Block: return byte + "," + hex(ins.bytes[2], 2);
    }
    return "";
}

std::string w65816_text(const W65816Instruction& ins) {
    const std::string operand = w65816_operand_text(ins);
    std::string text = ins.info->mnemonic;
    if (!operand.empty()) text += " " + operand;
    return text;
}

}  // namespace vt
