// Pictures made of palette indices and their conversion into the console's
// tile formats: planar 2 and 4 bits per pixel for the background layers and
// sprites, linear 8 bits per pixel for the Mode 7 plane, with tilemaps that
// reuse identical (and mirrored) tiles.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// A picture of palette indices; index 0 is transparent.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    Picture(int w, int h) : width(w), height(h), pixels(size_t(w) * size_t(h), 0) {}
    uint8_t at(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    void set(int x, int y, uint8_t value) {
        if (x >= 0 && y >= 0 && x < width && y < height) pixels[size_t(y) * size_t(width) + size_t(x)] = value;
    }
};

using Tile = std::array<uint8_t, 64>;  // 8 x 8 palette indices, row by row

// A growing set of distinct tiles. Tile 0 is always the empty tile.
struct TileSet {
    int bpp = 4;
    size_t limit = 1024;  // tiles the VRAM area can hold
    std::vector<Tile> tiles;

    TileSet(int bits_per_pixel, size_t max_tiles) : bpp(bits_per_pixel), limit(max_tiles), tiles(1, Tile{}) {}
};

// A tilemap entry as the background layers read it: tile number, palette,
// priority and the two flips.
struct MapEntry {
    uint16_t tile = 0;
    bool flip_h = false;
    bool flip_v = false;
};

// Cuts a picture (a multiple of 8 in both directions) into tiles, adding
// the new ones to `set`; `allow_flips` lets a tile stand for its mirror
// images. Returns the entries row by row. Throws when the set overflows.
std::vector<MapEntry> tile_picture(const Picture& picture, TileSet& set, bool allow_flips);

// Tilemap words for a map `columns` entries wide, in VRAM order: maps 64
// entries wide are stored as two 32 x 32 screens, left then right.
std::vector<uint8_t> map_words(const std::vector<MapEntry>& entries, int columns, int palette, bool priority);

// The tiles in the console's planar format (16 bytes per 2-bpp tile, 32 per
// 4-bpp tile).
std::vector<uint8_t> planar_tiles(const TileSet& set);

// The 8-bpp tiles of the Mode 7 plane: 64 bytes per tile, one per pixel.
std::vector<uint8_t> linear_tiles(const TileSet& set);

// A 15-bit colour from 5-bit components.
constexpr uint16_t bgr(int red, int green, int blue) {
    return uint16_t((red & 31) | ((green & 31) << 5) | ((blue & 31) << 10));
}

// Little-endian bytes of 16-bit words.
std::vector<uint8_t> word_bytes(const std::vector<uint16_t>& words);

void write_file(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace demo
