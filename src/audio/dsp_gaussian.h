// Gaussian interpolation of a voice's decoded samples, in the chip's own
// precision.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>

namespace vt {

extern const std::array<int16_t, 512> kGaussianTable;

// The sample at fraction `f` (0-255, in 256ths) past in[1], from four
// samples in a row (oldest first). The first three products are summed
// in 16 bits (they wrap), the fourth is added with saturation; the result
// is even, like every sample of the chip.
inline int dsp_gaussian(const int16_t* in, int f) {
    const int16_t* g = kGaussianTable.data();
    int out = (g[255 - f] * in[0]) >> 11;
    out += (g[511 - f] * in[1]) >> 11;
    out += (g[256 + f] * in[2]) >> 11;
    out = int16_t(out);
    out += (g[f] * in[3]) >> 11;
    return std::clamp(out, -32768, 32767) & ~1;
}

}  // namespace vt
