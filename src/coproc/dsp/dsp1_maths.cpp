#include "coproc/dsp/dsp1_maths.h"

#include <algorithm>

#include "coproc/dsp/dsp1_tables.h"

namespace vt::dsp1 {

namespace {

int16_t saturate(int64_t v) { return int16_t(std::clamp<int64_t>(v, -32768, 32767)); }

// High word of a 32-bit value (arithmetic: the low bits truncate toward
// minus infinity).
int16_t high_word(uint32_t v) { return int16_t(uint16_t(v >> 16)); }

// a (.) b of the attitude matrix: the 32-bit product shifted right by 15.
int32_t fraction_product(int32_t a, int32_t b) { return int32_t(int64_t(a) * b) >> 15; }

}  // namespace

int16_t product(int16_t a, int16_t b) { return high_word(uint32_t(2 * int64_t(a) * b)); }

std::array<int16_t, 2> inverse(int16_t coefficient, int16_t exponent) {
    if (coefficient == 0) return {0x7FFF, 0x002F};
    int32_t c = coefficient;
    int16_t e = exponent;
    int sign = 1;
    if (c < 0) {
        if (c == -32768) c = -32767;
        c = -c;
        sign = -1;
    }
    while (c < 0x4000) {
        c *= 2;
        e = int16_t(e - 1);
    }
    int16_t result;
    if (c == 0x4000) {
        // Exactly one half: its inverse 2 does not fit, so the exponent takes
        // a factor two (for the negative case, -1/2 x 2^1).
        if (sign > 0) {
            result = 0x7FFF;
        } else {
            result = int16_t(0xC000);
            e = int16_t(e - 1);
        }
    } else {
        // Two Newton steps x' = 2x - 2cx^2 towards x = 2^29 / C from the
        // seed for the mantissa's 128th.
        int16_t x = int16_t(data_rom()[size_t(kRomInverseSeeds + ((c - 0x4000) >> 7))]);
        for (int step = 0; step < 2; step++) {
            const int16_t cx = product(int16_t(c), x);
            x = int16_t(2 * x + 2 * product(int16_t(-x), cx));
        }
        result = int16_t(x * sign);
    }
    return {result, int16_t(1 - e)};
}

std::array<int16_t, 2> triangle(int16_t angle, int16_t radius) {
    return {product(radius, sine(uint16_t(angle))), product(radius, cosine(uint16_t(angle)))};
}

std::array<int16_t, 2> rotate(int16_t angle, int16_t x1, int16_t y1) {
    const int16_t s = sine(uint16_t(angle)), c = cosine(uint16_t(angle));
    return {int16_t(product(y1, s) + product(x1, c)), int16_t(product(y1, c) - product(x1, s))};
}

std::array<int16_t, 3> polar(int16_t az, int16_t ay, int16_t ax, int16_t x, int16_t y, int16_t z) {
    const auto [x1, y1] = rotate(az, x, y);
    const auto [z1, x2] = rotate(ay, z, x1);  // Z1 = X1 sin + Z cos, X2 = X1 cos - Z sin
    const auto [y2, z2] = rotate(ax, y1, z1);  // Y2 = Z1 sin + Y1 cos, Z2 = Z1 cos - Y1 sin
    return {x2, y2, z2};
}

uint32_t radius(int16_t x, int16_t y, int16_t z) {
    return uint32_t(2 * (int64_t(x) * x + int64_t(y) * y + int64_t(z) * z));
}

int16_t range(int16_t x, int16_t y, int16_t z, int16_t r) {
    return high_word(uint32_t(int64_t(radius(x, y, z)) - 2 * int64_t(r) * r));
}

uint16_t distance(int16_t x, int16_t y, int16_t z) {
    const uint32_t sum = uint32_t(int64_t(x) * x + int64_t(y) * y + int64_t(z) * z);
    if (sum == 0) return 0;
    // sum = mantissa x 2^16 / 2^shift with the mantissa's top bit set.
    int shift = 0;
    while (!(sum << shift & 0x80000000u)) shift++;
    uint32_t mantissa = (sum << shift) >> 16;
    // root(sum) = root(mantissa x 2^16) / 2^(shift / 2); an odd shift moves
    // one factor two into the mantissa.
    if (shift & 1) mantissa >>= 1;
    const int half_shift = shift >> 1;
    // Entries j hold 256 x root(512 j): interpolate between the entries
    // around mantissa / 512 (32 to 127).
    const auto& rom = data_rom();
    const uint32_t j = mantissa >> 9, fraction = mantissa & 511;
    const int32_t low = rom[kRomSquareRoots + j], high = rom[kRomSquareRoots + j + 1];
    const uint32_t root = uint32_t(low + (((high - low) * int32_t(fraction)) >> 9));
    return uint16_t(root >> half_shift);
}

Matrix attitude(int16_t m, int16_t az, int16_t ay, int16_t ax) {
    const int32_t h = m >> 1;
    const int32_t sx = sine(uint16_t(ax)), cx = cosine(uint16_t(ax));
    const int32_t sy = sine(uint16_t(ay)), cy = cosine(uint16_t(ay));
    const int32_t sz = sine(uint16_t(az)), cz = cosine(uint16_t(az));
    // m (.) a (.) b ... chained from the left.
    auto chain = [h](std::initializer_list<int32_t> factors) {
        int32_t v = h;
        for (int32_t f : factors) v = fraction_product(v, f);
        return v;
    };
    auto word = [](int32_t v) { return int16_t(uint16_t(uint32_t(v))); };
    return {
        word(chain({cz, cy})),
        word(-chain({sz, cy})),
        word(chain({sy})),
        int16_t(word(chain({sz, cx})) + word(chain({cz, sx, sy}))),
        int16_t(word(chain({cz, cx})) - word(chain({sz, sx, sy}))),
        word(-chain({sx, cy})),
        int16_t(word(chain({sz, sx})) - word(chain({cz, cx, sy}))),
        int16_t(word(chain({cz, sx})) + word(chain({sz, cx, sy}))),
        word(chain({cx, cy})),
    };
}

std::array<int16_t, 3> objective(const Matrix& a, int16_t x, int16_t y, int16_t z) {
    std::array<int16_t, 3> out{};
    for (int i = 0; i < 3; i++) {
        const int16_t* row = &a[size_t(3 * i)];
        out[size_t(i)] = int16_t(product(row[0], x) + product(row[1], y) + product(row[2], z));
    }
    return out;
}

std::array<int16_t, 3> subjective(const Matrix& a, int16_t x, int16_t y, int16_t z) {
    std::array<int16_t, 3> out{};
    for (int i = 0; i < 3; i++) {
        out[size_t(i)] = int16_t(product(a[size_t(i)], x) + product(a[size_t(3 + i)], y) + product(a[size_t(6 + i)], z));
    }
    return out;
}

int16_t scalar(const Matrix& a, int16_t x, int16_t y, int16_t z) {
    const int64_t sum = int64_t(a[0]) * x + int64_t(a[1]) * y + int64_t(a[2]) * z;
    return high_word(uint32_t(2 * sum));
}

// Gyrate turns the body rates of a craft into new attitude angles. With the
// attitude R = Rz(Az) Rx(Ax) Ry(Ay) (the order of Attitude's matrix), body
// rates L (about the craft's X axis), F (its forward Y axis) and U (its up
// Z axis) relate to the angles' rates by
//     L = Ax' cos Ay - Az' cos Ax sin Ay
//     F = Ay' + Az' sin Ax
//     U = Ax' sin Ay + Az' cos Ax cos Ay
// so, solved for the angles,
//     Ax' = L cos Ay + U sin Ay
//     Az' = (U cos Ay - L sin Ay) / cos Ax
//     Ay' = F - Az' sin Ax
// One step of these rates is added to the angles (16-bit, so they wrap
// around the circle). Near Ax = +-90 degrees the division is limited to the
// 16-bit range. Results in the order Az, Ax, Ay.
std::array<int16_t, 3> gyrate(int16_t az, int16_t ax, int16_t ay, int16_t u, int16_t f, int16_t l) {
    const int64_t sx = sine(uint16_t(ax)), cx = cosine(uint16_t(ax));
    const int64_t sy = sine(uint16_t(ay)), cy = cosine(uint16_t(ay));
    const int64_t dx = (l * cy + u * sy) >> 15;
    const int64_t yaw_rate = (u * cy - l * sy) >> 15;  // times cos Ax
    int64_t dz;
    if (cx == 0) {
        dz = yaw_rate == 0 ? 0 : (yaw_rate > 0 ? 32767 : -32768);
    } else {
        dz = saturate((yaw_rate << 15) / cx);
    }
    const int64_t dy = saturate(f - ((dz * sx) >> 15));
    return {int16_t(az + dz), int16_t(ax + saturate(dx)), int16_t(ay + dy)};
}

// --- the projection
//
// World axes: X to the right, Y forward, Z up. The view looks along the
// unit vector d, turned by the azimuth Aas about Z and tilted by the zenith
// angle Azs away from straight down:
//     d = (sin Azs sin Aas, sin Azs cos Aas, -cos Azs)
// The screen's right is u = (cos Aas, -sin Aas, 0) and its downward
// direction w = (-cos Azs sin Aas, -cos Azs cos Aas, -sin Azs); d, u and w
// are orthonormal. The view axis passes through the focus point F; the
// screen's centre lies Lfe before F along the axis and the eye Les before
// the screen: E = F - (Lfe + Les) d.
//
// A point P is seen at H = Les (P - E).u / (P - E).d and
// V = Les (P - E).w / (P - E).d (screen lines down from the centre line);
// screen position (H, V) looks along r = Les d + H u + V w, which meets the
// ground Z = 0 at E - E_z r / r_z. Raster, Project and Target all follow
// from these, so Project and Target invert each other and Raster's line
// steps agree with Target along each line.
namespace {

struct View {
    // Unit vectors in Q30.
    int64_t dx, dy, dz;
    int64_t ux, uy;
    int64_t wx, wy, wz;
    // Eye position in 1/256 units.
    int64_t ex, ey, ez;
    int64_t les;
};

View make_view(const Projection& p) {
    const int64_t st = sine(uint16_t(p.azs)), ct = cosine(uint16_t(p.azs));
    const int64_t sa = sine(uint16_t(p.aas)), ca = cosine(uint16_t(p.aas));
    View v{};
    v.dx = st * sa;
    v.dy = st * ca;
    v.dz = -ct << 15;
    v.ux = ca << 15;
    v.uy = -sa << 15;
    v.wx = -ct * sa;
    v.wy = -ct * ca;
    v.wz = -st << 15;
    const int64_t back = int64_t(p.lfe) + p.les;
    v.ex = (int64_t(p.fx) << 8) - ((back * v.dx) >> 22);
    v.ey = (int64_t(p.fy) << 8) - ((back * v.dy) >> 22);
    v.ez = (int64_t(p.fz) << 8) - ((back * v.dz) >> 22);
    v.les = p.les;
    return v;
}

// Where the ray r (Q15 components) from the eye meets the ground, in whole
// units. A ray that does not go down reaches no ground: it is taken as
// going down by the smallest step, which saturates the result.
std::array<int16_t, 2> ground_point(const View& v, int64_t rx, int64_t ry, int64_t rz) {
    if (rz >= 0) rz = -1;
    const int64_t x = v.ex + (-v.ez * rx) / rz;
    const int64_t y = v.ey + (-v.ez * ry) / rz;
    return {saturate(x >> 8), saturate(y >> 8)};
}

}  // namespace

std::array<int16_t, 4> parameter(const Projection& p) {
    const View v = make_view(p);
    // The horizon: the line whose rays run level, Les dz + V wz = 0.
    int16_t vva = -32768;  // looking straight down: the horizon lies beyond every line
    if (v.wz != 0) vva = saturate(-(v.les * v.dz) / v.wz);
    // The focus point lies on the view axis, so it is seen on the centre
    // line: the offset of the centre line is 0.
    const int16_t vof = 0;
    // Where the view axis meets the ground (F itself when F lies on it).
    std::array<int16_t, 2> centre{p.fx, p.fy};
    if (v.dz < 0) centre = ground_point(v, v.dx >> 15, v.dy >> 15, v.dz >> 15);
    return {vof, vva, centre[0], centre[1]};
}

std::array<int16_t, 4> raster(const Projection& p, int16_t vs) {
    const View v = make_view(p);
    // Ray of the line's centre: r = Les d + Vs w, down-component in Q15.
    const int64_t rz = (v.les * v.dz + vs * v.wz) >> 15;
    if (rz >= 0 || v.ez <= 0) return {0, 0, 0, 0};  // above the horizon: no ground on this line
    // Ground units per screen pixel along the line (8.8): -E_z / r_z.
    const int64_t s = (v.ez << 15) / -rz;
    const int64_t ca = v.ux >> 15, sa = -(v.uy >> 15);
    // One pixel right moves s along u; one line down moves s toward the
    // viewer at the same scale.
    return {saturate((s * ca) >> 15), saturate((-s * sa) >> 15), saturate((-s * sa) >> 15), saturate((-s * ca) >> 15)};
}

std::array<int16_t, 3> project(const Projection& p, int16_t x, int16_t y, int16_t z) {
    const View v = make_view(p);
    const int64_t rx = (int64_t(x) << 8) - v.ex;
    const int64_t ry = (int64_t(y) << 8) - v.ey;
    const int64_t rz = (int64_t(z) << 8) - v.ez;
    const int64_t depth = (rx * v.dx + ry * v.dy + rz * v.dz) >> 30;  // 1/256 units
    if (depth <= 0) return {-32768, -32768, 0};  // behind the eye: off screen, no size
    const int64_t across = (rx * v.ux + ry * v.uy) >> 30;
    const int64_t down = (rx * v.wx + ry * v.wy + rz * v.wz) >> 30;
    // M: the enlargement Les / depth in 8.8.
    return {saturate(v.les * across / depth), saturate(v.les * down / depth), saturate((v.les << 16) / depth)};
}

std::array<int16_t, 2> target(const Projection& p, int16_t h, int16_t vline) {
    const View v = make_view(p);
    const int64_t rx = (v.les * v.dx + h * v.ux + vline * v.wx) >> 15;
    const int64_t ry = (v.les * v.dy + h * v.uy + vline * v.wy) >> 15;
    const int64_t rz = (v.les * v.dz + vline * v.wz) >> 15;
    return ground_point(v, rx, ry, rz);
}

}  // namespace vt::dsp1
