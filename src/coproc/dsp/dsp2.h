// The DSP-2: a DSP-family chip that converts and manipulates 4-bit packed
// pixels (two pixels a byte, the left one in the high nibble). All its
// transfers are single bytes; the status register stays $84.
//
// Its interpreter takes a command's parameter bytes (their number follows
// from the first ones for the commands with counts), runs the command and
// gives the result bytes.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

enum class Dsp2Phase : uint8_t { Command, Parameters, Results };

struct Dsp2 {
    Dsp2Phase phase = Dsp2Phase::Command;
    uint8_t command = 0;
    uint16_t taken = 0;         // parameter bytes taken
    uint16_t given = 0;         // result bytes given
    uint16_t result_count = 0;  // result bytes of the running command
    // Parameter bytes: at most a count and two runs of 255 bytes (overlay).
    std::array<uint8_t, 1 + 2 * 255> in{};
    std::array<uint8_t, 256> out{};
    uint8_t transparent = 0;  // colour that Overlay leaves out, 0-15
};

void dsp2_resume(Machine& m);

inline constexpr uint32_t kDsp2StateSize = 1 + 1 + 2 + 2 + 2 + 511 + 256 + 1;
template <class Io>
void dsp2_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
