// The NES sound unit's cost per video frame: every channel playing (the
// noise at its fastest period, the DMC looping a sample), run after every
// instruction as the side does (batches of 2-7 cycles), then the frame's
// 734 output frames through the converter and the output stage.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "nes/nes_apu.h"

namespace {

uint8_t sample_byte(void*, uint16_t address) { return uint8_t(address * 37 + 11); }

std::unique_ptr<vt::NesApu> playing_apu(uint8_t noise_period) {
    auto a = std::make_unique<vt::NesApu>();
    vt::nes_apu_power_on(*a);
    a->dmc_read = sample_byte;
    const uint8_t writes[][2] = {
        {0x15, 0x1F}, {0x00, 0xBF}, {0x01, 0x08}, {0x02, 0xFD}, {0x03, 0x00}, {0x04, 0x7A},
        {0x05, 0x08}, {0x06, 0x50}, {0x07, 0x01}, {0x08, 0xFF}, {0x0A, 0x7E}, {0x0B, 0x00},
        {0x0C, 0x3A}, {0x0E, noise_period}, {0x0F, 0x00}, {0x10, 0x4E}, {0x12, 0x00}, {0x13, 0x10},
        {0x15, 0x1F},
    };
    for (const auto& w : writes) vt::nes_apu_write(*a, uint16_t(0x4000 + w[0]), w[1]);
    return a;
}

void run_frame(vt::NesApu& a, std::array<int16_t, 2 * 800>& out, uint32_t batch_pattern) {
    uint32_t done = 0, i = 0;
    while (done < 29781) {
        const uint32_t n = batch_pattern ? 2 + (i++ * 5 + 3) % 6 : 29781;
        vt::nes_apu_run(a, n);
        done += n;
    }
    vt::nes_apu_frame_end(a, out.data(), 734);
}

void BM_NesApuFramePerInstruction(benchmark::State& state) {
    auto a = playing_apu(uint8_t(state.range(0)));
    std::array<int16_t, 2 * 800> out{};
    for (auto _ : state) run_frame(*a, out, 1);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
// Noise period index 0 (an event every 4 cycles) and 8 (a usual one).
BENCHMARK(BM_NesApuFramePerInstruction)->Arg(0)->Arg(8);

void BM_NesApuFrameOneBatch(benchmark::State& state) {
    auto a = playing_apu(8);
    std::array<int16_t, 2 * 800> out{};
    for (auto _ : state) run_frame(*a, out, 0);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NesApuFrameOneBatch);

// Silence: what a game that plays no sound costs.
void BM_NesApuFrameSilent(benchmark::State& state) {
    auto a = std::make_unique<vt::NesApu>();
    vt::nes_apu_power_on(*a);
    std::array<int16_t, 2 * 800> out{};
    for (auto _ : state) run_frame(*a, out, 1);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_NesApuFrameSilent);

}  // namespace

BENCHMARK_MAIN();
