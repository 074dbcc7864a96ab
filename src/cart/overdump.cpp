#include "cart/overdump.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "cart/rom_layout.h"

namespace vt {

namespace {

struct Windows {
    const Cartridge& c;
    uint32_t length;  // 32 KiB (upper half of the slot) or 64 KiB
    std::array<int8_t, kRomSlotCount> filler_cache;

    explicit Windows(const Cartridge& cart)
        : c(cart), length(slots_hold_64k(cart) ? kRomSlotSize : kBlockSize) {
        filler_cache.fill(-1);
    }

    const uint8_t* window(uint32_t slot) const {
        return c.rom.data() + size_t(slot) * kRomSlotSize + (kRomSlotSize - length);
    }

    // A copier fills unused space with the slot number: the most frequent
    // 7-bit value covers nearly all of the window, equals the slot index
    // (modulo 128) and is not 0.
    bool filler(uint32_t slot) {
        if (filler_cache[slot] >= 0) return filler_cache[slot];
        std::array<uint32_t, 128> counts{};
        const uint8_t* w = window(slot);
        for (uint32_t i = 0; i < length; i++) counts[w[i] & 0x7F]++;
        uint32_t best = 0;
        for (uint32_t v = 1; v < 128; v++) {
            if (counts[v] > counts[best]) best = v;
        }
        bool result = counts[best] > 32512 && best == (slot & 0x7F) && best != 0;
        filler_cache[slot] = result;
        return result;
    }

    bool identical(uint32_t a, uint32_t b) const { return std::memcmp(window(a), window(b), length) == 0; }

    bool single_value(uint32_t slot) const {
        const uint8_t* w = window(slot);
        for (uint32_t i = 1; i < length; i++) {
            if (w[i] != w[0]) return false;
        }
        return true;
    }

    // Slots base+k and base+k+step match for every k below step where
    // neither is filler.
    // Like halves_match, but only for slots below `count`, and false when
    // no pair could be compared.
    bool upper_halves_match(uint32_t base, uint32_t step, uint32_t count) {
        bool compared = false;
        for (uint32_t k = 0; k < step; k++) {
            uint32_t a = base + k, b = base + k + step;
            if (b >= count || filler(a) || filler(b)) continue;
            if (!identical(a, b)) return false;
            compared = true;
        }
        return compared;
    }

    bool halves_match(uint32_t base, uint32_t step) {
        for (uint32_t k = 0; k < step; k++) {
            uint32_t a = base + k, b = base + k + step;
            if (filler(a) || filler(b)) continue;
            if (!identical(a, b)) return false;
        }
        return true;
    }
};

}  // namespace

uint32_t overdump_real_slots(const Cartridge& c) {
    Windows w(c);
    const uint32_t p = std::min(c.mirrored_slots, kRomSlotCount);
    uint32_t n = p;
    for (uint32_t step = p / 2; step >= 1; step /= 2) {
        if (!w.halves_match(0, step)) break;
        n -= step;
    }
    while (n > 1 && w.single_value(n - 1)) n--;
    // Inside the upper half only slots that still count are compared, and a
    // step needs at least one real comparison: a copier's fill after the
    // data must not make the last real slots look like a repeat.
    uint32_t m = power_of_two_above(n - 1);  // n rounded up to a power of two
    for (uint32_t step = m / 4; step >= 1; step /= 2) {
        if (!w.upper_halves_match(m / 2, step, n)) break;
        n -= step;
    }
    while (n > 0 && w.filler(n - 1)) n--;
    return n;
}

std::vector<uint8_t> overdump_corrected_image(const Cartridge& c, uint32_t slots, bool with_ffe_header) {
    const bool full = slots_hold_64k(c);
    const uint32_t length = full ? kRomSlotSize : kBlockSize;
    std::vector<uint8_t> out;
    if (with_ffe_header) {
        std::vector<uint8_t> header(kCopierHeaderSize, 0);
        uint32_t units = slots * (c.hirom ? 32 : 16);
        header[0] = uint8_t(units);
        header[1] = uint8_t(units >> 8);
        uint8_t mode = 48;
        if (c.hirom) {
            switch (c.sram_size_byte) {
                case 1: mode += 8; break;
                case 3: mode += 4; break;
                case 5: break;
                default: mode |= 0x2C; break;
            }
        }
        header[2] = mode;
        header[8] = 0xAA;
        header[9] = 0xBB;
        header[10] = 4;
        out = std::move(header);
    }
    for (uint32_t s = 0; s < slots && s < kRomSlotCount; s++) {
        const uint8_t* w = c.rom.data() + size_t(s) * kRomSlotSize + (kRomSlotSize - length);
        out.insert(out.end(), w, w + length);
    }
    return out;
}

}  // namespace vt
