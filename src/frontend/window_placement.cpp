#include "frontend/window_placement.h"

#include <algorithm>

namespace vt {

ScreenBox place_beside(const ScreenBox& main, int width, int height, const ScreenBox& screen, int gap) {
    const int right_edge = screen.x + screen.width;
    const int bottom_edge = screen.y + screen.height;
    int x = main.x + main.width + gap;  // right of the main window
    if (x + width > right_edge) {
        const int left = main.x - gap - width;
        x = left >= screen.x ? left : right_edge - width;
    }
    x = std::max(x, screen.x);
    int y = std::min(main.y, bottom_edge - height);
    y = std::max(y, screen.y);
    return ScreenBox{x, y, width, height};
}

bool box_on_screen(const ScreenBox& box, const ScreenBox& screen) {
    const int cx = box.x + box.width / 2, cy = box.y + box.height / 2;
    return box.width > 0 && box.height > 0 && cx >= screen.x && cx < screen.x + screen.width && cy >= screen.y &&
           cy < screen.y + screen.height;
}

ScreenBox fit_on_screen(const ScreenBox& box, const ScreenBox& screen) {
    ScreenBox r = box;
    r.width = std::min(r.width, screen.width);
    r.height = std::min(r.height, screen.height);
    r.x = std::clamp(r.x, screen.x, screen.x + screen.width - r.width);
    r.y = std::clamp(r.y, screen.y, screen.y + screen.height - r.height);
    return r;
}

}  // namespace vt
