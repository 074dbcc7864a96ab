// The DSP-1's constant data: its coarse sine table, the fine steps between
// its entries, the sine and cosine of every angle built from the two, and
// the 1,024-word data ROM.
#pragma once

#include <array>
#include <cstdint>

namespace vt::dsp1 {

inline constexpr int kDataRomWords = 1024;
// Where the data ROM keeps the tables the commands read.
inline constexpr int kRomPowersOfTwo = 0;     // 16 words: 1, 2, 4, ... $8000
inline constexpr int kRomInverseSeeds = 101;  // 128 reciprocal seeds, by normalised mantissa
inline constexpr int kRomSquareRoots = 213;   // root of (entry number x 512), scaled by 256
inline constexpr int kRomCoarseSine = 512;    // the 256 words of the coarse sine table
inline constexpr int kRomFineSteps = 768;     // the 256 words of the fine step table

// Coarse sine S[i]: 32768 x sin(2 pi i / 256), toward zero, within +-32767.
int16_t coarse_sine(int i);
// Fine step F[j]: the integer part of 3.141593 x j.
int16_t fine_step(int j);

// Sine and cosine (Q15) of a 16-bit angle ($4000 = 90 degrees), from the
// 65,536-entry tables built when the program starts.
int16_t sine(uint16_t angle);
int16_t cosine(uint16_t angle);

const std::array<uint16_t, kDataRomWords>& data_rom();

}  // namespace vt::dsp1
