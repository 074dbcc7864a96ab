// The echo and the final mix of one 32 kHz sample.
//
// The echo buffer lives in audio RAM at ESA x 256: EDL x 2 KiB, 4 bytes a
// sample (left and right, 16 bits each), or one sample of 4 bytes when EDL
// is 0. Each sample the generator reads the entry at its position, which
// was written one buffer length earlier, into an 8-entry history, filters
// the history with the FIR coefficients (FIR 0 weighs the oldest entry,
// FIR 7 the newest), and writes back the voices' echo mix plus the
// filtered sample times EFB, unless FLG bit 5 disables echo writes. The
// output is the main mix times MVOL plus the filtered sample times EVOL,
// silenced while FLG bit 6 (mute) is set. EDL is taken only when the
// position comes back to the buffer's start; ESA after every sample.
#pragma once

#include <cstdint>

#include "audio/dsp.h"
#include "audio/dsp_voice.h"

namespace vt {

void dsp_run_echo(Dsp& d, uint8_t* ram, const DspMix& mix, int16_t& left, int16_t& right);

}  // namespace vt
