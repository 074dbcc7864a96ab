// Main-CPU speed: a realistic instruction mix running through the real
// memory map, reported as emulated instructions per second.
#include <benchmark/benchmark.h>

#include <string>

#include "cart/loader.h"
#include "core/driver.h"
#include "core/machine.h"
#include "core/main_cpu.h"

namespace {

std::unique_ptr<vt::Machine> load(const char* name) {
    auto m = vt::make_machine();
    vt::LoadOptions options;
    if (!vt::load_gamepak(*m, std::string(VELTRANE_TEST_ROM_DIR) + "/" + name, options).loaded()) return nullptr;
    return m;
}

// Instructions alone: the CPU step with the memory map, no driver around it.
void BM_CpuInstructions(benchmark::State& state) {
    auto m = load("cpu_mix.sfc");
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
    auto m = load("cpu_mix.sfc");
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
