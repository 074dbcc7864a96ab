// Sound generator mixing and echo: power-on state, registers, the main mix
// with its 16-bit saturation, the echo buffer in audio RAM (position,
// length, delay, FIR taps, feedback, write protection) and the per-frame
// stream.
#include <gtest/gtest.h>

#include <algorithm>

#include "cart/loader.h"
#include "core/driver.h"
#include "dsp_harness.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

int clamp16(int v) { return std::clamp(v, -32768, 32767); }

TEST(DspPowerOn, RegistersAndState) {
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
        EXPECT_EQ(d.voices[v].envelope, 0);
        EXPECT_EQ(d.voices[v].mode, EnvelopeMode::release);
    }
    EXPECT_EQ(d.regs[kDspMvolL], 0x80);
    EXPECT_EQ(d.regs[kDspFlg], 0xE0);  // soft reset, mute, echo writes off
    EXPECT_EQ(d.regs[kDspEndx], 0);
    EXPECT_EQ(d.noise, 0x4000);
    EXPECT_EQ(dsp_sounding_voices(d), 0);
    EXPECT_EQ(d.echo_offset, 0);
    // Muted and writing no echo: silence, and audio RAM untouched.
    m.apu.ram.fill(0x5A);
    for (int i = 0; i < 100; i++) {
        int16_t l, r;
        dsp_run_sample(m, l, r);
        EXPECT_EQ(l, 0);
        EXPECT_EQ(r, 0);
    }
    EXPECT_TRUE(std::all_of(m.apu.ram.begin(), m.apu.ram.end(), [](uint8_t b) { return b == 0x5A; }));
}

TEST(DspRegisters, StoredBytesReadBackAndTheVoicesWriteEnvxOutx) {
    DspHarness h;
    h.write(0x0E, 0x12);  // an unused register
    EXPECT_EQ(h.read(0x0E), 0x12);
    EXPECT_EQ(h.read(0x8E), 0x12);  // address AND $7F
    h.write(kDspEdl, 0xF3);
    EXPECT_EQ(h.read(kDspEdl), 0xF3);
    h.write(0x38, 0x77);  // ENVX of voice 3: the voice writes it every sample
    EXPECT_EQ(h.read(0x38), 0x77);
    h.sample();
    EXPECT_EQ(h.read(0x38), 0x00);
}

// Voice outputs times volume, summed with saturation after each voice.
TEST(DspMixer, SumsVoicesWithSaturationAfterEachOne) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 7, 12);
    h.constant_sample(1, 0x1009, -7, 12);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(1, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(2, 1, 0x00, 0x00, 0x7F);
    h.key_on(0x07);
    h.settle();
    const StereoFrame f = h.sample();
    const int a = (h.d.voices[0].output * 127) >> 7;
    const int c = (h.d.voices[2].output * 127) >> 7;
    ASSERT_GT(a, 20000);
    ASSERT_LT(c, -20000);
    // Voices 0 and 1 saturate before voice 2 pulls the sum down.
    const int main = clamp16(clamp16(a + a) + c);
    EXPECT_EQ(main, 32767 + c);
    EXPECT_EQ(f.left, int16_t((main * 127) >> 7));
}

TEST(DspMixer, MainVolumeMinus128OfTheLowestSumWraps) {
    DspHarness h;
    h.constant_sample(0, 0x1000, -7, 12);  // three voices of -28,240 each
    for (int v = 0; v < 3; v++) h.setup_voice(v, 0, 0x00, 0x00, 0x7F);
    h.write(kDspMvolL, 0x80);
    h.write(kDspMvolR, 0x81);
    h.key_on(0x07);
    h.settle();
    const StereoFrame f = h.sample();
    EXPECT_EQ(f.left, -32768);  // -32768 x -128 >> 7 = 32768, which wraps
    EXPECT_EQ(f.right, 32512);  // -32768 x -127 >> 7
}

TEST(DspMixer, MuteSilencesTheOutputOnly) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    h.settle();
    ASSERT_NE(h.sample().left, 0);
    h.write(kDspFlg, kFlgMute | kFlgEchoOff);
    const StereoFrame f = h.sample();
    EXPECT_EQ(f.left, 0);
    EXPECT_EQ(f.right, 0);
    EXPECT_NE(h.d.voices[0].output, 0);
}

// ---------------------------------------------------------------------------
// Echo

// A voice on the echo only (EON), main volume 0, echo writes on.
struct EchoRig {
    DspHarness h;
    explicit EchoRig(uint8_t esa, uint8_t edl, uint8_t efb = 0) {
        h.constant_sample(0, 0x1000, 4, 10);
        h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
        h.write_voice(0, kVoiceVolR, 0x40);
        h.write(kDspMvolL, 0);
        h.write(kDspMvolR, 0);
        h.write(kDspEvolL, 0x7F);
        h.write(kDspEvolR, 0x7F);
        h.write(kDspEsa, esa);
        h.write(kDspEdl, edl);
        h.write(kDspEfb, efb);
        h.write(kDspEon, 0x01);
        h.write(kDspFlg, 0x00);
    }
};

TEST(DspEcho, TheEchoMixIsWrittenIntoAudioRamAtEsa) {
    const struct {
        uint8_t esa, edl;
        int entries;  // samples the buffer holds
    } cases[] = {{0x40, 0, 1}, {0x40, 1, 512}, {0x80, 2, 1024}, {0x20, 15, 7680}};
    for (const auto& c : cases) {
        EchoRig rig(c.esa, c.edl);
        DspHarness& h = rig.h;
        h.key_on(0x01);
        h.settle();
        const uint16_t base = uint16_t(c.esa * 256);
        for (int i = 0; i < 2 * c.entries + 5; i++) {
            const uint16_t at = uint16_t(base + h.d.echo_offset);
            h.sample();
            // The voice's output times its volumes, even.
            const int left = ((h.d.voices[0].output * 0x7F) >> 7) & ~1;
            const int right = ((h.d.voices[0].output * 0x40) >> 7) & ~1;
            ASSERT_EQ(int16_t(h.ram_word(at)), left) << int(c.edl) << " sample " << i;
            ASSERT_EQ(int16_t(h.ram_word(uint16_t(at + 2))), right) << int(c.edl) << " sample " << i;
        }
        // The position stays inside the buffer and wraps at its length.
        EXPECT_LT(h.d.echo_offset, std::max(4, c.entries * 4));
        EXPECT_EQ(h.ram[uint16_t(base + c.entries * 4)], 0) << "past the end " << int(c.edl);
        EXPECT_EQ(h.ram[uint16_t(base - 1)], 0) << "before the start " << int(c.edl);
    }
}

// The first echo comes back one buffer length after it was written: EDL x
// 512 samples (1 for EDL 0), and 7 samples more through FIR 0, the tap of
// the oldest history entry.
TEST(DspEcho, DelayIsTheBufferLengthPlusTheTapsAge) {
    const struct {
        uint8_t edl;
        int tap;
        int delay;
    } cases[] = {{0, 7, 1}, {1, 7, 512}, {3, 7, 1536}, {15, 7, 7680}, {1, 0, 519}, {1, 4, 515}};
    for (const auto& c : cases) {
        EchoRig rig(0x80, c.edl);
        DspHarness& h = rig.h;
        h.write(uint8_t(c.tap << 4 | kDspFir0), 0x7F);
        h.key_on(0x01);
        int first_write = -1, first_heard = -1;
        for (int i = 0; i < 8000 && first_heard < 0; i++) {
            const StereoFrame f = h.sample();
            if (first_write < 0 && h.d.voices[0].output != 0) first_write = i;
            if (f.left != 0) first_heard = i;
        }
        EXPECT_EQ(first_heard - first_write, c.delay) << "EDL " << int(c.edl) << " tap " << c.tap;
    }
}

TEST(DspEcho, GainThroughFirEvolAndFeedback) {
    EchoRig rig(0x80, 1, 0x40);  // feedback one half
    DspHarness& h = rig.h;
    h.set_fir({0, 0, 0, 0, 0, 0, 0, 0x7F});
    h.write(kDspEvolL, 0x40);
    h.key_on(0x01);
    h.settle(520);
    // The entry read now was written 512 samples ago; once it is heard, the
    // output is the FIR's sample times EVOL and the rewrite adds it times EFB.
    const uint16_t at = uint16_t(0x8000 + h.d.echo_offset);
    const int read = int16_t(h.ram_word(at)) >> 1;
    const StereoFrame f = h.sample();
    const int fir = clamp16((read * 127) >> 6) & ~1;
    EXPECT_EQ(f.left, int16_t((fir * 0x40) >> 7));
    const int mix = (h.d.voices[0].output * 0x7F) >> 7;
    EXPECT_EQ(int16_t(h.ram_word(at)), clamp16(mix + int16_t((fir * 0x40) >> 7)) & ~1);
    // After many passes the level settles where the feedback stops adding:
    // e = mix + e x 127/128 x 1/2.
    h.samples(512 * 40);
    const double settled = mix / (1 - 127.0 / 128 / 2);
    EXPECT_NEAR(int16_t(h.ram_word(uint16_t(0x8000 + h.d.echo_offset))), settled, settled * 0.01);
}

// An entry placed in the buffer passes the FIR taps newest first: FIR 7
// weighs it the sample it is read, FIR 0 seven samples later.
TEST(DspEcho, FirTapsWeighTheHistoryOldestFirst) {
    DspHarness h;
    h.write(kDspMvolL, 0);
    h.write(kDspMvolR, 0);
    h.write(kDspEvolL, 0x7F);
    h.write(kDspEvolR, 0x7F);
    h.write(kDspEsa, 0x80);
    h.write(kDspEdl, 0);  // one entry, read every sample
    const int taps[8] = {0x11, -0x22, 0x33, -0x44, 0x55, -0x66, 0x77, 0x08};
    int n = 0;
    for (int t : taps) h.write(uint8_t(n++ << 4 | kDspFir0), uint8_t(t));
    // FLG bit 5 set: the entry is read every sample and never rewritten.
    h.sample();  // ESA is taken after a sample
    h.ram[0x8000] = 0x00;
    h.ram[0x8001] = 0x40;  // 16384: 8192 in the history
    for (int age = 0; age < 8; age++) {
        const StereoFrame f = h.sample();
        h.ram[0x8000] = h.ram[0x8001] = 0;
        const int fir = clamp16((8192 * taps[7 - age]) >> 6) & ~1;
        EXPECT_EQ(f.left, int16_t((fir * 0x7F) >> 7)) << "age " << age;
    }
    EXPECT_EQ(h.sample().left, 0);
}

TEST(DspEcho, FirSumWrapsBeforeTheNewestTapSaturates) {
    DspHarness h;
    h.write(kDspMvolL, 0);
    h.write(kDspEvolL, 0x7F);
    h.write(kDspEsa, 0x80);
    h.write(kDspEdl, 0);
    h.set_fir({0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x00});
    h.sample();  // ESA is taken after a sample
    h.ram[0x8000] = 0xFE;
    h.ram[0x8001] = 0x7F;  // 32766: 16383 in the history
    StereoFrame f{};
    for (int i = 0; i < 8; i++) f = h.sample();
    const int seven = 7 * ((16383 * 127) >> 6);
    const int fir = clamp16(int16_t(seven)) & ~1;
    EXPECT_EQ(f.left, int16_t((fir * 0x7F) >> 7));
    EXPECT_LT(int16_t(seven), 32767);  // the wrap, not a saturation
}

TEST(DspEcho, FlagBit5KeepsTheBufferUntouched) {
    EchoRig rig(0x80, 1);
    DspHarness& h = rig.h;
    h.set_fir({0, 0, 0, 0, 0, 0, 0, 0x7F});
    for (int i = 0; i < 0x800; i++) h.ram[0x8000 + i] = uint8_t(i * 7);
    const std::vector<uint8_t> before(h.ram.begin() + 0x8000, h.ram.begin() + 0x8800);
    h.write(kDspFlg, kFlgEchoOff);
    h.key_on(0x01);
    int heard = 0;
    for (const StereoFrame& f : h.samples(2000)) heard += f.left != 0;
    EXPECT_EQ(std::vector<uint8_t>(h.ram.begin() + 0x8000, h.ram.begin() + 0x8800), before);
    EXPECT_GT(heard, 1500);  // what the buffer holds is still read and heard
}

TEST(DspEcho, NewLengthWaitsForTheBufferToComeRound) {
    EchoRig rig(0x80, 2);
    DspHarness& h = rig.h;
    h.samples(100);
    EXPECT_EQ(h.d.echo_length, 0x1000);
    h.write(kDspEdl, 1);
    h.samples(100);
    EXPECT_EQ(h.d.echo_length, 0x1000);
    EXPECT_EQ(h.d.echo_offset, 200 * 4);
    h.samples(1024 - 200 + 1);
    EXPECT_EQ(h.d.echo_offset, 4);
    EXPECT_EQ(h.d.echo_length, 0x800);
}

TEST(DspEcho, BufferWrapsAtTheTopOfAudioRam) {
    EchoRig rig(0xFF, 1);
    DspHarness& h = rig.h;
    // The buffer runs on over $0000-$06FF: the directory moves out of its way.
    h.write(kDspDir, 0x30);
    h.ram[0x3000] = h.ram[0x3002] = 0x00;
    h.ram[0x3001] = h.ram[0x3003] = 0x10;
    h.key_on(0x01);
    h.samples(600);
    EXPECT_NE(h.ram_word(0xFFFC), 0);  // the last entry below $10000
    EXPECT_NE(h.ram_word(0x0000), 0);  // and on from $0000
    EXPECT_NE(h.ram_word(0x06FC), 0);
    EXPECT_EQ(h.ram_word(0x0700), 0);  // 2 KiB in all
}

// ---------------------------------------------------------------------------
// The per-frame stream

TEST(DspStream, SoundLinesRunTheirShareOf32kHz) {
    DspHarness h;
    h.d.native_count = 0;
    int total = 0;
    for (int line = 1; line <= 244 * 3; line++) {
        const uint32_t before = h.d.native_count;
        dsp_line_step(h.m);
        const int ran = int(h.d.native_count - before);
        EXPECT_TRUE(ran == 2 || ran == 3) << line;
        total += ran;
        EXPECT_EQ(total, line * 3 * 32000 / 44100) << line;
        if (line % 244 == 0) dsp_frame_end(h.m);
    }
}

TEST(DspStream, OutputFramesPerVideoFrame) {
    for (RegionOverride region : {RegionOverride::Ntsc, RegionOverride::Pal}) {
        auto m = make_machine();
        LoadOptions options;
        options.region = region;
        ASSERT_TRUE(load_gamepak(*m, test_rom_path("smoke"), options).loaded());
        for (int f = 0; f < 3; f++) {
            run_frame(*m);
            EXPECT_EQ(dsp_finished_samples(*m).frames, region == RegionOverride::Pal ? 882u : 732u);
        }
    }
}

TEST(DspStream, FinishedFrameStaysReadableWhileTheNextOneFills) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    for (int line = 0; line < 244; line++) dsp_line_step(h.m);
    dsp_frame_end(h.m);
    const DspSamples first = dsp_finished_samples(h.m);
    ASSERT_EQ(first.frames, 732u);
    const std::vector<int16_t> copy(first.samples, first.samples + 2 * first.frames);
    h.write(kDspMvolL, 0x10);
    for (int line = 0; line < 100; line++) dsp_line_step(h.m);
    EXPECT_EQ(std::vector<int16_t>(first.samples, first.samples + 2 * first.frames), copy);
    // The tone is there at the end of the first frame.
    EXPECT_GT(std::abs(copy[2 * 700]), 3000);
}

}  // namespace
}  // namespace vt::test
