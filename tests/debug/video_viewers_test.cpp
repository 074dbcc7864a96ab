// The viewers' pictures against pictures computed here, pixel by pixel,
// straight from the documented formats of VRAM, CGRAM and OAM, for scenes
// of the video test cartridges.
#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <vector>

#include "core/machine.h"
#include "debug/video_viewers.h"
#include "video/scene_support.h"

namespace vt {
namespace {

// The memories as the console documents them: VRAM as 64 KiB of bytes
// (even addresses the low bytes of the words), CGRAM as 256 little-endian
// 0bbbbbgggggrrrrr words.
struct Memories {
    std::vector<uint8_t> vram = std::vector<uint8_t>(0x10000);
    const Machine& m;
    explicit Memories(const Machine& machine) : m(machine) {
        for (int w = 0; w < 0x8000; w++) {
            vram[size_t(2 * w)] = m.ppu.vram_lo[size_t(w)];
            vram[size_t(2 * w + 1)] = m.ppu.vram_hi[size_t(w)];
        }
    }
    uint32_t colour(int index) const {
        const int c = m.ppu.cgram[size_t(2 * index)] | (m.ppu.cgram[size_t(2 * index + 1)] << 8);
        auto scale = [](int v) { return uint32_t(v * 8 + v / 4); };  // 0-31 onto 0-255, top bits repeated
        return 0xFF000000u | (scale(c & 31) << 16) | (scale((c >> 5) & 31) << 8) | scale((c >> 10) & 31);
    }
    // Bit planes of an 8x8 character at a byte address: rows of two bytes,
    // planes 0/1 in the first 16 bytes, 2/3 in the next 16, and so on.
    int planar(int byte_address, int bpp, int x, int y) const {
        int v = 0;
        for (int plane = 0; plane < bpp; plane++) {
            const int at = byte_address + (plane / 2) * 16 + y * 2 + (plane & 1);
            v |= ((vram[size_t(at & 0xFFFF)] >> (7 - x)) & 1) << plane;
        }
        return v;
    }
};

::testing::AssertionResult images_equal(const ViewerImage& got, int width, int height,
                                        const std::function<uint32_t(int, int)>& want) {
    if (got.width != width || got.height != height) {
        return ::testing::AssertionFailure() << "size " << got.width << "x" << got.height << ", want " << width << "x"
                                             << height;
    }
    int bad = 0;
    std::ostringstream out;
    for (int y = 0; y < height; y++) {
        for (int x = 0; x < width; x++) {
            const uint32_t w = want(x, y);
            if (got.at(x, y) == w) continue;
            if (++bad <= 5) out << "\n  (" << x << "," << y << "): " << std::hex << got.at(x, y) << " want " << w << std::dec;
        }
    }
    if (bad == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << bad << " pixels differ" << out.str();
}

TEST(VideoViewers, ColoursComeFromCgram) {
    auto m = test::run_scene("video_bg_modes", 1, 1);
    const Memories mem(*m);
    for (int i = 0; i < 256; i++) EXPECT_EQ(cgram_colour(*m, i), mem.colour(i)) << i;
    EXPECT_EQ(colour_from_bgr15(0x7FFF), 0xFFFFFFFFu);
    EXPECT_EQ(colour_from_bgr15(0x001F), 0xFFFF0000u);
    EXPECT_EQ(colour_from_bgr15(0x7C00), 0xFF0000FFu);
}

TEST(VideoViewers, TilesInEveryFormat) {
    auto m = test::run_scene("video_bg_modes", 1, 1);
    const Memories mem(*m);
    struct Case {
        TileFormat format;
        int bpp;
        int palette;
    };
    for (const Case& c : {Case{TileFormat::Bpp2, 2, 3}, Case{TileFormat::Bpp4, 4, 5}, Case{TileFormat::Bpp8, 8, 0}}) {
        const int tile_bytes = 8 * c.bpp;
        const int tiles = 0x10000 / tile_bytes;
        const int colours = c.bpp == 8 ? 0 : 1 << c.bpp;
        EXPECT_TRUE(images_equal(tile_image(*m, c.format, c.palette), 128, tiles / 16 * 8, [&](int x, int y) {
            const int tile = (y / 8) * 16 + x / 8;
            return mem.colour((c.palette * colours + mem.planar(tile * tile_bytes, c.bpp, x % 8, y % 8)) & 0xFF);
        })) << "bpp " << c.bpp;
    }
}

TEST(VideoViewers, Mode7Characters) {
    auto m = test::run_scene("video_mode7", 0);
    const Memories mem(*m);
    EXPECT_TRUE(images_equal(tile_image(*m, TileFormat::Mode7, 0), 128, 128, [&](int x, int y) {
        const int tile = (y / 8) * 16 + x / 8;
        return mem.colour(mem.vram[size_t(tile * 128 + (y % 8) * 16 + (x % 8) * 2 + 1)]);
    }));
    // The plane: 128 x 128 map bytes in the low bytes of the first 16K words.
    const ViewerImage plane = tilemap_image(*m, 0, false);
    EXPECT_TRUE(images_equal(plane, 1024, 1024, [&](int x, int y) {
        const int tile = mem.vram[size_t(((y / 8) * 128 + x / 8) * 2)];
        const int pixel = mem.vram[size_t(tile * 128 + (y % 8) * 16 + (x % 8) * 2 + 1)];
        return mem.colour(pixel);
    }));
    EXPECT_FALSE(tilemap_layout(*m, 1).used);
    EXPECT_TRUE(tilemap_image(*m, 1, true).pixels.empty());
}

// A background layer's map: each pixel through its map entry (character,
// palette, flips), 16-pixel tiles made of four characters, the 32x32
// screens of a larger map, colour number 0 showing colour 0.
void expect_tilemap(const Machine& m, int layer, int bpp, int palette_base) {
    const Memories mem(m);
    const Ppu& p = m.ppu;
    const int mode = p.bgmode & 7;
    const bool big = p.bgmode & (0x10 << layer);
    const int tw = (big || mode == 5 || mode == 6) ? 16 : 8, th = big ? 16 : 8;
    const uint8_t sc = p.bgsc[size_t(layer)];
    const int columns = (sc & 1) ? 64 : 32, rows = (sc & 2) ? 64 : 32;
    const int map_byte = (sc >> 2) * 0x800;
    const int nba = layer < 2 ? p.bg12nba : p.bg34nba;
    const int char_byte = ((nba >> (layer & 1 ? 4 : 0)) & 15) * 0x2000;
    SCOPED_TRACE("layer " + std::to_string(layer + 1));
    EXPECT_TRUE(images_equal(tilemap_image(m, layer, false), columns * tw, rows * th, [&](int x, int y) {
        const int tx = x / tw, ty = y / th;
        int screen_byte = map_byte;
        if (tx >= 32) screen_byte += 0x800;
        if (ty >= 32) screen_byte += columns == 64 ? 0x1000 : 0x800;
        const int at = (screen_byte + ((ty & 31) * 32 + (tx & 31)) * 2) & 0xFFFF;
        const int entry = mem.vram[size_t(at)] | (mem.vram[size_t(at + 1)] << 8);
        int px = x % tw, py = y % th;
        if (entry & 0x4000) px = tw - 1 - px;
        if (entry & 0x8000) py = th - 1 - py;
        const int character = ((entry & 0x3FF) + px / 8 + (py / 8) * 16) & 0x3FF;
        const int value = mem.planar(char_byte + character * 8 * bpp, bpp, px % 8, py % 8);
        if (value == 0) return mem.colour(0);
        if (bpp == 8) return mem.colour(value);
        return mem.colour(palette_base + ((entry >> 10) & 7) * (1 << bpp) + value);
    }));
}

TEST(VideoViewers, TilemapsOfBackgroundLayers) {
    {
        auto m = test::run_scene("video_bg_modes", 0, 1);  // mode 0: four 2-bit layers
        for (int layer = 0; layer < 4; layer++) expect_tilemap(*m, layer, 2, layer * 32);
    }
    {
        auto m = test::run_scene("video_bg_modes", 1, 1);  // mode 1: 4, 4, 2 bits
        expect_tilemap(*m, 0, 4, 0);
        expect_tilemap(*m, 1, 4, 0);
        expect_tilemap(*m, 2, 2, 0);
        EXPECT_FALSE(tilemap_layout(*m, 3).used);
    }
    {
        auto m = test::run_scene("video_bg_modes", 4, 1);  // mode 3: 8 and 4 bits
        expect_tilemap(*m, 0, 8, 0);
        expect_tilemap(*m, 1, 4, 0);
    }
    {
        auto m = test::run_scene("video_bg_modes", 9, 1);  // mode 1 with 16x16 tiles
        expect_tilemap(*m, 0, 4, 0);
        expect_tilemap(*m, 1, 4, 0);
        expect_tilemap(*m, 2, 2, 0);
    }
    {
        auto m = test::run_scene("video_bg_modes", 10, 1);  // mode 0 with the four map sizes
        for (int layer = 0; layer < 4; layer++) expect_tilemap(*m, layer, 2, layer * 32);
    }
}

// The screen's 256 x 224 view drawn at the layer's scroll position,
// wrapping round the map.
TEST(VideoViewers, TilemapOutlinesTheVisibleWindow) {
    auto m = test::run_scene("video_bg_modes", 1, 1);
    m->ppu.hofs[0] = 200;
    m->ppu.vofs[0] = 100;
    const ViewerImage plain = tilemap_image(*m, 0, false);
    const ViewerImage drawn = tilemap_image(*m, 0, true);
    ASSERT_EQ(plain.width, 256);
    ASSERT_EQ(plain.height, 256);
    for (int y = 0; y < plain.height; y++) {
        for (int x = 0; x < plain.width; x++) {
            const int dx = (x - 200 + 256) % 256, dy = (y - 100 + 256) % 256;
            const bool edge = ((dx == 0 || dx == 255) && dy < 224) || ((dy == 0 || dy == 223) && dx < 256);
            EXPECT_EQ(drawn.at(x, y), edge ? kViewOutline : plain.at(x, y)) << x << "," << y;
        }
    }
}

// The sprite plane of each of the eight OBJSEL size pairs: for every
// point, the first sprite in OAM order whose box covers it with a colour
// other than 0.
TEST(VideoViewers, SpritePlaneWithEverySize) {
    for (int scene = 0; scene < 8; scene++) {
        auto m = test::run_scene("video_sprites", scene, 1);
        const Memories mem(*m);
        const auto& oam = m->ppu.oam;
        static constexpr int kSizes[8][2][2] = {
            {{8, 8}, {16, 16}},   {{8, 8}, {32, 32}},   {{8, 8}, {64, 64}},   {{16, 16}, {32, 32}},
            {{16, 16}, {64, 64}}, {{32, 32}, {64, 64}}, {{16, 32}, {32, 64}}, {{16, 32}, {32, 32}},
        };
        const int objsel = m->ppu.objsel;
        const int base_byte = (objsel & 7) * 0x4000;
        const int second_byte = base_byte + (((objsel >> 3) & 3) + 1) * 0x2000;
        SCOPED_TRACE("scene " + std::to_string(scene));
        EXPECT_TRUE(images_equal(sprite_image(*m, 0xFF123456), 512, 256, [&](int x, int y) {
            for (int i = 0; i < 128; i++) {
                const int high = oam[size_t(512 + i / 4)] >> (2 * (i % 4));
                const int attr = oam[size_t(4 * i + 3)];
                const int w = kSizes[objsel >> 5][(high >> 1) & 1][0], h = kSizes[objsel >> 5][(high >> 1) & 1][1];
                const int sx = oam[size_t(4 * i)] | ((high & 1) << 8);  // 9 bits: 0-511 on the plane
                const int sy = oam[size_t(4 * i + 1)];
                const int dx = (x - sx + 512) % 512, dy = (y - sy + 256) % 256;
                if (dx >= w || dy >= h) continue;
                const int fx = (attr & 0x40) ? w - 1 - dx : dx, fy = (attr & 0x80) ? h - 1 - dy : dy;
                const int name = oam[size_t(4 * i + 2)];
                const int character = (((name >> 4) + fy / 8) & 15) * 16 + (((name & 15) + fx / 8) & 15);
                const int table = (attr & 1) ? second_byte : base_byte;
                const int value = mem.planar(table + character * 32, 4, fx % 8, fy % 8);
                if (value == 0) continue;
                return mem.colour(128 + ((attr >> 1) & 7) * 16 + value);
            }
            return 0xFF123456u;
        }));
    }
}

TEST(VideoViewers, SpriteUnderThePointer) {
    auto m = test::run_scene("video_sprites", 0, 1);
    auto& oam = m->ppu.oam;
    // Sprites 0 and 1 overlap; 0 is in front.
    for (int i : {0, 1}) {
        oam[size_t(4 * i)] = 40;
        oam[size_t(4 * i + 1)] = 50;
    }
    oam[512] &= 0xF0;  // both small, X bit 8 clear
    EXPECT_EQ(sprite_at(*m, 44, 54), 0);
    oam[0] = 200;
    EXPECT_EQ(sprite_at(*m, 44, 54), 1);
    const SpriteInfo s = sprite_info(*m, 1);
    EXPECT_EQ(s.x, 40);
    EXPECT_EQ(s.y, 50);
    EXPECT_EQ(sprite_description(s).rfind("Sprite 1: X 40 Y 50, 8x8, tile $", 0), 0u) << sprite_description(s);
}

TEST(VideoViewers, PaletteGrid) {
    auto m = test::run_scene("video_bg_modes", 1, 1);
    const Memories mem(*m);
    EXPECT_TRUE(images_equal(palette_image(*m), 256, 256, [&](int x, int y) { return mem.colour((y / 16) * 16 + x / 16); }));
    m->ppu.cgram[66] = 0xFF;
    m->ppu.cgram[67] = 0x7F;
    EXPECT_EQ(palette_description(*m, 33), "Colour 33 ($21): $7FFF = R 31 G 31 B 31");
}

}  // namespace
}  // namespace vt
