// BRR, the sound generator's sample compression: 9-byte blocks of a header
// and 16 four-bit samples, each block with a shift and one of four
// prediction filters.
//
// Decoding follows the chip's arithmetic exactly. Samples are kept as the
// chip keeps them: a 15-bit value stored doubled in 16 bits, so every stored
// sample is even. The filters work on those stored values, each product
// rounded down on its own; the sum is clamped to 16 bits and then doubled,
// and the doubling wraps (a result above 16,383 comes back negative).
#pragma once

#include <array>
#include <cstdint>

namespace vt {

inline constexpr int kBrrBlockBytes = 9;
inline constexpr int kBrrBlockSamples = 16;
// Shifts above 12 are not meant for use: the chip then gives -2048 for a
// negative nibble and 0 otherwise (in the 15-bit domain).
inline constexpr int kBrrLargestShift = 12;

// Header flags: END stops (or loops) the sample after this block.
inline constexpr uint8_t kBrrEnd = 0x01;
inline constexpr uint8_t kBrrLoop = 0x02;

// Header byte: shift in bits 4-7, filter in bits 2-3, LOOP bit 1, END bit 0.
inline constexpr uint8_t brr_header(int shift, int filter, bool loop, bool end) {
    return uint8_t(shift << 4 | filter << 2 | (loop ? 2 : 0) | (end ? 1 : 0));
}

// The prediction of one filter in the 15-bit domain, from the previous
// stored sample p1 and the one before, p2.
int brr_prediction(int filter, int16_t p1, int16_t p2);

// The stored sample made from a sign-extended nibble (-8..7), the block's
// shift and filter and the two stored samples before it.
int16_t brr_sample(int nibble, int shift, int filter, int16_t p1, int16_t p2);

// Decodes a block into 16 stored samples; p1 and p2 carry the prediction
// from block to block.
void brr_decode_block(const uint8_t block[kBrrBlockBytes], int16_t out[kBrrBlockSamples], int16_t& p1,
                      int16_t& p2);

}  // namespace vt
