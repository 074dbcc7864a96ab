// Every opcode in every mode: instruction length and base cost, checked
// against the 65816 opcode map written out below.
#include <gtest/gtest.h>

#include <set>

#include "support/flat_cpu.h"

namespace vt::test {
namespace {

// How the cost and length grow with the register widths.
enum class Grow {
    None,
    M,       // +1 cycle with a 16-bit accumulator (and +1 byte for #)
    M2,      // +2 cycles with a 16-bit accumulator (read-modify-write)
    X,       // +1 cycle with 16-bit index registers (and +1 byte for #)
    Native,  // +1 cycle in native mode (RTI, BRK, COP)
};

// What else the instruction does to PC; only Straight ones end at PC + length.
enum class Flow { Straight, Branch, Jump, Stop };

struct OpInfo {
    uint8_t code;
    const char* name;
    Addr addr;
    int bytes;   // with 8-bit registers
    int cycles;  // with 8-bit registers, in emulation mode for Native
    Grow grow;
    Flow flow = Flow::Straight;
};

constexpr Flow B = Flow::Branch;
constexpr Flow J = Flow::Jump;

// The published opcode map: length and cycles at 8-bit width, before the
// direct-page and branch penalties.
const OpInfo kOps[256] = {
    {0x00, "BRK", Addr::Imm8, 2, 7, Grow::Native, J},
    {0x01, "ORA (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0x02, "COP", Addr::Imm8, 2, 7, Grow::Native, J},
    {0x03, "ORA sr,S", Addr::Sr, 2, 4, Grow::M},
    {0x04, "TSB dp", Addr::Dp, 2, 5, Grow::M2},
    {0x05, "ORA dp", Addr::Dp, 2, 3, Grow::M},
    {0x06, "ASL dp", Addr::Dp, 2, 5, Grow::M2},
    {0x07, "ORA [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0x08, "PHP", Addr::Implied, 1, 3, Grow::None},
    {0x09, "ORA #", Addr::ImmM, 2, 2, Grow::M},
    {0x0A, "ASL A", Addr::Implied, 1, 2, Grow::None},
    {0x0B, "PHD", Addr::Implied, 1, 4, Grow::None},
    {0x0C, "TSB abs", Addr::Abs, 3, 6, Grow::M2},
    {0x0D, "ORA abs", Addr::Abs, 3, 4, Grow::M},
    {0x0E, "ASL abs", Addr::Abs, 3, 6, Grow::M2},
    {0x0F, "ORA long", Addr::Long, 4, 5, Grow::M},

    {0x10, "BPL", Addr::Rel8, 2, 2, Grow::None, B},
    {0x11, "ORA (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0x12, "ORA (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0x13, "ORA (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0x14, "TRB dp", Addr::Dp, 2, 5, Grow::M2},
    {0x15, "ORA dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x16, "ASL dp,X", Addr::DpX, 2, 6, Grow::M2},
    {0x17, "ORA [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0x18, "CLC", Addr::Implied, 1, 2, Grow::None},
    {0x19, "ORA abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0x1A, "INC A", Addr::Implied, 1, 2, Grow::None},
    {0x1B, "TCS", Addr::Implied, 1, 2, Grow::None},
    {0x1C, "TRB abs", Addr::Abs, 3, 6, Grow::M2},
    {0x1D, "ORA abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0x1E, "ASL abs,X", Addr::AbsX, 3, 7, Grow::M2},
    {0x1F, "ORA long,X", Addr::LongX, 4, 5, Grow::M},

    {0x20, "JSR abs", Addr::AbsJump, 3, 6, Grow::None, J},
    {0x21, "AND (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0x22, "JSL long", Addr::LongJump, 4, 8, Grow::None, J},
    {0x23, "AND sr,S", Addr::Sr, 2, 4, Grow::M},
    {0x24, "BIT dp", Addr::Dp, 2, 3, Grow::M},
    {0x25, "AND dp", Addr::Dp, 2, 3, Grow::M},
    {0x26, "ROL dp", Addr::Dp, 2, 5, Grow::M2},
    {0x27, "AND [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0x28, "PLP", Addr::Implied, 1, 4, Grow::None},
    {0x29, "AND #", Addr::ImmM, 2, 2, Grow::M},
    {0x2A, "ROL A", Addr::Implied, 1, 2, Grow::None},
    {0x2B, "PLD", Addr::Implied, 1, 5, Grow::None},
    {0x2C, "BIT abs", Addr::Abs, 3, 4, Grow::M},
    {0x2D, "AND abs", Addr::Abs, 3, 4, Grow::M},
    {0x2E, "ROL abs", Addr::Abs, 3, 6, Grow::M2},
    {0x2F, "AND long", Addr::Long, 4, 5, Grow::M},

    {0x30, "BMI", Addr::Rel8, 2, 2, Grow::None, B},
    {0x31, "AND (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0x32, "AND (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0x33, "AND (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0x34, "BIT dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x35, "AND dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x36, "ROL dp,X", Addr::DpX, 2, 6, Grow::M2},
    {0x37, "AND [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0x38, "SEC", Addr::Implied, 1, 2, Grow::None},
    {0x39, "AND abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0x3A, "DEC A", Addr::Implied, 1, 2, Grow::None},
    {0x3B, "TSC", Addr::Implied, 1, 2, Grow::None},
    {0x3C, "BIT abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0x3D, "AND abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0x3E, "ROL abs,X", Addr::AbsX, 3, 7, Grow::M2},
    {0x3F, "AND long,X", Addr::LongX, 4, 5, Grow::M},

    {0x40, "RTI", Addr::Implied, 1, 6, Grow::Native, J},
    {0x41, "EOR (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0x42, "WDM", Addr::Imm8, 2, 2, Grow::None},
    {0x43, "EOR sr,S", Addr::Sr, 2, 4, Grow::M},
    {0x44, "MVP", Addr::Block, 3, 7, Grow::None},
    {0x45, "EOR dp", Addr::Dp, 2, 3, Grow::M},
    {0x46, "LSR dp", Addr::Dp, 2, 5, Grow::M2},
    {0x47, "EOR [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0x48, "PHA", Addr::Implied, 1, 3, Grow::M},
    {0x49, "EOR #", Addr::ImmM, 2, 2, Grow::M},
    {0x4A, "LSR A", Addr::Implied, 1, 2, Grow::None},
    {0x4B, "PHK", Addr::Implied, 1, 3, Grow::None},
    {0x4C, "JMP abs", Addr::AbsJump, 3, 3, Grow::None, J},
    {0x4D, "EOR abs", Addr::Abs, 3, 4, Grow::M},
    {0x4E, "LSR abs", Addr::Abs, 3, 6, Grow::M2},
    {0x4F, "EOR long", Addr::Long, 4, 5, Grow::M},

    {0x50, "BVC", Addr::Rel8, 2, 2, Grow::None, B},
    {0x51, "EOR (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0x52, "EOR (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0x53, "EOR (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0x54, "MVN", Addr::Block, 3, 7, Grow::None},
    {0x55, "EOR dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x56, "LSR dp,X", Addr::DpX, 2, 6, Grow::M2},
    {0x57, "EOR [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0x58, "CLI", Addr::Implied, 1, 2, Grow::None},
    {0x59, "EOR abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0x5A, "PHY", Addr::Implied, 1, 3, Grow::X},
    {0x5B, "TCD", Addr::Implied, 1, 2, Grow::None},
    {0x5C, "JML long", Addr::LongJump, 4, 4, Grow::None, J},
    {0x5D, "EOR abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0x5E, "LSR abs,X", Addr::AbsX, 3, 7, Grow::M2},
    {0x5F, "EOR long,X", Addr::LongX, 4, 5, Grow::M},

    {0x60, "RTS", Addr::Implied, 1, 6, Grow::None, J},
    {0x61, "ADC (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0x62, "PER", Addr::Rel16, 3, 6, Grow::None},
    {0x63, "ADC sr,S", Addr::Sr, 2, 4, Grow::M},
    {0x64, "STZ dp", Addr::Dp, 2, 3, Grow::M},
    {0x65, "ADC dp", Addr::Dp, 2, 3, Grow::M},
    {0x66, "ROR dp", Addr::Dp, 2, 5, Grow::M2},
    {0x67, "ADC [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0x68, "PLA", Addr::Implied, 1, 4, Grow::M},
    {0x69, "ADC #", Addr::ImmM, 2, 2, Grow::M},
    {0x6A, "ROR A", Addr::Implied, 1, 2, Grow::None},
    {0x6B, "RTL", Addr::Implied, 1, 6, Grow::None, J},
    {0x6C, "JMP (abs)", Addr::AbsInd, 3, 5, Grow::None, J},
    {0x6D, "ADC abs", Addr::Abs, 3, 4, Grow::M},
    {0x6E, "ROR abs", Addr::Abs, 3, 6, Grow::M2},
    {0x6F, "ADC long", Addr::Long, 4, 5, Grow::M},

    {0x70, "BVS", Addr::Rel8, 2, 2, Grow::None, B},
    {0x71, "ADC (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0x72, "ADC (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0x73, "ADC (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0x74, "STZ dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x75, "ADC dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x76, "ROR dp,X", Addr::DpX, 2, 6, Grow::M2},
    {0x77, "ADC [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0x78, "SEI", Addr::Implied, 1, 2, Grow::None},
    {0x79, "ADC abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0x7A, "PLY", Addr::Implied, 1, 4, Grow::X},
    {0x7B, "TDC", Addr::Implied, 1, 2, Grow::None},
    {0x7C, "JMP (abs,X)", Addr::AbsXInd, 3, 6, Grow::None, J},
    {0x7D, "ADC abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0x7E, "ROR abs,X", Addr::AbsX, 3, 7, Grow::M2},
    {0x7F, "ADC long,X", Addr::LongX, 4, 5, Grow::M},

    {0x80, "BRA", Addr::Rel8, 2, 3, Grow::None, B},
    {0x81, "STA (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0x82, "BRL", Addr::Rel16, 3, 4, Grow::None, B},
    {0x83, "STA sr,S", Addr::Sr, 2, 4, Grow::M},
    {0x84, "STY dp", Addr::Dp, 2, 3, Grow::X},
    {0x85, "STA dp", Addr::Dp, 2, 3, Grow::M},
    {0x86, "STX dp", Addr::Dp, 2, 3, Grow::X},
    {0x87, "STA [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0x88, "DEY", Addr::Implied, 1, 2, Grow::None},
    {0x89, "BIT #", Addr::ImmM, 2, 2, Grow::M},
    {0x8A, "TXA", Addr::Implied, 1, 2, Grow::None},
    {0x8B, "PHB", Addr::Implied, 1, 3, Grow::None},
    {0x8C, "STY abs", Addr::Abs, 3, 4, Grow::X},
    {0x8D, "STA abs", Addr::Abs, 3, 4, Grow::M},
    {0x8E, "STX abs", Addr::Abs, 3, 4, Grow::X},
    {0x8F, "STA long", Addr::Long, 4, 5, Grow::M},

    {0x90, "BCC", Addr::Rel8, 2, 2, Grow::None, B},
    {0x91, "STA (dp),Y", Addr::DpIndY, 2, 6, Grow::M},
    {0x92, "STA (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0x93, "STA (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0x94, "STY dp,X", Addr::DpX, 2, 4, Grow::X},
    {0x95, "STA dp,X", Addr::DpX, 2, 4, Grow::M},
    {0x96, "STX dp,Y", Addr::DpY, 2, 4, Grow::X},
    {0x97, "STA [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0x98, "TYA", Addr::Implied, 1, 2, Grow::None},
    {0x99, "STA abs,Y", Addr::AbsY, 3, 5, Grow::M},
    {0x9A, "TXS", Addr::Implied, 1, 2, Grow::None},
    {0x9B, "TXY", Addr::Implied, 1, 2, Grow::None},
    {0x9C, "STZ abs", Addr::Abs, 3, 4, Grow::M},
    {0x9D, "STA abs,X", Addr::AbsX, 3, 5, Grow::M},
    {0x9E, "STZ abs,X", Addr::AbsX, 3, 5, Grow::M},
    {0x9F, "STA long,X", Addr::LongX, 4, 5, Grow::M},

    {0xA0, "LDY #", Addr::ImmX, 2, 2, Grow::X},
    {0xA1, "LDA (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0xA2, "LDX #", Addr::ImmX, 2, 2, Grow::X},
    {0xA3, "LDA sr,S", Addr::Sr, 2, 4, Grow::M},
    {0xA4, "LDY dp", Addr::Dp, 2, 3, Grow::X},
    {0xA5, "LDA dp", Addr::Dp, 2, 3, Grow::M},
    {0xA6, "LDX dp", Addr::Dp, 2, 3, Grow::X},
    {0xA7, "LDA [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0xA8, "TAY", Addr::Implied, 1, 2, Grow::None},
    {0xA9, "LDA #", Addr::ImmM, 2, 2, Grow::M},
    {0xAA, "TAX", Addr::Implied, 1, 2, Grow::None},
    {0xAB, "PLB", Addr::Implied, 1, 4, Grow::None},
    {0xAC, "LDY abs", Addr::Abs, 3, 4, Grow::X},
    {0xAD, "LDA abs", Addr::Abs, 3, 4, Grow::M},
    {0xAE, "LDX abs", Addr::Abs, 3, 4, Grow::X},
    {0xAF, "LDA long", Addr::Long, 4, 5, Grow::M},

    {0xB0, "BCS", Addr::Rel8, 2, 2, Grow::None, B},
    {0xB1, "LDA (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0xB2, "LDA (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0xB3, "LDA (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0xB4, "LDY dp,X", Addr::DpX, 2, 4, Grow::X},
    {0xB5, "LDA dp,X", Addr::DpX, 2, 4, Grow::M},
    {0xB6, "LDX dp,Y", Addr::DpY, 2, 4, Grow::X},
    {0xB7, "LDA [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0xB8, "CLV", Addr::Implied, 1, 2, Grow::None},
    {0xB9, "LDA abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0xBA, "TSX", Addr::Implied, 1, 2, Grow::None},
    {0xBB, "TYX", Addr::Implied, 1, 2, Grow::None},
    {0xBC, "LDY abs,X", Addr::AbsX, 3, 4, Grow::X},
    {0xBD, "LDA abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0xBE, "LDX abs,Y", Addr::AbsY, 3, 4, Grow::X},
    {0xBF, "LDA long,X", Addr::LongX, 4, 5, Grow::M},

    {0xC0, "CPY #", Addr::ImmX, 2, 2, Grow::X},
    {0xC1, "CMP (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0xC2, "REP", Addr::Imm8, 2, 3, Grow::None},
    {0xC3, "CMP sr,S", Addr::Sr, 2, 4, Grow::M},
    {0xC4, "CPY dp", Addr::Dp, 2, 3, Grow::X},
    {0xC5, "CMP dp", Addr::Dp, 2, 3, Grow::M},
    {0xC6, "DEC dp", Addr::Dp, 2, 5, Grow::M2},
    {0xC7, "CMP [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0xC8, "INY", Addr::Implied, 1, 2, Grow::None},
    {0xC9, "CMP #", Addr::ImmM, 2, 2, Grow::M},
    {0xCA, "DEX", Addr::Implied, 1, 2, Grow::None},
    {0xCB, "WAI", Addr::Implied, 1, 3, Grow::None},
    {0xCC, "CPY abs", Addr::Abs, 3, 4, Grow::X},
    {0xCD, "CMP abs", Addr::Abs, 3, 4, Grow::M},
    {0xCE, "DEC abs", Addr::Abs, 3, 6, Grow::M2},
    {0xCF, "CMP long", Addr::Long, 4, 5, Grow::M},

    {0xD0, "BNE", Addr::Rel8, 2, 2, Grow::None, B},
    {0xD1, "CMP (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0xD2, "CMP (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0xD3, "CMP (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0xD4, "PEI", Addr::Dp, 2, 6, Grow::None},
    {0xD5, "CMP dp,X", Addr::DpX, 2, 4, Grow::M},
    {0xD6, "DEC dp,X", Addr::DpX, 2, 6, Grow::M2},
    {0xD7, "CMP [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0xD8, "CLD", Addr::Implied, 1, 2, Grow::None},
    {0xD9, "CMP abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0xDA, "PHX", Addr::Implied, 1, 3, Grow::X},
    {0xDB, "STP", Addr::Implied, 1, 3, Grow::None, Flow::Stop},
    {0xDC, "JML [abs]", Addr::AbsIndLong, 3, 6, Grow::None, J},
    {0xDD, "CMP abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0xDE, "DEC abs,X", Addr::AbsX, 3, 7, Grow::M2},
    {0xDF, "CMP long,X", Addr::LongX, 4, 5, Grow::M},

    {0xE0, "CPX #", Addr::ImmX, 2, 2, Grow::X},
    {0xE1, "SBC (dp,X)", Addr::DpXInd, 2, 6, Grow::M},
    {0xE2, "SEP", Addr::Imm8, 2, 3, Grow::None},
    {0xE3, "SBC sr,S", Addr::Sr, 2, 4, Grow::M},
    {0xE4, "CPX dp", Addr::Dp, 2, 3, Grow::X},
    {0xE5, "SBC dp", Addr::Dp, 2, 3, Grow::M},
    {0xE6, "INC dp", Addr::Dp, 2, 5, Grow::M2},
    {0xE7, "SBC [dp]", Addr::DpIndLong, 2, 6, Grow::M},
    {0xE8, "INX", Addr::Implied, 1, 2, Grow::None},
    {0xE9, "SBC #", Addr::ImmM, 2, 2, Grow::M},
    {0xEA, "NOP", Addr::Implied, 1, 2, Grow::None},
    {0xEB, "XBA", Addr::Implied, 1, 3, Grow::None},
    {0xEC, "CPX abs", Addr::Abs, 3, 4, Grow::X},
    {0xED, "SBC abs", Addr::Abs, 3, 4, Grow::M},
    {0xEE, "INC abs", Addr::Abs, 3, 6, Grow::M2},
    {0xEF, "SBC long", Addr::Long, 4, 5, Grow::M},

    {0xF0, "BEQ", Addr::Rel8, 2, 2, Grow::None, B},
    {0xF1, "SBC (dp),Y", Addr::DpIndY, 2, 5, Grow::M},
    {0xF2, "SBC (dp)", Addr::DpInd, 2, 5, Grow::M},
    {0xF3, "SBC (sr,S),Y", Addr::SrIndY, 2, 7, Grow::M},
    {0xF4, "PEA", Addr::AbsJump, 3, 5, Grow::None},
    {0xF5, "SBC dp,X", Addr::DpX, 2, 4, Grow::M},
    {0xF6, "INC dp,X", Addr::DpX, 2, 6, Grow::M2},
    {0xF7, "SBC [dp],Y", Addr::DpIndLongY, 2, 6, Grow::M},
    {0xF8, "SED", Addr::Implied, 1, 2, Grow::None},
    {0xF9, "SBC abs,Y", Addr::AbsY, 3, 4, Grow::M},
    {0xFA, "PLX", Addr::Implied, 1, 4, Grow::X},
    {0xFB, "XCE", Addr::Implied, 1, 2, Grow::None},
    {0xFC, "JSR (abs,X)", Addr::AbsXInd, 3, 8, Grow::None, J},
    {0xFD, "SBC abs,X", Addr::AbsX, 3, 4, Grow::M},
    {0xFE, "INC abs,X", Addr::AbsX, 3, 7, Grow::M2},
    {0xFF, "SBC long,X", Addr::LongX, 4, 5, Grow::M},
};

int expected_bytes(const OpInfo& op, Mode mode) {
    if (op.addr == Addr::ImmM && wide_m(mode)) return op.bytes + 1;
    if (op.addr == Addr::ImmX && wide_x(mode)) return op.bytes + 1;
    return op.bytes;
}

int expected_cycles(const OpInfo& op, Mode mode) {
    switch (op.grow) {
        case Grow::None: return op.cycles;
        case Grow::M: return op.cycles + (wide_m(mode) ? 1 : 0);
        case Grow::M2: return op.cycles + (wide_m(mode) ? 2 : 0);
        case Grow::X: return op.cycles + (wide_x(mode) ? 1 : 0);
        case Grow::Native: return op.cycles + (is_emu(mode) ? 0 : 1);
    }
    return 0;
}

TEST(W65816OpcodeMap, TableListsEveryOpcodeOnce) {
    for (int i = 0; i < 256; i++) EXPECT_EQ(kOps[i].code, i) << kOps[i].name;
}

// Straight-line opcodes: PC ends at the next instruction and the clock has
// advanced by the base cost. D's low byte is 0, so no direct-page penalty.
TEST(W65816OpcodeMap, StraightOpcodesAdvancePcByLengthAndChargeBaseCost) {
    for (const OpInfo& op : kOps) {
        if (op.flow != Flow::Straight) continue;
        for (Mode mode : kAllModes) {
            FlatCtx ctx;
            ctx.enter_mode(mode);
            set_standard_registers(ctx);
            place_instruction(ctx, mode, op.code, op.addr, 0x0000);
            int cost = ctx.step();
            SCOPED_TRACE(std::string(op.name) + ", " + mode_name(mode));
            EXPECT_EQ(ctx.cpu.pbr, layout::kCodeBank);
            EXPECT_EQ(ctx.cpu.pc, layout::kCodePc + expected_bytes(op, mode));
            EXPECT_EQ(cost, 3 * expected_cycles(op, mode));
        }
    }
}

TEST(W65816OpcodeMap, NopAndWdmChangeNothingButPc) {
    for (uint8_t code : {0xEA, 0x42}) {
        for (Mode mode : kAllModes) {
            SCOPED_TRACE(describe(code, mode));
            FlatCtx ctx;
            ctx.enter_mode(mode, 0xCB);
            set_standard_registers(ctx);
            ctx.cpu.a = 0x1234;
            place_instruction(ctx, mode, code, code == 0xEA ? Addr::Implied : Addr::Imm8, 0xFF);
            const CpuRegs before = ctx.cpu;
            ctx.step();
            const CpuRegs& after = ctx.cpu;
            EXPECT_EQ(after.pc, before.pc + (code == 0xEA ? 1 : 2));
            EXPECT_EQ(after.a, before.a);
            EXPECT_EQ(after.x, before.x);
            EXPECT_EQ(after.y, before.y);
            EXPECT_EQ(after.s, before.s);
            EXPECT_EQ(after.d, before.d);
            EXPECT_EQ(after.dbr, before.dbr);
            EXPECT_EQ(after.pbr, before.pbr);
            EXPECT_EQ(cpu_status(after), cpu_status(before));
            EXPECT_EQ(after.e, before.e);
            EXPECT_TRUE(ctx.writes().empty());
        }
    }
}

// Branches not taken cost their base and skip the operand; taken ones are
// in the branch tests.
TEST(W65816OpcodeMap, BranchesNotTakenSkipTheirOperand) {
    // For each conditional branch, the status that makes it fall through.
    const std::pair<uint8_t, uint8_t> cases[] = {
        {0x10, 0x80}, {0x30, 0x00}, {0x50, 0x40}, {0x70, 0x00},
        {0x90, 0x01}, {0xB0, 0x00}, {0xD0, 0x02}, {0xF0, 0x00},
    };
    for (auto [code, flags] : cases) {
        for (Mode mode : kAllModes) {
            FlatCtx ctx;
            ctx.enter_mode(mode, uint8_t(flags | 0x04));
            place_instruction(ctx, mode, code, Addr::Rel8, 0x40);
            SCOPED_TRACE(std::string(kOps[code].name) + ", " + mode_name(mode));
            EXPECT_EQ(ctx.step(), 6);
            EXPECT_EQ(ctx.cpu.pc, layout::kCodePc + 2);
        }
    }
}

// Every opcode that is not straight-line has its own test elsewhere; this
// guards the list against an opcode slipping through.
TEST(W65816OpcodeMap, ControlFlowOpcodesAreTheExpectedOnes) {
    std::set<int> flow;
    for (const OpInfo& op : kOps)
        if (op.flow != Flow::Straight) flow.insert(op.code);
    const std::set<int> expected = {0x00, 0x02, 0x10, 0x20, 0x22, 0x30, 0x40, 0x4C, 0x50, 0x5C, 0x60,
                                    0x6B, 0x6C, 0x70, 0x7C, 0x80, 0x82, 0x90, 0xB0, 0xD0, 0xDB, 0xDC,
                                    0xF0, 0xFC};
    EXPECT_EQ(flow, expected);
}

}  // namespace
}  // namespace vt::test
