// One NEC DSP instruction as a line of text.
#include <cstdio>
#include <string>

#include "coproc/necdsp/necdsp.h"
#include "coproc/necdsp/necdsp_ops.h"

namespace vt {

namespace {

std::string hex(uint32_t v, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "$%0*X", digits, v);
    return text;
}

std::string op_text(uint32_t word) {
    const unsigned alu = (word >> 16) & 15;
    const unsigned src = (word >> 4) & 15;
    const unsigned dst = word & 15;
    std::string t = (word >> 22) == 1 ? "RT   " : "OP   ";
    t += kNecAluNames[alu];
    if (alu != kNecAluNop) {
        t += (word & 0x8000) ? " ACCB" : " ACCA";
        const bool takes_p = alu >= 1 && alu <= 7;
        if (takes_p) t += std::string(",") + kNecPNames[(word >> 20) & 3];
    }
    if (dst != kNecDstNon) t += std::string(" SRC=") + kNecSrcNames[src] + " DST=" + kNecDstNames[dst];
    static const char* const kDpl[4] = {"", " DPINC", " DPDEC", " DPCLR"};
    t += kDpl[(word >> 13) & 3];
    if (const unsigned dphm = (word >> 9) & 15) t += " DPHM=" + hex(dphm, 1);
    if (word & 0x100) t += " RPDEC";
    return t;
}

}  // namespace

const char* necdsp_condition_name(unsigned condition, bool upd96050) {
    static const char* const kFlagTests[24] = {
        "JNCA",   "JCA",   "JNCB",   "JCB",   "JNZA",   "JZA",   "JNZB",   "JZB",
        "JNOVA0", "JOVA0", "JNOVB0", "JOVB0", "JNOVA1", "JOVA1", "JNOVB1", "JOVB1",
        "JNSA0",  "JSA0",  "JNSB0",  "JSB0",  "JNSA1",  "JSA1",  "JNSB1",  "JSB1"};
    if (condition >= 0x080 && condition <= 0x0AE && !(condition & 1)) return kFlagTests[(condition - 0x080) / 2];
    switch (condition) {
        case 0x0B0: return "JDPL0";
        case 0x0B1: return "JDPLN0";
        case 0x0B2: return "JDPLF";
        case 0x0B3: return "JDPLNF";
        case 0x0B4: return "JNSIAK";
        case 0x0B6: return "JSIAK";
        case 0x0B8: return "JNSOAK";
        case 0x0BA: return "JSOAK";
        case 0x0BC: return "JNRQM";
        case 0x0BE: return "JRQM";
        case kNecJumpJmp: return upd96050 ? "LJMP" : "JMP";
        case kNecJumpCall: return upd96050 ? "LCALL" : "CALL";
        case kNecJumpHighJmp: return upd96050 ? "HJMP" : nullptr;
        case kNecJumpHighCall: return upd96050 ? "HCALL" : nullptr;
        case kNecJumpSo: return upd96050 ? "JMPSO" : nullptr;
        default: return nullptr;
    }
}

std::string necdsp_instruction_text(NecDspModel model, uint32_t word) {
    word &= 0xFFFFFF;
    const bool big = model == NecDspModel::Upd96050;
    switch (word >> 22) {
        case 0:
        case 1: return op_text(word);
        case 2: {
            const unsigned condition = (word >> 13) & 0x1FF;
            uint32_t target = (word >> 2) & 0x7FF;
            if (big) target |= (word & 3) << 11;
            const char* name = necdsp_condition_name(condition, big);
            std::string t = "JP   ";
            t += name ? name : "?" + hex(condition, 3);
            if (!big || condition != kNecJumpSo) t += " " + hex(target, 4);
            return t;
        }
        default:
            return "LD   #" + hex((word >> 6) & 0xFFFF, 4) + "," + kNecDstNames[word & 15];
    }
}

std::string necdsp_disassemble(const NecDsp& dsp, uint32_t address) {
    return necdsp_instruction_text(dsp.model, dsp.program[address & necdsp_program_mask(dsp.model)]);
}

}  // namespace vt
