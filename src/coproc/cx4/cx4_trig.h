// The CX4's sine table: 512 steps to the turn, signed 1.15 fixed point
// (32767 stands for 1.0), built once when the program starts.
#pragma once

#include <cstdint>

namespace vt {

int32_t cx4_sin(int angle);  // angle taken modulo 512
int32_t cx4_cos(int angle);

}  // namespace vt
