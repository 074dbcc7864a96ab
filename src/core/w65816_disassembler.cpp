#include "core/w65816_disassembler.h"

#include <cstdio>

#include "cart/memory_map.h"

namespace vt {

namespace {

using w65816::AddrMode;

struct Reader {
    const Machine& m;
    Peek24 peek;

    uint8_t byte(uint32_t address) const {
        const int v = peek(m, address & 0xFFFFFF);
        return v == kNotReadable ? 0 : uint8_t(v);
    }
    // A pointer in bank 0 whose bytes lie at successive 16-bit addresses.
    uint16_t pointer16(uint16_t p) const { return uint16_t(byte(p) | (byte(uint16_t(p + 1)) << 8)); }
    uint32_t pointer24(uint16_t p) const { return pointer16(p) | (uint32_t(byte(uint16_t(p + 2))) << 16); }
};

// Direct-page and stack addresses as the processor forms them, emulation
// mode's page wrapping included.
uint16_t dp_x(const W65816DecodeState& r, uint8_t op) {
    if (r.e && (r.d & 0xFF) == 0) return uint16_t((r.d & 0xFF00) | ((op + r.x) & 0xFF));
    return uint16_t(r.d + op + r.x);
}

uint16_t dp_y(const W65816DecodeState& r, uint8_t op) {
    const uint16_t base = uint16_t(r.d + op);
    if (r.e) return uint16_t((base & 0xFF00) | ((base + r.y) & 0xFF));
    return uint16_t(base + r.y);
}

uint16_t stack_relative(const W65816DecodeState& r, uint8_t op) {
    if (r.e) return uint16_t((r.s & 0xFF00) | ((r.s + op) & 0xFF));
    return uint16_t(r.s + op);
}

// The effective address of a memory operand; false for modes without one.
bool effective_address(const Reader& rd, const W65816DecodeState& r, AddrMode mode, uint32_t op, uint32_t& out) {
    const uint32_t data_bank = uint32_t(r.dbr) << 16;
    const uint8_t op8 = uint8_t(op);
    const uint16_t dp = uint16_t(r.d + op8);
    switch (mode) {
        case AddrMode::Dp: out = dp; return true;
        case AddrMode::DpX: out = dp_x(r, op8); return true;
        case AddrMode::DpY: out = dp_y(r, op8); return true;
        case AddrMode::DpInd: out = data_bank | rd.pointer16(dp); return true;
        case AddrMode::DpIndLong: out = rd.pointer24(dp); return true;
        case AddrMode::DpXInd: out = data_bank | rd.pointer16(dp_x(r, op8)); return true;
        case AddrMode::DpIndY: out = ((data_bank | rd.pointer16(dp)) + r.y) & 0xFFFFFF; return true;
        case AddrMode::DpIndLongY: out = (rd.pointer24(dp) + r.y) & 0xFFFFFF; return true;
        case AddrMode::Abs: out = data_bank | uint16_t(op); return true;
        case AddrMode::AbsX: out = ((data_bank | uint16_t(op)) + r.x) & 0xFFFFFF; return true;
        case AddrMode::AbsY: out = ((data_bank | uint16_t(op)) + r.y) & 0xFFFFFF; return true;
        case AddrMode::Long: out = op & 0xFFFFFF; return true;
        case AddrMode::LongX: out = (op + r.x) & 0xFFFFFF; return true;
        case AddrMode::Sr: out = stack_relative(r, op8); return true;
        case AddrMode::SrIndY: out = ((data_bank | rd.pointer16(stack_relative(r, op8))) + r.y) & 0xFFFFFF; return true;
        default: return false;
    }
}

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*x", digits, value);
    return text;
}

}  // namespace

W65816Instruction w65816_decode(const Machine& m, Peek24 peek, const W65816DecodeState& regs, uint32_t address) {
    const Reader rd{m, peek};
    W65816Instruction ins;
    ins.address = address & 0xFFFFFF;
    const uint32_t bank = ins.address & 0xFF0000;
    const uint16_t pc = uint16_t(ins.address);
    // The operand bytes follow within the bank, as the program counter does.
    auto at = [&](int i) { return rd.byte(bank | uint16_t(pc + i)); };

    ins.bytes[0] = at(0);
    ins.info = &w65816::kOpcodeMap[ins.bytes[0]];
    ins.length = uint8_t(w65816::instruction_length(*ins.info, regs.widths()));
    for (int i = 1; i < ins.length; i++) {
        ins.bytes[size_t(i)] = at(i);
        ins.operand |= uint32_t(ins.bytes[size_t(i)]) << (8 * (i - 1));
    }

    switch (ins.info->mode) {
        case AddrMode::Rel8: ins.target = uint16_t(pc + 2 + int8_t(ins.operand)); break;
        case AddrMode::Rel16: ins.target = uint16_t(pc + 3 + int16_t(ins.operand)); break;
        default: break;
    }
    if (ins.bytes[0] == 0xD4) {  // PEI: the pointer it pushes lies at D + operand
        ins.has_effective = true;
        ins.effective = uint16_t(regs.d + uint8_t(ins.operand));
    } else {
        ins.has_effective = effective_address(rd, regs, ins.info->mode, ins.operand, ins.effective);
    }
    return ins;
}

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
