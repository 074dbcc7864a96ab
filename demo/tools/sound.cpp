#include "sound.h"

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace demo {

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kSourceRate = 32000.0;  // samples per second at pitch $1000

std::vector<uint8_t> pcm_bytes(const std::vector<double>& wave, double amplitude) {
    std::vector<uint8_t> out;
    for (double v : wave) {
        const long s = std::lround(std::max(-1.0, std::min(1.0, v)) * amplitude);
        out.push_back(uint8_t(s & 0xFF));
        out.push_back(uint8_t((s >> 8) & 0xFF));
    }
    return out;
}

// One period built from harmonics: harmonics[k] is the weight of
// harmonic k + 1 (sine phase), normalised to a peak of 1.
std::vector<double> additive(const std::vector<double>& harmonics) {
    std::vector<double> wave(kInstrumentPeriod);
    double peak = 0;
    for (int i = 0; i < kInstrumentPeriod; i++) {
        double t = double(i) / kInstrumentPeriod;
        double v = 0;
        for (size_t k = 0; k < harmonics.size(); k++) v += harmonics[k] * std::sin(2 * kPi * double(k + 1) * t);
        wave[size_t(i)] = v;
        peak = std::max(peak, std::fabs(v));
    }
    for (double& v : wave) v /= peak;
    return wave;
}

// White noise from a fixed linear congruential sequence, -1..1.
struct Noise {
    uint32_t state = 0x1234567u;
    double next() {
        state = state * 1664525u + 1013904223u;
        return double(int32_t(state >> 8) - (1 << 23)) / double(1 << 23);
    }
};

std::vector<double> kick() {
    const int n = 3200;
    std::vector<double> out(n);
    double phase = 0;
    for (int i = 0; i < n; i++) {
        const double t = i / kSourceRate;
        const double freq = 45 + 110 * std::exp(-t * 40);
        phase += 2 * kPi * freq / kSourceRate;
        out[size_t(i)] = std::sin(phase) * std::exp(-t * 22);
    }
    return out;
}

std::vector<double> snare() {
    const int n = 3200;
    std::vector<double> out(n);
    Noise noise;
    for (int i = 0; i < n; i++) {
        const double t = i / kSourceRate;
        const double tone = std::sin(2 * kPi * 185 * t) * std::exp(-t * 35);
        const double hiss = noise.next() * std::exp(-t * 28);
        out[size_t(i)] = 0.45 * tone + 0.6 * hiss;
    }
    return out;
}

std::vector<double> hat() {
    const int n = 1024;
    std::vector<double> out(n);
    Noise noise;
    noise.state = 0x9E3779B9u;
    double previous = 0;
    for (int i = 0; i < n; i++) {
        const double t = i / kSourceRate;
        const double white = noise.next();
        out[size_t(i)] = (white - previous) * 0.5 * std::exp(-t * 90);  // a first difference thins out the lows
        previous = white;
    }
    return out;
}

}  // namespace

void make_instruments(Files& files) {
    // Lead: a soft square (odd harmonics falling off).
    files["lead.raw"] = pcm_bytes(additive({1, 0, 0.30, 0, 0.16, 0, 0.09, 0, 0.05}), 9000);
    // Bass: mostly fundamental with a little edge.
    files["bass.raw"] = pcm_bytes(additive({1, 0.35, 0.12, 0.05}), 11000);
    // Pad: a band-limited sawtooth.
    std::vector<double> saw;
    for (int k = 1; k <= 12; k++) saw.push_back(1.0 / k);
    files["pad.raw"] = pcm_bytes(additive(saw), 7000);
    // Bell: fundamental with the second and fourth harmonics.
    files["bell.raw"] = pcm_bytes(additive({1, 0.5, 0, 0.3}), 9000);
    files["kick.raw"] = pcm_bytes(kick(), 14000);
    files["snare.raw"] = pcm_bytes(snare(), 11000);
    files["hat.raw"] = pcm_bytes(hat(), 9000);
}

void make_pitch_table(Files& files) {
    std::vector<uint8_t> out;
    for (int note = 0; note < 128; note++) {
        const double freq = 440.0 * std::pow(2.0, (note - 69) / 12.0);
        // A pitch of $1000 plays 32,000 samples a second.
        long pitch = std::lround(freq * kInstrumentPeriod * 4096.0 / kSourceRate);
        if (pitch < 1 || pitch > 0x3FFF) pitch = 0;
        out.push_back(uint8_t(pitch));
        out.push_back(uint8_t(pitch >> 8));
    }
    files["pitch.bin"] = out;
}

}  // namespace demo
