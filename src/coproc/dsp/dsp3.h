// The DSP-3: a DSP-family chip with map-grid helpers, a bit-plane
// transposer and a variable-length decoder. Transfers are 16-bit during
// commands; the status reads $84 while the chip waits for a command, $80
// during commands and $C0 while the decoder waits for a further data word.
//
// Each command is an explicit state machine: `step` says what the next
// completed transfer means for it, and everything it keeps between
// transfers is a named field here, so a state saved in the middle of a
// command resumes it.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

inline constexpr int kDsp3SymbolTableSize = 1024;

struct Dsp3Decoder {
    uint8_t step = 0;        // Dsp3DecodeStep
    uint32_t bits = 0;       // bits not yet used, the next one at bit (bit_count - 1)
    uint8_t bit_count = 0;   // 0-31
    bool awaiting_word = false;
    uint16_t table_size = 0;
    uint16_t symbols_left = 0;
    uint16_t entry = 0;      // symbol table entries built so far
    uint16_t value = 0;      // the last entry's value
    uint8_t code = 0;        // the current entry's 2-bit code
    uint8_t group_bits = 2;  // selector width: 2 (4 groups) or 3 (8 groups)
    uint8_t group = 0;       // groups described so far, then the selected group
    uint8_t literal_bits = 8;
    std::array<uint8_t, 8> lengths{};
    std::array<uint16_t, 8> bases{};
    uint16_t next_base = 0;
    std::array<uint16_t, kDsp3SymbolTableSize> table{};
};

struct Dsp3 {
    uint8_t command = 0;
    uint8_t step = 0;    // 0: the command loop; else the command's place
    uint16_t count = 0;  // transfers or blocks still to go
    uint16_t index = 0;  // words given so far
    std::array<uint16_t, 4> words{};  // words taken and kept
    std::array<uint16_t, 4> results{};
    uint8_t width = 0;   // the map's, set by command $06
    uint8_t height = 0;
    Dsp3Decoder decoder;
};

const std::array<uint16_t, 1024>& dsp3_data_rom();

void dsp3_resume(Machine& m);

inline constexpr uint32_t kDsp3StateSize =
    1 + 1 + 2 + 2 + 8 + 8 + 1 + 1 + (1 + 4 + 1 + 1 + 2 + 2 + 2 + 2 + 1 + 1 + 1 + 1 + 8 + 16 + 2 + 2 * kDsp3SymbolTableSize);
template <class Io>
void dsp3_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
