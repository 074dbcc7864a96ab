#include "coproc/cx4/cx4_commands.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "coproc/cx4/cx4_access.h"
#include "coproc/cx4/cx4_bitmaps.h"
#include "coproc/cx4/cx4_sprites.h"
#include "coproc/cx4/cx4_trig.h"
#include "coproc/cx4/cx4_wireframe.h"
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

// As $10 with 8 more fraction bits kept in the 24-bit results.
void polar_to_rectangular_fine(Cx4& c) {
    const int angle = cx4_word(c, 0) & 0x1FF;
    const int32_t r = low16(cx4_word(c, 1));
    cx4_set_word(c, 2, (r * cx4_cos(angle)) >> 7);
    cx4_set_word(c, 3, (r * cx4_sin(angle)) >> 7);
}

// tan as 16.16; straight up or down (cos 0) is the largest value of the
// sine's sign.
int64_t tangent(int angle) {
    const int64_t cos = cx4_cos(angle), sin = cx4_sin(angle);
    if (cos == 0) return sin < 0 ? -0x7FFFFFFF : 0x7FFFFFFF;
    return sin * 0x10000 / cos;
}

// The window tables of a rotating trapezoid: left edges at RAM $800, right
// edges at RAM $900, one byte for each of 225 lines.
void trapezoid(Cx4& c) {
    const int64_t tan1 = tangent(cx4_reg16(c, 0x7F8C) & 0x1FF);
    const int64_t tan2 = tangent(cx4_reg16(c, 0x7F8F) & 0x1FF);
    const int64_t centre_x = int16_t(cx4_reg16(c, 0x7F86)) - int16_t(cx4_reg16(c, 0x7F80));
    const int64_t width = int16_t(cx4_reg16(c, 0x7F93));
    int64_t y = int16_t(cx4_reg16(c, 0x7F83)) - int16_t(cx4_reg16(c, 0x7F89));
    for (size_t j = 0; j < 225; j++, y++) {
        int64_t left = 1, right = 0;
        if (y >= 0) {
            left = ((tan1 * y) >> 16) + centre_x;
            right = ((tan2 * y) >> 16) + centre_x + width;
            if (left < 0 && right < 0) {
                left = 1, right = 0;
            } else {
                left = std::max<int64_t>(left, 0), right = std::max<int64_t>(right, 0);
            }
            if (left > 255 && right > 255) {
                left = 255, right = 254;
            } else {
                left = std::min<int64_t>(left, 255), right = std::min<int64_t>(right, 255);
            }
        }
        c.ram[0x800 + j] = uint8_t(left);
        c.ram[0x900 + j] = uint8_t(right);
    }
}

// "Propulsion": word $7F80 = (0x10000 / d) * v >> 8 of the words d at $7F83
// and v at $7F81; a divisor of 0 gives 0.
void propulsion(Cx4& c) {
    const uint64_t d = cx4_reg16(c, 0x7F83), v = cx4_reg16(c, 0x7F81);
    cx4_set_reg16(c, 0x7F80, d == 0 ? 0 : uint16_t((0x10000 / d) * v >> 8));
}

void load_constants(Cx4& c) {
    static constexpr int32_t kConstants[16] = {0x000000, 0xFFFFFF, 0x00FF00, 0xFF0000, 0x00FFFF, 0xFFFF00,
                                               0x800000, 0x7FFFFF, 0x008000, 0x007FFF, 0xFF7FFF, 0xFFFF7F,
                                               0x010000, 0xFEFFFF, 0x000100, 0x00FEFF};
    for (int i = 0; i < 16; i++) cx4_set_word(c, i, kConstants[i]);
}

// Command $00 picks its work by the sub-function byte at $7F4D; one it does
// not know is logged by that byte.
void run_sub_function(Machine& m) {
    const uint8_t sub = cx4_reg8(m.cx4, 0x7F4D);
    switch (sub) {
        case 0x00: return cx4_build_oam(m);
        case 0x03: return cx4_scale_rotate(m.cx4, false);
        case 0x05: return cx4_transform_lines(m.cx4);
        case 0x07: return cx4_scale_rotate(m.cx4, true);
        case 0x08: return cx4_draw_wireframe(m, false);
        case 0x0B: return cx4_disintegrate(m.cx4);
        case 0x0C: return cx4_wave(m.cx4);
        default: return log_unknown_command(m, "CX4", sub);
    }
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
        case 0x00: return run_sub_function(m);
        case 0x01: return cx4_draw_wireframe(m, true);
        case 0x05: return propulsion(c);
        case 0x0D: return vector_length(c);
        case 0x10: return polar_to_rectangular(c);
        case 0x13: return polar_to_rectangular_fine(c);
        case 0x15: return distance(c);
        case 0x1F: return angle(c);
        case 0x22: return trapezoid(c);
        case 0x25: return multiply(c);
        case 0x2D: return cx4_transform_point(c);
        case 0x40: return sum(c);
        case 0x54: return square(c);
        case 0x5C: return load_constants(c);
        case 0x89: return cx4_set_word(c, 0, 0x054336);
        default: return log_unknown_command(m, "CX4", command);
    }
}

}  // namespace vt
