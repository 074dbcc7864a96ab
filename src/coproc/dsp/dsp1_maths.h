// The DSP-1's arithmetic: one function per command, taking the command's
// parameter words and producing its result words. The port interpreter
// (dsp1.h) moves the words; nothing here knows about transfers.
//
// Numbers are 16-bit two's complement; fractions are Q15. a (x) b is the
// high word of 2ab, truncated toward minus infinity.
#pragma once

#include <array>
#include <cstdint>

namespace vt::dsp1 {

using Matrix = std::array<int16_t, 9>;  // 3 x 3, row by row

// The projection set by Parameter and used by Raster, Project and Target.
struct Projection {
    int16_t fx = 0, fy = 0, fz = 0;  // the focus point the view axis passes through
    int16_t lfe = 0;                 // distance from the screen to the focus point
    int16_t les = 0;                 // distance from the eye to the screen (pixels)
    int16_t aas = 0;                 // azimuth: turn of the view about the vertical axis
    int16_t azs = 0;                 // zenith: tilt of the view from straight down
};

int16_t product(int16_t a, int16_t b);  // a (x) b

// Inverse of coefficient x 2^exponent; result {coefficient, exponent}.
std::array<int16_t, 2> inverse(int16_t coefficient, int16_t exponent);
std::array<int16_t, 2> triangle(int16_t angle, int16_t radius);
std::array<int16_t, 2> rotate(int16_t angle, int16_t x1, int16_t y1);
std::array<int16_t, 3> polar(int16_t az, int16_t ay, int16_t ax, int16_t x, int16_t y, int16_t z);
uint32_t radius(int16_t x, int16_t y, int16_t z);
int16_t range(int16_t x, int16_t y, int16_t z, int16_t r);
uint16_t distance(int16_t x, int16_t y, int16_t z);

Matrix attitude(int16_t m, int16_t az, int16_t ay, int16_t ax);
std::array<int16_t, 3> objective(const Matrix& a, int16_t x, int16_t y, int16_t z);
std::array<int16_t, 3> subjective(const Matrix& a, int16_t x, int16_t y, int16_t z);
int16_t scalar(const Matrix& a, int16_t x, int16_t y, int16_t z);
std::array<int16_t, 3> gyrate(int16_t az, int16_t ax, int16_t ay, int16_t u, int16_t f, int16_t l);

// Parameter: {Vof, Vva, Cx, Cy}.
std::array<int16_t, 4> parameter(const Projection& p);
// Raster: the Mode 7 matrix {A, B, C, D} (8.8) of screen line vs.
std::array<int16_t, 4> raster(const Projection& p, int16_t vs);
// Project: {H, V, M} of the point (x, y, z).
std::array<int16_t, 3> project(const Projection& p, int16_t x, int16_t y, int16_t z);
// Target: the ground point {X, Y} seen at screen position (h, v).
std::array<int16_t, 2> target(const Projection& p, int16_t h, int16_t v);

}  // namespace vt::dsp1
