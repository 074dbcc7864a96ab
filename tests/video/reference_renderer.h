// A deliberately naive reference of the background, Mode 7, sprite, window,
// colour-math and brightness rules, written pixel by pixel straight from
// the console's description: no caches, no line buffers, no decoded tables,
// a literal front-to-back walk of each mode's priority list. Every sprite
// pixel re-runs the range evaluation and the sliver budget of its line, and
// every Mode 7 pixel computes its plane position from the matrix in closed
// form. Scene tests compare the machine's picture with it.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "core/machine.h"

namespace vt::test {

// The register and memory values the reference reads. Tests may change
// fields to model per-line register changes (HDMA).
struct RefState {
    uint8_t inidisp = 0, bgmode = 0, mosaic = 0;
    std::array<uint8_t, 4> bgsc{};
    uint8_t bg12nba = 0, bg34nba = 0;
    std::array<uint16_t, 4> hofs{}, vofs{};
    uint8_t w12sel = 0, w34sel = 0, wobjsel = 0;
    std::array<uint8_t, 4> wh{};
    uint8_t wbglog = 0, wobjlog = 0;
    uint8_t tm = 0, ts = 0, tmw = 0, tsw = 0;
    uint8_t cgwsel = 0, cgadsub = 0;
    uint16_t coldata = 0;
    uint8_t setini = 0;
    uint8_t objsel = 0, oamaddl = 0, oamaddh = 0;
    uint8_t m7sel = 0;
    std::array<uint16_t, 6> m7{};  // M7A, M7B, M7C, M7D, M7X, M7Y
    bool odd_field = false;  // the interlace field the frame was drawn in
    std::vector<uint8_t> oam = std::vector<uint8_t>(544);
    std::vector<uint16_t> vram = std::vector<uint16_t>(0x8000);
    std::vector<uint16_t> cgram = std::vector<uint16_t>(256);
};

// The machine's current registers and memories; odd_field is the field of
// the frame that run_frame has just completed.
RefState reference_state(const Machine& m);

struct Rgb {
    uint8_t b = 0, g = 0, r = 0;
    bool operator==(const Rgb&) const = default;
};

// Expected output pixel (column 0-511 of the picture) of console line
// `line` (1-239), with the default brightness setting and colour curve.
Rgb reference_pixel(const RefState& s, int line, int out_x);

// Colour of CGRAM entry i at full brightness, as the picture shows it.
Rgb full_brightness(uint16_t bgr15);

// The sprite layer at screen x (0-255) of console line `line`: whether a
// sprite pixel is there, its colour index (128-255) and priority.
struct RefSpritePixel {
    bool present = false;
    int colour = 0;
    int priority = 0;
};
RefSpritePixel reference_sprite_pixel(const RefState& s, int line, int x);

// What the sprite unit reports for a line: more than 32 sprites in range,
// more than 34 slivers needed.
struct RefSpriteLine {
    bool range_over = false;
    bool time_over = false;
};
RefSpriteLine reference_sprite_status(const RefState& s, int line);

// The Mode 7 plane's 8-bit pixel at screen x of console line `line`
// (0 = transparent).
int reference_mode7_pixel(const RefState& s, int line, int x);

}  // namespace vt::test
