// The SA-1's processor: the 65816 core on the SA-1's own bus. Its memory
// goes through the SA-1's handler tables, and its time is its own clock:
// the core charges 3 units per bus cycle (the main CPU's unit), the SA-1
// runs one cycle per clock unit, so a charge of n units is n / 3 cycles.
#include "coproc/sa1/sa1.h"

#include "coproc/sa1/sa1_bus.h"
#include "core/machine.h"
#include "core/w65816_core.h"

namespace vt {

void sa1_cpu_power_on(Machine& m) {
    w65816::power_on<Sa1Bus>(m);
    m.sa1.cpu.dbr = 0;
    m.sa1.cpu.pbr = 0;
}

// The reset of the core: E set, M and X set, stack in page 1, PC from the
// reset vector (CRV). Costs 8 cycles.
void sa1_cpu_start(Machine& m) { w65816::reset<Sa1Bus>(m); }

void sa1_raise_nmi(Machine& m) { w65816::raise_nmi<Sa1Bus>(m); }

void sa1_raise_irq(Machine& m) { w65816::raise_irq<Sa1Bus>(m, kSa1IrqLine); }

void sa1_clear_irq(Machine& m) { m.sa1.cpu.irq_sources = 0; }

uint8_t sa1_cpu_status(const Machine& m) { return cpu_status(m.sa1.cpu); }

void sa1_step(Machine& m) { m.sa1.cpu.next_step(m); }

void sa1_catch_up(Machine& m) {
    Sa1& s = m.sa1;
    const int32_t until = m.timing.line_clock;
    while (s.running && s.clock < until) s.cpu.next_step(m);
}

void sa1_line_end(Machine& m) {
    // The SA-1 keeps its own rate: what it ran past the line end counts on
    // the next line. A held SA-1 starts each line at 0.
    Sa1& s = m.sa1;
    s.clock = s.clock > kLineUnits ? s.clock - kLineUnits : 0;
}

void sa1_set_status_and_mode(Machine& m, uint8_t status, uint8_t e) {
    w65816::set_status_and_mode<Sa1Bus>(m, status, e);
}

// --- run state for the save state

namespace {

using Routine = CpuCore<Machine>::Routine;

enum RunRoutine : uint8_t { kRunFetch, kRunCheck, kRunNmiEntry, kRunIrqEntry, kRunIdle, kRunWakeUp, kRunCount };

const Routine kRunRoutines[kRunCount] = {
    &w65816::fetch_execute<Sa1Bus>, &w65816::interrupt_check<Sa1Bus>, &w65816::nmi_entry<Sa1Bus>,
    &w65816::irq_entry<Sa1Bus>,     &w65816::idle_step<Sa1Bus>,       &w65816::wake_up<Sa1Bus>,
};

}  // namespace

uint8_t sa1_routine_code(Routine r) {
    for (uint8_t i = 0; i < kRunCount; i++) {
        if (kRunRoutines[i] == r) return i;
    }
    return kRunCheck;
}

void sa1_set_routines(Machine& m, uint8_t next, uint8_t check) {
    CpuCore<Machine>& c = m.sa1.cpu;
    c.next_step = kRunRoutines[next < kRunCount ? next : uint8_t(kRunCheck)];
    // Only the interrupt check, the wake-up of WAI and the idle step of STP
    // serve as check routines.
    if (check != kRunIdle && check != kRunWakeUp) check = kRunCheck;
    c.check_routine = kRunRoutines[check];
}

bool sa1_cpu_idle(const Machine& m) { return m.sa1.cpu.next_step == kRunRoutines[kRunIdle]; }

}  // namespace vt
