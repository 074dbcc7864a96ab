#include "core/driver.h"

#include "audio/apu.h"
#include "audio/dsp.h"
#include "coproc/coprocessor.h"
#include "coproc/gsu/gsu.h"
#include "coproc/sa1/sa1.h"
#include "core/machine.h"
#include "core/main_cpu.h"
#include "debug/debugger.h"
#include "video/dma.h"
#include "video/ppu.h"

namespace vt {

namespace {

// One unit of main-CPU work, then the audio CPU and the SA-1 catch up.
inline void step(Machine& m) {
    Timing& t = m.timing;
    if (t.hirq_point <= t.line_clock) {
        t.hirq_point = kNoHirq;
        m.sysregs.timeup = 0x80;
        cpu_raise_irq(m, kIrqTimer);
    }
    if (m.sysregs.mdmaen) {
        dma_step(m);  // the CPU is stalled while the transfer runs
    } else {
        if (!m.debug.breakpoints.empty()) debug_check_breakpoints(m);
        if (m.debug.tracing && !m.cpu.waiting) debug_trace_step(m);
        cpu_step(m);
        t.cpu_steps++;
    }
    while (m.apu.clock < t.line_clock) spc700_step(m);
    while (m.sa1.running && m.sa1.clock < t.line_clock) sa1_step(m);
}

// While the CPU waits (WAI or STP) its steps are idle steps that only move
// the line clock. They are taken together up to the phase end or the timer
// IRQ point, whichever comes first: the line clock lands where single
// steps would have left it, the audio CPU runs the same instructions up to
// there, and the timer IRQ is checked at the same step as before. Not done
// while something else could wake the CPU between two steps (the SA-1) or
// wants to see every step (breakpoints).
inline bool idle_steps_batch(const Machine& m) {
    return cpu_is_idle(m) && !m.sysregs.mdmaen && !m.sa1.running && m.debug.breakpoints.empty();
}

inline void run_until(Machine& m, int32_t point) {
    Timing& t = m.timing;
    while (t.line_clock < point) {
        const int32_t until = point < t.hirq_point ? point : t.hirq_point;
        if (until > t.line_clock && idle_steps_batch(m)) {
            const int32_t steps = (until - t.line_clock + kIdleStepUnits - 1) / kIdleStepUnits;
            t.line_clock += steps * kIdleStepUnits;
            t.cpu_steps += uint64_t(steps);
            while (m.apu.clock < t.line_clock) spc700_step(m);
            continue;
        }
        step(m);
    }
}

// H-IRQ point at line start: V-IRQ selects the line, H-IRQ the position.
int32_t line_start_hirq_point(const Machine& m) {
    const SystemRegisters& r = m.sysregs;
    int32_t point = kNoHirq;
    if (r.nmitimen & kNmitimenVirq) {
        if (r.vtime != m.timing.line) return kNoHirq;
        point = 0;
    }
    if (r.nmitimen & kNmitimenHirq) point = int32_t(r.htime) * 2;
    return point;
}

}  // namespace

void run_line(Machine& m) {
    Timing& t = m.timing;
    m.debug.trace_state |= 1;
    t.hirq_point = line_start_hirq_point(m);

    run_until(m, kRefreshPoint);
    t.line_clock += kRefreshUnits;

    run_until(m, kHblankPoint);
    if (t.line < t.last_visible_line) sprite_evaluation(m);
    m.sysregs.hvbjoy ^= 0x40;  // cleared at line start, so this sets H-blank
    if (t.hdma_active) hdma_line(m);

    run_until(m, kLineUnits);

    if (t.hirq_point <= kLineUnits && t.hirq_point <= t.line_clock) {
        m.sysregs.timeup = 0x80;
        cpu_raise_irq(m, kIrqTimer);
    }
    if (m.gsu.running) gsu_line_slice(m);

    t.line_clock -= kLineUnits;
    m.apu.clock -= kLineUnits;
    m.sa1.clock = 0;
    if (t.line < t.sound_lines) dsp_line_step(m);
    t.line++;
    apu_advance_timers(m);
}

void run_frame(Machine& m) {
    Timing& t = m.timing;
    SystemRegisters& r = m.sysregs;
    const bool drawn = m.host.draw_frame;

    video_frame_start(m);
    m.cpu.nmi_pending = 0;  // an NMI not taken in the last frame is dropped
    m.ppu.stat77 &= 0x3F;
    r.rdnmi &= 0x7F;
    if (r.hdmaen) hdma_frame_start(m);

    // Line 0 is emulated but never drawn.
    r.hvbjoy = 0;
    run_line(m);
    while (t.line <= t.last_visible_line) {
        if (drawn) video_render_line(m);
        r.hvbjoy = 0;
        run_line(m);
    }

    // V-blank
    t.hdma_active = 0;
    ppu_vblank_oam_reload(m);
    r.rdnmi |= 0x80;
    if (r.nmitimen & kNmitimenNmi) cpu_raise_nmi(m);
    if (m.host.frame_input) m.host.frame_input(m.host.user, m);
    if (drawn) video_clear_rows_below(m);

    for (int i = 0; i < 4; i++) {
        r.hvbjoy = 0x81;  // V-blank, automatic joypad read busy
        run_line(m);
    }
    sysregs_auto_joypad_read(m);
    while (t.line < t.lines_per_frame) {
        r.hvbjoy = 0x80;
        run_line(m);
    }

    t.line = 0;
    m.ppu.stat78 ^= 0x80;  // interlace field
    dsp_frame_end(m);

    if (drawn && m.host.present_frame) m.host.present_frame(m.host.user, m);
    t.frame_counter++;
}

void machine_power_on(Machine& m) {
    ppu_power_on(m);
    sysregs_power_on(m);
    dma_power_on(m);
    apu_power_on(m);  // resets the sound generator too
    cpu_power_on(m);
    m.timing.frame_counter = 0;
}

void machine_reset(Machine& m) {
    coprocessor_reset(m);
    ppu_reset(m);
    sysregs_reset(m);
    dma_reset(m);
    apu_reset(m);
    cpu_reset(m);
}

}  // namespace vt
