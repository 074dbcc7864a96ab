// Window masks: one 256-byte mask per layer and screen plus the colour
// window, rebuilt by the renderer only when a register write marked them.
#include <algorithm>

#include "video/render.h"

namespace vt {

namespace {

// XORs `bit` into the window's pixels.
void xor_window_region(uint8_t* mask, int left, int right, bool inverted, uint8_t bit) {
    if (!inverted) {
        if (right > left) {
            for (int x = left; x <= right; x++) mask[x] ^= bit;
        } else if (right == left && left >= 8 && left <= 247) {
            mask[left] ^= bit;
        }
        return;
    }
    if (left < right) {
        for (int x = right + 1; x < 256; x++) mask[x] ^= bit;
        for (int x = 0; x < left; x++) mask[x] ^= bit;
    } else {
        for (int x = 0; x < 256; x++) mask[x] ^= bit;
    }
}

// select: bit 0 window 1 inverted, bit 1 window 1 on, bit 2 window 2
// inverted, bit 3 window 2 on. logic: 0 OR, 1 AND, 2 XOR, 3 XNOR.
void apply_windows(const Ppu& p, uint8_t* mask, uint8_t select, uint8_t logic) {
    static constexpr uint8_t kLogic[4][4] = {{0, 1, 1, 1}, {0, 0, 0, 1}, {0, 1, 1, 0}, {1, 0, 0, 1}};
    const bool w1 = select & 2;
    const bool w2 = select & 8;
    if (w1) xor_window_region(mask, p.wh[0], p.wh[1], select & 1, 1);
    if (w2) xor_window_region(mask, p.wh[2], p.wh[3], select & 4, 2);
    if (w1 && w2) {
        for (int x = 0; x < 256; x++) mask[x] = kLogic[logic][mask[x]];
    }
}

uint8_t window_select(const Ppu& p, int layer) {
    switch (layer) {
        case 0: return p.w12sel & 15;
        case 1: return p.w12sel >> 4;
        case 2: return p.w34sel & 15;
        case 3: return p.w34sel >> 4;
        default: return p.wobjsel & 15;
    }
}

uint8_t window_logic(const Ppu& p, int layer) {
    return layer < 4 ? (p.wbglog >> (2 * layer)) & 3 : p.wobjlog & 3;
}

}  // namespace

void rebuild_mask(Ppu& p, int index) {
    uint8_t* mask = p.masks[index].data();
    p.mask_dirty[index] = false;
    std::fill_n(mask, 256, uint8_t(0));
    if (index == kColourWindow) {
        apply_windows(p, mask, p.wobjsel >> 4, (p.wobjlog >> 2) & 3);
        return;
    }
    const bool sub = index >= kSubMasks;
    const int layer = sub ? index - kSubMasks : index;
    const uint8_t bit = uint8_t(1 << layer);
    if (!((sub ? p.ts : p.tm) & bit)) {
        std::fill_n(mask, 256, uint8_t(1));  // not on this screen: hidden everywhere
        return;
    }
    if ((sub ? p.tsw : p.tmw) & bit) apply_windows(p, mask, window_select(p, layer), window_logic(p, layer));
}

void mark_window_users_dirty(Ppu& p, uint8_t layer_bits) {
    for (int layer = 0; layer < 5; layer++) {
        const uint8_t bit = uint8_t(1 << layer);
        if (!(layer_bits & bit)) continue;
        if (p.tmw & bit) p.mask_dirty[layer] = true;
        if (p.tsw & bit) p.mask_dirty[kSubMasks + layer] = true;
    }
}

void mark_all_masks_dirty(Ppu& p) { p.mask_dirty.fill(true); }

}  // namespace vt
