// The picture unit's registers: the write toggle and the t/v/x scroll
// model, the $2007 read buffer, palette mirrors, nametable mirroring
// through the mapper's pages, OAM access, the V-blank flag and NMI.
#include <gtest/gtest.h>

#include "nes/nes_ppu_test_support.h"

namespace vt::test {
namespace {

TEST(NesPpuRegisters, ScrollWritesFillTAndFineX) {
    struct Case {
        const char* name;
        std::vector<std::pair<uint16_t, uint8_t>> writes;
        uint16_t t, v;
        uint8_t fine_x;
        bool toggle;
    };
    // t: fine y in bits 12-14, nametable 10-11, coarse y 5-9, coarse x 0-4.
    const Case cases[] = {
        {"nametable bits from $2000", {{0x2000, 0x03}}, 0x0C00, 0, 0, false},
        {"first $2005 write: coarse and fine x", {{0x2005, 0x7D}}, 0x000F, 0, 5, true},
        {"second $2005 write: coarse and fine y", {{0x2005, 0x7D}, {0x2005, 0x5E}}, 0x616F, 0, 5, false},
        {"$2005 keeps the nametable bits", {{0x2000, 0x02}, {0x2005, 0xFF}, {0x2005, 0xFF}}, 0x7BFF, 0, 7, false},
        {"first $2006 write: high byte, bit 14 cleared", {{0x2006, 0x7D}}, 0x3D00, 0, 0, true},
        {"second $2006 write: low byte, copied to v", {{0x2006, 0x3D}, {0x2006, 0xF0}}, 0x3DF0, 0x3DF0, 0, false},
        {"$2005 then $2006 share one toggle", {{0x2005, 0x08}, {0x2006, 0x21}}, 0x0021, 0x0021, 0, false},
        {"$2006 high byte replaces fine y", {{0x2005, 0x00}, {0x2005, 0x07}, {0x2006, 0x00}, {0x2006, 0x00}}, 0x0000, 0x0000, 0, false},
    };
    for (const Case& c : cases) {
        NesPpuRig rig;
        for (auto [address, value] : c.writes) rig.write(address, value);
        EXPECT_EQ(rig.p.t, c.t) << c.name;
        EXPECT_EQ(rig.p.v, c.v) << c.name;
        EXPECT_EQ(rig.p.fine_x, c.fine_x) << c.name;
        EXPECT_EQ(rig.p.write_toggle, c.toggle) << c.name;
    }
}

TEST(NesPpuRegisters, StatusReadResetsTheToggle) {
    NesPpuRig rig;
    rig.write(0x2006, 0x12);  // a stray first write
    rig.read(0x2002);
    rig.write(0x2006, 0x23);
    rig.write(0x2006, 0x45);
    EXPECT_EQ(rig.p.v, 0x2345);
}

TEST(NesPpuRegisters, DataReadsGoThroughTheBuffer) {
    NesPpuRig rig;
    rig.set_address(0x2100);
    for (uint8_t b : {0x11, 0x22, 0x33}) rig.write(0x2007, b);
    rig.p.ciram[0x700] = 0x99;  // $2F00: the fourth table is the second 1 KiB with vertical mirroring
    rig.set_address(0x2100);
    EXPECT_EQ(rig.read(0x2007), 0x00);  // the stale buffer
    EXPECT_EQ(rig.read(0x2007), 0x11);
    EXPECT_EQ(rig.read(0x2007), 0x22);
    // Palette reads answer at once and fill the buffer from the nametable
    // byte underneath ($3F00 -> $2F00).
    rig.set_address(0x3F00);
    rig.write(0x2007, 0x2A);
    rig.set_address(0x3F00);
    EXPECT_EQ(rig.read(0x2007) & 0x3F, 0x2A);
    EXPECT_EQ(rig.p.read_buffer, 0x99);
    // Pattern memory through the buffer too.
    rig.chr[0x1234] = 0x5A;
    rig.set_address(0x1234);
    rig.read(0x2007);
    EXPECT_EQ(rig.read(0x2007), 0x5A);
}

TEST(NesPpuRegisters, AddressStepsByOneOr32) {
    NesPpuRig rig;
    rig.set_address(0x2000);
    rig.write(0x2007, 1);
    EXPECT_EQ(rig.p.v, 0x2001);
    rig.write(0x2000, 0x04);
    rig.write(0x2007, 2);
    EXPECT_EQ(rig.p.v, 0x2021);
    EXPECT_EQ(rig.p.ciram[0x000], 1);
    EXPECT_EQ(rig.p.ciram[0x001], 2);
}

TEST(NesPpuRegisters, PaletteMirrors) {
    struct Case {
        uint16_t written, read;
        bool same;
    };
    const Case cases[] = {
        {0x3F10, 0x3F00, true}, {0x3F00, 0x3F10, true}, {0x3F14, 0x3F04, true}, {0x3F08, 0x3F18, true},
        {0x3F1C, 0x3F0C, true}, {0x3F11, 0x3F01, false}, {0x3F05, 0x3F15, false}, {0x3F03, 0x3F23, true},
        {0x3F1F, 0x3FFF, true},
    };
    for (const Case& c : cases) {
        NesPpuRig rig;
        rig.set_address(c.read);
        rig.write(0x2007, 0x00);
        rig.set_address(c.written);
        rig.write(0x2007, 0x2C);
        rig.set_address(c.read);
        EXPECT_EQ((rig.read(0x2007) & 0x3F) == 0x2C, c.same) << std::hex << c.written << " " << c.read;
    }
}

TEST(NesPpuRegisters, NametablesFollowTheMappersPages) {
    NesPpuRig rig;
    rig.mirror_horizontal();
    rig.set_address(0x2400);
    rig.write(0x2007, 0x77);  // the same cells as $2000
    rig.set_address(0x2800);
    rig.write(0x2007, 0x88);  // the second table
    rig.set_address(0x3000);  // $3000-$3EFF mirror $2000-$2EFF
    rig.read(0x2007);
    EXPECT_EQ(rig.read(0x2007), 0x77);
    EXPECT_EQ(rig.p.ciram[0x000], 0x77);
    EXPECT_EQ(rig.p.ciram[0x400], 0x88);
    rig.mirror_vertical();
    rig.set_address(0x2800);
    rig.read(0x2007);
    EXPECT_EQ(rig.read(0x2007), 0x77);
}

TEST(NesPpuRegisters, PatternWritesNeedChrRam) {
    NesPpuRig rig;
    rig.set_address(0x0010);
    rig.write(0x2007, 0xAB);
    EXPECT_EQ(rig.chr[0x10], 0);
    rig.p.chr_writable = true;
    rig.set_address(0x1FFF);
    rig.write(0x2007, 0xCD);
    EXPECT_EQ(rig.chr[0x1FFF], 0xCD);
}

TEST(NesPpuRegisters, OamAddressAndDma) {
    NesPpuRig rig;
    rig.write(0x2003, 0xFE);
    for (uint8_t b : {0x10, 0x20, 0xFF, 0x40}) rig.write(0x2004, b);
    EXPECT_EQ(rig.p.oam[0xFE], 0x00);  // an attribute byte: bits 2-4 do not exist
    EXPECT_EQ(rig.p.oam[0xFF], 0x20);
    EXPECT_EQ(rig.p.oam[0x00], 0xFF);
    EXPECT_EQ(rig.p.oam[0x01], 0x40);
    EXPECT_EQ(rig.p.oam_address, 0x02);
    rig.write(0x2003, 0x01);
    EXPECT_EQ(rig.read(0x2004), 0x40);
    EXPECT_EQ(rig.p.oam_address, 0x01);  // reads do not step the address
    uint8_t page[256];
    for (int i = 0; i < 256; i++) page[i] = uint8_t(i);
    rig.write(0x2003, 0x04);
    nes_ppu_oam_dma(rig.p, page);
    EXPECT_EQ(rig.p.oam[0x04], 0x00);
    EXPECT_EQ(rig.p.oam[0x03], 0xFF);  // the copy wraps around OAM
    EXPECT_EQ(rig.p.oam[0x06], 0x02 & 0xE3);
    EXPECT_EQ(rig.p.oam[0x0A], 0x06 & 0xE3);
}

TEST(NesPpuRegisters, VblankFlagAndNmi) {
    NesPpuRig rig;
    rig.run_lines(0, 240);
    EXPECT_FALSE(rig.read(0x2002) & 0x80);
    rig.run_lines(241, 241);
    EXPECT_FALSE(nes_ppu_nmi_line(rig.p));  // NMI disabled
    rig.write(0x2000, 0x80, 100);
    EXPECT_TRUE(nes_ppu_nmi_line(rig.p));  // enabling it during V-blank raises the line
    EXPECT_EQ(rig.read(0x2002, 110) & 0x80, 0x80);
    EXPECT_FALSE(nes_ppu_nmi_line(rig.p));
    EXPECT_EQ(rig.read(0x2002, 120) & 0x80, 0);
    rig.run_lines(242, 260);
    EXPECT_EQ(rig.read(0x2002) & 0x80, 0);

    // Flags stay until the pre-render line clears them.
    rig.p.status = 0xE0;
    rig.run_lines(261, 261);
    EXPECT_EQ(rig.p.status & 0xE0, 0);
}

TEST(NesPpuRegisters, StatusReadAtTheRiseSuppressesTheFlagOrTheNmi) {
    struct Case {
        uint16_t dot;
        uint8_t seen;
    };
    // One dot before the rise: seen clear, and it does not rise this frame.
    // On the rise or after: seen set, cleared before the NMI is taken.
    for (Case c : {Case{0, 0x00}, Case{1, 0x80}, Case{2, 0x80}}) {
        NesPpuRig rig;
        rig.write(0x2000, 0x80);
        rig.run_lines(240, 241);
        EXPECT_EQ(rig.read(0x2002, c.dot) & 0x80, c.seen) << c.dot;
        EXPECT_FALSE(nes_ppu_nmi_line(rig.p)) << c.dot;
        EXPECT_TRUE(nes_ppu_nmi_suppressed(rig.p)) << c.dot;
        EXPECT_EQ(rig.read(0x2002, 50) & 0x80, 0) << c.dot;
        rig.run_lines(242, 261);
        EXPECT_FALSE(nes_ppu_nmi_suppressed(rig.p));
    }
    // Three dots after the rise the read is an ordinary one.
    NesPpuRig rig;
    rig.write(0x2000, 0x80);
    rig.run_lines(240, 241);
    EXPECT_EQ(rig.read(0x2002, 3) & 0x80, 0x80);
    EXPECT_FALSE(nes_ppu_nmi_suppressed(rig.p));
}

TEST(NesPpuRegisters, WriteOnlyRegistersReadTheLatch) {
    NesPpuRig rig;
    rig.write(0x2001, 0x5A);
    EXPECT_EQ(rig.read(0x2000), 0x5A);
    EXPECT_EQ(rig.read(0x2005), 0x5A);
    rig.p.status = 0x80;
    EXPECT_EQ(rig.read(0x2002), 0x80 | 0x1A);  // low bits from the latch
    EXPECT_EQ(nes_ppu_peek(rig.p, 0x2002), 0x1A);  // peeking changes nothing...
    EXPECT_EQ(nes_ppu_peek(rig.p, 0x2002), 0x1A);
}

TEST(NesPpuRegisters, OddFramesSkipADotWhileRendering) {
    NesPpuRig rig;
    int lengths[4];
    for (int frame = 0; frame < 4; frame++) {
        rig.run_lines(261, 261);
        lengths[frame] = nes_ppu_line_dots(rig.p, 261);
        rig.run_lines(0, 260);
    }
    EXPECT_EQ(lengths[0] + lengths[1], 682);  // rendering off: never short
    EXPECT_EQ(lengths[0], 341);
    rig.write(0x2001, 0x08);
    for (int frame = 0; frame < 4; frame++) {
        rig.run_lines(261, 261);
        lengths[frame] = nes_ppu_line_dots(rig.p, 261);
        rig.run_lines(0, 260);
    }
    EXPECT_EQ(lengths[0] + lengths[1], 681);
    EXPECT_EQ(lengths[0], lengths[2]);
    EXPECT_EQ(lengths[1], lengths[3]);
    EXPECT_EQ(nes_ppu_line_dots(rig.p, 100), 341);
}

}  // namespace
}  // namespace vt::test
