// The audio unit's timing as a saved state holds it beside the audio CPU's
// image: the audio clock, the per-line time and the timers' phases.
#include <algorithm>

#include "audio/apu.h"
#include "core/byte_stream.h"
#include "core/machine.h"
#include "core/timing.h"

namespace vt {

namespace {

// The longest timer period: target 0 (256 ticks) of timer 0 or 1.
constexpr uint32_t kLongestTimerPeriod = 256 * 1280;

}  // namespace

void apu_save_timing(const Machine& m, uint8_t* out) {
    const Apu& s = m.apu;
    ByteWriter w{out};
    w.i32(s.clock);
    w.i32(s.line_time);
    for (uint32_t elapsed : s.timer_elapsed) w.u32(elapsed);
    for (uint8_t counter : s.timer_counter) w.u8(counter);
}

// The audio clock stays within a line of the main CPU's and the per-line
// time within a line and an instruction; a timer's phase is below its
// longest period. Keeping loaded values there bounds the catch-up and
// timer loops that follow.
void apu_load_timing(Machine& m, const uint8_t* in) {
    Apu& s = m.apu;
    ByteReader r{in};
    s.clock = std::clamp(r.i32(), -kLineUnits, 2 * kLineUnits);
    s.line_time = std::clamp(r.i32(), 0, 2 * kLineUnits);
    for (uint32_t& elapsed : s.timer_elapsed) elapsed = std::min(r.u32(), kLongestTimerPeriod);
    for (uint8_t& counter : s.timer_counter) counter = r.u8() & 0x0F;
}

}  // namespace vt
