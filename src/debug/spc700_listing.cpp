#include "debug/spc700_listing.h"

#include <cstdio>

#include "audio/spc700_debug.h"

namespace vt {

std::string spc700_format_line(const Spc700Instruction& ins) {
    char address[8];
    std::snprintf(address, sizeof address, "%04x ", ins.address);
    std::string line = address;
    line += ins.info->mnemonic;
    line.resize(size_t(kSpc700OperandColumn), ' ');
    const char* separator = "";
    for (const Spc700Operand& op : ins.operands) {
        if (op.kind == spc700::Arg::None) continue;
        line += separator;
        line += spc700_operand_text(op);
        separator = ", ";
    }
    return line;
}

std::string spc700_line(const Machine& m, uint16_t pc, uint16_t* next) {
    const Spc700Instruction ins = spc700_decode(m, pc);
    if (next) *next = uint16_t(pc + ins.length);
    return spc700_format_line(ins);
}

std::vector<ListingLine> spc700_listing(const Machine& m, uint16_t pc, int count) {
    std::vector<ListingLine> lines;
    lines.reserve(size_t(count));
    for (int i = 0; i < count; i++) {
        uint16_t next = 0;
        lines.push_back({pc, spc700_line(m, pc, &next)});
        pc = next;
    }
    return lines;
}

}  // namespace vt
