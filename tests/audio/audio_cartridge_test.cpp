// End to end: a cartridge uploads an audio program through the boot ROM,
// the program answers through the ports and plays a looping sine with an
// ADSR envelope. The run's samples go into a WAV file, which is read back
// and measured: pitch by zero crossings, the envelope's attack, decay and
// sustain, and the two channels' volumes.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "audio/dsp.h"
#include "core/driver.h"
#include "frontend/wav_writer.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

struct Recording {
    std::vector<int16_t> left;
    std::vector<int16_t> right;
};

// Reads a 16-bit stereo PCM WAV file with a minimal parser of its own.
Recording read_wav(const std::string& path, uint32_t* sample_rate) {
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto le32 = [&](size_t at) { return uint32_t(b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t(b[at + 3]) << 24); };
    Recording r;
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF") return r;
    *sample_rate = le32(24);
    const uint32_t data_bytes = le32(40);
    for (uint32_t i = 0; i + 3 < data_bytes && 44 + i + 3 < b.size(); i += 4) {
        r.left.push_back(int16_t(b[44 + i] | b[45 + i] << 8));
        r.right.push_back(int16_t(b[46 + i] | b[47 + i] << 8));
    }
    return r;
}

// Largest magnitude in [from, to).
int peak(const std::vector<int16_t>& s, size_t from, size_t to) {
    int p = 0;
    for (size_t i = from; i < to && i < s.size(); i++) p = std::max(p, std::abs(int(s[i])));
    return p;
}

class AudioCartridge : public ::testing::Test {
protected:
    static constexpr int kFrames = 90;

    static void SetUpTestSuite() {
        machine_ = machine_with_rom("audio_upload").release();
        std::vector<int16_t> samples;
        for (int f = 0; f < kFrames; f++) {
            run_frame(*machine_);
            DspSamples s = dsp_finished_samples(*machine_);
            samples.insert(samples.end(), s.samples, s.samples + 2 * s.frames);
        }
        std::string dir = (fs::temp_directory_path() / "veltrane-audio-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        const std::string wav = dir + "/run.wav";
        ASSERT_TRUE(write_wav_file(wav, samples.data(), uint32_t(samples.size() / 2)));
        recording_ = new Recording(read_wav(wav, &sample_rate_));
        fs::remove_all(dir);
    }

    static void TearDownTestSuite() {
        delete machine_;
        delete recording_;
    }

    // First frame at which the voice is heard.
    static size_t key_on_frame() {
        const auto& l = recording_->left;
        return size_t(std::find_if(l.begin(), l.end(), [](int16_t v) { return v != 0; }) - l.begin());
    }

    static Machine* machine_;
    static Recording* recording_;
    static uint32_t sample_rate_;
};

Machine* AudioCartridge::machine_ = nullptr;
Recording* AudioCartridge::recording_ = nullptr;
uint32_t AudioCartridge::sample_rate_ = 0;

TEST_F(AudioCartridge, ProgramIsUploadedStartedAndAnswersThroughThePorts) {
    const Machine& m = *machine_;
    EXPECT_EQ(wram8(m, 0x0100), 0x01);  // uploaded and started
    EXPECT_EQ(wram8(m, 0x0101), 0x01);  // ready signal seen
    EXPECT_EQ(wram8(m, 0x0102), 0x01);  // all answers in
    EXPECT_EQ(wram16(m, 0x0110), 3 * 3);
    EXPECT_EQ(wram16(m, 0x0112), 16 * 16);
    EXPECT_EQ(wram16(m, 0x0114), 200 * 200);
    // The program runs from audio RAM with the boot ROM unmapped; the sample
    // directory landed at $1000.
    EXPECT_FALSE(m.apu.ipl_mapped);
    EXPECT_GE(m.apu.pc, 0x0200);
    EXPECT_LT(m.apu.pc, 0x0300);
    EXPECT_EQ(m.apu.ram[0x1000], 0x04);  // start address $1004
    EXPECT_EQ(m.apu.ram[0x1001], 0x10);
    EXPECT_EQ(m.apu.ram[0x1004], 0xB0);  // first BRR header
    EXPECT_EQ(m.dsp.regs[kDspDir], 0x10);
    EXPECT_TRUE(dsp_sounding_voices(m.dsp) & 0x01);
}

TEST_F(AudioCartridge, RecordingIsTheWholeRunAt44100Hz) {
    EXPECT_EQ(sample_rate_, 44100u);
    EXPECT_EQ(recording_->left.size(), size_t(kFrames) * 732);
    // The voice starts early in the first frame.
    EXPECT_GT(key_on_frame(), 0u);
    EXPECT_LT(key_on_frame(), 732u);
}

// Pitch $1000 plays one source sample per 32 kHz sample; 32 of them a
// period: 1000 Hz.
TEST_F(AudioCartridge, PitchByZeroCrossings) {
    const auto& l = recording_->left;
    const size_t from = key_on_frame() + 8000;
    const size_t to = l.size();
    int upward = 0;
    for (size_t i = from + 1; i < to; i++) {
        if (l[i - 1] < 0 && l[i] >= 0) upward++;
    }
    const double seconds = double(to - from - 1) / 44100;
    const double hz = upward / seconds;
    EXPECT_NEAR(hz, 1000.0, 1.0);
}

// ADSR at the chip's rates, counted in 32 kHz samples (44.1 output frames
// a millisecond). Attack 10 (rate 21): +$20 every 20 samples, 64 steps to
// the top in 40 ms. Decay 3 (rate 22): level - level / 256 every 16
// samples until the level falls below $400 (sustain level 3: one half),
// about 177 steps, 88 ms. Sustain rate 0 then holds the level.
TEST_F(AudioCartridge, EnvelopeAttackDecaySustain) {
    const auto& l = recording_->left;
    const size_t t0 = key_on_frame();
    const size_t period = 45;  // one period of the tone and a little more
    constexpr double kFramesPerMs = 44.1;
    // Full-scale output of this voice on the left: sample 7 << 11 at level
    // $7FF, volume 64, main volume 127.
    const int full = int(14336.0 * 0x7FF / 0x800 * 64 / 128 * 127 / 128);

    // Linear rise: after 10, 20 and 30 ms a quarter, a half, three quarters.
    for (int ms = 10; ms <= 30; ms += 10) {
        const size_t t = t0 + size_t(ms * kFramesPerMs);
        EXPECT_NEAR(peak(l, t - period, t), full * ms / 40.0, full * 0.04) << "attack at " << ms << " ms";
    }
    const size_t top = t0 + size_t(40 * kFramesPerMs);
    EXPECT_NEAR(peak(l, top, top + period), full, full * 0.02);
    // 88 decay steps (44 ms) lose 1 - (255/256)^88 = 29%.
    const size_t mid = top + size_t(44 * kFramesPerMs);
    EXPECT_NEAR(peak(l, mid - period, mid), full * std::pow(255.0 / 256, 88), full * 0.03);
    // Sustain at one half from then on, and held.
    const size_t sustain = top + size_t(100 * kFramesPerMs);
    const int sustain_peak = peak(l, sustain, sustain + period);
    EXPECT_NEAR(sustain_peak, full / 2, full * 0.02);
    EXPECT_NEAR(peak(l, l.size() - period, l.size()), sustain_peak, full * 0.005);
}

// Volumes +64 left and -32 right: the right channel is the left one halved
// and inverted, sample by sample (each rounded down on its own, and each
// side resampled on its own).
TEST_F(AudioCartridge, StereoVolumes) {
    const auto& l = recording_->left;
    const auto& r = recording_->right;
    int nonzero = 0;
    for (size_t i = 0; i < l.size(); i++) {
        ASSERT_NEAR(r[i], -l[i] / 2.0, 3.0) << "frame " << i;
        if (l[i] != 0) nonzero++;
    }
    EXPECT_GT(nonzero, int(l.size()) * 9 / 10);
}

}  // namespace
}  // namespace vt::test
