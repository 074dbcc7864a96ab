#include "coproc/cx4/cx4_trig.h"

#include <array>
#include <cmath>
#include <numbers>

namespace vt {

namespace {

const std::array<int16_t, 512> kSine = [] {
    std::array<int16_t, 512> t{};
    for (int i = 0; i < 512; i++) t[size_t(i)] = int16_t(std::lround(32767.0 * std::sin(i * std::numbers::pi / 256.0)));
    return t;
}();

}  // namespace

int32_t cx4_sin(int angle) { return kSine[size_t(angle & 0x1FF)]; }
int32_t cx4_cos(int angle) { return kSine[size_t((angle + 128) & 0x1FF)]; }

}  // namespace vt
