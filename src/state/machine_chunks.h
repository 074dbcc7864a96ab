// The chunks that hold the machine itself, from "SCPU" to this program's
// extra chunks: their layouts, writing them, checking and restoring them,
// and the record of the cartridge a state was made with.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/state_io.h"
#include "state/state_chunks.h"
#include "state/state_file.h"

namespace vt {

struct Machine;

// One chunk of machine state: its tag, its length, whether a state without
// it is refused, and its layout for both directions (core/state_io.h).
struct MachineChunkLayout {
    ChunkTag tag;
    uint32_t length;
    bool required;
    void (*save)(StateWriter&, const Machine&);
    void (*load)(StateReader&, Machine&);
};

// In the order they are written and restored: the shared chunks "SCPU" to
// "SDSP" (required), then this program's "XCPU", "XAPU" and "XDSP", which
// states of earlier versions lack. "SRAM" is written between the two groups.
std::span<const MachineChunkLayout> machine_chunk_layouts();

// Whether a state holds battery RAM: the cartridge has it and SRAM transfer
// is on, or it is an SA-1 cartridge (whose battery RAM is its work RAM).
// The same rule decides whether an "SRAM" chunk is restored.
bool state_includes_sram(const Machine& m, const StateOptions& options);

// Appends the machine's chunks in order, "SRAM" when included, the chunks
// of the cartridge's chip (coproc/chips.h) and the cartridge record "XCRT".
void append_machine_chunks(const Machine& m, const StateOptions& options, std::vector<uint8_t>& file);

// Checks the chunks of a state before anything is restored: every required
// chunk is there, no chunk this program knows appears twice, and each has
// its layout's length ("SRAM": at most the battery RAM buffer). False with
// a reason otherwise.
bool machine_chunks_valid(const std::vector<Chunk>& chunks, std::string* problem);

// The cartridge a state was made with ("XCRT"): the CRC32 of its image and
// its internal header title.
struct CartridgeRecord {
    uint32_t crc32 = 0;
    std::string title;
};
inline constexpr uint32_t kCartridgeRecordSize = 4 + 21;
// False when the state has no record (states of earlier versions).
bool find_cartridge_record(const std::vector<Chunk>& chunks, CartridgeRecord& out);
CartridgeRecord cartridge_record_of(const Machine& m);

// Restores the machine's chunks in the order of machine_chunk_layouts(),
// each with its re-derivation, the chunks of the cartridge's chip, and
// "SRAM" under the rule above; other chunks are skipped. The chunks must be valid. Returns whether battery RAM
// was replaced.
bool restore_machine_chunks(Machine& m, const std::vector<Chunk>& chunks, const StateOptions& options);

}  // namespace vt
