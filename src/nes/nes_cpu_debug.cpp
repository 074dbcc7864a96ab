#include "nes/nes_cpu_debug.h"

#include <cstdio>

#include "core/machine.h"

namespace vt {

namespace {

enum Mode : uint8_t { Imp, Acc, Imm, Zp, Zpx, Zpy, Abs, Abx, Aby, Ind, Izx, Izy, Rel };

// Mnemonic and addressing mode of every opcode; unofficial ones in their
// common names, JAM for the opcodes that halt the processor.
struct Op {
    const char* name;
    Mode mode;
};

constexpr Op kOps[256] = {
    {"brk", Imp}, {"ora", Izx}, {"jam", Imp}, {"slo", Izx}, {"nop", Zp},  {"ora", Zp},  {"asl", Zp},  {"slo", Zp},
    {"php", Imp}, {"ora", Imm}, {"asl", Acc}, {"anc", Imm}, {"nop", Abs}, {"ora", Abs}, {"asl", Abs}, {"slo", Abs},
    {"bpl", Rel}, {"ora", Izy}, {"jam", Imp}, {"slo", Izy}, {"nop", Zpx}, {"ora", Zpx}, {"asl", Zpx}, {"slo", Zpx},
    {"clc", Imp}, {"ora", Aby}, {"nop", Imp}, {"slo", Aby}, {"nop", Abx}, {"ora", Abx}, {"asl", Abx}, {"slo", Abx},
    {"jsr", Abs}, {"and", Izx}, {"jam", Imp}, {"rla", Izx}, {"bit", Zp},  {"and", Zp},  {"rol", Zp},  {"rla", Zp},
    {"plp", Imp}, {"and", Imm}, {"rol", Acc}, {"anc", Imm}, {"bit", Abs}, {"and", Abs}, {"rol", Abs}, {"rla", Abs},
    {"bmi", Rel}, {"and", Izy}, {"jam", Imp}, {"rla", Izy}, {"nop", Zpx}, {"and", Zpx}, {"rol", Zpx}, {"rla", Zpx},
    {"sec", Imp}, {"and", Aby}, {"nop", Imp}, {"rla", Aby}, {"nop", Abx}, {"and", Abx}, {"rol", Abx}, {"rla", Abx},
    {"rti", Imp}, {"eor", Izx}, {"jam", Imp}, {"sre", Izx}, {"nop", Zp},  {"eor", Zp},  {"lsr", Zp},  {"sre", Zp},
    {"pha", Imp}, {"eor", Imm}, {"lsr", Acc}, {"alr", Imm}, {"jmp", Abs}, {"eor", Abs}, {"lsr", Abs}, {"sre", Abs},
    {"bvc", Rel}, {"eor", Izy}, {"jam", Imp}, {"sre", Izy}, {"nop", Zpx}, {"eor", Zpx}, {"lsr", Zpx}, {"sre", Zpx},
    {"cli", Imp}, {"eor", Aby}, {"nop", Imp}, {"sre", Aby}, {"nop", Abx}, {"eor", Abx}, {"lsr", Abx}, {"sre", Abx},
    {"rts", Imp}, {"adc", Izx}, {"jam", Imp}, {"rra", Izx}, {"nop", Zp},  {"adc", Zp},  {"ror", Zp},  {"rra", Zp},
    {"pla", Imp}, {"adc", Imm}, {"ror", Acc}, {"arr", Imm}, {"jmp", Ind}, {"adc", Abs}, {"ror", Abs}, {"rra", Abs},
    {"bvs", Rel}, {"adc", Izy}, {"jam", Imp}, {"rra", Izy}, {"nop", Zpx}, {"adc", Zpx}, {"ror", Zpx}, {"rra", Zpx},
    {"sei", Imp}, {"adc", Aby}, {"nop", Imp}, {"rra", Aby}, {"nop", Abx}, {"adc", Abx}, {"ror", Abx}, {"rra", Abx},
    {"nop", Imm}, {"sta", Izx}, {"nop", Imm}, {"sax", Izx}, {"sty", Zp},  {"sta", Zp},  {"stx", Zp},  {"sax", Zp},
    {"dey", Imp}, {"nop", Imm}, {"txa", Imp}, {"xaa", Imm}, {"sty", Abs}, {"sta", Abs}, {"stx", Abs}, {"sax", Abs},
    {"bcc", Rel}, {"sta", Izy}, {"jam", Imp}, {"sha", Izy}, {"sty", Zpx}, {"sta", Zpx}, {"stx", Zpy}, {"sax", Zpy},
    {"tya", Imp}, {"sta", Aby}, {"txs", Imp}, {"tas", Aby}, {"shy", Abx}, {"sta", Abx}, {"shx", Aby}, {"sha", Aby},
    {"ldy", Imm}, {"lda", Izx}, {"ldx", Imm}, {"lax", Izx}, {"ldy", Zp},  {"lda", Zp},  {"ldx", Zp},  {"lax", Zp},
    {"tay", Imp}, {"lda", Imm}, {"tax", Imp}, {"lax", Imm}, {"ldy", Abs}, {"lda", Abs}, {"ldx", Abs}, {"lax", Abs},
    {"bcs", Rel}, {"lda", Izy}, {"jam", Imp}, {"lax", Izy}, {"ldy", Zpx}, {"lda", Zpx}, {"ldx", Zpy}, {"lax", Zpy},
    {"clv", Imp}, {"lda", Aby}, {"tsx", Imp}, {"las", Aby}, {"ldy", Abx}, {"lda", Abx}, {"ldx", Aby}, {"lax", Aby},
    {"cpy", Imm}, {"cmp", Izx}, {"nop", Imm}, {"dcp", Izx}, {"cpy", Zp},  {"cmp", Zp},  {"dec", Zp},  {"dcp", Zp},
    {"iny", Imp}, {"cmp", Imm}, {"dex", Imp}, {"axs", Imm}, {"cpy", Abs}, {"cmp", Abs}, {"dec", Abs}, {"dcp", Abs},
    {"bne", Rel}, {"cmp", Izy}, {"jam", Imp}, {"dcp", Izy}, {"nop", Zpx}, {"cmp", Zpx}, {"dec", Zpx}, {"dcp", Zpx},
    {"cld", Imp}, {"cmp", Aby}, {"nop", Imp}, {"dcp", Aby}, {"nop", Abx}, {"cmp", Abx}, {"dec", Abx}, {"dcp", Abx},
    {"cpx", Imm}, {"sbc", Izx}, {"nop", Imm}, {"isc", Izx}, {"cpx", Zp},  {"sbc", Zp},  {"inc", Zp},  {"isc", Zp},
    {"inx", Imp}, {"sbc", Imm}, {"nop", Imp}, {"sbc", Imm}, {"cpx", Abs}, {"sbc", Abs}, {"inc", Abs}, {"isc", Abs},
    {"beq", Rel}, {"sbc", Izy}, {"jam", Imp}, {"isc", Izy}, {"nop", Zpx}, {"sbc", Zpx}, {"inc", Zpx}, {"isc", Zpx},
    {"sed", Imp}, {"sbc", Aby}, {"nop", Imp}, {"isc", Aby}, {"nop", Abx}, {"sbc", Abx}, {"inc", Abx}, {"isc", Abx},
};

constexpr uint8_t kModeLength[] = {1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 2, 2, 2};

uint32_t nes_cpu_pc(const Machine& m) { return m.nes.cpu.pc; }

DebugRegisters nes_cpu_registers(const Machine& m) {
    const NesCpu& c = m.nes.cpu;
    DebugRegisters r;
    r.add("A", 8, c.a);
    r.add("X", 8, c.x);
    r.add("Y", 8, c.y);
    r.add("S", 8, c.s);
    r.add("PC", 16, c.pc);
    r.add("P", 8, c.p);
    return r;
}

DisassembledLine nes_cpu_disassemble(const Machine& m, uint32_t address) {
    return nes_disassemble([&m](uint16_t a) { return nes_peek(m.nes, a); }, uint16_t(address));
}

int nes_cpu_peek(const Machine& m, uint32_t address) { return nes_peek(m.nes, uint16_t(address)); }

}  // namespace

uint8_t nes_opcode_length(uint8_t opcode) { return kModeLength[kOps[opcode].mode]; }

DisassembledLine nes_disassemble(const std::function<uint8_t(uint16_t)>& peek, uint16_t address) {
    DisassembledLine line;
    line.address = address;
    const uint8_t opcode = peek(address);
    const Op& op = kOps[opcode];
    line.length = kModeLength[op.mode];
    for (int i = 0; i < line.length; i++) line.bytes[size_t(i)] = peek(uint16_t(address + i));
    const uint8_t b1 = line.bytes[1];
    const uint16_t word = uint16_t(b1 | line.bytes[2] << 8);
    char operand[32] = "";
    switch (op.mode) {
        case Imp: break;
        case Acc: std::snprintf(operand, sizeof operand, " a"); break;
        case Imm: std::snprintf(operand, sizeof operand, " #$%02x", b1); break;
        case Zp: std::snprintf(operand, sizeof operand, " $%02x", b1); break;
        case Zpx: std::snprintf(operand, sizeof operand, " $%02x,x", b1); break;
        case Zpy: std::snprintf(operand, sizeof operand, " $%02x,y", b1); break;
        case Abs: std::snprintf(operand, sizeof operand, " $%04x", word); break;
        case Abx: std::snprintf(operand, sizeof operand, " $%04x,x", word); break;
        case Aby: std::snprintf(operand, sizeof operand, " $%04x,y", word); break;
        case Ind: std::snprintf(operand, sizeof operand, " ($%04x)", word); break;
        case Izx: std::snprintf(operand, sizeof operand, " ($%02x,x)", b1); break;
        case Izy: std::snprintf(operand, sizeof operand, " ($%02x),y", b1); break;
        case Rel: std::snprintf(operand, sizeof operand, " $%04x", uint16_t(address + 2 + int8_t(b1))); break;
    }
    line.text = std::string(op.name) + operand;
    return line;
}

const DebugTarget kNesCpuTarget{
    .name = "2A03",
    .address_bits = 16,
    .pc = &nes_cpu_pc,
    .registers = &nes_cpu_registers,
    .disassemble = &nes_cpu_disassemble,
    .peek = &nes_cpu_peek,
};

}  // namespace vt
