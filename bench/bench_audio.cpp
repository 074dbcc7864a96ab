// Audio cost per emulated frame: the SPC700 running a timer-driven driver and
// the sound generator with all eight voices playing (ADSR, echo on), driven
// line by line as the frame driver does, without the main CPU.
#include <benchmark/benchmark.h>


#include "audio/apu.h"
#include "audio/dsp.h"
#include "bench/bench_support.h"
#include "core/driver.h"
#include "core/machine.h"

namespace {

// One NTSC frame of audio work: 262 lines of SPC700 catch-up and timer
// advance, 244 of them with three sample frames each.
void audio_frame(vt::Machine& m) {
    vt::Apu& s = m.apu;
    for (int line = 0; line < 262; line++) {
        while (s.clock < vt::kLineUnits) vt::spc700_step(m);
        s.clock -= vt::kLineUnits;
        if (line < 244) vt::dsp_line_step(m);
        vt::apu_advance_timers(m);
    }
    vt::dsp_frame_end(m);
}

std::unique_ptr<vt::Machine> eight_voices() {
    auto m = vt::bench::machine_with_test_rom("audio_eight_voices.sfc");
    if (!m) return nullptr;
    for (int i = 0; i < 3; i++) vt::run_frame(*m);  // upload and start the driver
    if (vt::dsp_sounding_voices(m->dsp) != 0xFF) return nullptr;
    return m;
}

void BM_AudioFrameEightVoices(benchmark::State& state) {
    auto m = eight_voices();
    if (!m) {
        state.SkipWithError("audio_eight_voices.sfc missing or not playing");
        return;
    }
    for (auto _ : state) audio_frame(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_AudioFrameEightVoices);

// The two halves apart: the sound generator's 732 sample frames alone...
void BM_DspFrameEightVoices(benchmark::State& state) {
    auto m = eight_voices();
    if (!m) {
        state.SkipWithError("audio_eight_voices.sfc missing or not playing");
        return;
    }
    for (auto _ : state) {
        for (int line = 0; line < 244; line++) vt::dsp_line_step(*m);
        vt::dsp_frame_end(*m);
    }
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DspFrameEightVoices);

// ...and the SPC700's instructions alone.
void BM_Spc700Instructions(benchmark::State& state) {
    auto m = eight_voices();
    if (!m) {
        state.SkipWithError("audio_eight_voices.sfc missing or not playing");
        return;
    }
    constexpr int kBatch = 10000;
    for (auto _ : state) {
        for (int i = 0; i < kBatch; i++) vt::spc700_step(*m);
        m->apu.clock = 0;
        vt::apu_advance_timers(*m);
    }
    state.counters["instr/s"] = benchmark::Counter(double(state.iterations()) * kBatch, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_Spc700Instructions);

// A whole frame through the driver with the eight-voice driver running.
void BM_DriverFrameEightVoices(benchmark::State& state) {
    auto m = eight_voices();
    if (!m) {
        state.SkipWithError("audio_eight_voices.sfc missing or not playing");
        return;
    }
    for (auto _ : state) vt::run_frame(*m);
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_DriverFrameEightVoices);

}  // namespace

BENCHMARK_MAIN();
