// The main CPU's read and write dispatch through the memory map: two address
// bit tests and one indirect call.
#pragma once

#include "core/machine.h"

namespace vt {

inline uint8_t bus_read(Machine& m, uint8_t bank, uint16_t addr) {
    return read_entry(m.mem.cpu, bank, addr)(m, bank, addr);
}

// The written byte becomes the open-bus value before the handler runs.
inline void bus_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    m.mem.open_bus = value;
    write_entry(m.mem.cpu, bank, addr)(m, bank, addr, value);
}

// What a debugger sees at an address: the byte, or kNotReadable. Changes
// nothing in the machine.
inline int bus_peek(const Machine& m, uint8_t bank, uint16_t addr) {
    return peek_entry(m.mem.cpu, bank, addr)(m, bank, addr);
}

}  // namespace vt
