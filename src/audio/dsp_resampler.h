// The sound generator's resampler: 32,000 Hz stereo in, 44,100 Hz stereo
// out, through libsoxr's low-quality recipe (a short linear-phase filter:
// flat to 11 kHz, images below -80 dB), which is far better than picking
// the nearest sample and costs a few microseconds a frame.
//
// The output is a pure function of the input: soxr's filter state is the
// last few dozen input samples and a phase that repeats every 320 inputs
// (441 outputs). So a converter started afresh at an input count that is a
// multiple of 320 and fed the same inputs gives, after a few dozen inputs,
// exactly the samples of the converter that ran all along. A save state
// therefore keeps the last kResamplerHistory inputs, the input count modulo
// 320 and the output not yet delivered; loading replays the history from
// the last such point into a cleared converter.
//
// The output is held back by kResamplerLatency frames (1.5 ms), more than
// the converter's own delay, so each video frame can take exactly its 732
// (or 882) frames.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "core/state_io.h"

struct soxr;

namespace vt {

// Inputs per repeat of the conversion's phase (320 in : 441 out).
inline constexpr int kResamplerPhaseInputs = 320;
// Inputs a restarted converter needs before its output is exact.
inline constexpr int kResamplerWarmUp = 64;
inline constexpr int kResamplerHistory = kResamplerPhaseInputs + kResamplerWarmUp;
inline constexpr int kResamplerLatency = 64;
// Output made but not yet delivered, as far as a state keeps it (between
// frames it is about the latency less the converter's delay).
inline constexpr int kResamplerPendingSaved = 128;
// Room for the output of one video frame on top of what is pending.
inline constexpr int kResamplerPendingRoom = 2048;

struct SoxrDelete {
    void operator()(soxr* converter) const;
};

struct DspResampler {
    std::unique_ptr<soxr, SoxrDelete> converter;
    // The last inputs (stereo), a ring written at history_position.
    std::array<int16_t, kResamplerHistory * 2> history{};
    uint16_t history_position = 0;
    uint16_t history_count = 0;  // inputs since power-on, at most kResamplerHistory
    uint16_t phase = 0;          // inputs since power-on, modulo kResamplerPhaseInputs
    // Output frames made and not yet delivered (stereo), oldest first.
    std::array<int16_t, kResamplerPendingRoom * 2> pending{};
    uint32_t pending_count = 0;
};

// A new converter, no history, kResamplerLatency frames of silence pending.
void resampler_power_on(DspResampler& r);
// Converts `count` stereo input frames; their output joins the pending frames.
void resampler_push(DspResampler& r, const int16_t* input, uint32_t count);
// Delivers `frames` stereo output frames (silence if, against the design,
// fewer are pending).
void resampler_pop(DspResampler& r, int16_t* output, uint32_t frames);

inline constexpr int kResamplerStateSize = kResamplerHistory * 4 + 2 + 2 + 2 + 2 + kResamplerPendingSaved * 4;
// Saved between frames; loading restarts the converter from the history.
template <class Io>
void resampler_state_io(Io& io, std::conditional_t<Io::loading, DspResampler, const DspResampler>& r);

}  // namespace vt
