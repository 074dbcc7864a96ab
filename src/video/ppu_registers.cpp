// The $2100-$213F register file. Write handlers store the raw value and,
// only when it changed, redo the derived work the renderer relies on, so
// the line renderer never decodes a register.
#include <algorithm>

#include "cart/memory_map.h"
#include "core/machine.h"
#include "video/render.h"

namespace vt {

namespace {

// ---------------------------------------------------------------------------
// Derived state

PixelColour colour_from_word(uint16_t w) { return pack_colour((w >> 10) & 31, (w >> 5) & 31, w & 31); }

void convert_palette_entry(Ppu& p, int index) {
    const PixelColour c = colour_from_word(uint16_t(p.cgram[index * 2] | (p.cgram[index * 2 + 1] << 8)));
    p.palette[index] = c;
    if (index < 128) {
        p.palette_low_half[index] = c;
        p.palette_low_half[index + 128] = c;
    }
}

void select_line_renderer(Machine& m) {
    Ppu& p = m.ppu;
    if ((p.inidisp & 0x80) || p.inidisp == 0) {
        p.line_renderer = &render_line_blank;
        ppu_vblank_oam_reload(m);
    } else {
        p.line_renderer = &render_line_normal;
        p.brightness = p.inidisp & 15;
    }
}

void derive_objsel(Ppu& p) {
    // Small and large sprite sizes, in pixels, by OBJSEL bits 5-7.
    static constexpr uint8_t kSizes[8][2] = {{8, 16}, {8, 32}, {8, 64}, {16, 32}, {16, 64}, {32, 64}, {8, 16}, {8, 32}};
    p.obj_name_base = uint8_t((p.objsel & 7) * 2);
    p.obj_name_gap = (p.objsel >> 3) & 3;
    p.obj_size_small = kSizes[p.objsel >> 5][0];
    p.obj_size_large = kSizes[p.objsel >> 5][1];
    p.oam_changed = true;
}

void derive_bgmode(Ppu& p) {
    p.mode_index = p.bgmode & 15;
    for (int n = 0; n < 4; n++) {
        p.bg[n].draw = select_layer_drawer(p.mode_index, n, p.bgmode & (0x10 << n));
        p.bg[n].row_key = kRowKeyInvalid;  // depth and palette scaling may have changed
    }
}

void derive_mosaic(Ppu& p) {
    const uint8_t size = p.mosaic >> 4;
    for (int n = 0; n < 4; n++) p.bg[n].mosaic = (p.mosaic & (1 << n)) ? size : 0;
}

void derive_bgsc(Ppu& p, int n) {
    p.bg[n].map_base = uint16_t((p.bgsc[n] & 0xFC) << 8);
    p.bg[n].map_size = p.bgsc[n] & 3;
    p.bg[n].row_key = kRowKeyInvalid;
}

void derive_character_bases(Ppu& p) {
    const uint16_t bases[4] = {uint16_t((p.bg12nba & 0x0F) << 4), uint16_t(p.bg12nba & 0xF0),
                               uint16_t((p.bg34nba & 0x0F) << 4), uint16_t(p.bg34nba & 0xF0)};
    for (int n = 0; n < 4; n++) {
        const uint16_t word = uint16_t(bases[n] << 8);
        if (p.bg[n].char_base != word) p.bg[n].row_key = kRowKeyInvalid;
        p.bg[n].char_base = word;
    }
}

void derive_mode7_copies(Ppu& p) {
    for (int i = 0; i < 6; i++) p.m7_signed[i] = int16_t(p.m7[i]);
    p.m7_hofs = int16_t(p.hofs[0]);
    p.m7_vofs = int16_t(p.vofs[0]);
    p.m7b_last = uint8_t(p.m7[1] >> 8);  // the multiplier is M7B's high byte
    p.m7_changed = true;
}

void derive_m7sel(Ppu& p) {
    p.m7_vflip_mask = (p.m7sel & 2) ? 0xFF : 0;
    p.m7_routine = uint8_t((p.m7sel & 1) * 4 + ((p.m7sel >> 7) & 1) * 2 + ((p.m7sel >> 6) & 1));
}

void derive_colour_math(Ppu& p) {
    // Indexed by [mode][colour-window byte]: 0 outside, 1-3 inside.
    static constexpr uint8_t kClip[4][4] = {{0, 0, 0, 0}, {1, 0, 0, 0}, {0, 1, 1, 1}, {1, 1, 1, 1}};
    static constexpr uint8_t kRegion[4][4] = {{1, 1, 1, 1}, {0, 1, 1, 1}, {1, 0, 0, 0}, {0, 0, 0, 0}};
    for (int i = 0; i < 4; i++) {
        p.clip_to_black[i] = kClip[p.cgwsel >> 6][i];
        p.math_allowed[i] = kRegion[(p.cgwsel >> 4) & 3][i];
    }
    for (int i = 0; i < 6; i++) p.layer_math[i] = (p.cgadsub >> i) & 1;
    select_compose_routines(p);
}

void derive_setini(Machine& m) {
    m.timing.last_visible_line = (m.ppu.setini & 4) ? 239 : 224;
}

// The OAM address registers as their last writes left them: the internal
// address and the first sprite of the priority rotation.
void derive_oam_address(Ppu& p) {
    const uint16_t word = uint16_t((p.oamaddh << 8) | p.oamaddl);
    p.oam_addr = uint16_t(word << 1);
    p.oam_priority_start = (p.oamaddh & 0x80) ? uint16_t(word << 3) : 0;
}

// ---------------------------------------------------------------------------
// Write handlers ($2100-$2133; $2118/$2119 are in vram_port.cpp)

using Write = void (*)(Machine&, uint8_t, uint16_t, uint8_t);

void write_ignored(Machine&, uint8_t, uint16_t, uint8_t) {}

void write_inidisp(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.inidisp == v) return;
    m.ppu.inidisp = v;
    select_line_renderer(m);
}

void write_objsel(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.objsel == v) return;
    m.ppu.objsel = v;
    derive_objsel(m.ppu);
}

void write_oamaddl(Machine& m, uint8_t, uint16_t, uint8_t v) {
    Ppu& p = m.ppu;
    p.oamaddl_previous = p.oamaddl;
    p.oamaddl = v;
    if (p.oamaddh & 0x80) {
        p.oam_priority_start = uint16_t(v << 3);
    } else {
        p.oam_addr = uint16_t(v << 1);
    }
}

void write_oamaddh(Machine& m, uint8_t, uint16_t, uint8_t v) {
    m.ppu.oamaddh = v;
    derive_oam_address(m.ppu);
}

// Byte offset of the internal OAM address: the 32-byte high table repeats
// over the whole upper half.
uint16_t oam_offset(uint16_t addr) {
    uint16_t offset = addr & 0x3FF;
    if (offset & 0x200) offset &= 0x21F;
    return offset;
}

// While the picture is drawn the sprite unit holds OAM's address: a CPU
// access lands in the low-table entry of the sprite it is looking at, not
// where the internal address points. Range evaluation looks at two dots
// per sprite from the first of the priority rotation through dot 255; in
// H-blank, where it fetches the listed sprites, this program takes the
// last sprite evaluated. The byte within the entry follows the internal
// address.
uint16_t oam_access_address(const Machine& m) {
    const Ppu& p = m.ppu;
    if (!ppu_drawing(m)) return p.oam_addr;
    const int dot = std::min(m.timing.line_clock / 2, 255);
    const int first = (p.oam_priority_start >> 4) & 127;
    const int sprite = (first + dot / 2) & 127;
    return uint16_t(sprite * 4 + (p.oam_addr & 3));
}

void store_oam(Ppu& p, uint16_t offset, uint8_t v) {
    if (p.oam[offset] == v) return;
    p.oam[offset] = v;
    p.oam_changed = true;
}

// Even addresses fill the write latch. The low table takes a word at the
// odd address; the high table takes each byte as it comes.
void write_oamdata(Machine& m, uint8_t, uint16_t, uint8_t v) {
    Ppu& p = m.ppu;
    const uint16_t addr = oam_access_address(m) & 0x3FF;
    if (!(addr & 1)) p.oam_latch = v;
    if (addr & 0x200) {
        store_oam(p, oam_offset(addr), v);
    } else if (addr & 1) {
        store_oam(p, uint16_t(addr - 1), p.oam_latch);
        store_oam(p, addr, v);
    }
    p.oam_addr++;
}

void write_bgmode(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.bgmode == v) return;
    m.ppu.bgmode = v;
    derive_bgmode(m.ppu);
}

void write_mosaic(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.mosaic == v) return;
    m.ppu.mosaic = v;
    derive_mosaic(m.ppu);
}

void write_bgsc(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    const int n = (addr & 0xFF) - 0x07;
    if (m.ppu.bgsc[n] == v) return;
    m.ppu.bgsc[n] = v;
    derive_bgsc(m.ppu, n);
}

void write_bg12nba(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.bg12nba == v) return;
    m.ppu.bg12nba = v;
    derive_character_bases(m.ppu);
}

void write_bg34nba(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.bg34nba == v) return;
    m.ppu.bg34nba = v;
    derive_character_bases(m.ppu);
}

// $210D-$2114: BG1HOFS, BG1VOFS, BG2HOFS, ... through one shared latch.
void write_scroll(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    Ppu& p = m.ppu;
    const int i = (addr & 0xFF) - 0x0D;
    const uint16_t word = uint16_t((v << 8) | p.scroll_latch);
    p.scroll_latch = v;
    if (i & 1) {
        p.vofs[i >> 1] = word;
    } else {
        p.hofs[i >> 1] = word;
    }
    if (i < 2) {  // BG1's scroll is also Mode 7's
        p.m7_hofs = int16_t(p.hofs[0]);
        p.m7_vofs = int16_t(p.vofs[0]);
        p.m7_changed = true;
    }
}

void write_vmain(Machine& m, uint8_t, uint16_t, uint8_t v) {
    m.ppu.vmain = v;
    ppu_install_vram_ports(m);
}

// Setting either byte of the address prefetches the word it names.
void write_vmaddl(Machine& m, uint8_t, uint16_t, uint8_t v) {
    m.ppu.vram_addr = uint16_t((m.ppu.vram_addr & 0xFF00) | v);
    ppu_vram_prefetch(m.ppu);
}

void write_vmaddh(Machine& m, uint8_t, uint16_t, uint8_t v) {
    m.ppu.vram_addr = uint16_t((m.ppu.vram_addr & 0x00FF) | (v << 8));
    ppu_vram_prefetch(m.ppu);
}

void write_m7sel(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.m7sel == v) return;
    m.ppu.m7sel = v;
    derive_m7sel(m.ppu);
}

// $211B-$2120: M7A, M7B, M7C, M7D, M7X, M7Y through their shared latch.
void write_m7(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    Ppu& p = m.ppu;
    const int i = (addr & 0xFF) - 0x1B;
    p.m7[i] = uint16_t((v << 8) | p.m7_latch);
    p.m7_latch = v;
    p.m7_signed[i] = int16_t(p.m7[i]);
    p.m7_changed = true;
    if (i == 1) p.m7b_last = v;
    if (i <= 1) p.product_stale = true;
}

void write_cgadd(Machine& m, uint8_t, uint16_t, uint8_t v) {
    m.ppu.cgadd = v;
    m.ppu.cgram_addr = uint16_t(v * 2);
}

// From dot 22 to H-blank of a drawn line the PPU reads CGRAM for the
// pixels it outputs, and a CPU or DMA write there is lost (the address
// still steps). Line 0 draws nothing; H-blank (where HDMA runs) and
// V-blank are free.
bool cgram_busy(const Machine& m) {
    const int32_t h = m.timing.line_clock;
    return m.timing.line != 0 && ppu_drawing(m) && h >= kPictureStart && h < kHblankPoint;
}

void write_cgdata(Machine& m, uint8_t, uint16_t, uint8_t v) {
    Ppu& p = m.ppu;
    const uint16_t offset = p.cgram_addr & 0x1FF;
    p.cgram_addr++;
    if (cgram_busy(m)) return;
    if (p.cgram[offset] == v) return;
    p.cgram[offset] = v;
    convert_palette_entry(p, offset >> 1);
}

// Window registers. Each marks the masks it feeds; layer bit 4 is OBJ.
void set_window_register(Ppu& p, uint8_t& reg, uint8_t v, uint8_t layer_bits, bool colour_window) {
    if (reg == v) return;
    reg = v;
    mark_window_users_dirty(p, layer_bits);
    if (colour_window) p.mask_dirty[kColourWindow] = true;
}

void write_w12sel(Machine& m, uint8_t, uint16_t, uint8_t v) { set_window_register(m.ppu, m.ppu.w12sel, v, 0x03, false); }
void write_w34sel(Machine& m, uint8_t, uint16_t, uint8_t v) { set_window_register(m.ppu, m.ppu.w34sel, v, 0x0C, false); }
void write_wobjsel(Machine& m, uint8_t, uint16_t, uint8_t v) { set_window_register(m.ppu, m.ppu.wobjsel, v, 0x10, true); }
void write_wh(Machine& m, uint8_t, uint16_t addr, uint8_t v) {
    set_window_register(m.ppu, m.ppu.wh[(addr & 0xFF) - 0x26], v, 0x1F, true);
}
void write_wbglog(Machine& m, uint8_t, uint16_t, uint8_t v) { set_window_register(m.ppu, m.ppu.wbglog, v, 0x0F, false); }
void write_wobjlog(Machine& m, uint8_t, uint16_t, uint8_t v) { set_window_register(m.ppu, m.ppu.wobjlog, v, 0x10, true); }

// TM, TS, TMW, TSW: the masks of the layers whose bit changed.
void set_screen_register(Ppu& p, uint8_t& reg, uint8_t v, bool main_screen, bool sub_screen) {
    const uint8_t changed = (reg ^ v) & 0x1F;
    reg = v;
    for (int layer = 0; layer < 5; layer++) {
        if (!(changed & (1 << layer))) continue;
        if (main_screen) p.mask_dirty[layer] = true;
        if (sub_screen) p.mask_dirty[kSubMasks + layer] = true;
    }
}

void write_tm(Machine& m, uint8_t, uint16_t, uint8_t v) { set_screen_register(m.ppu, m.ppu.tm, v, true, false); }
void write_ts(Machine& m, uint8_t, uint16_t, uint8_t v) { set_screen_register(m.ppu, m.ppu.ts, v, false, true); }
void write_tmw(Machine& m, uint8_t, uint16_t, uint8_t v) { set_screen_register(m.ppu, m.ppu.tmw, v, true, false); }
void write_tsw(Machine& m, uint8_t, uint16_t, uint8_t v) { set_screen_register(m.ppu, m.ppu.tsw, v, false, true); }

void write_cgwsel(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.cgwsel == v) return;
    m.ppu.cgwsel = v;
    derive_colour_math(m.ppu);
}

void write_cgadsub(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.cgadsub == v) return;
    m.ppu.cgadsub = v;
    derive_colour_math(m.ppu);
}

void write_coldata(Machine& m, uint8_t, uint16_t, uint8_t v) {
    Ppu& p = m.ppu;
    const uint16_t intensity = v & 31;
    uint16_t c = p.coldata;
    if (v & 0x20) c = uint16_t((c & ~0x001F) | intensity);
    if (v & 0x40) c = uint16_t((c & ~0x03E0) | (intensity << 5));
    if (v & 0x80) c = uint16_t((c & ~0x7C00) | (intensity << 10));
    p.coldata = c;
    p.fixed_colour = colour_from_word(c);
}

void write_setini(Machine& m, uint8_t, uint16_t, uint8_t v) {
    if (m.ppu.setini == v) return;
    m.ppu.setini = v;
    derive_setini(m);
}

// ---------------------------------------------------------------------------
// Read handlers

uint8_t return_open_bus(Machine& m, uint8_t, uint16_t) { return m.mem.open_bus; }

uint8_t ppu1_value(Machine& m, uint8_t v) {
    m.ppu.ppu1_bus = v;
    m.mem.open_bus = v;
    return v;
}

uint8_t ppu2_value(Machine& m, uint8_t v) {
    m.ppu.ppu2_bus = v;
    m.mem.open_bus = v;
    return v;
}

// Write-only registers that the PPU1 chip answers with its last value.
uint8_t read_ppu1_open_bus(Machine& m, uint8_t, uint16_t) {
    m.mem.open_bus = m.ppu.ppu1_bus;
    return m.ppu.ppu1_bus;
}

uint8_t read_product(Machine& m, uint8_t, uint16_t addr) {
    Ppu& p = m.ppu;
    if (p.product_stale) {
        p.product = ppu_multiply_result(p);
        p.product_stale = false;
    }
    return ppu1_value(m, uint8_t(p.product >> (8 * ((addr & 0xFF) - 0x34))));
}

uint8_t read_slhv(Machine& m, uint8_t, uint16_t) {
    if (m.sysregs.wrio & 0x80) ppu_latch_counters(m);
    return m.mem.open_bus;
}

uint8_t read_oamdata(Machine& m, uint8_t, uint16_t) {
    Ppu& p = m.ppu;
    const uint8_t v = p.oam[oam_offset(oam_access_address(m))];
    p.oam_addr++;
    return ppu1_value(m, v);
}

// The odd byte of a colour has no bit 7: it comes from the PPU2 bus.
uint8_t cgdata_value(const Ppu& p) {
    const uint16_t offset = p.cgram_addr & 0x1FF;
    const uint8_t v = p.cgram[offset];
    return (offset & 1) ? uint8_t((v & 0x7F) | (p.ppu2_bus & 0x80)) : v;
}

uint8_t read_cgdata(Machine& m, uint8_t, uint16_t) {
    Ppu& p = m.ppu;
    const uint8_t v = cgdata_value(p);
    p.cgram_addr++;
    return ppu2_value(m, v);
}

// A counter gives its low byte, then its bit 8 with the PPU2 bus above.
uint8_t counter_value(const Ppu& p, uint16_t counter, bool second) {
    return second ? uint8_t((p.ppu2_bus & 0xFE) | ((counter >> 8) & 1)) : uint8_t(counter);
}

uint8_t read_counter(Machine& m, uint16_t counter, bool& second) {
    const uint8_t v = counter_value(m.ppu, counter, second);
    second = !second;
    return ppu2_value(m, v);
}

uint8_t read_ophct(Machine& m, uint8_t, uint16_t) { return read_counter(m, m.ppu.ophct, m.ppu.ophct_second); }
uint8_t read_opvct(Machine& m, uint8_t, uint16_t) { return read_counter(m, m.ppu.opvct, m.ppu.opvct_second); }

// Bit 4 of STAT77 and bit 5 of STAT78 are not driven: they come from the
// chip's own bus.
uint8_t stat77_value(const Ppu& p) { return uint8_t((p.stat77 & 0xEF) | (p.ppu1_bus & 0x10)); }
uint8_t stat78_value(const Ppu& p) { return uint8_t((p.stat78 & 0xDF) | (p.ppu2_bus & 0x20)); }

uint8_t read_stat77(Machine& m, uint8_t, uint16_t) { return ppu1_value(m, stat77_value(m.ppu)); }

uint8_t read_stat78(Machine& m, uint8_t, uint16_t) {
    Ppu& p = m.ppu;
    const uint8_t v = stat78_value(p);
    if (m.sysregs.wrio & 0x80) {
        p.ophct_second = false;
        p.opvct_second = false;
        p.stat78 &= uint8_t(~0x40);
    }
    return ppu2_value(m, v);
}

// --- the same registers as the debugger sees them: no address steps, no
// latches, no flip-flops, no open-bus update

int peek_product(const Machine& m, uint8_t, uint16_t addr) {
    return uint8_t(ppu_multiply_result(m.ppu) >> (8 * ((addr & 0xFF) - 0x34)));
}
int peek_oamdata(const Machine& m, uint8_t, uint16_t) { return m.ppu.oam[oam_offset(oam_access_address(m))]; }
int peek_vram_latch_low(const Machine& m, uint8_t, uint16_t) { return uint8_t(m.ppu.vram_latch); }
int peek_vram_latch_high(const Machine& m, uint8_t, uint16_t) { return uint8_t(m.ppu.vram_latch >> 8); }
int peek_cgdata(const Machine& m, uint8_t, uint16_t) { return cgdata_value(m.ppu); }
int peek_ophct(const Machine& m, uint8_t, uint16_t) { return counter_value(m.ppu, m.ppu.ophct, m.ppu.ophct_second); }
int peek_opvct(const Machine& m, uint8_t, uint16_t) { return counter_value(m.ppu, m.ppu.opvct, m.ppu.opvct_second); }
int peek_stat77(const Machine& m, uint8_t, uint16_t) { return stat77_value(m.ppu); }
int peek_stat78(const Machine& m, uint8_t, uint16_t) { return stat78_value(m.ppu); }

}  // namespace

// ---------------------------------------------------------------------------
// Installation and lifecycle

void ppu_install_io_handlers(Machine& m) {
    auto& w = m.mem.io_write;
    auto& r = m.mem.io_read;
    w[0x00] = &write_inidisp;
    w[0x01] = &write_objsel;
    w[0x02] = &write_oamaddl;
    w[0x03] = &write_oamaddh;
    w[0x04] = &write_oamdata;
    w[0x05] = &write_bgmode;
    w[0x06] = &write_mosaic;
    for (int a = 0x07; a <= 0x0A; a++) w[a] = &write_bgsc;
    w[0x0B] = &write_bg12nba;
    w[0x0C] = &write_bg34nba;
    for (int a = 0x0D; a <= 0x14; a++) w[a] = &write_scroll;
    w[0x15] = &write_vmain;
    w[0x16] = &write_vmaddl;
    w[0x17] = &write_vmaddh;
    w[0x1A] = &write_m7sel;
    for (int a = 0x1B; a <= 0x20; a++) w[a] = &write_m7;
    w[0x21] = &write_cgadd;
    w[0x22] = &write_cgdata;
    w[0x23] = &write_w12sel;
    w[0x24] = &write_w34sel;
    w[0x25] = &write_wobjsel;
    for (int a = 0x26; a <= 0x29; a++) w[a] = &write_wh;
    w[0x2A] = &write_wbglog;
    w[0x2B] = &write_wobjlog;
    w[0x2C] = &write_tm;
    w[0x2D] = &write_ts;
    w[0x2E] = &write_tmw;
    w[0x2F] = &write_tsw;
    w[0x30] = &write_cgwsel;
    w[0x31] = &write_cgadsub;
    w[0x32] = &write_coldata;
    w[0x33] = &write_setini;
    for (int a = 0x34; a <= 0x3F; a++) w[a] = &write_ignored;

    for (int a = 0x00; a <= 0x33; a++) r[a] = &return_open_bus;
    for (int a : {0x04, 0x05, 0x06, 0x08, 0x09, 0x0A, 0x14, 0x15, 0x16, 0x18, 0x19, 0x1A, 0x24, 0x25, 0x26, 0x28, 0x29,
                  0x2A}) {
        r[a] = &read_ppu1_open_bus;
    }
    for (int a = 0x34; a <= 0x36; a++) r[a] = &read_product;
    r[0x37] = &read_slhv;
    r[0x38] = &read_oamdata;
    r[0x3B] = &read_cgdata;
    r[0x3C] = &read_ophct;
    r[0x3D] = &read_opvct;
    r[0x3E] = &read_stat77;
    r[0x3F] = &read_stat78;

    // Write-only registers and $2137 (whose read latches the counters) have
    // nothing to show.
    auto& peek = m.mem.io_peek;
    for (int a = 0x00; a <= 0x3F; a++) peek[a] = &unreadable_peek;
    for (int a = 0x34; a <= 0x36; a++) peek[a] = &peek_product;
    peek[0x38] = &peek_oamdata;
    peek[0x39] = &peek_vram_latch_low;
    peek[0x3A] = &peek_vram_latch_high;
    peek[0x3B] = &peek_cgdata;
    peek[0x3C] = &peek_ophct;
    peek[0x3D] = &peek_opvct;
    peek[0x3E] = &peek_stat77;
    peek[0x3F] = &peek_stat78;

    ppu_install_vram_ports(m);  // $2118, $2119, $2139, $213A
    memory_install_io_page(m);
}

void ppu_refresh_derived(Machine& m) {
    Ppu& p = m.ppu;
    p.stat77 = uint8_t((p.stat77 & 0xF0) | 0x01);
    p.stat78 = uint8_t((p.stat78 & 0xF0) | 0x03);
    select_line_renderer(m);
    derive_objsel(p);
    derive_oam_address(p);
    derive_bgmode(p);
    derive_mosaic(p);
    for (int n = 0; n < 4; n++) derive_bgsc(p, n);
    derive_character_bases(p);
    p.tile_state.fill(0);
    derive_mode7_copies(p);
    derive_m7sel(p);
    mark_all_masks_dirty(p);
    p.cgram_addr = uint16_t(p.cgadd * 2);
    for (int i = 0; i < 256; i++) convert_palette_entry(p, i);
    derive_colour_math(p);
    derive_setini(m);
    p.fixed_colour = colour_from_word(p.coldata);
    // The sprite list of the next line, as the last H-blank made it (a state
    // may be taken between the evaluation and the drawing of a line).
    decode_oam(p);
    p.sprite_count = 0;
    if (m.timing.line < m.timing.last_visible_line) evaluate_sprite_range(p, m.timing.line, false);
    ppu_install_io_handlers(m);
}

void ppu_power_on(Machine& m) {
    Ppu& p = m.ppu;
    static_cast<PpuRegisters&>(p) = PpuRegisters{};
    p.vram_lo.fill(0);
    p.vram_hi.fill(0);
    p.cgram.fill(0);
    for (int s = 0; s < 128; s++) {
        p.oam[s * 4 + 0] = 0;     // X
        p.oam[s * 4 + 1] = 0xE0;  // Y: below the picture
        p.oam[s * 4 + 2] = 0;
        p.oam[s * 4 + 3] = 0;
    }
    std::fill(p.oam.begin() + 512, p.oam.end(), 0x55);  // X bit 8 set, small size
    p.obj_colour.fill(0);
    p.obj_priority.fill(0x80);
    for (BgLayer& bg : p.bg) {
        bg.colour.fill(0);
        bg.flags.fill(0);
        bg.char_base = 0;
    }
    p.output_line = 0;
    p.field_row = 0;
    p.picture.fill(0);
    ppu_refresh_derived(m);
}

// The reset button behaves as power-on, except that the console keeps its
// video standard and the loader's status bits in STAT78.
void ppu_reset(Machine& m) {
    const uint8_t kept = m.ppu.stat78 & 0x70;
    ppu_power_on(m);
    m.ppu.stat78 = uint8_t(kept | 0x03);
}

void ppu_vblank_oam_reload(Machine& m) {
    Ppu& p = m.ppu;
    if (!p.rendered_since_reload || p.oamaddl != 0) return;
    p.oam_addr = uint16_t((((p.oamaddh << 8) | p.oamaddl_previous) << 1) & 0xFFFF);
    p.rendered_since_reload = false;
}

void ppu_latch_counters(Machine& m) {
    Ppu& p = m.ppu;
    int32_t h = m.timing.line_clock;
    int32_t v = m.timing.line;
    // The refresh is added to the line clock at the step after the one
    // that reached its point; until then the clock runs behind the dots.
    if (m.timing.point == DriverPoint::Refresh && h >= kRefreshPoint) h += kRefreshUnits;
    if (h >= kLineUnits) {
        h -= kLineUnits;
        v++;
        if (v >= m.timing.lines_per_frame) v -= m.timing.lines_per_frame;
    }
    p.ophct = uint16_t(h >> 1);
    p.opvct = uint16_t(v);
    p.stat78 |= 0x40;
}

bool ppu_drawing(const Machine& m) {
    return !(m.ppu.inidisp & 0x80) && m.timing.line <= m.timing.last_visible_line;
}

void ppu_latch_position(Machine& m, uint16_t h, uint16_t v) {
    m.ppu.ophct = h;
    m.ppu.opvct = v;
    m.ppu.stat78 |= 0x40;
}

uint32_t ppu_multiply_result(const Ppu& p) {
    if (!p.product_stale) return p.product;
    return uint32_t(int32_t(int16_t(p.m7[0])) * int32_t(int8_t(p.m7b_last))) & 0xFFFFFF;
}

}  // namespace vt
