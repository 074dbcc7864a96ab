// Sound generator voices: BRR decoding with its four filters, sample
// playback and looping, ENDX, pitch, key on and off, ADSR and GAIN.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "dsp_harness.h"

namespace vt::test {
namespace {

// Floor of p x c as the fixed-point filters compute it.
int64_t floor_product(int32_t p, double coefficient) { return int64_t(std::floor(p * coefficient)); }

TEST(BrrDecode, ShiftWithoutHalvingOrClamping) {
    uint8_t block[9] = {brr_header(4, 0, false, false), 0x78, 0x10, 0xF0, 0, 0, 0, 0, 0};
    int32_t out[16];
    int32_t p1 = 0, p2 = 0;
    brr_decode_block(block, out, p1, p2);
    EXPECT_EQ(out[0], 7 * 16);
    EXPECT_EQ(out[1], -8 * 16);
    EXPECT_EQ(out[2], 1 * 16);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(out[4], -1 * 16);
    EXPECT_EQ(p1, out[15]);
    EXPECT_EQ(p2, out[14]);

    block[0] = brr_header(15, 0, false, false);
    brr_decode_block(block, out, p1, p2);
    EXPECT_EQ(out[0], 7 << 15);
    EXPECT_EQ(out[1], -8 << 15);
}

TEST(BrrDecode, FourPredictionFilters) {
    // Filter 1: s + p1 x 15/16.
    EXPECT_EQ(brr_sample(1, 0, 1, 1000, 0), 1 + floor_product(1000, 15.0 / 16));
    EXPECT_EQ(brr_sample(0, 0, 1, -1000, 0), floor_product(-1000, 15.0 / 16));  // -938: rounds down
    // Filter 2: s + p1 x 61/32 - p2 x 15/16.
    EXPECT_EQ(brr_sample(0, 0, 2, 1000, 500), floor_product(1000, 61.0 / 32) - floor_product(500, 15.0 / 16));
    EXPECT_EQ(brr_sample(2, 3, 2, -700, 300), 16 + floor_product(-700, 61.0 / 32) - floor_product(300, 15.0 / 16));
    // Filter 3: s + p1 x 115/64 - p2 x 13/16.
    EXPECT_EQ(brr_sample(0, 0, 3, 1000, 500), floor_product(1000, 115.0 / 64) - floor_product(500, 13.0 / 16));
    EXPECT_EQ(brr_sample(-3, 2, 3, 2000, -900), -12 + floor_product(2000, 115.0 / 64) - floor_product(-900, 13.0 / 16));
    // Filter 0 ignores the history.
    EXPECT_EQ(brr_sample(5, 1, 0, 12345, 678), 10);
}

TEST(BrrDecode, PredictionCarriesFromSampleToSample) {
    // Filter 1, all nibbles 0: each sample is 15/16 of the one before.
    uint8_t block[9] = {brr_header(0, 1, false, false), 0, 0, 0, 0, 0, 0, 0, 0};
    int32_t out[16];
    int32_t p1 = 4096, p2 = 0;
    brr_decode_block(block, out, p1, p2);
    int32_t want = 4096;
    for (int i = 0; i < 16; i++) {
        want = int32_t(floor_product(want, 15.0 / 16));
        EXPECT_EQ(out[i], want) << i;
    }
}

TEST(DspVoice, OutputIsSampleTimesEnvelopeThenVolumes) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(10, 0, true, true), DspHarness::all(4));  // 4096
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);  // GAIN direct $7F: level 32512
    h.write_voice(0, kVoiceVolL, 0x40);       // +64
    h.write_voice(0, kVoiceVolR, 0xE0);       // -32
    h.key_on(0);
    StereoFrame first = h.frame();  // envelope still 0 (GAIN bit 6 set: not raised at key on)
    EXPECT_EQ(first.left, 0);
    StereoFrame f = h.frame();
    const int64_t out = 4096 * 32512 / 32768;
    EXPECT_EQ(h.d.voices[0].output, out);
    EXPECT_EQ(f.left, int16_t(std::floor(out * 64.0 * 127 / 16384)));
    EXPECT_EQ(f.right, int16_t(std::floor(out * -32.0 * 127 / 16384)));
    EXPECT_EQ(h.read(0x08), 32512 >> 8);  // ENVX
    EXPECT_EQ(h.read(0x09), uint8_t(out >> 8));  // OUTX
}

TEST(DspVoice, EnvelopeScalingRoundsToNearest) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    // Sample 3 x 256 = 768 at level $40 x 256 = 16384 (one half): 384; sample
    // -3 (nibble -3, shift 0) gives -1.5, rounded to -1.
    h.put_block(0x1000, brr_header(8, 0, true, true), DspHarness::all(3));
    h.setup_voice(0, 0, 0x00, 0x00, 0x40);
    h.key_on(0);
    h.frame();
    h.frame();
    EXPECT_EQ(h.d.voices[0].output, 384);
    h.put_block(0x1000, brr_header(0, 0, true, true), DspHarness::all(-3));
    h.key_on(0);
    h.frame();
    h.frame();
    EXPECT_EQ(h.d.voices[0].output, -1);
}

// Counts source samples consumed: 16 per decoded block, minus what is left
// of the block now playing.
int samples_advanced(const DspVoice& v, uint16_t start) {
    const int blocks = (v.block_address - start) / kBrrBlockBytes;
    return blocks * 16 + v.position - 16;
}

TEST(DspVoice, PitchOf1000PlaysAt32kHz) {
    DspHarness h;
    // A long sample without loop: 2,400 blocks of silence from $1000.
    h.set_directory(0, 0x1000, 0x1000);
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0);
    h.frames(kDspSampleRate);
    const double want = 4096.0 * 44100 / 5648;  // 31,983: 32,000 within the rounding of the constant
    EXPECT_NEAR(samples_advanced(h.d.voices[0], 0x1000), want, 2.0);

    // Half the pitch, half the rate; the 14-bit maximum nearly 4 times it.
    h.write_voice(0, kVoicePitchH, 0x08);
    h.key_on(0);
    h.frames(kDspSampleRate);
    EXPECT_NEAR(samples_advanced(h.d.voices[0], 0x1000), want / 2, 2.0);
    h.write_voice(0, kVoicePitchL, 0xFF);
    h.write_voice(0, kVoicePitchH, 0xFF);  // masked to $3FFF
    EXPECT_EQ(h.read(0x03), 0x3F);
    h.key_on(0);
    h.frames(10000);
    EXPECT_NEAR(samples_advanced(h.d.voices[0], 0x1000), 10000.0 * 0x3FFF / 5648, 2.0);
}

TEST(DspVoice, LoopingSampleJumpsToLoopAddressAndSetsEndx) {
    DspHarness h;
    // Start block (value 1), then a looping end block (value 2) that loops
    // to a third block (value 3) ending with END+LOOP back to itself.
    h.set_directory(1, 0x1000, 0x1012);
    h.put_block(0x1000, brr_header(8, 0, false, false), DspHarness::all(1));
    h.put_block(0x1009, brr_header(8, 0, true, true), DspHarness::all(2));
    h.put_block(0x1012, brr_header(8, 0, true, true), DspHarness::all(3));
    h.setup_voice(3, 1, 0x00, 0x00, 0x40);  // level 16384
    h.write_voice(3, kVoicePitchH, 0x3F);   // fast: about 2.9 samples per frame
    h.key_on(3);
    // Level one half: block values 1, 2, 3 x 256 play as 128, 256, 384; the
    // third block then loops forever. ENDX is set when the second block
    // (END+LOOP) has been played, the frame the third starts.
    std::vector<int32_t> outputs;
    for (int i = 0; i < 60; i++) {
        h.frame();
        const int32_t out = h.d.voices[3].output;
        outputs.push_back(out);
        if (out == 128 || out == 256) {
            EXPECT_EQ(h.read(kDspEndx) & 0x08, 0) << i;
        }
        if (out == 384) {
            EXPECT_EQ(h.read(kDspEndx) & 0x08, 0x08) << i;
        }
    }
    EXPECT_NE(std::find(outputs.begin(), outputs.end(), 128), outputs.end());
    EXPECT_NE(std::find(outputs.begin(), outputs.end(), 256), outputs.end());
    EXPECT_EQ(outputs.back(), 384);
    EXPECT_TRUE(h.d.active & 0x08);
    EXPECT_EQ(h.read(kDspEndx), 0x08);
    // Writing ENDX clears every bit, whatever the value.
    h.write(kDspEndx, 0xFF);
    EXPECT_EQ(h.read(kDspEndx), 0x00);
}

TEST(DspVoice, EndWithoutLoopRepeatsLastBlockWhileReleasing) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(8, 0, false, true), DspHarness::all(2));  // END only
    h.setup_voice(0, 0, 0x00, 0x00, 0x7F);
    h.key_on(0);
    h.frames(2);
    EXPECT_EQ(h.read(kDspEndx), 0);
    // Block played (16 samples at ~0.73 per frame) -> ENDX, release.
    int frames = 2;
    while (!(h.read(kDspEndx) & 1) && frames < 100) {
        h.frame();
        frames++;
    }
    // The 16th source sample is reached at frame ceil(16 x 5648 / 4096) = 23;
    // the end of the block is seen at the start of the next frame.
    EXPECT_EQ(frames, int(std::ceil(16 * 5648 / 4096.0)) + 1);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::release);
    EXPECT_EQ(h.d.voices[0].block_address, 0x1009);  // not advanced past the block
    // Release: 128 per frame from 32512 until below zero.
    const int32_t level = h.d.voices[0].envelope;
    h.frame();
    EXPECT_EQ(h.d.voices[0].envelope, level - 128);
    h.frames(level / 128 + 1);
    EXPECT_FALSE(h.d.active & 1);
    EXPECT_EQ(h.d.voices[0].envelope, 0);
    EXPECT_EQ(h.d.voices[0].output, 0);
    EXPECT_EQ(h.frame().left, 0);
}

TEST(DspVoice, KeyOnClearsOwnEndxBitAndKeepsEnvelope) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(8, 0, true, true), DspHarness::all(2));
    h.setup_voice(0, 0, 0x8F, 0xE0, 0x00);  // attack rate 15, sustain level max
    h.setup_voice(1, 0, 0x8F, 0xE0, 0x00);
    h.write(kDspKon, 0x03);
    h.frames(40);
    EXPECT_EQ(h.read(kDspEndx), 0x03);
    const int32_t level = h.d.voices[0].envelope;
    EXPECT_GT(level, 0);
    h.key_on(0);
    EXPECT_EQ(h.read(kDspEndx), 0x02);
    EXPECT_EQ(h.d.voices[0].envelope, level);
    EXPECT_EQ(h.d.voices[0].phase, -5648);
    EXPECT_EQ(h.d.voices[0].position, 16);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::attack);
}

TEST(DspVoice, KeyOffAndFlagResetRelease) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(8, 0, true, true), DspHarness::all(2));
    for (int v = 0; v < 3; v++) h.setup_voice(v, 0, 0x00, 0x00, 0x7F);
    h.write(kDspKon, 0x07);
    h.frames(4);
    h.write(kDspKoff, 0x02);
    EXPECT_EQ(h.d.voices[1].mode, EnvelopeMode::release);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::gain);
    h.frames(32512 / 128 + 1);
    EXPECT_EQ(h.d.active, 0x05);
    h.write(kDspFlg, kFlgReset);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::release);
    EXPECT_EQ(h.d.voices[2].mode, EnvelopeMode::release);
    h.frames(32512 / 128 + 1);
    EXPECT_EQ(h.d.active, 0);
}

TEST(DspEnvelope, AttackDecaySustain) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.put_block(0x1000, brr_header(8, 0, true, true), DspHarness::all(2));
    // Attack rate 14 (every 2 frames), decay rate 3 (every 12 frames),
    // sustain level index 3 (16384), sustain rate 10 (every 256 frames).
    h.setup_voice(0, 0, 0x80 | 3 << 4 | 14, 3 << 5 | 10, 0x00);
    h.key_on(0);
    const DspVoice& v = h.d.voices[0];
    for (int k = 1; k < 64; k++) {
        h.frames(2);
        ASSERT_EQ(v.envelope, 512 * k) << k;
    }
    h.frames(2);  // 64 x 512 passes the maximum
    EXPECT_EQ(v.envelope, 32767);
    EXPECT_EQ(v.mode, EnvelopeMode::decay);
    h.frames(11);
    EXPECT_EQ(v.envelope, 32767);
    h.frame();
    EXPECT_EQ(v.envelope, 32767 - 32767 / 256);
    int steps = 1;
    while (v.mode == EnvelopeMode::decay && steps < 1000) {
        h.frames(12);
        steps++;
    }
    EXPECT_EQ(v.mode, EnvelopeMode::sustain);
    EXPECT_LE(v.envelope, 16384);
    EXPECT_GT(v.envelope, 16384 - 16384 / 256 - 1);
    // ln(2) / ln(256/255): about 177 steps from the top down to one half.
    EXPECT_NEAR(steps, std::log(2.0) / std::log(256.0 / 255.0), 3.0);
    const int32_t sustain_start = v.envelope;
    h.frames(256);
    EXPECT_EQ(v.envelope, sustain_start - sustain_start / 256);
}

TEST(DspEnvelope, SustainLevelMaximumSkipsDecay) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.setup_voice(0, 0, 0x8F, 0xE0, 0x00);  // attack every frame, sustain level 32768
    h.key_on(0);
    h.frames(64);
    EXPECT_EQ(h.d.voices[0].envelope, 32767);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::sustain);
}

TEST(DspEnvelope, GainModes) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    const DspVoice& v = h.d.voices[0];

    // Direct: level = (GAIN AND $7F) x 256.
    h.setup_voice(0, 0, 0x00, 0x00, 0x40);
    h.key_on(0);
    h.frame();
    EXPECT_EQ(v.envelope, 0x40 * 256);
    h.write_voice(0, kVoiceGain, 0x25);
    h.frame();
    EXPECT_EQ(v.envelope, 0x25 * 256);

    // Linear decrease, rate 31 (every frame): starts from the maximum.
    h.write_voice(0, kVoiceGain, 0x80 | 31);
    h.key_on(0);
    EXPECT_EQ(v.envelope, 32767);
    h.frames(10);
    EXPECT_EQ(v.envelope, 32767 - 10 * 512);
    h.frames(100);
    EXPECT_EQ(v.envelope, 0);

    // Exponential decrease, rate 28 (every 4 frames).
    h.write_voice(0, kVoiceGain, 0xA0 | 28);
    h.key_on(0);
    h.frames(4);
    EXPECT_EQ(v.envelope, 32767 - 32767 / 256);
    h.frames(3);
    EXPECT_EQ(v.envelope, 32767 - 32767 / 256);

    // Linear increase (bit 6 set: the level is kept at key on).
    h.write_voice(0, kVoiceGain, 0x80 | 31);
    h.frames(100);  // still in decrease mode until keyed: down to 0
    h.write_voice(0, kVoiceGain, 0xC0 | 31);
    h.key_on(0);
    EXPECT_EQ(v.envelope, 0);
    h.frames(3);
    EXPECT_EQ(v.envelope, 1536);
    h.frames(100);
    EXPECT_EQ(v.envelope, 32767);

    // Bent increase: +512 below 24576, then +128.
    h.write_voice(0, kVoiceGain, 0x80 | 31);
    h.frames(100);
    h.write_voice(0, kVoiceGain, 0xE0 | 31);
    h.key_on(0);
    h.frames(48);
    EXPECT_EQ(v.envelope, 24576);
    h.frame();
    EXPECT_EQ(v.envelope, 24576 + 128);
    h.frames(100);
    EXPECT_EQ(v.envelope, 32767);
}

TEST(DspEnvelope, ClearingAdsrEnableSwitchesToGain) {
    DspHarness h;
    h.set_directory(0, 0x1000, 0x1000);
    h.setup_voice(0, 0, 0x8A, 0x00, 0x30);
    h.key_on(0);
    h.frames(20);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::attack);
    h.write_voice(0, kVoiceAdsr1, 0x0A);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::gain);
    h.frame();
    EXPECT_EQ(h.d.voices[0].envelope, 0x30 * 256);
    // A releasing voice stays in release.
    h.write(kDspKoff, 0x01);
    h.write_voice(0, kVoiceAdsr1, 0x0A);
    EXPECT_EQ(h.d.voices[0].mode, EnvelopeMode::release);
}

}  // namespace
}  // namespace vt::test
