// General DMA: transfer units of every mode, A-bus steps, B-bus wrap,
// count 0, timing, write-back, the register pages during a transfer and
// the work RAM port lock.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "cart/bus.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

// B-bus accesses seen by the recording handlers.
std::vector<std::pair<uint8_t, uint8_t>> g_b_writes;
uint8_t g_next_b_read = 0;

void record_b_write(Machine&, uint8_t, uint16_t addr, uint8_t v) { g_b_writes.emplace_back(uint8_t(addr), v); }
uint8_t counting_b_read(Machine&, uint8_t, uint16_t) { return g_next_b_read++; }

class DmaTest : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;

    void SetUp() override { g_b_writes.clear(); }

    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }

    void set_channel(int n, uint8_t control, uint8_t b, uint8_t bank, uint16_t a, uint16_t count) {
        const uint16_t base = uint16_t(0x4300 + n * 16);
        write(base + 0, control);
        write(base + 1, b);
        write(base + 2, uint8_t(a));
        write(base + 3, uint8_t(a >> 8));
        write(base + 4, bank);
        write(base + 5, uint8_t(count));
        write(base + 6, uint8_t(count >> 8));
    }

    // Starts the channels and steps until MDMAEN clears; returns the clock
    // units used and counts the steps.
    int32_t run_dma(uint8_t channels, int* steps = nullptr) {
        write(0x420B, channels);
        const int32_t start = m.timing.line_clock;
        int n = 0;
        while (m.sysregs.mdmaen) {
            dma_step(m);
            n++;
            if (n > 200000) break;
        }
        if (steps) *steps = n;
        return m.timing.line_clock - start;
    }

    void record_b_range(int first, int last) {
        for (int a = first; a <= last; a++) m.mem.io_write[a & 0xFF] = &record_b_write;
    }

    uint8_t reg(int n, int offset) const { return m.dma.regs[n * 16 + offset]; }
};

TEST_F(DmaTest, EveryModeWritesItsUnitPattern) {
    static const std::vector<uint8_t> kPatterns[8] = {
        {0}, {0, 1}, {0, 0}, {0, 0, 1, 1}, {0, 1, 2, 3}, {0, 1}, {0, 0}, {0, 0, 1, 1}};
    for (int mode = 0; mode < 8; mode++) {
        g_b_writes.clear();
        record_b_range(0x40, 0x43);
        set_channel(0, uint8_t(mode), 0x40, 0x7E, 0x0000, 9);
        for (int i = 0; i < 16; i++) m.mem.wram[i] = uint8_t(0xA0 + i);
        run_dma(0x01);
        ASSERT_EQ(g_b_writes.size(), 9u) << "mode " << mode;
        for (int i = 0; i < 9; i++) {
            const auto& pattern = kPatterns[mode];
            EXPECT_EQ(g_b_writes[i].first, 0x40 + pattern[i % pattern.size()]) << "mode " << mode << " byte " << i;
            EXPECT_EQ(g_b_writes[i].second, 0xA0 + i);
        }
    }
}

TEST_F(DmaTest, Mode1WithCount3StopsMidUnit) {
    record_b_range(0x40, 0x41);
    set_channel(0, 0x01, 0x40, 0x7E, 0x0000, 3);
    int steps = 0;
    run_dma(0x01, &steps);
    ASSERT_EQ(g_b_writes.size(), 3u);
    EXPECT_EQ(g_b_writes[0].first, 0x40);
    EXPECT_EQ(g_b_writes[1].first, 0x41);
    EXPECT_EQ(g_b_writes[2].first, 0x40);
    EXPECT_EQ(steps, 2);  // one unit per step
}

// A transfer waits for the next 8-master-clock boundary, then costs 8
// clocks to start, 8 per channel and 8 per byte.
TEST_F(DmaTest, CostIsFourUnitsPerByteAndFourPerChannelAfterAlignment) {
    for (int32_t start : {100, 101, 102, 103}) {
        SCOPED_TRACE(start);
        record_b_range(0x40, 0x43);
        set_channel(0, 0x00, 0x40, 0x7E, 0x0000, 10);
        set_channel(3, 0x01, 0x42, 0x00, 0x8000, 7);
        m.timing.line_clock = start;
        const int32_t align = (4 - start % 4) % 4;
        EXPECT_EQ(run_dma(0x09), align + 4 + (10 * 4 + 4) + (7 * 4 + 4));
        EXPECT_EQ(m.sysregs.mdmaen, 0);
    }
}

TEST_F(DmaTest, CountZeroMovesAWholeBank) {
    record_b_range(0x40, 0x40);
    set_channel(0, 0x00, 0x40, 0x00, 0x8000, 0);
    m.timing.line_clock = 0;
    EXPECT_EQ(run_dma(0x01), 4 + 65536 * 4 + 4);
    EXPECT_EQ(g_b_writes.size(), 65536u);
    // Written back: the address wrapped round to where it started, count 0.
    EXPECT_EQ(reg(0, 2) | (reg(0, 3) << 8), 0x8000);
    EXPECT_EQ(reg(0, 4), 0x00);
    EXPECT_EQ(reg(0, 5) | (reg(0, 6) << 8), 0);
}

TEST_F(DmaTest, ASideStepsAndWriteBack) {
    record_b_range(0x40, 0x40);
    for (int i = 0; i < 8; i++) m.mem.wram[0x100 + i] = uint8_t(i);
    const struct {
        uint8_t control;
        std::vector<uint8_t> bytes;
        uint16_t end;
    } cases[] = {{0x00, {4, 5, 6}, 0x107}, {0x10, {4, 3, 2}, 0x101}, {0x08, {4, 4, 4}, 0x104}, {0x18, {4, 4, 4}, 0x104}};
    for (const auto& c : cases) {
        g_b_writes.clear();
        set_channel(1, c.control, 0x40, 0x7E, 0x0104, 3);
        run_dma(0x02);
        ASSERT_EQ(g_b_writes.size(), 3u);
        for (int i = 0; i < 3; i++) EXPECT_EQ(g_b_writes[i].second, c.bytes[i]) << std::hex << int(c.control);
        EXPECT_EQ(reg(1, 2) | (reg(1, 3) << 8), c.end);
    }
}

TEST_F(DmaTest, AAddressWrapsWithinItsBank) {
    record_b_range(0x40, 0x40);
    m.mem.wram[0x0FFFF] = 0x11;
    m.mem.wram[0x00000] = 0x22;
    m.mem.wram[0x10000] = 0x33;  // bank $7F: never reached
    set_channel(0, 0x00, 0x40, 0x7E, 0xFFFF, 2);
    run_dma(0x01);
    EXPECT_EQ(g_b_writes[1].second, 0x22);
    EXPECT_EQ(reg(0, 4), 0x7E);
}

TEST_F(DmaTest, BAddressWrapsWithinPage21) {
    record_b_range(0xFF, 0xFF);
    record_b_range(0x00, 0x02);
    set_channel(0, 0x04, 0xFF, 0x7E, 0x0000, 4);
    run_dma(0x01);
    ASSERT_EQ(g_b_writes.size(), 4u);
    EXPECT_EQ(g_b_writes[0].first, 0xFF);
    EXPECT_EQ(g_b_writes[1].first, 0x00);
    EXPECT_EQ(g_b_writes[3].first, 0x02);
}

TEST_F(DmaTest, BToAReadsTheBBusIntoMemory) {
    m.mem.io_read[0x40] = &counting_b_read;
    g_next_b_read = 0x50;
    set_channel(0, 0x80, 0x40, 0x7E, 0x0200, 4);
    run_dma(0x01);
    for (int i = 0; i < 4; i++) EXPECT_EQ(m.mem.wram[0x200 + i], 0x50 + i);
}

TEST_F(DmaTest, RegisterPagesOnTheABusReadOpenBus) {
    // OAM data at $2138 would step the OAM address; $4300 would return the
    // channel's control byte. During a DMA both give the open bus.
    record_b_range(0x40, 0x40);
    const uint16_t oam_before = m.ppu.oam_addr;
    set_channel(0, 0x00, 0x40, 0x00, 0x2138, 2);
    m.mem.open_bus = 0x00;
    run_dma(0x01);
    EXPECT_EQ(m.ppu.oam_addr, oam_before);
    set_channel(0, 0x08, 0x40, 0x00, 0x4300, 1);
    g_b_writes.clear();
    run_dma(0x01);
    ASSERT_EQ(g_b_writes.size(), 1u);
    EXPECT_NE(g_b_writes[0].second, 0x08);
    // Afterwards the pages are back.
    EXPECT_EQ(bus_read(m, 0x00, 0x4300), 0x08);
    write(0x2102, 0x00);
    write(0x2103, 0x00);
    bus_read(m, 0x00, 0x2138);
    EXPECT_EQ(m.ppu.oam_addr, 1);
}

TEST_F(DmaTest, WorkRamCannotReachTheWorkRamPort) {
    for (int i = 0; i < 4; i++) m.mem.wram[i] = uint8_t(0xC0 + i);
    m.mem.wram[0x1000] = 0x00;
    write(0x2181, 0x00);
    write(0x2182, 0x10);
    write(0x2183, 0x00);
    set_channel(0, 0x00, 0x80, 0x7E, 0x0000, 4);
    run_dma(0x01);
    EXPECT_EQ(m.mem.wram[0x1000], 0x00);
    EXPECT_EQ(m.mem.wram_port, 0x1000u);
    EXPECT_EQ(m.mem.dma_active, 0);
    // From ROM the port takes the bytes.
    set_channel(0, 0x00, 0x80, 0x00, 0x8000, 4);
    run_dma(0x01);
    for (int i = 0; i < 4; i++) EXPECT_EQ(m.mem.wram[0x1000 + i], bus_read(m, 0x00, uint16_t(0x8000 + i)));
    EXPECT_EQ(m.mem.wram_port, 0x1004u);
}

TEST_F(DmaTest, DmaIntoVramThroughTheDataPort) {
    write(0x2115, 0x80);
    write(0x2116, 0x00);
    write(0x2117, 0x30);
    for (int i = 0; i < 6; i++) m.mem.wram[0x300 + i] = uint8_t(0x10 * (i + 1));
    set_channel(2, 0x01, 0x18, 0x7E, 0x0300, 6);
    run_dma(0x04);
    EXPECT_EQ(m.ppu.vram_lo[0x3000], 0x10);
    EXPECT_EQ(m.ppu.vram_hi[0x3000], 0x20);
    EXPECT_EQ(m.ppu.vram_hi[0x3002], 0x60);
    EXPECT_EQ(m.ppu.vram_addr, 0x3003);
}

TEST_F(DmaTest, ChannelRegisterFile) {
    EXPECT_EQ(reg(5, 0), 0xFF);  // power-on
    write(0x435B, 0x3C);
    EXPECT_EQ(bus_read(m, 0x00, 0x435F), 0x3C);
    write(0x435F, 0x4D);
    EXPECT_EQ(bus_read(m, 0x00, 0x435B), 0x4D);
    write(0x435C, 0x99);  // ignored
    m.mem.open_bus = 0x21;
    const int32_t before = m.timing.line_clock;
    EXPECT_EQ(bus_read(m, 0x00, 0x435D), 0x21);
    EXPECT_EQ(m.timing.line_clock - before, 1);  // an unmapped read
    for (int i = 0; i < 16; i++) EXPECT_NE(reg(5, i), 0x99);
}

// The H-blank's HDMA pass runs in the middle of a general transfer, which
// then carries on where it stopped.
TEST_F(DmaTest, HdmaInTheMiddleOfATransfer) {
    record_b_range(0x40, 0x41);
    for (int i = 0; i < 20; i++) m.mem.wram[i] = uint8_t(i);
    m.mem.wram[0x100] = 0x01;  // HDMA table: one line of $EE, then the end
    m.mem.wram[0x101] = 0xEE;
    m.mem.wram[0x102] = 0x00;
    set_channel(0, 0x00, 0x40, 0x7E, 0x0000, 20);
    set_channel(1, 0x00, 0x41, 0x7E, 0x0100, 0);
    m.sysregs.hdmaen = 0x02;
    hdma_frame_start(m);
    write(0x420B, 0x01);
    for (int i = 0; i < 8; i++) dma_step(m);
    hdma_line(m);
    while (m.sysregs.mdmaen) dma_step(m);
    ASSERT_EQ(g_b_writes.size(), 21u);
    int at = 0;
    for (size_t i = 0; i < g_b_writes.size(); i++) {
        if (g_b_writes[i].first == 0x41) {
            EXPECT_EQ(g_b_writes[i].second, 0xEE);
            at = int(i);
            continue;
        }
        EXPECT_EQ(g_b_writes[i].second, uint8_t(i - (at && i > size_t(at) ? 1 : 0)));
    }
    EXPECT_GT(at, 0);
    EXPECT_LT(at, 20);
    EXPECT_EQ(reg(0, 2) | (reg(0, 3) << 8), 20);  // written back as if never interrupted
    EXPECT_EQ(reg(0, 5) | (reg(0, 6) << 8), 0);
    EXPECT_EQ(reg(1, 8) | (reg(1, 9) << 8), 0x0103);
}

TEST_F(DmaTest, StateRoundTripDropsATransferInProgress) {
    record_b_range(0x40, 0x40);
    set_channel(0, 0x00, 0x40, 0x7E, 0x0000, 100);
    write(0x420B, 0x01);
    dma_step(m);
    EXPECT_TRUE(m.dma.running);
    uint8_t state[kDmaStateSize];
    dma_save_state(m, state);
    dma_load_state(m, state);
    EXPECT_FALSE(m.dma.running);
    EXPECT_EQ(bus_read(m, 0x00, 0x4301), 0x40);  // page $43 reinstalled
}

}  // namespace
}  // namespace vt::test
