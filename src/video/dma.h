// General-purpose DMA and HDMA: the eight channels at $4300-$437F.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"

namespace vt {

struct Machine;

using DmaUnit = void (*)(Machine&);

// Offsets within a channel's 16-byte record ($43n0-$43nF).
inline constexpr int kDmaControl = 0;
inline constexpr int kDmaBAddress = 1;
inline constexpr int kDmaAAddress = 2;     // 2-3
inline constexpr int kDmaABank = 4;
inline constexpr int kDmaCount = 5;        // 5-6; the HDMA indirect address
inline constexpr int kDmaIndirectBank = 7;
inline constexpr int kDmaTableAddress = 8; // 8-9
inline constexpr int kDmaLineCounter = 10;
inline constexpr int kDmaSpare = 11;       // also read and written at $43nF

struct Dma {
    std::array<uint8_t, 128> regs{};  // channel n at $43n0-$43nF, stored raw

    // General DMA in progress: which channel, its transfer unit and the
    // working copies taken when the channel started.
    bool running = false;
    int channel = -1;
    DmaUnit unit = nullptr;
    uint16_t a_address = 0;
    uint8_t a_bank = 0;
    uint16_t count = 0;
    uint8_t b_address = 0;

    // HDMA: per channel (bit n), whether the next H-blank transfers a unit,
    // and whether the channel's table ended in this frame. Both are cleared
    // at every frame start.
    uint8_t hdma_do_transfer = 0;
    uint8_t hdma_ended = 0;
};

void dma_power_on(Machine& m);
void dma_reset(Machine& m);
// Reinstalls the $43xx handlers and drops any transfer in progress, after
// power-on or a loaded state.
void dma_refresh(Machine& m);

// One unit of a general DMA, run by the driver in place of a CPU step while
// MDMAEN is non-zero. Clears MDMAEN when every enabled channel is done.
// A transfer costs the CPU 8 master clocks per byte, 8 per channel and 8 to
// start, after waiting for the next 8-clock boundary.
void dma_step(Machine& m);
// At every frame start: the channels HDMAEN enables load their first table
// entry, and the HDMA-active mask is set.
void hdma_frame_start(Machine& m);
// At the H-blank of every line while the HDMA-active mask is non-zero.
void hdma_line(Machine& m);

// Page $43 handlers.
uint8_t dma_register_read(Machine& m, uint8_t bank, uint16_t addr);
int dma_register_peek(const Machine& m, uint8_t bank, uint16_t addr);
void dma_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);

// Save state "SDMA": the 128-byte register file.
inline constexpr uint32_t kDmaStateSize = 128;
void dma_save_state(const Machine& m, uint8_t* out);
void dma_load_state(Machine& m, const uint8_t* in);
// The chunk's layout for a StateWriter or a StateReader; loading reinstalls
// the handlers and drops a transfer in progress.
template <class Io>
void dma_state_io(Io& io, IoMachine<Io>& m);

}  // namespace vt
