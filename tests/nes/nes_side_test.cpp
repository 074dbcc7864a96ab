// The NES side through the whole machine: loading, frames, NMIs.
#include <gtest/gtest.h>

#include "core/driver.h"
#include "nes/nes_side.h"
#include "support/test_rom.h"

namespace vt {
namespace {

TEST(NesSide, SmokeImageRunsFramesWithOneNmiEach) {
    auto m = test::machine_with_nes_rom("smoke");
    ASSERT_TRUE(m->cart.nes);
    test::run_frames(*m, 10);
    EXPECT_EQ(m->nes.ram[0x300], 0x5A);
    // Two frames go by waiting for V-blank, then one NMI a frame.
    const int nmis = m->nes.ram[0x00];
    EXPECT_GE(nmis, 7);
    EXPECT_LE(nmis, 9);
    EXPECT_EQ(m->timing.frame_counter, 10u);
    test::run_frames(*m, 5);
    EXPECT_EQ(m->nes.ram[0x00], nmis + 5);
}

TEST(NesSide, FrameHas29781CpuCyclesOnAverage) {
    auto m = test::machine_with_nes_rom("smoke");
    test::run_frames(*m, 2);
    const uint64_t before = m->nes.cycles;
    test::run_frames(*m, 3);
    // 262 x 341 dots / 3 = 29,780.67 cycles; rendering is off, so no short frames.
    const double per_frame = double(m->nes.cycles - before) / 3.0;
    EXPECT_NEAR(per_frame, 29780.67, 3.0);
}

TEST(NesSide, StatusReadAtTheVblankFlagsRiseWithdrawsTheLatchedNmi) {
    // Dot of the read on line 241 -> whether the NMI still happens this frame.
    const struct {
        int32_t dot;
        bool nmi;
    } cases[] = {{0, false}, {1, false}, {2, false}, {3, true}, {30, true}};
    for (const auto& c : cases) {
        auto m = test::machine_with_nes_rom("smoke");
        NesSide& s = m->nes;
        test::run_frames(*m, 3);
        nes_write_registers(s, 0x2000, 0x80);
        // The line's start raised the flag and latched the NMI.
        s.line = kNesPpuVblankLine;
        nes_ppu_line(s.ppu, s.line, nullptr);
        s.nmi_line = true;
        s.cpu.nmi_pending = true;
        s.clock = c.dot;
        nes_read_registers(s, 0x2002);
        EXPECT_EQ(s.cpu.nmi_pending, c.nmi) << "read at dot " << c.dot;
    }
}

}  // namespace
}  // namespace vt
