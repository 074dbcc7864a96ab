// The sound generator's rates: envelopes and the noise clock step on a
// shared counter that counts down once per 32 kHz sample through $7800
// values. Rate r (0-31) fires at the samples where (counter + offset[r])
// is a multiple of period[r]; rate 0 never fires, rate 31 every sample.
// The periods come in three families (powers of two, 3 x and 5 x powers
// of two), each family with its own offset, so rates of one family keep in
// step with each other and not with the other families.
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace vt {

inline constexpr std::array<uint16_t, 32> kDspRatePeriods = {
    0,   2048, 1536, 1280, 1024, 768, 640, 512, 384, 320, 256, 192, 160, 128, 96, 80,
    64,  48,   40,   32,   24,   20,  16,  12,  10,  8,   6,   5,   4,   3,   2,  1,
};
inline constexpr std::array<uint16_t, 32> kDspRateOffsets = {
    0, 0, 1040, 536, 0, 1040, 536, 0, 1040, 536, 0, 1040, 536, 0, 1040, 536,
    0, 1040, 536, 0, 1040, 536, 0, 1040, 536, 0, 1040, 536, 0, 1040, 0, 0,
};

// Whether rate `rate` fires at this counter value, straight from the
// definition.
constexpr bool dsp_rate_fires(int rate, int counter) {
    return rate != 0 && (counter + kDspRateOffsets[rate]) % kDspRatePeriods[rate] == 0;
}

namespace detail {

// For each family: the rates whose period's power of two is at most 2^k.
struct RateFamily {
    int factor;
    int offset;
    std::array<uint32_t, 16> rates_within;  // index: trailing zero bits of counter + offset
};

constexpr RateFamily rate_family(int factor, int offset) {
    RateFamily f{factor, offset, {}};
    for (int tz = 0; tz < 16; tz++) {
        for (int r = 1; r < 32; r++) {
            const int period = kDspRatePeriods[r];
            if (kDspRateOffsets[r] != offset || period % factor != 0) continue;
            const int power = period / factor;
            if ((power & (power - 1)) == 0 && std::countr_zero(unsigned(power)) <= tz) f.rates_within[tz] |= 1u << r;
        }
    }
    return f;
}

// Offsets 0, 1040 and 536 hold the periods 2^k, 3 x 2^k and 5 x 2^k (with
// 2 and 1 among the first).
inline constexpr std::array<RateFamily, 3> kRateFamilies = {
    rate_family(1, 0),
    rate_family(3, 1040),
    rate_family(5, 536),
};

}  // namespace detail

// Every rate that fires at this counter value, as a bit per rate: a few
// operations per sample instead of a division per voice.
inline uint32_t dsp_rates_firing(int counter) {
    uint32_t mask = 0;
    for (const detail::RateFamily& f : detail::kRateFamilies) {
        const unsigned value = unsigned(counter + f.offset);
        if (value % unsigned(f.factor) != 0) continue;
        mask |= f.rates_within[std::countr_zero(value | 0x8000u)];
    }
    return mask;
}

}  // namespace vt
