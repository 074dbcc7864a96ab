// The DSP-4: the DSP-family chip of the racing game that draws its track
// with it. Transfers are 16-bit during commands; the status reads $84 while
// the chip waits for a command and $80 during one.
//
// Built here: the command loop and the commands whose behaviour at the
// ports is certain:
//   $00, $11  signed multiply: take a, take b, give the 32-bit product a x b
//             as its low word, then its high word
//   $03, $0E  clear and reset the chip's sprite list: no parameters and no
//             results (the list itself lives inside the chip)
// The track projection and sprite commands ($01, $05-$0A, $0D, $0F, $10,
// $13 and the others) are not built: like an unknown command they are
// logged ("DSP4 UNKNOWN COMMAND #xx") and the chip goes back to waiting
// for a command, so the game keeps running but draws no road.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

struct Dsp4 {
    uint8_t command = 0;
    uint8_t step = 0;  // 0: the command loop; else the command's place
    std::array<uint16_t, 2> words{};
    uint32_t result = 0;
};

void dsp4_resume(Machine& m);

// "XDP4": command, step, two words, result.
inline constexpr uint32_t kDsp4StateSize = 1 + 1 + 4 + 4;
template <class Io>
void dsp4_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
