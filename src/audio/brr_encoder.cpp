#include "audio/brr_encoder.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "audio/brr.h"

namespace vt {

namespace {

struct BlockChoice {
    std::array<uint8_t, kBrrBlockBytes> bytes{};
    int16_t p1 = 0;
    int16_t p2 = 0;
    double error = 0;
};

// Encodes one block with a given filter and shift, sample by sample against
// the decoder's own prediction (stored samples are doubled, so is the
// prediction).
BlockChoice encode_block(const int32_t* target, int filter, int shift, int16_t p1, int16_t p2) {
    BlockChoice c;
    c.bytes[0] = brr_header(shift, filter, false, false);
    for (int i = 0; i < kBrrBlockSamples; i++) {
        const int prediction = 2 * brr_prediction(filter, p1, p2);
        const double residual = double(target[i] - prediction) / double(1 << shift);
        const int nibble = int(std::clamp(std::lround(residual), -8L, 7L));
        const int16_t decoded = brr_sample(nibble, shift, filter, p1, p2);
        const double diff = double(decoded) - target[i];
        c.error += diff * diff;
        c.bytes[1 + i / 2] |= uint8_t((i & 1) ? (nibble & 15) : (nibble & 15) << 4);
        p2 = p1;
        p1 = decoded;
    }
    c.p1 = p1;
    c.p2 = p2;
    return c;
}

}  // namespace

std::vector<uint8_t> brr_encode(const int16_t* pcm, size_t count, const BrrEncodeOptions& options) {
    const size_t data_blocks = (count + kBrrBlockSamples - 1) / kBrrBlockSamples;
    const size_t blocks = options.loop ? std::max<size_t>(1, data_blocks) : data_blocks;
    const size_t loop_block = options.loop_start / kBrrBlockSamples;
    std::vector<uint8_t> out;
    out.reserve(blocks * kBrrBlockBytes);
    int16_t p1 = 0, p2 = 0;
    for (size_t b = 0; b < blocks; b++) {
        int32_t target[kBrrBlockSamples];
        for (int i = 0; i < kBrrBlockSamples; i++) {
            const size_t at = b * kBrrBlockSamples + size_t(i);
            target[i] = at < count ? pcm[at] : 0;
        }
        // The first block and the loop's first block are entered without a
        // history that matches, so they do without prediction.
        const bool plain = b == 0 || (options.loop && b == loop_block);
        BlockChoice best;
        bool found = false;
        for (int filter = 0; filter < (plain ? 1 : 4); filter++) {
            for (int shift = 0; shift <= kBrrLargestShift; shift++) {
                BlockChoice c = encode_block(target, filter, shift, p1, p2);
                if (!found || c.error < best.error) {
                    best = c;
                    found = true;
                }
            }
        }
        if (options.loop && b + 1 == blocks) best.bytes[0] |= uint8_t(kBrrEnd | kBrrLoop);
        out.insert(out.end(), best.bytes.begin(), best.bytes.end());
        p1 = best.p1;
        p2 = best.p2;
    }
    // The console silences a voice as soon as its decoder reaches a block
    // with END and without LOOP, while the last few decoded samples (up to
    // twelve) still wait to be played. So a sample that stops ends with a
    // silent block of its own: only the tail of its last block is cut,
    // which for a sound that dies away is silence already.
    if (!options.loop) {
        const uint8_t silent_end[kBrrBlockBytes] = {brr_header(0, 0, false, true)};
        out.insert(out.end(), silent_end, silent_end + kBrrBlockBytes);
    }
    return out;
}

}  // namespace vt
