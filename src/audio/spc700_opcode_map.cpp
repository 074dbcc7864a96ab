#include "audio/spc700_opcode_map.h"

namespace vt::spc700 {

using enum Arg;

constexpr OpInfo kOpcodeMap[256] = {
    // $00
    {"nop", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"or", A, Dp}, {"or", A, Abs}, {"or", A, IndX}, {"or", A, DpXInd},
    {"or", A, Imm}, {"or", Dp, Dp}, {"or1", C, MemBit}, {"asl", Dp, None},
    {"asl", Abs, None}, {"push", PSW, None}, {"tset1", Abs, None}, {"brk", None, None},
    // $10
    {"bpl", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"or", A, DpX}, {"or", A, AbsX}, {"or", A, AbsY}, {"or", A, DpIndY},
    {"or", Dp, Imm}, {"or", IndX, IndY}, {"decw", Dp, None}, {"asl", DpX, None},
    {"asl", A, None}, {"dec", X, None}, {"cmp", X, Abs}, {"jmp", AbsXInd, None},
    // $20
    {"clrp", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"and", A, Dp}, {"and", A, Abs}, {"and", A, IndX}, {"and", A, DpXInd},
    {"and", A, Imm}, {"and", Dp, Dp}, {"or1", C, MemBitNot}, {"rol", Dp, None},
    {"rol", Abs, None}, {"push", A, None}, {"cbne", Dp, Rel}, {"bra", Rel, None},
    // $30
    {"bmi", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"and", A, DpX}, {"and", A, AbsX}, {"and", A, AbsY}, {"and", A, DpIndY},
    {"and", Dp, Imm}, {"and", IndX, IndY}, {"incw", Dp, None}, {"rol", DpX, None},
    {"rol", A, None}, {"inc", X, None}, {"cmp", X, Dp}, {"call", Abs, None},
    // $40
    {"setp", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"eor", A, Dp}, {"eor", A, Abs}, {"eor", A, IndX}, {"eor", A, DpXInd},
    {"eor", A, Imm}, {"eor", Dp, Dp}, {"and1", C, MemBit}, {"lsr", Dp, None},
    {"lsr", Abs, None}, {"push", X, None}, {"tclr1", Abs, None}, {"pcall", Upage, None},
    // $50
    {"bvc", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"eor", A, DpX}, {"eor", A, AbsX}, {"eor", A, AbsY}, {"eor", A, DpIndY},
    {"eor", Dp, Imm}, {"eor", IndX, IndY}, {"cmpw", YA, Dp}, {"lsr", DpX, None},
    {"lsr", A, None}, {"mov", X, A}, {"cmp", Y, Abs}, {"jmp", Abs, None},
    // $60
    {"clrc", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"cmp", A, Dp}, {"cmp", A, Abs}, {"cmp", A, IndX}, {"cmp", A, DpXInd},
    {"cmp", A, Imm}, {"cmp", Dp, Dp}, {"and1", C, MemBitNot}, {"ror", Dp, None},
    {"ror", Abs, None}, {"push", Y, None}, {"dbnz", Dp, Rel}, {"ret", None, None},
    // $70
    {"bvs", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"cmp", A, DpX}, {"cmp", A, AbsX}, {"cmp", A, AbsY}, {"cmp", A, DpIndY},
    {"cmp", Dp, Imm}, {"cmp", IndX, IndY}, {"addw", YA, Dp}, {"ror", DpX, None},
    {"ror", A, None}, {"mov", A, X}, {"cmp", Y, Dp}, {"reti", None, None},
    // $80
    {"setc", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"adc", A, Dp}, {"adc", A, Abs}, {"adc", A, IndX}, {"adc", A, DpXInd},
    {"adc", A, Imm}, {"adc", Dp, Dp}, {"eor1", C, MemBit}, {"dec", Dp, None},
    {"dec", Abs, None}, {"mov", Y, Imm}, {"pop", PSW, None}, {"mov", Dp, Imm},
    // $90
    {"bcc", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"adc", A, DpX}, {"adc", A, AbsX}, {"adc", A, AbsY}, {"adc", A, DpIndY},
    {"adc", Dp, Imm}, {"adc", IndX, IndY}, {"subw", YA, Dp}, {"dec", DpX, None},
    {"dec", A, None}, {"mov", X, SP}, {"div", YA, X}, {"xcn", A, None},
    // $A0
    {"ei", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"sbc", A, Dp}, {"sbc", A, Abs}, {"sbc", A, IndX}, {"sbc", A, DpXInd},
    {"sbc", A, Imm}, {"sbc", Dp, Dp}, {"mov1", C, MemBit}, {"inc", Dp, None},
    {"inc", Abs, None}, {"cmp", Y, Imm}, {"pop", A, None}, {"mov", IndXInc, A},
    // $B0
    {"bcs", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"sbc", A, DpX}, {"sbc", A, AbsX}, {"sbc", A, AbsY}, {"sbc", A, DpIndY},
    {"sbc", Dp, Imm}, {"sbc", IndX, IndY}, {"movw", YA, Dp}, {"inc", DpX, None},
    {"inc", A, None}, {"mov", SP, X}, {"das", A, None}, {"mov", A, IndXInc},
    // $C0
    {"di", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"mov", Dp, A}, {"mov", Abs, A}, {"mov", IndX, A}, {"mov", DpXInd, A},
    {"cmp", X, Imm}, {"mov", Abs, X}, {"mov1", MemBit, C}, {"mov", Dp, Y},
    {"mov", Abs, Y}, {"mov", X, Imm}, {"pop", X, None}, {"mul", YA, None},
    // $D0
    {"bne", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"mov", DpX, A}, {"mov", AbsX, A}, {"mov", AbsY, A}, {"mov", DpIndY, A},
    {"mov", Dp, X}, {"mov", DpY, X}, {"movw", Dp, YA}, {"mov", DpX, Y},
    {"dec", Y, None}, {"mov", A, Y}, {"cbne", DpX, Rel}, {"daa", A, None},
    // $E0
    {"clrv", None, None}, {"tcall", Tcall, None}, {"set1", DpBit, None}, {"bbs", DpBit, Rel},
    {"mov", A, Dp}, {"mov", A, Abs}, {"mov", A, IndX}, {"mov", A, DpXInd},
    {"mov", A, Imm}, {"mov", X, Abs}, {"not1", MemBit, None}, {"mov", Y, Dp},
    {"mov", Y, Abs}, {"notc", None, None}, {"pop", Y, None}, {"sleep", None, None},
    // $F0
    {"beq", Rel, None}, {"tcall", Tcall, None}, {"clr1", DpBit, None}, {"bbc", DpBit, Rel},
    {"mov", A, DpX}, {"mov", A, AbsX}, {"mov", A, AbsY}, {"mov", A, DpIndY},
    {"mov", X, Dp}, {"mov", X, DpY}, {"mov", Dp, Dp}, {"mov", Y, DpX},
    {"inc", Y, None}, {"mov", Y, A}, {"dbnz", Y, Rel}, {"stop", None, None},
};

}  // namespace vt::spc700
