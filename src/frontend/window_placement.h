// Where a window that opens beside the main window goes so that it is
// wholly on screen: right of the main window when it fits there, else left
// of it, else as far right as the screen allows; never above or below the
// screen's usable area.
#pragma once

namespace vt {

struct ScreenBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenBox&) const = default;
};

// The top-left corner for a window of `width` x `height` (frame included)
// beside `main` (frame included) on a screen whose usable area is `screen`,
// `gap` pixels apart.
ScreenBox place_beside(const ScreenBox& main, int width, int height, const ScreenBox& screen, int gap = 8);

// Whether a stored window box is still (mostly) on the screen: its middle
// lies within it.
bool box_on_screen(const ScreenBox& box, const ScreenBox& screen);
// The box moved (and, when larger than the screen, shrunk) to lie wholly
// on the screen.
ScreenBox fit_on_screen(const ScreenBox& box, const ScreenBox& screen);

}  // namespace vt
