#include "coproc/dsp/dsp3.h"

#include <algorithm>
#include <cstdio>

#include "coproc/dsp/dsp_port.h"
#include "coproc/unknown_command_log.h"
#include "core/machine.h"

namespace vt {

namespace {

// --- the data ROM: the direction steps of the hexagonal map grid at $3B2,
// two words (y step, x step) per direction, clockwise from north. The
// columns are staggered: an odd column sits half a cell lower, which the
// grid step corrects for (see grid_step).
constexpr int kDirectionTable = 0x3B2;

std::array<uint16_t, 1024> build_rom() {
    std::array<uint16_t, 1024> rom{};
    constexpr int16_t kSteps[6][2] = {{-1, 0}, {-1, 1}, {0, 1}, {1, 0}, {0, -1}, {-1, -1}};
    for (int d = 0; d < 6; d++) {
        rom[size_t(kDirectionTable + 2 * d)] = uint16_t(kSteps[d][0]);
        rom[size_t(kDirectionTable + 2 * d + 1)] = uint16_t(kSteps[d][1]);
    }
    return rom;
}

const std::array<uint16_t, 1024> kRom = build_rom();

// Bit 15 of a map offset repeats bit 14.
uint16_t map_offset(int x, int y, int width) {
    const uint16_t v = uint16_t(y * width + x);
    return uint16_t((v & 0x7FFF) | ((v & 0x4000) << 1));
}

// --- port helpers

void wait_for_command(Dsp3& d, DspPort& p) {
    d.step = 0;
    dsp_port_idle(p);
}

void give(DspPort& p, uint16_t word) {
    p.dr = word;
    dsp_port_words(p);
}

// --- the commands. Each is called once per completed transfer while it
// runs; `step` 1 is the transfer right after the command byte.

// $02: three transfers passed over, then rounds of: take a, take b, give 1,
// a and b, pass over two transfers; the round ends the command when DR
// then holds $FFFF.
void command_02(Dsp3& d, DspPort& p) {
    switch (d.step) {
        case 1:  // passing over the first three transfers
            if (++d.count == 3) d.step = 2;
            return;
        case 2:
            d.words[0] = p.dr;
            d.step = 3;
            return;
        case 3:
            d.words[1] = p.dr;
            give(p, 1);
            d.step = 4;
            return;
        case 4:
            give(p, d.words[0]);
            d.step = 5;
            return;
        case 5:
            give(p, d.words[1]);
            d.step = 6;
            return;
        case 6:  // b has been read; two transfers are passed over
            d.step = 7;
            return;
        case 7:
            d.step = 8;
            return;
        default:
            if (p.dr == 0xFFFF) {
                wait_for_command(d, p);
            } else {
                d.step = 2;
            }
            return;
    }
}

// $03: position word (x low, y high) to its map offset.
void command_03(Dsp3& d, DspPort& p) {
    if (d.step == 1) {
        give(p, map_offset(p.dr & 0xFF, p.dr >> 8, d.width));
        d.step = 2;
        return;
    }
    wait_for_command(d, p);
}

// $06: the map's width (low byte) and height (high byte).
void command_06(Dsp3& d, DspPort& p) {
    d.width = uint8_t(p.dr);
    d.height = uint8_t(p.dr >> 8);
    wait_for_command(d, p);
}

// Wraps a coordinate onto a map of `size` cells.
int wrap(int v, int size) {
    if (v < 0) v += size;
    if (v >= size) v -= size;
    return v;
}

// $07: one step on the map grid in direction d from a position; gives the
// new position (y high, x low) and its map offset.
void command_07(Dsp3& d, DspPort& p) {
    switch (d.step) {
        case 1: {
            const size_t i = size_t((2 * p.dr + kDirectionTable) & 0x3FF);
            d.words[0] = kRom[i];      // y step
            d.words[1] = kRom[i + 1];  // x step
            dsp_port_words(p);
            d.step = 2;
            return;
        }
        case 2: {
            const int x = p.dr & 0xFF, y = p.dr >> 8;
            int ystep = int16_t(d.words[0]);
            const int xstep = int16_t(d.words[1]);
            if (x & 1) ystep += xstep & 1;  // odd columns sit half a cell lower
            const int nx = wrap(int16_t(uint16_t(xstep + x)), d.width);
            const int ny = wrap(int16_t(uint16_t(ystep + y)), d.height);
            d.results[0] = uint16_t(ny * 256 + nx);
            d.results[1] = map_offset(nx, ny, d.width);
            give(p, d.results[0]);
            d.step = 3;
            return;
        }
        case 3:
            give(p, d.results[1]);
            d.step = 4;
            return;
        default:
            wait_for_command(d, p);
            return;
    }
}

// $0F: takes one word, gives 0.
void command_0f(Dsp3& d, DspPort& p) {
    if (d.step == 1) {
        give(p, 0);
        d.step = 2;
        return;
    }
    wait_for_command(d, p);
}

// The eight bytes of four words, bit-plane transposed: byte k of the
// result holds bit k of byte 0 in bit 7, bit k of byte 1 in bit 6, ...
std::array<uint16_t, 4> transpose(const std::array<uint16_t, 4>& words) {
    uint8_t in[8], out[8] = {};
    for (int i = 0; i < 4; i++) {
        in[2 * i] = uint8_t(words[size_t(i)]);
        in[2 * i + 1] = uint8_t(words[size_t(i)] >> 8);
    }
    for (int k = 0; k < 8; k++) {
        for (int i = 0; i < 8; i++) {
            if (in[i] & (1 << k)) out[k] |= uint8_t(0x80 >> i);
        }
    }
    std::array<uint16_t, 4> result{};
    for (int i = 0; i < 4; i++) result[size_t(i)] = uint16_t(out[2 * i] | out[2 * i + 1] << 8);
    return result;
}

// $18: a count n, then n blocks of four words in, four words out.
void command_18(Dsp3& d, DspPort& p) {
    switch (d.step) {
        case 1:  // the count
            d.count = p.dr;
            d.index = 0;
            d.step = 2;
            if (d.count == 0) wait_for_command(d, p);
            return;
        case 2:  // a block's words
            d.words[d.index++] = p.dr;
            if (d.index < 4) return;
            d.results = transpose(d.words);
            d.index = 0;
            give(p, d.results[0]);
            d.step = 3;
            return;
        default:  // a block's results
            if (++d.index < 4) {
                give(p, d.results[d.index]);
                return;
            }
            d.index = 0;
            d.step = 2;
            if (--d.count == 0) wait_for_command(d, p);
            return;
    }
}

// $1F, $3F: takes one word, then gives the 1,024 data ROM words.
void command_rom_dump(Dsp3& d, DspPort& p) {
    if (d.step == 1) {
        d.index = 0;
        give(p, kRom[0]);
        d.step = 2;
        return;
    }
    if (++d.index < kRom.size()) {
        give(p, kRom[d.index]);
        return;
    }
    wait_for_command(d, p);
}

// $2F: takes one word, gives $0300.
void command_2f(Dsp3& d, DspPort& p) {
    if (d.step == 1) {
        give(p, 0x0300);
        d.step = 2;
        return;
    }
    wait_for_command(d, p);
}

// --- $38: the variable-length decoder. Bits are taken most significant
// first from words the main CPU supplies when the decoder runs short (the
// status shows $C0 while it waits for one).

enum Dsp3DecodeStep : uint8_t {
    kDecodeTableSize,
    kDecodeSymbolCount,
    kDecodeEntryCode,   // 2 bits: how the next symbol table entry follows from the last
    kDecodeEntryValue,  // the bits that go with the code
    kDecodeGroupMode,   // 1 bit: 4 or 8 groups
    kDecodeGroupLength, // 3 bits per group: its length - 1
    kDecodeSelector,    // a symbol: its group
    kDecodeOffset,      // its place within the group
    kDecodeLiteralWidth,
    kDecodeLiteral,
    kDecodeDone,
};

// Extra bits after each entry code: 0: a new value, 1: +1, 2: +2 and 1
// bit, 3: +4 and 4 bits.
constexpr uint8_t kEntryBits[4] = {9, 0, 1, 4};

// True when n bits are there; else asks the main CPU for a word.
bool have_bits(Dsp3Decoder& dec, DspPort& p, int n) {
    if (dec.bit_count >= n) return true;
    dec.awaiting_word = true;
    dsp_port_words(p, kDspUsf1);
    return false;
}

uint16_t take_bits(Dsp3Decoder& dec, int n) {
    dec.bit_count = uint8_t(dec.bit_count - n);
    return uint16_t((dec.bits >> dec.bit_count) & ((1u << n) - 1));
}

// Runs the decoder until it needs a word or has a result in DR.
void decode(Dsp3& d, DspPort& p) {
    Dsp3Decoder& dec = d.decoder;
    for (;;) {
        switch (dec.step) {
            case kDecodeEntryCode:
                if (dec.entry >= dec.table_size) {
                    dec.step = kDecodeGroupMode;
                    break;
                }
                if (!have_bits(dec, p, 2)) return;
                dec.code = uint8_t(take_bits(dec, 2));
                dec.step = kDecodeEntryValue;
                break;
            case kDecodeEntryValue: {
                const int n = kEntryBits[dec.code & 3];
                if (!have_bits(dec, p, n)) return;
                const uint16_t extra = take_bits(dec, n);
                static constexpr uint16_t kAdd[4] = {0, 1, 2, 4};
                dec.value = (dec.code & 3) == 0 ? extra : uint16_t(dec.value + kAdd[dec.code & 3] + extra);
                // Entries past the table's room are counted but not kept.
                if (dec.entry < kDsp3SymbolTableSize) dec.table[dec.entry] = dec.value;
                dec.entry++;
                dec.step = kDecodeEntryCode;
                break;
            }
            case kDecodeGroupMode:
                if (!have_bits(dec, p, 1)) return;
                dec.group_bits = take_bits(dec, 1) ? 3 : 2;
                dec.group = 0;
                dec.next_base = 0;
                dec.step = kDecodeGroupLength;
                break;
            case kDecodeGroupLength:
                if (dec.group == (1 << dec.group_bits)) {
                    dec.step = kDecodeSelector;
                    break;
                }
                if (!have_bits(dec, p, 3)) return;
                dec.lengths[dec.group] = uint8_t(take_bits(dec, 3) + 1);
                dec.bases[dec.group] = dec.next_base;
                dec.next_base = uint16_t(dec.next_base + (1 << dec.lengths[dec.group]));
                dec.group++;
                break;
            case kDecodeSelector:
                if (dec.symbols_left == 0) {
                    dec.step = kDecodeDone;
                    wait_for_command(d, p);
                    return;
                }
                if (!have_bits(dec, p, dec.group_bits)) return;
                dec.group = uint8_t(take_bits(dec, dec.group_bits));
                dec.step = kDecodeOffset;
                break;
            case kDecodeOffset: {
                if (!have_bits(dec, p, dec.lengths[dec.group & 7])) return;
                const uint32_t entry = uint32_t(dec.bases[dec.group & 7]) + take_bits(dec, dec.lengths[dec.group & 7]);
                const uint16_t symbol = entry < kDsp3SymbolTableSize ? dec.table[entry] : 0;
                if (symbol < 0x100) {
                    dec.symbols_left--;
                    dec.step = kDecodeSelector;
                    give(p, symbol);
                } else {
                    dec.step = kDecodeLiteralWidth;
                    give(p, uint16_t(symbol + 0x7F02));
                }
                return;
            }
            case kDecodeLiteralWidth:
                if (!have_bits(dec, p, 1)) return;
                dec.literal_bits = take_bits(dec, 1) ? 12 : 8;
                dec.step = kDecodeLiteral;
                break;
            case kDecodeLiteral:
                if (!have_bits(dec, p, dec.literal_bits)) return;
                dec.symbols_left--;
                dec.step = kDecodeSelector;
                give(p, take_bits(dec, dec.literal_bits));
                return;
            default:
                wait_for_command(d, p);
                return;
        }
    }
}

void command_38(Dsp3& d, DspPort& p) {
    Dsp3Decoder& dec = d.decoder;
    if (d.step == 1) {  // the table size
        dec = Dsp3Decoder{};
        dec.table_size = p.dr;
        d.step = 2;
        return;
    }
    if (d.step == 2) {  // the symbol count; then the bits
        dec.symbols_left = p.dr;
        dec.step = kDecodeEntryCode;
        d.step = 3;
    } else if (dec.awaiting_word) {
        // The decoder waits with fewer than 9 bits left; a damaged state may
        // claim more, and the buffer holds 32.
        dec.bit_count = uint8_t(std::min<int>(dec.bit_count, 16) + 16);
        dec.bits = (dec.bits << 16) | p.dr;
        dec.awaiting_word = false;
        dsp_port_words(p);
    }
    decode(d, p);
}

using Routine = void (*)(Dsp3& d, DspPort& p);

constexpr std::array<Routine, 0x40> kRoutines = [] {
    std::array<Routine, 0x40> t{};
    t[0x02] = &command_02;
    t[0x03] = &command_03;
    t[0x06] = &command_06;
    t[0x07] = &command_07;
    t[0x0F] = &command_0f;
    t[0x18] = &command_18;
    t[0x1F] = &command_rom_dump;
    t[0x2F] = &command_2f;
    t[0x38] = &command_38;
    t[0x3F] = &command_rom_dump;
    return t;
}();

// The command byte has arrived: its routine starts with the next transfer.
void take_command(Machine& m, Dsp3& d, DspPort& p) {
    const uint8_t command = uint8_t(p.dr);
    if (command >= 0x40) {
        wait_for_command(d, p);
        return;
    }
    if (!kRoutines[command]) {
        log_unknown_command(m, "DSP3", command);
        wait_for_command(d, p);
        return;
    }
    d.command = command;
    d.step = 1;
    d.count = 0;
    d.index = 0;
    p.sr = kDspStatusWords;
}

}  // namespace

const std::array<uint16_t, 1024>& dsp3_data_rom() { return kRom; }

void dsp3_resume(Machine& m) {
    Dsp3& d = m.dsp_family.dsp3;
    DspPort& p = m.dsp_family.port;
    if (d.step == 0) {
        take_command(m, d, p);
    } else {
        kRoutines[d.command](d, p);
    }
}

template <class Io>
void dsp3_state_io(Io& io, IoMachine<Io>& m) {
    auto& d = m.dsp_family.dsp3;
    io.u8_masked(d.command, 0x3F);
    io.u8(d.step);
    io.u16(d.count);
    io.u16(d.index);
    for (auto& w : d.words) io.u16(w);
    for (auto& w : d.results) io.u16(w);
    io.u8(d.width);
    io.u8(d.height);
    auto& dec = d.decoder;
    io.u8(dec.step);
    io.u32(dec.bits);
    io.u8_masked(dec.bit_count, 31);
    uint8_t awaiting = dec.awaiting_word;
    io.u8(awaiting);
    io.u16(dec.table_size);
    io.u16(dec.symbols_left);
    io.u16(dec.entry);
    io.u16(dec.value);
    io.u8_masked(dec.code, 3);
    io.u8(dec.group_bits);
    io.u8(dec.group);
    io.u8(dec.literal_bits);
    io.bytes(dec.lengths);
    for (auto& b : dec.bases) io.u16(b);
    io.u16(dec.next_base);
    for (auto& v : dec.table) io.u16(v);
    if constexpr (Io::loading) {
        dec.awaiting_word = awaiting != 0;
        // Keep every index inside its table, whatever the file held.
        if (!kRoutines[d.command]) d.step = 0;
        d.step = std::min<uint8_t>(d.step, 8);
        d.index = std::min<uint16_t>(d.index, d.command == 0x1F || d.command == 0x3F ? 1023 : 3);
        dec.step = std::min<uint8_t>(dec.step, kDecodeDone);
        dec.group_bits = dec.group_bits == 3 ? 3 : 2;
        dec.group = std::min<uint8_t>(dec.group, uint8_t(1 << dec.group_bits));
        if (dec.step != kDecodeGroupLength) dec.group &= uint8_t((1 << dec.group_bits) - 1);
        for (auto& len : dec.lengths) len = uint8_t(std::clamp<int>(len, 1, 8));
        dec.literal_bits = dec.literal_bits == 12 ? 12 : 8;
        dec.bits &= (dec.bit_count == 0) ? 0u : uint32_t((uint64_t(1) << dec.bit_count) - 1);
    }
}

template void dsp3_state_io<StateWriter>(StateWriter&, const Machine&);
template void dsp3_state_io<StateReader>(StateReader&, Machine&);

}  // namespace vt
