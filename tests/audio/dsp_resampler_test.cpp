// The 32 kHz to 44.1 kHz resampler: tones keep their pitch and level, the
// output is held back by a fixed latency, and a state taken between frames
// restarts the converter so exactly that the output goes on bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/dsp_resampler.h"

namespace vt::test {
namespace {

// Stereo input: a tone on the left, a different one plus a little noise on
// the right.
std::vector<int16_t> tones(int frames, double left_hz, double right_hz, double amplitude) {
    std::vector<int16_t> s(size_t(frames) * 2);
    uint32_t noise = 1;
    for (int i = 0; i < frames; i++) {
        noise = noise * 1103515245u + 12345u;
        const double t = i / 32000.0;
        s[2 * size_t(i)] = int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * left_hz * t)));
        s[2 * size_t(i) + 1] = int16_t(std::lround(amplitude * std::sin(2 * std::numbers::pi * right_hz * t)) +
                                       int(noise >> 24) - 128);
    }
    return s;
}

// Runs `input` through frame by frame as the sound generator does (the NTSC
// pattern of 531 and 532 inputs, 732 outputs).
std::vector<int16_t> run(DspResampler& r, const std::vector<int16_t>& input, size_t from_frame, size_t frames) {
    std::vector<int16_t> out;
    std::vector<int16_t> block(732 * 2);
    for (size_t f = from_frame; f < from_frame + frames; f++) {
        const size_t first = f * 244 * 96000 / 44100;
        const size_t last = (f + 1) * 244 * 96000 / 44100;
        resampler_push(r, &input[2 * first], uint32_t(last - first));
        resampler_pop(r, block.data(), 732);
        out.insert(out.end(), block.begin(), block.end());
    }
    return out;
}

TEST(DspResampler, ToneKeepsItsPitchAndLevelBehindAFixedLatency) {
    const auto input = tones(32000, 1000, 3000, 10000);
    DspResampler r;
    resampler_power_on(r);
    const auto out = run(r, input, 0, 50);
    // Output frame j stands for time (j - latency) / 44100.
    double worst = 0;
    for (size_t j = 1000; j < 30000; j++) {
        const double t = (double(j) - kResamplerLatency) / 44100.0;
        const double want = 10000 * std::sin(2 * std::numbers::pi * 1000 * t);
        worst = std::max(worst, std::abs(out[2 * j] - want));
    }
    EXPECT_LT(worst, 10000 * 0.003);
    // The first frames of the latency are silence.
    for (int j = 0; j < kResamplerLatency - 32; j++) EXPECT_EQ(out[2 * size_t(j)], 0) << j;
}

TEST(DspResampler, TonesNearTheTopOfTheBandPassAndNothingAboveIt) {
    for (double hz : {6000.0, 10000.0}) {
        const auto input = tones(32000, hz, hz, 8000);
        DspResampler r;
        resampler_power_on(r);
        const auto out = run(r, input, 0, 40);
        // Level at the tone and at its image 32 kHz - f, over whole cycles.
        auto level = [&](double f) {
            double re = 0, im = 0;
            const size_t n0 = 4000, n = 22050;
            for (size_t j = n0; j < n0 + n; j++) {
                re += out[2 * j] * std::cos(2 * std::numbers::pi * f * double(j) / 44100);
                im += out[2 * j] * std::sin(2 * std::numbers::pi * f * double(j) / 44100);
            }
            return 2 * std::hypot(re, im) / double(n);
        };
        EXPECT_NEAR(level(hz), 8000, 8000 * 0.01) << hz;
        if (32000 - hz < 22050) EXPECT_LT(level(32000 - hz), 8000 * 0.001) << hz;
    }
}

TEST(DspResampler, StateRestartsTheConverterExactly) {
    const auto input = tones(32000 * 3, 440, 1234, 12000);
    DspResampler straight;
    resampler_power_on(straight);
    std::vector<uint8_t> state(kResamplerStateSize);
    size_t done = 0;
    // Save points early (history shorter than a phase), and at many phases.
    for (size_t save_at : {0, 1, 2, 5, 17, 33, 60, 61, 62, 100}) {
        run(straight, input, done, save_at - done);
        done = save_at;
        StateWriter w{state.data()};
        resampler_state_io<StateWriter>(w, straight);
        ASSERT_EQ(w.p, state.data() + state.size());

        DspResampler loaded;
        resampler_power_on(loaded);
        run(loaded, tones(32000, 300, 300, 9000), 0, 3);  // something else before the load
        StateReader rd{state.data()};
        resampler_state_io<StateReader>(rd, loaded);

        const auto expected = run(straight, input, done, 4);
        const auto got = run(loaded, input, done, 4);
        ASSERT_EQ(got, expected) << "saved after frame " << save_at;
        done += 4;
    }
}

TEST(DspResampler, DamagedStateLoadsIntoRange) {
    for (uint8_t fill : {uint8_t(0x00), uint8_t(0xFF), uint8_t(0x80)}) {
        std::vector<uint8_t> state(kResamplerStateSize, fill);
        DspResampler r;
        resampler_power_on(r);
        StateReader rd{state.data()};
        resampler_state_io<StateReader>(rd, r);
        EXPECT_LT(r.history_position, kResamplerHistory);
        EXPECT_LE(r.history_count, kResamplerHistory);
        EXPECT_LT(r.phase, kResamplerPhaseInputs);
        EXPECT_LE(r.pending_count, uint32_t(kResamplerPendingSaved));
        const auto out = run(r, tones(32000, 500, 500, 5000), 0, 3);
        EXPECT_EQ(out.size(), 3u * 732 * 2);
    }
}

}  // namespace
}  // namespace vt::test
