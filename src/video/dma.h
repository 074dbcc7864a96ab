// General-purpose DMA and HDMA: the eight channels at $4300-$437F.
#pragma once

#include <array>
#include <cstdint>

namespace vt {

struct Machine;

struct Dma {
    std::array<uint8_t, 128> regs{};  // channel n at $43n0-$43nF, stored raw
    bool hdma_running = false;        // set during each line's HDMA pass
};

void dma_power_on(Machine& m);
void dma_reset(Machine& m);
// One slice of a general DMA, run by the driver in place of a CPU step while
// MDMAEN is non-zero.
void dma_step(Machine& m);
void hdma_frame_start(Machine& m);
void hdma_line(Machine& m);

}  // namespace vt
