#include "tiles.h"

#include <fstream>
#include <map>
#include <stdexcept>

namespace demo {

namespace {

Tile cut_tile(const Picture& p, int column, int row) {
    Tile t{};
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) t[size_t(y * 8 + x)] = p.at(column * 8 + x, row * 8 + y);
    }
    return t;
}

Tile mirrored(const Tile& t, bool flip_h, bool flip_v) {
    Tile out{};
    for (int y = 0; y < 8; y++) {
        for (int x = 0; x < 8; x++) {
            int sx = flip_h ? 7 - x : x;
            int sy = flip_v ? 7 - y : y;
            out[size_t(y * 8 + x)] = t[size_t(sy * 8 + sx)];
        }
    }
    return out;
}

}  // namespace

std::vector<MapEntry> tile_picture(const Picture& picture, TileSet& set, bool allow_flips) {
    if (picture.width % 8 || picture.height % 8) throw std::runtime_error("picture size is not a multiple of 8");
    const int max_index = (1 << set.bpp) - 1;
    for (uint8_t v : picture.pixels) {
        if (v > max_index) throw std::runtime_error("palette index too large for the tile depth");
    }
    std::map<Tile, MapEntry> known;
    for (size_t i = 0; i < set.tiles.size(); i++) {
        known.emplace(set.tiles[i], MapEntry{uint16_t(i), false, false});
    }
    std::vector<MapEntry> entries;
    for (int row = 0; row < picture.height / 8; row++) {
        for (int column = 0; column < picture.width / 8; column++) {
            const Tile t = cut_tile(picture, column, row);
            auto found = known.find(t);
            if (found != known.end()) {
                entries.push_back(found->second);
                continue;
            }
            const uint16_t index = uint16_t(set.tiles.size());
            if (index >= set.limit) throw std::runtime_error("too many distinct tiles for the VRAM area");
            set.tiles.push_back(t);
            known.emplace(t, MapEntry{index, false, false});
            if (allow_flips) {
                // Each mirror image of the new tile is drawn by it flipped.
                known.emplace(mirrored(t, true, false), MapEntry{index, true, false});
                known.emplace(mirrored(t, false, true), MapEntry{index, false, true});
                known.emplace(mirrored(t, true, true), MapEntry{index, true, true});
            }
            entries.push_back(MapEntry{index, false, false});
        }
    }
    return entries;
}

std::vector<uint8_t> map_words(const std::vector<MapEntry>& entries, int columns, int palette, bool priority) {
    const int rows = int(entries.size()) / columns;
    std::vector<uint8_t> out;
    auto put = [&](const MapEntry& e) {
        uint16_t word = uint16_t(e.tile & 0x3FF) | uint16_t((palette & 7) << 10);
        if (priority) word |= 0x2000;
        if (e.flip_h) word |= 0x4000;
        if (e.flip_v) word |= 0x8000;
        out.push_back(uint8_t(word));
        out.push_back(uint8_t(word >> 8));
    };
    for (int screen = 0; screen < (columns + 31) / 32; screen++) {
        for (int row = 0; row < rows; row++) {
            for (int column = 0; column < 32 && screen * 32 + column < columns; column++) {
                put(entries[size_t(row * columns + screen * 32 + column)]);
            }
        }
    }
    return out;
}

std::vector<uint8_t> planar_tiles(const TileSet& set) {
    std::vector<uint8_t> out;
    for (const Tile& t : set.tiles) {
        for (int pair = 0; pair < set.bpp / 2; pair++) {
            for (int y = 0; y < 8; y++) {
                for (int plane = pair * 2; plane < pair * 2 + 2; plane++) {
                    uint8_t byte = 0;
                    for (int x = 0; x < 8; x++) byte |= uint8_t(((t[size_t(y * 8 + x)] >> plane) & 1) << (7 - x));
                    out.push_back(byte);
                }
            }
        }
    }
    return out;
}

std::vector<uint8_t> linear_tiles(const TileSet& set) {
    std::vector<uint8_t> out;
    for (const Tile& t : set.tiles) out.insert(out.end(), t.begin(), t.end());
    return out;
}

std::vector<uint8_t> word_bytes(const std::vector<uint16_t>& words) {
    std::vector<uint8_t> out;
    for (uint16_t w : words) {
        out.push_back(uint8_t(w));
        out.push_back(uint8_t(w >> 8));
    }
    return out;
}

void write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace demo
