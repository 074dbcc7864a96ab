#include "nes/nes_ppu.h"

#include "nes/nes_ppu_render.h"

namespace vt {

namespace {

// Pattern memory for a cartridge that has not set its pages yet.
const uint8_t kBlankPage[1024] = {};

bool rendering(const NesPpu& p) { return p.mask & 0x18; }

// Dot 256 of a rendered line: fine y steps, carrying into coarse y, which
// wraps from 29 into the vertically neighbouring nametable (and from 31,
// reachable only by writing it, to 0 of the same one).
void increment_y(NesPpu& p) {
    if (!rendering(p)) return;
    if ((p.v & 0x7000) != 0x7000) {
        p.v = uint16_t(p.v + 0x1000);
        return;
    }
    p.v &= 0x0FFF;
    uint16_t coarse_y = (p.v >> 5) & 31;
    if (coarse_y == 29) {
        coarse_y = 0;
        p.v ^= 0x0800;
    } else if (coarse_y == 31) {
        coarse_y = 0;
    } else {
        coarse_y++;
    }
    p.v = uint16_t((p.v & ~0x03E0) | coarse_y << 5);
}

// Dot 257: the horizontal scroll (coarse x, nametable bit 10) comes back
// from t; OAM's address is cleared while sprites are fetched.
void copy_horizontal(NesPpu& p) {
    if (!rendering(p)) return;
    p.v = uint16_t((p.v & ~0x041F) | (p.t & 0x041F));
    p.oam_address = 0;
}

// Dots 280-304 of the pre-render line: the vertical scroll comes back.
void copy_vertical(NesPpu& p) {
    if (!rendering(p)) return;
    p.v = uint16_t((p.v & ~0x7BE0) | (p.t & 0x7BE0));
}

struct LineEvent {
    uint16_t dot;
    void (*run)(NesPpu&);
};

// The event lists of the line kinds, each ended by an entry that is never
// reached; `NesPpu::next_event` indexes this table.
constexpr uint8_t kNoEvents = 0;
constexpr uint8_t kVisibleLineEvents = 1;
constexpr uint8_t kPreRenderEvents = 4;
constexpr LineEvent kLineEvents[] = {
    {kNesPpuNoDot, nullptr},
    {256, increment_y}, {257, copy_horizontal}, {kNesPpuNoDot, nullptr},
    {256, increment_y}, {257, copy_horizontal}, {280, copy_vertical}, {kNesPpuNoDot, nullptr},
};

// Brings the unit up to `dot` of the current line.
void catch_up(NesPpu& p, uint16_t dot) {
    while (kLineEvents[p.next_event].dot <= dot) {
        kLineEvents[p.next_event].run(p);
        p.next_event++;
    }
    if (dot >= p.sprite_zero_dot) {
        p.status |= 0x40;
        p.sprite_zero_dot = kNesPpuNoDot;
    }
}

void write_palette(NesPpu& p, uint16_t address, uint8_t value) {
    uint8_t index = address & 0x1F;
    value &= 0x3F;
    p.palette[index] = value;
    // The backdrop entries of the sprite palettes are the same cells as the
    // background palettes' ($3F10 = $3F00 ... $3F1C = $3F0C).
    if ((index & 3) == 0) p.palette[index ^ 0x10] = value;
}

uint8_t read_memory(const NesPpu& p, uint16_t address) {
    address &= 0x3FFF;
    if (address < 0x2000) return p.chr_page[address >> 10][address & 0x3FF];
    return p.nametable_page[(address >> 10) & 3][address & 0x3FF];
}

void write_memory(NesPpu& p, uint16_t address, uint8_t value) {
    address &= 0x3FFF;
    if (address < 0x2000) {
        if (p.chr_writable) p.chr_page[address >> 10][address & 0x3FF] = value;
    } else if (address < 0x3F00) {
        p.nametable_page[(address >> 10) & 3][address & 0x3FF] = value;
    } else {
        write_palette(p, address, value);
    }
}

uint8_t palette_read(const NesPpu& p, uint16_t address) {
    uint8_t grey = (p.mask & 1) ? 0x30 : 0x3F;
    return uint8_t((p.palette[address & 0x1F] & grey) | (p.open_bus & 0xC0));
}

void advance_address(NesPpu& p) { p.v = uint16_t((p.v + ((p.control & 0x04) ? 32 : 1)) & 0x7FFF); }

}  // namespace

void nes_ppu_power_on(NesPpu& p) {
    NesPpu fresh;
    fresh.chr_page = p.chr_page;
    fresh.chr_writable = p.chr_writable;
    fresh.nametable_page = p.nametable_page;
    p = fresh;
    for (auto& page : p.chr_page)
        if (!page) {
            page = const_cast<uint8_t*>(kBlankPage);
            p.chr_writable = false;
        }
    for (int i = 0; i < 4; i++)
        if (!p.nametable_page[i]) p.nametable_page[i] = &p.ciram[(i & 1) * 0x400];
}

void nes_ppu_reset(NesPpu& p) {
    p.control = 0;
    p.mask = 0;
    p.write_toggle = false;
    p.read_buffer = 0;
    p.fine_x = 0;
    p.t = 0;
    p.odd_frame = false;
    p.next_event = kNoEvents;
    p.sprite_zero_dot = kNesPpuNoDot;
    p.nmi_suppressed = false;
}

void nes_ppu_line(NesPpu& p, uint16_t line, uint8_t* picture) {
    catch_up(p, kNesPpuLineDots);
    p.line = line;
    p.next_event = kNoEvents;
    if (line < 240) {
        nes_ppu_render_line(p, line, picture);
        p.next_event = kVisibleLineEvents;
    } else if (line == kNesPpuVblankLine) {
        p.status |= 0x80;
    } else if (line == kNesPpuPreRenderLine) {
        p.status &= 0x1F;
        p.nmi_suppressed = false;
        p.odd_frame = !p.odd_frame;
        p.next_event = kPreRenderEvents;
    }
}

uint8_t nes_ppu_read(NesPpu& p, uint16_t address, uint16_t dot) {
    catch_up(p, dot);
    switch (address & 7) {
    case 2: {
        uint8_t value = uint8_t((p.status & 0xE0) | (p.open_bus & 0x1F));
        // The flag rises at dot 1 of line 241: a read one dot earlier sees
        // it clear and keeps it from rising this frame; a read on that dot
        // or the next sees it and clears it before the NMI is noticed.
        if (p.line == kNesPpuVblankLine && dot <= 2 && (p.status & 0x80)) {
            if (dot == 0) value &= 0x7F;
            p.nmi_suppressed = true;
        }
        p.status &= 0x7F;
        p.write_toggle = false;
        p.open_bus = uint8_t((p.open_bus & 0x1F) | (value & 0xE0));
        return value;
    }
    case 4:
        p.open_bus = p.oam[p.oam_address];
        return p.open_bus;
    case 7: {
        uint16_t address14 = p.v & 0x3FFF;
        uint8_t value;
        if (address14 >= 0x3F00) {
            // Palette reads answer at once; the buffer takes the nametable
            // byte underneath the palette.
            value = palette_read(p, address14);
            p.read_buffer = read_memory(p, address14 - 0x1000);
        } else {
            value = p.read_buffer;
            p.read_buffer = read_memory(p, address14);
        }
        advance_address(p);
        p.open_bus = value;
        return value;
    }
    default:
        return p.open_bus;
    }
}

void nes_ppu_write(NesPpu& p, uint16_t address, uint8_t value, uint16_t dot) {
    catch_up(p, dot);
    p.open_bus = value;
    switch (address & 7) {
    case 0:
        p.control = value;
        p.t = uint16_t((p.t & ~0x0C00) | (value & 3) << 10);
        break;
    case 1:
        p.mask = value;
        break;
    case 2:
        break;
    case 3:
        p.oam_address = value;
        break;
    case 4:
        // Bits 2-4 of the attribute byte do not exist.
        p.oam[p.oam_address] = (p.oam_address & 3) == 2 ? (value & 0xE3) : value;
        p.oam_address++;
        break;
    case 5:
        if (!p.write_toggle) {
            p.t = uint16_t((p.t & ~0x001F) | value >> 3);
            p.fine_x = value & 7;
        } else {
            p.t = uint16_t((p.t & ~0x73E0) | (value & 7) << 12 | (value & 0xF8) << 2);
        }
        p.write_toggle = !p.write_toggle;
        break;
    case 6:
        if (!p.write_toggle) {
            p.t = uint16_t((p.t & 0x00FF) | (value & 0x3F) << 8);
        } else {
            p.t = uint16_t((p.t & 0xFF00) | value);
            p.v = p.t;
        }
        p.write_toggle = !p.write_toggle;
        break;
    case 7:
        write_memory(p, p.v, value);
        advance_address(p);
        break;
    }
}

uint8_t nes_ppu_peek(const NesPpu& p, uint16_t address) {
    switch (address & 7) {
    case 2:
        return uint8_t((p.status & 0xE0) | (p.open_bus & 0x1F));
    case 4:
        return p.oam[p.oam_address];
    case 7:
        return (p.v & 0x3F00) == 0x3F00 ? palette_read(p, p.v) : p.read_buffer;
    default:
        return p.open_bus;
    }
}

uint8_t nes_ppu_peek_memory(const NesPpu& p, uint16_t address) {
    address &= 0x3FFF;
    return address >= 0x3F00 ? p.palette[address & 0x1F] : read_memory(p, address);
}

void nes_ppu_oam_dma(NesPpu& p, const uint8_t* page) {
    for (int i = 0; i < 256; i++) {
        uint8_t index = uint8_t(p.oam_address + i);
        p.oam[index] = (index & 3) == 2 ? (page[i] & 0xE3) : page[i];
    }
}

bool nes_ppu_nmi_line(const NesPpu& p) { return (p.status & 0x80) && (p.control & 0x80); }
bool nes_ppu_nmi_suppressed(const NesPpu& p) { return p.nmi_suppressed; }
bool nes_ppu_rendering(const NesPpu& p) { return rendering(p); }

uint16_t nes_ppu_line_dots(const NesPpu& p, uint16_t line) {
    return (line == kNesPpuPreRenderLine && p.odd_frame && rendering(p)) ? kNesPpuLineDots - 1 : kNesPpuLineDots;
}

}  // namespace vt
