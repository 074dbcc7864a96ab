#include "audio/brr.h"

namespace vt {

namespace {

// Filter coefficients x 65536: 15/16, 61/32, 15/16, 115/64, 13/16.
constexpr int64_t k15_16 = 61440;
constexpr int64_t k61_32 = 124928;
constexpr int64_t k115_64 = 117760;
constexpr int64_t k13_16 = 53248;

inline int64_t scaled(int32_t p, int64_t coefficient) { return (p * coefficient) >> 16; }

}  // namespace

int64_t brr_prediction(int filter, int32_t p1, int32_t p2) {
    switch (filter) {
    case 1: return scaled(p1, k15_16);
    case 2: return scaled(p1, k61_32) - scaled(p2, k15_16);
    case 3: return scaled(p1, k115_64) - scaled(p2, k13_16);
    default: return 0;
    }
}

int32_t brr_sample(int nibble, int shift, int filter, int32_t p1, int32_t p2) {
    int64_t s = int64_t(nibble) * (int64_t(1) << shift);
    // Kept in 32 bits: a runaway filter wraps instead of overflowing.
    return int32_t(s + brr_prediction(filter, p1, p2));
}

void brr_decode_block(const uint8_t block[kBrrBlockBytes], int32_t out[kBrrBlockSamples], int32_t& p1,
                      int32_t& p2) {
    const int shift = block[0] >> 4;
    const int filter = (block[0] >> 2) & 3;
    for (int i = 0; i < kBrrBlockSamples; i++) {
        const uint8_t byte = block[1 + i / 2];
        const int raw = (i & 1) ? (byte & 0x0F) : (byte >> 4);  // high nibble first
        const int nibble = raw >= 8 ? raw - 16 : raw;
        const int32_t s = brr_sample(nibble, shift, filter, p1, p2);
        out[i] = s;
        p2 = p1;
        p1 = s;
    }
}

}  // namespace vt
