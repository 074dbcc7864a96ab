// The DSP-1's command interpreter: the command loop and the transfer
// pattern of each command (how many parameter words it takes, how many
// result words it gives), driven by the port (dsp_port.h). The arithmetic
// of the commands is in dsp1_maths.h.
#pragma once

#include <array>
#include <cstdint>

#include "coproc/dsp/dsp1_maths.h"
#include "core/state_io.h"

namespace vt {

struct Machine;

// Where the interpreter stands between two transfers.
enum class Dsp1Phase : uint8_t {
    Command,     // waiting for a command byte (8-bit transfers)
    Parameters,  // taking the command's parameter words
    Results,     // giving the command's result words
};

struct Dsp1 {
    Dsp1Phase phase = Dsp1Phase::Command;
    uint8_t command = 0;
    uint16_t index = 0;  // parameters taken or results given so far
    std::array<int16_t, 7> in{};
    std::array<int16_t, 4> out{};
    int16_t raster_line = 0;  // Raster's current screen line
    std::array<dsp1::Matrix, 3> matrix{};  // attitude matrices A, B, C
    dsp1::Projection projection;
};

// The command table's view of one command.
struct Dsp1Command {
    const char* name = "";  // empty: no such command
    uint8_t inputs = 0;     // parameter words
    uint16_t outputs = 0;   // result words (per line for Raster)
};
const Dsp1Command& dsp1_command(uint8_t command);

void dsp1_reset(Machine& m);
// The port's resume: one transfer has completed.
void dsp1_resume(Machine& m);

inline constexpr uint32_t kDsp1StateSize = 1 + 1 + 2 + 7 * 2 + 4 * 2 + 2 + 27 * 2 + 7 * 2;
template <class Io>
void dsp1_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
