// The SA-1 core's bus and the pieces of the chip's files that share it.
#pragma once

#include <cstdint>

#include "coproc/sa1/sa1.h"
#include "core/machine.h"

namespace vt {

// IRQ-pending bit of the SA-1 core: the main CPU's message IRQ and the DMA
// end (the timer bit is never raised).
inline constexpr uint8_t kSa1IrqLine = 0x01;

inline uint8_t sa1_bus_read(Machine& m, uint8_t bank, uint16_t addr) {
    return read_entry(m.sa1.view, bank, addr)(m, bank, addr);
}

inline void sa1_bus_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value) {
    write_entry(m.sa1.view, bank, addr)(m, bank, addr, value);
}

struct Sa1Bus {
    using Ctx = Machine;
    static CpuCore<Machine>& cpu(Machine& m) { return m.sa1.cpu; }
    // The core charges 3 units per bus cycle; the SA-1 runs a cycle per unit.
    static void tick(Machine& m, int units) { m.sa1.clock += units / 3; }
    static uint8_t read(Machine& m, uint8_t bank, uint16_t addr) { return sa1_bus_read(m, bank, addr); }
    static void write(Machine& m, uint8_t bank, uint16_t addr, uint8_t v) { sa1_bus_write(m, bank, addr, v); }
};

void sa1_set_status_and_mode(Machine& m, uint8_t status, uint8_t e);
uint8_t sa1_routine_code(CpuCore<Machine>::Routine r);
void sa1_set_routines(Machine& m, uint8_t next, uint8_t check);
bool sa1_cpu_idle(const Machine& m);
// Installs the handlers that follow BMAP (the SA-1's $6000-$7FFF window) and
// the character conversion (the main CPU's banks $40-$4F).
void sa1_install_switched_windows(Machine& m);
void sa1_build_view(Machine& m);

// The ROM pointer of a bank for the Super MMC.
inline bool sa1_hirom_bank(uint8_t bank) { return bank >= 0xC0; }
inline bool sa1_lorom_bank(uint8_t bank) { return (bank & 0x40) == 0; }

}  // namespace vt
