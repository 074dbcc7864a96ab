// The audio unit's timing as a saved state holds it beside the audio CPU's
// image: the audio clock with its fraction and the timers' phases.
#include "audio/apu.h"
#include "core/machine.h"
#include "core/state_io.h"
#include "core/timing.h"

namespace vt {

namespace {

// The format byte of this layout. The program's earlier layout held the
// per-line time where the fraction, the divider and this byte now lie, as
// a number below 65536: its format byte reads 0.
constexpr uint8_t kTimingFormat = 1;

}  // namespace

// The audio clock stays within a line of the main CPU's. The timers are
// saved as they stand after the cycles run so far.
template <class Io>
void apu_timing_io(Io& io, IoMachine<Io>& m) {
    auto& s = m.apu;
    io.i32_within(s.clock, -kLineUnits, 2 * kLineUnits);
    uint16_t fraction = s.clock_fraction;
    ApuTimers timers = apu_timers_now(s);
    uint8_t divider = uint8_t(s.cycles & 127);
    uint8_t format = kTimingFormat;
    io.u16(fraction);
    io.u8_masked(divider, 127);
    io.u8(format);
    for (uint8_t& stage2 : timers.stage2) {
        uint32_t wide = stage2;
        io.u32_at_most(wide, 255);
        stage2 = uint8_t(wide);
    }
    for (uint8_t& counter : timers.counter) io.u8_masked(counter, 0x0F);
    if constexpr (Io::loading) {
        if (format != kTimingFormat) {
            // An earlier layout, or damage: keep the clock and the counters,
            // start the rest afresh. TEST was not honoured then: its reset
            // value stands.
            fraction = 0;
            divider = 0;
            timers.stage2.fill(0);
            s.io[kIoTest] = kTestAfterReset;
            apu_test_changed(s);
        }
        s.clock_fraction = fraction;
        s.cycles = s.timers_synced = divider;
        s.timer_stage2 = timers.stage2;
        s.timer_counter = timers.counter;
    }
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
