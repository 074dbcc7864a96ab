#include "core/w65816_disassembler.h"

namespace vt {

namespace {

using w65816::AddrMode;

// Writes the operand text into a fixed buffer: the trace formats one per
// executed instruction, so nothing here allocates.
struct OperandWriter {
    char* out;
    int n = 0;

    void text(const char* s) {
        while (*s) out[n++] = *s++;
    }
    void hex(uint32_t value, int digits) {
        static constexpr char kDigits[] = "0123456789abcdef";
        out[n++] = '$';
        for (int i = digits - 1; i >= 0; i--) out[n++] = kDigits[(value >> (4 * i)) & 0xF];
    }
};

}  // namespace

int w65816_format_operand(const W65816Instruction& ins, char* out) {
    OperandWriter w{out};
    const uint32_t op = ins.operand;
    const auto byte = [&] { w.hex(op & 0xFF, 2); };
    const auto word = [&] { w.hex(op & 0xFFFF, 4); };
    const auto lng = [&] { w.hex(op & 0xFFFFFF, 6); };
    switch (ins.info->mode) {
        case AddrMode::Implied: break;
        case AddrMode::ImmM:
        case AddrMode::ImmX:
        case AddrMode::Imm8:
            w.text("#");
            if (ins.length == 3) word();
            else byte();
            break;
        case AddrMode::Dp: byte(); break;
        case AddrMode::DpX: byte(), w.text(",x"); break;
        case AddrMode::DpY: byte(), w.text(",y"); break;
        case AddrMode::DpInd: w.text("("), byte(), w.text(")"); break;
        case AddrMode::DpIndLong: w.text("["), byte(), w.text("]"); break;
        case AddrMode::DpXInd: w.text("("), byte(), w.text(",x)"); break;
        case AddrMode::DpIndY: w.text("("), byte(), w.text("),y"); break;
        case AddrMode::DpIndLongY: w.text("["), byte(), w.text("],y"); break;
        case AddrMode::Abs:
        case AddrMode::AbsJump: word(); break;
        case AddrMode::AbsX: word(), w.text(",x"); break;
        case AddrMode::AbsY: word(), w.text(",y"); break;
        case AddrMode::Long:
        case AddrMode::LongJump: lng(); break;
        case AddrMode::LongX: lng(), w.text(",x"); break;
        case AddrMode::Sr: byte(), w.text(",s"); break;
        case AddrMode::SrIndY: w.text("("), byte(), w.text(",s),y"); break;
        case AddrMode::Rel8:
        case AddrMode::Rel16: w.hex(ins.target, 4); break;
        case AddrMode::AbsInd:
        case AddrMode::AbsIndLong: w.text("("), word(), w.text(")"); break;
        case AddrMode::AbsXInd: w.text("("), word(), w.text(",x)"); break;
        case AddrMode::Block: byte(), w.text(","), w.hex(ins.bytes[2], 2); break;
    }
    return w.n;
}

std::string w65816_operand_text(const W65816Instruction& ins) {
    char text[kW65816OperandMax];
    return std::string(text, size_t(w65816_format_operand(ins, text)));
}

std::string w65816_text(const W65816Instruction& ins) {
    const std::string operand = w65816_operand_text(ins);
    std::string text = ins.info->mnemonic;
    if (!operand.empty()) text += " " + operand;
    return text;
}

}  // namespace vt
