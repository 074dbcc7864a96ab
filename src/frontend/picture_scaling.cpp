#include "frontend/picture_scaling.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace vt {

namespace {

constexpr int kConsoleWidth = kShownPictureWidth / 2;
constexpr int kConsoleHeight = kShownPictureHeight / 2;

PictureRect centred(int area_w, int area_h, int w, int h) {
    return PictureRect{(area_w - w) / 2, (area_h - h) / 2, w, h};
}

}  // namespace

PictureRect picture_rect(int width, int height, ScaleMode mode) {
    width = std::max(width, 1);
    height = std::max(height, 1);
    if (mode == ScaleMode::Integer) {
        const int k = std::min(width / kConsoleWidth, height / kConsoleHeight);
        if (k >= 1) return centred(width, height, k * kConsoleWidth, k * kConsoleHeight);
    }
    // The wider of the two limits decides: width * 476 against height * 512.
    int w, h;
    if (int64_t(width) * kShownPictureHeight <= int64_t(height) * kShownPictureWidth) {
        w = width;
        h = int(int64_t(width) * kShownPictureHeight / kShownPictureWidth);
    } else {
        h = height;
        w = int(int64_t(height) * kShownPictureWidth / kShownPictureHeight);
    }
    return centred(width, height, std::max(w, 1), std::max(h, 1));
}

PicturePoint window_to_picture(const PictureRect& rect, int x, int y) {
    // floor division, so points left of or above the picture stay negative
    auto scale = [](int offset, int shown, int full) {
        return int(std::floor(double(offset) * full / std::max(shown, 1)));
    };
    return PicturePoint{scale(x - rect.x, rect.width, kShownPictureWidth),
                        scale(y - rect.y, rect.height, kShownPictureHeight)};
}

}  // namespace vt
