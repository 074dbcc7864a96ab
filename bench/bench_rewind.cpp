// The cost of keeping the rewind history: a demo frame with and without a
// state kept after it, one step backwards, and the memory the history
// takes (reported as counters: bytes per frame, and seconds of history at
// 60 frames per second that the 64 MiB budget holds).
#include <benchmark/benchmark.h>

#include <filesystem>

#include "core/driver.h"
#include "core/machine.h"
#include "frontend/demo_cartridge.h"
#include "frontend/rewind_buffer.h"
#include "state/state_file.h"

namespace {

std::unique_ptr<vt::Machine> demo_machine() {
    auto m = vt::make_machine();
    const std::string folder = (std::filesystem::temp_directory_path() / "veltrane-bench-rewind").string();
    std::filesystem::create_directories(folder);
    vt::LoadOptions options;
    if (!vt::load_builtin_demo(*m, options, folder).loaded()) return nullptr;
    // Into the parallax scene, the busiest for the history (scrolling,
    // sprites, HDMA tables rewritten every frame).
    for (int i = 0; i < 600; i++) vt::run_frame(*m);
    return m;
}

void BM_DemoFrame(benchmark::State& state) {
    auto m = demo_machine();
    if (!m) return state.SkipWithError("the demo cartridge did not load");
    for (auto _ : state) vt::run_frame(*m);
}
BENCHMARK(BM_DemoFrame)->Unit(benchmark::kMicrosecond);

void BM_DemoFrameWithRewind(benchmark::State& state) {
    auto m = demo_machine();
    if (!m) return state.SkipWithError("the demo cartridge did not load");
    vt::RewindBuffer history;
    for (auto _ : state) {
        vt::run_frame(*m);
        history.capture(*m);
    }
    // Memory per kept frame (its difference; the newest whole state aside).
    const size_t kept = history.steps_back();
    if (kept > 0) {
        const double per_frame = double(history.difference_bytes()) / double(kept);
        state.counters["bytes_per_frame"] = per_frame;
        state.counters["seconds_in_budget"] =
            double(vt::kRewindBudgetBytes - (history.memory_bytes() - history.difference_bytes())) / per_frame / 60.0;
    }
    state.counters["history_MiB"] = double(history.memory_bytes()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_DemoFrameWithRewind)->Unit(benchmark::kMicrosecond)->Iterations(1200);

void BM_RewindStep(benchmark::State& state) {
    auto m = demo_machine();
    if (!m) return state.SkipWithError("the demo cartridge did not load");
    vt::RewindBuffer history;
    for (auto _ : state) {
        state.PauseTiming();
        for (int i = 0; i < 2; i++) {
            vt::run_frame(*m);
            history.capture(*m);
        }
        state.ResumeTiming();
        // What holding the rewind key costs per shown frame: a step back and
        // the frame that draws its picture.
        history.step_back(*m);
        vt::run_frame(*m);
    }
}
BENCHMARK(BM_RewindStep)->Unit(benchmark::kMicrosecond)->Iterations(600);

void BM_StateImage(benchmark::State& state) {
    auto m = demo_machine();
    if (!m) return state.SkipWithError("the demo cartridge did not load");
    vt::StateOptions o;
    o.sram_transfer = true;
    o.bitmap_transfer = false;
    for (auto _ : state) benchmark::DoNotOptimize(vt::state_file_bytes(*m, "", "", o));
}
BENCHMARK(BM_StateImage)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
