// The sound effects cartridge (tests/roms/audio_effects.s) played through
// the whole machine: its echo in audio RAM and in the 44,100 Hz output, its
// noise and its pitch modulation, each measured in the output at its time.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <vector>

#include <filesystem>

#include "audio/dsp.h"
#include "cli/cli_runner.h"
#include "core/driver.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

constexpr uint16_t kPhase = 0x20;
constexpr uint16_t kEchoStart = 0x4000;
constexpr uint16_t kEchoEnd = 0x5800;  // EDL 3: 6 KiB
constexpr int kPhases = 6;

// Output samples (44,100 Hz) per 32 kHz sample.
constexpr double kOutputPerNative = 44100.0 / 32000.0;

struct EffectsRun {
    std::vector<int16_t> left, right;
    // The output sample where each phase's video frame began.
    std::array<size_t, kPhases> phase_start{};
    std::array<bool, kPhases> phase_seen{};
    // Audio RAM's echo area one video frame after the burst's frame, and
    // at the end.
    std::vector<uint8_t> echo_after_burst;
    std::vector<uint8_t> echo_at_phase3;
    std::vector<uint8_t> echo_at_end;
    std::vector<uint8_t> above_buffer_at_end;
    int16_t modulator_output = 0;  // voice 3's output during phase 4
};

std::vector<uint8_t> ram_span(const Machine& m, uint16_t from, uint16_t to) {
    return std::vector<uint8_t>(m.apu.ram.begin() + from, m.apu.ram.begin() + to);
}

const EffectsRun& effects_run() {
    static const EffectsRun run = [] {
        EffectsRun r;
        auto machine = machine_with_rom("audio_effects");
        Machine& m = *machine;
        // Marks above the buffer: the echo must never write there.
        std::fill(m.apu.ram.begin() + kEchoEnd, m.apu.ram.begin() + kEchoEnd + 0x100, uint8_t(0xAA));
        int frames_since_burst = -1;
        for (int frame = 0; frame < 200 && !r.phase_seen[5]; frame++) {
            const size_t frame_start = r.left.size();
            run_frame(m);
            const DspSamples s = dsp_finished_samples(m);
            for (uint32_t i = 0; i < s.frames; i++) {
                r.left.push_back(s.samples[2 * i]);
                r.right.push_back(s.samples[2 * i + 1]);
            }
            const uint8_t phase = m.apu.ram[kPhase];
            if (phase < kPhases && !r.phase_seen[phase]) {
                r.phase_seen[phase] = true;
                r.phase_start[phase] = frame_start;
                if (phase == 3) r.echo_at_phase3 = ram_span(m, kEchoStart, kEchoEnd);
            }
            if (phase == 1 && ++frames_since_burst == 1) r.echo_after_burst = ram_span(m, kEchoStart, kEchoEnd);
            if (phase == 4) r.modulator_output = m.dsp.voices[3].output;
        }
        r.echo_at_end = ram_span(m, kEchoStart, kEchoEnd);
        r.above_buffer_at_end = ram_span(m, kEchoEnd, kEchoEnd + 0x100);
        return r;
    }();
    return run;
}

int peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int p = 0;
    for (size_t i = from; i < std::min(to, s.size()); i++) p = std::max(p, std::abs(int(s[i])));
    return p;
}

// The first sample of [from, to) whose size reaches half of the span's peak.
size_t half_peak_onset(const std::vector<int16_t>& s, size_t from, size_t to) {
    const int half = peak(s, from, to) / 2;
    for (size_t i = from; i < std::min(to, s.size()); i++) {
        if (std::abs(int(s[i])) >= half) return i;
    }
    return to;
}

// The burst's level: the mean of its middle, away from the edges' ringing.
double plateau(const std::vector<int16_t>& s, size_t onset) {
    double sum = 0;
    for (size_t i = onset + 15; i < onset + 55; i++) sum += s[i];
    return sum / 40;
}

int16_t word_at(const std::vector<uint8_t>& bytes, size_t at) { return int16_t(bytes[at] | bytes[at + 1] << 8); }

TEST(AudioEffectsCartridge, EveryPhaseRuns) {
    const EffectsRun& r = effects_run();
    for (int p = 1; p < kPhases; p++) {
        EXPECT_TRUE(r.phase_seen[p]) << "phase " << p;
        if (p > 1) {
            EXPECT_GT(r.phase_start[p], r.phase_start[p - 1]) << "phase " << p;
        }
    }
}

TEST(AudioEffectsCartridge, EchoBufferInAudioRamHoldsTheBurstAtEsa) {
    const EffectsRun& r = effects_run();
    ASSERT_TRUE(r.phase_seen[1]);
    ASSERT_EQ(r.echo_after_burst.size(), size_t(kEchoEnd - kEchoStart));
    // Four bytes a sample: left, then right. The burst's 64 samples (and
    // the interpolation's edges) sit somewhere in the buffer; voice 0's
    // right volume is half its left.
    int written = 0, left_peak = 0, right_at_left_peak = 0;
    for (size_t at = 0; at < r.echo_after_burst.size(); at += 4) {
        const int16_t left = word_at(r.echo_after_burst, at);
        const int16_t right = word_at(r.echo_after_burst, at + 2);
        EXPECT_EQ(left & 1, 0);
        EXPECT_EQ(right & 1, 0);
        if (left != 0) written++;
        if (left > left_peak) {
            left_peak = left;
            right_at_left_peak = right;
        }
    }
    // The voice falls silent as its decoder reaches the END block, a few
    // samples before the burst's last ones would have played.
    EXPECT_GE(written, 48);
    EXPECT_LE(written, 68);
    // 8192 through the envelope ($7F0) and VOL L ($7F).
    EXPECT_NEAR(left_peak, 8192 * 0x7F0 / 2048 * 127 / 128, 16);
    EXPECT_NEAR(double(right_at_left_peak) / left_peak, 63.0 / 127.0, 0.005);

    // Echo writes off from phase 2 on: the buffer stays as it was.
    EXPECT_EQ(r.echo_at_end, r.echo_at_phase3);
    EXPECT_EQ(r.above_buffer_at_end, std::vector<uint8_t>(0x100, 0xAA));
}

TEST(AudioEffectsCartridge, EchoRepeatsTheBurstAfterTheBufferLengthAtEvolAndEfbGain) {
    const EffectsRun& r = effects_run();
    ASSERT_TRUE(r.phase_seen[2]);
    const std::vector<int16_t>& left = r.left;
    const size_t start = r.phase_start[1];
    // The buffer's 1,536 samples plus 7 more: FIR 0 weighs the oldest of
    // the eight samples read back.
    const double delay = (1536 + 7) * kOutputPerNative;

    const size_t direct = half_peak_onset(left, start, start + 1800);
    const int direct_peak = peak(left, direct, direct + 200);
    ASSERT_GT(direct_peak, 7000);
    const size_t echo1 = half_peak_onset(left, direct + 1000, direct + 3000);
    const int echo1_peak = peak(left, echo1, echo1 + 200);
    const size_t echo2 = half_peak_onset(left, echo1 + 1000, echo1 + 3000);
    const int echo2_peak = peak(left, echo2, echo2 + 200);

    EXPECT_NEAR(double(echo1 - direct), delay, 2.0);
    EXPECT_NEAR(double(echo2 - echo1), delay, 2.0);
    // First echo: FIR 0 $7F x EVOL $40 against MVOL $7F: one half. Each
    // further echo: EFB $40 x FIR 0 $7F.
    EXPECT_NEAR(plateau(left, echo1) / plateau(left, direct), 0.5, 0.005);
    EXPECT_NEAR(plateau(left, echo2) / plateau(left, echo1), 0.5 * 127 / 128, 0.005);
    EXPECT_GT(echo1_peak, direct_peak * 4 / 10);
    EXPECT_GT(echo2_peak, echo1_peak * 4 / 10);
    // Nothing between the burst and its echo.
    EXPECT_LT(peak(left, direct + 200, echo1 - 10), 100);
    // The right side: VOL R $3F.
    EXPECT_NEAR(plateau(r.right, direct) / plateau(left, direct), 63.0 / 127.0, 0.005);
}

TEST(AudioEffectsCartridge, NoiseIsHeardAndStepsAtItsRate) {
    const EffectsRun& r = effects_run();
    ASSERT_TRUE(r.phase_seen[3]);
    // Noise rate $10 steps every 64 samples, 500 times a second. Between
    // steps the level holds, so the output holds still once per step.
    const size_t from = r.phase_start[2] + 4410;  // 100 ms in
    const size_t to = from + 17640;               // 400 ms
    ASSERT_LT(to, r.phase_start[3]);
    int holds = 0, run = 0;
    double energy = 0;
    for (size_t i = from + 1; i < to; i++) {
        energy += double(r.left[i]) * r.left[i];
        if (std::abs(r.left[i] - r.left[i - 1]) <= 2) {
            if (++run == 12) holds++;
        } else {
            run = 0;
        }
    }
    EXPECT_NEAR(holds, 200, 5);
    EXPECT_GT(energy / double(to - from), 2000.0 * 2000.0);  // loud
}

// The sine's frequency from its rising zero crossings in [from, to).
double frequency(const std::vector<int16_t>& s, size_t from, size_t to) {
    size_t first = 0, last = 0;
    int crossings = 0;
    bool below = false;
    for (size_t i = from; i < to; i++) {
        if (s[i] < -1000) below = true;
        if (below && s[i - 1] < 0 && s[i] >= 0) {
            below = false;
            if (crossings == 0) first = i;
            last = i;
            crossings++;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * 44100.0 / double(last - first);
}

TEST(AudioEffectsCartridge, PitchModulationScalesThePitchByThePreviousVoicesOutput) {
    const EffectsRun& r = effects_run();
    ASSERT_TRUE(r.phase_seen[5]);
    // A 32-sample sine at pitch $0800: 500 Hz.
    const double alone = frequency(r.left, r.phase_start[3] + 4410, r.phase_start[3] + 4410 + 11025);
    EXPECT_NEAR(alone, 500.0, 1.0);
    // Modulated by voice 3's steady output: pitch + (output / 32) x pitch / 1024.
    ASSERT_GT(r.modulator_output, 15000);
    const int modulated_pitch = 0x800 + (((r.modulator_output >> 5) * 0x800) >> 10);
    const double modulated = frequency(r.left, r.phase_start[4] + 4410, r.phase_start[4] + 4410 + 11025);
    EXPECT_NEAR(modulated, 500.0 * modulated_pitch / 0x800, 1.5);
}

// The same run through veltrane-cli: its WAV file holds the burst and, one
// buffer length later, its echo.
TEST(AudioEffectsCartridge, CliWavHoldsTheEcho) {
    const EffectsRun& r = effects_run();
    ASSERT_TRUE(r.phase_seen[2]);
    const std::string dir = make_temp_folder("audio_effects_wav");
    std::filesystem::copy_file(test_rom_path("audio_effects"), dir + "/effects.sfc");
    const int frames = int(r.phase_start[2] / 732);
    CliRun run = run_cli({"effects.sfc", "-n", std::to_string(frames), "--wav", "out.wav"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::vector<uint8_t> wav = read_file(dir + "/out.wav");
    ASSERT_EQ(wav.size(), 44 + size_t(frames) * 732 * 4);
    std::vector<int16_t> left;
    for (size_t at = 44; at + 3 < wav.size(); at += 4) left.push_back(int16_t(wav[at] | wav[at + 1] << 8));
    // The WAV is the machine's output, sample for sample.
    EXPECT_TRUE(std::equal(left.begin(), left.end(), r.left.begin()));
    const size_t direct = half_peak_onset(left, r.phase_start[1], r.phase_start[1] + 1800);
    const size_t echo = half_peak_onset(left, direct + 1000, direct + 3000);
    EXPECT_NEAR(double(echo - direct), (1536 + 7) * kOutputPerNative, 2.0);
}

}  // namespace
}  // namespace vt::test
