#include "core/main_cpu.h"

#include "core/byte_stream.h"
#include "core/driver.h"
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

void cpu_save_image(const Machine& m, uint8_t out[kCpuImageSize]) {
    const CpuRegs& c = m.cpu;
    const uint16_t words[6] = {c.a, c.x, c.y, c.d, c.s, c.pc};
    for (int i = 0; i < 6; i++) put_le16(out + 2 * i, words[i]);
    out[12] = c.pbr;
    out[13] = c.dbr;
    out[14] = cpu_status(c);
    out[15] = c.e;
}

void cpu_load_image(Machine& m, const uint8_t in[kCpuImageSize]) {
    auto word = [&](int i) { return get_le16(in + 2 * i); };
    CpuRegs& c = m.cpu;
    c.a = word(0);
    c.x = word(1);
    c.y = word(2);
    c.d = word(3);
    c.s = word(4);
    c.pc = word(5);
    c.pbr = in[12];
    c.dbr = in[13];
    cpu_set_status(m, in[14], in[15]);
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

void cpu_save_run_state(const Machine& m, uint8_t out[kCpuRunStateSize]) {
    const CpuCore<Machine>& c = m.cpu;
    out[0] = routine_code(c.next_step);
    out[1] = routine_code(c.check_routine);
    out[2] = c.nmi_pending;
    out[3] = c.irq_sources;
    out[4] = c.waiting;
}

void cpu_load_run_state(Machine& m, const uint8_t in[kCpuRunStateSize]) {
    CpuCore<Machine>& c = m.cpu;
    c.next_step = routine_from_code(in[0]);
    // Only the interrupt check, the wake-up of WAI and the idle step of STP
    // serve as check routines.
    const uint8_t check = (in[1] == kRunIdle || in[1] == kRunWakeUp) ? in[1] : uint8_t(kRunCheck);
    c.check_routine = routine_from_code(check);
    c.nmi_pending = in[2] & 1;
    c.irq_sources = in[3] & (kIrqTimer | kIrqCartridge);
    c.waiting = in[4] & 1;
}

}  // namespace vt
