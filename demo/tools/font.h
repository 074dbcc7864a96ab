// The demo's 5 x 7 pixel font for the characters space to underscore
// (codes 32-95): text on the title, the sprite captions and the big
// lettering of the logos.
#pragma once

#include <cstdint>
#include <string>

#include "tiles.h"

namespace demo {

inline constexpr int kFontFirst = 32;
inline constexpr int kFontGlyphs = 64;
inline constexpr int kGlyphWidth = 5;
inline constexpr int kGlyphHeight = 7;

// Whether pixel (x, y) of the glyph for `ch` is set (x 0-4, y 0-6).
bool glyph_pixel(char ch, int x, int y);

// The glyph as an 8 x 8 tile: the glyph in columns 1-5 and rows 0-6 with
// `ink`, and its shadow one pixel right and down with `shadow`.
Tile glyph_tile(char ch, uint8_t ink, uint8_t shadow);

// Calls plot(x, y) for every set font pixel of `text` drawn with each font
// pixel as one point; letters advance by 6 points. Used to lay out big
// lettering, each point then filled by the caller.
template <typename Plot>
void for_each_text_point(const std::string& text, Plot plot) {
    for (size_t i = 0; i < text.size(); i++) {
        for (int y = 0; y < kGlyphHeight; y++) {
            for (int x = 0; x < kGlyphWidth; x++) {
                if (glyph_pixel(text[i], x, y)) plot(int(i) * 6 + x, y);
            }
        }
    }
}

}  // namespace demo
