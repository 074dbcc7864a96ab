// A state saved while a general DMA is still running resumes the transfer
// where it stood: finished channels are not repeated, the running one goes
// on from its current address and count.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "state/state_file.h"
#include "support/test_rom.h"
#include "video/dma.h"

namespace vt::test {
namespace {

// Channel n: `count` bytes from ROM $00:8000 + offset to the work RAM port.
void set_channel(Machine& m, int n, uint16_t rom_offset, uint16_t count) {
    const uint16_t base = uint16_t(0x4300 + 16 * n);
    bus_write(m, 0, base + 0, 0x00);  // mode 0, A to B, increment
    bus_write(m, 0, base + 1, 0x80);  // $2180
    bus_write(m, 0, base + 2, uint8_t(0x8000 + rom_offset));
    bus_write(m, 0, base + 3, uint8_t((0x8000 + rom_offset) >> 8));
    bus_write(m, 0, base + 4, 0x00);
    bus_write(m, 0, base + 5, uint8_t(count));
    bus_write(m, 0, base + 6, uint8_t(count >> 8));
}

std::unique_ptr<Machine> machine_with_two_channels() {
    auto m = machine_with_rom("smoke");
    bus_write(*m, 0, 0x2181, 0x00);
    bus_write(*m, 0, 0x2182, 0x40);
    bus_write(*m, 0, 0x2183, 0x00);  // port at $4000
    set_channel(*m, 0, 0x0000, 0x0100);
    set_channel(*m, 2, 0x1000, 0x0300);
    bus_write(*m, 0, 0x420B, 0x05);
    return m;
}

void finish_dma(Machine& m) {
    for (int i = 0; i < 100000 && m.sysregs.mdmaen; i++) dma_step(m);
    ASSERT_EQ(m.sysregs.mdmaen, 0);
}

TEST(StateMidDma, TransferInProgressResumesAfterLoading) {
    auto straight = machine_with_two_channels();
    finish_dma(*straight);

    auto saved = machine_with_two_channels();
    for (int i = 0; i < 0x100 + 0x80; i++) dma_step(*saved);  // channel 0 done, channel 2 half way
    ASSERT_NE(saved->sysregs.mdmaen, 0);
    StateOptions options;
    std::vector<uint8_t> file = state_file_bytes(*saved, "mid DMA", "", options);

    auto loaded = machine_with_rom("smoke");
    std::string error;
    ASSERT_TRUE(load_state_bytes(*loaded, file.data(), file.size(), options, &error)) << error;
    finish_dma(*loaded);

    EXPECT_EQ(loaded->mem.wram, straight->mem.wram);
    EXPECT_EQ(loaded->mem.wram_port, straight->mem.wram_port);
    EXPECT_EQ(loaded->dma.regs, straight->dma.regs);
}

}  // namespace
}  // namespace vt::test
