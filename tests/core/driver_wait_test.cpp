// The frame driver while the CPU sleeps in WAI: the idle steps it takes
// together must leave everything as single steps would. A breakpoint list
// that is not empty makes the driver take every step on its own, which
// gives the reference run.
#include <gtest/gtest.h>

#include <vector>

#include "cart/bus.h"
#include "core/driver.h"
#include "support/bus_recorder.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

struct WaitRun {
    std::vector<RecordedWrite> interrupts;
    uint64_t cpu_steps = 0;
    int32_t line_clock = 0;
    int32_t audio_clock = 0;
    uint16_t audio_pc = 0;
    uint8_t wake_ups = 0;
};

// NMITIMEN, HTIME and VTIME as the test writes them.
struct TimerSetting {
    uint8_t nmitimen;
    uint16_t htime;
    uint16_t vtime;
};

WaitRun run_sleeping(const TimerSetting& t, bool single_steps) {
    auto m = machine_with_rom("driver_wait");
    run_frames(*m, 1);
    install_recorder(*m, 0x50);
    if (single_steps) m->debug.breakpoints.push_back(0xFFFFFF);  // never reached
    bus_write(*m, 0, 0x4207, uint8_t(t.htime));
    bus_write(*m, 0, 0x4208, uint8_t(t.htime >> 8));
    bus_write(*m, 0, 0x4209, uint8_t(t.vtime));
    bus_write(*m, 0, 0x420A, uint8_t(t.vtime >> 8));
    bus_write(*m, 0, 0x4200, t.nmitimen);
    recorded_writes().clear();
    run_frames(*m, 3);
    WaitRun r;
    r.interrupts = recorded_writes();
    r.cpu_steps = m->timing.cpu_steps;
    r.line_clock = m->timing.line_clock;
    r.audio_clock = m->apu.clock;
    r.audio_pc = m->apu.pc;
    r.wake_ups = m->mem.wram[0x100];
    return r;
}

TEST(DriverWait, IdleStepsTakenTogetherLandWhereSingleStepsWould) {
    const TimerSetting settings[] = {
        {0x80, 0, 0},      // NMI only
        {0x90, 100, 0},    // NMI and H-IRQ at dot 100 on every line
        {0xB0, 251, 40},   // H-IRQ at dot 251 of line 40
        {0x20, 0, 130},    // V-IRQ alone at line 130
        {0x90, 341, 0},    // an H-IRQ that never fires
    };
    for (const TimerSetting& t : settings) {
        SCOPED_TRACE(testing::Message() << "NMITIMEN " << int(t.nmitimen) << " HTIME " << t.htime << " VTIME "
                                        << t.vtime);
        const WaitRun together = run_sleeping(t, false);
        const WaitRun single = run_sleeping(t, true);
        ASSERT_EQ(together.interrupts.size(), single.interrupts.size());
        for (size_t i = 0; i < single.interrupts.size(); i++) {
            EXPECT_EQ(together.interrupts[i].addr, single.interrupts[i].addr) << i;
            EXPECT_EQ(together.interrupts[i].line, single.interrupts[i].line) << i;
            EXPECT_EQ(together.interrupts[i].line_clock, single.interrupts[i].line_clock) << i;
        }
        EXPECT_EQ(together.cpu_steps, single.cpu_steps);
        EXPECT_EQ(together.line_clock, single.line_clock);
        EXPECT_EQ(together.audio_clock, single.audio_clock);
        EXPECT_EQ(together.audio_pc, single.audio_pc);
        EXPECT_EQ(together.wake_ups, single.wake_ups);
        EXPECT_GE(single.interrupts.size(), 3u);  // at least the NMIs woke it
    }
}

}  // namespace
}  // namespace vt::test
