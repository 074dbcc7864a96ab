// A deliberately naive reference of the background, window, colour-math and
// brightness rules, written pixel by pixel straight from the console's
// description: no caches, no line buffers, a literal front-to-back walk of
// each mode's priority list. Scene tests compare the machine's picture with
// it. Sprites and Mode 7 are not modelled (the scenes use neither).
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
    bool odd_field = false;  // the interlace field the frame was drawn in
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

}  // namespace vt::test
