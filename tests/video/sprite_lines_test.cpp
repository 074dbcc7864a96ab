// The sprite range evaluation against a plain walk over all 128 sprites
// (the rule as written: from the rotation's first sprite, X + size > 0 and
// (v - Y) mod 256 below the height, at most 32), over many random sprite
// tables, sizes, rotations, sprite interlace and lines, including changes
// of the table and of sprite interlace between evaluations.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "cart/bus.h"
#include "support/test_rom.h"
#include "video/render.h"

namespace vt::test {
namespace {

struct Expected {
    std::vector<uint8_t> list;
    bool range_over = false;
};

Expected plain_walk(const Ppu& p, int v) {
    static const int kSizes[8][2] = {{8, 16}, {8, 32}, {8, 64}, {16, 32}, {16, 64}, {32, 64}, {8, 16}, {8, 32}};
    const int* sizes = kSizes[p.objsel >> 5];
    const int first = (p.oam_priority_start >> 4) & 127;
    const int shift = (p.setini & 2) ? 1 : 0;
    Expected e;
    for (int k = 0; k < 128; k++) {
        const int i = (first + k) & 127;
        const int high = p.oam[512 + i / 4] >> ((i & 3) * 2);
        int x = p.oam[i * 4] | ((high & 1) << 8);
        if (x > 256) x -= 512;
        const int y = p.oam[i * 4 + 1];
        const int size = sizes[(high >> 1) & 1];
        if (x + size <= 0 || ((v - y) & 0xFF) >= (size >> shift)) continue;
        if (e.list.size() == 32) {
            e.range_over = true;
            break;
        }
        e.list.push_back(uint8_t(i));
    }
    return e;
}

TEST(SpriteLines, EvaluationFindsWhatAPlainWalkFinds) {
    auto machine = machine_with_rom("smoke");
    Ppu& p = machine->ppu;
    std::mt19937 random(20240611);
    for (int round = 0; round < 300; round++) {
        bus_write(*machine, 0, 0x2101, uint8_t(random() & 0xE0));  // size pair
        // Crowd the sprites into a band of lines now and then, so that some
        // lines hold more than 32.
        const int band = (round % 3 == 0) ? 48 : 256;
        for (int i = 0; i < 128; i++) {
            p.oam[i * 4] = uint8_t(random());
            p.oam[i * 4 + 1] = uint8_t(random() % band);
        }
        for (int j = 512; j < 544; j++) p.oam[j] = uint8_t(random());
        p.oam_changed = true;
        p.oam_priority_start = uint16_t((random() & 127) << 4);
        for (int pass = 0; pass < 2; pass++) {
            p.setini = uint8_t((random() & 1) ? 2 : 0);  // sprite interlace may change between evaluations
            for (int v = 0; v < 256; v += 1 + int(random() % 5)) {
                p.stat77 = 0;
                evaluate_sprite_range(p, v, true);
                const Expected e = plain_walk(p, v);
                ASSERT_EQ(p.sprite_count, e.list.size()) << "round " << round << " line " << v;
                for (size_t k = 0; k < e.list.size(); k++) ASSERT_EQ(p.sprite_list[k], e.list[k]) << k;
                ASSERT_EQ((p.stat77 & kStat77RangeOver) != 0, e.range_over);
            }
        }
    }
}

}  // namespace
}  // namespace vt::test
