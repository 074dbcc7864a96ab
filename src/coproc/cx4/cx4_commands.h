// The CX4's maths commands, started by a write of the command number to
// $7F4F. Operands and results sit in the register file at $7F80-$7FAF as
// 24-bit little-endian words R0 ($7F80), R1 ($7F83), R2 ($7F86), R3
// ($7F89), R4 ($7F8C); angles count 512 to the full turn. A command
// finishes at once (the status at $7F5E never reports busy).
//
//   $0D  vector length: R0, R1 (x, y) scaled to the length R2 -> R3, R4
//   $10  polar to rectangular: angle R0, radius R1 -> R2 = radius cos,
//        R3 = radius sin
//   $15  distance: R0 = sqrt(R0^2 + R1^2) of the signed 16-bit x and y
//   $1F  angle: R2 = the angle of the vector (R0, R1), 0-$1FF
//   $25  multiply: R0 x R1 (signed 24-bit) -> low 24 bits R0, high R1
//   $40  sum: R0 = the 16-bit sum of RAM bytes $000-$7FF
//   $54  square: R0^2 (signed 24-bit) -> low 24 bits R1, high R2
//   $89  identify: R0 = $054336, the chip's identification value
//
// The sprite building, rotation, scaling and wireframe commands are not
// built; they and every other number are logged ("CX4 UNKNOWN COMMAND #xx")
// and change nothing.
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
