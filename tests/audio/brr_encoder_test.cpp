// BRR encoder: block layout and flags, exact round trips of representable
// data, and close reproduction of ordinary waveforms through the decoder.
#include "audio/brr_encoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "audio/brr.h"

namespace vt::test {
namespace {

// Decodes every block in order, as a voice plays them.
std::vector<int16_t> decode_all(const std::vector<uint8_t>& brr) {
    std::vector<int16_t> out;
    int16_t p1 = 0, p2 = 0;
    for (size_t at = 0; at + kBrrBlockBytes <= brr.size(); at += kBrrBlockBytes) {
        int16_t block[kBrrBlockSamples];
        brr_decode_block(&brr[at], block, p1, p2);
        out.insert(out.end(), block, block + kBrrBlockSamples);
    }
    return out;
}

double snr_db(const std::vector<int16_t>& pcm, const std::vector<int16_t>& decoded) {
    double signal = 0, noise = 0;
    for (size_t i = 0; i < pcm.size(); i++) {
        signal += double(pcm[i]) * pcm[i];
        noise += (double(decoded[i]) - pcm[i]) * (double(decoded[i]) - pcm[i]);
    }
    return noise == 0 ? 200.0 : 10 * std::log10(signal / noise);
}

TEST(BrrEncoder, BlocksFlagsAndPadding) {
    std::vector<int16_t> silence(40, 0);  // 2.5 blocks: padded to 3
    std::vector<uint8_t> brr = brr_encode(silence.data(), silence.size());
    // The console silences a voice at the block that ends without a loop:
    // that block is an extra silent one.
    ASSERT_EQ(brr.size(), 4u * kBrrBlockBytes);
    EXPECT_EQ(brr[0] & 3, 0);
    EXPECT_EQ(brr[9] & 3, 0);
    EXPECT_EQ(brr[18] & 3, 0);
    EXPECT_EQ(brr[27], kBrrEnd);  // END, no LOOP, shift 0: silence
    for (int16_t s : decode_all(brr)) EXPECT_EQ(s, 0);

    BrrEncodeOptions loop;
    loop.loop = true;
    brr = brr_encode(silence.data(), 32, loop);
    ASSERT_EQ(brr.size(), 2u * kBrrBlockBytes);
    EXPECT_EQ(brr[9] & 3, kBrrEnd | kBrrLoop);

    // Nothing at all still gives one (silent, ending) block.
    brr = brr_encode(nullptr, 0);
    ASSERT_EQ(brr.size(), size_t(kBrrBlockBytes));
    EXPECT_EQ(brr[0] & 3, kBrrEnd);
}

TEST(BrrEncoder, RepresentableDataRoundTripsExactly) {
    // Nibbles times 2^9 with no prediction needed.
    std::vector<int16_t> pcm;
    for (int i = 0; i < 64; i++) pcm.push_back(int16_t(((i * 5) % 16 - 8) * 512));
    std::vector<int16_t> decoded = decode_all(brr_encode(pcm.data(), pcm.size()));
    for (size_t i = 0; i < pcm.size(); i++) EXPECT_EQ(decoded[i], pcm[i]) << i;
}

TEST(BrrEncoder, SineReproducedClosely) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < 512; i++) pcm.push_back(int16_t(std::lround(20000 * std::sin(2 * std::numbers::pi * i / 64.0))));
    std::vector<uint8_t> brr = brr_encode(pcm.data(), pcm.size());
    EXPECT_EQ(brr.size(), 33u * kBrrBlockBytes);
    EXPECT_GT(snr_db(pcm, decode_all(brr)), 35.0);
    // Prediction pays off on a smooth wave: later blocks use filters.
    int filtered = 0;
    for (size_t at = kBrrBlockBytes; at < brr.size(); at += kBrrBlockBytes) filtered += (brr[at] >> 2 & 3) != 0;
    EXPECT_GT(filtered, 20);
    // The first block cannot rely on a history.
    EXPECT_EQ(brr[0] >> 2 & 3, 0);
}

TEST(BrrEncoder, FullScaleAndNoise) {
    std::vector<int16_t> pcm;
    uint32_t seed = 12345;
    for (int i = 0; i < 256; i++) {
        seed = seed * 1103515245 + 12345;
        pcm.push_back(int16_t(i < 32 ? (i & 1 ? 32767 : -32768) : int16_t(seed >> 16)));
    }
    std::vector<int16_t> decoded = decode_all(brr_encode(pcm.data(), pcm.size()));
    // Four bits per sample: white noise and full-scale square keep about
    // 20 dB.
    EXPECT_GT(snr_db(pcm, decoded), 15.0);
}

TEST(BrrEncoder, LoopBlockDecodesTheSameWhenEnteredFromTheEnd) {
    std::vector<int16_t> pcm;
    for (int i = 0; i < 96; i++) pcm.push_back(int16_t(std::lround(12000 * std::sin(2 * std::numbers::pi * i / 32.0) + 3000)));
    BrrEncodeOptions loop;
    loop.loop = true;
    loop.loop_start = 32;
    std::vector<uint8_t> brr = brr_encode(pcm.data(), pcm.size(), loop);
    const size_t loop_block = 2 * kBrrBlockBytes;
    EXPECT_EQ(brr[loop_block] >> 2 & 3, 0);
    // Decoding the loop block with the history left by the last block
    // gives the same samples as the first time through.
    std::vector<int16_t> first = decode_all(brr);
    int16_t p1 = first.back(), p2 = first[first.size() - 2];
    int16_t again[kBrrBlockSamples];
    brr_decode_block(&brr[loop_block], again, p1, p2);
    for (int i = 0; i < kBrrBlockSamples; i++) EXPECT_EQ(again[i], first[32 + i]) << i;
}

}  // namespace
}  // namespace vt::test
