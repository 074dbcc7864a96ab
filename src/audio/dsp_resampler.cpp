#include "audio/dsp_resampler.h"

#include <soxr.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace vt {

namespace {

constexpr double kInputRate = 32000;
constexpr double kOutputRate = 44100;

// One thread, no dither: the output must be the same on every run.
soxr* new_converter() {
    const soxr_io_spec_t io = soxr_io_spec(SOXR_INT16_I, SOXR_INT16_I);
    soxr_io_spec_t plain = io;
    plain.flags = SOXR_NO_DITHER;
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_LQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr* converter = soxr_create(kInputRate, kOutputRate, 2, &error, &plain, &quality, &runtime);
    if (!converter) {
        // Only a failed allocation gets here; there is no sound without it.
        std::fprintf(stderr, "veltrane: cannot set up the audio resampler: %s\n", error ? error : "unknown error");
        std::abort();
    }
    return converter;
}

// Feeds the converter; its output goes to `out` while there is room there
// and is dropped past it (a replay only needs the converter's state).
void convert(soxr* converter, const int16_t* input, uint32_t count, int16_t* out, uint32_t room,
             uint32_t& made) {
    int16_t scratch[512 * 2];
    while (count > 0) {
        const bool keep = made < room;
        int16_t* dest = keep ? out + 2 * made : scratch;
        const size_t space = keep ? room - made : 512;
        size_t used = 0, produced = 0;
        soxr_process(converter, input, count, &used, dest, space, &produced);
        if (keep) made += uint32_t(produced);
        input += 2 * used;
        count -= uint32_t(used);
        if (used == 0 && produced == 0) break;  // only after an error: nothing moves
    }
}

void remember(DspResampler& r, const int16_t* input, uint32_t count) {
    for (uint32_t i = 0; i < count; i++) {
        r.history[2 * r.history_position] = input[2 * i];
        r.history[2 * r.history_position + 1] = input[2 * i + 1];
        r.history_position = uint16_t((r.history_position + 1) % kResamplerHistory);
    }
    r.history_count = uint16_t(std::min<uint32_t>(r.history_count + count, kResamplerHistory));
    r.phase = uint16_t((r.phase + count) % kResamplerPhaseInputs);
}

// A cleared converter brought to the state of the one that ran all along:
// the history is replayed from the last input count that is a multiple of
// 320 and at least kResamplerWarmUp inputs back (or from power-on, when the
// history reaches that far), and its output dropped.
void restart(DspResampler& r) {
    if (r.converter) soxr_clear(r.converter.get());
    else r.converter.reset(new_converter());
    int replay = r.phase >= kResamplerWarmUp ? r.phase : r.phase + kResamplerPhaseInputs;
    replay = std::min<int>(replay, r.history_count);
    int16_t inputs[kResamplerHistory * 2];
    for (int i = 0; i < replay; i++) {
        const int at = (r.history_position + kResamplerHistory - replay + i) % kResamplerHistory;
        inputs[2 * i] = r.history[2 * at];
        inputs[2 * i + 1] = r.history[2 * at + 1];
    }
    uint32_t made = 0;
    convert(r.converter.get(), inputs, uint32_t(replay), nullptr, 0, made);
}

}  // namespace

void SoxrDelete::operator()(soxr* converter) const { soxr_delete(converter); }

void resampler_power_on(DspResampler& r) {
    if (r.converter) soxr_clear(r.converter.get());
    else r.converter.reset(new_converter());
    r.history.fill(0);
    r.history_position = 0;
    r.history_count = 0;
    r.phase = 0;
    r.pending.fill(0);
    r.pending_count = kResamplerLatency;
}

void resampler_push(DspResampler& r, const int16_t* input, uint32_t count) {
    if (!r.converter) r.converter.reset(new_converter());
    convert(r.converter.get(), input, count, r.pending.data(), kResamplerPendingRoom, r.pending_count);
    remember(r, input, count);
}

void resampler_pop(DspResampler& r, int16_t* output, uint32_t frames) {
    const uint32_t available = std::min(frames, r.pending_count);
    std::copy_n(r.pending.begin(), 2 * available, output);
    std::fill(output + 2 * available, output + 2 * frames, int16_t(0));
    std::copy(r.pending.begin() + 2 * available, r.pending.begin() + 2 * r.pending_count, r.pending.begin());
    r.pending_count -= available;
}

template <class Io>
void resampler_state_io(Io& io, std::conditional_t<Io::loading, DspResampler, const DspResampler>& r) {
    for (auto& s : r.history) io.i16(s);
    io.u16(r.history_position);
    io.u16(r.history_count);
    io.u16(r.phase);
    uint16_t pending = uint16_t(std::min<uint32_t>(r.pending_count, kResamplerPendingSaved));
    io.u16(pending);
    for (int i = 0; i < kResamplerPendingSaved * 2; i++) {
        int16_t s = r.pending[i];
        io.i16(s);
        if constexpr (Io::loading) r.pending[i] = s;
    }
    if constexpr (Io::loading) {
        r.history_position = std::min<uint16_t>(r.history_position, kResamplerHistory - 1);
        r.history_count = std::min<uint16_t>(r.history_count, kResamplerHistory);
        r.phase = std::min<uint16_t>(r.phase, kResamplerPhaseInputs - 1);
        r.pending_count = std::min<uint16_t>(pending, kResamplerPendingSaved);
        restart(r);
    }
}

template void resampler_state_io(StateWriter&, const DspResampler&);
template void resampler_state_io(StateReader&, DspResampler&);

}  // namespace vt
