#include "core/main_cpu.h"

#include "core/driver.h"
#include "core/state_io.h"
#include "core/w65816_core.h"

namespace vt {

void cpu_power_on(Machine& m) {
    // Power-on charges no time, although the reset vector is read through
    // the memory map.
    int32_t clock = m.timing.line_clock;
    w65816::power_on<MainBus>(m);
    m.timing.line_clock = clock;
}

void cpu_reset(Machine& m) { w65816::reset<MainBus>(m); }

void cpu_raise_nmi(Machine& m) { w65816::raise_nmi<MainBus>(m); }

void cpu_raise_irq(Machine& m, uint8_t source) { w65816::raise_irq<MainBus>(m, source); }

const CpuCore<Machine>::Routine kMainCpuIdleStep = &w65816::idle_step<MainBus>;

bool cpu_enters_interrupt_next(const Machine& m) {
    return m.cpu.next_step == &w65816::nmi_entry<MainBus> || m.cpu.next_step == &w65816::irq_entry<MainBus>;
}

void cpu_trap_interrupt(Machine& m, int kind) {
    m.debug.hit = {.kind = DebugHitKind::Interrupt,
                   .address = m.cpu.pc,  // the handler, in bank 0
                   .instruction = m.debug.step_address,
                   .value = uint8_t(kind)};
    driver_request_stop(m);
}

uint8_t cpu_get_status(const Machine& m) { return cpu_status(m.cpu); }

void cpu_set_status(Machine& m, uint8_t status, uint8_t e) {
    w65816::set_status_and_mode<MainBus>(m, status, e);
}

template <class Io>
void cpu_image_io(Io& io, IoMachine<Io>& m) {
    auto& c = m.cpu;
    io.u16(c.a);
    io.u16(c.x);
    io.u16(c.y);
    io.u16(c.d);
    io.u16(c.s);
    io.u16(c.pc);
    io.u8(c.pbr);
    io.u8(c.dbr);
    // The flags are kept apart; the image holds the assembled status.
    uint8_t status = cpu_status(c);
    uint8_t e = c.e;
    io.u8(status);
    io.u8(e);
    if constexpr (Io::loading) cpu_set_status(m, status, e);
}

template void cpu_image_io(StateWriter&, const Machine&);
template void cpu_image_io(StateReader&, Machine&);

void cpu_save_image(const Machine& m, uint8_t out[kCpuImageSize]) {
    StateWriter w{out};
    cpu_image_io(w, m);
}

void cpu_load_image(Machine& m, const uint8_t in[kCpuImageSize]) {
    StateReader r{in};
    cpu_image_io(r, m);
}

namespace {

using Routine = CpuCore<Machine>::Routine;

// Codes of the routines a core's next step and check routine can hold.
enum RunRoutine : uint8_t { kRunFetch, kRunCheck, kRunNmiEntry, kRunIrqEntry, kRunIdle, kRunWakeUp, kRunCount };

const Routine kRunRoutines[kRunCount] = {
    &w65816::fetch_execute<MainBus>, &w65816::interrupt_check<MainBus>, &w65816::nmi_entry<MainBus>,
    &w65816::irq_entry<MainBus>,     &w65816::idle_step<MainBus>,       &w65816::wake_up<MainBus>,
};

uint8_t routine_code(Routine r) {
    for (uint8_t i = 0; i < kRunCount; i++) {
        if (kRunRoutines[i] == r) return i;
    }
    return kRunCheck;
}

Routine routine_from_code(uint8_t code) { return kRunRoutines[code < kRunCount ? code : uint8_t(kRunCheck)]; }

}  // namespace

template <class Io>
void cpu_run_state_io(Io& io, IoMachine<Io>& m) {
    auto& c = m.cpu;
    uint8_t next = routine_code(c.next_step);
    uint8_t check = routine_code(c.check_routine);
    io.u8(next);
    io.u8(check);
    io.u8_masked(c.nmi_pending, 1);
    io.u8_masked(c.irq_sources, kIrqTimer | kIrqCartridge);
    io.u8_masked(c.waiting, 1);
    if constexpr (Io::loading) {
        c.next_step = routine_from_code(next);
        // Only the interrupt check, the wake-up of WAI and the idle step of
        // STP serve as check routines.
        if (check != kRunIdle && check != kRunWakeUp) check = kRunCheck;
        c.check_routine = routine_from_code(check);
    }
}

template void cpu_run_state_io(StateWriter&, const Machine&);
template void cpu_run_state_io(StateReader&, Machine&);

void cpu_save_run_state(const Machine& m, uint8_t out[kCpuRunStateSize]) {
    StateWriter w{out};
    cpu_run_state_io(w, m);
}

void cpu_load_run_state(Machine& m, const uint8_t in[kCpuRunStateSize]) {
    StateReader r{in};
    cpu_run_state_io(r, m);
}

}  // namespace vt
