#include "audio/spc700_debug.h"

#include <cstdio>

#include "audio/apu.h"
#include "core/machine.h"

namespace vt {

namespace {

using spc700::Arg;

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*x", digits, value);
    return text;
}

// The operand's value from its bytes (little-endian) and the opcode.
Spc700Operand decode_operand(Arg kind, const uint8_t* bytes, uint8_t opcode, uint16_t next_address) {
    Spc700Operand op;
    op.kind = kind;
    const uint16_t word = spc700::arg_bytes(kind) == 2 ? uint16_t(bytes[0] | (bytes[1] << 8)) : bytes[0];
    switch (kind) {
        case Arg::DpBit:
            op.value = word;
            op.bit = opcode >> 5;
            break;
        case Arg::MemBit:
        case Arg::MemBitNot:
            op.value = word & 0x1FFF;
            op.bit = uint8_t(word >> 13);
            break;
        case Arg::Rel: op.value = uint16_t(next_address + int8_t(bytes[0])); break;
        case Arg::Upage: op.value = uint16_t(0xFF00 | bytes[0]); break;
        case Arg::Tcall: op.value = opcode >> 4; break;
        default: op.value = spc700::arg_bytes(kind) ? word : 0; break;
    }
    return op;
}

uint32_t spc700_pc(const Machine& m) { return m.apu.pc; }

DebugRegisters spc700_registers(const Machine& m) {
    const Apu& s = m.apu;
    DebugRegisters r;
    r.add("A", 8, s.a);
    r.add("X", 8, s.x);
    r.add("Y", 8, s.y);
    r.add("SP", 8, s.sp);
    r.add("PC", 16, s.pc);
    r.add("PSW", 8, psw_pack(s.psw));
    return r;
}

DisassembledLine spc700_disassemble(const Machine& m, uint32_t address) {
    const Spc700Instruction ins = spc700_decode(m, uint16_t(address));
    DisassembledLine line;
    line.address = ins.address;
    line.length = ins.length;
    for (int i = 0; i < 3; i++) line.bytes[size_t(i)] = ins.bytes[size_t(i)];
    line.text = spc700_text(ins);
    return line;
}

int spc700_peek(const Machine& m, uint32_t address) { return apu_peek(m, uint16_t(address)); }

}  // namespace

Spc700Instruction spc700_decode(const Machine& m, uint16_t address) {
    Spc700Instruction ins;
    ins.address = address;
    ins.bytes[0] = apu_peek(m, address);
    ins.info = &spc700::kOpcodeMap[ins.bytes[0]];
    ins.length = uint8_t(spc700::instruction_length(*ins.info));
    for (int i = 1; i < ins.length; i++) ins.bytes[size_t(i)] = apu_peek(m, uint16_t(address + i));

    const uint16_t next = uint16_t(address + ins.length);
    const uint8_t* operand_bytes = &ins.bytes[1];
    const int first_size = spc700::arg_bytes(ins.info->first);
    const int second_size = spc700::arg_bytes(ins.info->second);
    const uint8_t* first = operand_bytes;
    const uint8_t* second = operand_bytes + first_size;
    if (spc700::second_stored_first(*ins.info)) {
        second = operand_bytes;
        first = operand_bytes + second_size;
    }
    ins.operands[0] = decode_operand(ins.info->first, first, ins.bytes[0], next);
    ins.operands[1] = decode_operand(ins.info->second, second, ins.bytes[0], next);
    return ins;
}

std::string spc700_operand_text(const Spc700Operand& op) {
    const std::string byte = hex(op.value & 0xFF, 2);
    const std::string word = hex(op.value, 4);
    switch (op.kind) {
        case Arg::None: return "";
        case Arg::A: return "a";
        case Arg::X: return "x";
        case Arg::Y: return "y";
        case Arg::YA: return "ya";
        case Arg::SP: return "sp";
        case Arg::PSW: return "psw";
        case Arg::C: return "c";
        case Arg::IndX: return "(x)";
        case Arg::IndXInc: return "(x)+";
        case Arg::IndY: return "(y)";
        case Arg::Imm: return "#" + byte;
        case Arg::Dp: return byte;
        case Arg::DpX: return byte + "+x";
        case Arg::DpY: return byte + "+y";
        case Arg::DpXInd: return "(" + byte + "+x)";
        case Arg::DpIndY: return "(" + byte + ")+y";
        case Arg::Abs: return word;
        case Arg::AbsX: return word + "+x";
        case Arg::AbsY: return word + "+y";
        case Arg::AbsXInd: return "(" + word + "+x)";
        case Arg::DpBit: return byte + "." + std::to_string(op.bit);
        case Arg::MemBit: return word + "." + std::to_string(op.bit);
        case Arg::MemBitNot: return "!" + word + "." + std::to_string(op.bit);
        case Arg::Rel: return word;
        case Arg::Upage: return byte;  // written as the page-$FF offset: "pcall $80"
        case Arg::Tcall: return std::to_string(op.value);
    }
    return "";
}

std::string spc700_text(const Spc700Instruction& ins) {
    std::string text = ins.info->mnemonic;
    const char* separator = " ";
    for (const Spc700Operand& op : ins.operands) {
        if (op.kind == Arg::None) continue;
        text += separator + spc700_operand_text(op);
        separator = ", ";
    }
    return text;
}

const DebugTarget kSpc700Target{
    .name = "SPC700",
    .address_bits = 16,
    .pc = &spc700_pc,
    .registers = &spc700_registers,
    .disassemble = &spc700_disassemble,
    .peek = &spc700_peek,
};

}  // namespace vt
