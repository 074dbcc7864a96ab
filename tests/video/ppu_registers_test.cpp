// The $21xx register file: data ports, latches, flip-flops, derived state
// and open bus, driven through the CPU's memory map.
#include <gtest/gtest.h>

#include <string>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/render.h"

namespace vt::test {
namespace {

class PpuRegisters : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;
    Ppu& p = machine->ppu;

    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }
    uint8_t read(uint16_t addr) { return bus_read(m, 0x00, addr); }
    void set_vram_address(uint16_t a) {
        write(0x2116, uint8_t(a));
        write(0x2117, uint8_t(a >> 8));
    }
    uint16_t vram_word(uint16_t a) const { return uint16_t(p.vram_lo[a] | (p.vram_hi[a] << 8)); }
};

TEST_F(PpuRegisters, PowerOnValues) {
    EXPECT_EQ(p.inidisp, 0x80);
    EXPECT_EQ(p.vmain, 0x80);
    EXPECT_EQ(p.m7[0], 0x0100);
    EXPECT_EQ(p.m7[3], 0x0100);
    EXPECT_EQ(p.stat77 & 0x0F, 1);
    EXPECT_EQ(p.stat78 & 0x0F, 3);
    for (int s = 0; s < 128; s++) ASSERT_EQ(p.oam[s * 4 + 1], 0xE0);
    for (int i = 512; i < 544; i++) ASSERT_EQ(p.oam[i], 0x55);
    EXPECT_EQ(m.timing.last_visible_line, 224);
}

// --- VRAM data port

TEST_F(PpuRegisters, IncrementOnHighByteStoresOneWordPerPair) {
    write(0x2115, 0x80);
    set_vram_address(0x1000);
    write(0x2118, 0x34);
    write(0x2119, 0x12);
    EXPECT_EQ(vram_word(0x1000), 0x1234);
    EXPECT_EQ(p.vram_addr, 0x1001);
}

TEST_F(PpuRegisters, IncrementOnLowByteStepsOnlyOnTheLowPort) {
    write(0x2115, 0x00);
    set_vram_address(0x2000);
    write(0x2119, 0xAB);  // no step
    EXPECT_EQ(p.vram_addr, 0x2000);
    write(0x2118, 0xCD);  // steps
    EXPECT_EQ(p.vram_addr, 0x2001);
    EXPECT_EQ(vram_word(0x2000), 0xABCD);
}

TEST_F(PpuRegisters, StepCodesGiveOne32And128) {
    const uint16_t expected_steps[4] = {1, 32, 128, 128};
    for (int code = 0; code < 4; code++) {
        write(0x2115, uint8_t(0x80 | code));
        set_vram_address(0x0100);
        write(0x2119, 0x00);
        EXPECT_EQ(p.vram_addr, 0x0100 + expected_steps[code]) << "step code " << code;
    }
}

TEST_F(PpuRegisters, AddressTranslationAppliesToTheAccessOnly) {
    // 0x1234 rotated: 8-bit 0x1200 + 1 + (0x14 << 3) = 0x12A1;
    // 9-bit 0x1200 + 0 + (0x34 << 3) = 0x13A0; 10-bit 0x1000 + 4 + (0x34 << 3) = 0x11A4.
    const struct {
        uint8_t vmain;
        uint16_t word;
    } cases[] = {{0x84, 0x12A1}, {0x88, 0x13A0}, {0x8C, 0x11A4}};
    for (const auto& c : cases) {
        write(0x2115, c.vmain);
        set_vram_address(0x1234);
        write(0x2118, 0x5A);
        write(0x2119, 0xA5);
        EXPECT_EQ(vram_word(c.word), 0xA55A) << std::hex << int(c.vmain);
        EXPECT_EQ(p.vram_addr, 0x1235);
    }
}

TEST_F(PpuRegisters, AddressIsMaskedTo15Bits) {
    write(0x2115, 0x80);
    set_vram_address(0xC003);
    write(0x2118, 0x11);
    write(0x2119, 0x22);
    EXPECT_EQ(vram_word(0x4003), 0x2211);
}

TEST_F(PpuRegisters, ReadLatchPrefetchesOnEitherAddressByteWrite) {
    p.vram_lo[0x0100] = 0x22;
    p.vram_hi[0x0100] = 0x11;
    p.vram_lo[0x0101] = 0x44;
    p.vram_hi[0x0101] = 0x33;
    p.vram_lo[0x0200] = 0x66;
    p.vram_lo[0x0207] = 0x77;
    write(0x2115, 0x80);
    set_vram_address(0x0100);
    EXPECT_EQ(read(0x2139), 0x22);  // the non-stepping port only returns the latch
    EXPECT_EQ(p.vram_addr, 0x0100);
    EXPECT_EQ(read(0x213A), 0x11);  // returns, then prefetches at 0x100 and steps
    EXPECT_EQ(p.vram_addr, 0x0101);
    EXPECT_EQ(read(0x2139), 0x22);
    EXPECT_EQ(read(0x213A), 0x11);  // prefetches 0x101
    EXPECT_EQ(read(0x2139), 0x44);
    // Each address byte written loads the latch from the new address.
    write(0x2117, 0x02);
    EXPECT_EQ(read(0x2139), 0x00);  // $0202
    write(0x2116, 0x00);
    EXPECT_EQ(read(0x2139), 0x66);
    write(0x2116, 0x07);
    EXPECT_EQ(read(0x2139), 0x77);
    // The prefetch reads through VMAIN's address translation: the 8-bit
    // rotation takes $0220 to $0201.
    p.vram_lo[0x0201] = 0x55;
    write(0x2115, 0x84);
    set_vram_address(0x0220);  // rotates to $0201
    EXPECT_EQ(read(0x2139), 0x55);
}

// VRAM belongs to the PPU while it draws: port writes (by the CPU, a DMA or
// an HDMA) land only in V-blank or forced blank; the address steps anyway.
TEST_F(PpuRegisters, VramWritesLandOnlyInVblankOrForcedBlank) {
    struct Case {
        uint8_t inidisp;
        uint16_t line;
        bool lands;
    };
    const Case cases[] = {
        {0x80, 100, true},   // forced blank
        {0x0F, 100, false},  // drawing
        {0x0F, 0, false},    // line 0 is part of the picture's time
        {0x0F, 224, false},  // the last drawn line
        {0x0F, 225, true},   // V-blank
        {0x0F, 261, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        write(0x2100, 0x80);
        write(0x2115, 0x80);
        set_vram_address(0x0300);
        write(0x2118, 0x00);
        write(0x2119, 0x00);
        set_vram_address(0x0300);
        write(0x2100, c.inidisp);
        m.timing.line = c.line;
        write(0x2118, 0x77);
        write(0x2119, 0x66);
        EXPECT_EQ(vram_word(0x0300), c.lands ? 0x6677 : 0x0000);
        EXPECT_EQ(p.vram_addr, 0x0301);
        m.timing.line = 0;
    }
}

TEST_F(PpuRegisters, VramWriteClearsTheTileCacheBlock) {
    p.tile_state[0x0208 >> 3] = 2;
    p.tile_state[0x0210 >> 3] = 2;
    write(0x2115, 0x80);
    set_vram_address(0x020A);
    write(0x2119, 0x01);
    EXPECT_EQ(p.tile_state[0x0208 >> 3], 0);
    EXPECT_EQ(p.tile_state[0x0210 >> 3], 2);
}

// --- OAM

TEST_F(PpuRegisters, OamLowTableTakesBytePairs) {
    write(0x2102, 0x02);
    write(0x2103, 0x00);  // byte address 4: sprite 1
    p.oam_changed = false;
    write(0x2104, 0x12);
    EXPECT_EQ(p.oam[4], 0x00);  // a single byte waits in the latch
    EXPECT_FALSE(p.oam_changed);
    write(0x2104, 0x34);
    EXPECT_EQ(p.oam[4], 0x12);
    EXPECT_EQ(p.oam[5], 0x34);
    EXPECT_TRUE(p.oam_changed);
}

TEST_F(PpuRegisters, OamHighTableIsWrittenAtOnceAndMirrored) {
    write(0x2102, 0x10);
    write(0x2103, 0x01);  // byte address 0x220, mirrors 0x200
    write(0x2104, 0xAA);
    EXPECT_EQ(p.oam[0x200], 0xAA);
    write(0x2104, 0xBB);
    EXPECT_EQ(p.oam[0x201], 0xBB);
    // Reading back goes through the same mirror.
    write(0x2102, 0xF0);
    write(0x2103, 0x01);  // 0x3E0 -> 0x200
    EXPECT_EQ(read(0x2138), 0xAA);
    EXPECT_EQ(read(0x2138), 0xBB);
}

TEST_F(PpuRegisters, OamPairsRunOnIntoTheHighTable) {
    write(0x2102, 0xFF);
    write(0x2103, 0x00);  // byte address 0x1FE
    for (uint8_t v : {0x01, 0x02, 0x03, 0x04}) write(0x2104, v);
    EXPECT_EQ(p.oam[0x1FE], 0x01);
    EXPECT_EQ(p.oam[0x1FF], 0x02);
    EXPECT_EQ(p.oam[0x200], 0x03);
    EXPECT_EQ(p.oam[0x201], 0x04);
}

TEST_F(PpuRegisters, OamAddressAndPriorityRotation) {
    write(0x2102, 0x10);
    write(0x2103, 0x80);
    EXPECT_EQ(p.oam_addr, 0x0020);
    EXPECT_EQ(p.oam_priority_start, 0x0080);
    // With rotation on, OAMADDL sets only the rotation.
    write(0x2102, 0x21);
    EXPECT_EQ(p.oam_addr, 0x0020);
    EXPECT_EQ(p.oam_priority_start, 0x0108);
    write(0x2103, 0x01);
    EXPECT_EQ(p.oam_priority_start, 0);
    EXPECT_EQ(p.oam_addr, 0x0242);
    // Without rotation OAMADDL alone sets the address, OAMADDH bit 0 unused.
    write(0x2102, 0x05);
    EXPECT_EQ(p.oam_addr, 0x000A);
}

// While the picture is drawn the sprite unit drives OAM's address: range
// evaluation looks at one sprite every two dots from the first of the
// priority rotation, so a write lands in that sprite's entry, at the byte
// the internal address names. The internal address steps as usual.
TEST_F(PpuRegisters, OamWritesWhileDrawingLandInTheSpriteBeingEvaluated) {
    struct Case {
        uint8_t inidisp;
        uint16_t line;
        int32_t clock;
        int sprite;  // where the pair lands
    };
    const Case cases[] = {
        {0x80, 50, 100, 1},   // forced blank: the internal address
        {0x0F, 230, 100, 1},  // V-blank
        {0x0F, 50, 100, 25},  // dot 50: sprite 25
        {0x0F, 50, 8, 2},     // dot 4: sprite 2
        {0x0F, 50, 600, 127}, // H-blank: the last sprite evaluated
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clock);
        p.oam.fill(0);
        write(0x2100, 0x80);
        write(0x2102, 0x02);
        write(0x2103, 0x00);  // byte address 4: sprite 1
        write(0x2100, c.inidisp);
        m.timing.line = c.line;
        m.timing.line_clock = c.clock;
        write(0x2104, 0x12);
        write(0x2104, 0x34);
        EXPECT_EQ(p.oam[c.sprite * 4], 0x12);
        EXPECT_EQ(p.oam[c.sprite * 4 + 1], 0x34);
        EXPECT_EQ(p.oam_addr, 6);
        m.timing.line = 0;
        m.timing.line_clock = 0;
    }
}

TEST_F(PpuRegisters, VblankReloadUsesThePreviousLowAddress) {
    write(0x2103, 0x00);
    write(0x2102, 0x05);
    write(0x2102, 0x00);  // OAMADDL now 0, previously 5
    write(0x2104, 0x11);
    write(0x2104, 0x22);
    ppu_vblank_oam_reload(m);
    EXPECT_EQ(p.oam_addr, 0x0002);  // nothing rendered since the last reload
    p.rendered_since_reload = true;
    ppu_vblank_oam_reload(m);
    EXPECT_EQ(p.oam_addr, 0x000A);
    EXPECT_FALSE(p.rendered_since_reload);
}

// --- CGRAM

TEST_F(PpuRegisters, EachCgramByteUpdatesThePaletteAtOnce) {
    write(0x2121, 0x03);
    write(0x2122, 0xFF);  // red 31, green low bits 7
    EXPECT_EQ(p.cgram[6], 0xFF);
    EXPECT_EQ(colour_red(p.palette[3]), 31);
    EXPECT_EQ(colour_green(p.palette[3]), 7);
    EXPECT_EQ(colour_blue(p.palette[3]), 0);
    write(0x2122, 0x7F);  // blue 31, green high bits 3
    EXPECT_EQ(colour_green(p.palette[3]), 31);
    EXPECT_EQ(colour_blue(p.palette[3]), 31);
    EXPECT_EQ(p.cgram_addr, 8);
}

// From dot 22 to H-blank of a drawn line the PPU reads CGRAM for its
// pixels and a write is lost (the address steps). H-blank, where HDMA
// runs, line 0, V-blank and forced blank are free.
TEST_F(PpuRegisters, CgramWritesLandOutsideThePictureOnly) {
    struct Case {
        uint8_t inidisp;
        uint16_t line;
        int32_t clock;
        bool lands;
    };
    const Case cases[] = {
        {0x0F, 50, 300, false}, {0x0F, 50, 44, false}, {0x0F, 224, 500, false}, {0x0F, 50, 43, true},
        {0x0F, 50, 548, true},  {0x0F, 50, 679, true}, {0x0F, 0, 300, true},    {0x0F, 225, 300, true},
        {0x80, 50, 300, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.line) + " " + std::to_string(c.clock));
        write(0x2100, 0x80);
        write(0x2121, 0x04);
        write(0x2122, 0x00);
        write(0x2122, 0x00);
        write(0x2121, 0x04);
        write(0x2100, c.inidisp);
        m.timing.line = c.line;
        m.timing.line_clock = c.clock;
        write(0x2122, 0x1F);
        write(0x2122, 0x00);
        EXPECT_EQ(p.cgram[8], c.lands ? 0x1F : 0x00);
        EXPECT_EQ(colour_red(p.palette[4]), c.lands ? 31 : 0);
        EXPECT_EQ(p.cgram_addr, 10);
        m.timing.line = 0;
        m.timing.line_clock = 0;
    }
}

TEST_F(PpuRegisters, CgramReadTakesBit7OfOddBytesFromPpu2OpenBus) {
    write(0x2121, 0x00);
    write(0x2122, 0xEE);
    write(0x2122, 0xFF);
    write(0x2121, 0x00);
    p.ppu2_bus = 0x00;
    EXPECT_EQ(read(0x213B), 0xEE);  // now the PPU2 open bus
    EXPECT_EQ(read(0x213B), 0xFF);  // bit 7 from 0xEE
    write(0x2121, 0x00);
    p.ppu2_bus = 0x00;
    read(0x213B);
    p.ppu2_bus = 0x00;
    EXPECT_EQ(read(0x213B), 0x7F);
}

// --- counters

TEST_F(PpuRegisters, CounterLatchSkipsTheRefreshAndWrapsTheLine) {
    m.timing.line = 10;
    m.timing.line_clock = 300;
    ppu_latch_counters(m);
    EXPECT_EQ(p.ophct, 150);
    EXPECT_EQ(p.opvct, 10);
    EXPECT_TRUE(p.stat78 & 0x40);
    // A step that crossed the refresh point before the driver added the
    // refresh's 40 master clocks: the dots ran on through the stall.
    m.timing.point = DriverPoint::Refresh;
    m.timing.line_clock = 275;
    ppu_latch_counters(m);
    EXPECT_EQ(p.ophct, 147);
    m.timing.line_clock = 260;  // before the refresh
    ppu_latch_counters(m);
    EXPECT_EQ(p.ophct, 130);
    m.timing.point = DriverPoint::Hblank;  // the refresh is in the clock
    m.timing.line_clock = 300;
    ppu_latch_counters(m);
    EXPECT_EQ(p.ophct, 150);
    m.timing.line_clock = 690;  // past the line end: line 11, 10 units
    ppu_latch_counters(m);
    EXPECT_EQ(p.ophct, 5);
    EXPECT_EQ(p.opvct, 11);
    m.timing.line = 261;
    ppu_latch_counters(m);
    EXPECT_EQ(p.opvct, 0);
}

TEST_F(PpuRegisters, LightGunPositionIsLatchedAsGiven) {
    ppu_latch_position(m, 0x123, 0x0AB);
    EXPECT_EQ(read(0x213C), 0x23);
    EXPECT_EQ(read(0x213D), 0xAB);
    EXPECT_TRUE(p.stat78 & 0x40);
}

TEST_F(PpuRegisters, CounterReadsToggleTheirOwnFlipFlops) {
    p.ophct = 0x1A5;
    p.opvct = 0x0FE;
    p.ppu2_bus = 0;
    EXPECT_EQ(read(0x213C), 0xA5);
    EXPECT_EQ(read(0x213D), 0xFE);   // the V flip-flop is separate
    EXPECT_EQ(read(0x213C), 0xFF);   // bit 8 = 1, bits 1-7 from the PPU2 bus (0xFE)
    EXPECT_EQ(read(0x213C), 0xA5);   // third read: low byte again
    EXPECT_EQ(read(0x213D), 0xA4);   // bits 1-7 of 0xA5, bit 8 of 0x0FE = 0
}

TEST_F(PpuRegisters, Stat78ReadResetsFlipFlopsWhenTheLatchLineIsHigh) {
    p.ophct = 0x123;
    read(0x213C);  // low byte read; the next would be the high bit
    m.timing.line_clock = 100;
    bus_write(m, 0x00, 0x4201, 0x80);
    read(0x2137);  // latches: WRIO bit 7 is set
    EXPECT_EQ(p.ophct, 50);
    const uint8_t stat78 = read(0x213F);
    EXPECT_TRUE(stat78 & 0x40);
    EXPECT_FALSE(p.stat78 & 0x40);
    EXPECT_EQ(read(0x213C), 50);  // flip-flop was reset: low byte
    // With the latch line low $2137 does nothing.
    bus_write(m, 0x00, 0x4201, 0x00);
    m.timing.line_clock = 400;
    read(0x2137);
    EXPECT_EQ(p.ophct, 50);
}

// --- Mode 7 multiplier and scroll latch

TEST_F(PpuRegisters, ProductOfM7AAndTheLastM7BByte) {
    write(0x211B, 0x34);
    write(0x211B, 0x12);
    write(0x211C, 0x00);
    write(0x211C, 0xFF);
    // 0x1234 x -1 = -0x1234 = 0xFFEDCC in 24 bits.
    EXPECT_EQ(read(0x2134), 0xCC);
    EXPECT_EQ(read(0x2135), 0xED);
    EXPECT_EQ(read(0x2136), 0xFF);
    EXPECT_EQ(p.m7[0], 0x1234);
    EXPECT_EQ(p.m7[1], 0xFF00);
    write(0x211C, 0x02);  // multiplier 2 (M7B is now 0x02FF)
    EXPECT_EQ(read(0x2134), 0x68);
    EXPECT_EQ(read(0x2135), 0x24);
    EXPECT_EQ(read(0x2136), 0x00);
}

TEST_F(PpuRegisters, ScrollRegistersShareOneLatch) {
    write(0x210D, 0x34);
    write(0x210D, 0x12);
    EXPECT_EQ(p.hofs[0], 0x1234);
    write(0x2110, 0x56);  // BG2VOFS: latch still 0x12
    EXPECT_EQ(p.vofs[1], 0x5612);
    EXPECT_EQ(p.m7_hofs, 0x1234);
}

// --- open bus

TEST_F(PpuRegisters, WriteOnlyRegistersReadAsPpu1OpenBus) {
    write(0x2102, 0x00);
    write(0x2103, 0x00);
    p.oam[0] = 0x5C;
    EXPECT_EQ(read(0x2138), 0x5C);
    m.mem.open_bus = 0x00;
    EXPECT_EQ(read(0x2105), 0x5C);
    EXPECT_EQ(m.mem.open_bus, 0x5C);
    m.mem.open_bus = 0x3E;
    EXPECT_EQ(read(0x2100), 0x3E);  // not a PPU1 address: the CPU open bus
    EXPECT_EQ(read(0x2107), 0x3E);
}

// --- derived state

TEST_F(PpuRegisters, RewritingTheSameValueDoesNoDerivedWork) {
    write(0x212E, 0x01);  // TMW: BG1 uses windows
    write(0x2123, 0x02);
    write(0x2126, 0x10);
    write(0x2101, 0x42);
    p.mask_dirty.fill(false);
    p.oam_changed = false;
    write(0x2123, 0x02);
    write(0x2126, 0x10);
    write(0x212E, 0x01);
    write(0x2101, 0x42);
    for (bool dirty : p.mask_dirty) EXPECT_FALSE(dirty);
    EXPECT_FALSE(p.oam_changed);
    write(0x2126, 0x11);
    EXPECT_TRUE(p.mask_dirty[0]);           // BG1 main uses window 1
    EXPECT_FALSE(p.mask_dirty[kSubMasks]);  // TSW clear
    EXPECT_TRUE(p.mask_dirty[kColourWindow]);
}

TEST_F(PpuRegisters, ObjselDerivesNameBaseGapAndSizes) {
    write(0x2101, uint8_t((6 << 5) | (2 << 3) | 3));
    EXPECT_EQ(p.obj_name_base, 6);
    EXPECT_EQ(p.obj_name_gap, 2);
    EXPECT_EQ(p.obj_size_small, 8);
    EXPECT_EQ(p.obj_size_large, 16);
    write(0x2101, 7 << 5);
    EXPECT_EQ(p.obj_size_large, 32);
}

TEST_F(PpuRegisters, ColdataReplacesTheSelectedComponents) {
    write(0x2132, 0x3F);  // red 31
    write(0x2132, 0xC5);  // green and blue 5
    EXPECT_EQ(p.coldata, (5 << 10) | (5 << 5) | 31);
    EXPECT_EQ(colour_red(p.fixed_colour), 31);
    EXPECT_EQ(colour_green(p.fixed_colour), 5);
    EXPECT_EQ(colour_blue(p.fixed_colour), 5);
}

TEST_F(PpuRegisters, SetiniOverscanSetsTheLastVisibleLine) {
    write(0x2133, 0x04);
    EXPECT_EQ(m.timing.last_visible_line, 239);
    write(0x2133, 0x00);
    EXPECT_EQ(m.timing.last_visible_line, 224);
}

TEST_F(PpuRegisters, BgModeInvalidatesEveryRowCacheAndScChangesItsOwn) {
    for (BgLayer& bg : p.bg) bg.row_key = 5;
    write(0x2108, 0x20);
    EXPECT_EQ(p.bg[1].row_key, kRowKeyInvalid);
    EXPECT_EQ(p.bg[0].row_key, 5);
    write(0x2105, 0x01);
    for (const BgLayer& bg : p.bg) EXPECT_EQ(bg.row_key, kRowKeyInvalid);
}

TEST_F(PpuRegisters, ForcedBlankSelectsTheBlankRenderer) {
    write(0x2100, 0x0F);
    EXPECT_EQ(p.line_renderer, &render_line_normal);
    EXPECT_EQ(p.brightness, 15);
    write(0x2100, 0x00);
    EXPECT_EQ(p.line_renderer, &render_line_blank);
    write(0x2100, 0x75);
    EXPECT_EQ(p.line_renderer, &render_line_normal);
    EXPECT_EQ(p.brightness, 5);
    write(0x2100, 0x85);
    EXPECT_EQ(p.line_renderer, &render_line_blank);
}

}  // namespace
}  // namespace vt::test
