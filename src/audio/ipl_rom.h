// The audio CPU's 64-byte boot program, mapped at $FFC0-$FFFF while CONTROL
// bit 7 is set. It clears the direct page, signals $BBAA on ports 0-1 and
// then receives blocks of bytes from the main CPU through the four ports
// before jumping to the address it is given.
#pragma once

#include <array>
#include <cstdint>

namespace vt {

extern const std::array<uint8_t, 64> kIplRom;

}  // namespace vt
