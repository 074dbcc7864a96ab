// Each mapper's banking, mirroring and PRG RAM through CPU writes, and the
// scanline IRQs of mappers 4 and 64 through whole frames.
#include <gtest/gtest.h>

#include "core/driver.h"
#include "nes/nes_side.h"
#include "nes_image_builder.h"
#include "support/test_rom.h"

namespace vt {
namespace {

using test::NesRig;
using test::nes_image;

// The four 8 KiB PRG windows as bank numbers.
std::array<int, 4> prg_windows(const NesRig& r) {
    return {r.prg_bank(0x8000), r.prg_bank(0xA000), r.prg_bank(0xC000), r.prg_bank(0xE000)};
}
std::array<int, 8> chr_windows(const NesRig& r) {
    std::array<int, 8> w{};
    for (int i = 0; i < 8; i++) w[size_t(i)] = r.chr_bank(i);
    return w;
}

TEST(NesMappers, NromMirrorsA16KiBImage) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(0, 1, 1)));
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{0, 1, 0, 1}));
    EXPECT_EQ(chr_windows(r), (std::array<int, 8>{0, 1, 2, 3, 4, 5, 6, 7}));
    r.write(0x8000, 3);  // no register: nothing changes
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{0, 1, 0, 1}));
}

TEST(NesMappers, UxromSwitchesTheFirst16KiB) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(2, 8, 0)));
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{0, 1, 14, 15}));
    r.write(0x8000, 3);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{6, 7, 14, 15}));
    r.write(0xFFFF, 9);  // wraps at the 8 banks
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{2, 3, 14, 15}));
    // CHR RAM is writable through the picture unit's pages.
    EXPECT_TRUE(r.m->nes.ppu.chr_writable);
}

TEST(NesMappers, CnromSwitchesChr) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(3, 2, 4)));
    r.write(0x8000, 2);
    EXPECT_EQ(chr_windows(r), (std::array<int, 8>{16, 17, 18, 19, 20, 21, 22, 23}));
    EXPECT_FALSE(r.m->nes.ppu.chr_writable);
}

TEST(NesMappers, AxromSwitches32KiBAndOneScreen) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(7, 16, 0)));
    r.write(0x8000, 0x13);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{12, 13, 14, 15}));
    EXPECT_EQ(r.m->nes.mapper_state.mirroring, NesMirroring::SingleUpper);
    const auto& nt = r.m->nes.ppu.nametable_page;
    EXPECT_EQ(nt[0], nt[3]);
    EXPECT_EQ(nt[0], r.m->nes.ppu.ciram.data() + 0x400);
    r.write(0x8000, 0x01);
    EXPECT_EQ(r.m->nes.ppu.nametable_page[2], r.m->nes.ppu.ciram.data());
}

TEST(NesMappers, ColorDreamsAndGxromLatches) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(11, 8, 4)));
    r.write(0x8000, 0x21);  // PRG 1, CHR 2
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{4, 5, 6, 7}));
    EXPECT_EQ(r.chr_bank(0), 16);
    NesRig g;
    ASSERT_TRUE(g.load(nes_image(66, 8, 4)));
    g.write(0x8000, 0x12);  // PRG 1, CHR 2
    EXPECT_EQ(prg_windows(g), (std::array<int, 4>{4, 5, 6, 7}));
    EXPECT_EQ(g.chr_bank(7), 23);
}

TEST(NesMappers, Mmc1SerialRegistersAndModes) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(1, 16, 16)));
    // Power-on: mode 3, the last 16 KiB fixed at $C000.
    EXPECT_EQ(prg_windows(r)[2], 30);
    EXPECT_EQ(prg_windows(r)[3], 31);
    r.mmc1(0xE000, 5);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{10, 11, 30, 31}));
    // Control: 4 KiB CHR, vertical mirroring, PRG mode 2 (first bank fixed at $8000).
    r.mmc1(0x8000, 0x1A);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{0, 1, 10, 11}));
    EXPECT_EQ(r.m->nes.mapper_state.mirroring, NesMirroring::Vertical);
    r.mmc1(0xA000, 3);
    r.mmc1(0xC000, 5);
    EXPECT_EQ(r.chr_bank(0), 12);
    EXPECT_EQ(r.chr_bank(4), 20);
    // 8 KiB CHR mode ignores the low bit; 32 KiB PRG mode ignores the low bit.
    r.mmc1(0x8000, 0x03);
    EXPECT_EQ(r.chr_bank(0), 8);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{8, 9, 10, 11}));
    EXPECT_EQ(r.m->nes.mapper_state.mirroring, NesMirroring::Horizontal);
    // A write with bit 7 resets the shift register and sets PRG mode 3.
    r.write(0xE000, 1);
    r.write(0xE000, 0x80);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{10, 11, 30, 31}));
    // Bit 4 of the PRG register disables PRG RAM.
    r.write(0x6000, 0x42);
    EXPECT_EQ(nes_peek(r.m->nes, 0x6000), 0x42);
    r.mmc1(0xE000, 0x15);
    r.write(0x6000, 0x17);
    r.mmc1(0xE000, 0x05);
    EXPECT_EQ(nes_peek(r.m->nes, 0x6000), 0x42);
}

TEST(NesMappers, Mmc1IgnoresTheSecondWriteOfAReadModifyWrite) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(1, 16, 0)));
    r.m->nes.cycles += 2;
    nes_write(r.m->nes, 0xE000, 1);
    nes_write(r.m->nes, 0xE000, 1);  // the very next cycle: ignored
    EXPECT_EQ(r.m->nes.mapper_state.shift_count, 1);
}

TEST(NesMappers, Mmc3BanksAndMirroring) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(4, 16, 32)));
    r.write(0x8000, 6);
    r.write(0x8001, 5);
    r.write(0x8000, 7);
    r.write(0x8001, 9);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{5, 9, 30, 31}));
    r.write(0x8000, 0x46);  // PRG mode 1: R6 at $C000, second-last at $8000
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{30, 9, 5, 31}));
    r.write(0x8000, 0);
    r.write(0x8001, 8);
    r.write(0x8000, 2);
    r.write(0x8001, 40);
    EXPECT_EQ(r.chr_bank(0), 8);
    EXPECT_EQ(r.chr_bank(1), 9);
    EXPECT_EQ(r.chr_bank(4), 40);
    r.write(0x8000, 0x80);  // CHR inversion
    EXPECT_EQ(r.chr_bank(4), 8);
    EXPECT_EQ(r.chr_bank(5), 9);
    EXPECT_EQ(r.chr_bank(0), 40);
    r.write(0xA000, 1);
    EXPECT_EQ(r.m->nes.mapper_state.mirroring, NesMirroring::Horizontal);
    r.write(0xA000, 0);
    EXPECT_EQ(r.m->nes.mapper_state.mirroring, NesMirroring::Vertical);
    // PRG RAM write protection.
    r.write(0x6000, 0x11);
    r.write(0xA001, 0xC0);
    r.write(0x6000, 0x22);
    EXPECT_EQ(nes_peek(r.m->nes, 0x6000), 0x11);
}

TEST(NesMappers, Tc0190Banks) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(33, 8, 16)));
    r.write(0x8000, 0x45);
    r.write(0x8001, 7);
    EXPECT_EQ(prg_windows(r), (std::array<int, 4>{5, 7, 14, 15}));
    EXPECT_EQ(r.m->nes.mapper_state.mirroring, NesMirroring::Horizontal);
    r.write(0x8002, 3);
    r.write(0xA001, 11);
    EXPECT_EQ(r.chr_bank(0), 6);
    EXPECT_EQ(r.chr_bank(1), 7);
    EXPECT_EQ(r.chr_bank(5), 11);
}

TEST(NesMappers, Rambo1OneKiBChrAndThirdPrgBank) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(64, 16, 32)));
    r.write(0x8000, 0x20);
    r.write(0x8001, 10);
    r.write(0x8000, 0x28);
    r.write(0x8001, 33);
    r.write(0x8000, 0x2F);
    r.write(0x8001, 12);
    EXPECT_EQ(r.chr_bank(0), 10);
    EXPECT_EQ(r.chr_bank(1), 33);
    EXPECT_EQ(prg_windows(r)[2], 12);
    EXPECT_EQ(prg_windows(r)[3], 31);
}

// The line at whose dot 260 the mapper raises its IRQ after a reload in
// V-blank with rendering on, or -1.
int irq_line_after_reload(uint16_t mapper, uint8_t latch) {
    NesRig r;
    EXPECT_TRUE(r.load(nes_image(mapper, 16, 32)));
    test::run_frames(*r.m, 2);
    // Now at the start of a frame: run to V-blank.
    while (r.m->nes.line != 245) run_line(*r.m);
    r.write(0x2001, 0x18);
    r.write(0xC000, latch);
    r.write(0xC001, 0);
    r.write(0xE001, 0);
    for (int i = 0; i < 262 * 2; i++) {
        run_line(*r.m);
        if (r.m->nes.mapper_state.irq_line) {
            const int line = int(r.m->nes.line) - 1;  // the line that just ended
            return line < 0 ? 261 : line;
        }
    }
    return -1;
}

TEST(NesMappers, ScanlineIrqs) {
    // MMC3: reloaded on the pre-render line, zero after `latch` more lines.
    EXPECT_EQ(irq_line_after_reload(4, 20), 19);
    EXPECT_EQ(irq_line_after_reload(4, 100), 99);
    // RAMBO-1: one line later for the same latch.
    EXPECT_EQ(irq_line_after_reload(64, 20), 20);
}

TEST(NesMappers, Mmc3IrqAcknowledgeAndDisable) {
    NesRig r;
    ASSERT_TRUE(r.load(nes_image(4, 16, 32)));
    NesMapperState& st = r.m->nes.mapper_state;
    st.irq_line = true;
    r.write(0xE000, 0);
    EXPECT_FALSE(st.irq_line);
    EXPECT_FALSE(st.irq_enabled);
}

}  // namespace
}  // namespace vt

namespace vt {
namespace {

TEST(NesMapperImages, Mmc3IrqsReachTheCpuFourTimesAFrame) {
    auto m = test::machine_with_nes_rom("mmc3_irq");
    test::run_frames(*m, 12);
    const auto& ram = m->nes.ram;
    ASSERT_EQ(ram[0x300], 0xA5);
    EXPECT_EQ(ram[0x301], 1);  // R6 put bank 1 at $8000
    EXPECT_EQ(ram[0x302], 0);
    // Frames after the first full one: after lines 49, 100, 151 and 202.
    for (int f = 2; f < 8; f++) EXPECT_EQ(ram[0x400 + f], 4) << "frame " << f;
}

}  // namespace
}  // namespace vt
