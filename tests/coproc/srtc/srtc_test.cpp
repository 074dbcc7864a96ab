// The S-RTC clock: setting and reading the time through $2800/$2801, the
// weekday it works out, counting seconds across a century, the clear
// command and its state chunk.
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/srtc/srtc.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

std::vector<uint8_t> srtc_image() {
    HeaderFields f;
    f.cart_type = 0x55;
    f.sram_size = 1;
    auto image = pattern_image(512 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

struct SrtcTest : ::testing::Test {
    Loaded l = load_image(srtc_image());
    Machine& m = l.m();

    void SetUp() override { ASSERT_EQ(m.cart.coprocessor, kCoprocSrtc); }
    void command(uint8_t v) { bus_write(m, 0x00, 0x2801, v); }
    uint8_t data() { return bus_read(m, 0x00, 0x2800); }
    void set_time(const std::vector<uint8_t>& nibbles) {
        command(0x0E);
        command(0x00);
        for (uint8_t v : nibbles) command(v);
        command(0x0F);
    }
    std::vector<uint8_t> read_time() {
        command(0x0D);
        EXPECT_EQ(data(), 0x0F);  // the start marker
        std::vector<uint8_t> regs;
        for (int i = 0; i < kSrtcRegisters; i++) regs.push_back(data());
        return regs;
    }
};

TEST_F(SrtcTest, TimeSetThroughThePortReadsBackWithItsWeekdayAndCountsIntoTheNextCentury) {
    set_time({8, 5, 9, 5, 3, 2, 1, 3, 12, 9, 9, 9});  // 1999-12-31 23:59:58
    EXPECT_EQ(read_time(), (std::vector<uint8_t>{8, 5, 9, 5, 3, 2, 1, 3, 12, 9, 9, 9, 5}));  // a Friday
    EXPECT_EQ(data(), 0x0F);  // past the last register: the marker again
    for (int i = 0; i < 2 * 15746; i++) srtc_line_end(m);
    EXPECT_EQ(read_time(), (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 1, 0, 1, 0, 0, 10, 6}));
    EXPECT_EQ(bus_read(m, 0x80, 0x2802), m.mem.open_bus);  // the rest of the page is open bus
    EXPECT_EQ(bus_peek(m, 0x00, 0x2801), kNotReadable);
}

TEST_F(SrtcTest, LeapDaysAndTheClearCommand) {
    set_time({9, 5, 9, 5, 3, 2, 8, 2, 2, 0, 0, 10});  // 2000-02-28 23:59:59
    srtc_tick_second(m.srtc);
    EXPECT_EQ(m.srtc.regs[6], 9);  // 2000 is a leap year
    set_time({9, 5, 9, 5, 3, 2, 8, 2, 2, 0, 0, 9});  // 1900-02-28: not one
    srtc_tick_second(m.srtc);
    EXPECT_EQ(m.srtc.regs[6], 1);
    EXPECT_EQ(m.srtc.regs[8], 3);
    command(0x0E);
    command(0x04);
    EXPECT_EQ(read_time(), std::vector<uint8_t>(kSrtcRegisters, 0));
    // Outside the read mode the port reads 0.
    command(0x0E);
    command(0x01);
    EXPECT_EQ(data(), 0);
}

TEST_F(SrtcTest, TheStateChunkRestoresTheClockAndBoundsDamagedValues) {
    set_time({1, 2, 3, 4, 5, 1, 6, 1, 7, 8, 9, 10});
    command(0x0D);
    data();
    data();
    std::vector<uint8_t> chunk(kSrtcStateSize);
    StateWriter w{chunk.data()};
    srtc_state_io(w, m);
    ASSERT_EQ(w.p, chunk.data() + chunk.size());
    chip_reset(m);
    EXPECT_EQ(data(), 0);
    StateReader r{chunk.data()};
    srtc_state_io(r, m);
    EXPECT_EQ(data(), 2);  // the next register after the marker and seconds units
    chunk[kSrtcRegisters] = 9;       // mode
    chunk[kSrtcRegisters + 1] = 77;  // index
    StateReader damaged{chunk.data()};
    srtc_state_io(damaged, m);
    EXPECT_EQ(m.srtc.mode, SrtcMode::Ready);
    EXPECT_EQ(m.srtc.index, -1);
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

// The test cartridge sets the clock at reset and reads it every frame.
TEST(SrtcCartridge, BootsSetsTheClockAndReadsItFor300Frames) {
    auto m = machine_with_rom("chip_srtc");
    ASSERT_EQ(m->cart.coprocessor, kCoprocSrtc);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    EXPECT_EQ(wram8(*m, 0x2000), 0x0F);
    const uint8_t expected[13] = {4, 0, 0, 0, 2, 1, 5, 1, 6, 4, 2, 10, 6};  // five seconds on; a Saturday
    for (int i = 0; i < 13; i++) {
        if (i == 0) {
            EXPECT_GE(wram8(*m, 0x2001), 4);
            EXPECT_LE(wram8(*m, 0x2001), 5);
        } else {
            EXPECT_EQ(wram8(*m, 0x2001 + uint32_t(i)), expected[i]) << i;
        }
    }
}

}  // namespace
}  // namespace vt::test
