// The GSU for the debugger: its registers as data, a disassembler and a
// side-effect-free view of its memory.
#include "coproc/gsu/gsu_debug.h"

#include <cstdio>
#include <string>

#include "core/machine.h"

namespace vt {

namespace {

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*x", digits, value);
    return text;
}

std::string reg(int n) { return "r" + std::to_string(n); }

uint32_t gsu_pc(const Machine& m) { return uint32_t(m.gsu.pbr) << 16 | m.gsu.r[15]; }

DebugRegisters gsu_registers(const Machine& m) {
    static const char* const kNames[16] = {"R0", "R1", "R2",  "R3",  "R4",  "R5",  "R6",  "R7",
                                           "R8", "R9", "R10", "R11", "R12", "R13", "R14", "R15"};
    const Gsu& g = m.gsu;
    DebugRegisters r;
    for (int i = 0; i < 16; i++) r.add(kNames[i], 16, g.r[size_t(i)]);
    r.add("SFR", 16, gsu_packed_sfr(g));
    r.add("BRAMR", 8, g.bramr);
    r.add("PBR", 8, g.pbr);
    r.add("ROMBR", 8, g.rombr);
    r.add("CFGR", 8, g.cfgr);
    r.add("SCBR", 8, g.scbr);
    r.add("CLSR", 8, g.clsr);
    r.add("SCMR", 8, g.scmr);
    r.add("RAMBR", 8, g.rambr);
    r.add("CBR", 16, g.cbr);
    r.add("COLR", 8, g.colr);
    r.add("POR", 8, g.por);
    return r;
}

int gsu_peek(const Machine& m, uint32_t address) { return gsu_bank_base(m, uint8_t(address >> 16))[address & 0xFFFF]; }

}  // namespace

GsuInstructionText gsu_instruction_text(int alt, uint8_t op, uint8_t b1, uint8_t b2, uint16_t next) {
    const int n = op & 15;
    const bool alt1 = alt & 1, alt2 = alt & 2;
    const std::string rn = reg(n);
    const std::string imm = "#" + std::to_string(n);
    auto one = [](std::string t) { return GsuInstructionText{std::move(t), 1}; };
    static const char* const kBranches[11] = {"bra", "bge", "blt", "bne", "beq", "bpl",
                                              "bmi", "bcc", "bcs", "bvc", "bvs"};
    if (op == 0x00) return one("stop");
    if (op == 0x01) return one("nop");
    if (op == 0x02) return one("cache");
    if (op == 0x03) return one("lsr");
    if (op == 0x04) return one("rol");
    if (op <= 0x0F) return {std::string(kBranches[op - 5]) + " " + hex(uint16_t(next + 1 + int8_t(b1)), 4), 2};
    if (op <= 0x1F) return one("to " + rn);
    if (op <= 0x2F) return one("with " + rn);
    if (op <= 0x3B) return one(std::string(alt1 ? "stb (" : "stw (") + rn + ")");
    if (op == 0x3C) return one("loop");
    if (op == 0x3D) return one("alt1");
    if (op == 0x3E) return one("alt2");
    if (op == 0x3F) return one("alt3");
    if (op <= 0x4B) return one(std::string(alt1 ? "ldb (" : "ldw (") + rn + ")");
    if (op == 0x4C) return one(alt1 ? "rpix" : "plot");
    if (op == 0x4D) return one("swap");
    if (op == 0x4E) return one(alt1 ? "cmode" : "color");
    if (op == 0x4F) return one("not");
    const std::string arg = alt2 ? imm : rn;
    if (op <= 0x5F) return one((alt1 ? "adc " : "add ") + arg);
    if (op <= 0x6F) return one(alt == 3 ? "cmp " + rn : (alt1 ? "sbc " : "sub ") + arg);
    if (op == 0x70) return one("merge");
    if (op <= 0x7F) return one((alt1 ? "bic " : "and ") + arg);
    if (op <= 0x8F) return one((alt1 ? "umult " : "mult ") + arg);
    if (op == 0x90) return one("sbk");
    if (op <= 0x94) return one("link #" + std::to_string(n));
    if (op == 0x95) return one("sex");
    if (op == 0x96) return one(alt1 ? "div2" : "asr");
    if (op == 0x97) return one("ror");
    if (op <= 0x9D) return one((alt1 ? "ljmp " : "jmp ") + rn);
    if (op == 0x9E) return one("lob");
    if (op == 0x9F) return one(alt1 ? "lmult" : "fmult");
    if (op <= 0xAF) {
        if (alt == 0) return {"ibt " + rn + ", #" + hex(b1, 2), 2};
        if (alt == 2) return {"sms (" + hex(b1 * 2u, 3) + "), " + rn, 2};
        return {"lms " + rn + ", (" + hex(b1 * 2u, 3) + ")", 2};
    }
    if (op <= 0xBF) return one("from " + rn);
    if (op == 0xC0) return one("hib");
    if (op <= 0xCF) return one((alt1 ? "xor " : "or ") + arg);
    if (op <= 0xDE) return one("inc " + rn);
    if (op == 0xDF) return one(alt == 2 ? "ramb" : alt == 3 ? "romb" : "getc");
    if (op <= 0xEE) return one("dec " + rn);
    if (op == 0xEF) {
        static const char* const kGet[4] = {"getb", "getbh", "getbl", "getbs"};
        return one(kGet[alt]);
    }
    const std::string word = hex(uint16_t(b1 | b2 << 8), 4);
    if (alt == 0) return {"iwt " + rn + ", #" + word, 3};
    if (alt == 2) return {"sm (" + word + "), " + rn, 3};
    return {"lm " + rn + ", (" + word + ")", 3};
}

namespace {

// The ALT state an instruction runs in: the prefix just before it, if any.
int alt_before(const Machine& m, uint32_t address) {
    uint8_t prev = uint8_t(gsu_peek(m, (address & 0xFF0000) | uint16_t(address - 1)));
    if (prev >= 0x3D && prev <= 0x3F) return prev - 0x3C;
    return 0;
}

DisassembledLine gsu_disassemble(const Machine& m, uint32_t address) {
    DisassembledLine line;
    line.address = address;
    auto byte_at = [&](int i) { return uint8_t(gsu_peek(m, (address & 0xFF0000) | uint16_t(address + i))); };
    uint8_t op = byte_at(0);
    GsuInstructionText t = gsu_instruction_text(alt_before(m, address), op, byte_at(1), byte_at(2),
                                                uint16_t(address + 1));
    line.length = uint8_t(t.length);
    for (int i = 0; i < t.length; i++) line.bytes[size_t(i)] = byte_at(i);
    line.text = t.text;
    return line;
}

}  // namespace

const DebugTarget kGsuTarget{
    .name = "SUPER-FX",
    .address_bits = 24,
    .pc = &gsu_pc,
    .registers = &gsu_registers,
    .disassemble = &gsu_disassemble,
    .peek = &gsu_peek,
};

}  // namespace vt
