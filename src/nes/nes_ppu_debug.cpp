#include "nes/nes_ppu_debug.h"

#include <cstdio>

namespace vt {

namespace {

std::string hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}
std::string address_text(unsigned address) { return "$" + hex(address, 4); }
const char* enabled(bool on) { return on ? "Enabled" : "Disabled"; }

}  // namespace

std::vector<NesPpuText> nes_ppu_settings(const NesPpu& p) {
    // The nametable layout: two different tables side by side make the
    // screen 64 tiles wide, one above the other 64 tall.
    const bool wide = p.nametable_page[0] != p.nametable_page[1];
    const bool tall = p.nametable_page[0] != p.nametable_page[2];
    static constexpr const char* kSizes[] = {"32x32", "64x32", "32x64", "64x64"};
    return {
        {"Screen Size", kSizes[(wide ? 1 : 0) + (tall ? 2 : 0)]},
        {"Screen Base Address", address_text(0x2000 + (p.control & 3) * 0x400)},
        {"Screen Name Address", address_text((p.control & 0x10) ? 0x1000 : 0x0000)},
        // Clipping hides the leftmost eight pixels: on while the show bit is clear.
        {"Screen Clipping", enabled(!(p.mask & 0x02))},
        {"Screen Visible", enabled(p.mask & 0x08)},
        {"Sprite Size", (p.control & 0x20) ? "8x16" : "8x8"},
        {"Sprite Base Address", address_text((p.control & 0x08) ? 0x1000 : 0x0000)},
        {"Sprite Clipping", enabled(!(p.mask & 0x04))},
        {"Sprite Visible", enabled(p.mask & 0x10)},
    };
}

std::array<std::string, 8> nes_ppu_register_values(const NesPpu& p) {
    const unsigned scroll_x = (p.t & 0x1F) * 8 + p.fine_x;
    const unsigned scroll_y = ((p.t >> 5) & 0x1F) * 8 + ((p.t >> 12) & 7);
    return {
        hex(p.control, 2),
        hex(p.mask, 2),
        hex(nes_ppu_peek(p, 0x2002), 2),
        hex(p.oam_address, 2),
        hex(p.oam[p.oam_address], 2),
        hex(scroll_x, 2) + "," + hex(scroll_y, 2),
        hex(p.v & 0x3FFF, 4),
        hex(p.read_buffer, 2),
    };
}

std::vector<std::array<std::string, 5>> nes_ppu_sprite_rows(const NesPpu& p) {
    std::vector<std::array<std::string, 5>> rows;
    rows.reserve(64);
    for (int n = 0; n < 64; n++) {
        const uint8_t* e = &p.oam[size_t(n) * 4];
        rows.push_back({std::to_string(n), hex(e[3], 2), hex(e[0], 2), hex(e[1], 2), hex(e[2], 2)});
    }
    return rows;
}

}  // namespace vt
