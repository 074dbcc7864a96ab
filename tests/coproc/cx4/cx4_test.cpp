// The CX4's RAM, register block, DMA from the cartridge and state chunk,
// and a cartridge that uses them.
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/chips.h"
#include "coproc/cx4/cx4.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

std::vector<uint8_t> cx4_image() {
    HeaderFields f;
    f.cart_type = 0xF3;
    auto image = pattern_image(1 * kMiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

TEST(Cx4, RamRegistersAndDmaAnswerInTheirWindows) {
    Loaded l = load_image(cx4_image());
    Machine& m = l.m();
    ASSERT_EQ(m.cart.coprocessor, kCoprocCx4);
    bus_write(m, 0x00, 0x6000, 0x12);
    bus_write(m, 0xBF, 0x6BFF, 0x34);
    EXPECT_EQ(bus_read(m, 0x80, 0x7000), 0x12);  // $7000-$7BFF mirror the RAM
    EXPECT_EQ(bus_read(m, 0x00, 0x7BFF), 0x34);
    EXPECT_EQ(bus_peek(m, 0x00, 0x7F00), kNotReadable);  // between RAM and registers
    bus_write(m, 0x00, 0x7F80, 0x56);
    EXPECT_EQ(bus_read(m, 0x00, 0x7F80), 0x56);
    EXPECT_EQ(bus_read(m, 0x00, 0x7F5E), 0x00);  // never busy

    // DMA: 16 bytes from $00:8010 into RAM $0BF8; what passes the RAM's end is dropped.
    const uint8_t regs[] = {0x10, 0x80, 0x00, 16, 0, 0xF8, 0x0B};
    for (int i = 0; i < 7; i++) bus_write(m, 0x00, uint16_t(0x7F40 + i), regs[i]);
    bus_write(m, 0x00, 0x7F47, 0);
    for (int i = 0; i < 8; i++) EXPECT_EQ(m.cx4.ram[0xBF8 + size_t(i)], l.cart().rom[0x10 + size_t(i)]) << i;

    std::vector<uint8_t> chunk(kCx4StateSize);
    StateWriter w{chunk.data()};
    cx4_state_io(w, m);
    ASSERT_EQ(w.p, chunk.data() + chunk.size());
    chip_power_on(m);
    EXPECT_EQ(bus_read(m, 0x00, 0x6000), 0);
    StateReader r{chunk.data()};
    cx4_state_io(r, m);
    EXPECT_EQ(bus_read(m, 0x00, 0x6000), 0x12);
    EXPECT_EQ(bus_read(m, 0x00, 0x7F80), 0x56);
}

TEST(Cx4Cartridge, BootsCopiesItsTableThroughTheChipAndRuns300Frames) {
    auto m = machine_with_rom("chip_cx4");
    ASSERT_EQ(m->cart.coprocessor, kCoprocCx4);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    for (uint32_t i = 0; i < 64; i++) EXPECT_EQ(wram8(*m, 0x2000 + i), uint8_t(i * 7 + 3)) << i;
}

}  // namespace
}  // namespace vt::test
