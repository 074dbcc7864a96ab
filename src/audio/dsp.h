// The S-DSP sound generator: eight voices playing BRR-compressed samples from
// audio RAM with ADSR or GAIN envelopes, a stereo mixer with main volume and
// an echo with feedback.
//
// It produces 44,100 Hz stereo sample frames directly: the driver calls
// dsp_line_step at the end of each of the first "sound lines" of a video
// frame (244 NTSC, 294 PAL) and each call appends three frames, so a video
// frame yields 732 (NTSC) or 882 (PAL) frames. Voices advance by a fixed
// phase constant and envelopes step once per output frame.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

inline constexpr int kDspVoices = 8;
inline constexpr int kDspFramesPerLine = 3;
inline constexpr int kDspSampleRate = 44100;
// Room for the longest frame (PAL: 294 lines x 3) with a margin.
inline constexpr uint32_t kDspMaxFrames = 1024;
// Phase subtracted per source sample: 4096 x 44100 / 32000, rounded. A
// pitch of $1000 plays a sample at 32 kHz.
inline constexpr int32_t kDspPhaseStep = 5648;
inline constexpr int32_t kEnvelopeMax = 32767;

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

enum class EnvelopeMode : uint8_t { attack, decay, sustain, release, gain };

// GAIN modes (GAIN bits 5-7); 0-3 set the level directly.
enum GainMode : uint8_t {
    kGainLinearDecrease = 4,
    kGainExpDecrease = 5,
    kGainLinearIncrease = 6,
    kGainBentIncrease = 7,
};

struct DspVoice {
    int32_t volume_left = 128;
    int32_t volume_right = 128;
    uint16_t directory_offset = 0;  // SRCN x 4
    uint16_t block_address = 0;     // next BRR block in audio RAM
    uint8_t block_flags = 0;        // END/LOOP of the block now playing
    std::array<int32_t, 16> samples{};
    int32_t prev1 = 0;  // last decoded sample, for prediction
    int32_t prev2 = 0;  // the one before
    uint8_t position = 0;  // index into samples; 16 or more asks for the next block
    int16_t phase = 0;

    int32_t envelope = 0;  // 0-32767
    EnvelopeMode mode = EnvelopeMode::gain;
    int32_t countdown = 0;  // output frames until the next envelope step
    int32_t attack_period = 0;
    int32_t decay_period = 0;
    int32_t sustain_period = 0;
    int32_t sustain_level = 0;
    int32_t gain_period = 0;
    uint8_t gain_mode = 0;

    int32_t output = 0;  // last output sample
};

struct Dsp {
    std::array<uint8_t, 128> regs{};  // the register file; ENDX lives at $7C
    std::array<DspVoice, kDspVoices> voices{};
    uint8_t active = 0;  // bit per voice, from key on until its release ends

    int32_t main_left = 128;
    int32_t main_right = 128;
    int32_t echo_volume_left = 0;
    int32_t echo_volume_right = 0;
    int32_t echo_feedback = 0;
    uint16_t echo_length = 0;  // output frames, 16-256
    uint16_t echo_position = 0;
    std::array<int32_t, 256> echo_left{};
    std::array<int32_t, 256> echo_right{};

    // Output: interleaved left/right pairs. One buffer fills during a video
    // frame while the other holds the last finished frame.
    std::array<std::array<int16_t, kDspMaxFrames * 2>, 2> buffers{};
    uint8_t filling = 0;          // buffer being written
    uint32_t frame_position = 0;  // sample frames produced in the current video frame
    uint32_t finished_frames = 0; // sample frames of the last finished video frame
};

void dsp_power_on(Machine& m);
// Produces the three sample frames of one sound line.
void dsp_line_step(Machine& m);
// End of a video frame: the frame's samples become the finished frame and
// the next frame starts filling the other buffer.
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

// Everything the 128-byte register file does not hold: each voice's
// playing state (block address and flags, decoded samples, position,
// phase, envelope level, mode and countdown, last output), the values the
// register handlers derived (volumes, directory offset, envelope periods
// and levels), the active mask, the mixer's volumes, the echo length,
// position and memory. Loading checks every value that indexes a buffer
// or bounds a loop, so a damaged record can only sound wrong.
inline constexpr int kDspVoicePlaybackSize = 4 * 2 + 2 + 2 + 1 + 16 * 4 + 4 * 2 + 1 + 2 + 4 + 1 + 4 + 4 * 5 + 1 + 4;
inline constexpr int kDspPlaybackSize = kDspVoices * kDspVoicePlaybackSize + 1 + 4 * 5 + 2 + 2 + 2 * 256 * 4;
void dsp_save_playback(const Machine& m, uint8_t* out);
void dsp_load_playback(Machine& m, const uint8_t* in);
template <class Io>
void dsp_playback_io(Io& io, IoMachine<Io>& m);
// The 128-byte register file ("SDSP"); loading re-derives what its write
// handlers set, as dsp_refresh_from_registers does.
template <class Io>
void dsp_registers_io(Io& io, IoMachine<Io>& m);
// Re-derives from the register file what its write handlers set (volumes,
// directory offsets, envelope periods, mixer volumes, echo feedback and
// length) without the side effects of KON, KOFF, FLG and ENDX, after the
// register file was restored on its own.
void dsp_refresh_from_registers(Machine& m);

// The sample frame made from the voices' current state; advances voices,
// envelopes and the echo by one output frame. Used by dsp_line_step.
void dsp_generate_frame(Machine& m, int16_t& left, int16_t& right);

}  // namespace vt
