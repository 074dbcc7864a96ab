// The chunks that hold the machine itself, from "SCPU" to this program's
// extra chunks: their lengths, writing them, checking and restoring them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "state/state_chunks.h"
#include "state/state_file.h"

namespace vt {

struct Machine;

// Whether a state holds battery RAM: the cartridge has it and SRAM transfer
// is on, or it is an SA-1 cartridge (whose battery RAM is its work RAM).
// The same rule decides whether an "SRAM" chunk is restored.
bool state_includes_sram(const Machine& m, const StateOptions& options);

// Appends "SCPU" to "SDSP", "SRAM" when included, then "XCPU", "XAPU" and
// "XDSP".
void append_machine_chunks(const Machine& m, const StateOptions& options, std::vector<uint8_t>& file);

// Checks that every chunk with a known tag has its layout's length ("SRAM":
// at most the battery RAM buffer). False with a reason otherwise.
bool machine_chunks_valid(const std::vector<Chunk>& chunks, std::string* problem);

// Restores the known chunks in file order, each with its component's
// re-derivation, and skips the others. The chunks must be valid.
void restore_machine_chunks(Machine& m, const std::vector<Chunk>& chunks, const StateOptions& options);

}  // namespace vt
