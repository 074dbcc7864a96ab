// Frame driver: where interrupts fire, V-blank, H-blank, the line clock carry,
// frame skip and the idle turn.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "core/driver.h"
#include "core/main_cpu.h"
#include "state/state_file.h"
#include "support/bus_recorder.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

constexpr uint16_t kIrqMark = 0x5000;
constexpr uint16_t kNmiMark = 0x5001;

// The timer probe cartridge after its start-up code has run, with the
// recorder at $5000 and nothing recorded yet.
std::unique_ptr<Machine> timer_probe() {
    auto m = machine_with_rom("driver_timer");
    run_frames(*m, 1);
    install_recorder(*m, 0x50);
    return m;
}

std::vector<RecordedWrite> marks(uint16_t addr) {
    std::vector<RecordedWrite> out;
    for (const auto& w : recorded_writes())
        if (w.addr == addr) out.push_back(w);
    return out;
}

void write_reg(Machine& m, uint16_t addr, uint8_t value) { bus_write(m, 0, addr, value); }

void set_htime(Machine& m, uint16_t h) {
    write_reg(m, 0x4207, uint8_t(h));
    write_reg(m, 0x4208, uint8_t(h >> 8));
}

void set_vtime(Machine& m, uint16_t v) {
    write_reg(m, 0x4209, uint8_t(v));
    write_reg(m, 0x420A, uint8_t(v >> 8));
}

// Where each main-CPU step starts, as the trace hook sees it before the
// step runs, and whether the timer IRQ flag and the NMI are pending by then.
// The driver raises an interrupt at the start of a step, before the hook.
struct StepStart {
    uint16_t line;
    int32_t clock;
    bool timer_flag;
    bool nmi_pending;
};

std::vector<StepStart>& step_starts() {
    static std::vector<StepStart> steps;
    return steps;
}

void watch_steps(Machine& m) {
    step_starts().clear();
    m.debug.trace_step = [](Machine& mm) {
        step_starts().push_back(
            {mm.timing.line, mm.timing.line_clock, (mm.sysregs.timeup & 0x80) != 0, mm.cpu.nmi_pending != 0});
    };
}

// A step at which a flag became set, with the step before it.
struct Raise {
    StepStart before;
    StepStart at;
};

std::vector<Raise> raises(bool StepStart::*flag) {
    const auto& s = step_starts();
    std::vector<Raise> out;
    for (size_t i = 1; i < s.size(); i++) {
        if (!(s[i - 1].*flag) && s[i].*flag) out.push_back({s[i - 1], s[i]});
    }
    return out;
}

// The raise happened at the first step of a line.
bool at_first_step_of_line(const Raise& r) { return r.at.line != r.before.line; }

// The raise happened at the first step boundary at which the line clock
// reached `point`: not a step earlier, not a step later.
bool at_first_step_reaching(const Raise& r, int32_t point) {
    return r.at.line == r.before.line && r.before.clock < point && r.at.clock >= point;
}

// The same for a point so early in the line that the clock's carry from
// the line before may already have passed it at the first step.
bool at_first_step_reaching_early(const Raise& r, int32_t point) {
    return r.at.clock >= point && (at_first_step_of_line(r) || r.before.clock < point);
}

// The timer IRQ is raised 10 master clocks (5 units) after the counters
// match: dot HTIME is at clock 2 * HTIME.
constexpr int32_t kIrqDelay = 5;

std::string where(const Raise& r) {
    return "line " + std::to_string(r.at.line) + " at " + std::to_string(r.at.clock) + ", step before at line " +
           std::to_string(r.before.line) + " clock " + std::to_string(r.before.clock);
}

TEST(DriverTimerIrq, HtimeZeroFiresJustAfterTheStartOfEveryLine) {
    auto m = timer_probe();
    set_htime(*m, 0);
    write_reg(*m, 0x4200, 0x10);
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 2);
    EXPECT_EQ(marks(kIrqMark).size(), 2u * 262u);  // the handler ran once per line
    const auto r = raises(&StepStart::timer_flag);
    ASSERT_EQ(r.size(), 2u * 262u - 1u);  // the first line's raise has no step before it here
    std::set<int> lines;
    for (const Raise& x : r) {
        EXPECT_TRUE(at_first_step_reaching_early(x, kIrqDelay)) << where(x);
        lines.insert(x.at.line);
    }
    EXPECT_EQ(lines.size(), 262u);
}

TEST(DriverTimerIrq, HtimeMidLineFiresAtTheFirstStepReachingTwiceHtime) {
    // Dot 100 lies between line events; dot 140 (clock 280) falls just
    // after the refresh point, whose 20 units move the clock past it.
    for (uint16_t htime : {100, 140, 263}) {
        SCOPED_TRACE(htime);
        auto m = timer_probe();
        set_htime(*m, htime);
        write_reg(*m, 0x4200, 0x10);
        watch_steps(*m);
        recorded_writes().clear();
        run_frames(*m, 1);
        EXPECT_EQ(marks(kIrqMark).size(), 262u);
        const auto r = raises(&StepStart::timer_flag);
        ASSERT_EQ(r.size(), 262u);
        for (const Raise& x : r) EXPECT_TRUE(at_first_step_reaching(x, 2 * htime + kIrqDelay)) << where(x);
    }
}

// The H counter runs 0-339: HTIME 339 matches at the line's last dot and
// its IRQ comes early in the next line; 340 and above never match.
TEST(DriverTimerIrq, Htime339FiresEarlyOnTheNextLineAnd340Never) {
    auto m = timer_probe();
    set_htime(*m, 339);
    write_reg(*m, 0x4200, 0x10);
    run_frames(*m, 1);
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 2);
    EXPECT_EQ(marks(kIrqMark).size(), 2u * 262u);
    const auto r = raises(&StepStart::timer_flag);
    ASSERT_GE(r.size(), 2u * 262u - 1u);  // the first raise may come before the first step watched
    for (const Raise& x : r) EXPECT_TRUE(at_first_step_reaching_early(x, 2 * 339 + kIrqDelay - 680)) << where(x);

    for (uint16_t htime : {340, 341, 511}) {
        set_htime(*m, htime);
        run_frames(*m, 1);
        watch_steps(*m);
        recorded_writes().clear();
        run_frames(*m, 2);
        EXPECT_TRUE(marks(kIrqMark).empty()) << htime;
        EXPECT_TRUE(raises(&StepStart::timer_flag).empty()) << htime;
    }
}

// The IRQ of the last line's HTIME 339 comes in the next frame's line 0;
// a state taken between the frames keeps it.
TEST(DriverTimerIrq, Htime339OnTheLastLineSurvivesAStateBetweenFrames) {
    auto m = timer_probe();
    set_vtime(*m, 261);
    set_htime(*m, 339);
    write_reg(*m, 0x4200, 0x30);
    run_frames(*m, 1);
    const std::vector<uint8_t> state = state_file_bytes(*m, "", "", StateOptions{});
    auto copy = machine_with_rom("driver_timer");
    std::string error;
    ASSERT_TRUE(load_state_bytes(*copy, state.data(), state.size(), StateOptions{}, &error)) << error;
    for (Machine* x : {m.get(), copy.get()}) {
        install_recorder(*x, 0x50);
        recorded_writes().clear();
        run_frames(*x, 1);
        const auto irqs = marks(kIrqMark);
        ASSERT_EQ(irqs.size(), 1u);
        EXPECT_EQ(irqs[0].line, 0);
    }
}

TEST(DriverTimerIrq, VirqAloneFiresAtTheFirstStepOfLineVtime) {
    auto m = timer_probe();
    set_vtime(*m, 100);
    write_reg(*m, 0x4200, 0x20);
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 3);
    auto irqs = marks(kIrqMark);
    ASSERT_EQ(irqs.size(), 3u);
    for (const auto& w : irqs) EXPECT_EQ(w.line, 100);
    const auto r = raises(&StepStart::timer_flag);
    ASSERT_EQ(r.size(), 3u);
    for (const Raise& x : r) {
        EXPECT_EQ(x.at.line, 100);
        EXPECT_TRUE(at_first_step_reaching_early(x, kIrqDelay)) << where(x);
    }
}

TEST(DriverTimerIrq, VirqAtLineZeroAndBeyondTheFrame) {
    auto m = timer_probe();
    set_vtime(*m, 0);
    write_reg(*m, 0x4200, 0x20);
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 3);
    auto irqs = marks(kIrqMark);
    ASSERT_EQ(irqs.size(), 3u);
    for (const auto& w : irqs) EXPECT_EQ(w.line, 0);
    // The first frame's raise comes at the first step watched.
    const auto r = raises(&StepStart::timer_flag);
    ASSERT_EQ(r.size(), 2u);
    for (const Raise& x : r) {
        EXPECT_EQ(x.at.line, 0);
        EXPECT_TRUE(at_first_step_reaching_early(x, kIrqDelay)) << where(x);
    }

    set_vtime(*m, 262);  // at or above lines per frame: never
    recorded_writes().clear();
    run_frames(*m, 2);
    EXPECT_TRUE(marks(kIrqMark).empty());
}

TEST(DriverTimerIrq, HandVTogetherFireOnceOnTheLineAtTheDot) {
    auto m = timer_probe();
    set_vtime(*m, 50);
    set_htime(*m, 200);
    write_reg(*m, 0x4200, 0x30);
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 2);
    auto irqs = marks(kIrqMark);
    ASSERT_EQ(irqs.size(), 2u);
    for (const auto& w : irqs) EXPECT_EQ(w.line, 50);
    const auto r = raises(&StepStart::timer_flag);
    ASSERT_EQ(r.size(), 2u);
    for (const Raise& x : r) {
        EXPECT_EQ(x.at.line, 50);
        EXPECT_TRUE(at_first_step_reaching(x, 400 + kIrqDelay)) << where(x);
    }
}

TEST(DriverNmi, RaisedOnceAtTheFirstStepAfterTheLastVisibleLine) {
    auto m = timer_probe();
    write_reg(*m, 0x4200, 0x80);
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 2);
    ASSERT_EQ(marks(kNmiMark).size(), 2u);
    auto r = raises(&StepStart::nmi_pending);
    ASSERT_EQ(r.size(), 2u);
    for (const Raise& x : r) {
        EXPECT_EQ(x.at.line, 225);
        EXPECT_TRUE(at_first_step_of_line(x)) << where(x);
    }

    m->timing.last_visible_line = 239;  // overscan
    watch_steps(*m);
    recorded_writes().clear();
    run_frames(*m, 1);
    ASSERT_EQ(marks(kNmiMark).size(), 1u);
    r = raises(&StepStart::nmi_pending);
    ASSERT_EQ(r.size(), 1u);
    EXPECT_EQ(r[0].at.line, 240);
    EXPECT_TRUE(at_first_step_of_line(r[0])) << where(r[0]);
}

TEST(DriverNmi, PendingNmiIsDroppedAtFrameStart) {
    auto m = timer_probe();
    cpu_raise_nmi(*m);  // raised, not yet taken
    recorded_writes().clear();
    run_frames(*m, 1);  // NMI disabled in NMITIMEN, so none is raised in this frame
    EXPECT_TRUE(marks(kNmiMark).empty());
}

TEST(DriverNmi, RdnmiFlagSetAtVblankAndClearedByRead) {
    auto m = timer_probe();
    run_frames(*m, 1);
    // Between frames the machine is in V-blank, after the flag was set.
    EXPECT_EQ(m->sysregs.rdnmi & 0x80, 0x80);
    uint8_t first = bus_read(*m, 0, 0x4210);
    uint8_t second = bus_read(*m, 0, 0x4210);
    EXPECT_EQ(first & 0x8F, 0x82);
    EXPECT_EQ(second & 0x8F, 0x02);
}

TEST(DriverLines, LineClockCarriesTheOvershootIntoTheNextLine) {
    auto m = machine_with_rom("driver_probe");
    run_frames(*m, 1);
    install_recorder(*m, 0x50);
    run_frames(*m, 1);
    const auto& w = recorded_writes();
    ASSERT_GT(w.size(), 1000u);
    // One loop iteration (LDA abs, STA abs, BRA from slow ROM) costs 41
    // units; crossing the refresh point adds 20 (40 master clocks).
    // Nothing else is gained or lost across line ends.
    std::vector<int> per_line_refreshes(262, 0);
    for (size_t i = 1; i < w.size(); i++) {
        int lines = (int(w[i].line) - int(w[i - 1].line) + 262) % 262;
        int delta = lines * 680 + w[i].line_clock - w[i - 1].line_clock;
        ASSERT_TRUE(delta == 41 || delta == 61) << "at write " << i << " delta " << delta;
    }
}

// HVBJOY: bit 7 from line 225 on, bit 6 from dot 274 of every line, bit 0
// while the automatic joypad read runs: from dot 33 of line 225 for 4224
// master clocks, to clock 138 of line 228. Each flag changes at the first
// step boundary at or past its point.
TEST(DriverLines, HvbjoyFollowsVblankHblankAndTheJoypadRead) {
    auto m = machine_with_rom("driver_probe");
    write_reg(*m, 0x4200, 0x01);
    run_frames(*m, 1);
    install_recorder(*m, 0x50);
    run_frames(*m, 1);
    // Loop: LDA HVBJOY (15 units), STA $5000 (15), BRA (11). The store is
    // recorded 15 units into its step, so the read's step started 30 units
    // before the recorded clock.
    int busy_reads = 0;
    for (const auto& w : recorded_writes()) {
        if (w.line_clock < 45) continue;  // the read belonged to the line before
        const int line = w.line;
        const int read_at = w.line_clock - 30;
        const uint8_t expect_v = line >= 225 ? 0x80 : 0x00;
        const bool busy = (line == 225 && read_at >= 66) || line == 226 || line == 227 || (line == 228 && read_at < 138);
        const uint8_t expect_h = read_at >= 548 ? 0x40 : 0x00;
        ASSERT_EQ(w.value & 0xC1, expect_v | (busy ? 1 : 0) | expect_h) << "line " << line << " at " << read_at;
        busy_reads += busy;
    }
    EXPECT_GT(busy_reads, 40);
}

TEST(DriverFrames, AutomaticJoypadReadFillsJoyRegistersOnlyWhenEnabled) {
    auto m = timer_probe();
    m->input.record[0] = joypad_record(kPadA | kPadStart);
    m->input.present[0] = 0xFFFF;
    m->input.record[1] = joypad_record(kPadL);
    m->input.present[1] = 0xFFFF;
    run_frames(*m, 1);
    EXPECT_EQ(m->sysregs.joy[0], 0);

    write_reg(*m, 0x4200, 0x01);
    run_frames(*m, 1);
    EXPECT_EQ(bus_read(*m, 0, 0x4218), 0x80);  // A
    EXPECT_EQ(bus_read(*m, 0, 0x4219), 0x10);  // Start
    EXPECT_EQ(bus_read(*m, 0, 0x421A), 0x20);  // L
    EXPECT_EQ(bus_read(*m, 0, 0x421B), 0x00);
    // Serial reads after the automatic read continue with bits 16-31.
    for (int i = 0; i < 16; i++) EXPECT_EQ(bus_read(*m, 0, 0x4016) & 1, 1);
}

TEST(DriverPower, PowerOnStartsAtTheResetVectorAndResetKeepsRegisters) {
    auto m = machine_with_rom("driver_timer");
    EXPECT_EQ(m->cpu.pbr, 0);
    EXPECT_EQ(m->cpu.e, 1);
    EXPECT_EQ(m->timing.frame_counter, 0u);
    const uint16_t reset_pc = m->cpu.pc;
    EXPECT_GE(reset_pc, 0x8000);

    run_frames(*m, 2);
    EXPECT_EQ(m->cpu.e, 0);  // the program switched to native mode
    m->cpu.a = 0x1234;
    machine_reset(*m);
    EXPECT_EQ(m->cpu.pc, reset_pc);
    EXPECT_EQ(m->cpu.e, 1);
    EXPECT_EQ(m->cpu.a, 0x1234);
    EXPECT_EQ(m->sysregs.nmitimen, 0);
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

TEST(DriverDma, InterruptsRaisedDuringDmaAreTakenAfterItEnds) {
    auto m = machine_with_rom("driver_dma_irq");
    run_frames(*m, 1);  // the program waits for the go
    install_recorder(*m, 0x50);
    set_htime(*m, 100);
    write_reg(*m, 0x4200, 0x10);  // H-IRQ on every line
    m->mem.wram[0x1F00] = 1;
    run_frames(*m, 2);

    const auto& w = recorded_writes();
    size_t start = w.size(), end = w.size();
    for (size_t i = 0; i < w.size(); i++) {
        if (w[i].addr == 0x5002 && start == w.size()) start = i;
        if (w[i].addr == 0x5001 && end == w.size()) end = i;
    }
    ASSERT_LT(start, w.size());
    ASSERT_EQ(end, start + 1) << "no interrupt is taken while the transfer runs";
    // 16 KiB at 4 units a byte: the CPU is stalled for at least 65,536 units.
    int64_t elapsed = int64_t(int(w[end].line) - int(w[start].line)) * 680 + w[end].line_clock - w[start].line_clock;
    if (w[end].frame != w[start].frame) elapsed += int64_t(262) * 680;
    EXPECT_GE(elapsed, 16384 * 4);
    EXPECT_LT(elapsed, 16384 * 4 + 96 * 20 + 200);  // plus one refresh per line and the instruction
    // The instruction after the transfer runs, then the pending IRQ is entered.
    ASSERT_LT(end + 1, w.size());
    EXPECT_EQ(w[end + 1].addr, 0x5000);
}

}  // namespace
}  // namespace vt::test
