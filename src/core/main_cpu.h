// The main CPU: the 65816 core instantiated on the memory map's bus.
#pragma once

#include <cstdint>

#include "cart/bus.h"
#include "core/machine.h"
#include "core/state_io.h"

namespace vt {

// The debugger's interrupt trap: a stop request right after the entry
// (kind: 0 NMI, 1 IRQ, 2 BRK, 3 COP), noted in m.debug.hit.
void cpu_trap_interrupt(Machine& m, int kind);

struct MainBus {
    using Ctx = Machine;
    static CpuCore<Machine>& cpu(Machine& m) { return m.cpu; }
    static void tick(Machine& m, int units) { m.timing.line_clock += units; }
    static uint8_t read(Machine& m, uint8_t bank, uint16_t addr) { return bus_read(m, bank, addr); }
    static void write(Machine& m, uint8_t bank, uint16_t addr, uint8_t v) { bus_write(m, bank, addr, v); }
    static void interrupt_entered(Machine& m, int kind) {
        if (m.debug.interrupt_traps & (1u << kind)) cpu_trap_interrupt(m, kind);
    }
};

// One step: an instruction, an interrupt entry or an idle step.
inline void cpu_step(Machine& m) { m.cpu.next_step(m); }

// Whether the next step is an idle step that nothing has interrupted yet:
// the CPU waits in WAI or is stopped by STP. Each idle step adds
// kIdleStepUnits to the line clock and does nothing else. Asked before
// every step, so it is one comparison with the core's idle routine.
extern const CpuCore<Machine>::Routine kMainCpuIdleStep;
inline bool cpu_is_idle(const Machine& m) { return m.cpu.next_step == kMainCpuIdleStep; }

// Whether the next step enters an NMI or IRQ instead of running the
// instruction at PBR:PC (the trace writes no line for it).
bool cpu_enters_interrupt_next(const Machine& m);

void cpu_power_on(Machine& m);
void cpu_reset(Machine& m);
void cpu_raise_nmi(Machine& m);
void cpu_raise_irq(Machine& m, uint8_t source);

// The full status byte (N V M X D I Z C) and E, as PHP, the debugger and save
// states see them; setting them re-derives the IRQ mask and the dispatch.
uint8_t cpu_get_status(const Machine& m);
void cpu_set_status(Machine& m, uint8_t status, uint8_t e);

// The 16-byte save image: A, X, Y, D, S, PC (words, little-endian), PBR,
// DBR, status, E.
inline constexpr int kCpuImageSize = 16;
void cpu_save_image(const Machine& m, uint8_t out[kCpuImageSize]);
void cpu_load_image(Machine& m, const uint8_t in[kCpuImageSize]);
template <class Io>
void cpu_image_io(Io& io, IoMachine<Io>& m);

// What the core does next, which the 16-byte image leaves out: the step
// routine chosen (instruction, interrupt check, NMI or IRQ entry, idle),
// the check routine (normal, waiting in WAI, stopped by STP), the pending
// NMI, the IRQ sources and the WAI flag. Loading the image makes the next
// step an interrupt check and ends a WAI; loading this record afterwards
// puts the core back exactly where it was. Unknown codes fall back to the
// interrupt check.
inline constexpr int kCpuRunStateSize = 5;
void cpu_save_run_state(const Machine& m, uint8_t out[kCpuRunStateSize]);
void cpu_load_run_state(Machine& m, const uint8_t in[kCpuRunStateSize]);
template <class Io>
void cpu_run_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
