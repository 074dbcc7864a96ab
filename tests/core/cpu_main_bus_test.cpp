// The main CPU on the console's memory map: the memory surcharges on top of
// the base costs, and the 16-byte save image.
#include <gtest/gtest.h>

#include <initializer_list>

#include "core/main_cpu.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

// A powered-on machine whose CPU is about to run `code` from work RAM at
// $00:0100, in emulation mode or in native mode with the given status.
class MainCpu : public ::testing::Test {
  protected:
    void SetUp() override { m = machine_with_rom("cpu_addressing"); }

    void code_in_wram(std::initializer_list<uint8_t> code) {
        uint32_t at = 0x0100;
        for (uint8_t b : code) m->mem.wram[at++] = b;
        m->cpu.pbr = 0x00;
        m->cpu.pc = 0x0100;
    }
    void code_in_rom(uint16_t addr, std::initializer_list<uint8_t> code) {
        for (uint8_t b : code) m->cart.rom[addr++] = b;  // slot 0: banks $00 and $80
    }
    void native(uint8_t status) { cpu_set_status(*m, status, 0); }
    int step() {
        int32_t before = m->timing.line_clock;
        cpu_step(*m);
        return int(m->timing.line_clock - before);
    }
    uint16_t rom16(uint16_t addr) const { return uint16_t(m->cart.rom[addr] | (m->cart.rom[addr + 1] << 8)); }

    std::unique_ptr<Machine> m;
};

TEST_F(MainCpu, WorkRamAccessesCostOneUnitEach) {
    code_in_wram({0x8D, 0x00, 0x00});  // STA $0000: 4 cycles, 3 fetches, 1 write
    EXPECT_EQ(step(), 12 + 3 + 1);
    code_in_wram({0xEA});  // NOP
    EXPECT_EQ(step(), 6 + 1);
    code_in_wram({0x48});  // PHA into page 1
    EXPECT_EQ(step(), 9 + 1 + 1);
    code_in_wram({0xAF, 0x00, 0x00, 0x7E});  // LDA $7E0000
    EXPECT_EQ(step(), 15 + 4 + 1);
    native(0x04);  // 16-bit accumulator
    code_in_wram({0x8D, 0x00, 0x00});  // STA $0000, two bytes
    EXPECT_EQ(step(), 15 + 3 + 2);
    code_in_wram({0xEE, 0x10, 0x00});  // INC $0010: two reads, two writes
    EXPECT_EQ(step(), 24 + 3 + 4);
}

TEST_F(MainCpu, IoRegistersAddNothing) {
    code_in_wram({0xAD, 0x14, 0x42});  // LDA $4214
    EXPECT_EQ(step(), 12 + 3);
    code_in_wram({0x8D, 0x02, 0x42});  // STA $4202
    EXPECT_EQ(step(), 12 + 3);
}

TEST_F(MainCpu, RomReadsFollowMemselInBank80Only) {
    auto lda_8000 = [&](uint8_t dbr) {
        m->cpu.dbr = dbr;
        code_in_wram({0xAD, 0x00, 0x80});  // LDA $8000
        return step();
    };
    EXPECT_EQ(lda_8000(0x00), 12 + 3 + 1);
    EXPECT_EQ(lda_8000(0x80), 12 + 3 + 1);
    EXPECT_EQ(m->cpu.a & 0xFF, m->cart.rom[0x8000]);

    code_in_wram({0xA9, 0x01, 0x8D, 0x0D, 0x42});  // LDA #$01, STA $420D
    EXPECT_EQ(step(), 6 + 2);
    EXPECT_EQ(step(), 12 + 3);
    EXPECT_EQ(lda_8000(0x00), 12 + 3 + 1);  // bank $00 stays slow
    EXPECT_EQ(lda_8000(0x80), 12 + 3);      // bank $80 is fast now

    code_in_wram({0x9C, 0x0D, 0x42});  // STZ $420D: slow again
    step();
    EXPECT_EQ(lda_8000(0x80), 12 + 3 + 1);
}

TEST_F(MainCpu, InstructionFetchesFromRomFollowMemsel) {
    code_in_rom(0x9000, {0xEA, 0xAF, 0x00, 0x00, 0x7E});  // NOP; LDA $7E0000
    for (bool fast : {false, true}) {
        SCOPED_TRACE(fast ? "MEMSEL bit 0 set" : "MEMSEL bit 0 clear");
        code_in_wram({0xA9, uint8_t(fast ? 1 : 0), 0x8D, 0x0D, 0x42});
        step();
        step();
        for (uint8_t bank : {0x00, 0x80}) {
            const int fetch = (bank == 0x80 && fast) ? 0 : 1;
            m->cpu.pbr = bank;
            m->cpu.pc = 0x9000;
            EXPECT_EQ(step(), 6 + fetch) << "bank " << int(bank);
            EXPECT_EQ(step(), 15 + 4 * fetch + 1) << "bank " << int(bank);
        }
    }
}

TEST_F(MainCpu, InterruptEntryAddsThePushAndVectorSurcharges) {
    code_in_wram({0xEA, 0xEA});
    cpu_raise_nmi(*m);
    step();
    // Emulation: 7 cycles, three pushes to work RAM, two vector bytes from slow ROM.
    EXPECT_EQ(step(), 21 + 3 + 2);
    EXPECT_EQ(m->cpu.pc, rom16(0xFFFA));

    native(0x04);
    code_in_wram({0xEA, 0xEA});
    cpu_raise_nmi(*m);
    step();
    EXPECT_EQ(step(), 24 + 4 + 2);
    EXPECT_EQ(m->cpu.pc, rom16(0xFFEA));
}

TEST_F(MainCpu, PowerOnChargesNothingAndResetEightCycles) {
    m->timing.line_clock = 100;
    cpu_power_on(*m);
    EXPECT_EQ(m->timing.line_clock, 100);
    EXPECT_EQ(m->cpu.pc, rom16(0xFFFC));
    cpu_reset(*m);
    EXPECT_EQ(m->timing.line_clock, 100 + 24 + 2);  // plus the vector bytes from slow ROM
    EXPECT_EQ(m->cpu.pc, rom16(0xFFFC));
}

// --- save image

TEST_F(MainCpu, SaveImageLayout) {
    CpuRegs& c = m->cpu;
    cpu_set_status(*m, 0x9B, 0);  // N, X, D, Z, C; M and I clear
    c.a = 0x1234;
    c.x = 0x0078;
    c.y = 0x009A;
    c.d = 0xDEF0;
    c.s = 0x1FF0;
    c.pc = 0x8123;
    c.pbr = 0x05;
    c.dbr = 0x7E;
    uint8_t image[kCpuImageSize];
    cpu_save_image(*m, image);
    const uint8_t want[kCpuImageSize] = {0x34, 0x12, 0x78, 0x00, 0x9A, 0x00, 0xF0, 0xDE,
                                         0xF0, 0x1F, 0x23, 0x81, 0x05, 0x7E, 0x9B, 0x00};
    for (int i = 0; i < kCpuImageSize; i++) EXPECT_EQ(image[i], want[i]) << "byte " << i;
}

TEST_F(MainCpu, LoadImageRederivesWidthsMaskAndDispatch) {
    // Native, M = 0, X = 1, I clear; PC at work RAM $0100.
    const uint8_t image[kCpuImageSize] = {0x34, 0x12, 0x78, 0x56, 0xBC, 0x9A, 0x00, 0x00,
                                          0xF0, 0x1F, 0x00, 0x01, 0x00, 0x00, 0x13, 0x00};
    code_in_wram({0xA9, 0xCD, 0xAB, 0xA2, 0x11, 0xEA});  // LDA #$ABCD, LDX #$11, NOP
    m->cpu.irq_sources = 0;
    cpu_load_image(*m, image);
    const CpuRegs& c = m->cpu;
    EXPECT_EQ(c.a, 0x1234);
    EXPECT_EQ(c.x, 0x0078);  // X = 1 drops the high bytes
    EXPECT_EQ(c.y, 0x00BC);
    EXPECT_EQ(c.s, 0x1FF0);
    EXPECT_EQ(c.pc, 0x0100);
    EXPECT_EQ(c.e, 0);
    EXPECT_EQ(cpu_get_status(*m), 0x13);
    EXPECT_EQ(c.irq_mask, 3);
    step();
    EXPECT_EQ(c.a, 0xABCD);  // 16-bit accumulator
    step();
    EXPECT_EQ(c.x, 0x0011);  // 8-bit index
    EXPECT_EQ(c.pc, 0x0105);

    uint8_t saved[kCpuImageSize];
    cpu_save_image(*m, saved);
    auto other = machine_with_rom("cpu_addressing");
    cpu_load_image(*other, saved);
    uint8_t again[kCpuImageSize];
    cpu_save_image(*other, again);
    for (int i = 0; i < kCpuImageSize; i++) EXPECT_EQ(again[i], saved[i]) << "byte " << i;
}

TEST_F(MainCpu, LoadImageArmsTheInterruptCheck) {
    const uint8_t image[kCpuImageSize] = {0, 0, 0, 0, 0, 0, 0, 0, 0xF0, 0x1F, 0x00, 0x01, 0x00, 0x00, 0x30, 0x00};
    code_in_wram({0xEA, 0xEA, 0xEA});
    m->cpu.irq_sources = kIrqTimer;  // a source left set by the loaded system registers
    cpu_load_image(*m, image);
    step();  // one more instruction
    step();
    EXPECT_EQ(m->cpu.pbr, 0x00);
    EXPECT_EQ(m->cpu.pc, rom16(0xFFEE));
}

TEST_F(MainCpu, LoadImageInEmulationModeAndDuringWai) {
    code_in_wram({0xCB});  // WAI
    step();
    ASSERT_EQ(m->cpu.waiting, 1);
    // Emulation mode, break flag and I set, X high byte in the image.
    const uint8_t image[kCpuImageSize] = {0x34, 0x12, 0x78, 0x56, 0, 0, 0, 0, 0xF0, 0x01, 0x10, 0x01, 0x00, 0x00, 0x34, 0x01};
    m->mem.wram[0x0110] = 0xA9;  // LDA #$EE, NOP
    m->mem.wram[0x0111] = 0xEE;
    m->mem.wram[0x0112] = 0xEA;
    cpu_load_image(*m, image);
    EXPECT_EQ(m->cpu.waiting, 0);
    EXPECT_EQ(m->cpu.x, 0x0078);
    EXPECT_EQ(m->cpu.irq_mask, 0);
    EXPECT_EQ(cpu_get_status(*m), 0x34);
    step();
    EXPECT_EQ(m->cpu.a, 0x12EE);  // 8-bit accumulator
    EXPECT_EQ(m->cpu.pc, 0x0112);
}

}  // namespace
}  // namespace vt::test
