// The memory map: work RAM and its mirrors, the $2180 port, open bus and the
// cost of each kind of access.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "cart/memory_map.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

class MemoryMapTest : public ::testing::Test {
  protected:
    void SetUp() override { m = machine_with_rom("driver_timer"); }
    // Clock units a single access adds.
    template <class F>
    int32_t cost(F access) {
        int32_t before = m->timing.line_clock;
        access();
        return m->timing.line_clock - before;
    }
    std::unique_ptr<Machine> m;
};

TEST_F(MemoryMapTest, WorkRamMirrorsInTheSystemBanks) {
    bus_write(*m, 0x7E, 0x0000, 0x11);
    EXPECT_EQ(bus_read(*m, 0x00, 0x0000), 0x11);
    bus_write(*m, 0x80, 0x1FFF, 0x22);
    EXPECT_EQ(bus_read(*m, 0x7E, 0x1FFF), 0x22);
    EXPECT_EQ(bus_read(*m, 0x3F, 0x1FFF), 0x22);
    bus_write(*m, 0x7F, 0xFFFF, 0x33);
    EXPECT_EQ(m->mem.wram[0x1FFFF], 0x33);
    // $2000 is not work RAM.
    bus_write(*m, 0x00, 0x2000, 0x44);
    EXPECT_NE(m->mem.wram[0x2000], 0x44);
}

TEST_F(MemoryMapTest, AccessCostsDependOnTheMemory) {
    EXPECT_EQ(cost([&] { bus_read(*m, 0x7E, 0x1234); }), 1);
    EXPECT_EQ(cost([&] { bus_write(*m, 0x00, 0x0100, 1); }), 1);
    EXPECT_EQ(cost([&] { bus_read(*m, 0x00, 0x8000); }), 1);  // slow ROM
    EXPECT_EQ(cost([&] { bus_read(*m, 0x80, 0x8000); }), 1);
    bus_write(*m, 0x00, 0x420D, 0x01);
    EXPECT_EQ(cost([&] { bus_read(*m, 0x80, 0x8000); }), 0);  // fast ROM
    EXPECT_EQ(cost([&] { bus_read(*m, 0x00, 0x8000); }), 1);
    EXPECT_EQ(cost([&] { bus_read(*m, 0x00, 0x4214); }), 0);  // I/O register
    EXPECT_EQ(cost([&] { bus_read(*m, 0x00, 0x5000); }), 1);  // unmapped
    EXPECT_EQ(cost([&] { bus_write(*m, 0x00, 0x5000, 0); }), 1);
}

TEST_F(MemoryMapTest, OpenBusHoldsTheLastByteOnTheBus) {
    bus_write(*m, 0x7E, 0x0010, 0x9C);
    EXPECT_EQ(bus_read(*m, 0x00, 0x5000), 0x9C);  // unmapped read
    bus_read(*m, 0x7E, 0x0010);
    bus_write(*m, 0x00, 0x5000, 0x3A);  // a discarded write still drives the bus
    EXPECT_EQ(bus_read(*m, 0x00, 0x2181), 0x3A);  // the port address does not read back
    uint8_t rom = bus_read(*m, 0x00, 0xFFFC);
    EXPECT_EQ(bus_read(*m, 0x00, 0x5000), rom);
}

TEST_F(MemoryMapTest, WorkRamPortReadsAndWritesWithAutoIncrement) {
    bus_write(*m, 0x00, 0x2181, 0x00);
    bus_write(*m, 0x00, 0x2182, 0x30);
    bus_write(*m, 0x00, 0x2183, 0x01);  // $13000
    bus_write(*m, 0x00, 0x2180, 0xAB);
    bus_write(*m, 0x00, 0x2180, 0xCD);
    EXPECT_EQ(m->mem.wram[0x13000], 0xAB);
    EXPECT_EQ(m->mem.wram[0x13001], 0xCD);
    EXPECT_EQ(m->mem.wram_port, 0x13002u);
    bus_write(*m, 0x00, 0x2182, 0x30);
    bus_write(*m, 0x00, 0x2181, 0x00);
    EXPECT_EQ(bus_read(*m, 0x00, 0x2180), 0xAB);
}

TEST_F(MemoryMapTest, WorkRamPortWrapsIn128KiBButCountsIn24Bits) {
    m->mem.wram_port = 0x01FFFF;
    bus_write(*m, 0x00, 0x2180, 0x5E);
    EXPECT_EQ(m->mem.wram[0x1FFFF], 0x5E);
    EXPECT_EQ(m->mem.wram_port, 0x020000u);
    bus_write(*m, 0x00, 0x2180, 0x6F);
    EXPECT_EQ(m->mem.wram[0x00000], 0x6F);  // address $20000 lands at offset 0
    m->mem.wram_port = 0xFFFFFF;
    bus_write(*m, 0x00, 0x2180, 0x70);
    EXPECT_EQ(m->mem.wram[0x1FFFF], 0x70);
    EXPECT_EQ(m->mem.wram_port, 0u);
}

TEST_F(MemoryMapTest, PortRefusesADmaByteThatCameFromWorkRam) {
    m->mem.wram[0x100] = 0x77;
    m->mem.wram_port = 0x200;
    // A DMA byte read from work RAM: the lock becomes $FF and the port refuses it.
    m->mem.dma_active = 1;
    uint8_t v = bus_read(*m, 0x7E, 0x0100);
    EXPECT_EQ(m->mem.dma_active, 0xFF);
    bus_write(*m, 0x00, 0x2180, v);
    bus_write(*m, 0x00, 0x2181, 0x55);
    EXPECT_NE(m->mem.wram[0x200], 0x77);
    EXPECT_EQ(m->mem.wram_port, 0x200u);
    m->mem.open_bus = 0x42;
    EXPECT_EQ(bus_read(*m, 0x00, 0x2180), 0x42);
    // A DMA byte from ROM leaves the lock at 1: the port takes it.
    m->mem.dma_active = 1;
    v = bus_read(*m, 0x00, 0x8000);
    bus_write(*m, 0x00, 0x2180, v);
    EXPECT_EQ(m->mem.wram[0x200], v);
    // Outside DMA the lock is 0 and stays 0.
    m->mem.dma_active = 0;
    bus_read(*m, 0x7E, 0x0000);
    EXPECT_EQ(m->mem.dma_active, 0);
}

TEST_F(MemoryMapTest, SaveImageHoldsThePortAddressThenWorkRam) {
    m->mem.wram_port = 0x012345;
    m->mem.wram[0] = 0xA1;
    m->mem.wram[kWramSize - 1] = 0xB2;
    std::vector<uint8_t> image(kWramChunkSize);
    memory_save_wram(*m, image.data());
    EXPECT_EQ(image[0], 0x45);
    EXPECT_EQ(image[1], 0x23);
    EXPECT_EQ(image[2], 0x01);
    EXPECT_EQ(image[3], 0xA1);
    EXPECT_EQ(image.back(), 0xB2);
    auto other = machine_with_rom("driver_timer");
    memory_load_wram(*other, image.data());
    EXPECT_EQ(other->mem.wram_port, 0x012345u);
    EXPECT_EQ(other->mem.wram, m->mem.wram);
}

TEST_F(MemoryMapTest, LoaderSubTablesDispatchPages60To7FByBankNibble) {
    static uint8_t seen_bank;
    const ReadHandler read = [](Machine& mm, uint8_t bank, uint16_t) -> uint8_t {
        seen_bank = bank;
        mm.mem.open_bus = 0xE2;
        return 0xE2;
    };
    memory_install_loader_sub(*m, 0x2, {read, &discard_write, &unreadable_peek});
    memory_copy_loader_to_cpu(*m);
    memory_init_wram(*m, 0);
    EXPECT_EQ(bus_read(*m, 0x25, 0x6000), 0xE2);
    EXPECT_EQ(seen_bank, 0x25);
    m->mem.open_bus = 0x00;
    EXPECT_EQ(bus_read(*m, 0x35, 0x7FFF), 0x00);  // nibble 3: still open bus
}

}  // namespace
}  // namespace vt::test
