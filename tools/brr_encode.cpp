// brr-encode: turns 16-bit PCM into BRR sample data for audio programs.
//
//   brr-encode [--loop [--loop-start N]] INPUT.raw OUTPUT.brr
//       INPUT is mono 16-bit little-endian PCM.
//   brr-encode --wave sine|square|triangle|saw --period N [--amplitude A] OUTPUT.brr
//       One period of N samples (a multiple of 16), looping.
//
// The output is the bare 9-byte blocks, END set on the last (and LOOP when
// looping), ready for .incbin.
#include <cmath>
#include <numbers>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "audio/brr_encoder.h"

namespace {

void usage() {
    std::fprintf(stderr,
                 "usage: brr-encode [--loop [--loop-start N]] INPUT.raw OUTPUT.brr\n"
                 "       brr-encode --wave sine|square|triangle|saw --period N [--amplitude A] OUTPUT.brr\n");
}

bool read_pcm(const std::string& path, std::vector<int16_t>& pcm) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    pcm.clear();
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) pcm.push_back(int16_t(bytes[i] | bytes[i + 1] << 8));
    return true;
}

// One period of a waveform; phase t runs over [0, 1).
bool synthesise(const std::string& kind, long period, long amplitude, std::vector<int16_t>& pcm) {
    pcm.clear();
    for (long i = 0; i < period; i++) {
        const double t = double(i) / double(period);
        double v;
        if (kind == "sine") v = std::sin(2 * std::numbers::pi * t);
        else if (kind == "square") v = t < 0.5 ? 1.0 : -1.0;
        else if (kind == "triangle") v = t < 0.25 ? 4 * t : t < 0.75 ? 2 - 4 * t : 4 * t - 4;
        else if (kind == "saw") v = 2 * t - 1;
        else return false;
        pcm.push_back(int16_t(std::lround(v * double(amplitude))));
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    vt::BrrEncodeOptions options;
    std::string wave;
    long period = 0;
    long amplitude = 16000;
    std::vector<std::string> files;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (!std::strcmp(a, "--loop")) {
            options.loop = true;
        } else if (!std::strcmp(a, "--loop-start") && i + 1 < argc) {
            options.loop_start = size_t(std::strtoul(argv[++i], nullptr, 10));
        } else if (!std::strcmp(a, "--wave") && i + 1 < argc) {
            wave = argv[++i];
        } else if (!std::strcmp(a, "--period") && i + 1 < argc) {
            period = std::strtol(argv[++i], nullptr, 10);
        } else if (!std::strcmp(a, "--amplitude") && i + 1 < argc) {
            amplitude = std::strtol(argv[++i], nullptr, 10);
        } else if (a[0] != '-') {
            files.push_back(a);
        } else {
            usage();
            return 1;
        }
    }

    std::vector<int16_t> pcm;
    std::string output;
    if (!wave.empty()) {
        if (files.size() != 1 || period <= 0 || period % 16 != 0 || amplitude < 0 || amplitude > 32767) {
            usage();
            return 1;
        }
        if (!synthesise(wave, period, amplitude, pcm)) {
            std::fprintf(stderr, "brr-encode: unknown wave '%s'\n", wave.c_str());
            return 1;
        }
        options.loop = true;
        options.loop_start = 0;
        output = files[0];
    } else {
        if (files.size() != 2 || options.loop_start % 16 != 0) {
            usage();
            return 1;
        }
        if (!read_pcm(files[0], pcm)) {
            std::fprintf(stderr, "brr-encode: cannot read %s\n", files[0].c_str());
            return 1;
        }
        if (options.loop && options.loop_start >= pcm.size()) {
            std::fprintf(stderr, "brr-encode: the loop starts past the end of the sample\n");
            return 1;
        }
        output = files[1];
    }

    const std::vector<uint8_t> brr = vt::brr_encode(pcm.data(), pcm.size(), options);
    std::ofstream out(output, std::ios::binary);
    out.write(reinterpret_cast<const char*>(brr.data()), std::streamsize(brr.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "brr-encode: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
