#include "audio/brr.h"

#include <algorithm>

namespace vt {

// The filters' coefficients (15/16; 61/32 and -15/16; 115/64 and -13/16)
// are built from shifts, with p1 taken as stored (doubled) and p2 halved,
// exactly as the chip adds them up.
int brr_prediction(int filter, int16_t stored_p1, int16_t stored_p2) {
    const int p1 = stored_p1;
    const int p2 = stored_p2 >> 1;
    switch (filter) {
    case 1: return (p1 >> 1) + (-p1 >> 5);
    case 2: return p1 - p2 + (p2 >> 4) + ((p1 * -3) >> 6);
    case 3: return p1 - p2 + ((p1 * -13) >> 7) + ((p2 * 3) >> 4);
    default: return 0;
    }
}

int16_t brr_sample(int nibble, int shift, int filter, int16_t p1, int16_t p2) {
    int s = shift <= kBrrLargestShift ? (nibble << shift) >> 1 : (nibble < 0 ? -2048 : 0);
    s = std::clamp(s + brr_prediction(filter, p1, p2), -32768, 32767);
    return int16_t(uint16_t(s * 2));
}

void brr_decode_block(const uint8_t block[kBrrBlockBytes], int16_t out[kBrrBlockSamples], int16_t& p1,
                      int16_t& p2) {
    const int shift = block[0] >> 4;
    const int filter = (block[0] >> 2) & 3;
    for (int i = 0; i < kBrrBlockSamples; i++) {
        const uint8_t byte = block[1 + i / 2];
        const int raw = (i & 1) ? (byte & 0x0F) : (byte >> 4);  // high nibble first
        const int nibble = raw >= 8 ? raw - 16 : raw;
        const int16_t s = brr_sample(nibble, shift, filter, p1, p2);
        out[i] = s;
        p2 = p1;
        p1 = s;
    }
}

}  // namespace vt
