// The audio unit's timing as a saved state holds it beside the audio CPU's
// image: the audio clock, the per-line time and the timers' phases.
#include "audio/apu.h"
#include "core/machine.h"
#include "core/state_io.h"
#include "core/timing.h"

namespace vt {

namespace {

// The longest timer period: target 0 (256 ticks) of timer 0 or 1.
constexpr uint32_t kLongestTimerPeriod = 256 * 1280;

}  // namespace

// The audio clock stays within a line of the main CPU's and the per-line
// time within a line and an instruction; a timer's phase is below its
// longest period. Keeping loaded values there bounds the catch-up and
// timer loops that follow.
template <class Io>
void apu_timing_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.apu;
    io.i32_within(s.clock, -kLineUnits, 2 * kLineUnits);
    io.i32_within(s.line_time, 0, 2 * kLineUnits);
    for (auto& elapsed : s.timer_elapsed) io.u32_at_most(elapsed, kLongestTimerPeriod);
    for (auto& counter : s.timer_counter) io.u8_masked(counter, 0x0F);
}

template void apu_timing_io(StateWriter&, const Machine&);
template void apu_timing_io(StateReader&, Machine&);

void apu_save_timing(const Machine& m, uint8_t* out) {
    StateWriter w{out};
    apu_timing_io(w, m);
}

void apu_load_timing(Machine& m, const uint8_t* in) {
    StateReader r{in};
    apu_timing_io(r, m);
}

}  // namespace vt
