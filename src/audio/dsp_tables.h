// Envelope timing tables of the sound generator. Periods are in output
// frames (44,100 per second); an envelope step happens once per period.
#pragma once

#include <array>
#include <cstdint>

namespace vt {

// GAIN and sustain rates (5-bit index).
inline constexpr std::array<int32_t, 32> kDspRatePeriods = {
    4096, 2048, 1536, 1280, 1024, 768, 640, 512, 384, 320, 256, 192, 160, 128, 96, 80,
    64,   48,   40,   32,   24,   20,  16,  12,  10,  8,   6,   5,   4,   3,   2,  1,
};

// Attack rates (ADSR1 bits 0-3).
inline constexpr std::array<int32_t, 16> kDspAttackPeriods = {
    1536, 1024, 640, 384, 256, 160, 96, 64, 40, 24, 16, 10, 6, 4, 2, 1,
};

// Decay rates (ADSR1 bits 4-6).
inline constexpr std::array<int32_t, 8> kDspDecayPeriods = {48, 32, 20, 12, 8, 5, 3, 1};

// Sustain levels (ADSR2 bits 5-7) in envelope units. The last one is above
// the envelope's maximum: attack then goes straight to sustain.
inline constexpr std::array<int32_t, 8> kDspSustainLevels = {
    4096, 8192, 12288, 16384, 20480, 24576, 28672, 32768,
};
inline constexpr int32_t kSustainAtMaximum = 32768;

}  // namespace vt
