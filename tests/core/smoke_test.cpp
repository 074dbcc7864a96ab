#include <gtest/gtest.h>

#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(SmokeCartridge, RunsMainLoopAndTakesOneNmiPerFrame) {
    auto m = machine_with_rom("smoke");
    run_frames(*m, 10);
    EXPECT_EQ(wram8(*m, 0x2000), 0xA5);
    // NMI is enabled during frame 0, so frames 0-9 each take one.
    EXPECT_EQ(wram16(*m, 0x10), 10);
    EXPECT_GT(wram16(*m, 0x12), 1000);
}

}  // namespace
}  // namespace vt::test
