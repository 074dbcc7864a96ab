#include "coproc/cx4/cx4_sprites.h"

#include "coproc/cx4/cx4_access.h"

namespace vt {

namespace {

constexpr uint32_t kObjectCount = 0x620;
constexpr uint32_t kGlobalX = 0x621;
constexpr uint32_t kGlobalY = 0x623;
constexpr uint32_t kFirstEntry = 0x626;
constexpr uint32_t kObjects = 0x220;
constexpr uint32_t kHighTable = 0x200;
constexpr int kEntries = 128;

bool on_screen(int x, int y) { return x >= -16 && x <= 272 && y >= -16 && y <= 224; }

void write_entry(Cx4& c, int n, int x, int y, uint8_t tile, uint8_t attributes, bool large) {
    const size_t e = size_t(4 * n);
    c.ram[e] = uint8_t(x);
    c.ram[e + 1] = uint8_t(y);
    c.ram[e + 2] = tile;
    c.ram[e + 3] = attributes;
    const int shift = 2 * (n % 4);
    const uint8_t bits = uint8_t(((x >> 8) & 1) | (large ? 2 : 0));
    uint8_t& high = c.ram[kHighTable + size_t(n / 4)];
    high = uint8_t((high & ~(3 << shift)) | bits << shift);
}

}  // namespace

void cx4_build_oam(Machine& m) {
    Cx4& c = m.cx4;
    const int count = cx4_ram8(c, kObjectCount);
    const int global_x = cx4_ram16(c, kGlobalX);
    const int global_y = cx4_ram16(c, kGlobalY);
    int n = cx4_ram8(c, kFirstEntry);
    for (int e = n; e < kEntries; e++) c.ram[size_t(4 * e + 1)] = 0xE0;

    for (int object = 0; object < count && n < kEntries; object++) {
        const uint32_t o = kObjects + 16 * uint32_t(object);
        const int x = int16_t(uint16_t(cx4_ram16(c, o) - global_x));
        const int y = int16_t(uint16_t(cx4_ram16(c, o + 2) - global_y));
        const uint8_t attributes = cx4_ram8(c, o + 4) | cx4_ram8(c, o + 6);
        const uint8_t tile = cx4_ram8(c, o + 5);
        const uint32_t definition = uint32_t(cx4_ram8(c, o + 7) | cx4_ram8(c, o + 8) << 8 | cx4_ram8(c, o + 9) << 16);
        const int pieces = cx4_rom8(m, definition);
        if (pieces == 0) {
            if (on_screen(x, y)) write_entry(c, n++, x, y, tile, attributes, true);
            continue;
        }
        for (int p = 0; p < pieces && n < kEntries; p++) {
            const uint32_t a = definition + 1 + 4 * uint32_t(p);
            const uint8_t flags = cx4_rom8(m, a & 0xFFFFFF);
            const int dx = int8_t(cx4_rom8(m, (a + 1) & 0xFFFFFF));
            const int dy = int8_t(cx4_rom8(m, (a + 2) & 0xFFFFFF));
            const uint8_t tile_offset = cx4_rom8(m, (a + 3) & 0xFFFFFF);
            const bool large = flags & 0x20;
            const int size = large ? 16 : 8;
            const int px = attributes & 0x40 ? x - dx - size : x + dx;
            const int py = attributes & 0x80 ? y - dy - size : y + dy;
            if (!on_screen(px, py)) continue;
            write_entry(c, n++, px, py, uint8_t(tile + tile_offset), uint8_t(attributes ^ (flags & 0xC0)), large);
        }
    }
}

}  // namespace vt
