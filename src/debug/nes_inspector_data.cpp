#include "debug/nes_inspector_data.h"

#include <cstdio>

#include "core/machine.h"
#include "debug/register_names.h"

namespace vt {

namespace {

std::string hex(unsigned value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

const char* enabled(bool on) { return on ? "Enabled" : "Disabled"; }

// The nametable arrangement the board's mirroring gives, in tiles.
const char* screen_size(NesMirroring mirroring) {
    switch (mirroring) {
        case NesMirroring::Vertical: return "64x32";
        case NesMirroring::Horizontal: return "32x64";
        case NesMirroring::FourScreen: return "64x64";
        default: return "32x32";
    }
}

}  // namespace

Grid nes_ppu_settings(const Machine& m) {
    const NesPpu& p = m.nes.ppu;
    const uint8_t control = p.control, mask = p.mask;
    return {
        {"Screen Size", screen_size(m.nes.mapper_state.mirroring)},
        {"Screen Base Address", "$" + hex(0x2000u + 0x400u * (control & 3), 4)},
        {"Screen Name Address", (control & 0x10) ? "$1000" : "$0000"},
        // Clipping hides the left eight pixels: on while the show-left bit is clear.
        {"Screen Clipping", enabled(!(mask & 0x02))},
        {"Screen Visible", enabled(mask & 0x08)},
        {"Sprite Size", (control & 0x20) ? "8x16" : "8x8"},
        {"Sprite Base Address", (control & 0x20) ? "by tile" : (control & 0x08) ? "$1000" : "$0000"},
        {"Sprite Clipping", enabled(!(mask & 0x04))},
        {"Sprite Visible", enabled(mask & 0x10)},
    };
}

Grid nes_ppu_register_grid(const Machine& m) {
    const NesPpu& p = m.nes.ppu;
    const unsigned values[8] = {p.control,  p.mask, nes_ppu_peek(p, 0x2002), p.oam_address, p.oam[p.oam_address],
                                p.fine_x,   p.v,    p.read_buffer};
    Grid grid;
    int i = 0;
    for (const RegisterName& r : nes_ppu_register_names()) {
        // $2006 shows the whole VRAM address, $2005 the fine X scroll.
        grid.push_back({register_label(r), hex(values[i], r.address == 0x2006 ? 4 : 2)});
        if (++i == 8) break;
    }
    return grid;
}

std::vector<std::array<std::string, 4>> nes_sprite_grid(const Machine& m) {
    const NesPpu& p = m.nes.ppu;
    std::vector<std::array<std::string, 4>> rows;
    for (int i = 0; i < 64; i++) {
        const uint8_t* s = &p.oam[size_t(i) * 4];
        const uint8_t attr = s[2];
        std::string flags = std::string("P") + std::to_string((attr & 3) + 4) + ((attr & 0x20) ? " back" : " front");
        if (attr & 0x40) flags += " H";
        if (attr & 0x80) flags += " V";
        rows.push_back({std::to_string(s[3]), std::to_string(s[0]), hex(s[1], 2), flags});
    }
    return rows;
}

}  // namespace vt
