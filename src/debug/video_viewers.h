// The pictures of the video viewers, computed from VRAM, CGRAM and OAM as
// they stand (read directly, changing nothing): the tile viewer (VRAM as
// 2, 4 or 8 bits per pixel tiles or as Mode 7 characters), the tilemap of
// a background layer with the part the screen shows outlined, the 512 x 256
// sprite plane with all 128 sprites, and the palette. Pixels are
// 0xFFRRGGBB, colours from CGRAM at 8 bits per component.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

struct Machine;

struct ViewerImage {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // rows top to bottom

    uint32_t at(int x, int y) const { return pixels[size_t(y * width + x)]; }
    void set(int x, int y, uint32_t colour) { pixels[size_t(y * width + x)] = colour; }
};

// CGRAM colour `index` (0-255) as 0xFFRRGGBB.
uint32_t cgram_colour(const Machine& m, int index);
// A 15-bit BGR colour as 0xFFRRGGBB.
uint32_t colour_from_bgr15(uint16_t bgr);

// --- tiles
enum class TileFormat : uint8_t { Bpp2, Bpp4, Bpp8, Mode7 };
inline constexpr int kTilesPerRow = 16;
int tile_count(TileFormat format);  // tiles in the 64 KiB of VRAM
int tile_words(TileFormat format);  // VRAM words per tile (Mode 7: 64 high bytes)
// The colour number (0-255) of pixel (x, y) of the tile at a VRAM word
// address (Mode 7: of character `tile`).
uint8_t tile_pixel(const Machine& m, TileFormat format, uint32_t tile, int x, int y);
// All tiles, 16 to a row. `palette` picks the colours of 2 and 4 bits per
// pixel tiles (palette x 4 or x 16 + colour number); 8-bit and Mode 7
// tiles use the colour number as it is.
ViewerImage tile_image(const Machine& m, TileFormat format, int palette);

// --- tilemaps
struct TilemapLayout {
    bool used = false;  // the layer exists in the current mode
    bool mode7 = false;
    TileFormat format = TileFormat::Bpp2;
    int tile_width = 8;   // 16 for 16x16 tiles and in modes 5 and 6
    int tile_height = 8;
    int columns = 32;  // tilemap entries
    int rows = 32;
    uint32_t map_base = 0;   // VRAM word addresses
    uint32_t char_base = 0;
    int palette_offset = 0;  // mode 0: 32 colours per layer
};
TilemapLayout tilemap_layout(const Machine& m, int layer);  // layer 0-3 = BG1-BG4
// The whole tilemap of the layer (Mode 7: the 1024 x 1024 plane), with the
// screen's view outlined when `outline` is set; an unused layer gives an
// empty image.
ViewerImage tilemap_image(const Machine& m, int layer, bool outline);
inline constexpr uint32_t kViewOutline = 0xFFFFFF00;  // yellow

// --- sprites
struct SpriteInfo {
    int index = 0;
    int x = 0;  // -256..255
    int y = 0;
    int width = 8;
    int height = 8;
    int tile = 0;  // 0-511
    int palette = 0;
    int priority = 0;
    bool hflip = false;
    bool vflip = false;
    bool large = false;
};
// Small and large sprite sizes of OBJSEL's size field.
void sprite_sizes(uint8_t objsel, bool large, int& width, int& height);
SpriteInfo sprite_info(const Machine& m, int index);
// "Sprite 5: X 120 Y 96, 16x16, tile $042, palette 2, priority 3, flip H".
std::string sprite_description(const SpriteInfo& s);
inline constexpr int kSpritePlaneWidth = 512;
inline constexpr int kSpritePlaneHeight = 256;
// The sprite plane: every sprite at (X mod 512, Y), wrapping at the plane's
// edges, sprite 0 in front; colour 0 of each sprite is see-through and
// shows `background`.
ViewerImage sprite_image(const Machine& m, uint32_t background = 0xFF202020);
// The sprite in front at a point of the plane, or -1.
int sprite_at(const Machine& m, int x, int y);

// --- palette
inline constexpr int kPaletteCell = 16;
// 16 x 16 cells of kPaletteCell pixels, colour n at column n % 16, row n / 16.
ViewerImage palette_image(const Machine& m);
// "Colour 33 ($21): $7FFF = R 31 G 31 B 31".
std::string palette_description(const Machine& m, int index);

}  // namespace vt
