// The XBAND modem cartridge: its battery RAM and its modem registers.
#include <gtest/gtest.h>

#include "coproc/chips.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(XbandCartridge, BootsAndItsModemAnswersAsNotConnectedFor300Frames) {
    auto m = machine_with_rom("chip_xband");
    ASSERT_EQ(m->cart.coprocessor, kCoprocXband);
    EXPECT_EQ(m->cart.sram_size, 65536u);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    EXPECT_EQ(wram8(*m, 0x2000), 0x46);
    EXPECT_EQ(wram8(*m, 0x2001), 0x08);
    EXPECT_EQ(wram8(*m, 0x2002), 0x00);
    EXPECT_EQ(wram8(*m, 0x2003), m->cart.sram[0x10]);
    EXPECT_NE(m->cart.sram[0x10], 0xFF);
}

}  // namespace
}  // namespace vt::test
