// The ST018's ports: the answer to each byte, the status, the reset
// through the control port, the state chunk and the test cartridge.
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/st018/st018.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

struct St018Test : ::testing::Test {
    Loaded l = load_image([] {
        HeaderFields f;
        f.title = "NIDAN MORITASHOGI2";
        auto image = pattern_image(2 * kMiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0x7FFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        return image;
    }());
    Machine& m = l.m();
};

TEST_F(St018Test, EachByteIsTakenAndAnsweredThenTheReadClearsTheFlag) {
    ASSERT_EQ(m.cart.coprocessor, kCoprocSt018);
    EXPECT_EQ(peek(m, 0x00, 0x3804), kSt018Ready);
    bus_write(m, 0x80, 0x3802, 0x6B);
    EXPECT_EQ(peek(m, 0x00, 0x3804), kSt018Ready | kSt018ReplyWaiting);
    EXPECT_EQ(peek(m, 0x00, 0x3800), 0x6B);
    EXPECT_EQ(peek(m, 0x00, 0x3804), kSt018Ready);
    EXPECT_EQ(m.st018.bytes_taken, 1u);
}

TEST_F(St018Test, ControlBit0DropsAWaitingAnswerAndOtherAddressesAreOpenBus) {
    bus_write(m, 0x00, 0x3802, 0x11);
    bus_write(m, 0x00, 0x3804, 0x01);
    EXPECT_EQ(peek(m, 0x00, 0x3804), kSt018Ready);
    EXPECT_EQ(bus_peek(m, 0x00, 0x3801), kNotReadable);
    EXPECT_EQ(bus_peek(m, 0x00, 0x38FF), kNotReadable);
}

TEST_F(St018Test, StateChunkRoundTrips) {
    bus_write(m, 0x00, 0x3802, 0x99);
    std::vector<uint8_t> chunk(kSt018StateSize);
    StateWriter w{chunk.data()};
    st018_state_io(w, m);
    chip_reset(m);
    StateReader r{chunk.data()};
    st018_state_io(r, m);
    EXPECT_EQ(m.st018.reply, 0x99);
    EXPECT_TRUE(m.st018.reply_waiting);
    EXPECT_EQ(m.st018.bytes_taken, 1u);
}

TEST(St018Cartridge, BootsAndCompletesAHandshakeEveryFrameFor300Frames) {
    auto m = machine_with_rom("chip_st018");
    ASSERT_EQ(m->cart.coprocessor, kCoprocSt018);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    EXPECT_GE(wram16(*m, 0x2002), 295);
    EXPECT_EQ(wram8(*m, 0x2001), kSt018Ready);
    EXPECT_EQ(m->st018.bytes_taken, wram16(*m, 0x2002));
}

}  // namespace
}  // namespace vt::test
