// Video speed on two heavy scenes, as whole frames through the driver and
// as the line renderer on its own:
// - mode 1: three layers, sub-screen colour math inside a colour window, a
//   BG window, three HDMA channels;
// - mode 7: 128 sprites over a plane whose matrix two HDMA channels
//   rewrite on every line (so the line start table is rebuilt per line).
#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "core/driver.h"
#include "core/machine.h"

namespace {

// Loads a test cartridge, selects its scene (the byte the scene player
// reads from work RAM $1F00) and runs until the scene is set up.
std::unique_ptr<vt::Machine> load_scene(const char* rom, uint8_t scene) {
    auto m = vt::bench::machine_with_test_rom(rom);
    if (!m) return nullptr;
    m->mem.wram[0x1F00] = scene;
    for (int i = 0; i < 4; i++) vt::run_frame(*m);  // the scene is set up and HDMA runs
    return m;
}

std::unique_ptr<vt::Machine> heavy_scene() { return load_scene("video_heavy.sfc", 0); }

// The mode 7 cartridge's benchmark scene.
constexpr uint8_t kMode7HeavyScene = 14;
std::unique_ptr<vt::Machine> mode7_sprites_scene() { return load_scene("video_mode7.sfc", kMode7HeavyScene); }

// 224 lines with the sprite evaluation and the HDMA pass between them, as
// the driver interleaves them, but without the CPU.
void render_frame_without_cpu(vt::Machine& m) {
    vt::video_frame_start(m);
    vt::hdma_frame_start(m);
    m.timing.line = 0;
    vt::sprite_evaluation(m);
    vt::hdma_line(m);
    for (int line = 1; line <= 224; line++) {
        m.timing.line = uint16_t(line);
        vt::video_render_line(m);
        if (line < 224) vt::sprite_evaluation(m);
        if (m.timing.hdma_active) vt::hdma_line(m);
        m.timing.line_clock = 0;
    }
    vt::video_clear_rows_below(m);
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

// The renderer alone.
void BM_RendererFrame(benchmark::State& state) {
    auto m = heavy_scene();
    if (!m) {
        state.SkipWithError("video_heavy.sfc missing");
        return;
    }
    for (auto _ : state) render_frame_without_cpu(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RendererFrame)->Unit(benchmark::kMicrosecond);

void BM_Mode7SpritesFrames(benchmark::State& state) {
    auto m = mode7_sprites_scene();
    if (!m) {
        state.SkipWithError("video_mode7.sfc missing");
        return;
    }
    for (auto _ : state) vt::run_frame(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mode7SpritesFrames)->Unit(benchmark::kMicrosecond);

void BM_Mode7SpritesRendererFrame(benchmark::State& state) {
    auto m = mode7_sprites_scene();
    if (!m) {
        state.SkipWithError("video_mode7.sfc missing");
        return;
    }
    for (auto _ : state) render_frame_without_cpu(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Mode7SpritesRendererFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
