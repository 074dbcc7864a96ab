#include "coproc/cx4/cx4_commands.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "coproc/unknown_command_log.h"
#include "core/machine.h"

namespace vt {

namespace {

constexpr int kRegisterFile = 0x40;  // $7F80 in the register block
constexpr int kSumBytes = 0x800;

int16_t low16(int32_t v) { return int16_t(uint16_t(v)); }

double radians(int32_t angle) { return double(angle & 0x1FF) * std::numbers::pi / 256.0; }

// Round halves away from zero, as a fixed-point chip rounds its products.
int32_t round_to_int(double v) { return int32_t(std::lround(v)); }

void vector_length(Cx4& c) {
    const double x = low16(cx4_word(c, 0));
    const double y = low16(cx4_word(c, 1));
    const double length = low16(cx4_word(c, 2));
    const double norm = std::sqrt(x * x + y * y);
    if (norm == 0) {
        cx4_set_word(c, 3, 0);
        cx4_set_word(c, 4, 0);
        return;
    }
    cx4_set_word(c, 3, round_to_int(x * length / norm));
    cx4_set_word(c, 4, round_to_int(y * length / norm));
}

void polar_to_rectangular(Cx4& c) {
    const double a = radians(cx4_word(c, 0));
    const double r = low16(cx4_word(c, 1));
    cx4_set_word(c, 2, round_to_int(r * std::cos(a)));
    cx4_set_word(c, 3, round_to_int(r * std::sin(a)));
}

void distance(Cx4& c) {
    const int64_t x = low16(cx4_word(c, 0));
    const int64_t y = low16(cx4_word(c, 1));
    cx4_set_word(c, 0, int32_t(std::sqrt(double(x * x + y * y))));
}

void angle(Cx4& c) {
    const int x = low16(cx4_word(c, 0));
    const int y = low16(cx4_word(c, 1));
    if (x == 0 && y == 0) return cx4_set_word(c, 2, 0);
    cx4_set_word(c, 2, round_to_int(std::atan2(double(y), double(x)) * 256.0 / std::numbers::pi) & 0x1FF);
}

void multiply(Cx4& c) {
    const int64_t p = int64_t(cx4_word(c, 0)) * int64_t(cx4_word(c, 1));
    cx4_set_word(c, 0, int32_t(p & 0xFFFFFF));
    cx4_set_word(c, 1, int32_t((p >> 24) & 0xFFFFFF));
}

void sum(Cx4& c) {
    uint32_t s = 0;
    for (int i = 0; i < kSumBytes; i++) s += c.ram[size_t(i)];
    cx4_set_word(c, 0, int32_t(s & 0xFFFF));
}

void square(Cx4& c) {
    const int64_t v = cx4_word(c, 0);
    const int64_t p = v * v;
    cx4_set_word(c, 1, int32_t(p & 0xFFFFFF));
    cx4_set_word(c, 2, int32_t((p >> 24) & 0xFFFFFF));
}

}  // namespace

int32_t cx4_word(const Cx4& c, int index) {
    const size_t i = size_t(kRegisterFile + 3 * (index & 15));
    const uint32_t v = uint32_t(c.regs[i] | c.regs[i + 1] << 8 | c.regs[i + 2] << 16);
    return int32_t(v << 8) >> 8;
}

void cx4_set_word(Cx4& c, int index, int32_t value) {
    const size_t i = size_t(kRegisterFile + 3 * (index & 15));
    c.regs[i] = uint8_t(value);
    c.regs[i + 1] = uint8_t(value >> 8);
    c.regs[i + 2] = uint8_t(value >> 16);
}

void cx4_run_command(Machine& m, uint8_t command) {
    Cx4& c = m.cx4;
    switch (command) {
        case 0x0D: return vector_length(c);
        case 0x10: return polar_to_rectangular(c);
        case 0x15: return distance(c);
        case 0x1F: return angle(c);
        case 0x25: return multiply(c);
        case 0x40: return sum(c);
        case 0x54: return square(c);
        case 0x89: return cx4_set_word(c, 0, 0x054336);
        default: return log_unknown_command(m, "CX4", command);
    }
}

}  // namespace vt
