// S-DD1 cartridge chip: 1 MiB ROM blocks mapped into the upper banks by
// $4804-$4807, and graphics decompressed on the fly while a DMA channel
// reads ROM. The whole transfer is decompressed when the channel starts;
// the channel's ROM reads then take the output bytes one after another.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "core/debug_target.h"
#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

inline constexpr uint32_t kSdd1BufferSize = 0x10000;

struct Sdd1 {
    std::array<uint8_t, 8> regs{};  // $4800-$4807; $4801: DMA channels that decompress
    std::array<uint8_t, kSdd1BufferSize> buffer{};
    uint16_t read_position = 0;
    bool active = false;  // a decompressing channel is running

    // ROM blocks the image fills, rounded up to a power of two, minus one;
    // derived at power-on.
    uint8_t block_mask = 0;
};

// Row functions of the chip table.
void sdd1_map(Machine& m);
void sdd1_power_on(Machine& m);
void sdd1_reset(Machine& m);
// The DMA unit's calls: a channel starts (its A-bus bank and address and
// its byte count, 1-65,536), a channel finishes (last: none follows).
void sdd1_dma_channel_start(Machine& m, int channel, uint8_t bank, uint16_t addr, uint32_t count);
void sdd1_dma_channel_end(Machine& m, int channel, bool last);

// Page $48 ($4800-$4807, mirrored through the page).
uint8_t sdd1_register_read(Machine& m, uint8_t bank, uint16_t addr);
void sdd1_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int sdd1_register_peek(const Machine& m, uint8_t bank, uint16_t addr);
// Every ROM read entry: the next output byte while decompressing, else ROM.
uint8_t sdd1_data_port_read(Machine& m, uint8_t bank, uint16_t addr);
int sdd1_data_port_peek(const Machine& m, uint8_t bank, uint16_t addr);

// Decompresses the stream that starts at `start` in `source` for a DMA of
// `count` bytes (1-65,536) into `out`; returns the bytes produced (at most
// the buffer). Bytes past the end of `source` read as 0.
size_t sdd1_decompress(std::span<const uint8_t> source, size_t start, uint32_t count,
                       std::array<uint8_t, kSdd1BufferSize>& out);

DebugRegisters sdd1_debug_registers(const Machine& m);

// State chunk "XSDD": registers, output buffer, read position, active flag.
inline constexpr uint32_t kSdd1StateSize = 8 + kSdd1BufferSize + 2 + 1;
template <class Io>
void sdd1_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSdd1StateChunks[1];

}  // namespace vt
