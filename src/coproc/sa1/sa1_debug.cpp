// The SA-1 for the debugger: its processor's registers, disassembly and
// memory as the SA-1 sees it, and its register block as name/value rows.
#include "coproc/sa1/sa1_debug.h"

#include "coproc/sa1/sa1.h"
#include "core/debug_target.h"
#include "core/machine.h"
#include "core/main_cpu_debug.h"
#include "core/w65816_disassembler.h"

namespace vt {

namespace {

uint32_t sa1_pc(const Machine& m) { return (uint32_t(m.sa1.cpu.pbr) << 16) | m.sa1.cpu.pc; }

DebugRegisters sa1_registers(const Machine& m) { return w65816_debug_registers(m.sa1.cpu); }

int sa1_peek(const Machine& m, uint32_t address) { return sa1_bus_peek(m, uint8_t(address >> 16), uint16_t(address)); }

DisassembledLine sa1_disassemble(const Machine& m, uint32_t address) {
    const CpuRegs& c = m.sa1.cpu;
    const W65816DecodeState state{.d = c.d, .x = c.x, .y = c.y, .s = c.s, .dbr = c.dbr, .p = c.p, .e = c.e};
    auto peek = [&m](uint32_t a) { return sa1_peek(m, a); };
    const W65816Instruction ins = w65816_decode(peek, state, address);
    DisassembledLine line;
    line.address = ins.address;
    line.length = ins.length;
    line.bytes = ins.bytes;
    line.text = w65816_text(ins);
    return line;
}

}  // namespace

const DebugTarget kSa1Target{
    .name = "SA-1",
    .address_bits = 24,
    .pc = &sa1_pc,
    .registers = &sa1_registers,
    .disassemble = &sa1_disassemble,
    .peek = &sa1_peek,
};

std::vector<Sa1RegisterRow> sa1_written_register_rows(const Machine& m) {
    const Sa1Written& w = m.sa1.w;
    std::vector<Sa1RegisterRow> rows = {
        {0x2200, "CCNT", 8, w.ccnt},   {0x2201, "SIE", 8, w.sie},     {0x2202, "SIC", 8, w.sic},
        {0x2203, "CRV", 16, w.crv},    {0x2205, "CNV", 16, w.cnv},    {0x2207, "CIV", 16, w.civ},
        {0x2209, "SCNT", 8, w.scnt},   {0x220A, "CIE", 8, w.cie},     {0x220B, "CIC", 8, w.cic},
        {0x220C, "SNV", 16, w.snv},    {0x220E, "SIV", 16, w.siv},    {0x2210, "TMC", 8, w.tmc},
        {0x2211, "CTR", 8, w.ctr},     {0x2212, "HCNT", 16, w.hcnt},  {0x2214, "VCNT", 16, w.vcnt},
        {0x2220, "CXB", 8, w.mmc[0]},  {0x2221, "DXB", 8, w.mmc[1]},  {0x2222, "EXB", 8, w.mmc[2]},
        {0x2223, "FXB", 8, w.mmc[3]},  {0x2224, "BMAPS", 8, w.bmaps}, {0x2225, "BMAP", 8, w.bmap},
        {0x2226, "SBWE", 8, w.sbwe},   {0x2227, "CBWE", 8, w.cbwe},   {0x2228, "BWPA", 8, w.bwpa},
        {0x2229, "SIWP", 8, w.siwp},   {0x222A, "CIWP", 8, w.ciwp},   {0x2230, "DCNT", 8, w.dcnt},
        {0x2231, "CDMA", 8, w.cdma},   {0x2232, "SDA", 24, w.sda},    {0x2235, "DDA", 24, w.dda},
        {0x2238, "DTC", 16, w.dtc},    {0x223F, "BBF", 8, w.bbf},
    };
    static const char* const kBrf[16] = {"BRF0", "BRF1", "BRF2", "BRF3", "BRF4", "BRF5", "BRF6", "BRF7",
                                         "BRF8", "BRF9", "BRFA", "BRFB", "BRFC", "BRFD", "BRFE", "BRFF"};
    for (int i = 0; i < 16; i++) rows.push_back({uint16_t(0x2240 + i), kBrf[i], 8, w.brf[size_t(i)]});
    rows.push_back({0x2250, "MCNT", 8, w.mcnt});
    rows.push_back({0x2251, "MA", 16, w.ma});
    rows.push_back({0x2253, "MB", 16, w.mb});
    rows.push_back({0x2258, "VBD", 8, w.vbd});
    rows.push_back({0x2259, "VDA", 24, w.vda});
    return rows;
}

std::vector<Sa1RegisterRow> sa1_read_register_rows(const Machine& m) {
    static constexpr struct {
        uint16_t address;
        const char* name;
        uint8_t bits;
    } kRows[] = {
        {0x2300, "SFR", 8}, {0x2301, "CFR", 8}, {0x2302, "HCR", 16}, {0x2304, "VCR", 16},
        {0x2306, "MR0", 8}, {0x2307, "MR1", 8}, {0x2308, "MR2", 8},  {0x2309, "MR3", 8},
        {0x230A, "MR4", 8}, {0x230B, "OF", 8},  {0x230C, "VDP", 16}, {0x230E, "VC", 8},
    };
    std::vector<Sa1RegisterRow> rows;
    for (const auto& r : kRows) {
        uint32_t value = uint32_t(sa1_register_peek(m, r.address));
        if (r.bits == 16) value |= uint32_t(sa1_register_peek(m, uint16_t(r.address + 1))) << 8;
        rows.push_back({r.address, r.name, r.bits, value});
    }
    return rows;
}

}  // namespace vt
