// Picture unit test images run through the whole NES side: the pixels of
// a screen split by a sprite-zero hit and by a $2006 write, and what the
// image read back through $2007.
#include <gtest/gtest.h>

#include "nes/nes_palette.h"
#include "nes/nes_side.h"
#include "support/test_rom.h"
#include "video/ppu.h"

namespace vt {
namespace {

NesColour pixel(const Machine& m, int x, int line) {
    const int row = line < 239 ? 2 * line : 2 * line - 1;
    const uint8_t* p = &m.ppu.picture[size_t(row) * kPictureStride + size_t(x) * 6];
    return NesColour(p[0]) | NesColour(p[1]) << 8 | NesColour(p[2]) << 16;
}
NesColour colour(int number) { return nes_colour_table().colour[0][number]; }

// The image's colours: nametable 0 rows alternate red (even) and blue
// (odd) down to row 14, then green; nametable 1 is yellow; the backdrop
// ($3F00, written through $3F10) light blue.
constexpr int kRed = 0x16, kGreen = 0x1A, kBlue = 0x12, kYellow = 0x28, kBackdrop = 0x21;

TEST(NesPpuImages, SpriteZeroAndAddressSplits) {
    auto m = test::machine_with_nes_rom("ppu_split");
    test::run_frames(*m, 5);
    const auto& ram = m->nes.ram;
    ASSERT_EQ(ram[0x300], 0x5A) << "the image did not finish its set-up";
    EXPECT_GE(ram[0x01], 2) << "frames split";  // frames_done
    EXPECT_EQ(ram[0x310], 0x2C);  // $3F14 written, $3F04 read at once
    EXPECT_EQ(ram[0x311], 0x11);  // the buffer's one-read delay
    EXPECT_EQ(ram[0x312], 0x22);

    struct Point {
        int x, line, colour;
        const char* what;
    };
    const Point points[] = {
        {3, 40, kBackdrop, "clipped left column"},
        {8, 40, kBlue, "row 5"},
        {200, 40, kBlue, "row 5, unscrolled"},
        {20, 80, kRed, "sprite 0 behind the background"},
        {200, 80, kRed, "the hit line itself is not split"},
        {100, 81, kRed, "scrolled by 128: nametable 0's right half"},
        {200, 81, kYellow, "scrolled by 128: nametable 1"},
        {8, 100, kRed, "row 12"},
        {200, 100, kYellow, ""},
        {8, 130, kGreen, "row 16"},
        {255, 130, kYellow, ""},
    };
    for (const Point& p : points)
        EXPECT_EQ(pixel(*m, p.x, p.line), colour(p.colour)) << p.x << "," << p.line << " " << p.what;

    // The $2006 write lands about 80 lines after the hit: from the next
    // line on the screen shows row 5 again (blue for up to 8 lines, then
    // the red row 6), unscrolled.
    int split = -1;
    for (int line = 131; line < 220 && split < 0; line++)
        if (pixel(*m, 8, line) != colour(kGreen)) split = line;
    ASSERT_GE(split, 150);
    ASSERT_LE(split, 175);
    for (int line = split; line <= split + 6; line++) {
        EXPECT_EQ(pixel(*m, 8, line), colour(kBlue)) << line;
        EXPECT_EQ(pixel(*m, 200, line), colour(kBlue)) << line;
    }
    EXPECT_EQ(pixel(*m, 8, split + 8), colour(kRed));
    EXPECT_EQ(pixel(*m, 200, split + 14), colour(kRed));
    EXPECT_EQ(pixel(*m, 8, split + 16), colour(kBlue));
    EXPECT_EQ(pixel(*m, 3, split), colour(kBackdrop));
}

TEST(NesPpuImages, TallSpritesPriorityLimitAndClipping) {
    auto m = test::machine_with_nes_rom("ppu_sprites");
    test::run_frames(*m, 4);
    ASSERT_EQ(m->nes.ram[0x300], 0x5A) << "the image did not finish its set-up";
    EXPECT_EQ(m->nes.ram[0x320], 0x20) << "overflow flag seen in V-blank";
    // Sprite palette 0: white, orange; palette 1: cyan ($1C), blue ($11).
    constexpr int kWhite = 0x30, kOrange = 0x27, kCyan = 0x1C, kDeepBlue = 0x11, kBlack = 0x0F;
    struct Point {
        int x, line, colour;
        const char* what;
    };
    const Point points[] = {
        {40, 49, kBlack, "above sprite 0"},
        {40, 50, kWhite, "top half: $1000 tile 2"},
        {47, 57, kWhite, ""},
        {40, 58, kOrange, "bottom half: $1000 tile 3"},
        {40, 65, kOrange, ""},
        {40, 66, kBlack, "sixteen lines tall"},
        {60, 50, kOrange, "flipped: tile 3 on top"},
        {60, 58, kWhite, ""},
        {80, 50, kCyan, "even tile: $0000 tiles 2 and 3 in palette 1"},
        {80, 58, kDeepBlue, ""},
        {100, 100, kRed, "behind the background"},
        {100, 112, kOrange, "behind, below the background rows"},
        {120, 100, kWhite, "in front"},
        {16, 150, kWhite, "eight on a line"},
        {128, 150, kWhite, "the eighth"},
        {200, 150, kBlack, "the ninth is dropped"},
        {6, 200, kBlack, "clipped left column"},
        {9, 200, kWhite, "right of the clipped column"},
    };
    for (const Point& p : points)
        EXPECT_EQ(pixel(*m, p.x, p.line), colour(p.colour)) << p.x << "," << p.line << " " << p.what;
}

}  // namespace
}  // namespace vt
