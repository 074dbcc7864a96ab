// One row of a register table: a memory-mapped register of a chip with the
// name the console's documentation gives it, how the CPU uses it, and what
// it holds. The State Inspector lists the rows ("2100 INIDISP" and so on)
// with their values; the real-time save writes the same values into its
// register pages and replays the written ones through the registers' own
// handlers.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace vt {

struct Machine;

enum class RegisterKind : uint8_t {
    Written,   // the CPU writes it and the chip keeps the byte
    Latched,   // written twice (low, high) through a latch shared with its neighbours
    Port,      // a data port into a memory: nothing to show
    ReadOnly,  // the CPU reads it; writing does nothing
};

struct IoRegister {
    uint16_t address;
    const char* name;
    RegisterKind kind;
    // The byte it holds: a written register as last written (the high byte
    // for a latched pair), a read-only one as a read would return it,
    // without the read's side effects. Null for ports and for registers
    // whose read is only a side effect.
    uint8_t (*value)(const Machine&);
};

// The label the inspector shows: the address as four upper-case hex digits
// and the name, "2100 INIDISP".
inline std::string io_register_label(const IoRegister& r) {
    char address[8];
    std::snprintf(address, sizeof address, "%04X", unsigned(r.address));
    return std::string(address) + " " + r.name;
}

}  // namespace vt
