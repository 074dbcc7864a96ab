// The S-DSP sound generator: eight voices playing BRR-compressed samples
// from audio RAM through Gaussian interpolation, with ADSR or GAIN
// envelopes, noise and pitch modulation, and an echo whose buffer lives in
// audio RAM and passes an 8-tap FIR filter.
//
// The generator runs at the console's 32,000 samples a second. The driver
// calls dsp_line_step at the end of each of a video frame's first "sound
// lines" (244 NTSC, 294 PAL); a sound line stands for three output frames
// at 44,100 Hz, so it runs the two or three 32 kHz samples that fall into
// that time. At the end of the video frame the frame's samples go through
// the resampler (dsp_resampler.h), and the frame's 732 (NTSC) or 882 (PAL)
// stereo frames at 44,100 Hz become the finished samples.
#pragma once

#include <array>
#include <cstdint>

#include "audio/dsp_resampler.h"
#include "core/state_io.h"

namespace vt {

struct Machine;

inline constexpr int kDspVoices = 8;
// Output frames (at 44,100 Hz) per sound line.
inline constexpr int kDspFramesPerLine = 3;
inline constexpr int kDspSampleRate = 44100;
// The generator's own rate.
inline constexpr int kDspNativeRate = 32000;
// Room for the longest frame (PAL: 294 lines x 3) with a margin.
inline constexpr uint32_t kDspMaxFrames = 1024;
// The generator's samples of the longest frame (PAL: 640) with a margin.
inline constexpr uint32_t kDspMaxNativeSamples = 768;

// Global register numbers.
enum DspReg : uint8_t {
    kDspMvolL = 0x0C,
    kDspMvolR = 0x1C,
    kDspEvolL = 0x2C,
    kDspEvolR = 0x3C,
    kDspKon = 0x4C,
    kDspKoff = 0x5C,
    kDspFlg = 0x6C,
    kDspEndx = 0x7C,
    kDspEfb = 0x0D,
    kDspPmon = 0x2D,
    kDspNon = 0x3D,
    kDspEon = 0x4D,
    kDspDir = 0x5D,
    kDspEsa = 0x6D,
    kDspEdl = 0x7D,
    kDspFir0 = 0x0F,  // FIR coefficient n at n x $10 + $0F
};
// Voice register numbers: voice n's register r is at n * $10 + r.
enum DspVoiceReg : uint8_t {
    kVoiceVolL = 0x0,
    kVoiceVolR = 0x1,
    kVoicePitchL = 0x2,
    kVoicePitchH = 0x3,
    kVoiceSrcn = 0x4,
    kVoiceAdsr1 = 0x5,
    kVoiceAdsr2 = 0x6,
    kVoiceGain = 0x7,
    kVoiceEnvx = 0x8,
    kVoiceOutx = 0x9,
};

inline constexpr uint8_t kFlgReset = 0x80;
inline constexpr uint8_t kFlgMute = 0x40;
inline constexpr uint8_t kFlgEchoOff = 0x20;
inline constexpr uint8_t kFlgNoiseRate = 0x1F;

// The envelope's level is 11 bits.
inline constexpr int kEnvelopeMax = 0x7FF;
// Key on starts a voice after this many samples (see dsp_voice.cpp).
inline constexpr int kKeyOnDelay = 5;
// The interpolation position: bits 12-14 pick the sample, bits 4-11 the
// Gaussian weights; past $3FFF the next four samples are decoded.
inline constexpr int kInterpPositionMax = 0x7FFF;
// The rate counter counts down through this many values.
inline constexpr int kRateCounterRange = 0x7800;

enum class EnvelopeMode : uint8_t { release, attack, decay, sustain };

// GAIN modes (GAIN bits 5-7); 0-3 set the level directly.
enum GainMode : uint8_t {
    kGainLinearDecrease = 4,
    kGainExpDecrease = 5,
    kGainLinearIncrease = 6,
    kGainBentIncrease = 7,
};

struct DspVoice {
    // The last twelve decoded samples, three groups of four, oldest group at
    // ring_position. Each is stored twice (at i and i + 12) so that four in
    // a row never wrap.
    std::array<int16_t, 24> ring{};
    uint8_t ring_position = 0;       // 0, 4 or 8
    uint16_t block_address = 0;      // the BRR block being decoded
    uint8_t block_offset = 1;        // its next data byte pair: 1, 3, 5 or 7
    uint16_t interp_position = 0;    // 0 - kInterpPositionMax
    uint8_t key_on_delay = 0;        // samples left of the key-on start
    EnvelopeMode mode = EnvelopeMode::release;
    int16_t envelope = 0;            // 0 - kEnvelopeMax
    int16_t hidden_envelope = 0;     // last level computed, stored or not (the bent line reads it)
    int16_t output = 0;              // the last sample after the envelope (OUTX, pitch modulation)
};

struct Dsp {
    std::array<uint8_t, 128> regs{};  // the register file; ENVX, OUTX and ENDX are written by the voices
    std::array<DspVoice, kDspVoices> voices{};

    // Key on and off are polled every other sample: a KON write waits in
    // new_kon; kon holds what the last poll took.
    uint8_t new_kon = 0;
    uint8_t kon = 0;
    uint8_t koff = 0;
    uint8_t every_other_sample = 1;
    uint16_t rate_counter = 0;  // counts down from kRateCounterRange - 1 to 0
    uint16_t noise = 0x4000;    // 15-bit shift register

    // Echo: the buffer at echo_page x 256 in audio RAM, 4 bytes a sample.
    uint8_t echo_page = 0;       // ESA as taken after each sample
    uint16_t echo_offset = 0;
    uint16_t echo_length = 0;    // bytes, taken from EDL when the offset is 0
    uint8_t echo_history_position = 0;  // newest entry of the FIR history
    std::array<std::array<int16_t, 2>, 8> echo_history{};  // 15-bit samples read back, left and right

    // Time: each sound line adds 3 x 32,000; each sample takes 44,100.
    uint32_t native_phase = 0;

    // The frame's generator output, interleaved left/right.
    std::array<int16_t, kDspMaxNativeSamples * 2> native{};
    uint32_t native_count = 0;
    DspResampler resampler;

    // Output: interleaved left/right pairs at 44,100 Hz. One buffer fills at
    // the end of a video frame while the other holds the last finished one.
    std::array<std::array<int16_t, kDspMaxFrames * 2>, 2> buffers{};
    uint8_t filling = 0;          // buffer to be written at the frame's end
    uint32_t frame_position = 0;  // output frames owed for the current video frame
    uint32_t finished_frames = 0; // sample frames of the last finished video frame
};

void dsp_power_on(Machine& m);
// Runs the 32 kHz samples of one sound line.
void dsp_line_step(Machine& m);
// End of a video frame: the frame's samples are resampled into the finished
// frame and the next frame starts.
void dsp_frame_end(Machine& m);

// The samples of the last finished video frame: `frames` stereo frames of
// interleaved left/right int16_t at `samples`. Valid from the return of
// run_frame until the end of the next run_frame; read them after each frame.
struct DspSamples {
    const int16_t* samples;
    uint32_t frames;
};
DspSamples dsp_finished_samples(const Machine& m);

// Register port ($F2/$F3 of the audio CPU): register (address AND $7F).
uint8_t dsp_read(Machine& m, uint8_t address);
void dsp_write(Machine& m, uint8_t address, uint8_t value);

// One 32 kHz sample: every voice, the echo, the counters. Used by
// dsp_line_step; tests call it to look at single samples.
void dsp_run_sample(Machine& m, int16_t& left, int16_t& right);

// Voices keyed on and not yet silent after their release.
uint8_t dsp_sounding_voices(const Dsp& d);

// Everything the 128-byte register file does not hold ("XDSP"): each
// voice's decoder, interpolation position, envelope and key-on delay, the
// key polling, rate counter and noise, the echo's position and FIR history,
// the time phase and the resampler's history and pending output. Loading
// checks every value that indexes a buffer, so a damaged record can only
// sound wrong.
inline constexpr int kDspVoicePlaybackSize = 12 * 2 + 1 + 2 + 1 + 2 + 1 + 1 + 2 + 2 + 2;
inline constexpr int kDspPlaybackSize =
    kDspVoices * kDspVoicePlaybackSize + 4 + 2 + 2 + 1 + 2 + 2 + 1 + 8 * 2 * 2 + 4 + kResamplerStateSize;
template <class Io>
void dsp_playback_io(Io& io, IoMachine<Io>& m);
// The 128-byte register file ("SDSP"); the voices read it directly, so
// nothing needs re-deriving after a load.
template <class Io>
void dsp_registers_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
