// The driver stops and resumes: stepping one instruction at a time, line by
// line, or with stops from breakpoints and hooks, ends in exactly the state
// of frames run straight through.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "cli/cli_runner.h"
#include "core/driver.h"
#include "core/main_cpu.h"
#include "frontend/demo_cartridge.h"
#include "support/test_rom.h"
#include "video/ppu.h"

namespace vt::test {
namespace {

std::unique_ptr<Machine> load(const std::string& name) {
    if (name != "demo") return machine_with_rom(name);
    auto m = make_machine();
    LoadResult r = load_builtin_demo(*m, LoadOptions{}, make_temp_folder("driver_stepping"));
    if (!r.loaded()) throw std::runtime_error(r.message);
    return m;
}

uint32_t program_address(const Machine& m) { return (uint32_t(m.cpu.pbr) << 16) | m.cpu.pc; }

// Everything a frame can change, compared between two machines.
void expect_same_machine(const Machine& a, const Machine& b) {
    const CpuCore<Machine>& ca = a.cpu;
    const CpuCore<Machine>& cb = b.cpu;
    EXPECT_EQ(ca.a, cb.a);
    EXPECT_EQ(ca.x, cb.x);
    EXPECT_EQ(ca.y, cb.y);
    EXPECT_EQ(ca.s, cb.s);
    EXPECT_EQ(ca.d, cb.d);
    EXPECT_EQ(program_address(a), program_address(b));
    EXPECT_EQ(ca.dbr, cb.dbr);
    EXPECT_EQ(cpu_status(ca), cpu_status(cb));
    EXPECT_EQ(ca.e, cb.e);
    EXPECT_EQ(ca.nmi_pending, cb.nmi_pending);
    EXPECT_EQ(ca.irq_sources, cb.irq_sources);
    EXPECT_EQ(ca.waiting, cb.waiting);
    EXPECT_TRUE(ca.next_step == cb.next_step);

    const Timing& ta = a.timing;
    const Timing& tb = b.timing;
    EXPECT_EQ(ta.line_clock, tb.line_clock);
    EXPECT_EQ(ta.line, tb.line);
    EXPECT_EQ(ta.hirq_point, tb.hirq_point);
    EXPECT_EQ(ta.cpu_steps, tb.cpu_steps);
    EXPECT_EQ(ta.frame_counter, tb.frame_counter);
    EXPECT_EQ(ta.point, tb.point);

    uint8_t sa[kSystemRegistersSaveSize], sb[kSystemRegistersSaveSize];
    sysregs_save(a, sa);
    sysregs_save(b, sb);
    EXPECT_TRUE(std::equal(sa, sa + sizeof sa, sb));
    EXPECT_EQ(a.mem.open_bus, b.mem.open_bus);
    EXPECT_TRUE(a.mem.wram == b.mem.wram) << "work RAM";
    EXPECT_TRUE(a.ppu.vram_lo == b.ppu.vram_lo && a.ppu.vram_hi == b.ppu.vram_hi) << "VRAM";
    EXPECT_TRUE(a.ppu.oam == b.ppu.oam) << "OAM";
    EXPECT_TRUE(a.ppu.cgram == b.ppu.cgram) << "CGRAM";
    EXPECT_TRUE(a.ppu.picture == b.ppu.picture) << "picture";
    EXPECT_TRUE(a.dma.regs == b.dma.regs) << "DMA registers";

    EXPECT_EQ(a.apu.pc, b.apu.pc);
    EXPECT_EQ(a.apu.clock, b.apu.clock);
    EXPECT_TRUE(a.apu.ram == b.apu.ram) << "audio RAM";
    EXPECT_TRUE(a.apu.timer_counter == b.apu.timer_counter);
    EXPECT_TRUE(a.dsp.regs == b.dsp.regs) << "sound generator registers";
    const DspSamples da = dsp_finished_samples(a);
    const DspSamples db = dsp_finished_samples(b);
    ASSERT_EQ(da.frames, db.frames);
    EXPECT_TRUE(std::equal(da.samples, da.samples + 2 * da.frames, db.samples)) << "audio samples";
}

// Test cartridges that exercise the driver's paths: H-IRQs, DMA stalls,
// HDMA, WAI idle steps, the audio CPU; and the demo, which does all of it.
const char* const kCartridges[] = {"demo", "video_hdma", "driver_wait", "audio_eight_voices", "video_heavy"};

TEST(DriverStepping, OneInstructionAtATimeEndsWhereAStraightFrameDoes) {
    for (const char* name : kCartridges) {
        SCOPED_TRACE(name);
        auto straight = load(name);
        auto stepped = load(name);
        run_frames(*straight, 3);
        run_frames(*stepped, 3);
        for (int frame = 0; frame < 2; frame++) {
            run_frame(*straight);
            uint64_t steps = 0;
            RunStop stop;
            while ((stop = machine_run(*stepped, RunUnit::Instruction)) == RunStop::Instruction) steps++;
            EXPECT_EQ(stop, RunStop::FrameEnd);
            EXPECT_GT(steps, 1000u);
            expect_same_machine(*straight, *stepped);
        }
    }
}

TEST(DriverStepping, LineByLineEndsWhereAStraightFrameDoes) {
    auto straight = load("demo");
    auto lines = load("demo");
    run_frames(*straight, 4);
    run_frames(*lines, 4);
    run_frame(*straight);
    int count = 1;
    while (machine_run(*lines, RunUnit::Line) == RunStop::LineEnd) count++;
    EXPECT_EQ(count, 262);
    EXPECT_EQ(lines->timing.line, 0);
    expect_same_machine(*straight, *lines);
}

TEST(DriverStepping, AStepRunsOneInstructionAndLeavesTheLineEventsForLater) {
    auto m = load("driver_timer");
    run_frames(*m, 1);
    const uint64_t steps = m->timing.cpu_steps;
    EXPECT_EQ(machine_run(*m, RunUnit::Instruction), RunStop::Instruction);
    EXPECT_EQ(m->timing.cpu_steps, steps + 1);
    EXPECT_EQ(m->timing.line, 0);
    EXPECT_EQ(m->timing.point, DriverPoint::Refresh);  // the frame and line 0 have started
    // Up to the refresh point: the step that reaches it does not run the
    // refresh; the next step does, first.
    while (m->timing.line_clock < kRefreshPoint) machine_run(*m, RunUnit::Instruction);
    const int32_t reached = m->timing.line_clock;
    EXPECT_EQ(m->timing.point, DriverPoint::Refresh);
    const uint64_t before = m->timing.cpu_steps;
    machine_run(*m, RunUnit::Instruction);
    EXPECT_EQ(m->timing.point, DriverPoint::Hblank);
    EXPECT_EQ(m->timing.cpu_steps, before + 1);
    EXPECT_GE(m->timing.line_clock, reached + kRefreshUnits);
}

TEST(DriverStepping, ABreakpointStopsBeforeItsInstructionAndTheRunResumesThere) {
    auto straight = load("demo");
    auto stopped = load("demo");
    run_frames(*straight, 5);
    run_frames(*stopped, 5);
    // The instruction a few steps into the next frame.
    auto probe = load("demo");
    run_frames(*probe, 5);
    for (int i = 0; i < 40 || cpu_is_idle(*probe); i++) machine_run(*probe, RunUnit::Instruction);
    const uint32_t target = program_address(*probe);
    const uint64_t steps_to_target = probe->timing.cpu_steps;

    stopped->debug.breakpoints = {0x00FFFFFF, target | kBreakpointDisabled, target};
    run_frame(*stopped);
    EXPECT_EQ(stopped->timing.last_stop, RunStop::Requested);
    EXPECT_EQ(program_address(*stopped), target);
    EXPECT_LE(stopped->timing.cpu_steps, steps_to_target);  // stopped before running it

    // Running again lets that instruction through; other passes stop again
    // until the breakpoint is gone.
    int stops = 1;
    while (machine_run(*stopped, RunUnit::Frame) == RunStop::Requested) {
        EXPECT_EQ(program_address(*stopped), target);
        if (++stops == 3) stopped->debug.breakpoints.clear();
    }
    EXPECT_GE(stops, 1);
    run_frame(*straight);
    expect_same_machine(*straight, *stopped);
}

TEST(DriverStepping, ADisabledBreakpointDoesNotStop) {
    auto m = load("driver_timer");
    run_frames(*m, 1);
    machine_run(*m, RunUnit::Instruction);
    m->debug.breakpoints = {program_address(*m) | kBreakpointDisabled};
    EXPECT_EQ(machine_run(*m, RunUnit::Frame), RunStop::FrameEnd);
}

TEST(DriverStepping, ASingleStepRunsTheInstructionUnderABreakpoint) {
    auto m = load("driver_timer");
    run_frames(*m, 1);
    machine_run(*m, RunUnit::Instruction);
    const uint32_t pc = program_address(*m);
    m->debug.breakpoints = {pc};
    const uint64_t steps = m->timing.cpu_steps;
    EXPECT_EQ(machine_run(*m, RunUnit::Instruction), RunStop::Instruction);
    EXPECT_EQ(m->timing.cpu_steps, steps + 1);
    EXPECT_NE(program_address(*m), pc);
}

TEST(DriverStepping, AStopRequestedByAHookReturnsAtTheNextStepBoundary) {
    auto straight = load("demo");
    auto hooked = load("demo");
    run_frames(*straight, 5);
    run_frames(*hooked, 5);
    hooked->host.frame_input = [](void*, Machine& mm) { driver_request_stop(mm); };  // at V-blank start
    EXPECT_EQ(machine_run(*hooked, RunUnit::UntilStopped), RunStop::Requested);
    EXPECT_EQ(hooked->timing.line, 225);
    EXPECT_EQ(hooked->timing.frame_part, FramePart::Vblank);
    hooked->host.frame_input = nullptr;
    EXPECT_EQ(machine_run(*hooked, RunUnit::Frame), RunStop::FrameEnd);
    run_frame(*straight);
    expect_same_machine(*straight, *hooked);
}

TEST(DriverStepping, ResetAndPowerOnPutTheDriverAtAFrameStart) {
    auto m = load("driver_timer");
    run_frames(*m, 1);
    for (int i = 0; i < 500; i++) machine_run(*m, RunUnit::Instruction);
    EXPECT_NE(m->timing.point, DriverPoint::FrameStart);
    machine_reset(*m);
    EXPECT_EQ(m->timing.point, DriverPoint::FrameStart);
    EXPECT_EQ(m->timing.line, 0);
    EXPECT_EQ(machine_run(*m, RunUnit::Frame), RunStop::FrameEnd);
    EXPECT_EQ(m->timing.line, 0);
}

}  // namespace
}  // namespace vt::test
