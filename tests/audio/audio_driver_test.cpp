// The eight-voice cartridge: a timer-driven audio driver keeps every voice
// playing and rewrites their pitches on each tick of timer 0.
#include <gtest/gtest.h>

#include "audio/dsp.h"
#include "core/driver.h"
#include "core/timing.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(AudioDriverCartridge, EightVoicesPlayAndTimerTicksDriveThePitches) {
    auto machine = machine_with_rom("audio_eight_voices");
    Machine& m = *machine;
    run_frames(m, 2);
    ASSERT_EQ(wram8(m, 0x0100), 0x01);
    EXPECT_EQ(dsp_sounding_voices(m.dsp), 0xFF);

    const uint8_t ticks_before = m.apu.ram[0x21];
    run_frames(m, 10);
    // Timer 0 with target 16 ticks every 16 x 128 audio cycles; the audio
    // unit runs 1.024 MHz, a line lasts 2 x kLineUnits master clocks of
    // 21.477 MHz.
    const int ticks = uint8_t(m.apu.ram[0x21] - ticks_before);
    const double cycles_per_line = 2.0 * kLineUnits * 1024000 / 21477272.73;
    EXPECT_NEAR(ticks, 10 * 262 * cycles_per_line / (16 * 128), 1.5);
    // The pitches follow the tick count; the frame may have ended half-way
    // through a tick's updates, so a voice may still hold the last tick's.
    const uint8_t now = m.apu.ram[0x21];
    for (int v = 0; v < 8; v++) {
        const uint8_t pitch = m.dsp.regs[v << 4 | kVoicePitchL];
        EXPECT_TRUE(pitch == uint8_t(now + v * 16) || pitch == uint8_t(now - 1 + v * 16)) << v;
    }
    EXPECT_EQ(dsp_sounding_voices(m.dsp), 0xFF);

    // The mix is audible on both sides.
    DspSamples s = dsp_finished_samples(m);
    int loud = 0;
    for (uint32_t i = 0; i < s.frames; i++) {
        if (s.samples[2 * i] > 1000 || s.samples[2 * i] < -1000) loud++;
    }
    EXPECT_GT(loud, 100);
}

}  // namespace
}  // namespace vt::test
