// Video speed on a heavy mode 1 scene (three layers, sub-screen colour
// math inside a colour window, a BG window, three HDMA channels): whole
// frames through the driver, and the line renderer on its own.
#include <benchmark/benchmark.h>

#include "cart/loader.h"
#include "core/driver.h"
#include "core/machine.h"

namespace {

std::unique_ptr<vt::Machine> heavy_scene() {
    auto m = vt::make_machine();
    vt::LoadOptions options;
    if (!vt::load_gamepak(*m, std::string(VELTRANE_TEST_ROM_DIR) + "/video_heavy.sfc", options).loaded()) return nullptr;
    for (int i = 0; i < 3; i++) vt::run_frame(*m);  // the scene is set up and HDMA runs
    return m;
}

// Everything a frame costs: CPU, HDMA, rendering.
void BM_HeavySceneFrames(benchmark::State& state) {
    auto m = heavy_scene();
    if (!m) {
        state.SkipWithError("video_heavy.sfc missing");
        return;
    }
    for (auto _ : state) vt::run_frame(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HeavySceneFrames)->Unit(benchmark::kMicrosecond);

// The renderer alone: 224 lines with the HDMA pass between them, as the
// driver interleaves them, but without the CPU.
void BM_RendererFrame(benchmark::State& state) {
    auto m = heavy_scene();
    if (!m) {
        state.SkipWithError("video_heavy.sfc missing");
        return;
    }
    for (auto _ : state) {
        vt::video_frame_start(*m);
        vt::hdma_frame_start(*m);
        m->timing.line = 0;
        vt::hdma_line(*m);
        for (int line = 1; line <= 224; line++) {
            m->timing.line = uint16_t(line);
            vt::video_render_line(*m);
            if (m->timing.hdma_active) vt::hdma_line(*m);
            m->timing.line_clock = 0;
        }
        vt::video_clear_rows_below(*m);
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RendererFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
