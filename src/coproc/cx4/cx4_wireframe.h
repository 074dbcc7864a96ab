// The CX4's wireframe commands. A point is turned about the X axis, then
// the Y axis, then the Z axis (angles 512 to the turn; the byte angles of
// these commands count 256 and are doubled), then seen in perspective from
// 149 units in front of the origin:
//
//   screen x = x' * scale * 149 / (144 * (z' + 149)), y likewise,
//
// so scale 144 draws a point at depth 0 at its own size; a point at or
// behind the eye (z' + 149 < 1) is projected as if at z' + 149 = 1.
//
//   command $00, sub-function $05: transform lines. Vertex count word
//     $7F80, angles bytes $7F83 (X), $7F86 (Y), $7F89 (Z), scale byte $7F8C.
//     Vertices 16 bytes apart from RAM $000, signed X, Y, Z words at +1,
//     +5, +9; X and Y are replaced by the screen place plus ($80, $50).
//     Then for each of the lines (count word RAM $B00, vertex index pairs
//     from RAM $B02) RAM $600 + 8k gets: word +0 the step count
//     (max(|dx|, |dy|) + 1), word +2 the X step, word +5 the Y step, in
//     8.8 (the longer axis steps by $100).
//   command $00, sub-function $08, and command $01 (which first clears RAM
//     $300-$BFF): draw a wireframe into the 96x96 2-bit-per-pixel picture at
//     RAM $300 (tiles of 16 bytes, 12 to a row). The line list (5 bytes a
//     line: point-1 and point-2 addresses big-endian, colour; point 1 $FFFF
//     continues from the last point 2) is at the 24-bit address $7F80, the
//     points (signed big-endian X, Y, Z words) in bank $7F82, the line
//     count in RAM $295. Angles bytes $7F86 (X), $7F87 (Y), $7F88 (Z), scale
//     byte $7F90; the screen place is offset by (48, 48).
//   command $2D: transform one point. X, Y, Z words $7F81, $7F84, $7F87,
//     angles bytes $7F89 (X), $7F8A (Y), $7F8B (Z), scale word $7F90; the
//     screen place (no offset) into words $7F80 (X) and $7F83 (Y).
#pragma once

#include <cstdint>

namespace vt {

struct Machine;
struct Cx4;

struct Cx4Point {
    int64_t x, y, z;
};

// The point turned by the three angles (512 to the turn) and projected
// with the scale; z of the result is the turned depth.
Cx4Point cx4_project(Cx4Point p, int angle_x, int angle_y, int angle_z, int64_t scale);

void cx4_transform_lines(Cx4& c);
void cx4_draw_wireframe(Machine& m, bool clear_first);
void cx4_transform_point(Cx4& c);

}  // namespace vt
