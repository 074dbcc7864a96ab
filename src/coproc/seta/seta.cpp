#include "coproc/seta/seta.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>
#include <utility>

#include "cart/cartridge_map.h"
#include "core/machine.h"

namespace vt {

namespace {

// --- constant tables

struct Tables {
    std::array<int16_t, 256> sine{};
    // T[y x 32 + x] = $80 OR the angle of (x, y) from the y axis in 256ths
    // of a turn: with the base and XOR of the angle command this gives the
    // angle in every quadrant (see angle()).
    std::array<uint8_t, 32 * 32> arctangent{};
    // Perspective scale: falls from 896 to 43 as 7904.6 / (i + 8.822).
    std::array<int16_t, 176> scale{};
};

Tables build_tables() {
    Tables t;
    for (int i = 0; i < 256; i++) {
        t.sine[size_t(i)] = int16_t(std::lround(32767.0 * std::sin(2.0 * std::numbers::pi * i / 256.0)));
    }
    for (int y = 0; y < 32; y++) {
        for (int x = 0; x < 32; x++) {
            const long steps = std::lround(std::atan2(double(x), double(y)) * 128.0 / std::numbers::pi);
            t.arctangent[size_t(y * 32 + x)] = uint8_t(0x80 | steps);
        }
    }
    for (int i = 0; i < 176; i++) t.scale[size_t(i)] = int16_t(std::lround(7904.6 / (i + 8.822)));
    return t;
}

const Tables kTables = build_tables();

// --- the shared RAM

uint8_t* ram(Machine& m) { return m.cart.sram.data(); }

uint16_t word_at(Machine& m, uint32_t offset) {
    const uint8_t* r = ram(m);
    return uint16_t(r[offset & kSetaRamMask] | r[(offset + 1) & kSetaRamMask] << 8);
}

void set_word(Machine& m, uint32_t offset, uint16_t v) {
    uint8_t* r = ram(m);
    r[offset & kSetaRamMask] = uint8_t(v);
    r[(offset + 1) & kSetaRamMask] = uint8_t(v >> 8);
}

void set_long(Machine& m, uint32_t offset, uint32_t v) {
    set_word(m, offset, uint16_t(v));
    set_word(m, offset + 2, uint16_t(v >> 16));
}

int16_t signed_at(Machine& m, uint32_t offset) { return int16_t(word_at(m, offset)); }

// a (x) b: the high word of 2ab.
int16_t product(int16_t a, int16_t b) { return int16_t(uint16_t(uint32_t(2 * int64_t(a) * b) >> 16)); }
uint32_t doubled_product(int16_t a, int16_t b) { return uint32_t(2 * int64_t(a) * b); }

// --- the commands

void command_nothing(Machine&) {}

// Angle of the vector (x, y) at $00/$02 into $10, 65,536 units a turn:
// (0, -) is 0, (-, 0) $4000, (0, +) $8000, (+, 0) $C000. The vector is
// folded into the first quadrant (the base remembers the quadrant), scaled
// down to the table's 32 x 32, and the table's entry XORed into the base's
// high byte.
uint16_t angle(Machine& m) {
    int32_t x = signed_at(m, 0x00), y = signed_at(m, 0x02);
    set_word(m, 0x06, uint16_t(y));
    uint16_t base = 0;
    uint16_t result;
    if (x == 0 && y != 0) {
        result = y > 0 ? 0x8000 : 0x0000;
    } else if (y == 0 && x != 0) {
        result = x > 0 ? 0xC000 : 0x4000;
    } else {
        if (x < 0 && y < 0) {
            base = 0x8000;
            x = -x;
            y = -y;
        } else if (x < 0) {
            base = 0xC000;
            x = -x;
            std::swap(x, y);
        } else if (y < 0) {
            base = 0x4000;
            y = -y;
            std::swap(x, y);
        }
        // Values are at most 32768 here (the negation is done in 32 bits).
        while (x >= 32 || y >= 32) {
            if (x > 1) x >>= 1;
            if (y > 1) y >>= 1;
        }
        uint16_t r = y == 0 ? uint16_t(base + 0x4000) : base;
        result = uint16_t(r ^ (kTables.arctangent[size_t(y * 32 + x)] << 8));
    }
    set_word(m, 0x00, uint16_t(x));
    set_word(m, 0x02, uint16_t(y));
    set_word(m, 0x04, base);
    set_word(m, 0x10, result);
    return result;
}

void command_angle(Machine& m) { angle(m); }

// Sort count entries (at most the 32 key words at $40 before the values
// at $80) by key, descending: bubble passes, each one pair shorter, until a
// pass exchanges nothing.
void command_sort(Machine& m) {
    const int count = std::min<int>(word_at(m, 0x24), 32);
    for (int length = count - 1; length > 0; length--) {
        bool exchanged = false;
        for (int i = 0; i < length; i++) {
            const uint32_t k = 0x40 + 2 * uint32_t(i), v = 0x80 + 2 * uint32_t(i);
            if (signed_at(m, k) < signed_at(m, k + 2)) {
                const uint16_t key = word_at(m, k), value = word_at(m, v);
                set_word(m, k, word_at(m, k + 2));
                set_word(m, k + 2, key);
                set_word(m, v, word_at(m, v + 2));
                set_word(m, v + 2, value);
                exchanged = true;
            }
        }
        if (!exchanged) break;
    }
}

void command_scale_vector(Machine& m) {
    const int16_t s = signed_at(m, 0x04);
    set_long(m, 0x10, doubled_product(signed_at(m, 0x00), s));
    set_long(m, 0x14, doubled_product(signed_at(m, 0x02), s));
}

// y x 31472 / 32768, rounded.
void command_fixed_scale(Machine& m) {
    const int64_t v = 2 * (int64_t(signed_at(m, 0x02)) * 31472 + 16384);
    set_word(m, 0x10, uint16_t(uint32_t(v) >> 16));
}

// Steering towards a target. Own position ($C0, $C2), target ($C4, $C6),
// heading ($C8) and the largest turn per call ($CA, unsigned; 0: no limit).
// The direction to the target is the angle command's on the difference
// (so $00-$06 and $10 hold its work); the heading turns towards it by the
// shorter way, at most by the limit. Results: new heading at $C8, the turn
// made at $CC, the direction to the target at $CE.
void command_steer(Machine& m) {
    set_word(m, 0x00, uint16_t(word_at(m, 0xC4) - word_at(m, 0xC0)));
    set_word(m, 0x02, uint16_t(word_at(m, 0xC6) - word_at(m, 0xC2)));
    const uint16_t wanted = angle(m);
    const uint16_t heading = word_at(m, 0xC8);
    int32_t turn = int16_t(uint16_t(wanted - heading));
    const int32_t limit = word_at(m, 0xCA);
    if (limit != 0) turn = std::clamp(turn, -limit, limit);
    set_word(m, 0xC8, uint16_t(heading + turn));
    set_word(m, 0xCC, uint16_t(turn));
    set_word(m, 0xCE, wanted);
}

void command_multiply(Machine& m) { set_long(m, 0x10, doubled_product(signed_at(m, 0x00), signed_at(m, 0x02))); }

// Four 176-word tables of a direction at every distance of the scale table.
void command_build_tables(Machine& m) {
    const uint8_t a = ram(m)[0x01];
    const int16_t sine = kTables.sine[a], cosine = kTables.sine[uint8_t(a + 64)];
    for (uint32_t i = 0; i < 176; i++) {
        const int16_t s = product(kTables.scale[i], sine);
        const int16_t c = product(kTables.scale[i], cosine);
        set_word(m, 0x250 + 2 * i, uint16_t(s));
        set_word(m, 0x3B0 + 2 * i, s != 0 ? uint16_t(~s) : 0);
        set_word(m, 0x0F0 + 2 * i, uint16_t(c));
        set_word(m, 0x510 + 2 * i, uint16_t(c));
    }
}

void command_rotate(Machine& m) {
    const uint8_t a = ram(m)[0x05];
    const int16_t s = kTables.sine[a], c = kTables.sine[uint8_t(a + 64)];
    const int16_t x = signed_at(m, 0x00), y = signed_at(m, 0x02);
    set_word(m, 0x10, uint16_t(product(y, s) + product(x, c)));
    set_word(m, 0x12, uint16_t(product(y, c) - product(x, s)));
}

constexpr std::array<void (*)(Machine&), 9> kCommands = {
    &command_nothing,      &command_angle, &command_sort,     &command_scale_vector, &command_fixed_scale,
    &command_steer,        &command_multiply, &command_build_tables, &command_rotate,
};

uint8_t ram_read(Machine& m, uint8_t, uint16_t addr) {
    m.timing.line_clock += 1;
    const uint8_t v = ram(m)[addr & kSetaRamMask];
    m.mem.open_bus = v;
    return v;
}

int ram_peek(const Machine& m, uint8_t, uint16_t addr) { return m.cart.sram[addr & kSetaRamMask]; }

// A write with the start bit set runs the command at once; the command
// word then reads 0. Numbers past the nine commands run nothing.
void ram_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    m.timing.line_clock += 1;
    ram(m)[addr & kSetaRamMask] = value;
    if (!(ram(m)[kSetaStart] & 0x80)) return;
    const uint8_t command = ram(m)[kSetaCommand];
    if (command < kCommands.size()) kCommands[command](m);
    set_word(m, kSetaCommand, 0);
}

constexpr MemoryWindow kRamWindow{&ram_read, &ram_write, &ram_peek};

}  // namespace

void seta_map(Machine& m) {
    install_loader_banks(m, 0x68, 0x6F, 0, kRamWindow);
    install_loader_banks(m, 0xE8, 0xEF, 0, kRamWindow);
}

int16_t seta_sine(int i) { return kTables.sine[size_t(i & 255)]; }
uint8_t seta_arctangent(int x, int y) { return kTables.arctangent[size_t((y & 31) * 32 + (x & 31))]; }
int16_t seta_scale(int i) { return kTables.scale[size_t(std::clamp(i, 0, 175))]; }

}  // namespace vt
