// Little-endian integers in saved states and other files: loose values at a
// pointer, and cursors that write or read a buffer front to back.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace vt {

inline void put_le16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

inline void put_le32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = uint8_t(v >> (8 * i));
}

inline uint16_t get_le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }

inline uint32_t get_le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

struct ByteWriter {
    uint8_t* p;
    void u8(uint8_t v) { *p++ = v; }
    void u16(uint16_t v) {
        put_le16(p, v);
        p += 2;
    }
    void u32(uint32_t v) {
        put_le32(p, v);
        p += 4;
    }
    void i32(int32_t v) { u32(uint32_t(v)); }
    template <size_t N>
    void bytes(const std::array<uint8_t, N>& a) {
        p = std::copy(a.begin(), a.end(), p);
    }
};

struct ByteReader {
    const uint8_t* p;
    uint8_t u8() { return *p++; }
    uint16_t u16() {
        const uint16_t v = get_le16(p);
        p += 2;
        return v;
    }
    uint32_t u32() {
        const uint32_t v = get_le32(p);
        p += 4;
        return v;
    }
    int32_t i32() { return int32_t(u32()); }
    template <size_t N>
    void bytes(std::array<uint8_t, N>& a) {
        std::copy(p, p + N, a.begin());
        p += N;
    }
};

}  // namespace vt
