#include "coproc/dsp/dsp2.h"

#include <algorithm>

#include "coproc/dsp/dsp_port.h"
#include "core/machine.h"

namespace vt {

namespace {

uint8_t high_nibble(uint8_t b) { return uint8_t(b >> 4); }
uint8_t low_nibble(uint8_t b) { return uint8_t(b & 15); }

// Pixel `index` of a packed row: even pixels are high nibbles. Pixels past
// the row's bytes read as 0.
uint8_t packed_pixel(const uint8_t* row, int bytes, int index) {
    if (index / 2 >= bytes) return 0;
    const uint8_t b = row[index / 2];
    return (index & 1) ? low_nibble(b) : high_nibble(b);
}

// --- the routines: parameters in d.in, results into d.out; each returns
// the number of result bytes.

// $01: an 8 x 8 tile of packed pixels (8 rows of 4 bytes) to the console's
// 4-bit character format: planes 0 and 1 of row r at bytes 2r and 2r + 1,
// planes 2 and 3 at 16 + 2r and 17 + 2r, the left pixel in bit 7.
int convert_tile(Dsp2& d) {
    std::fill(d.out.begin(), d.out.begin() + 32, 0);
    for (int r = 0; r < 8; r++) {
        for (int x = 0; x < 8; x++) {
            const uint8_t pixel = packed_pixel(&d.in[size_t(4 * r)], 4, x);
            const uint8_t bit = uint8_t(0x80 >> x);
            static constexpr int kPlaneOffset[4] = {0, 1, 16, 17};
            for (int plane = 0; plane < 4; plane++) {
                if (pixel & (1 << plane)) d.out[size_t(kPlaneOffset[plane] + 2 * r)] |= bit;
            }
        }
    }
    return 32;
}

// $03: the transparent colour.
int set_transparent(Dsp2& d) {
    d.transparent = low_nibble(d.in[0]);
    return 0;
}

// $05: n old bytes overlaid by n new bytes; a new nibble equal to the
// transparent colour lets the old one show.
int overlay(Dsp2& d) {
    const int n = d.in[0];
    const uint8_t* old_bytes = &d.in[1];
    const uint8_t* new_bytes = &d.in[size_t(1 + n)];
    for (int i = 0; i < n; i++) {
        const uint8_t o = old_bytes[i], w = new_bytes[i];
        const uint8_t high = high_nibble(w) == d.transparent ? high_nibble(o) : high_nibble(w);
        const uint8_t low = low_nibble(w) == d.transparent ? low_nibble(o) : low_nibble(w);
        d.out[size_t(i)] = uint8_t(high << 4 | low);
    }
    return n;
}

// $06: n bytes mirrored: reverse order, the two pixels of each exchanged.
int mirror(Dsp2& d) {
    const int n = d.in[0];
    for (int i = 0; i < n; i++) {
        const uint8_t b = d.in[size_t(n - i)];
        d.out[size_t(i)] = uint8_t(low_nibble(b) << 4 | high_nibble(b));
    }
    return n;
}

// $09: signed 16 x 16 product, 32 bits, least significant byte first.
int multiply(Dsp2& d) {
    const int16_t a = int16_t(d.in[0] | d.in[1] << 8);
    const int16_t b = int16_t(d.in[2] | d.in[3] << 8);
    const uint32_t p = uint32_t(int32_t(a) * int32_t(b));
    for (int i = 0; i < 4; i++) d.out[size_t(i)] = uint8_t(p >> (8 * i));
    return 4;
}

// $0D: a row of in-width pixels scaled to out-width pixels; output pixel j
// takes input pixel j x in-width / out-width (16-bit product).
int scale(Dsp2& d) {
    const int in_width = d.in[0], out_width = d.in[1];
    const int in_bytes = (in_width + 1) / 2, out_bytes = (out_width + 1) / 2;
    const uint8_t* row = &d.in[2];
    for (int k = 0; k < out_bytes; k++) {
        uint8_t pair[2];
        for (int half = 0; half < 2; half++) {
            const int j = 2 * k + half;
            const int source = uint16_t(j * in_width) / out_width;
            pair[half] = packed_pixel(row, in_bytes, source);
        }
        d.out[size_t(k)] = uint8_t(pair[0] << 4 | pair[1]);
    }
    return out_bytes;
}

struct Command {
    int (*run)(Dsp2& d) = nullptr;  // null: the command does nothing
    uint8_t fixed = 0;              // parameter bytes before any counted run
    // Parameter bytes in all, from the fixed ones already taken.
    uint16_t (*total)(const Dsp2& d) = nullptr;
};

uint16_t fixed_only(const Dsp2&) { return 0; }
uint16_t overlay_total(const Dsp2& d) { return uint16_t(1 + 2 * d.in[0]); }
uint16_t mirror_total(const Dsp2& d) { return uint16_t(1 + d.in[0]); }
uint16_t scale_total(const Dsp2& d) { return uint16_t(2 + (d.in[0] + 1) / 2); }

// Commands $00-$0E; the ones left empty do nothing.
constexpr std::array<Command, 15> kCommands = [] {
    std::array<Command, 15> t{};
    t[0x01] = {&convert_tile, 32, &fixed_only};
    t[0x03] = {&set_transparent, 1, &fixed_only};
    t[0x05] = {&overlay, 1, &overlay_total};
    t[0x06] = {&mirror, 1, &mirror_total};
    t[0x09] = {&multiply, 4, &fixed_only};
    t[0x0D] = {&scale, 2, &scale_total};
    return t;
}();

uint16_t parameters_needed(const Dsp2& d) {
    const Command& c = kCommands[d.command];
    if (d.taken < c.fixed) return c.fixed;
    return std::max<uint16_t>(c.fixed, c.total(d));
}

void wait_for_command(Dsp2& d, DspPort& p) {
    d.phase = Dsp2Phase::Command;
    d.taken = d.given = d.result_count = 0;
    dsp_port_idle(p);
}

void finish_parameters(Dsp2& d, DspPort& p) {
    d.result_count = uint16_t(kCommands[d.command].run(d));
    d.given = 0;
    if (d.result_count == 0) {
        wait_for_command(d, p);
        return;
    }
    d.phase = Dsp2Phase::Results;
    p.dr = d.out[0];
}

void take_command(Dsp2& d, DspPort& p) {
    const uint8_t command = uint8_t(p.dr);
    if (command >= kCommands.size() || !kCommands[command].run) {
        wait_for_command(d, p);  // ignored, or a command that does nothing
        return;
    }
    d.command = command;
    d.phase = Dsp2Phase::Parameters;
    d.taken = 0;
}

void take_parameter(Dsp2& d, DspPort& p) {
    d.in[d.taken++] = uint8_t(p.dr);
    if (d.taken < parameters_needed(d)) return;
    finish_parameters(d, p);
}

void next_result(Dsp2& d, DspPort& p) {
    if (++d.given < d.result_count) {
        p.dr = d.out[d.given];
        return;
    }
    wait_for_command(d, p);
}

}  // namespace

void dsp2_resume(Machine& m) {
    Dsp2& d = m.dsp_family.dsp2;
    DspPort& p = m.dsp_family.port;
    switch (d.phase) {
        case Dsp2Phase::Command: take_command(d, p); break;
        case Dsp2Phase::Parameters: take_parameter(d, p); break;
        case Dsp2Phase::Results: next_result(d, p); break;
    }
}

template <class Io>
void dsp2_state_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.dsp_family.dsp2;
    io.enum8(d.phase, 3, Dsp2Phase::Command);
    io.u8(d.command);
    io.u16(d.taken);
    io.u16(d.given);
    io.u16(d.result_count);
    io.bytes(d.in);
    io.bytes(d.out);
    io.u8_masked(d.transparent, 15);
    if constexpr (Io::loading) {
        // A damaged file cannot leave the interpreter outside its buffers.
        if (d.command >= kCommands.size() || !kCommands[d.command].run) d.phase = Dsp2Phase::Command;
        if (d.phase == Dsp2Phase::Command) d.taken = d.given = d.result_count = 0;
        if (d.phase == Dsp2Phase::Parameters) {
            d.taken = std::min<uint16_t>(d.taken, uint16_t(parameters_needed(d) - 1));
        }
        if (d.phase == Dsp2Phase::Results) {
            d.result_count = std::clamp<uint16_t>(d.result_count, 1, uint16_t(d.out.size()));
            d.given = std::min<uint16_t>(d.given, uint16_t(d.result_count - 1));
        }
    }
}

template void dsp2_state_io<StateWriter>(StateWriter&, const Machine&);
template void dsp2_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
