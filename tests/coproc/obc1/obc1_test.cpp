// OBC1: one sprite entry at a time through $7FF0-$7FF7, the table in the
// cartridge's battery RAM.
#include <gtest/gtest.h>

#include "cart/loader_support.h"
#include "coproc/dsp/dsp_ports.h"

namespace vt::test {
namespace {

std::vector<uint8_t> obc1_image() {
    HeaderFields f;
    f.title = "METAL COMBAT";
    f.cart_type = 0x25;
    f.sram_size = 3;
    auto image = pattern_image(512 * kKiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

struct Obc1Test : ::testing::Test {
    Loaded l = load_image(obc1_image());
    Machine& m = l.m();
    void SetUp() override { ASSERT_EQ(m.cart.coprocessor, kCoprocObc1); }
    void put(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }
    uint8_t get(uint16_t addr) { return bus_read(m, 0x00, addr); }
    uint8_t ram(uint32_t offset) { return m.cart.sram[offset]; }
};

TEST_F(Obc1Test, EntrySelectionAndTheHighTableField) {
    m.cart.sram[0x1C00 + 0x200 + 1] = 0xF3;
    put(0x7FF6, 0x85);  // entry 5, shift 2
    EXPECT_EQ(m.obc1.index, 5);
    EXPECT_EQ(m.obc1.shift, 2);
    put(0x7FF4, 0x03);
    EXPECT_EQ(ram(0x1C00 + 0x200 + 1), 0xFF);  // bits 2-3 set, the others kept
    put(0x7FF4, 0x00);
    EXPECT_EQ(ram(0x1C00 + 0x200 + 1), 0xF3);
    EXPECT_EQ(get(0x7FF4), 0xF3);
    put(0x7FF2, 0x44);
    EXPECT_EQ(ram(0x1C00 + 5 * 4 + 2), 0x44);
    EXPECT_EQ(get(0x7FF2), 0x44);
    EXPECT_EQ(ram(0x1FF2), 0x44);  // every register byte is kept at $1F00 + low
}

TEST_F(Obc1Test, BaseSelectionAndRamPages) {
    put(0x7FF5, 0x01);
    put(0x7FF6, 0x02);
    put(0x7FF0, 0x99);
    EXPECT_EQ(ram(0x1800 + 2 * 4), 0x99);
    EXPECT_EQ(ram(0x1FF0), 0x99);
    put(0x7FF5, 0x00);
    EXPECT_EQ(m.obc1.base, 0x1C00);
    // Pages $60-$77 now reach the 8 KiB RAM too, in every system bank.
    bus_write(m, 0x80, 0x6123, 0x77);
    EXPECT_EQ(ram(0x0123), 0x77);
    EXPECT_EQ(bus_read(m, 0x00, 0x7923), ram(0x1923));
    // Banks $70-$71 lower halves are the same RAM.
    EXPECT_EQ(bus_read(m, 0x71, 0x2123), 0x77);
    // Other registers read back what was written.
    put(0x7FF7, 0x12);
    put(0x7F10, 0x34);
    EXPECT_EQ(get(0x7FF7), 0x12);
    EXPECT_EQ(get(0x7F10), 0x34);
    EXPECT_EQ(get(0x7FF5), 0x00);
}

TEST_F(Obc1Test, StatesKeepTheSelectedEntryAndTheTable) {
    put(0x7FF5, 0x01);
    put(0x7FF6, 0x7F);
    put(0x7FF3, 0xAB);
    Loaded other = load_image(obc1_image());
    carry_state(m, other.m());
    Machine& o = other.m();
    EXPECT_EQ(o.obc1.base, 0x1800);
    EXPECT_EQ(o.obc1.index, 0x7F);
    EXPECT_EQ(bus_read(o, 0x00, 0x7FF3), 0xAB);
}

}  // namespace
}  // namespace vt::test
