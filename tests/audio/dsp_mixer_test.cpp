// Sound generator mixing: power-on state, main volume, echo, saturation and
// the per-frame sample stream.
#include <gtest/gtest.h>

#include <cmath>

#include "core/driver.h"
#include "dsp_harness.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

int64_t floor_div(int64_t a, int64_t b) { return int64_t(std::floor(double(a) / double(b))); }

TEST(DspPowerOn, RegistersAndVolumes) {
    auto machine = make_machine();
    Machine& m = *machine;
    m.apu.io[kIoDspAddress] = 0x33;
    apu_power_on(m);
    const Dsp& d = m.dsp;
    EXPECT_EQ(m.apu.io[kIoDspAddress], 0);
    for (int v = 0; v < 8; v++) {
        EXPECT_EQ(d.regs[v << 4 | kVoiceVolL], 0x80);
        EXPECT_EQ(d.regs[v << 4 | kVoiceVolR], 0x80);
        EXPECT_EQ(d.regs[v << 4 | kVoicePitchH], 0x00);
        // The voices play at +128, not at the register's -128.
        EXPECT_EQ(d.voices[v].volume_left, 128);
        EXPECT_EQ(d.voices[v].envelope, 0);
    }
    EXPECT_EQ(d.regs[kDspMvolL], 0x80);
    EXPECT_EQ(d.main_left, 128);
    EXPECT_EQ(d.main_right, 128);
    EXPECT_EQ(d.regs[kDspFlg], 0xE0);
    EXPECT_EQ(d.regs[kDspDir], 0);
    EXPECT_EQ(d.regs[kDspEndx], 0);
    EXPECT_EQ(d.active, 0);
    EXPECT_EQ(d.echo_length, 0);
}

TEST(DspRegisters, VolumesAreSignExtended) {
    DspHarness h;
    h.write_voice(5, kVoiceVolL, 0xC0);
    h.write_voice(5, kVoiceVolR, 0x3F);
    h.write(kDspMvolR, 0x81);
    h.write(kDspEvolL, 0xFF);
    h.write(kDspEfb, 0x80);
    EXPECT_EQ(h.d.voices[5].volume_left, -64);
    EXPECT_EQ(h.d.voices[5].volume_right, 63);
    EXPECT_EQ(h.d.main_right, -127);
    EXPECT_EQ(h.d.echo_volume_left, -1);
    EXPECT_EQ(h.d.echo_feedback, -128);
    // Stored registers read back as written.
    EXPECT_EQ(h.read(0x50), 0xC0);
    h.write(0x0E, 0x12);  // an unused register
    EXPECT_EQ(h.read(0x0E), 0x12);
    EXPECT_EQ(h.read(0x8E), 0x12);  // address AND $7F
}

// A voice holding a constant sample: nibble 4 << 10 = 4096 at GAIN $7F.
void constant_voice(DspHarness& h, int voice) {
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(10, 0, true, true), DspHarness::all(4));
    h.setup_voice(voice, 0, 0x00, 0x00, 0x7F);
    h.key_on(voice);
    h.frame();  // the level reaches $7F x 256 after the first frame
}

TEST(DspMixer, MainVolumeScalesAndInverts) {
    DspHarness h;
    constant_voice(h, 2);
    h.write(kDspMvolL, 0x40);
    h.write(kDspMvolR, 0xC0);  // -64
    StereoFrame f = h.frame();
    const int64_t out = 4096 * 32512 / 32768;
    EXPECT_EQ(f.left, floor_div(out * 127 * 64, 16384));
    EXPECT_EQ(f.right, floor_div(out * 127 * -64, 16384));
}

TEST(DspMixer, SumsVoicesAndSaturates) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.set_directory(1, 0x1009, 0x1009);
    h.put_block(0x1000, brr_header(12, 0, true, true), DspHarness::all(7));   // 28672
    h.put_block(0x1009, brr_header(12, 0, true, true), DspHarness::all(-8));  // -32768
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(1, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(2, 1, 0x00, 0x00, 0x7F);
    h.setup_voice(3, 1, 0x00, 0x00, 0x7F);
    h.write_voice(2, kVoiceVolR, 0x00);  // voices 2-3 only on the left...
    h.write_voice(3, kVoiceVolR, 0x00);
    h.write_voice(0, kVoiceVolL, 0x00);  // ...voices 0-1 only on the right
    h.write_voice(1, kVoiceVolL, 0x00);
    h.write(kDspKon, 0x0F);
    h.frame();
    StereoFrame f = h.frame();
    EXPECT_EQ(f.left, -32768);
    EXPECT_EQ(f.right, 32767);

    // One voice alone stays below the limit: exact value.
    h.write(kDspKoff, 0x0E);
    h.frames(300);
    EXPECT_EQ(h.d.active, 0x01);
    f = h.frame();
    const int64_t out = 28672 * int64_t(32512) / 32768;
    EXPECT_EQ(f.right, floor_div(out * 127 * 127, 16384));
    EXPECT_EQ(f.left, 0);
}

// With main volume 0 the output is the echo alone. EFB 0: what was put in
// comes back once, (input >> 7) x EVOL >> 7, exactly `length` frames later.
void check_echo_delay(uint8_t edl, int length) {
    DspHarness h;
    h.write(kDspMvolL, 0);
    h.write(kDspMvolR, 0);
    h.write(kDspEvolL, 0x7F);
    h.write(kDspEvolR, 0x40);
    h.write(kDspEfb, 0);
    h.write(kDspEdl, edl);
    h.write(kDspEon, 0x01);
    h.write(kDspFlg, 0x00);  // echo on
    // A sample that changes every block so the delay is visible.
    h.set_directory(0, 0x1000, 0x1000);
    for (int b = 0; b < 16; b++) {
        h.put_block(uint16_t(0x1000 + 9 * b), brr_header(8, 0, b == 15, b == 15), DspHarness::all(b % 8 - 4));
    }
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.write_voice(0, kVoiceVolR, 0x20);
    h.key_on(0);
    std::vector<int32_t> voice_out;
    std::vector<StereoFrame> mixed;
    for (int i = 0; i < length + 400; i++) {
        mixed.push_back(h.frame());
        voice_out.push_back(h.d.voices[0].output);
    }
    int nonzero = 0;
    for (size_t i = 0; i < mixed.size(); i++) {
        int64_t want_left = 0, want_right = 0;
        if (int(i) >= length) {
            const int64_t in = voice_out[i - length];
            want_left = floor_div(floor_div(in * 127, 128) * 127, 128);
            want_right = floor_div(floor_div(in * 32, 128) * 64, 128);
        }
        ASSERT_EQ(mixed[i].left, want_left) << "frame " << i;
        ASSERT_EQ(mixed[i].right, want_right) << "frame " << i;
        if (want_left) nonzero++;
    }
    EXPECT_GT(nonzero, 100);
}

TEST(DspEcho, Edl0DelaysBy16Frames) { check_echo_delay(0x00, 16); }
TEST(DspEcho, Edl15DelaysBy256Frames) { check_echo_delay(0x0F, 256); }
TEST(DspEcho, EdlUsesLowFourBits) { check_echo_delay(0xF3, 64); }

TEST(DspEcho, FeedbackHalvesEachPass) {
    DspHarness h;
    h.write(kDspEvolL, 0x7F);
    h.write(kDspEfb, 0x40);  // 64 / 128
    h.write(kDspEdl, 0x00);
    h.write(kDspFlg, 0x00);
    h.d.echo_left[0] = 1000;
    std::vector<StereoFrame> f = h.frames(16 * 3 + 1);
    EXPECT_EQ(f[0].left, floor_div(1000 * 127, 128));
    EXPECT_EQ(f[16].left, floor_div(500 * 127, 128));
    EXPECT_EQ(f[32].left, floor_div(250 * 127, 128));
    EXPECT_EQ(f[1].left, 0);
}

TEST(DspEcho, FlagBit5TurnsEchoOff) {
    DspHarness h;
    h.write(kDspEvolL, 0x7F);
    h.write(kDspEdl, 0x00);
    h.d.echo_left[0] = 1000;
    h.write(kDspFlg, kFlgEchoOff);
    EXPECT_EQ(h.frame().left, 0);
    EXPECT_EQ(h.d.echo_position, 0);
    EXPECT_EQ(h.d.echo_left[0], 1000);
}

// EFB -128 turns the most negative entry into one step past the most
// positive: the entry saturates instead of wrapping to a negative value.
TEST(DspEcho, FeedbackSaturatesTheEchoMemoryInsteadOfWrapping) {
    DspHarness h;
    constant_voice(h, 0);
    h.write(kDspEfb, 0x80);
    h.write(kDspEdl, 0x00);
    h.write(kDspEon, 0x01);
    h.write(kDspFlg, 0x00);
    h.d.echo_position = 0;
    h.d.echo_left[0] = INT32_MIN;
    h.frame();
    EXPECT_EQ(h.d.echo_left[0], INT32_MAX);
}

TEST(DspStream, ThreeFramesPerSoundLineAndFramesPerVideoFrame) {
    auto machine = machine_with_rom("smoke");
    Machine& m = *machine;
    run_frames(m, 1);
    EXPECT_EQ(dsp_finished_samples(m).frames, 732u);  // 244 x 3
    m.timing.lines_per_frame = 312;
    m.timing.sound_lines = 294;
    run_frames(m, 1);
    EXPECT_EQ(dsp_finished_samples(m).frames, 882u);  // 294 x 3
    EXPECT_EQ(m.dsp.frame_position, 0u);
}

TEST(DspStream, FinishedFrameStaysReadableWhileTheNextOneFills) {
    auto machine = machine_with_rom("smoke");
    Machine& m = *machine;
    // A constant voice so the samples are recognisable.
    m.apu.ram.fill(0);
    dsp_write(m, kDspDir, 0x02);
    m.apu.ram[0x0200] = 0x00;
    m.apu.ram[0x0201] = 0x10;
    m.apu.ram[0x0202] = 0x00;
    m.apu.ram[0x0203] = 0x10;
    m.apu.ram[0x1000] = brr_header(10, 0, true, true);
    for (int i = 1; i < 9; i++) m.apu.ram[0x1000 + i] = 0x44;
    dsp_write(m, kDspFlg, 0x20);
    dsp_write(m, kDspMvolL, 0x7F);
    dsp_write(m, kDspMvolR, 0x7F);
    dsp_write(m, kVoicePitchH, 0x10);
    dsp_write(m, kVoiceVolL, 0x40);
    dsp_write(m, kVoiceVolR, 0x40);
    dsp_write(m, kVoiceGain, 0x7F);
    m.apu.pc = 0x0300;  // keep the audio CPU away from the DSP: an idle loop
    m.apu.ram[0x0300] = 0x2F;
    m.apu.ram[0x0301] = 0xFE;
    dsp_write(m, kDspKon, 0x01);
    run_frames(m, 1);
    DspSamples first = dsp_finished_samples(m);
    ASSERT_EQ(first.frames, 732u);
    const int16_t level = first.samples[2 * 100];
    EXPECT_GT(level, 0);
    EXPECT_EQ(first.samples[2 * 100 + 1], level);
    // Silence the voice and run a few lines of the next frame: the finished
    // frame's samples are untouched.
    dsp_write(m, kDspKoff, 0x01);
    for (int i = 0; i < 50; i++) run_line(m);
    EXPECT_EQ(first.samples[2 * 700], level);
    EXPECT_EQ(dsp_finished_samples(m).samples, first.samples);
}

}  // namespace
}  // namespace vt::test
