// Main-CPU speed: a realistic instruction mix running through the real
// memory map, reported as emulated instructions per second.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/bench_support.h"
#include "core/driver.h"
#include "core/machine.h"
#include "core/main_cpu.h"

namespace {

// Instructions alone: the CPU step with the memory map, no driver around it.
void BM_CpuInstructions(benchmark::State& state) {
    auto m = vt::bench::machine_with_test_rom("cpu_mix.sfc");
    if (!m) {
        state.SkipWithError("cpu_mix.sfc missing");
        return;
    }
    constexpr int kBatch = 10000;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; i++) vt::cpu_step(*m);
        m->timing.line_clock = 0;  // keep the clock in range; nothing reads it here
    }
    state.counters["instr/s"] = benchmark::Counter(double(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_CpuInstructions);

// Whole frames through the driver: steps, line events, interrupts.
void BM_DriverFrames(benchmark::State& state) {
    auto m = vt::bench::machine_with_test_rom("cpu_mix.sfc");
    if (!m) {
        state.SkipWithError("cpu_mix.sfc missing");
        return;
    }
    for (auto _ : state) vt::run_frame(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DriverFrames);

}  // namespace

BENCHMARK_MAIN();
