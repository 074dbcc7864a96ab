// The SA-1's register block, memories and interrupts as programs see them,
// driven through the main CPU's bus.
#include <gtest/gtest.h>

#include "coproc/sa1/sa1_support.h"
#include "core/main_cpu.h"

namespace vt::test {
namespace {

TEST(Sa1Control, ReleasingTheResetStartsTheSa1AtCrvAndSettingItHoldsItAgain) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    EXPECT_FALSE(m.sa1.running);  // held in reset after power-on
    reg16(m, 0x2203, 0x8123);
    reg(m, 0x2200, 0x20);
    reg(m, 0x2200, 0x00);
    EXPECT_TRUE(m.sa1.running);
    EXPECT_EQ(m.sa1.cpu.pc, 0x8123);
    EXPECT_EQ(m.sa1.cpu.pbr, 0);
    EXPECT_EQ(m.sa1.cpu.e, 1);
    EXPECT_EQ(sa1_cpu_status(m) & 0x24, 0x24);  // M and I set
    EXPECT_EQ(m.sa1.cpu.s >> 8, 0x01);
    EXPECT_EQ(m.sa1.clock, 8);  // the reset costs 8 cycles

    reg(m, 0x2200, 0x20);
    EXPECT_FALSE(m.sa1.running);  // the reset line holds it
    reg(m, 0x2200, 0x00);
    EXPECT_TRUE(m.sa1.running);
    reg(m, 0x2200, 0x40);  // wait
    EXPECT_FALSE(m.sa1.running);
    m.sa1.cpu.pc = 0x9000;
    reg(m, 0x2200, 0x00);  // the wait ends without a reset
    EXPECT_TRUE(m.sa1.running);
    EXPECT_EQ(m.sa1.cpu.pc, 0x9000);
}

TEST(Sa1Control, InterruptsToTheSa1NeedTheirEnableBitsAndClearWithCicOrCie) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    reg(m, 0x2200, 0x83);  // IRQ without CIE bit 7, message 3
    EXPECT_EQ(read_reg(m, 0x2301), 0x03);
    EXPECT_EQ(m.sa1.cpu.irq_sources, 0);

    reg(m, 0x220A, 0x90);  // IRQ and NMI enabled
    reg(m, 0x2200, 0x95);
    EXPECT_EQ(read_reg(m, 0x2301), 0x95);
    EXPECT_NE(m.sa1.cpu.irq_sources, 0);
    EXPECT_EQ(m.sa1.cpu.nmi_pending, 1);

    reg(m, 0x220B, 0x80);  // CIC bit 7
    EXPECT_EQ(read_reg(m, 0x2301), 0x15);
    EXPECT_EQ(m.sa1.cpu.irq_sources, 0);
    EXPECT_EQ(m.sa1.cpu.nmi_pending, 1);
    reg(m, 0x220A, 0x80);  // CIE bit 4 written 0 clears the NMI flag
    EXPECT_EQ(read_reg(m, 0x2301), 0x05);
    EXPECT_EQ(m.sa1.cpu.nmi_pending, 0);
}

TEST(Sa1Control, SfrShowsScntAndTheIrqToTheMainCpuUntilSicClearsIt) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    reg(m, 0x2209, 0x5F);
    EXPECT_EQ(read_reg(m, 0x2300), 0x5F);
    reg(m, 0x2209, 0x80);  // no SIE: nothing raised
    EXPECT_EQ(read_reg(m, 0x2300), 0x00);
    EXPECT_EQ(m.cpu.irq_sources & kIrqCartridge, 0);

    reg(m, 0x2201, 0x80);
    reg(m, 0x2209, 0x81);
    EXPECT_EQ(read_reg(m, 0x2300), 0x81);
    EXPECT_NE(m.cpu.irq_sources & kIrqCartridge, 0);
    reg(m, 0x2202, 0x80);
    EXPECT_EQ(read_reg(m, 0x2300), 0x01);
    EXPECT_EQ(m.cpu.irq_sources & kIrqCartridge, 0);
    EXPECT_EQ(read_reg(m, 0x230E), 0x10);  // version
}

TEST(Sa1Vectors, BothProcessorsReadTheirSwitchedVectorsFromTheRegisters) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    const uint8_t rom_nmi = sa1_image_byte(0x7FEA);
    const uint8_t rom_irq = sa1_image_byte(0x7FEE);
    reg16(m, 0x220C, 0x1234);  // SNV
    reg16(m, 0x220E, 0x5678);  // SIV
    EXPECT_EQ(bus_read(m, 0x00, 0xFFEA), rom_nmi);
    reg(m, 0x2209, 0x10);
    EXPECT_EQ(bus_read(m, 0x00, 0xFFEA), 0x34);
    EXPECT_EQ(bus_read(m, 0x00, 0xFFFB), 0x12);  // the emulation-mode vector too
    EXPECT_EQ(bus_read(m, 0x00, 0xFFEE), rom_irq);
    reg(m, 0x2209, 0x40);
    EXPECT_EQ(bus_read(m, 0x00, 0xFFEE), 0x78);
    EXPECT_EQ(bus_read(m, 0x00, 0xFFEF), 0x56);
    EXPECT_EQ(bus_read(m, 0x00, 0xFFEA), rom_nmi);
    EXPECT_EQ(bus_read(m, 0x00, 0xFFE9), sa1_image_byte(0x7FE9));

    reg16(m, 0x2203, 0xA1B2);  // CRV
    reg16(m, 0x2205, 0xC3D4);  // CNV
    reg16(m, 0x2207, 0xE5F6);  // CIV
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0xFFFC), 0xB2);
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0xFFFD), 0xA1);
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0xFFEA), 0xD4);
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0xFFFB), 0xC3);
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0xFFEE), 0xF6);
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0xFFFF), 0xE5);
}

// Which image offset each processor sees at an address, by Super MMC
// register values.
TEST(Sa1SuperMmc, BankRegistersPickMegabyteBlocksForLoRomAndHiRomBanks) {
    Loaded l = sa1_cartridge(4 * kMiB);
    Machine& m = l.m();
    auto main_sees = [&](uint8_t bank, uint16_t addr, uint32_t offset) {
        EXPECT_EQ(bus_peek(m, bank, addr), sa1_image_byte(offset)) << std::hex << int(bank) << ":" << addr;
        EXPECT_EQ(sa1_bus_peek(m, bank, addr), sa1_image_byte(offset)) << std::hex << int(bank) << ":" << addr;
    };
    // Reset values: CXB 0, DXB 1, EXB 2, FXB 3.
    main_sees(0x01, 0x8010, 0x8010);
    main_sees(0x21, 0x8010, 0x100000 + 0x8010);
    main_sees(0x82, 0x9000, 0x200000 + 0x10000 + 0x1000);
    main_sees(0xA0, 0x8000, 0x300000);
    main_sees(0xC1, 0x1234, 0x010000 + 0x1234);
    main_sees(0xF2, 0xFFFF, 0x300000 + 0x20000 + 0xFFFF);

    reg(m, 0x2220, 0x03);  // CXB: block 3, but bit 7 clear keeps the LoROM banks on block 0
    main_sees(0x01, 0x8010, 0x8010);
    main_sees(0xC1, 0x1234, 0x300000 + 0x010000 + 0x1234);
    reg(m, 0x2220, 0x82);
    main_sees(0x01, 0x8010, 0x200000 + 0x8010);
    main_sees(0xC0, 0x0000, 0x200000);
    reg(m, 0x2223, 0x85);  // block 5 of a 4 MiB image wraps to block 1
    main_sees(0xA1, 0x8000, 0x100000 + 0x8000);
    main_sees(0xF0, 0x4000, 0x100000 + 0x4000);
}

TEST(Sa1Memory, IramPagesFollowTheirWriteProtectionForEachProcessor) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    bus_write(m, 0x00, 0x3105, 0x11);  // SIWP 0: dropped
    EXPECT_EQ(m.sa1.iram[0x105], 0x00);
    reg(m, 0x2229, 0x02);  // page 1 writable for the main CPU
    bus_write(m, 0x00, 0x3105, 0x22);
    bus_write(m, 0x80, 0x3205, 0x33);
    EXPECT_EQ(m.sa1.iram[0x105], 0x22);
    EXPECT_EQ(m.sa1.iram[0x205], 0x00);
    EXPECT_EQ(bus_read(m, 0x00, 0x3105), 0x22);

    Sa1Bus::write(m, 0x00, 0x0205, 0x44);  // CIWP 0: dropped
    EXPECT_EQ(m.sa1.iram[0x205], 0x00);
    reg(m, 0x222A, 0x04);
    Sa1Bus::write(m, 0x00, 0x0205, 0x44);
    Sa1Bus::write(m, 0x3F, 0x3206, 0x55);
    EXPECT_EQ(m.sa1.iram[0x205], 0x44);
    EXPECT_EQ(m.sa1.iram[0x206], 0x55);
    EXPECT_EQ(Sa1Bus::read(m, 0x00, 0x0105), 0x22);
    // The SA-1 sees no work RAM and no PPU.
    EXPECT_EQ(sa1_bus_peek(m, 0x7E, 0x0000), kNotReadable);
    EXPECT_EQ(sa1_bus_peek(m, 0x00, 0x2100), kNotReadable);
}

TEST(Sa1Memory, BwramWindowsFollowBmapsAndBmapAndTheBitmapView) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    auto& ram = m.cart.sram;
    reg(m, 0x2224, 0x03);  // BMAPS: the main CPU's window at 24 KiB
    bus_write(m, 0x00, 0x6001, 0xAB);
    EXPECT_EQ(ram[0x6001], 0xAB);
    reg(m, 0x2225, 0x03);  // BMAP: the SA-1's window at the same place
    EXPECT_EQ(Sa1Bus::read(m, 0x00, 0x6001), 0xAB);

    // Bitmap view, 4 bits per pixel: pixel 1 is the high nibble of byte 0.
    ram[0] = 0x21;
    Sa1Bus::write(m, 0x60, 0x0001, 0x0F);
    EXPECT_EQ(ram[0], 0xF1);
    EXPECT_EQ(Sa1Bus::read(m, 0x60, 0x0000), 0x01);
    EXPECT_EQ(Sa1Bus::read(m, 0x60, 0x0001), 0x0F);
    // 2 bits per pixel: pixel 6 is bits 4-5 of byte 1.
    reg(m, 0x223F, 0x80);
    ram[1] = 0x00;
    Sa1Bus::write(m, 0x60, 0x0006, 0xFE);
    EXPECT_EQ(ram[1], 0x20);
    EXPECT_EQ(Sa1Bus::read(m, 0x60, 0x0006), 0x02);
    // The window at $6000 in bitmap space: BMAP $81 starts at pixel 8192.
    reg(m, 0x2225, 0x81);
    ram[0x800] = 0x00;
    Sa1Bus::write(m, 0x00, 0x6003, 0x03);
    EXPECT_EQ(ram[0x800], 0xC0);
    EXPECT_EQ(Sa1Bus::read(m, 0x00, 0x6003), 0x03);
}

TEST(Sa1Memory, BwramWriteProtectionDropsWritesBelowTheBoundary) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    auto& ram = m.cart.sram;
    std::fill(ram.begin(), ram.begin() + 0x1000, 0);
    reg(m, 0x2228, 0x00);  // BWPA 0: the first 256 bytes are protected
    bus_write(m, 0x40, 0x00FF, 0x11);
    bus_write(m, 0x40, 0x0100, 0x22);
    EXPECT_EQ(ram[0xFF], 0x00);
    EXPECT_EQ(ram[0x100], 0x22);
    Sa1Bus::write(m, 0x40, 0x0010, 0x33);
    EXPECT_EQ(ram[0x10], 0x00);
    reg(m, 0x2226, 0x80);  // SBWE
    bus_write(m, 0x40, 0x00FF, 0x11);
    EXPECT_EQ(ram[0xFF], 0x11);
    Sa1Bus::write(m, 0x40, 0x0010, 0x33);
    EXPECT_EQ(ram[0x10], 0x00);  // the SA-1 needs CBWE
    reg(m, 0x2227, 0x80);
    Sa1Bus::write(m, 0x40, 0x0010, 0x33);
    EXPECT_EQ(ram[0x10], 0x33);
    // The $6000 windows are never protected.
    reg(m, 0x2226, 0x00);
    bus_write(m, 0x00, 0x6020, 0x44);
    EXPECT_EQ(ram[0x20], 0x44);
    // After reset BWPA is $FF: everything protected.
    reg(m, 0x2228, 0x0F);
    bus_write(m, 0x43, 0xFFFF, 0x55);
    EXPECT_EQ(ram[0x3FFFF], 0xFF);
}

TEST(Sa1Timers, HcrLatchesTheSa1ClockAndVcrTheLine) {
    Loaded l = sa1_cartridge();
    Machine& m = l.m();
    m.sa1.clock = 0x1F2;
    m.timing.line = 0x105;
    EXPECT_EQ(read_reg(m, 0x2302), 0xF9);
    m.sa1.clock = 0;
    EXPECT_EQ(read_reg(m, 0x2303), 0x00);
    EXPECT_EQ(read_reg(m, 0x2304), 0x05);
    m.timing.line = 0;
    EXPECT_EQ(read_reg(m, 0x2305), 0x01);
    reg(m, 0x2210, 0x80);
    reg16(m, 0x2212, 0xBEEF);
    EXPECT_EQ(read_reg(m, 0x2302), 0xEF);
    EXPECT_EQ(read_reg(m, 0x2303), 0xBE);
}

}  // namespace
}  // namespace vt::test
