// BRR, the sound generator's sample compression: 9-byte blocks of a header
// and 16 four-bit samples, each block with a shift and one of four
// prediction filters.
#pragma once

#include <array>
#include <cstdint>

namespace vt {

inline constexpr int kBrrBlockBytes = 9;
inline constexpr int kBrrBlockSamples = 16;

// Header flags: END stops (or loops) the sample after this block.
inline constexpr uint8_t kBrrEnd = 0x01;
inline constexpr uint8_t kBrrLoop = 0x02;

// Header byte: shift in bits 4-7, filter in bits 2-3, LOOP bit 1, END bit 0.
inline constexpr uint8_t brr_header(int shift, int filter, bool loop, bool end) {
    return uint8_t(shift << 4 | filter << 2 | (loop ? 2 : 0) | (end ? 1 : 0));
}

// The prediction of one filter from the previous sample p1 and the one
// before, p2. The coefficients are applied in 16-bit fixed point: p times
// (coefficient x 65536), keeping the high part.
int64_t brr_prediction(int filter, int32_t p1, int32_t p2);

// One sample from a sign-extended nibble (-8..7): nibble << shift plus the
// filter's prediction. Samples are not clamped; they are kept in 32 bits.
int32_t brr_sample(int nibble, int shift, int filter, int32_t p1, int32_t p2);

// Decodes a block into 16 samples; p1 and p2 carry the prediction from
// block to block.
void brr_decode_block(const uint8_t block[kBrrBlockBytes], int32_t out[kBrrBlockSamples], int32_t& p1,
                      int32_t& p2);

}  // namespace vt
