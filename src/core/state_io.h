// Save-state layouts written once for both directions. Each chunk is a
// function template over an `Io` that is either a StateWriter or a
// StateReader:
//
//     template <class Io>
//     void dma_state_io(Io& io, IoMachine<Io>& m) {
//         io.bytes(m.dma.regs);
//         if constexpr (Io::loading) dma_refresh(m);
//     }
//
// With a writer the machine is const and every call appends the field;
// with a reader every call reads the same bytes back into the same field.
// So the order of the fields, their widths and the chunk's length cannot
// differ between saving and loading. A value that is only computed on the
// way out (a packed status byte) goes through a local variable, and
// whatever must be re-derived after a load sits under `Io::loading`.
//
// The bounded reads (`_within`, `_masked`) keep a damaged file from
// putting a value where the emulation never has one (an index past a
// buffer, a period that stalls a loop); the writer stores values as they
// are, so a state from a healthy machine reads back unchanged.
//
// Both cursors trust their caller for the buffer's size: the chunk reader
// checks every chunk's length against its layout before anything is read.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "core/byte_stream.h"

namespace vt {

struct Machine;

struct StateWriter {
    static constexpr bool loading = false;
    uint8_t* p;

    void u8(uint8_t v) { *p++ = v; }
    void u16(uint16_t v) {
        put_le16(p, v);
        p += 2;
    }
    // The low three bytes, low first (a 24-bit address or product).
    void u24(uint32_t v) {
        u8(uint8_t(v));
        u8(uint8_t(v >> 8));
        u8(uint8_t(v >> 16));
    }
    void u32(uint32_t v) {
        put_le32(p, v);
        p += 4;
    }
    void i16(int16_t v) { u16(uint16_t(v)); }
    void i32(int32_t v) { u32(uint32_t(v)); }
    template <size_t N>
    void bytes(const std::array<uint8_t, N>& a) {
        p = std::copy(a.begin(), a.end(), p);
    }
    template <size_t N>
    void bytes(const uint8_t (&a)[N]) {
        p = std::copy(a, a + N, p);
    }

    // Bounded fields are written as they are.
    void u8_masked(uint8_t v, uint8_t) { u8(v); }
    void u16_masked(uint16_t v, uint16_t) { u16(v); }
    void u32_at_most(uint32_t v, uint32_t) { u32(v); }
    void i16_within(int16_t v, int32_t, int32_t) { i16(v); }
    void i32_within(int32_t v, int32_t, int32_t) { i32(v); }
    // An enumeration stored as its number.
    template <class E>
    void enum8(E v, uint8_t, E) {
        u8(uint8_t(v));
    }
};

struct StateReader {
    static constexpr bool loading = true;
    const uint8_t* p;

    void u8(uint8_t& v) { v = *p++; }
    void u16(uint16_t& v) {
        v = get_le16(p);
        p += 2;
    }
    void u24(uint32_t& v) {
        v = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16;
        p += 3;
    }
    void u32(uint32_t& v) {
        v = get_le32(p);
        p += 4;
    }
    void i16(int16_t& v) {
        v = int16_t(get_le16(p));
        p += 2;
    }
    void i32(int32_t& v) {
        v = int32_t(get_le32(p));
        p += 4;
    }
    template <size_t N>
    void bytes(std::array<uint8_t, N>& a) {
        std::copy(p, p + N, a.begin());
        p += N;
    }
    template <size_t N>
    void bytes(uint8_t (&a)[N]) {
        std::copy(p, p + N, a);
        p += N;
    }

    void u8_masked(uint8_t& v, uint8_t mask) {
        u8(v);
        v &= mask;
    }
    void u16_masked(uint16_t& v, uint16_t mask) {
        u16(v);
        v &= mask;
    }
    void u32_at_most(uint32_t& v, uint32_t most) {
        u32(v);
        v = std::min(v, most);
    }
    void i16_within(int16_t& v, int32_t low, int32_t high) {
        i16(v);
        v = int16_t(std::clamp<int32_t>(v, low, high));
    }
    void i32_within(int32_t& v, int32_t low, int32_t high) {
        i32(v);
        v = std::clamp(v, low, high);
    }
    // A number at or past `count` becomes `fallback`.
    template <class E>
    void enum8(E& v, uint8_t count, E fallback) {
        uint8_t n;
        u8(n);
        v = n < count ? E(n) : fallback;
    }
};

// The machine as a layout sees it: const while saving.
template <class Io>
using IoMachine = std::conditional_t<Io::loading, Machine, const Machine>;

}  // namespace vt
