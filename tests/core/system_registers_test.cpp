// System registers $4200-$421F and the serial joypad ports, driven through
// the memory map as the CPU would.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "core/driver.h"
#include "core/system_registers.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

class SystemRegisters : public ::testing::Test {
  protected:
    void SetUp() override { m = machine_with_rom("driver_timer"); }
    void write(uint16_t addr, uint8_t v) { bus_write(*m, 0, addr, v); }
    uint8_t read(uint16_t addr) { return bus_read(*m, 0, addr); }
    uint16_t read16(uint16_t addr) { return uint16_t(read(addr) | (read(addr + 1) << 8)); }
    std::unique_ptr<Machine> m;
};

TEST_F(SystemRegisters, MultiplierGivesTheUnsignedProductAtOnce) {
    write(0x4202, 0xFF);
    write(0x4203, 0xFF);
    EXPECT_EQ(read16(0x4216), 0xFE01);
    write(0x4203, 0x00);
    EXPECT_EQ(read16(0x4216), 0x0000);
    write(0x4202, 12);
    write(0x4203, 11);
    EXPECT_EQ(read16(0x4216), 132);
}

TEST_F(SystemRegisters, DividerGivesQuotientAndRemainderAndHandlesZero) {
    write(0x4204, 0x34);
    write(0x4205, 0x12);
    write(0x4206, 0x00);
    EXPECT_EQ(read16(0x4214), 0xFFFF);
    EXPECT_EQ(read16(0x4216), 0x1234);
    write(0x4206, 0x10);
    EXPECT_EQ(read16(0x4214), 0x1234 / 0x10);
    EXPECT_EQ(read16(0x4216), 0x1234 % 0x10);
    // A multiplication leaves the quotient alone.
    write(0x4202, 2);
    write(0x4203, 3);
    EXPECT_EQ(read16(0x4214), 0x1234 / 0x10);
    EXPECT_EQ(read16(0x4216), 6);
}

TEST_F(SystemRegisters, RdnmiReadClearsTheFlagAndKeepsTheVersion) {
    m->sysregs.rdnmi |= 0x80;
    m->mem.open_bus = 0xFF;
    uint8_t first = read(0x4210);
    EXPECT_EQ(first, 0x80 | 0x70 | 0x02);  // bits 6-4 come from the open bus
    EXPECT_EQ(read(0x4210) & 0x8F, 0x02);
}

TEST_F(SystemRegisters, TimeupReadAcknowledgesTheTimerIrq) {
    m->sysregs.timeup = 0x80;
    m->cpu.irq_sources = kIrqTimer | kIrqCartridge;
    m->mem.open_bus = 0x00;
    EXPECT_EQ(read(0x4211), 0x80);
    EXPECT_EQ(m->sysregs.timeup & 0x80, 0);
    EXPECT_EQ(m->cpu.irq_sources, kIrqCartridge);
    EXPECT_EQ(read(0x4211) & 0x80, 0);
}

TEST_F(SystemRegisters, EnablingNmiWhileTheFlagIsSetRaisesItAtOnce) {
    m->sysregs.rdnmi |= 0x80;
    m->cpu.nmi_pending = 0;
    write(0x4200, 0x80);
    EXPECT_EQ(m->cpu.nmi_pending, 1);
    m->cpu.nmi_pending = 0;
    write(0x4200, 0x80);  // already enabled: no second NMI
    EXPECT_EQ(m->cpu.nmi_pending, 0);
}

TEST_F(SystemRegisters, VirqAloneOnTheCurrentLineFiresAtTheWrite) {
    m->timing.line = 10;
    m->timing.line_clock = 300;
    write(0x4209, 10);
    m->cpu.irq_sources = 0;
    write(0x4200, 0x20);
    EXPECT_EQ(m->cpu.irq_sources & kIrqTimer, kIrqTimer);
    EXPECT_EQ(m->sysregs.timeup, 0x80);
    EXPECT_EQ(m->timing.hirq_point, kNoHirq);
}

TEST_F(SystemRegisters, HtimeAlreadyPassedWaitsForTheNextLine) {
    m->timing.line = 10;
    m->timing.line_clock = 300;
    write(0x4200, 0x10);
    write(0x4207, 100);  // dot 100 = unit 200, already passed
    EXPECT_EQ(m->timing.hirq_point, kNoHirq);
    write(0x4207, 200);  // unit 400, still ahead; the IRQ follows 5 units later
    EXPECT_EQ(m->timing.hirq_point, 405);
    write(0x4208, 0x03);  // only bit 0 of the high byte is kept
    EXPECT_EQ(m->sysregs.htime, 0x1C8);
}

TEST_F(SystemRegisters, RewritingNmitimenKeepsAPendingTimerIrqUnlessBits4And5Change) {
    write(0x4209, 100);  // not the current line
    write(0x4200, 0x10);
    m->cpu.irq_sources = kIrqTimer;
    m->sysregs.timeup = 0x80;
    write(0x4200, 0x91);  // NMI and joypad bits change, timer bits do not
    EXPECT_EQ(m->cpu.irq_sources, kIrqTimer);
    EXPECT_EQ(m->sysregs.timeup, 0x80);
    write(0x4200, 0xA1);  // H off, V on
    EXPECT_EQ(m->cpu.irq_sources, 0);
    EXPECT_EQ(m->sysregs.timeup, 0);
}

TEST_F(SystemRegisters, StrobeReloadsOnlyOnARisingEdge) {
    m->input.record[0] = joypad_record(kPadB);
    m->input.present[0] = 0xFFFF;
    write(0x4016, 1);
    EXPECT_EQ(read(0x4016) & 1, 1);  // B is the first bit
    write(0x4016, 1);                // no 0 in between: no reload
    EXPECT_EQ(read(0x4016) & 1, 0);  // Y
    write(0x4016, 0);
    write(0x4016, 1);
    EXPECT_EQ(read(0x4016) & 1, 1);
}

TEST_F(SystemRegisters, SerialPortsShiftOutSixteenBitsThenTheFillBit) {
    m->input.record[0] = joypad_record(kPadSelect | kPadR);
    m->input.present[0] = 0xFFFF;
    m->input.record[1] = 0;
    m->input.present[1] = 0;
    write(0x4016, 1);
    write(0x4016, 0);
    uint16_t bits = 0;
    for (int i = 0; i < 16; i++) bits = uint16_t((bits << 1) | (read(0x4016) & 1));
    EXPECT_EQ(bits, uint16_t((kPadSelect | kPadR) >> 16));
    for (int i = 0; i < 4; i++) EXPECT_EQ(read(0x4016) & 1, 1);  // device present
    // No device on port 2: every read is (open bus & $E0) | $1C.
    for (int i = 0; i < 20; i++) {
        m->mem.open_bus = 0xFF;
        EXPECT_EQ(read(0x4017), 0xE0 | 0x1C);
    }
}

TEST_F(SystemRegisters, StrobeHooksRunBeforeTheShiftRegistersLoad) {
    m->input.present[0] = 0xFFFF;
    m->input.record[0] = 0;
    m->input.strobe_hook[0] = [](Machine& mm, int port) { mm.input.record[port] = joypad_record(kPadB); };
    write(0x4016, 1);
    EXPECT_EQ(read(0x4016) & 1, 1);
}

TEST_F(SystemRegisters, WrioLatchesCountersOnAFallingBit7AndEchoesInRdio) {
    write(0x4201, 0x7F);
    EXPECT_EQ(read(0x4213), 0x7F);
    write(0x4201, 0xFF);
    EXPECT_EQ(read(0x4213), 0xFF);
}

TEST_F(SystemRegisters, HdmaenMidFrameReplacesTheActiveMaskOutsideVblankOnly) {
    m->sysregs.hvbjoy = 0x00;
    write(0x420C, 0x05);
    EXPECT_EQ(m->timing.hdma_active, 0x05);
    m->sysregs.hvbjoy = 0x80;
    write(0x420C, 0x03);
    EXPECT_EQ(m->timing.hdma_active, 0x05);
    EXPECT_EQ(m->sysregs.hdmaen, 0x03);
}

TEST_F(SystemRegisters, MemselSwitchesUpperBanksToFastRom) {
    write(0x420D, 0x01);
    EXPECT_EQ(m->mem.rom_speed[0x80], 0);
    EXPECT_EQ(m->mem.rom_speed[0xFF], 0);
    EXPECT_EQ(m->mem.rom_speed[0x00], 1);
    write(0x420D, 0x00);
    EXPECT_EQ(m->mem.rom_speed[0x80], 1);
}

// Beyond the CPU's 6 master clocks: open bus costs 2 more, and every cycle
// on $4000-$41FF (the joypad ports' page) 6 more.
TEST_F(SystemRegisters, AccessCostsByAddress) {
    struct Case {
        uint16_t addr;
        bool write;
        int32_t units;
    };
    const Case cases[] = {
        {0x4220, false, 1}, {0x4000, false, 3}, {0x41FF, false, 3}, {0x4016, false, 3},
        {0x4017, false, 3}, {0x4016, true, 3},  {0x4100, true, 3},  {0x4214, false, 0},
        {0x4202, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.addr);
        m->mem.open_bus = 0x5A;
        const int32_t before = m->timing.line_clock;
        if (c.write) {
            write(c.addr, 0);
        } else {
            const uint8_t v = read(c.addr);
            if (c.addr == 0x4220 || c.addr == 0x4000) {
                EXPECT_EQ(v, 0x5A);
            }
        }
        EXPECT_EQ(m->timing.line_clock - before, c.units);
    }
}

TEST_F(SystemRegisters, SaveImageRoundTripsAndIsFixedUpOnLoad) {
    write(0x4200, 0x31);
    write(0x4202, 7);
    write(0x4203, 9);
    write(0x4207, 0x23);
    write(0x4208, 0x01);
    write(0x4209, 0x45);
    write(0x420D, 0x01);
    m->sysregs.timeup = 0x80;
    m->sysregs.joy[3] = 0xBEEF;
    uint8_t image[kSystemRegistersSaveSize];
    sysregs_save(*m, image);
    EXPECT_EQ(image[0], 0x31);  // NMITIMEN first
    EXPECT_EQ(image[7], 0x23);  // HTIME low after WRDIVB
    EXPECT_EQ(image[8], 0x01);

    auto other = machine_with_rom("driver_timer");
    image[14] = 0xC7;  // RDNMI with a bogus version: fixed to 2
    image[10] = 0xFF;  // VTIME high: masked to 9 bits
    sysregs_load(*other, image);
    EXPECT_EQ(other->sysregs.nmitimen, 0x31);
    EXPECT_EQ(other->sysregs.rdmpy, 63);
    EXPECT_EQ(other->sysregs.htime, 0x123);
    EXPECT_EQ(other->sysregs.vtime, 0x145);
    EXPECT_EQ(other->sysregs.rdnmi, 0x82);
    EXPECT_EQ(other->cpu.irq_sources, kIrqTimer);
    EXPECT_EQ(other->mem.rom_speed[0x90], 0);
    EXPECT_EQ(other->sysregs.joy[3], 0xBEEF);
}

TEST_F(SystemRegisters, PowerOnKeepsJoypadRegistersAndHvbjoy) {
    m->sysregs.joy[0] = 0x1234;
    m->sysregs.hvbjoy = 0x81;
    m->sysregs.nmitimen = 0x81;
    sysregs_power_on(*m);
    EXPECT_EQ(m->sysregs.joy[0], 0x1234);
    EXPECT_EQ(m->sysregs.hvbjoy, 0x81);
    EXPECT_EQ(m->sysregs.nmitimen, 0);
    EXPECT_EQ(m->sysregs.rdnmi, 0x02);
    EXPECT_EQ(m->sysregs.wrio, 0xFF);
}

}  // namespace
}  // namespace vt::test
