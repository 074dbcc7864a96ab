// Helpers for the sound unit's tests: a powered-on unit, sample capture and
// measures of pitch and level taken from the output.
#pragma once

#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "nes/nes_apu.h"

namespace vt::test {

inline constexpr double kNesCpuHz = 19687500.0 / 11.0;
// 262 lines of 341 dots, 3 dots a CPU cycle.
inline constexpr double kNesFrameCycles = 262.0 * 341.0 / 3.0;

inline std::unique_ptr<NesApu> powered_apu() {
    auto a = std::make_unique<NesApu>();
    nes_apu_power_on(*a);
    return a;
}

// Runs `frames` video frames as the side does (the cycle remainder carried,
// 734 or 735 output frames each) and returns the left channel; checks that
// both sides are equal.
inline std::vector<int16_t> run_frames(NesApu& a, int frames, bool* sides_equal = nullptr) {
    std::vector<int16_t> left;
    double cycle_carry = 0, sample_carry = 0;
    const double samples_per_frame = 44100.0 * kNesFrameCycles / kNesCpuHz;
    std::vector<int16_t> stereo(2 * 800);
    if (sides_equal) *sides_equal = true;
    for (int f = 0; f < frames; f++) {
        cycle_carry += kNesFrameCycles;
        const uint32_t cycles = uint32_t(cycle_carry);
        cycle_carry -= cycles;
        // In batches the size of a few instructions.
        for (uint32_t done = 0; done < cycles;) {
            const uint32_t n = std::min<uint32_t>(7, cycles - done);
            nes_apu_run(a, n);
            done += n;
        }
        sample_carry += samples_per_frame;
        const uint32_t n = uint32_t(sample_carry);
        sample_carry -= n;
        nes_apu_frame_end(a, stereo.data(), n);
        for (uint32_t i = 0; i < n; i++) {
            left.push_back(stereo[2 * i]);
            if (sides_equal && stereo[2 * i] != stereo[2 * i + 1]) *sides_equal = false;
        }
    }
    return left;
}

// The frequency of a periodic signal from its rising zero crossings (with
// a little hysteresis), between the first and the last.
inline int peak_to_peak(const std::vector<int16_t>& s, size_t from = 0);

inline double measure_frequency(const std::vector<int16_t>& s, size_t from = 0) {
    const int hysteresis = peak_to_peak(s, from) / 4;
    double first = -1, last = -1;
    int crossings = 0;
    bool low = false;
    for (size_t i = from + 1; i < s.size(); i++) {
        if (s[i] < -hysteresis) low = true;
        if (low && s[i - 1] < 0 && s[i] >= 0) {
            // Interpolated position of the crossing.
            const double t = double(i - 1) + double(-s[i - 1]) / double(s[i] - s[i - 1]);
            if (first < 0) first = t;
            last = t;
            crossings++;
            low = false;
        }
    }
    if (crossings < 2) return 0;
    return (crossings - 1) * 44100.0 / (last - first);
}

inline double measure_rms(const std::vector<int16_t>& s, size_t from = 0) {
    double sum = 0;
    for (size_t i = from; i < s.size(); i++) sum += double(s[i]) * s[i];
    return s.size() > from ? std::sqrt(sum / double(s.size() - from)) : 0;
}

inline int peak_to_peak(const std::vector<int16_t>& s, size_t from) {
    int lo = 0, hi = 0;
    for (size_t i = from; i < s.size(); i++) {
        lo = std::min<int>(lo, s[i]);
        hi = std::max<int>(hi, s[i]);
    }
    return hi - lo;
}

// The mixer's level with every channel silent: the triangle rests on its
// first step (15) from power-on.
inline int32_t resting_level() { return nes_apu_mix(0, 0, 15, 0, 0); }

// The pulses' part of the mixer level (they have a network of their own).
inline int32_t pulse_level(const NesApu& a) { return a.level - resting_level(); }

// The largest pulse level seen while running `cycles` cycles step by step.
inline int32_t max_level(NesApu& a, uint32_t cycles) {
    int32_t most = 0;
    for (uint32_t i = 0; i < cycles; i++) {
        nes_apu_run(a, 1);
        most = std::max(most, pulse_level(a));
    }
    return most;
}

}  // namespace vt::test
