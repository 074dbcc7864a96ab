// The NES side's line loop: at the start of each line the picture unit
// does its work for the line, then the CPU runs the line's 341 dots (113 2/3
// cycles) with the mapper's scanline counter at dot 260. The loop keeps its
// place in NesSide::point, so a run that stops between instructions resumes
// there.
#include "audio/dsp.h"
#include "core/driver.h"
#include "core/machine.h"
#include "nes/nes_cpu_core.h"
#include "nes/nes_side.h"

namespace vt {

namespace {

struct SideBus {
    NesSide& s;
    uint8_t read(uint16_t address) { return nes_read(s, address); }
    void write(uint16_t address, uint8_t value) { nes_write(s, address, value); }
    bool irq() {
        if (s.mapper_state.irq_line) return true;
        // The sound unit's IRQ as of this cycle.
        if (s.cycles != s.apu_cycles) {
            nes_apu_run(s.apu, uint32_t(s.cycles - s.apu_cycles));
            s.apu_cycles = s.cycles;
        }
        return nes_apu_irq(s.apu);
    }
};

// Runs instructions until the line's clock reaches `limit`. In single-step
// mode one instruction at most. Returns whether it stopped early.
bool run_until(Machine& m, NesSide& s, int32_t limit, bool single, uint64_t& steps) {
    SideBus bus{s};
    nes_core::Core<SideBus> core{s.cpu, bus};
    const Timing& t = m.timing;
    while (s.clock < limit) {
        if (t.stop_requested) return true;
        if (single && steps) return true;
        s.instruction_pc = s.cpu.pc;
        core.step();
        steps++;
    }
    return false;
}

void frame_start(Machine& m, NesSide& s) {
    m.timing.frame_drawn = m.host.draw_frame;
    s.frame_dots = 0;
}

void line_start(Machine& m, NesSide& s) {
    // The pre-render line is a dot short on odd frames while rendering.
    s.line_dots = nes_ppu_line_dots(s.ppu, s.line);
    nes_ppu_line(s.ppu, s.line, m.timing.frame_drawn ? m.ppu.picture.data() : nullptr);
    const bool now = nes_ppu_nmi_line(s.ppu);
    if (now && !s.nmi_line) s.cpu.nmi_pending = true;
    s.nmi_line = now;
    if (s.line == kNesPpuVblankLine && m.host.frame_input) m.host.frame_input(m.host.user, m);
}

void counter_point(NesSide& s) {
    if (s.mapper->line_counter && (s.line < 240 || s.line == kNesPpuPreRenderLine) && nes_ppu_rendering(s.ppu)) {
        s.mapper->line_counter(s);
    }
}

void line_end(NesSide& s) {
    s.clock -= s.line_dots;
    s.frame_dots += uint32_t(s.line_dots);
    if (s.cycles != s.apu_cycles) {
        nes_apu_run(s.apu, uint32_t(s.cycles - s.apu_cycles));
        s.apu_cycles = s.cycles;
    }
    // The DMC's sample fetches held the CPU for these cycles.
    if (const uint32_t stall = nes_apu_take_stall(s.apu)) {
        s.cycles += stall;
        s.clock += int32_t(stall) * kNesDotsPerCycle;
    }
    s.line++;
}

void frame_end(Machine& m, NesSide& s) {
    s.line = 0;
    Dsp& d = m.dsp;
    const uint32_t frames = nes_frame_samples(s.sample_phase, s.frame_dots);
    nes_apu_frame_end(s.apu, d.buffers[d.filling].data(), frames);
    d.finished_frames = frames;
    d.filling ^= 1;
    if (m.timing.frame_drawn && m.host.present_frame) m.host.present_frame(m.host.user, m);
    m.timing.frame_counter++;
}

}  // namespace

void nes_cpu_step(NesSide& s) {
    SideBus bus{s};
    nes_core::Core<SideBus> core{s.cpu, bus};
    s.instruction_pc = s.cpu.pc;
    core.step();
}

uint32_t nes_frame_samples(uint64_t& phase, uint32_t dots) {
    // The CPU runs at 236.25 MHz / 132 = 19,687,500 / 11 Hz, three dots a
    // cycle: a dot lasts 11 / 59,062,500 s.
    constexpr uint64_t kDotsDenominator = 59'062'500;
    phase += uint64_t(dots) * 44'100 * 11;
    const uint64_t frames = phase / kDotsDenominator;
    phase %= kDotsDenominator;
    return uint32_t(frames < kDspMaxFrames ? frames : kDspMaxFrames);
}

namespace {

RunStop run_side(Machine& m, RunUnit unit, uint64_t& steps) {
    NesSide& s = m.nes;
    Timing& t = m.timing;
    const bool single = unit == RunUnit::Instruction;
    for (;;) {
        switch (s.point) {
            case NesPoint::FrameStart:
                frame_start(m, s);
                s.point = NesPoint::LineStart;
                [[fallthrough]];
            case NesPoint::LineStart:
                line_start(m, s);
                s.point = NesPoint::Counter;
                [[fallthrough]];
            case NesPoint::Counter:
                if (run_until(m, s, kNesCounterDot, single, steps)) {
                    return t.stop_requested ? RunStop::Requested : RunStop::Instruction;
                }
                counter_point(s);
                s.point = NesPoint::LineEnd;
                [[fallthrough]];
            case NesPoint::LineEnd:
                if (run_until(m, s, s.line_dots, single, steps)) {
                    return t.stop_requested ? RunStop::Requested : RunStop::Instruction;
                }
                line_end(s);
                if (s.line >= kNesLines) {
                    s.point = NesPoint::FrameStart;
                    frame_end(m, s);
                    if (unit != RunUnit::UntilStopped) return RunStop::FrameEnd;
                } else {
                    s.point = NesPoint::LineStart;
                    if (unit == RunUnit::Line) return RunStop::LineEnd;
                }
                if (t.stop_requested) return RunStop::Requested;
                break;
        }
    }
}

}  // namespace

RunStop nes_machine_run(Machine& m, RunUnit unit) {
    uint64_t steps = 0;
    const RunStop stop = run_side(m, unit, steps);
    m.timing.cpu_steps += steps;
    return stop;
}

}  // namespace vt
