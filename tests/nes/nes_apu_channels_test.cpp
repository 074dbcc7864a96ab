// The sound unit's channels through the interface: pitch measured in the
// output, length counters, envelopes, sweep and its muting, noise.
#include <gtest/gtest.h>

#include "nes/nes_apu_harness.h"

namespace vt::test {
namespace {

void write(NesApu& a, uint16_t address, uint8_t value) { nes_apu_write(a, address, value); }

// ------------------------------------------------------------------ pitch

struct PitchCase {
    const char* name;
    uint16_t period;
};

TEST(NesApuPitch, PulseFrequencyFollowsTheTimerPeriod) {
    // f = CPU / (16 (t + 1)).
    const PitchCase cases[] = {{"A4", 0x0FD}, {"A3", 0x1FC}, {"high", 0x07F}, {"low", 0x3F8}, {"very high", 0x020}};
    for (const auto& c : cases) {
        for (int channel = 0; channel < 2; channel++) {
            auto a = powered_apu();
            const uint16_t base = uint16_t(0x4000 + 4 * channel);
            write(*a, 0x4015, 0x03);
            write(*a, base, 0xBF);      // 50 % duty, halt, constant volume 15
            write(*a, base + 1, 0x08);  // sweep off, negate (no overflow muting)
            write(*a, base + 2, uint8_t(c.period));
            write(*a, base + 3, uint8_t(c.period >> 8));
            const auto s = run_frames(*a, 30);
            const double expected = kNesCpuHz / (16.0 * (c.period + 1));
            EXPECT_NEAR(measure_frequency(s, 4410), expected, expected * 0.005) << c.name << " pulse " << channel + 1;
        }
    }
}

TEST(NesApuPitch, TriangleFrequencyFollowsTheTimerPeriod) {
    // f = CPU / (32 (t + 1)).
    const PitchCase cases[] = {{"A4", 0x07E}, {"A3", 0x0FD}, {"high", 0x03F}, {"very high", 0x010}};
    for (const auto& c : cases) {
        auto a = powered_apu();
        write(*a, 0x4015, 0x04);
        write(*a, 0x4008, 0xFF);  // control on: the linear counter never ends
        write(*a, 0x400A, uint8_t(c.period));
        write(*a, 0x400B, uint8_t(c.period >> 8));
        const auto s = run_frames(*a, 30);
        const double expected = kNesCpuHz / (32.0 * (c.period + 1));
        EXPECT_NEAR(measure_frequency(s, 4410), expected, expected * 0.005) << c.name;
    }
}

TEST(NesApuPitch, DutyCyclesGiveTheirShareOfHighOutput) {
    const int eighths[4] = {1, 2, 4, 6};
    for (int duty = 0; duty < 4; duty++) {
        auto a = powered_apu();
        write(*a, 0x4015, 0x01);
        write(*a, 0x4000, uint8_t(duty << 6 | 0x3F));
        write(*a, 0x4001, 0x08);
        write(*a, 0x4002, 0x64);  // period 100: a step every 202 cycles
        write(*a, 0x4003, 0x00);
        int high = 0;
        for (int i = 0; i < 8 * 202; i++) {
            nes_apu_run(*a, 1);
            high += pulse_level(*a) > 0;
        }
        EXPECT_EQ(high, eighths[duty] * 202) << "duty " << duty;
    }
}

TEST(NesApuPitch, UltrasonicTriangleSitsAtItsMean) {
    for (uint16_t period : {0, 1}) {
        auto a = powered_apu();
        write(*a, 0x4015, 0x04);
        write(*a, 0x4008, 0xFF);
        write(*a, 0x400A, uint8_t(period));
        write(*a, 0x400B, 0x00);
        nes_apu_run(*a, 7457 + 100);  // the linear counter loads on the first quarter frame
        // 7.5 on the triangle's input of the mixer.
        const double expected = 32767.0 * 159.79 / (8227.0 / 7.5 + 100.0);
        EXPECT_NEAR(a->level, expected, 2) << period;
    }
}

// --------------------------------------------------------- length counters

// The k-th half-frame clock (k from 1) after the 4-step sequence starts at 0.
uint32_t four_step_half_clock(int k) {
    return (k % 2) ? 14913 + uint32_t(k - 1) / 2 * 29830 : 29829 + uint32_t(k / 2 - 1) * 29830;
}

TEST(NesApuLength, CountersRunOutOnTheHalfFrameClocks) {
    struct Case {
        uint8_t index;
        int length;
    };
    const Case cases[] = {{3, 2}, {5, 4}, {0, 10}, {1, 254}, {0x1F, 30}, {0x10, 12}};
    // Pulse 1, pulse 2, triangle, noise: their length-loading registers.
    const uint16_t loads[4] = {0x4003, 0x4007, 0x400B, 0x400F};
    const uint16_t controls[4] = {0x4000, 0x4004, 0x4008, 0x400C};
    for (const auto& c : cases) {
        for (int channel = 0; channel < 4; channel++) {
            auto a = powered_apu();
            write(*a, 0x4015, 0x0F);
            write(*a, controls[channel], channel == 2 ? 0x01 : 0x00);  // no halt
            write(*a, loads[channel], uint8_t(c.index << 3));
            const uint32_t ends = four_step_half_clock(c.length);
            nes_apu_run(*a, ends - 1);
            EXPECT_TRUE(nes_apu_peek_status(*a) & (1 << channel)) << int(c.index) << " channel " << channel;
            nes_apu_run(*a, 1);
            EXPECT_FALSE(nes_apu_peek_status(*a) & (1 << channel)) << int(c.index) << " channel " << channel;
        }
    }
}

TEST(NesApuLength, HaltKeepsTheCounter) {
    const uint16_t controls[4] = {0x4000, 0x4004, 0x4008, 0x400C};
    const uint8_t halts[4] = {0x20, 0x20, 0x80, 0x20};
    const uint16_t loads[4] = {0x4003, 0x4007, 0x400B, 0x400F};
    for (int channel = 0; channel < 4; channel++) {
        auto a = powered_apu();
        write(*a, 0x4015, 0x0F);
        write(*a, controls[channel], halts[channel]);
        write(*a, loads[channel], 3 << 3);  // 2
        nes_apu_run(*a, 4 * 29830);
        EXPECT_TRUE(nes_apu_peek_status(*a) & (1 << channel)) << channel;
    }
}

TEST(NesApuLength, FiveStepModeClocksAtOnceAndThenTwiceASequence) {
    auto a = powered_apu();
    write(*a, 0x4015, 0x01);
    write(*a, 0x4003, 5 << 3);  // 4
    write(*a, 0x4017, 0x80);    // takes effect 3 cycles later with a clock: 3 left
    nes_apu_run(*a, 3);
    EXPECT_EQ(a->pulse[0].length, 3);
    nes_apu_run(*a, 14913 - 1);
    EXPECT_EQ(a->pulse[0].length, 3);
    nes_apu_run(*a, 1);
    EXPECT_EQ(a->pulse[0].length, 2);
    nes_apu_run(*a, 37281 - 14913);
    EXPECT_EQ(a->pulse[0].length, 1);
    nes_apu_run(*a, 37282 + 14913 - 37281);
    EXPECT_EQ(a->pulse[0].length, 0);
}

TEST(NesApuLength, DisabledChannelsDoNotLoadAndDisablingClears) {
    auto a = powered_apu();
    write(*a, 0x4003, 0x08);
    write(*a, 0x4007, 0x08);
    write(*a, 0x400B, 0x08);
    write(*a, 0x400F, 0x08);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x0F, 0);
    write(*a, 0x4015, 0x0F);
    write(*a, 0x4003, 0x08);
    write(*a, 0x4007, 0x08);
    write(*a, 0x400B, 0x08);
    write(*a, 0x400F, 0x08);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x0F, 0x0F);
    write(*a, 0x4015, 0x05);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x0F, 0x05);
    write(*a, 0x4015, 0x00);
    EXPECT_EQ(nes_apu_peek_status(*a) & 0x0F, 0x00);
}

// --------------------------------------------------------------- envelopes

// Quarter-frame clocks of the 4-step sequence started at cycle 0.
uint32_t four_step_quarter_clock(int q) {
    const uint32_t within[4] = {7457, 14913, 22371, 29829};
    return within[(q - 1) % 4] + uint32_t((q - 1) / 4) * 29830;
}

TEST(NesApuEnvelope, DecaysOnceEveryPeriodPlusOneQuarterFrames) {
    struct Case {
        uint8_t period;
        bool loop;
    };
    const Case cases[] = {{0, false}, {3, false}, {1, true}, {0, true}};
    for (const auto& c : cases) {
        auto a = powered_apu();
        write(*a, 0x4015, 0x08);
        write(*a, 0x400C, uint8_t((c.loop ? 0x20 : 0) | c.period));
        write(*a, 0x400F, 0x08);
        uint32_t now = 0;
        for (int q = 1; q <= 40; q++) {
            const uint32_t at = four_step_quarter_clock(q);
            nes_apu_run(*a, at - now);
            now = at;
            // The first clock starts the envelope at 15; then it decays one
            // step every period + 1 clocks.
            int expected = 15 - (q - 1) / (c.period + 1);
            if (c.loop) expected = ((expected % 16) + 16) % 16;
            else expected = std::max(expected, 0);
            ASSERT_EQ(a->noise.envelope.decay, expected) << "period " << int(c.period) << " clock " << q;
            if (!c.loop && q >= 8) break;
        }
    }
}

TEST(NesApuEnvelope, ConstantVolumeIgnoresTheDecay) {
    auto a = powered_apu();
    write(*a, 0x4015, 0x01);
    write(*a, 0x4000, 0xB5);  // 50 %, halt, constant volume 5
    write(*a, 0x4001, 0x08);
    write(*a, 0x4002, 0x40);
    write(*a, 0x4003, 0x00);
    const int32_t expected = int32_t(std::lround(32767.0 * 95.88 / (8128.0 / 5 + 100.0)));
    EXPECT_NEAR(max_level(*a, 3 * 29830), expected, 1);
}

// ------------------------------------------------------------------- sweep

TEST(NesApuSweep, MutingByPeriodAndByTarget) {
    struct Case {
        const char* name;
        uint16_t period;
        uint8_t sweep;
        bool muted;
    };
    const Case cases[] = {
        {"period 7", 7, 0x08, true},
        {"period 8", 8, 0x08, false},
        {"target past $7FF, sweep off", 0x400, 0x00, true},
        {"target $7FF", 0x3FF, 0x00, false},
        {"shift 1 overflow", 0x600, 0x01, true},
        {"shift 1 fits", 0x500, 0x01, false},
        {"negate never overflows", 0x7FF, 0x08, false},
    };
    for (const auto& c : cases) {
        for (int channel = 0; channel < 2; channel++) {
            auto a = powered_apu();
            const uint16_t base = uint16_t(0x4000 + 4 * channel);
            write(*a, 0x4015, 0x03);
            write(*a, base, 0xBF);
            write(*a, base + 1, c.sweep);
            write(*a, base + 2, uint8_t(c.period));
            write(*a, base + 3, uint8_t(c.period >> 8));
            const int32_t most = max_level(*a, 16 * (c.period + 1u) + 16);
            EXPECT_EQ(most == 0, c.muted) << c.name << " pulse " << channel + 1;
            // The length counter runs either way.
            EXPECT_TRUE(nes_apu_peek_status(*a) & (1 << channel)) << c.name;
        }
    }
}

TEST(NesApuSweep, UpdatesOnHalfFramesPulseOneNegatesOneMore) {
    struct Case {
        int channel;
        uint8_t sweep;
        uint16_t period;
        uint16_t after_one;
    };
    const Case cases[] = {
        {0, 0x81, 0x100, 0x180}, {1, 0x81, 0x100, 0x180}, {0, 0x89, 0x100, 0x07F},
        {1, 0x89, 0x100, 0x080}, {0, 0x83, 0x200, 0x240}, {1, 0x8A, 0x200, 0x180},
        {0, 0x01, 0x100, 0x100},  // disabled
        {1, 0x80, 0x100, 0x100},  // shift 0: no change
    };
    for (const auto& c : cases) {
        auto a = powered_apu();
        const uint16_t base = uint16_t(0x4000 + 4 * c.channel);
        write(*a, 0x4015, 0x03);
        write(*a, base, 0xBF);
        write(*a, base + 1, c.sweep);
        write(*a, base + 2, uint8_t(c.period));
        write(*a, base + 3, uint8_t(c.period >> 8));
        nes_apu_run(*a, 14913);
        EXPECT_EQ(a->pulse[c.channel].period, c.after_one) << "pulse " << c.channel + 1 << " sweep " << int(c.sweep);
    }
}

TEST(NesApuSweep, DividerPeriodSpacesTheUpdates) {
    auto a = powered_apu();
    write(*a, 0x4015, 0x02);
    write(*a, 0x4004, 0xBF);
    write(*a, 0x4005, 0xA9);  // enabled, divider period 2, negate, shift 1
    write(*a, 0x4006, 0x00);
    write(*a, 0x4007, 0x04);  // $400
    // Half frames 1, 4, 7 update (the reload on the first, then every 3).
    const uint16_t expected[7] = {0x200, 0x200, 0x200, 0x100, 0x100, 0x100, 0x080};
    for (int k = 1; k <= 7; k++) {
        nes_apu_run(*a, four_step_half_clock(k) - (k == 1 ? 0 : four_step_half_clock(k - 1)));
        EXPECT_EQ(a->pulse[1].period, expected[k - 1]) << "half frame " << k;
    }
}

// ------------------------------------------------------------------- noise

uint16_t reference_noise_step(uint16_t shift, bool short_mode) {
    const int other = short_mode ? 6 : 1;
    const uint16_t feedback = ((shift >> 0) ^ (shift >> other)) & 1;
    return uint16_t((shift >> 1) | (feedback << 14));
}

TEST(NesApuNoise, ShiftRegisterStepsAtTheTablePeriods) {
    const uint16_t periods[16] = {4, 8, 16, 32, 64, 96, 128, 160, 202, 254, 380, 508, 762, 1016, 2034, 4068};
    for (int index = 0; index < 16; index++) {
        for (bool short_mode : {false, true}) {
            auto a = powered_apu();
            write(*a, 0x4015, 0x08);
            write(*a, 0x400C, 0x3F);
            write(*a, 0x400E, uint8_t((short_mode ? 0x80 : 0) | index));
            write(*a, 0x400F, 0x08);
            uint16_t reference = 1;
            for (int k = 0; k < 20; k++) {
                nes_apu_run(*a, periods[index] - 1u);
                ASSERT_EQ(a->noise.shift, reference) << index << " step " << k;
                nes_apu_run(*a, 1);
                reference = reference_noise_step(reference, short_mode);
                ASSERT_EQ(a->noise.shift, reference) << index << " step " << k;
            }
        }
    }
}

TEST(NesApuNoise, SequenceLengths) {
    auto a = powered_apu();
    write(*a, 0x4015, 0x08);
    write(*a, 0x400C, 0x30);
    write(*a, 0x400E, 0x80);  // short mode, period 4
    write(*a, 0x400F, 0x08);
    nes_apu_run(*a, 4 * 93);
    EXPECT_EQ(a->noise.shift, 1);
    int steps = 0;
    do {
        nes_apu_run(*a, 4);
        steps++;
    } while (a->noise.shift != 1 && steps < 100);
    EXPECT_EQ(steps, 93);
    write(*a, 0x400E, 0x00);  // long mode
    steps = 0;
    do {
        nes_apu_run(*a, 4);
        steps++;
    } while (a->noise.shift != 1 && steps < 40000);
    EXPECT_EQ(steps, 32767);
}

}  // namespace
}  // namespace vt::test
