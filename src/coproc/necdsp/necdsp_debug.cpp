// The NEC DSP for the debugger: its registers as data, the disassembler
// (one 24-bit word per program address) and its data RAM as bytes.
#include "coproc/necdsp/necdsp.h"
#include "core/debug_target.h"
#include "core/machine.h"

namespace vt {

namespace {

uint32_t necdsp_pc(const Machine& m) { return m.necdsp.pc; }

DebugRegisters necdsp_registers(const Machine& m) {
    const NecDsp& d = m.necdsp;
    const bool big = d.model == NecDspModel::Upd96050;
    auto flags = [](const NecDspFlags& f) {
        return uint32_t((f.s0 ? 1 : 0) | (f.s1 ? 2 : 0) | (f.z ? 4 : 0) | (f.c ? 8 : 0) | (f.ov0 ? 16 : 0) |
                        (f.ov1 ? 32 : 0));
    };
    DebugRegisters r;
    r.add("PC", 16, d.pc);
    r.add("RP", 16, d.rp);
    r.add("DP", big ? 16 : 8, d.dp);
    r.add("SP", 8, d.sp);
    r.add("ACCA", 16, d.acca);
    r.add("ACCB", 16, d.accb);
    r.add("FLAGA", 8, flags(d.fa));  // bits: S0 S1 Z C OV0 OV1 from bit 0
    r.add("FLAGB", 8, flags(d.fb));
    r.add("TR", 16, d.tr);
    r.add("TRB", 16, d.trb);
    r.add("K", 16, d.k);
    r.add("L", 16, d.l);
    r.add("M", 16, d.m);
    r.add("N", 16, d.n);
    r.add("DR", 16, d.dr);
    r.add("SR", 16, d.sr);
    r.add("SI", 16, d.si);
    r.add("SO", 16, d.so);
    return r;
}

DisassembledLine necdsp_disassemble_line(const Machine& m, uint32_t address) {
    const NecDsp& d = m.necdsp;
    address &= necdsp_program_mask(d.model);
    const uint32_t word = d.program[address];
    DisassembledLine line;
    line.address = address;
    line.length = 1;  // the program is addressed in words
    line.bytes = {uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), 0};
    line.text = necdsp_disassemble(d, address);
    return line;
}

int necdsp_peek(const Machine& m, uint32_t address) { return necdsp_host_read_ram(m.necdsp, address); }

}  // namespace

const DebugTarget kNecDspTarget{
    .name = "NEC DSP",
    .address_bits = 16,
    .pc = &necdsp_pc,
    .registers = &necdsp_registers,
    .disassemble = &necdsp_disassemble_line,
    .peek = &necdsp_peek,
};

}  // namespace vt
