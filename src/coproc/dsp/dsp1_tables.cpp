#include "coproc/dsp/dsp1_tables.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace vt::dsp1 {

namespace {

struct CoarseTables {
    std::array<int16_t, 256> sine{};
    std::array<int16_t, 256> fine{};
};

CoarseTables build_coarse() {
    CoarseTables t;
    for (int i = 0; i < 256; i++) {
        const double s = std::trunc(32768.0 * std::sin(2.0 * std::numbers::pi * i / 256.0));
        t.sine[size_t(i)] = int16_t(std::clamp(s, -32767.0, 32767.0));
        t.fine[size_t(i)] = int16_t(std::trunc(3.141593 * i));
    }
    return t;
}

const CoarseTables& coarse() {
    static const CoarseTables t = build_coarse();
    return t;
}

// High word of 2 x a x b for the interpolation step (a 32-bit signed value
// shifted right arithmetically).
int32_t high_of_double_product(int32_t a, int32_t b) { return int32_t(2 * int64_t(a) * b) >> 16; }

// Angles 0 to $7FFF: the coarse entry plus the fine step times the slope.
// h is the coarse index (angle / 256), l the position between two entries.
int16_t positive_sine(int a) {
    const CoarseTables& t = coarse();
    const int h = a >> 8, l = a & 255;
    const int32_t sum = t.sine[size_t(h)] + high_of_double_product(t.fine[size_t(l)], t.sine[size_t((h + 64) & 255)]);
    return sum > 32767 ? int16_t(32767) : int16_t(sum);
}

int16_t positive_cosine(int a) {
    const CoarseTables& t = coarse();
    const int h = a >> 8, l = a & 255;
    const int32_t diff = t.sine[size_t((h + 64) & 255)] - high_of_double_product(t.fine[size_t(l)], t.sine[size_t(h)]);
    return diff < -32768 ? int16_t(-32767) : int16_t(diff);
}

struct AngleTables {
    std::array<int16_t, 65536> sine{};
    std::array<int16_t, 65536> cosine{};
};

AngleTables build_angles() {
    AngleTables t;
    for (int i = 0; i < 65536; i++) {
        const int a = int16_t(uint16_t(i));
        int16_t s, c;
        if (a == -32768) {
            s = 0;
            c = -32768;
        } else if (a < 0) {
            s = int16_t(-positive_sine(-a));
            c = positive_cosine(-a);
        } else {
            s = positive_sine(a);
            c = positive_cosine(a);
        }
        t.sine[size_t(i)] = s;
        t.cosine[size_t(i)] = c;
    }
    return t;
}

// Built when the program starts, so no command waits for them.
const AngleTables kAngles = build_angles();

std::array<uint16_t, kDataRomWords> build_data_rom() {
    std::array<uint16_t, kDataRomWords> rom{};
    for (int i = 0; i < 16; i++) rom[size_t(kRomPowersOfTwo + i)] = uint16_t(1u << i);
    // Seed i serves mantissas $4000 + 128i to $407F + 128i: about 2^29 / C
    // at the middle of that range, which is 2^14 / c for the fraction c.
    for (int i = 0; i < 128; i++) {
        const double middle = 0x4000 + 128.0 * i + 64.0;
        rom[size_t(kRomInverseSeeds + i)] = uint16_t(std::min(32767.0, std::round(536870912.0 / middle)));
    }
    // Entry j = 256 x root(512 j); the mantissas reach entries 32 to 128,
    // so the table's first 32 words lie inside the seeds and are never used
    // as roots.
    for (int j = 32; j <= 128; j++) {
        rom[size_t(kRomSquareRoots + j)] = uint16_t(std::min(65535.0, std::round(256.0 * std::sqrt(512.0 * j))));
    }
    for (int i = 0; i < 256; i++) {
        rom[size_t(kRomCoarseSine + i)] = uint16_t(coarse_sine(i));
        rom[size_t(kRomFineSteps + i)] = uint16_t(fine_step(i));
    }
    return rom;
}

const std::array<uint16_t, kDataRomWords> kDataRom = build_data_rom();

}  // namespace

int16_t coarse_sine(int i) { return coarse().sine[size_t(i & 255)]; }
int16_t fine_step(int j) { return coarse().fine[size_t(j & 255)]; }

int16_t sine(uint16_t angle) { return kAngles.sine[angle]; }
int16_t cosine(uint16_t angle) { return kAngles.cosine[angle]; }

const std::array<uint16_t, kDataRomWords>& data_rom() { return kDataRom; }

}  // namespace vt::dsp1
