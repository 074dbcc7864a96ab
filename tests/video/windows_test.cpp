// Window masks: regions, the one-pixel edge cases, inversion and the four
// logics, and when masks are rebuilt.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/render.h"

namespace vt::test {
namespace {

class WindowMasks : public ::testing::Test {
protected:
    std::unique_ptr<Machine> machine = machine_with_rom("smoke");
    Machine& m = *machine;
    Ppu& p = machine->ppu;

    void SetUp() override {
        write(0x212C, 0x01);  // BG1 on the main screen
        write(0x212E, 0x01);  // through its windows
    }
    void write(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }

    // Pixels the BG1 main mask hides, as a 256-character string of '#'/'.'.
    std::string hidden() {
        rebuild_mask(p, 0);
        std::string s;
        for (int x = 0; x < 256; x++) s += p.masks[0][x] ? '#' : '.';
        return s;
    }
    static std::string span(int from, int to) {
        std::string s(256, '.');
        for (int x = from; x <= to; x++) s[x] = '#';
        return s;
    }
};

TEST_F(WindowMasks, SinglePixelWindows) {
    write(0x2123, 0x02);  // BG1 window 1
    write(0x2126, 10);
    write(0x2127, 10);
    EXPECT_EQ(hidden(), span(10, 10));
    write(0x2126, 3);
    write(0x2127, 3);
    EXPECT_EQ(hidden(), std::string(256, '.'));
    write(0x2126, 248);
    write(0x2127, 248);
    EXPECT_EQ(hidden(), std::string(256, '.'));
    write(0x2123, 0x03);  // inverted with L = R: everything
    EXPECT_EQ(hidden(), std::string(256, '#'));
}

TEST_F(WindowMasks, RegionsAndInversion) {
    write(0x2123, 0x02);
    write(0x2126, 20);
    write(0x2127, 30);
    EXPECT_EQ(hidden(), span(20, 30));
    write(0x2123, 0x03);
    std::string outside = span(0, 19);
    for (int x = 31; x < 256; x++) outside[x] = '#';
    EXPECT_EQ(hidden(), outside);
    write(0x2127, 10);  // right below left: nothing, inverted: everything
    EXPECT_EQ(hidden(), std::string(256, '#'));
    write(0x2123, 0x02);
    EXPECT_EQ(hidden(), std::string(256, '.'));
}

TEST_F(WindowMasks, TwoWindowLogics) {
    write(0x2123, 0x0A);
    write(0x2126, 0);
    write(0x2127, 127);
    write(0x2128, 64);
    write(0x2129, 191);
    write(0x212A, 0x00);
    EXPECT_EQ(hidden(), span(0, 191));  // OR
    write(0x212A, 0x01);
    EXPECT_EQ(hidden(), span(64, 127));  // AND
    write(0x212A, 0x02);
    std::string x = span(0, 63);
    for (int i = 128; i <= 191; i++) x[i] = '#';
    EXPECT_EQ(hidden(), x);  // XOR
    write(0x212A, 0x03);
    std::string xnor = span(64, 127);
    for (int i = 192; i < 256; i++) xnor[i] = '#';
    EXPECT_EQ(hidden(), xnor);  // XNOR
}

TEST_F(WindowMasks, DisabledLayersAreHiddenAndWindowsNeedTmw) {
    write(0x2123, 0x02);
    write(0x2126, 20);
    write(0x2127, 30);
    write(0x212E, 0x00);
    EXPECT_EQ(hidden(), std::string(256, '.'));
    write(0x212C, 0x00);
    EXPECT_EQ(hidden(), std::string(256, '#'));
}

TEST_F(WindowMasks, ColourWindowIgnoresLayerEnables) {
    write(0x212C, 0x00);
    write(0x212E, 0x00);
    write(0x2125, 0x20);  // colour window: window 1
    write(0x2126, 50);
    write(0x2127, 60);
    rebuild_mask(p, kColourWindow);
    for (int x = 0; x < 256; x++) EXPECT_EQ(p.masks[kColourWindow][x] != 0, x >= 50 && x <= 60) << x;
}

TEST_F(WindowMasks, OnlyChangedRegistersMarkTheMasksTheyFeed) {
    p.mask_dirty.fill(false);
    write(0x2124, 0x22);  // W34SEL: BG3/BG4, neither uses windows on a screen
    EXPECT_FALSE(p.mask_dirty[2]);
    write(0x2123, 0x22);  // W12SEL: BG1 uses windows on the main screen
    EXPECT_TRUE(p.mask_dirty[0]);
    EXPECT_FALSE(p.mask_dirty[1]);
    EXPECT_FALSE(p.mask_dirty[kColourWindow]);
    p.mask_dirty.fill(false);
    write(0x212D, 0x10);  // TS: OBJ bit changed
    EXPECT_TRUE(p.mask_dirty[kSubMasks + kLayerObj]);
    EXPECT_FALSE(p.mask_dirty[kLayerObj]);
    write(0x212B, 0x04);  // WOBJLOG: the colour window
    EXPECT_TRUE(p.mask_dirty[kColourWindow]);
}

}  // namespace
}  // namespace vt::test
