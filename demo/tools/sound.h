// The demo's instruments as 16-bit PCM, synthesised from formulas, and the
// pitch table of the music player. The build turns the PCM into BRR
// samples with brr-encode.
#pragma once

#include "art.h"

namespace demo {

// Looping instruments hold one period of kInstrumentPeriod samples, so that
// one pitch table serves them all.
inline constexpr int kInstrumentPeriod = 64;

// "<name>.raw" files: lead, bass, pad and bell loop; kick, snare and hat
// play once.
void make_instruments(Files& files);
// "pitch.bin": 128 words, the pitch register value that plays MIDI note n
// with a looping instrument (0 where the note is out of range).
void make_pitch_table(Files& files);

}  // namespace demo
