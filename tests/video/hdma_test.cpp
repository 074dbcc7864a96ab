// HDMA: table walking (repeat counts, the 0x80 entry, the end), indirect
// tables, timing, the VRAM write drop and mid-frame enabling.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "cart/bus.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

std::vector<std::pair<int, uint8_t>> g_writes;  // (line, value)
int g_line = 0;

void record(Machine&, uint8_t, uint16_t, uint8_t v) { g_writes.emplace_back(g_line, v); }

class HdmaTest : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;

    void SetUp() override {
        g_writes.clear();
        m.mem.io_write[0x40] = &record;
        m.mem.io_write[0x41] = &record;
    }

    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }

    // Channel n reading a table at $7E:table_addr, to B-bus $40.
    void set_channel(int n, uint8_t control, uint16_t table_addr) {
        const uint16_t base = uint16_t(0x4300 + n * 16);
        write(base + 0, control);
        write(base + 1, 0x40);
        write(base + 2, uint8_t(table_addr));
        write(base + 3, uint8_t(table_addr >> 8));
        write(base + 4, 0x7E);
    }

    void put(uint32_t addr, std::initializer_list<uint8_t> bytes) {
        for (uint8_t b : bytes) m.mem.wram[addr++] = b;
    }

    void run_lines(int lines) {
        write(0x420C, m.sysregs.hdmaen);
        hdma_frame_start(m);
        for (g_line = 0; g_line < lines; g_line++) {
            if (m.timing.hdma_active) hdma_line(m);
        }
    }
};

TEST_F(HdmaTest, RepeatCountsAndTheEndOfTheTable) {
    put(0x100, {0x03, 0xD1, 0x82, 0xD2, 0xD3, 0x00});
    set_channel(0, 0x00, 0x0100);
    m.sysregs.hdmaen = 0x01;
    write(0x420C, 0x01);
    hdma_frame_start(m);
    std::vector<uint8_t> active;
    for (g_line = 0; g_line < 7; g_line++) {
        if (m.timing.hdma_active) hdma_line(m);
        active.push_back(m.timing.hdma_active);
    }
    const std::vector<std::pair<int, uint8_t>> expected = {{0, 0xD1}, {3, 0xD2}, {4, 0xD3}};
    EXPECT_EQ(g_writes, expected);
    EXPECT_EQ(active[4], 0x01);
    EXPECT_EQ(active[5], 0x00);  // the zero entry is read on line 5
}

TEST_F(HdmaTest, Entry80TransfersOnceThenWaits127Lines) {
    put(0x200, {0x80, 0x42, 0x01, 0x43, 0x00});
    set_channel(0, 0x00, 0x0200);
    m.sysregs.hdmaen = 0x01;
    run_lines(140);
    const std::vector<std::pair<int, uint8_t>> expected = {{0, 0x42}, {128, 0x43}};
    EXPECT_EQ(g_writes, expected);
}

TEST_F(HdmaTest, RepeatModeWritesAUnitEveryLine) {
    put(0x300, {0x83, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x00});
    set_channel(2, 0x01, 0x0300);  // mode 1: $40, $41
    m.sysregs.hdmaen = 0x04;
    run_lines(6);
    const std::vector<std::pair<int, uint8_t>> expected = {{0, 1}, {0, 2}, {1, 3}, {1, 4}, {2, 5}, {2, 6}};
    EXPECT_EQ(g_writes, expected);
    EXPECT_EQ(m.timing.hdma_active, 0);
}

TEST_F(HdmaTest, IndirectTablesReadTheirDataFromTheIndirectBank) {
    put(0x400, {0x81, 0x00, 0x05, 0x01, 0x05, 0x10, 0x00});
    put(0x10500, {0xAA});  // bank $7F
    put(0x11005, {0xBB});
    set_channel(1, 0x40, 0x0400);
    write(0x4317, 0x7F);
    m.sysregs.hdmaen = 0x02;
    run_lines(4);
    const std::vector<std::pair<int, uint8_t>> expected = {{0, 0xAA}, {1, 0xBB}};
    EXPECT_EQ(g_writes, expected);
    EXPECT_EQ(m.dma.regs[16 + 5] | (m.dma.regs[16 + 6] << 8), 0x1006);
}

TEST_F(HdmaTest, TimingIsFourUnitsPerTableAndDataByte) {
    put(0x500, {0x01, 0x11, 0x00});
    put(0x600, {0x01, 0x00, 0x07, 0x00});
    set_channel(0, 0x00, 0x0500);
    set_channel(1, 0x41, 0x0600);
    m.sysregs.hdmaen = 0x03;
    write(0x420C, 0x03);
    hdma_frame_start(m);
    const int32_t before = m.timing.line_clock;
    hdma_line(m);
    // Channel 0: count byte + 1 data byte; channel 1: count + 2 address
    // bytes + 2 data bytes.
    EXPECT_EQ(m.timing.line_clock - before, 4 * 2 + 4 * 5);
}

TEST_F(HdmaTest, BToADirectionEndsTheChannel) {
    put(0x700, {0x05, 0x99, 0x00});
    set_channel(0, 0x80, 0x0700);
    m.sysregs.hdmaen = 0x01;
    run_lines(3);
    EXPECT_TRUE(g_writes.empty());
    EXPECT_EQ(m.timing.hdma_active, 0);
}

TEST_F(HdmaTest, VramWritesWithoutTranslationAreDropped) {
    write(0x2115, 0x80);
    write(0x2116, 0x00);
    write(0x2117, 0x10);
    put(0x800, {0x01, 0x12, 0x34, 0x00});
    set_channel(0, 0x01, 0x0800);
    write(0x4301, 0x18);
    m.sysregs.hdmaen = 0x01;
    run_lines(2);
    EXPECT_EQ(m.ppu.vram_lo[0x1000], 0);
    EXPECT_EQ(m.ppu.vram_hi[0x1000], 0);
    EXPECT_EQ(m.ppu.vram_addr, 0x1001);
}

TEST_F(HdmaTest, FrameStartReloadsTablesButMidFrameEnableDoesNot) {
    put(0x900, {0x01, 0x5A, 0x00});
    set_channel(0, 0x00, 0x0900);
    m.dma.regs[8] = 0x00;  // a table address left elsewhere
    m.dma.regs[9] = 0x0A;
    m.dma.regs[10] = 0x00;
    put(0xA00, {0x01, 0x6B, 0x00});
    m.sysregs.hvbjoy = 0x00;  // not in V-blank
    write(0x420C, 0x01);
    EXPECT_EQ(m.timing.hdma_active, 0x01);
    hdma_line(m);
    ASSERT_EQ(g_writes.size(), 1u);
    EXPECT_EQ(g_writes[0].second, 0x6B);
    hdma_frame_start(m);
    hdma_line(m);
    EXPECT_EQ(g_writes.back().second, 0x5A);
}

}  // namespace
}  // namespace vt::test
