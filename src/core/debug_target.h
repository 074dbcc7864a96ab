// What the debugger needs of a processor, without knowing which one it is:
// its name, its program counter, its registers as data, a disassembler and
// a side-effect-free view of its memory. The main CPU and the audio CPU
// have one each; a cartridge chip's comes from its row of the chip table.
// The debugger's windows and the trace are built on these records and
// need no code of their own per processor.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cart/memory_map.h"  // kNotReadable

namespace vt {

struct Machine;

struct DebugRegister {
    const char* name;  // "A", "PC", "PSW", ...
    uint8_t bits;      // width: 1, 8, 16 or 24
    uint32_t value;
};

inline constexpr int kMaxDebugRegisters = 32;

// A processor's registers in the order the inspector lists them.
struct DebugRegisters {
    std::array<DebugRegister, kMaxDebugRegisters> list{};
    int count = 0;

    void add(const char* name, uint8_t bits, uint32_t value) {
        if (count < kMaxDebugRegisters) list[size_t(count++)] = {name, bits, value};
    }
};

// One disassembled instruction.
struct DisassembledLine {
    uint32_t address = 0;
    uint8_t length = 1;             // bytes, opcode included
    std::array<uint8_t, 4> bytes{};  // as stored
    std::string text;               // mnemonic and operand, e.g. "lda $12,x"
};

struct DebugTarget {
    const char* name;      // the inspector's page caption: "W65C816S", "SPC700"
    uint8_t address_bits;  // 24 for the 65816, 16 for the SPC700
    uint32_t (*pc)(const Machine& m);
    DebugRegisters (*registers)(const Machine& m);
    // The instruction at `address`, decoded with the processor's current
    // register widths.
    DisassembledLine (*disassemble)(const Machine& m, uint32_t address);
    // The byte at `address` as the processor would read it now, or
    // kNotReadable. Changes nothing.
    int (*peek)(const Machine& m, uint32_t address);
};

// The processors of the loaded machine: the main CPU, the audio CPU, then
// the cartridge chip's when it has one.
std::vector<const DebugTarget*> machine_debug_targets(const Machine& m);

}  // namespace vt
