// Sound generator voices: BRR decoding, Gaussian interpolation, pitch and
// pitch modulation, key on and off as the chip polls them, ENDX and the end
// of a sample, noise.
#include <gtest/gtest.h>

#include <numeric>

#include "audio/dsp_gaussian.h"
#include "audio/dsp_rates.h"
#include "dsp_harness.h"

namespace vt::test {
namespace {

// ---------------------------------------------------------------------------
// BRR

struct BrrCase {
    const char* what;
    int nibble, shift, filter;
    int16_t p1, p2;  // stored (doubled) samples before
    int16_t expected;
};

TEST(BrrDecode, EachSampleAsTheChipComputesIt) {
    const BrrCase cases[] = {
        {"largest shift, top nibble", 7, 12, 0, 0, 0, 28672},
        {"largest shift, bottom nibble", -8, 12, 0, 0, 0, -32768},
        {"shift 0 halves away the low bit", 1, 0, 0, 0, 0, 0},
        {"shift 0 rounds a negative down", -1, 0, 0, 0, 0, -2},
        {"shift 1", 3, 1, 0, 0, 0, 6},
        {"shift 13 and up: negative nibbles give -2048", -1, 13, 0, 0, 0, -4096},
        {"shift 13 and up: others give 0", 5, 15, 0, 0, 0, 0},
        // 500 x 15/16 = 468.75, rounded down.
        {"filter 1", 0, 0, 1, 1000, 0, 936},
        // 500 x 61/32 - 400 x 15/16 = 578.1
        {"filter 2", 0, 0, 2, 1000, 800, 1156},
        // 500 x 115/64 - 400 x 13/16 = 573.4
        {"filter 3", 0, 0, 3, 1000, 800, 1146},
        // 14336 + 15000 - 938 = 28398: doubled, it wraps.
        {"doubling wraps", 7, 12, 1, 30000, 0, -8740},
        // 45566 clamps to 32767, doubled and wrapped to -2.
        {"clamped high, then wrapped", 7, 12, 2, 32766, 0, -2},
        {"clamped low, then wrapped", -8, 12, 2, -32768, 0, 0},
    };
    for (const BrrCase& c : cases) {
        EXPECT_EQ(brr_sample(c.nibble, c.shift, c.filter, c.p1, c.p2), c.expected) << c.what;
    }
}

TEST(BrrDecode, BlockCarriesThePredictionFromSampleToSample) {
    // Filter 1 on nibbles of 1 at shift 4: s = 8 + p1 x 15/16 (halves).
    const uint8_t block[kBrrBlockBytes] = {brr_header(4, 1, false, false), 0x11, 0x11, 0x11, 0x11,
                                           0x11, 0x11, 0x11, 0x11};
    int16_t out[kBrrBlockSamples];
    int16_t p1 = 0, p2 = 0;
    brr_decode_block(block, out, p1, p2);
    int half = 0;
    for (int i = 0; i < kBrrBlockSamples; i++) {
        half = 8 + (half * 2 >> 1) + (-(half * 2) >> 5);
        EXPECT_EQ(out[i], half * 2) << i;
    }
    EXPECT_EQ(p1, out[15]);
    EXPECT_EQ(p2, out[14]);
}

// ---------------------------------------------------------------------------
// Gaussian interpolation

TEST(GaussianTable, ShapeAndWeightsAddUpToOne) {
    const auto& g = kGaussianTable;
    for (int i = 0; i < 16; i++) EXPECT_EQ(g[i], 0) << i;
    EXPECT_EQ(g[511], 1305);
    for (int i = 1; i < 512; i++) {
        EXPECT_GE(g[i], g[i - 1]) << "rises at " << i;
        EXPECT_LE(g[i] - g[i - 1], 6) << "smooth at " << i;
    }
    // The four weights of every fraction add up to 1.0 (2048) within one.
    for (int f = 0; f < 256; f++) {
        const int sum = g[255 - f] + g[511 - f] + g[256 + f] + g[f];
        EXPECT_GE(sum, 2047) << f;
        EXPECT_LE(sum, 2049) << f;
    }
}

TEST(GaussianInterpolation, MovesFromOneSampleToTheNext) {
    const int16_t steps[4] = {0, 8000, 16000, 24000};
    int last = dsp_gaussian(steps, 0);
    // At fraction 0 the weight is on the second sample, near 8000; it
    // glides towards the third as the fraction grows.
    EXPECT_NEAR(last, 8000, 20);
    for (int f = 1; f < 256; f++) {
        const int now = dsp_gaussian(steps, f);
        EXPECT_GE(now, last) << f;
        EXPECT_EQ(now & 1, 0) << f;
        last = now;
    }
    EXPECT_NEAR(last, 16000, 100);
    const int16_t flat[4] = {-6000, -6000, -6000, -6000};
    for (int f : {0, 77, 128, 255}) EXPECT_NEAR(dsp_gaussian(flat, f), -6000, 6) << f;
}

TEST(GaussianInterpolation, FullScaleOverflowsAsOnTheChip) {
    // The first three products of a full-scale wave add up past 32767 and
    // wrap; the fourth is added with saturation.
    const int16_t top[4] = {32766, 32766, 32766, 32766};
    EXPECT_EQ(dsp_gaussian(top, 0), -32756);
    const int16_t bottom[4] = {-32768, -32768, -32768, -32768};
    EXPECT_EQ(dsp_gaussian(bottom, 255), -32768);
}

// ---------------------------------------------------------------------------
// Output, pitch and modulation

// A constant 4096 (nibble 4 at shift 10) interpolates to 4096 x 2049 / 2048
// = 4098; at GAIN $7F (level $7F0) that is 4098 x 2032 / 2048 = 4065.98,
// rounded down and made even: 4064.
constexpr int kConstantOut = 4064;

TEST(DspVoice, OutputIsSampleTimesEnvelopeThenVolumes) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.write_voice(0, kVoiceVolL, 0x40);
    h.write_voice(0, kVoiceVolR, 0xC0);  // -64
    h.key_on(0x01);
    h.settle();
    const StereoFrame f = h.sample();
    EXPECT_EQ(h.d.voices[0].output, kConstantOut);
    EXPECT_EQ(h.read(kVoiceEnvx), 0x7F);
    EXPECT_EQ(h.read(kVoiceOutx), kConstantOut >> 8);
    // Voice volume >> 7, then main volume >> 7 (rounded down).
    EXPECT_EQ(f.left, (((kConstantOut * 64) >> 7) * 127) >> 7);
    EXPECT_EQ(f.right, (((kConstantOut * -64) >> 7) * 127) >> 7);
}

// How many times a one-block loop ends in `n` samples: each loop is
// 16 x $1000 / pitch samples.
int loops_in(DspHarness& h, int voice, int n) {
    int loops = 0;
    for (int i = 0; i < n; i++) {
        h.sample();
        if (h.read(kDspEndx) & (1 << voice)) {
            loops++;
            h.write(kDspEndx, 0);
        }
    }
    return loops;
}

TEST(DspVoice, PitchSetsTheRateAt32kHz) {
    const struct {
        uint16_t pitch;
        int loops_per_16384;  // 16,384 samples
    } cases[] = {{0x1000, 1024}, {0x2000, 2048}, {0x0800, 512}, {0x0100, 64}, {0x3FFF, 4095}, {0x0000, 0}};
    for (const auto& c : cases) {
        DspHarness h;
        h.constant_sample(0, 0x1000, 4, 10);
        h.setup_voice(3, 0, 0x00, 0x00, 0x7F);
        h.write_voice(3, kVoicePitchL, uint8_t(c.pitch));
        h.write_voice(3, kVoicePitchH, uint8_t(c.pitch >> 8));
        h.key_on(0x08);
        h.settle(64);
        h.write(kDspEndx, 0);
        EXPECT_NEAR(loops_in(h, 3, 16384), c.loops_per_16384, 1) << std::hex << c.pitch;
    }
}

TEST(DspVoice, PitchHighUsesSixBits) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.write_voice(0, kVoicePitchH, 0xD0);  // reads back whole, plays as $10
    EXPECT_EQ(h.read(kVoicePitchH), 0xD0);
    h.key_on(0x01);
    h.settle(64);
    h.write(kDspEndx, 0);
    EXPECT_NEAR(loops_in(h, 0, 16384), 1024, 1);
}

TEST(DspVoice, PitchModulationScalesByThePreviousVoicesOutput) {
    // Voice 0 holds a constant output; voice 1's pitch becomes
    // P + (output >> 5) x P >> 10. Voice 0's own PMON bit does nothing.
    const struct {
        int nibble;
        uint8_t pmon;
        int pitch;  // voice 1's effective pitch
    } cases[] = {
        {4, 0x03, 0x1000 + ((kConstantOut >> 5) * 0x1000 >> 10)},
        // -4098 x 2032 / 2048 = -4065.98 rounds down to -4066.
        {-4, 0x02, 0x1000 + ((-4066 >> 5) * 0x1000 >> 10)},
        {4, 0x01, 0x1000},
    };
    for (const auto& c : cases) {
        DspHarness h;
        h.constant_sample(0, 0x1000, c.nibble, 10);
        h.constant_sample(1, 0x1100, 4, 10);
        h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
        h.setup_voice(1, 1, 0x00, 0x00, 0x7F);
        h.write(kDspPmon, c.pmon);
        h.key_on(0x03);
        h.settle(64);
        h.write(kDspEndx, 0);
        EXPECT_NEAR(loops_in(h, 1, 65536), 65536.0 * c.pitch / (16 * 4096), 1.5) << int(c.pmon) << " " << c.nibble;
    }
}

TEST(DspVoice, ModulatedPositionNeverRunsMoreThanEightSamplesAhead) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 7, 12);
    h.constant_sample(1, 0x1100, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(1, 1, 0x00, 0x00, 0x7F);
    h.write_voice(1, kVoicePitchH, 0x3F);
    h.write_voice(1, kVoicePitchL, 0xFF);
    h.write(kDspPmon, 0x02);
    h.key_on(0x03);
    for (int i = 0; i < 200; i++) {
        h.sample();
        EXPECT_LE(h.d.voices[1].interp_position, 0x7FFF);
    }
}

// ---------------------------------------------------------------------------
// Key on, key off

// First sample with output after a KON written when `before` samples have
// run: the chip polls KON every other sample, then needs five samples.
TEST(DspKeys, KeyOnTakesEffectAtThePollAndFiveSamplesLater) {
    const struct {
        int before;
        int until_sound;
    } cases[] = {{0, 8}, {1, 7}, {2, 8}, {3, 7}, {10, 8}, {11, 7}};
    for (const auto& c : cases) {
        DspHarness h;
        h.constant_sample(0, 0x1000, 4, 10);
        h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
        h.samples(c.before);
        h.key_on(0x01);
        int at = 0;
        while (at < 20 && h.sample().left == 0) at++;
        EXPECT_EQ(at, c.until_sound) << "KON after " << c.before << " samples";
    }
}

TEST(DspKeys, KeyOnStartsTheEnvelopeFromZero) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    h.samples(30);
    ASSERT_EQ(h.d.voices[0].envelope, 0x7F0);
    h.key_on(0x01);
    h.samples(4);
    EXPECT_EQ(h.d.voices[0].envelope, 0);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::attack);
}

TEST(DspKeys, KeyOffMustBeHeldUntilAPoll) {
    for (bool held : {false, true}) {
        DspHarness h;
        h.constant_sample(0, 0x1000, 4, 10);
        h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
        h.key_on(0x01);
        h.settle(20);
        h.write(kDspKoff, 0x01);
        if (held) h.samples(2);
        h.write(kDspKoff, 0x00);
        h.samples(2);
        EXPECT_EQ(h.d.voices[0].mode, held ? EnvelopeMode::release : EnvelopeMode::attack) << held;
    }
}

TEST(DspKeys, ReleaseFallsBy8EverySample) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    h.settle(20);
    h.write(kDspKoff, 0x01);
    int samples = 0;
    while (h.d.voices[0].mode != EnvelopeMode::release) {
        h.sample();
        samples++;
    }
    ASSERT_LE(samples, 3);
    const int start = h.d.voices[0].envelope;
    for (int i = 1; i <= 300; i++) {
        h.sample();
        ASSERT_EQ(h.d.voices[0].envelope, std::max(start - 8 * i, 0)) << i;
    }
    EXPECT_EQ(dsp_sounding_voices(h.d) & 1, 0);
}

TEST(DspKeys, KonWritesBeforeAPollReplaceEachOther) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(1, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    h.key_on(0x02);
    h.samples(10);
    EXPECT_EQ(dsp_sounding_voices(h.d), 0x02);
    EXPECT_EQ(h.read(kDspKon), 0x02);  // the register reads back as written
}

TEST(DspKeys, SoftResetSilencesEveryVoiceWhileSet) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(5, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x21);
    h.settle(20);
    ASSERT_EQ(dsp_sounding_voices(h.d), 0x21);
    h.write(kDspFlg, kFlgReset | kFlgEchoOff);
    h.sample();
    EXPECT_EQ(h.d.voices[0].envelope, 0);
    EXPECT_EQ(h.d.voices[5].envelope, 0);
    // A key on during the reset stays silent.
    h.key_on(0x01);
    for (const StereoFrame& f : h.samples(30)) EXPECT_EQ(f.left, 0);
    h.write(kDspFlg, kFlgEchoOff);
    h.samples(10);
    EXPECT_EQ(dsp_sounding_voices(h.d), 0);
}

// ---------------------------------------------------------------------------
// End of sample, ENDX

TEST(DspVoice, LoopingSampleJumpsToTheLoopAddressAndSetsEndx) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1009);
    h.put_block(0x1000, brr_header(10, 0, false, false), DspHarness::all(2));
    h.put_block(0x1009, brr_header(10, 0, true, true), DspHarness::all(4));
    h.setup_voice(2, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x04);
    int first_endx = -1;
    for (int i = 0; i < 200 && first_endx < 0; i++) {
        h.sample();
        if (h.read(kDspEndx) & 0x04) first_endx = i;
    }
    // Keyed on at sample 2 (the first poll), the first three groups decoded
    // at samples 4-6, playing from sample 8 with a group decoded every four
    // samples from 12: the second block's last group at 28.
    EXPECT_EQ(first_endx, 28);
    EXPECT_EQ(h.d.voices[2].block_address, 0x1009);
    EXPECT_EQ(h.read(kDspEndx), 0x04);
    h.write(kDspEndx, 0x55);  // any write clears it
    EXPECT_EQ(h.read(kDspEndx), 0x00);
    // Still sounding, from the loop block only.
    h.samples(100);
    EXPECT_EQ(h.d.voices[2].output, kConstantOut);
}

TEST(DspVoice, EndWithoutLoopSilencesAtOnceAndDecodingGoesOn) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1100);
    h.put_block(0x1000, brr_header(10, 0, false, false), DspHarness::all(4));
    h.put_block(0x1009, brr_header(10, 0, false, true), DspHarness::all(4));
    h.put_block(0x1100, brr_header(10, 0, true, true), DspHarness::all(1));
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    int sounding = 0;
    for (int i = 0; i < 100; i++) {
        if (h.sample().left != 0) sounding++;
    }
    // The first block plays until decoding reaches the second, which
    // stops the voice: the END block itself is never heard.
    EXPECT_GT(sounding, 4);
    EXPECT_LT(sounding, 16);
    EXPECT_EQ(h.d.voices[0].envelope, 0);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::release);
    // The decoder ran on through the END block to the loop address.
    EXPECT_EQ(h.read(kDspEndx) & 1, 1);
    EXPECT_GE(h.d.voices[0].block_address, 0x1100);
}

TEST(DspVoice, OneBlockSampleWithoutLoopIsNeverHeard) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(10, 0, false, true), DspHarness::all(4));
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x01);
    for (const StereoFrame& f : h.samples(100)) ASSERT_EQ(f.left, 0);
    EXPECT_EQ(h.read(kDspEndx) & 1, 1);
}

TEST(DspVoice, KeyOnClearsTheVoicesEndxBit) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.setup_voice(1, 0, 0x00, 0x00, 0x7F);
    h.key_on(0x03);
    h.samples(40);
    h.write(kDspKon, 0x00);
    ASSERT_EQ(h.read(kDspEndx) & 3, 3);
    h.key_on(0x01);
    h.samples(4);
    EXPECT_EQ(h.read(kDspEndx) & 3, 2);
}

// ---------------------------------------------------------------------------
// Noise

TEST(DspNoise, ShiftRegisterSequenceReplacesTheSample) {
    DspHarness h;
    h.constant_sample(0, 0x1000, 4, 10);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.write(kDspNon, 0x01);
    h.write(kDspFlg, kFlgEchoOff | 0x1F);  // noise clock every sample
    h.key_on(0x01);
    h.settle();
    // The register shifts right; the new bit 14 is bit 0 XOR bit 1.
    unsigned noise = h.d.noise;
    for (int i = 0; i < 500; i++) {
        h.sample();
        const int expected = ((int16_t(uint16_t(noise * 2)) * 0x7F0) >> 11) & ~1;
        ASSERT_EQ(h.d.voices[0].output, expected) << i;
        noise = (noise >> 1) | ((noise ^ (noise >> 1)) & 1) << 14;
        ASSERT_EQ(h.d.noise, noise) << i;
    }
}

TEST(DspNoise, ClockFollowsTheRateOfFlgBits0To4) {
    const struct {
        int rate;
        int steps;  // in one turn of the rate counter (30,720 samples)
    } cases[] = {{0, 0}, {1, 15}, {2, 20}, {3, 24}, {16, 480}, {26, 5120}, {31, 30720}};
    for (const auto& c : cases) {
        DspHarness h;
        h.write(kDspFlg, uint8_t(kFlgEchoOff | c.rate));
        int steps = 0;
        for (int i = 0; i < kRateCounterRange; i++) {
            const uint16_t before = h.d.noise;
            h.sample();
            if (h.d.noise != before) steps++;
        }
        EXPECT_EQ(steps, c.steps) << "rate " << c.rate;
    }
}

}  // namespace
}  // namespace vt::test
