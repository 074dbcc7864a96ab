#include "core/driver.h"

#include <algorithm>

#include "audio/apu.h"
#include "audio/dsp.h"
#include "coproc/chips.h"
#include "core/machine.h"
#include "core/main_cpu.h"
#include "nes/nes_side.h"
#include "video/dma.h"
#include "video/ppu.h"

namespace vt {

namespace {

uint32_t program_address(const Machine& m) { return (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc; }

// ---------------------------------------------------------------------------
// Steps

// The breakpoint check before a main-CPU step; only called while the list
// is not empty. A hit asks the run to stop before the step and lets the
// instruction through on the next check there. The idle steps of a CPU
// waiting in WAI or stopped by STP run no instruction and are not checked:
// a breakpoint after a WAI stops when an interrupt wakes the CPU, not at
// every idle step.
[[gnu::noinline]] bool break_before_instruction(Machine& m) {
    if (cpu_is_idle(m)) return false;
    Debugger& d = m.debug;
    const uint32_t pc = program_address(m);
    const bool passing = d.passing_break == pc;
    d.passing_break = kNoBreakPass;
    if (passing) return false;
    if (std::find(d.breakpoints.begin(), d.breakpoints.end(), pc) == d.breakpoints.end()) return false;
    d.passing_break = pc;
    d.hit = {.kind = DebugHitKind::Breakpoint, .address = pc, .instruction = pc, .value = 0};
    driver_request_stop(m);
    return true;
}

int32_t line_start_hirq_point(const Machine& m);

// The timer IRQ fires when the line clock reaches its point. A point
// carried over from the line before may leave this line's own point ahead.
void fire_timer_irq(Machine& m) {
    Timing& t = m.timing;
    const int32_t own = line_start_hirq_point(m);
    t.hirq_point = own > t.line_clock ? own : kNoHirq;
    m.sysregs.timeup = 0x80;
    cpu_raise_irq(m, kIrqTimer);
}

// The automatic joypad read: HVBJOY bit 0 rises when it starts, and when it
// ends the joypad registers hold the ports and the bit falls.
void joypad_read_event(Machine& m) {
    Timing& t = m.timing;
    t.joypad_point = kNoHirq;
    if (t.joypad == JoypadRead::Starting) {
        t.joypad = JoypadRead::Reading;
        m.sysregs.hvbjoy |= 0x01;
        const int32_t end = kJoypadReadStart + kJoypadReadUnits;
        t.joypad_end_line = uint16_t(t.line + end / kLineUnits);
        t.joypad_end_clock = end % kLineUnits;
        return;
    }
    t.joypad = JoypadRead::Idle;
    m.sysregs.hvbjoy &= uint8_t(~0x01);
    sysregs_auto_joypad_read(m);
}

// The events timed within a line (the timer IRQ, the joypad read), run at
// the first step boundary at or past their point.
[[gnu::noinline]] void timed_events(Machine& m) {
    Timing& t = m.timing;
    if (t.hirq_point <= t.line_clock) fire_timer_irq(m);
    if (t.joypad_point <= t.line_clock) joypad_read_event(m);
    timing_update_event_point(t);
}

// One unit of main-CPU work, then the audio CPU and a cartridge processor
// that keeps level with the main CPU catch up. `Watch`: the debugger's
// breakpoints, trace or watched addresses are active; `Chip`: the cartridge has a processor
// run after every step. Both are chosen once per run of steps, so the step
// itself tests neither.
template <bool Watch, bool Chip>
inline void step(Machine& m) {
    Timing& t = m.timing;
    if (t.event_point <= t.line_clock) timed_events(m);
    if (m.sysregs.mdmaen) {
        dma_step(m);  // the CPU is stalled while the transfer runs
    } else {
        if constexpr (Watch) {
            if (!m.debug.breakpoints.empty() && break_before_instruction(m)) return;
            if (m.debug.trace_step && !m.cpu.waiting) m.debug.trace_step(m);
            m.debug.step_address = program_address(m);  // for a watched access
        }
        cpu_step(m);
        t.cpu_steps++;
    }
    while (m.apu.clock < t.line_clock) spc700_step(m);
    if constexpr (Chip) t.chip_catch_up(m);
}

// While the CPU waits (WAI or STP) its steps are idle steps that only move
// the line clock. They are taken together up to the run limit or the timer
// IRQ point, whichever comes first: the line clock lands where single
// steps would have left it, the audio CPU runs the same instructions up to
// there, and the timer IRQ is checked at the same step as before. Not done
// while something else could wake the CPU between two steps (a cartridge
// processor) or wants to see every step (breakpoints).
template <bool Watch, bool Chip>
inline bool idle_steps_batch(const Machine& m) {
    if constexpr (Chip) return false;
    if constexpr (Watch) {
        if (!m.debug.breakpoints.empty()) return false;
    }
    return cpu_is_idle(m) && !m.sysregs.mdmaen;
}

// The hot loop: steps while the line clock is below the run limit. A stop
// request lowers the limit, so it needs no test of its own.
template <bool Watch, bool Chip>
void run_steps(Machine& m) {
    Timing& t = m.timing;
    while (t.line_clock < t.run_limit) {
        const int32_t until = t.run_limit < t.event_point ? t.run_limit : t.event_point;
        if (until > t.line_clock && idle_steps_batch<Watch, Chip>(m)) {
            const int32_t steps = (until - t.line_clock + kIdleStepUnits - 1) / kIdleStepUnits;
            t.line_clock += steps * kIdleStepUnits;
            t.cpu_steps += uint64_t(steps);
            while (m.apu.clock < t.line_clock) spc700_step(m);
            continue;
        }
        step<Watch, Chip>(m);
    }
}

// The step loops, by [debugger watching][chip caught up after each step].
constexpr void (*kStepLoops[2][2])(Machine&) = {
    {&run_steps<false, false>, &run_steps<false, true>},
    {&run_steps<true, false>, &run_steps<true, true>},
};

void run_steps_until_limit(Machine& m) {
    const bool watch = !m.debug.breakpoints.empty() || m.debug.trace_step || m.debug.watching;
    kStepLoops[watch][m.timing.chip_catch_up != nullptr](m);
}

enum class PhaseEnd { Reached, Stopped, Stepped };

// Steps until the line clock reaches `point`. With `single`, returns as soon
// as one main-CPU step has run since `steps_before` (DMA slices do not
// count), before running the event at the point.
inline PhaseEnd run_phase(Machine& m, int32_t point, bool single, uint64_t steps_before) {
    Timing& t = m.timing;
    if (!single) {
        if (t.line_clock < point && !t.stop_requested) {
            t.run_limit = point;
            run_steps_until_limit(m);
        }
        return t.stop_requested ? PhaseEnd::Stopped : PhaseEnd::Reached;
    }
    for (;;) {
        if (t.stop_requested) return PhaseEnd::Stopped;
        if (t.cpu_steps != steps_before) return PhaseEnd::Stepped;
        if (t.line_clock >= point) return PhaseEnd::Reached;
        t.run_limit = std::min(point, t.line_clock + 1);
        run_steps_until_limit(m);
    }
}

// ---------------------------------------------------------------------------
// Line events

// The timer IRQ's point on a line: V-IRQ selects the line, H-IRQ the
// position. The IRQ follows the position it matches by kTimerIrqDelay, so
// HTIME 338 and 339 give points past the line's end.
int32_t timer_point_on_line(const Machine& m, uint16_t line) {
    const SystemRegisters& r = m.sysregs;
    int32_t point = kNoHirq;
    if (r.nmitimen & kNmitimenVirq) {
        if (r.vtime != line) return kNoHirq;
        point = kTimerIrqDelay;
    }
    if (r.nmitimen & kNmitimenHirq) {
        if (r.htime >= kHtimeDots) return kNoHirq;
        point = int32_t(r.htime) * 2 + kTimerIrqDelay;
    }
    return point;
}

int32_t line_start_hirq_point(const Machine& m) { return timer_point_on_line(m, m.timing.line); }

// A point of the line before that lay past its end and was not reached by
// the line's last step: it falls early in this line. Worked out from the
// registers, so a state taken between frames needs no place for it.
int32_t carried_hirq_point(const Machine& m) {
    const Timing& t = m.timing;
    const uint16_t before = t.line != 0 ? uint16_t(t.line - 1) : uint16_t(t.lines_per_frame - 1);
    const int32_t point = timer_point_on_line(m, before);
    if (point == kNoHirq || point <= kLineUnits) return kNoHirq;
    const int32_t carried = point - kLineUnits;
    return carried > t.line_clock ? carried : kNoHirq;
}

void line_start(Machine& m) {
    Timing& t = m.timing;
    m.debug.trace_state |= 1;
    t.hirq_point = std::min(line_start_hirq_point(m), carried_hirq_point(m));
    if (t.joypad == JoypadRead::Reading && t.line == t.joypad_end_line) t.joypad_point = t.joypad_end_clock;
    timing_update_event_point(t);
}

void hblank_start(Machine& m) {
    Timing& t = m.timing;
    if (t.line < t.last_visible_line) sprite_evaluation(m);
    m.sysregs.hvbjoy |= 0x40;  // cleared at line start
    if (t.hdma_active) hdma_line(m);
}

void line_end(Machine& m) {
    Timing& t = m.timing;
    // A point past the line's end that this line's last step reached fires
    // now; one it did not reach fires early in the next line.
    if (t.hirq_point <= t.line_clock) fire_timer_irq(m);
    if (t.chip_line_end) t.chip_line_end(m);

    t.line_clock -= kLineUnits;
    m.apu.clock -= kLineUnits;
    if (t.line < t.sound_lines) dsp_line_step(m);
    t.line++;
    apu_advance_timers(m);
}

// ---------------------------------------------------------------------------
// Frame events

void frame_start(Machine& m) {
    Timing& t = m.timing;
    SystemRegisters& r = m.sysregs;
    t.frame_drawn = m.host.draw_frame;
    t.frame_part = FramePart::Visible;

    video_frame_start(m);
    m.cpu.nmi_pending = 0;  // an NMI not taken in the last frame is dropped
    m.ppu.stat77 &= 0x3F;
    r.rdnmi &= 0x7F;
    if (r.hdmaen) hdma_frame_start(m);
}

void vblank_start(Machine& m) {
    Timing& t = m.timing;
    SystemRegisters& r = m.sysregs;
    t.frame_part = FramePart::Vblank;

    t.hdma_active = 0;
    ppu_vblank_oam_reload(m);
    r.rdnmi |= 0x80;
    if (r.nmitimen & kNmitimenNmi) cpu_raise_nmi(m);
    if (r.nmitimen & kNmitimenAutoJoypad) {
        t.joypad = JoypadRead::Starting;
        t.joypad_point = kJoypadReadStart;
    }
    if (m.host.frame_input) m.host.frame_input(m.host.user, m);
    if (t.frame_drawn) video_clear_rows_below(m);
}

// The frame's work before the line the line counter names. Line 0 is
// emulated but never drawn; lines 1 to the last visible line are drawn,
// each from the PPU state reached at the end of the line before it; the
// first line after them starts V-blank. HVBJOY starts each line with its
// H-blank flag clear.
void before_line(Machine& m) {
    Timing& t = m.timing;
    SystemRegisters& r = m.sysregs;
    if (t.frame_part == FramePart::Visible) {
        if (t.line <= t.last_visible_line) {
            if (t.line != 0 && t.frame_drawn) video_render_line(m);
            r.hvbjoy = 0;
            return;
        }
        vblank_start(m);
    }
    r.hvbjoy = t.joypad == JoypadRead::Reading ? 0x81 : 0x80;
}

// After a line end: whether the frame is complete.
bool frame_complete(const Machine& m) {
    const Timing& t = m.timing;
    return t.frame_part == FramePart::Vblank && t.line >= t.lines_per_frame;
}

void frame_end(Machine& m) {
    Timing& t = m.timing;
    t.line = 0;
    m.ppu.stat78 ^= 0x80;  // interlace field
    dsp_frame_end(m);

    if (t.frame_drawn && m.host.present_frame) m.host.present_frame(m.host.user, m);
    t.frame_counter++;
}

RunStop phase_stop(PhaseEnd e) { return e == PhaseEnd::Stepped ? RunStop::Instruction : RunStop::Requested; }

// The one loop behind every way of running: events at the driver's points,
// steps between them. Each case runs one event and falls through to the
// next point, so a line runs straight through; `t.point` always names where
// to resume.
RunStop drive(Machine& m, RunUnit unit) {
    Timing& t = m.timing;
    const bool single = unit == RunUnit::Instruction;
    const uint64_t steps_before = t.cpu_steps;
    for (;;) {
        switch (t.point) {
            case DriverPoint::FrameStart:
                frame_start(m);
                t.point = DriverPoint::LineStart;
                [[fallthrough]];
            case DriverPoint::LineStart:
                before_line(m);
                line_start(m);
                t.point = DriverPoint::Refresh;
                [[fallthrough]];
            case DriverPoint::Refresh:
                if (PhaseEnd e = run_phase(m, kRefreshPoint, single, steps_before); e != PhaseEnd::Reached) {
                    return phase_stop(e);
                }
                t.line_clock += kRefreshUnits;
                t.point = DriverPoint::Hblank;
                [[fallthrough]];
            case DriverPoint::Hblank:
                if (PhaseEnd e = run_phase(m, kHblankPoint, single, steps_before); e != PhaseEnd::Reached) {
                    return phase_stop(e);
                }
                hblank_start(m);
                t.point = DriverPoint::LineEnd;
                [[fallthrough]];
            case DriverPoint::LineEnd:
                if (PhaseEnd e = run_phase(m, kLineUnits, single, steps_before); e != PhaseEnd::Reached) {
                    return phase_stop(e);
                }
                line_end(m);
                if (frame_complete(m)) {
                    t.point = DriverPoint::FrameStart;
                    frame_end(m);
                    if (unit != RunUnit::UntilStopped) return RunStop::FrameEnd;
                } else {
                    t.point = DriverPoint::LineStart;
                    if (unit == RunUnit::Line) return RunStop::LineEnd;
                }
                // A hook at the frame's end may have asked for a stop.
                if (t.stop_requested) return RunStop::Requested;
                break;
        }
    }
}

// The cartridge chip's hooks, so the driver picks its step loop by them.
void attach_chip_hooks(Machine& m) {
    const Chip& chip = chip_for(m.cart.coprocessor);
    m.timing.chip_catch_up = chip.catch_up;
    m.timing.chip_line_end = chip.line_end;
}

}  // namespace

RunStop machine_run(Machine& m, RunUnit unit) {
    Timing& t = m.timing;
    t.stop_requested = false;
    if (m.cart.nes) {
        t.last_stop = nes_machine_run(m, unit);
        t.stop_requested = false;
        return t.last_stop;
    }
    const uint32_t pc = program_address(m);
    if (unit == RunUnit::Instruction) {
        m.debug.passing_break = pc;
    } else if (m.debug.passing_break != pc) {
        m.debug.passing_break = kNoBreakPass;  // the machine moved on since the stop
    }
    t.last_stop = drive(m, unit);
    t.stop_requested = false;
    return t.last_stop;
}

void driver_request_stop(Machine& m) {
    m.timing.stop_requested = true;
    m.timing.run_limit = INT32_MIN;
}

void run_frame(Machine& m) { machine_run(m, RunUnit::Frame); }

void run_line(Machine& m) { machine_run(m, RunUnit::Line); }

void driver_rewind_to_frame_start(Machine& m) {
    Timing& t = m.timing;
    t.point = DriverPoint::FrameStart;
    t.frame_part = FramePart::Visible;
    t.line = 0;
    t.joypad = JoypadRead::Idle;
    t.joypad_point = kNoHirq;
    timing_update_event_point(t);
    t.stop_requested = false;
    m.nes.point = NesPoint::FrameStart;
    m.nes.line = 0;
}

void machine_power_on(Machine& m) {
    if (m.cart.nes) {
        // The NES side's units replace the SNES ones; the SNES driver state
        // stays at a frame start so nothing else sees a run in progress.
        nes_side_power_on(m);
        m.timing.frame_counter = 0;
        driver_rewind_to_frame_start(m);
        m.timing.chip_catch_up = nullptr;
        m.timing.chip_line_end = nullptr;
        return;
    }
    ppu_power_on(m);
    sysregs_power_on(m);
    dma_power_on(m);
    apu_power_on(m);  // resets the sound generator too
    cpu_power_on(m);
    m.timing.frame_counter = 0;
    driver_rewind_to_frame_start(m);
    attach_chip_hooks(m);
}

void machine_reset(Machine& m) {
    if (m.cart.nes) {
        nes_side_reset(m);
        driver_rewind_to_frame_start(m);
        return;
    }
    chip_reset(m);
    ppu_reset(m);
    sysregs_reset(m);
    dma_reset(m);
    apu_reset(m);
    cpu_reset(m);
    driver_rewind_to_frame_start(m);
    attach_chip_hooks(m);
}

}  // namespace vt
