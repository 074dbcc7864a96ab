#include "core/main_cpu_debug.h"

#include "cart/bus.h"
#include "core/machine.h"

namespace vt {

namespace {

uint32_t main_cpu_pc(const Machine& m) { return (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc; }

DebugRegisters main_cpu_registers(const Machine& m) { return w65816_debug_registers(m.cpu); }

}  // namespace

DebugRegisters w65816_debug_registers(const CpuRegs& c) {
    DebugRegisters r;
    r.add("A", 16, c.a);
    r.add("X", 16, c.x);
    r.add("Y", 16, c.y);
    r.add("S", 16, c.s);
    r.add("D", 16, c.d);
    r.add("PBR", 8, c.pbr);
    r.add("PC", 16, c.pc);
    r.add("DBR", 8, c.dbr);
    r.add("P", 8, cpu_status(c));
    r.add("E", 1, c.e);
    return r;
}

namespace {

DisassembledLine main_cpu_disassemble(const Machine& m, uint32_t address) {
    auto peek = [&m](uint32_t a) { return main_cpu_peek(m, a); };
    const W65816Instruction ins = w65816_decode(peek, main_cpu_decode_state(m), address);
    DisassembledLine line;
    line.address = ins.address;
    line.length = ins.length;
    line.bytes = ins.bytes;
    line.text = w65816_text(ins);
    return line;
}

}  // namespace

W65816DecodeState main_cpu_decode_state(const Machine& m) {
    const CpuRegs& c = m.cpu;
    return {.d = c.d, .x = c.x, .y = c.y, .s = c.s, .dbr = c.dbr, .p = c.p, .e = c.e};
}

int main_cpu_peek(const Machine& m, uint32_t address) {
    // Before the first cartridge the tables are empty: nothing answers.
    if (!peek_entry(m.mem.cpu, uint8_t(address >> 16), uint16_t(address))) return kNotReadable;
    return bus_peek(m, uint8_t(address >> 16), uint16_t(address));
}

const DebugTarget kMainCpuTarget{
    .name = "W65C816S",
    .address_bits = 24,
    .pc = &main_cpu_pc,
    .registers = &main_cpu_registers,
    .disassemble = &main_cpu_disassemble,
    .peek = &main_cpu_peek,
};

}  // namespace vt
