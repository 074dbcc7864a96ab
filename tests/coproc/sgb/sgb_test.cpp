// The Super Game Boy's interface registers, the LCD row, its state chunk
// and the test cartridge.
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/sgb/sgb.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

struct SgbTest : ::testing::Test {
    Loaded l = load_image([] {
        HeaderFields f;
        f.title = "Super GAMEBOY";
        auto image = pattern_image(256 * kKiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0x7FFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        return image;
    }());
    Machine& m = l.m();
};

TEST_F(SgbTest, RegistersAnswerAndRepeatThroughTheirPages) {
    ASSERT_EQ(m.cart.coprocessor, kCoprocSuperGameBoy);
    EXPECT_EQ(peek(m, 0x00, 0x600F), kSgbVersion);
    EXPECT_EQ(peek(m, 0x80, 0x67FF), kSgbVersion);
    EXPECT_EQ(peek(m, 0x00, 0x6002), 0x00);
    bus_write(m, 0x00, 0x6004, 0x3F);
    bus_write(m, 0x00, 0x6017, 0x1E);
    EXPECT_EQ(m.sgb.joypads[0], 0x3F);
    EXPECT_EQ(m.sgb.joypads[3], 0x1E);
    bus_write(m, 0x00, 0x7000, 0x55);  // read-only page
    EXPECT_EQ(peek(m, 0x00, 0x7000), 0x00);
}

TEST_F(SgbTest, RowStaysZeroInResetAndCountsThroughTheFrameWhenRunning) {
    m.timing.line = 200;
    EXPECT_EQ(peek(m, 0x00, 0x6000), 0x00);
    bus_write(m, 0x00, 0x6003, kSgbRunning);
    m.timing.line = 0;
    EXPECT_EQ(sgb_lcd_row(m), 0);
    m.timing.line = uint16_t(m.timing.lines_per_frame - 1);
    EXPECT_EQ(sgb_lcd_row(m), 17);
    const uint8_t row = sgb_lcd_row(m);
    EXPECT_EQ(peek(m, 0x00, 0x6000), uint8_t((row << 3) | (row & 3)));
}

TEST_F(SgbTest, DataPortCountsThroughOneRowAndRestartsOnABufferSelect) {
    bus_write(m, 0x00, 0x6001, 0x07);
    EXPECT_EQ(m.sgb.read_buffer, 3);
    for (int i = 0; i < kSgbRowBytes + 5; i++) EXPECT_EQ(peek(m, 0x00, 0x7800), 0x00);
    EXPECT_EQ(m.sgb.read_index, 5);
    bus_write(m, 0x00, 0x6001, 0x01);
    EXPECT_EQ(m.sgb.read_index, 0);
}

TEST_F(SgbTest, StateChunkRoundTripsAndADamagedIndexIsBroughtBack) {
    bus_write(m, 0x00, 0x6003, 0x91);
    bus_write(m, 0x00, 0x6001, 0x02);
    peek(m, 0x00, 0x7800);
    std::vector<uint8_t> chunk(kSgbStateSize);
    StateWriter w{chunk.data()};
    sgb_state_io(w, m);
    chip_reset(m);
    StateReader r{chunk.data()};
    sgb_state_io(r, m);
    EXPECT_EQ(m.sgb.control, 0x91);
    EXPECT_EQ(m.sgb.read_buffer, 2);
    EXPECT_EQ(m.sgb.read_index, 1);
    chunk[2] = 0xFF;
    chunk[3] = 0xFF;
    StateReader damaged{chunk.data()};
    sgb_state_io(damaged, m);
    EXPECT_EQ(m.sgb.read_index, 0);
}

TEST(SgbCartridge, BootsAndSeesTheInterfaceFor300Frames) {
    auto m = machine_with_rom("chip_sgb");
    ASSERT_EQ(m->cart.coprocessor, kCoprocSuperGameBoy);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    EXPECT_EQ(wram8(*m, 0x2000), kSgbVersion);
    EXPECT_EQ(wram8(*m, 0x2001), 0x00);
    EXPECT_EQ(wram8(*m, 0x2002), 0x00);
    EXPECT_EQ(wram8(*m, 0x2003), 0x00);
    EXPECT_EQ(wram8(*m, 0x2004), 0x00);
    EXPECT_GE(wram16(*m, 0x2006), 290);  // the row came back to 0 nearly every frame
}

}  // namespace
}  // namespace vt::test
