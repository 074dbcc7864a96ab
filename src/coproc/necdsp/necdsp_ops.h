// The fields of the NEC DSP's instructions: the numbers the interpreter
// switches on and the names the disassembler shows.
#pragma once

#include <cstdint>

namespace vt {

struct NecDsp;

// P select (OP bits 21-20): the ALU's second operand.
enum : unsigned { kNecPRam, kNecPIdb, kNecPM, kNecPN };

// ALU operations (OP bits 19-16).
enum : unsigned {
    kNecAluNop, kNecAluOr,   kNecAluAnd,  kNecAluXor,  kNecAluSub,  kNecAluAdd,  kNecAluSbb,  kNecAluAdc,
    kNecAluDec, kNecAluInc,  kNecAluCmp,  kNecAluShr1, kNecAluShl1, kNecAluShl2, kNecAluShl4, kNecAluXchg,
};

// DP low-nibble modifier (OP bits 14-13).
enum : unsigned { kNecDplNop, kNecDplInc, kNecDplDec, kNecDplClr };

// Sources onto the internal bus (OP bits 7-4).
enum : unsigned {
    kNecSrcTrb, kNecSrcA,   kNecSrcB,  kNecSrcTr,  kNecSrcDp,  kNecSrcRp, kNecSrcRo, kNecSrcSgn,
    kNecSrcDr,  kNecSrcDrnf, kNecSrcSr, kNecSrcSim, kNecSrcSil, kNecSrcK,  kNecSrcL,  kNecSrcMem,
};

// Destinations of the bus (OP and LD bits 3-0).
enum : unsigned {
    kNecDstNon, kNecDstA,   kNecDstB,   kNecDstTr,  kNecDstDp,  kNecDstRp, kNecDstDr,  kNecDstSr,
    kNecDstSol, kNecDstSom, kNecDstK,   kNecDstKlr, kNecDstKlm, kNecDstL,  kNecDstTrb, kNecDstMem,
};

// Jump conditions (JP bits 21-13) with a meaning beyond a flag test.
inline constexpr unsigned kNecJumpSo = 0x000;        // uPD96050: to the address in SO
inline constexpr unsigned kNecJumpJmp = 0x100;       // uPD96050: into the lower half
inline constexpr unsigned kNecJumpHighJmp = 0x101;   // uPD96050: into the upper half
inline constexpr unsigned kNecJumpCall = 0x140;      // uPD96050: into the lower half
inline constexpr unsigned kNecJumpHighCall = 0x141;  // uPD96050: into the upper half

inline constexpr const char* kNecAluNames[16] = {"NOP", "OR",  "AND",  "XOR",  "SUB",  "ADD",  "SBB",  "ADC",
                                                 "DEC", "INC", "CMP", "SHR1", "SHL1", "SHL2", "SHL4", "XCHG"};
inline constexpr const char* kNecPNames[4] = {"RAM", "IDB", "M", "N"};
inline constexpr const char* kNecSrcNames[16] = {"TRB", "A",   "B",  "TR",  "DP",  "RP", "RO", "SGN",
                                                 "DR",  "DRNF", "SR", "SIM", "SIL", "K",  "L",  "MEM"};
inline constexpr const char* kNecDstNames[16] = {"NON", "A", "B",   "TR",  "DP",  "RP", "DR",  "SR",
                                                 "SOL", "SOM", "K", "KLR", "KLM", "L",  "TRB", "MEM"};

// Whether a flag or DP condition holds (a plain jump's too); false for a
// number that is not a condition.
bool necdsp_condition_met(const NecDsp& dsp, unsigned condition);
// The condition's name ("JNCA", "JDPL0", ...); null for an unknown number.
const char* necdsp_condition_name(unsigned condition, bool upd96050);

}  // namespace vt
