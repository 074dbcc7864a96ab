// The ST011's ports and RAM, its state chunk and the test cartridge.
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/st011/st011.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

struct St011Test : ::testing::Test {
    Loaded l = load_image([] {
        HeaderFields f;
        f.title = "2DAN MORITA SHOUGI";
        auto image = pattern_image(512 * kKiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0x7FFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        return image;
    }());
    Machine& m = l.m();
};

TEST_F(St011Test, PortsAndRamAnswerInEveryBankOfTheirWindows) {
    ASSERT_EQ(m.cart.coprocessor, kCoprocSt011);
    for (uint8_t bank : {0x60, 0x67, 0xE0, 0xE7}) {
        bus_write(m, bank, 0x1234, bank);
        EXPECT_EQ(peek(m, bank, 0x7FFF), kSt011Status);
        EXPECT_EQ(peek(m, 0x60, 0x0000), bank);
    }
    for (uint8_t bank : {0x68, 0x6F, 0xE8, 0xEF}) {
        bus_write(m, bank, 0x0FFF, uint8_t(bank ^ 0x5A));
        EXPECT_EQ(peek(m, 0x68, 0x7FFF), uint8_t(bank ^ 0x5A));
    }
}

TEST_F(St011Test, StateChunkRoundTripsAndResetKeepsTheRam) {
    bus_write(m, 0x68, 0x0100, 0xC3);
    bus_write(m, 0x60, 0x0000, 0x3C);
    std::vector<uint8_t> chunk(kSt011StateSize);
    StateWriter w{chunk.data()};
    st011_state_io(w, m);
    chip_reset(m);
    EXPECT_EQ(m.st011.data, 0);
    EXPECT_EQ(m.st011.ram[0x100], 0xC3);
    m.st011.ram.fill(0);
    StateReader r{chunk.data()};
    st011_state_io(r, m);
    EXPECT_EQ(m.st011.data, 0x3C);
    EXPECT_EQ(m.st011.ram[0x100], 0xC3);
}

TEST(St011Cartridge, BootsAndItsWindowsAnswerFor300Frames) {
    auto m = machine_with_rom("chip_st011");
    ASSERT_EQ(m->cart.coprocessor, kCoprocSt011);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    EXPECT_EQ(wram8(*m, 0x2000), kSt011Status);
    EXPECT_EQ(wram8(*m, 0x2001), 0x5A);
    EXPECT_EQ(wram8(*m, 0x2002), 0xA5);
}

}  // namespace
}  // namespace vt::test
