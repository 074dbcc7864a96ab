// Where the console picture goes in a window of any size: whole multiples
// of the console's pixels by default (every pixel the same size), or as
// large as fits. Both keep the picture's shape and centre it on black.
#pragma once

namespace vt {

// The part of the output picture the window shows: 512 x 476 pixels, the
// console's 256 x 238 pixels drawn twice as wide and twice as high.
inline constexpr int kShownPictureWidth = 512;
inline constexpr int kShownPictureHeight = 476;
// The window's picture area at its normal size.
inline constexpr int kNormalAreaWidth = kShownPictureWidth;
inline constexpr int kNormalAreaHeight = kShownPictureHeight;

enum class ScaleMode : int { Integer = 0, Fit = 1 };

struct PictureRect {
    int x = 0;
    int y = 0;
    int width = kShownPictureWidth;
    int height = kShownPictureHeight;
    bool operator==(const PictureRect&) const = default;
};

// The picture's place in an area of `width` x `height` window pixels.
// Integer: the largest whole multiple of the console's 256 x 238 pixels
// that fits (when not even one fits, as Fit). Fit: the largest rectangle
// of the picture's shape.
PictureRect picture_rect(int width, int height, ScaleMode mode);

// A point of the window (relative to the area) in output-picture pixels,
// the picture being 512 pixels wide as the Super Scope expects: the
// point's position within the shown picture, scaled to 512 x 476. Points
// outside the picture give coordinates outside 0..511 / 0..475.
struct PicturePoint {
    int x = 0;
    int y = 0;
};
PicturePoint window_to_picture(const PictureRect& rect, int x, int y);

}  // namespace vt
