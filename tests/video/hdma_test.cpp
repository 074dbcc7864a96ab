// HDMA: table walking (repeat counts, the 0x80 entry, the end), indirect
// tables, B-to-A transfers, timing, the VRAM write drop and enabling in
// the middle of a frame.
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
uint8_t g_next_read = 0;
uint8_t counting_read(Machine&, uint8_t, uint16_t) { return g_next_read++; }

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
    EXPECT_EQ(active[3], 0x01);
    EXPECT_EQ(active[4], 0x00);  // the zero entry is read right after line 4's transfer
    // Read back: the table address past the zero entry, the counter 0.
    EXPECT_EQ(bus_read(m, 0x00, 0x4308) | (bus_read(m, 0x00, 0x4309) << 8), 0x0106);
    EXPECT_EQ(bus_read(m, 0x00, 0x430A), 0x00);
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

// 18 master clocks for the pass, 8 per active channel, 8 per table or
// data byte.
TEST_F(HdmaTest, TimingOfTheFrameStartAndOfALine) {
    put(0x500, {0x01, 0x11, 0x00});
    put(0x600, {0x01, 0x00, 0x07, 0x00});
    set_channel(0, 0x00, 0x0500);
    set_channel(1, 0x41, 0x0600);
    m.sysregs.hdmaen = 0x03;
    write(0x420C, 0x03);
    int32_t before = m.timing.line_clock;
    hdma_frame_start(m);
    // Channel 0: its count; channel 1: count and indirect address.
    EXPECT_EQ(m.timing.line_clock - before, 9 + (4 + 4) + (4 + 4 * 3));
    before = m.timing.line_clock;
    hdma_line(m);
    // Channel 0: 1 data byte, then the zero entry; channel 1: 2 data bytes,
    // then the zero entry.
    EXPECT_EQ(m.timing.line_clock - before, 9 + (4 + 4 + 4) + (4 + 8 + 4));
    EXPECT_EQ(m.timing.hdma_active, 0);
    before = m.timing.line_clock;
    m.sysregs.hdmaen = 0;
    hdma_frame_start(m);
    EXPECT_EQ(m.timing.line_clock, before);  // nothing enabled: no cost
}

// With bit 7 of the control byte the channel reads the B bus and writes
// memory: in direct mode, over its own table's data bytes.
TEST_F(HdmaTest, BToAWritesTheBBusIntoTheTable) {
    put(0x700, {0x82, 0x00, 0x00, 0x00});
    set_channel(0, 0x80, 0x0700);
    m.mem.io_read[0x40] = &counting_read;
    g_next_read = 0x30;
    m.sysregs.hdmaen = 0x01;
    run_lines(3);
    EXPECT_TRUE(g_writes.empty());
    EXPECT_EQ(m.mem.wram[0x701], 0x30);
    EXPECT_EQ(m.mem.wram[0x702], 0x31);
    EXPECT_EQ(m.timing.hdma_active, 0);
}

// VRAM belongs to the PPU while it draws, so HDMA to the data port lands
// only in forced blank.
TEST_F(HdmaTest, VramWritesLandOnlyInForcedBlank) {
    for (uint8_t inidisp : {0x80, 0x0F}) {
        SCOPED_TRACE(int(inidisp));
        write(0x2100, 0x80);
        write(0x2115, 0x80);
        write(0x2116, 0x00);
        write(0x2117, 0x10);
        write(0x2118, 0x00);
        write(0x2119, 0x00);
        write(0x2116, 0x00);
        write(0x2117, 0x10);
        write(0x2100, inidisp);
        put(0x800, {0x01, 0x12, 0x34, 0x00});
        set_channel(0, 0x01, 0x0800);
        write(0x4301, 0x18);
        m.sysregs.hdmaen = 0x01;
        m.timing.line = 20;
        run_lines(2);
        const bool lands = inidisp & 0x80;
        EXPECT_EQ(m.ppu.vram_lo[0x1000], lands ? 0x12 : 0);
        EXPECT_EQ(m.ppu.vram_hi[0x1000], lands ? 0x34 : 0);
        EXPECT_EQ(m.ppu.vram_addr, 0x1001);
        m.timing.line = 0;
    }
}

// HDMAEN written outside V-blank starts its channels at the next H-blank
// from whatever their registers hold; only the frame start reloads the
// table address. A channel whose table ended stays off for the frame.
TEST_F(HdmaTest, EnablingInTheMiddleOfAFrameUsesTheChannelAsItStands) {
    put(0x900, {0x01, 0x5A, 0x00});
    set_channel(0, 0x00, 0x0900);
    m.dma.regs[8] = 0x00;  // a table address left elsewhere
    m.dma.regs[9] = 0x0A;
    m.dma.regs[10] = 0x01;  // one line left to wait
    put(0xA00, {0x01, 0x6B, 0x00});
    m.sysregs.hvbjoy = 0x00;  // not in V-blank
    m.sysregs.hdmaen = 0x00;
    hdma_frame_start(m);
    write(0x420C, 0x01);
    EXPECT_EQ(m.timing.hdma_active, 0x01);
    hdma_line(m);  // waits out its count, then reads the entry at $0A00
    EXPECT_TRUE(g_writes.empty());
    hdma_line(m);
    ASSERT_EQ(g_writes.size(), 1u);
    EXPECT_EQ(g_writes[0].second, 0x6B);
    EXPECT_EQ(m.timing.hdma_active, 0x00);  // the zero entry ended it
    write(0x420C, 0x01);
    EXPECT_EQ(m.timing.hdma_active, 0x00);
    // In V-blank a write only sets HDMAEN for the next frame.
    m.sysregs.hvbjoy = 0x80;
    write(0x420C, 0x01);
    EXPECT_EQ(m.timing.hdma_active, 0x00);
    hdma_frame_start(m);
    EXPECT_EQ(m.timing.hdma_active, 0x01);
    hdma_line(m);
    EXPECT_EQ(g_writes.back().second, 0x5A);
}

// Per-line palette changes: one channel sets CGADD, another writes the
// colour pair, in the H-blank of drawn lines with the display on.
TEST_F(HdmaTest, CgramWritesInHblankLandWhileThePictureIsDrawn) {
    put(0xB00, {0x82, 0x05, 0x05, 0x00});
    put(0xC00, {0x82, 0x1F, 0x00, 0xE0, 0x03, 0x00});
    set_channel(0, 0x00, 0x0B00);
    write(0x4301, 0x21);
    set_channel(1, 0x02, 0x0C00);
    write(0x4311, 0x22);
    write(0x2100, 0x0F);
    m.sysregs.hdmaen = 0x03;
    write(0x420C, 0x03);
    hdma_frame_start(m);
    m.timing.line = 100;
    m.timing.line_clock = kHblankPoint;
    hdma_line(m);
    EXPECT_EQ(colour_red(m.ppu.palette[5]), 31);
    EXPECT_EQ(colour_green(m.ppu.palette[5]), 0);
    m.timing.line = 101;
    m.timing.line_clock = kHblankPoint;
    hdma_line(m);
    EXPECT_EQ(colour_red(m.ppu.palette[5]), 0);
    EXPECT_EQ(colour_green(m.ppu.palette[5]), 31);
}

}  // namespace
}  // namespace vt::test
