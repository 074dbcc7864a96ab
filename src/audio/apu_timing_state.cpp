// The audio unit's timing as a saved state holds it beside the audio CPU's
// image: the audio clock, the per-line time and the timers' phases.
#include <algorithm>

#include "audio/apu.h"
#include "core/machine.h"
#include "core/timing.h"

namespace vt {

namespace {

void put32(uint8_t*& p, uint32_t v) {
    for (int i = 0; i < 4; i++) *p++ = uint8_t(v >> (8 * i));
}

uint32_t get32(const uint8_t*& p) {
    uint32_t v = 0;
    for (int i = 0; i < 4; i++) v |= uint32_t(*p++) << (8 * i);
    return v;
}

// The longest timer period: target 0 (256 ticks) of timer 0 or 1.
constexpr uint32_t kLongestTimerPeriod = 256 * 1280;

}  // namespace

void apu_save_timing(const Machine& m, uint8_t* out) {
    const Apu& s = m.apu;
    put32(out, uint32_t(s.clock));
    put32(out, uint32_t(s.line_time));
    for (uint32_t elapsed : s.timer_elapsed) put32(out, elapsed);
    for (uint8_t counter : s.timer_counter) *out++ = counter;
}

// The audio clock stays within a line of the main CPU's and the per-line
// time within a line and an instruction; a timer's phase is below its
// longest period. Keeping loaded values there bounds the catch-up and
// timer loops that follow.
void apu_load_timing(Machine& m, const uint8_t* in) {
    Apu& s = m.apu;
    s.clock = std::clamp(int32_t(get32(in)), -kLineUnits, 2 * kLineUnits);
    s.line_time = std::clamp(int32_t(get32(in)), 0, 2 * kLineUnits);
    for (uint32_t& elapsed : s.timer_elapsed) elapsed = std::min(get32(in), kLongestTimerPeriod);
    for (uint8_t& counter : s.timer_counter) counter = *in++ & 0x0F;
}

}  // namespace vt
