#include "coproc/cx4/cx4_wireframe.h"

#include <algorithm>
#include <cstdlib>

#include "coproc/cx4/cx4_access.h"
#include "coproc/cx4/cx4_trig.h"

namespace vt {

namespace {

constexpr int64_t kEye = 149;       // distance of the eye from the origin
constexpr int64_t kUnitScale = 144;  // the scale that draws depth 0 at size 1

// v times a 1.15 factor, rounded, so that a turn by 0 (factor 32767) keeps
// every v within +-16384 as it is.
int64_t turn(int64_t v, int32_t factor) { return (v * factor + 0x4000) >> 15; }

// A line's steps in 8.8: the longer axis moves one pixel a step.
struct LineSteps {
    int64_t count, x_step, y_step;
};

LineSteps line_steps(int64_t dx, int64_t dy) {
    const int64_t ax = std::llabs(dx), ay = std::llabs(dy);
    if (ax == 0 && ay == 0) return {1, 0, 0};
    if (ax >= ay) return {ax + 1, dx < 0 ? -0x100 : 0x100, dy * 0x100 / ax};
    return {ay + 1, dx * 0x100 / ay, dy < 0 ? -0x100 : 0x100};
}

int64_t floor_div(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }  // b > 0
int64_t ceil_div(int64_t a, int64_t b) { return -floor_div(-a, b); }

// Narrows the steps [t0, t1] to those at which start + t * step lies in
// [lo, hi]; false when none is left.
bool clip(int64_t start, int64_t step, int64_t lo, int64_t hi, int64_t& t0, int64_t& t1) {
    if (step == 0) return start >= lo && start <= hi && t0 <= t1;
    if (step > 0) {
        t0 = std::max(t0, ceil_div(lo - start, step));
        t1 = std::min(t1, floor_div(hi - start, step));
    } else {
        t0 = std::max(t0, ceil_div(start - hi, -step));
        t1 = std::min(t1, floor_div(start - lo, -step));
    }
    return t0 <= t1;
}

// The 96x96 picture of $08: pixels 1-95 across and down can be drawn.
constexpr uint32_t kPicture = 0x300;
constexpr int64_t kFirstPixel = 0x100, kLastPosition = 0x5FFF;

void plot(Cx4& c, int x, int y, int colour) {
    const uint32_t i = kPicture + uint32_t(y / 8) * 192 + uint32_t(x / 8) * 16 + uint32_t(y % 8) * 2;
    if (i + 1 >= kCx4RamSize) return;
    const uint8_t bit = uint8_t(0x80 >> (x % 8));
    c.ram[i] = colour & 1 ? uint8_t(c.ram[i] | bit) : uint8_t(c.ram[i] & ~bit);
    c.ram[i + 1] = colour & 2 ? uint8_t(c.ram[i + 1] | bit) : uint8_t(c.ram[i + 1] & ~bit);
}

// Draws from (x1, y1) to (x2, y2), whole pixels, by the steps of line_steps,
// starting in the middle of the first pixel so the shorter axis rounds;
// only the steps inside the picture are walked.
void draw_line(Cx4& c, int64_t x1, int64_t y1, int64_t x2, int64_t y2, int colour) {
    const LineSteps s = line_steps(x2 - x1, y2 - y1);
    const int64_t x = x1 * 0x100 + 0x80, y = y1 * 0x100 + 0x80;
    int64_t t0 = 0, t1 = s.count - 1;
    if (!clip(x, s.x_step, kFirstPixel, kLastPosition, t0, t1)) return;
    if (!clip(y, s.y_step, kFirstPixel, kLastPosition, t0, t1)) return;
    for (int64_t t = t0; t <= t1; t++) plot(c, int((x + t * s.x_step) >> 8), int((y + t * s.y_step) >> 8), colour);
}

int16_t big_endian16(const Machine& m, uint8_t bank, uint16_t addr) {
    return int16_t(cx4_rom8(m, uint32_t(bank) << 16 | addr) << 8 | cx4_rom8(m, uint32_t(bank) << 16 | uint16_t(addr + 1)));
}

// A point record of $08 in the cartridge, projected and offset.
Cx4Point wireframe_point(const Machine& m, uint8_t bank, uint16_t addr) {
    const Cx4& c = m.cx4;
    const Cx4Point p{big_endian16(m, bank, addr), big_endian16(m, bank, uint16_t(addr + 2)),
                     big_endian16(m, bank, uint16_t(addr + 4))};
    const Cx4Point s = cx4_project(p, 2 * cx4_reg8(c, 0x7F86), 2 * cx4_reg8(c, 0x7F87), 2 * cx4_reg8(c, 0x7F88),
                                   cx4_reg8(c, 0x7F90));
    return {s.x + 48, s.y + 48, s.z};
}

}  // namespace

Cx4Point cx4_project(Cx4Point p, int angle_x, int angle_y, int angle_z, int64_t scale) {
    // About X: y and z turn.
    int32_t cos = cx4_cos(angle_x), sin = cx4_sin(angle_x);
    const int64_t y1 = turn(p.y, cos) - turn(p.z, sin);
    const int64_t z1 = turn(p.y, sin) + turn(p.z, cos);
    // About Y: z and x turn.
    cos = cx4_cos(angle_y), sin = cx4_sin(angle_y);
    const int64_t x2 = turn(p.x, cos) + turn(z1, sin);
    const int64_t z2 = turn(z1, cos) - turn(p.x, sin);
    // About Z: x and y turn.
    cos = cx4_cos(angle_z), sin = cx4_sin(angle_z);
    const int64_t x3 = turn(x2, cos) - turn(y1, sin);
    const int64_t y3 = turn(x2, sin) + turn(y1, cos);

    const int64_t depth = std::max<int64_t>(z2 + kEye, 1);
    const int64_t divisor = kUnitScale * depth;
    return {x3 * scale * kEye / divisor, y3 * scale * kEye / divisor, z2};
}

void cx4_transform_lines(Cx4& c) {
    constexpr uint32_t kMaxVertices = kCx4RamSize / 16;
    const uint32_t vertices = std::min<uint32_t>(cx4_reg16(c, 0x7F80), kMaxVertices);
    const int ax = 2 * cx4_reg8(c, 0x7F83), ay = 2 * cx4_reg8(c, 0x7F86), az = 2 * cx4_reg8(c, 0x7F89);
    const int64_t scale = cx4_reg8(c, 0x7F8C);
    for (uint32_t v = 0; v < vertices; v++) {
        const uint32_t o = 16 * v;
        const Cx4Point p{int16_t(cx4_ram16(c, o + 1)), int16_t(cx4_ram16(c, o + 5)), int16_t(cx4_ram16(c, o + 9))};
        const Cx4Point s = cx4_project(p, ax, ay, az, scale);
        cx4_set_ram16(c, o + 1, uint16_t(s.x + 0x80));
        cx4_set_ram16(c, o + 5, uint16_t(s.y + 0x50));
    }

    // The pair list runs from $B02 to the RAM's end: 127 lines at most.
    constexpr uint32_t kLineCount = 0xB00, kPairs = 0xB02, kSteps = 0x600;
    const uint32_t lines = std::min<uint32_t>(cx4_ram16(c, kLineCount), (kCx4RamSize - kPairs) / 2);
    for (uint32_t k = 0; k < lines; k++) {
        const uint32_t from = 16 * uint32_t(cx4_ram8(c, kPairs + 2 * k));
        const uint32_t to = 16 * uint32_t(cx4_ram8(c, kPairs + 2 * k + 1));
        const int64_t dx = int16_t(cx4_ram16(c, to + 1)) - int16_t(cx4_ram16(c, from + 1));
        const int64_t dy = int16_t(cx4_ram16(c, to + 5)) - int16_t(cx4_ram16(c, from + 5));
        const LineSteps s = line_steps(dx, dy);
        const uint32_t e = kSteps + 8 * k;
        cx4_set_ram16(c, e, uint16_t(s.count));
        cx4_set_ram16(c, e + 2, uint16_t(s.x_step));
        cx4_set_ram16(c, e + 5, uint16_t(s.y_step));
    }
}

void cx4_draw_wireframe(Machine& m, bool clear_first) {
    Cx4& c = m.cx4;
    if (clear_first) std::fill(c.ram.begin() + kPicture, c.ram.end(), uint8_t(0));
    const uint32_t list = uint32_t(cx4_reg8(c, 0x7F80) | cx4_reg8(c, 0x7F81) << 8 | cx4_reg8(c, 0x7F82) << 16);
    const uint8_t bank = cx4_reg8(c, 0x7F82);
    const int lines = cx4_ram8(c, 0x295);
    bool have_end = false;
    uint16_t last_end = 0;
    for (int k = 0; k < lines; k++) {
        const uint32_t a = list + 5 * uint32_t(k);
        const uint16_t from = uint16_t(cx4_rom8(m, a & 0xFFFFFF) << 8 | cx4_rom8(m, (a + 1) & 0xFFFFFF));
        const uint16_t to = uint16_t(cx4_rom8(m, (a + 2) & 0xFFFFFF) << 8 | cx4_rom8(m, (a + 3) & 0xFFFFFF));
        const int colour = cx4_rom8(m, (a + 4) & 0xFFFFFF);
        const bool continues = from == 0xFFFF;
        if (to == 0xFFFF || (continues && !have_end)) continue;
        const Cx4Point p1 = wireframe_point(m, bank, continues ? last_end : from);
        const Cx4Point p2 = wireframe_point(m, bank, to);
        draw_line(c, p1.x, p1.y, p2.x, p2.y, colour);
        have_end = true;
        last_end = to;
    }
}

void cx4_transform_point(Cx4& c) {
    const Cx4Point p{int16_t(cx4_reg16(c, 0x7F81)), int16_t(cx4_reg16(c, 0x7F84)), int16_t(cx4_reg16(c, 0x7F87))};
    const Cx4Point s = cx4_project(p, 2 * cx4_reg8(c, 0x7F89), 2 * cx4_reg8(c, 0x7F8A), 2 * cx4_reg8(c, 0x7F8B),
                                   cx4_reg16(c, 0x7F90));
    cx4_set_reg16(c, 0x7F80, uint16_t(s.x));
    cx4_set_reg16(c, 0x7F83, uint16_t(s.y));
}

}  // namespace vt
