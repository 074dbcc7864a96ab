// SA-1 test cartridges run through the whole machine: the SA-1's program
// runs beside the main CPU's, they interrupt each other, and random
// accesses over every window of both processors stay inside the buffers.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "coproc/chips.h"
#include "coproc/sa1/sa1_debug.h"
#include "coproc/sa1/sa1_support.h"
#include "core/debug_target.h"
#include "core/driver.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

uint16_t iram16(const Machine& m, size_t at) { return uint16_t(m.sa1.iram[at] | (m.sa1.iram[at + 1] << 8)); }

TEST(Sa1Cartridge, TheSa1ProgramComputesAndBothProcessorsInterruptEachOther) {
    auto m = machine_with_rom("sa1_cpu");
    ASSERT_EQ(m->cart.coprocessor, kCoprocSa1);
    run_frames(*m, 2);
    EXPECT_EQ(iram16(*m, 0x100), 0xC964);  // $1234 x -3
    EXPECT_EQ(iram16(*m, 0x102), 0xFFFF);
    EXPECT_EQ(iram16(*m, 0x104), 0xFFFC);  // -7 / 2: quotient -4
    EXPECT_EQ(iram16(*m, 0x106), 0x0001);  // remainder 1
    EXPECT_EQ(iram16(*m, 0x108), 0x0004);  // 4 x $3FFF0001
    EXPECT_EQ(iram16(*m, 0x10A), 0xFFFC);
    EXPECT_EQ(m->sa1.iram[0x10C], 0x00);
    EXPECT_EQ(m->sa1.iram[0x10D], 0x00);  // no overflow
    EXPECT_EQ(m->sa1.iram[0x110], 0x41);  // bits 4-11 of $78563412
    EXPECT_EQ(m->sa1.iram[0x111], 0x63);  // bits 12-19
    EXPECT_EQ(m->sa1.iram[0x112], 0x34);  // bits 8-15, after moving on 4 bits
    EXPECT_EQ(m->cart.sram[0x10], 0x5A);
    EXPECT_EQ(m->cart.sram[0x20] >> 4, 0x0F);
    const uint8_t table[8] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0};
    for (int i = 0; i < 8; i++) EXPECT_EQ(m->sa1.iram[0x200 + size_t(i)], table[i]) << i;

    EXPECT_EQ(wram8(*m, 0x10), 1);     // one IRQ through SIV
    EXPECT_EQ(wram8(*m, 0x11), 0xC5);  // SFR: IRQ, SIV switch, message 5
    EXPECT_EQ(wram8(*m, 0x12), 0x00);  // never through the ROM vector
    EXPECT_EQ(m->sa1.iram[0x302], 1);  // the SA-1 took the main CPU's IRQ
    EXPECT_EQ(wram8(*m, 0x2000), 0xA5);
    EXPECT_NE(iram16(*m, 0x300), 0);   // and went on running
    const uint16_t spins = iram16(*m, 0x300);
    run_frames(*m, 1);
    EXPECT_NE(iram16(*m, 0x300), spins);
}

TEST(Sa1Cartridge, TheSa1RunsAtItsOwnClockAFullLinePerLine) {
    auto m = machine_with_rom("sa1_bench");
    run_frames(*m, 3);
    // Every line ends with the SA-1 level with the main CPU, within one
    // instruction.
    EXPECT_GE(m->sa1.clock, 0);
    EXPECT_LT(m->sa1.clock, 16);
    const uint8_t before = m->sa1.iram[0x12];
    run_line(*m);
    // One pass of the loop is about 60 cycles: a line of 680 cycles runs
    // about eleven of them.
    const int passes = uint8_t(m->sa1.iram[0x12] - before);
    EXPECT_GE(passes, 8);
    EXPECT_LE(passes, 14);
}

TEST(Sa1Cartridge, InfoAndDebuggerNameTheChip) {
    auto m = machine_with_rom("sa1_cpu");
    EXPECT_STREQ(chip_for(m->cart.coprocessor).name, "SA1");
    const auto targets = machine_debug_targets(*m);
    ASSERT_EQ(targets.size(), 3u);
    EXPECT_STREQ(targets[2]->name, "SA-1");
    run_frames(*m, 1);
    const DebugRegisters regs = targets[2]->registers(*m);
    EXPECT_STREQ(regs.list[6].name, "PC");
    EXPECT_EQ(regs.list[6].value, m->sa1.cpu.pc);
    const DisassembledLine line = targets[2]->disassemble(*m, 0x00FFFC);
    EXPECT_EQ(line.bytes[0], m->sa1.w.crv & 0xFF);  // the SA-1's own view of its vectors
    EXPECT_EQ(sa1_written_register_rows(*m).size(), 53u);
    EXPECT_EQ(sa1_read_register_rows(*m).size(), 12u);
    EXPECT_EQ(sa1_written_register_rows(*m)[3].value, m->sa1.w.crv);
}

// Every window of both processors under a million random accesses, with
// random register values in between (conversion, DMA and bit reader
// included). AddressSanitizer builds check the buffers.
TEST(Sa1Cartridge, RandomAccessesOverEveryWindowStayInsideTheBuffers) {
    Loaded l = sa1_cartridge(1 * kMiB + 512 * kKiB);
    Machine& m = l.m();
    std::mt19937 rng(17);
    auto pick_address = [&]() -> std::pair<uint8_t, uint16_t> {
        static constexpr uint8_t kBanks[] = {0x00, 0x3F, 0x40, 0x4F, 0x50, 0x60, 0x6F, 0x70, 0x80, 0xBF, 0xC0, 0xFF};
        const uint8_t bank = (rng() & 1) ? kBanks[rng() % std::size(kBanks)] : uint8_t(rng());
        static constexpr uint16_t kPages[] = {0x0000, 0x2200, 0x2300, 0x3000, 0x3700, 0x6000, 0x7F00, 0x8000, 0xFF00};
        const uint16_t addr = (rng() & 1) ? uint16_t(kPages[rng() % std::size(kPages)] | (rng() & 0xFF)) : uint16_t(rng());
        return {bank, addr};
    };
    uint32_t sum = 0;
    for (int i = 0; i < 1'000'000; i++) {
        const uint32_t r = rng();
        if ((r & 63) == 0) {
            // A register write with a random value; DMA counts kept short so
            // the test stays quick.
            const uint16_t addr = uint16_t(0x2200 + (rng() % 0x60));
            uint8_t v = uint8_t(rng());
            if (addr == 0x2239) v &= 0x03;
            sa1_register_write(m, addr, v);
            continue;
        }
        auto [bank, addr] = pick_address();
        switch (r % 6) {
            case 0: sum += bus_read(m, bank, addr); break;
            case 1: bus_write(m, bank, addr, uint8_t(r >> 8)); break;
            case 2: sum += Sa1Bus::read(m, bank, addr); break;
            case 3: Sa1Bus::write(m, bank, addr, uint8_t(r >> 8)); break;
            case 4: sum += uint32_t(bus_peek(m, bank, addr)) + uint32_t(sa1_bus_peek(m, bank, addr)); break;
            default: sum += sa1_register_read(m, uint16_t(0x2300 | (addr & 0xFF))); break;
        }
    }
    EXPECT_NE(sum, 0u);
    // And the SA-1 runs whatever the registers now say.
    m.sa1.running = true;
    for (int i = 0; i < 100000; i++) sa1_step(m);
}

}  // namespace
}  // namespace vt::test

namespace vt::test {
namespace {

// Each chunk's layout fills exactly its length, and a chunk read back puts
// the chip where it was.
TEST(Sa1State, ChunksFillTheirLengthAndReadBackTheSameBytes) {
    auto m = machine_with_rom("sa1_cpu");
    run_frames(*m, 2);
    m->sa1.w.bmap = 0x83;  // a bitmap window, so the derived state matters
    m->sa1.mr = 0x123456789AULL;
    for (const ChipStateChunk& c : chip_for(kCoprocSa1).state_chunks) {
        std::vector<uint8_t> bytes(c.length + 8, 0xEE);
        StateWriter w{bytes.data()};
        c.save(w, *m);
        ASSERT_EQ(size_t(w.p - bytes.data()), c.length) << c.tag;
        EXPECT_EQ(bytes[c.length], 0xEE);

        auto other = machine_with_rom("sa1_cpu");
        StateReader r{bytes.data()};
        c.load(r, *other);
        EXPECT_EQ(size_t(r.p - bytes.data()), c.length) << c.tag;
        if (std::string(c.tag) == "SAS1") {
            EXPECT_EQ(other->sa1.iram, m->sa1.iram);
            EXPECT_EQ(other->sa1.cpu.pc, m->sa1.cpu.pc);
            EXPECT_EQ(other->sa1.mr, m->sa1.mr);
            EXPECT_EQ(other->sa1.w.crv, m->sa1.w.crv);
            EXPECT_TRUE(other->sa1.running);
            EXPECT_TRUE(other->sa1.sa1_window_bitmap);
            EXPECT_EQ(other->sa1.sa1_bwram_base, 3u * 0x2000);
            // The written-register image starts with CCNT after the CPU
            // image and the 15 read-register bytes.
            EXPECT_EQ(bytes[16 + 15], m->sa1.w.ccnt);
            EXPECT_EQ(bytes[16 + 14], 0x10);  // VC
        }
    }
}

}  // namespace
}  // namespace vt::test
