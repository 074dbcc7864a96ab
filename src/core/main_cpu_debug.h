// The main CPU as the debugger sees it.
#pragma once

#include "core/debug_target.h"
#include "core/w65816_disassembler.h"

namespace vt {

extern const DebugTarget kMainCpuTarget;

struct CpuRegs;
// A 65816's registers as data (the main CPU's and the SA-1's).
DebugRegisters w65816_debug_registers(const CpuRegs& c);

// The main CPU's registers as the decoder wants them.
W65816DecodeState main_cpu_decode_state(const Machine& m);
// The main CPU's view of a 24-bit address, without side effects;
// kNotReadable where nothing answers (also before any cartridge is loaded).
int main_cpu_peek(const Machine& m, uint32_t address);

}  // namespace vt
