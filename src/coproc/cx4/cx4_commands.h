// The CX4's commands, started by a write of the command number to
// $7F4F. Operands and results sit in the register file at $7F80-$7FAF as
// 24-bit little-endian words R0 ($7F80), R1 ($7F83), R2 ($7F86), R3
// ($7F89), R4 ($7F8C); angles count 512 to the full turn. A command
// finishes at once (the status at $7F5E never reports busy).
//
//   $00  picture work, chosen by the sub-function byte at $7F4D:
//        $00 OAM builder (cx4_sprites.h); $03, $07 scale and rotate, $0B
//        disintegrate, $0C wave (cx4_bitmaps.h); $05 transform lines, $08
//        draw a wireframe (cx4_wireframe.h)
//   $01  clear RAM $300-$BFF, then draw a wireframe as $00/$08 does
//   $05  propulsion: word $7F80 = (0x10000 / d) * v >> 8 of the words
//        d ($7F83) and v ($7F81); 0 when d is 0
//   $0D  vector length: R0, R1 (x, y) scaled to the length R2 -> R3, R4
//   $10  polar to rectangular: angle R0, radius R1 -> R2 = radius cos,
//        R3 = radius sin
//   $13  the same with 8 more fraction bits: R2 = radius * cos >> 7 and
//        R3 = radius * sin >> 7, sine and cosine as 1.15 (32767 = 1.0)
//   $15  distance: R0 = sqrt(R0^2 + R1^2) of the signed 16-bit x and y
//   $1F  angle: R2 = the angle of the vector (R0, R1), 0-$1FF
//   $22  trapezoid: window tables (left edges RAM $800, right $900, 225
//        lines) of a shape with edges at angles words $7F8C and $7F8F,
//        from y = word $7F83 - word $7F89, left = tan1 y - $7F80 + $7F86,
//        right = tan2 y - $7F80 + $7F86 + $7F93 (words), clamped to 0-255;
//        lines above the top or wholly left give left 1, right 0, wholly
//        right 255, 254
//   $25  multiply: R0 x R1 (signed 24-bit) -> low 24 bits R0, high R1
//   $2D  transform one point (cx4_wireframe.h)
//   $40  sum: R0 = the 16-bit sum of RAM bytes $000-$7FF
//   $54  square: R0^2 (signed 24-bit) -> low 24 bits R1, high R2
//   $5C  load constants: R0-R15 = $000000, $FFFFFF, $00FF00, $FF0000,
//        $00FFFF, $FFFF00, $800000, $7FFFFF, $008000, $007FFF, $FF7FFF,
//        $FFFF7F, $010000, $FEFFFF, $000100, $00FEFF
//   $89  identify: R0 = $054336, the chip's identification value
//
// Every other command number, and an unknown sub-function of $00 (by its
// own number), is logged ("CX4 UNKNOWN COMMAND #xx") and changes nothing.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;
struct Cx4;

void cx4_run_command(Machine& m, uint8_t command);

// Register-file words (index 0-15) as the commands see them.
int32_t cx4_word(const Cx4& c, int index);          // sign-extended from 24 bits
void cx4_set_word(Cx4& c, int index, int32_t value);  // low 24 bits stored

}  // namespace vt
