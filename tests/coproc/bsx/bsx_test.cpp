// The Satellaview: the memory pack's flash commands, the base unit's
// registers and RAM, the receiver's B-bus registers, the state chunk, and
// the two test cartridges (a memory pack and the base cartridge).
#include <gtest/gtest.h>

#include <vector>

#include "cart/loader_support.h"
#include "coproc/bsx/bsx.h"
#include "coproc/chips.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

// A 1 MiB LoROM memory pack: its header's SRAM byte $20 and a valid pair.
std::vector<uint8_t> pack_image() {
    HeaderFields f;
    f.title = "SYNTHETIC PACK";
    f.sram_size = 0x20;
    auto image = pattern_image(1 * kMiB);
    write_header(image, 0x7FC0, f);
    set_word(image, 0x7FFC, 0x8000);
    fix_checksum(image, 0x7FC0);
    return image;
}

struct BsxPackTest : ::testing::Test {
    Loaded l = load_image(pack_image());
    Machine& m = l.m();
    void command(uint8_t bank, uint16_t addr, uint8_t value) { bus_write(m, bank, addr, value); }
};

TEST_F(BsxPackTest, LoadsAsAMemoryPackWithTheFlashInReadArrayMode) {
    ASSERT_EQ(m.cart.coprocessor, kCoprocBsx);
    // Bank $71 is pack bytes $10000-$1FFFF: 32 KiB blocks 2 and 3.
    EXPECT_EQ(peek(m, 0x71, 0x0005), m.cart.rom[2 * 0x10000 + 0x8000 + 5]);
    EXPECT_EQ(peek(m, 0x71, 0x8005), m.cart.rom[3 * 0x10000 + 0x8000 + 5]);
}

TEST_F(BsxPackTest, IdentifierStatusAndBackToReadArray) {
    command(0x70, 0, 0x90);
    EXPECT_EQ(peek(m, 0x70, 0x0000), kBsxFlashMaker);
    EXPECT_EQ(peek(m, 0x77, 0x1231), kBsxFlashDevice);
    command(0x70, 0, 0x70);
    EXPECT_EQ(peek(m, 0x72, 0x4000), kBsxFlashReady);
    command(0x70, 0, 0xFF);
    EXPECT_EQ(peek(m, 0x70, 0x0000), m.cart.rom[0x8000]);
}

TEST_F(BsxPackTest, ProgrammingClearsBitsOnlyAndReportsAnAttemptToSetOne) {
    const uint32_t offset = bsx_pack_offset(m, 0x31234);
    m.cart.rom[offset] = 0xF0;
    command(0x73, 0x1234, 0x40);
    command(0x73, 0x1234, 0x30);
    EXPECT_EQ(peek(m, 0x73, 0x1234), kBsxFlashReady);  // status after a program
    EXPECT_EQ(m.cart.rom[offset], 0x30);
    EXPECT_EQ(m.cart.rom[offset - 0x8000], 0x30);  // the slot's other half shows the same block
    command(0x73, 0x1234, 0x10);
    command(0x73, 0x1234, 0x0F);
    EXPECT_EQ(m.cart.rom[offset], 0x00);
    EXPECT_EQ(peek(m, 0x73, 0x1234), kBsxFlashReady | kBsxFlashProgramError);
    command(0x73, 0, 0x50);
    EXPECT_EQ(peek(m, 0x73, 0x1234), kBsxFlashReady);
}

TEST_F(BsxPackTest, BlockEraseFillsOne64KiBBlockAndABadConfirmErasesNothing) {
    command(0x75, 0x8000, 0x20);
    command(0x75, 0x8000, 0x00);  // not $D0
    EXPECT_EQ(peek(m, 0x75, 0), kBsxFlashReady | kBsxFlashEraseError | kBsxFlashProgramError);
    command(0x75, 0, 0x50);
    command(0x75, 0, 0xFF);
    EXPECT_NE(peek(m, 0x75, 0x0010), 0xFF);
    command(0x75, 0x8000, 0x20);
    command(0x75, 0x8000, 0xD0);
    command(0x75, 0, 0xFF);
    for (uint32_t a : {0x0000u, 0x7FFFu, 0x8000u, 0xFFFFu}) EXPECT_EQ(peek(m, 0x75, uint16_t(a)), 0xFF) << a;
    EXPECT_EQ(peek(m, 0x74, 0xFFFF), m.cart.rom[bsx_pack_offset(m, 0x4FFFF)]);
    EXPECT_NE(peek(m, 0x76, 0x0010), 0xFF);  // the next block is untouched
}

TEST_F(BsxPackTest, BaseUnitRegistersKeepBit7AndItsRamSitsInBanks10To17) {
    bus_write(m, 0x01, 0x5000, 0xFF);
    EXPECT_EQ(peek(m, 0x01, 0x5ABC), 0x80);
    EXPECT_EQ(peek(m, 0x81, 0x5000), 0x80);
    EXPECT_EQ(peek(m, 0x02, 0x5000), 0x00);
    bus_write(m, 0x17, 0x5FFF, 0x42);
    EXPECT_EQ(m.cart.bsx_ram[0x7FFF], 0x42);
    EXPECT_EQ(peek(m, 0x97, 0x5FFF), 0x42);
}

TEST_F(BsxPackTest, ReceiverRegistersLatchChannelsAndReportNothingReceived) {
    struct Case {
        uint16_t addr;
        bool latched;
    } cases[] = {{0x2188, true}, {0x2189, true}, {0x218A, false}, {0x218B, false}, {0x218C, false},
                 {0x218D, false}, {0x218E, true}, {0x2193, false}, {0x2194, true}, {0x2197, true}};
    for (const Case& c : cases) {
        bus_write(m, 0x00, c.addr, 0x5A);
        EXPECT_EQ(peek(m, 0x00, c.addr), c.latched ? 0x5A : 0x00) << std::hex << c.addr;
    }
}

TEST_F(BsxPackTest, StateChunkRoundTripsAndADamagedModeFallsBackToReadArray) {
    bus_write(m, 0x04, 0x5000, 0x80);
    bus_write(m, 0x00, 0x2188, 0x21);
    command(0x70, 0, 0x90);
    std::vector<uint8_t> chunk(kBsxStateSize);
    StateWriter w{chunk.data()};
    bsx_state_io(w, m);
    chip_reset(m);
    m.bsx.regs.fill(0);
    StateReader r{chunk.data()};
    bsx_state_io(r, m);
    EXPECT_EQ(m.bsx.regs[4], 0x80);
    EXPECT_EQ(m.bsx.bbus[8], 0x21);
    EXPECT_EQ(m.bsx.flash_mode, BsxFlashMode::Identifier);
    chunk[16 + 0x20] = 0xEE;
    chunk[0] = 0x7F;
    StateReader damaged{chunk.data()};
    bsx_state_io(damaged, m);
    EXPECT_EQ(m.bsx.flash_mode, BsxFlashMode::ReadArray);
    EXPECT_EQ(m.bsx.regs[0], 0x00);
}

TEST(BsxCartridge, MemoryPackBootsAndItsFlashAnswersFor300Frames) {
    auto m = machine_with_rom("chip_bsx_pack");
    ASSERT_EQ(m->cart.coprocessor, kCoprocBsx);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    const uint8_t expected[14] = {kBsxFlashMaker, kBsxFlashDevice, 0x78, 0x80, 0x3C, 0x90, 0x80,
                                  0xFF,           0x80,            0x00, 0x77, 0x12, 0x00, 0x80};
    for (uint32_t i = 0; i < 14; i++) EXPECT_EQ(wram8(*m, 0x2000 + i), expected[i]) << i;
}

TEST(BsxCartridge, BaseCartridgeBootsAndAnswersFor300Frames) {
    auto m = machine_with_rom("chip_bsx_base");
    ASSERT_EQ(m->cart.coprocessor, kCoprocBsxBase);
    run_frames(*m, 300);
    EXPECT_GE(wram16(*m, 0x10), 299);
    EXPECT_EQ(wram8(*m, 0x2000), 0x80);  // bank $C0
    EXPECT_EQ(wram8(*m, 0x2001), 0x70);  // no pack: open bus
    EXPECT_EQ(wram8(*m, 0x2002), 0x80);
    EXPECT_EQ(wram8(*m, 0x2003), 0x5C);
}

}  // namespace
}  // namespace vt::test
