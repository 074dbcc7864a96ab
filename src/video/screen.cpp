// The line renderer: draws the layers of the current mode, stacks them into
// the main and sub screens through the window masks, applies clipping,
// colour math and brightness, and writes the line into the output picture.
#include <algorithm>
#include <cstring>

#include "core/machine.h"
#include "video/render.h"

namespace vt {

namespace {

// ---------------------------------------------------------------------------
// Stacking layers into a screen

// A layer pixel wins where it is opaque, not masked and deeper in the
// priority order than what the screen holds: the maximum of the keys. The
// loop has no branches (the pattern of opaque pixels is the picture's and
// cannot be predicted) and vectorises. A screen is 256 pixels wide; in the
// 512-pixel modes each layer line holds 512 pixels, of which the sub screen
// takes the even ones and the main screen the odd ones (Stride 2, Offset 0
// or 1).
template <int Stride, int Offset>
void stack_layer(uint16_t* __restrict key, const uint8_t* __restrict colour, const uint8_t* __restrict flags,
                 const uint8_t* __restrict mask, uint8_t opacity, uint16_t low, uint16_t high) {
    for (int x = 0; x < 256; x++) {
        const uint8_t v = colour[x * Stride + Offset];
        const uint16_t shown = uint16_t(0u - unsigned(((v & opacity) != 0) & (mask[x] == 0)));
        const uint16_t depth = uint16_t(low ^ ((low ^ high) & (0u - unsigned(flags[x * Stride + Offset] & 1))));
        const uint16_t candidate = uint16_t((depth | v) & shown);
        key[x] = key[x] > candidate ? key[x] : candidate;
    }
}

template <int Stride, int Offset>
void add_bg(ScreenLine& s, const BgLayer& bg, const uint8_t* mask, uint8_t opacity, const std::array<uint8_t, 2>& z,
            int source, uint8_t math) {
    const int tag = (math << 11) | (source << 8);
    stack_layer<Stride, Offset>(s.key.data(), bg.colour.data() + kLinePad, bg.flags.data() + kLinePad, mask, opacity,
                                uint16_t((z[0] << 12) | tag), uint16_t((z[1] << 12) | tag));
}

// Whether the sprite line holds any sprite pixel (priority 0-3; 0x80 is
// none): most lines of most pictures hold none, and their OBJ pass is
// skipped.
bool line_has_sprites(const Ppu& p) {
    uint8_t all = 0x80;
    for (int x = 0; x < 256; x++) all &= p.obj_priority[x];
    return all == 0;
}

// Sprites of palettes 0-3 (value bit 6 clear) never take part in colour
// math. The depth of a sprite pixel is chosen by selections rather than a
// table look-up, with every pointer restricted, so that the loop
// vectorises like the layers' does.
void stack_obj(uint16_t* __restrict key, const uint8_t* __restrict priorities, const uint8_t* __restrict colours,
               const uint8_t* __restrict mask, const std::array<uint8_t, 4>& z, uint8_t math) {
    const uint16_t depth0 = uint16_t((z[0] << 12) | (kSourceObj << 8));
    const uint16_t depth1 = uint16_t((z[1] << 12) | (kSourceObj << 8));
    const uint16_t depth2 = uint16_t((z[2] << 12) | (kSourceObj << 8));
    const uint16_t depth3 = uint16_t((z[3] << 12) | (kSourceObj << 8));
    const uint16_t math_bit = uint16_t(math << 11);
    for (int x = 0; x < 256; x++) {
        const uint16_t priority = priorities[x];
        const uint16_t v = colours[x];
        // No sprite (priority 0x80) or masked: depth 0, no candidate.
        uint16_t d = priority == 0 ? depth0 : 0;
        d = priority == 1 ? depth1 : d;
        d = priority == 2 ? depth2 : d;
        d = priority == 3 ? depth3 : d;
        d = mask[x] == 0 ? d : 0;
        const uint16_t with_math = (v & 0x40) ? math_bit : 0;
        const uint16_t candidate = d ? uint16_t(d | with_math | v) : 0;
        key[x] = key[x] > candidate ? key[x] : candidate;
    }
}

// Stacks the screen's layers; what no layer covers stays the backdrop
// (depth 0, value 0).
template <int Stride, int Offset>
void build_screen(Ppu& p, const ModeInfo& mi, ScreenLine& s, uint8_t layers, int mask_base) {
    std::fill_n(s.key.data(), 256, uint16_t(p.layer_math[5] << 11));
    for (int n = 0; n < 4; n++) {
        if (!(layers & (1 << n))) continue;
        refresh_mask(p, mask_base + n);
        add_bg<Stride, Offset>(s, p.bg[n], p.masks[mask_base + n].data(), mi.opacity[n], mi.z_bg[n], mi.source[n],
                               p.layer_math[n]);
    }
    if ((layers & 0x10) && line_has_sprites(p)) {
        refresh_mask(p, mask_base + kLayerObj);
        stack_obj(s.key.data(), p.obj_priority.data(), p.obj_colour.data(), p.masks[mask_base + kLayerObj].data(),
                  mi.z_obj, p.layer_math[4]);
    }
}

// Each layer is drawn once, whichever screens show it.
void draw_layers(Machine& m, const ModeInfo& mi, uint8_t layers) {
    Ppu& p = m.ppu;
    if (mi.offset_per_tile && (layers & 3)) fetch_offset_source(m);
    for (int n = 0; n < 4; n++) {
        if (layers & (1 << n)) p.bg[n].draw(m, n);
    }
}

// Colour tables of the sources. EXTBG's sources drop bit 7 of the value;
// BG1's colours may be direct.
void select_source_colours(Ppu& p, const ModeInfo& main_order, const ModeInfo& sub_order) {
    const bool direct = main_order.direct_colour && (p.cgwsel & 1);
    p.source_colours.fill(p.palette.data());
    if (direct) p.source_colours[1] = kDirectColours.data();
    p.source_colours[kSourceExtBg1] = direct ? kDirectColoursLowHalf.data() : p.palette_low_half.data();
    p.source_colours[kSourceExtBg2] = p.palette_low_half.data();
    const bool extbg = main_order.source[0] == kSourceExtBg1 || sub_order.source[0] == kSourceExtBg1;
    p.colours_by_source = direct || extbg;
}

// ---------------------------------------------------------------------------
// Final pixels, in three passes: look the colours up (a gather per pixel),
// mix them (plain arithmetic on whole lines, deciding per pixel from the
// screens' keys and the colour window, which the compiler vectorises), and
// map them through the brightness table.

inline uint32_t all_ones_if(bool condition) { return 0u - uint32_t(condition); }

inline PixelColour key_colour(const Ppu& p, uint16_t key) { return p.source_colours[(key >> 8) & 7][key & 0xFF]; }

// Direct colour and EXTBG need the source of the value; otherwise every
// value indexes the palette. Without a sub screen (its keys are all the
// backdrop's) no sub-screen colour is looked up: nothing reads it. The sub
// screen's backdrop looks up CGRAM colour 0, which the 512-pixel output
// shows where the sub screen has nothing.
template <bool Direct, bool WithSub>
void look_up_colours(Ppu& p) {
    const uint16_t* __restrict main = p.main_screen.key.data();
    const uint16_t* __restrict sub = p.sub_screen.key.data();
    const PixelColour* __restrict palette = p.palette.data();
    PixelColour* __restrict front = p.front_colour.data();
    PixelColour* __restrict back = p.back_colour.data();
    for (int x = 0; x < 256; x++) {
        if constexpr (Direct) {
            front[x] = key_colour(p, main[x]);
            if constexpr (WithSub) back[x] = key_colour(p, sub[x]);
        } else {
            front[x] = palette[main[x] & 0xFF];
            if constexpr (WithSub) back[x] = palette[sub[x] & 0xFF];
        }
    }
}

void look_up_colours(Ppu& p, bool with_sub) {
    const bool direct = p.colours_by_source;
    if (with_sub) {
        direct ? look_up_colours<true, true>(p) : look_up_colours<false, true>(p);
    } else {
        direct ? look_up_colours<true, false>(p) : look_up_colours<false, false>(p);
    }
}

// What the colour window decides for a pixel outside it (byte 0) and
// inside it (bytes 1-3): clip to black, and whether the math region allows
// colour math. All-ones or zero.
struct WindowRules {
    uint32_t clip_outside, clip_inside;
    uint32_t allowed_outside, allowed_inside;
};

WindowRules window_rules(const Ppu& p) {
    return {all_ones_if(p.clip_to_black[0]), all_ones_if(p.clip_to_black[1]), all_ones_if(p.math_allowed[0]),
            all_ones_if(p.math_allowed[1])};
}

// The key of a pixel that came from a layer rather than the backdrop
// (depth above 0), and its math bit.
constexpr uint16_t kLayerDepth = 0x1000;
constexpr uint16_t kKeyMath = 0x0800;

// Colour math as the console does it, on all three components at once.
// Clipping turns the main colour black but leaves colour math on: a
// clipped pixel shows 0 plus the operand (the fixed colour, or the sub
// screen's pixel). The operand is the fixed colour without sub-screen
// addition, or where the sub screen has nothing (its backdrop). Halving
// applies to neither a clipped pixel nor the fixed colour standing in for
// an empty sub screen.
//
// Components are 0-31, so a sum fits its byte; halving masks off the bit
// shifted in from the byte above. A difference is formed with 128 added to
// each byte (no borrows), then turned into the two's complement byte the
// brightness table expects (negative: 128-255): the bias of a halved
// difference is 64, and adding 192 (subtracting 64) is done without
// carries between bytes.
template <bool Subtract, bool WithSub>
void mix_pixels(uint32_t* __restrict out, const uint32_t* __restrict front, const uint32_t* __restrict back,
                const uint16_t* __restrict main_keys, const uint16_t* __restrict sub_keys,
                const uint8_t* __restrict window, const WindowRules rules, PixelColour fixed, bool half) {
    const uint32_t half_mask = all_ones_if(half);
    // Without sub-screen addition the fixed colour is the operand and is
    // halved like any other.
    const uint32_t fixed_halves = WithSub ? 0u : ~0u;
    for (int x = 0; x < 256; x++) {
        const bool inside = window[x] != 0;
        const uint32_t allowed = inside ? rules.allowed_inside : rules.allowed_outside;
        const uint32_t clipped = inside ? rules.clip_inside : rules.clip_outside;
        const uint32_t has_sub = WithSub ? all_ones_if(sub_keys[x] >= kLayerDepth) : 0;
        const uint32_t main = front[x] & ~clipped;
        const uint32_t operand = WithSub ? (back[x] & has_sub) | (fixed & ~has_sub) : fixed;
        const uint32_t halve = half_mask & ~clipped & (has_sub | fixed_halves);
        uint32_t blended;
        if constexpr (!Subtract) {
            const uint32_t sum = main + operand;
            blended = (((sum >> 1) & 0x7F7F7F) & halve) | (sum & ~halve);
        } else {
            const uint32_t biased = (main | 0x808080) - operand;
            const uint32_t halved = ((((biased >> 1) & 0x7F7F7F) + 0x404040) ^ 0x808080);
            blended = (halved & halve) | ((biased ^ 0x808080) & ~halve);
        }
        const uint32_t do_math = all_ones_if(main_keys[x] & kKeyMath) & allowed;
        out[x] = (blended & do_math) | (main & ~do_math);
    }
}

// One output pixel's bytes blue, green, red through the brightness table.
inline uint64_t output_pixel(const uint8_t* bright, PixelColour c) {
    return bright[colour_blue(c)] | (uint32_t(bright[colour_green(c)]) << 8) | (uint32_t(bright[colour_red(c)]) << 16);
}

// A 256-pixel line writes every pixel twice, with one 8-byte store per
// pair (the two extra bytes are overwritten by the next pixel or land in
// the row's padding).
void output_narrow(const Ppu& p, uint8_t* out) {
    const uint8_t* bright = p.display.rows[p.brightness].data();
    for (int x = 0; x < 256; x++) {
        const uint64_t px = output_pixel(bright, p.mixed_colour[x]);
        const uint64_t both = px | (px << 24);
        std::memcpy(out, &both, 8);
        out += 6;
    }
}

// A 512-pixel line: the sub screen's pixel (mixed_colour[x]) then the main
// screen's (mixed_colour[256 + x]) for each of the 256 positions.
void output_hires(const Ppu& p, uint8_t* out) {
    const uint8_t* bright = p.display.rows[p.brightness].data();
    for (int x = 0; x < 256; x++) {
        const uint64_t both =
            output_pixel(bright, p.mixed_colour[x]) | (output_pixel(bright, p.mixed_colour[256 + x]) << 24);
        std::memcpy(out, &both, 8);
        out += 6;
    }
}

template <bool Subtract, bool WithSub>
void compose_line(Ppu& p, uint8_t* out) {
    look_up_colours(p, WithSub);
    mix_pixels<Subtract, WithSub>(p.mixed_colour.data(), p.front_colour.data(), p.back_colour.data(),
                                  p.main_screen.key.data(), p.sub_screen.key.data(), p.masks[kColourWindow].data(),
                                  window_rules(p), p.fixed_colour, p.cgadsub & 0x40);
    output_narrow(p, out);
}

// The 512-pixel output of the hi-res modes and of pseudo hi-res: each
// position shows the sub screen's pixel, then the main screen's. Colour
// math works both ways round: the main pixel with the sub pixel as its
// operand, and the sub pixel with the main pixel as its operand, under the
// same window rules.
template <bool Subtract, bool WithSub>
void compose_hires(Ppu& p, uint8_t* out) {
    look_up_colours(p, true);
    const WindowRules rules = window_rules(p);
    const bool half = p.cgadsub & 0x40;
    const uint8_t* window = p.masks[kColourWindow].data();
    mix_pixels<Subtract, WithSub>(p.mixed_colour.data() + 256, p.front_colour.data(), p.back_colour.data(),
                                  p.main_screen.key.data(), p.sub_screen.key.data(), window, rules, p.fixed_colour,
                                  half);
    mix_pixels<Subtract, WithSub>(p.mixed_colour.data(), p.back_colour.data(), p.front_colour.data(),
                                  p.sub_screen.key.data(), p.main_screen.key.data(), window, rules, p.fixed_colour,
                                  half);
    output_hires(p, out);
}

// ---------------------------------------------------------------------------
// Output rows

uint8_t* picture_row(Ppu& p, int row) { return row < kPictureHeight ? &p.picture[size_t(row) * kPictureStride] : nullptr; }

// Composes a 512-pixel line in the row buffer and copies it to both rows
// of the console line.
template <typename Compose>
void output_double_row(Ppu& p, Compose compose) {
    const int row = p.output_line * 2;
    if (uint8_t* first = picture_row(p, row)) {
        compose(p, p.row_buffer.data());
        std::memcpy(first, p.row_buffer.data(), kPictureStride);
        if (uint8_t* second = picture_row(p, row + 1)) std::memcpy(second, first, kPictureStride);
    }
    p.output_line++;
}

void fill_rows(Ppu& p, int from, int to, uint8_t value) {
    from = std::max(from, 0);
    to = std::min(to, kPictureHeight);
    if (from < to) std::memset(&p.picture[size_t(from) * kPictureStride], value, size_t(to - from) * kPictureStride);
}

uint8_t blank_level(const Ppu& p) { return p.display.rows[0][0]; }

// Draws the layers either screen shows and stacks the line's main screen,
// and its sub screen where it is shown or colour math adds it (otherwise
// the sub screen is left empty). Stride 2: the layer lines hold 512
// pixels, split between the screens.
template <int Stride>
void build_screens(Machine& m, const ModeInfo& main_order, const ModeInfo& sub_order, bool sub_needed) {
    Ppu& p = m.ppu;
    const uint8_t main_layers = p.tm & main_order.layers;
    const uint8_t sub_layers = sub_needed ? p.ts & sub_order.layers : 0;
    draw_layers(m, main_order, (main_layers | sub_layers) & 0x0F);
    select_source_colours(p, main_order, sub_order);
    build_screen<Stride, Stride - 1>(p, main_order, p.main_screen, main_layers, 0);
    if (sub_needed) {
        build_screen<Stride, 0>(p, sub_order, p.sub_screen, sub_layers, kSubMasks);
    } else {
        std::fill_n(p.sub_screen.key.data(), 256, uint16_t(0));
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Mode renderers

void render_narrow_line(Machine& m, const ModeInfo& main_order, const ModeInfo& sub_order) {
    Ppu& p = m.ppu;
    if (main_order.pseudo_hires && (p.setini & 8)) {
        build_screens<1>(m, main_order, sub_order, true);
        output_double_row(p, p.compose_wide);
        return;
    }
    build_screens<1>(m, main_order, sub_order, p.cgwsel & 2);
    output_double_row(p, p.compose_narrow);
}

void render_narrow_mode(Machine& m) {
    const ModeInfo& mi = mode_info(m.ppu.mode_index);
    render_narrow_line(m, mi, mi);
}

// Modes 5 and 6 compose 512 pixels and write only the current field's row.
void render_wide_mode(Machine& m) {
    Ppu& p = m.ppu;
    const ModeInfo& mi = mode_info(p.mode_index);
    build_screens<2>(m, mi, mi, true);
    if (uint8_t* row = picture_row(p, p.output_line * 2 + p.field_row)) {
        p.compose_wide(p, p.row_buffer.data());
        std::memcpy(row, p.row_buffer.data(), kPictureStride);
    }
    p.output_line++;
}

// Sub-screen addition (CGWSEL bit 1) and subtraction (CGADSUB bit 7)
// choose the routines.
void select_compose_routines(Ppu& p) {
    const bool subtract = p.cgadsub & 0x80;
    if (p.cgwsel & 2) {
        p.compose_narrow = subtract ? &compose_line<true, true> : &compose_line<false, true>;
        p.compose_wide = subtract ? &compose_hires<true, true> : &compose_hires<false, true>;
    } else {
        p.compose_narrow = subtract ? &compose_line<true, false> : &compose_line<false, false>;
        p.compose_wide = subtract ? &compose_hires<true, false> : &compose_hires<false, false>;
    }
}

// ---------------------------------------------------------------------------
// Line renderers chosen by INIDISP

void render_line_normal(Machine& m) {
    Ppu& p = m.ppu;
    p.rendered_since_reload = true;
    sprites_draw_line(m);
    refresh_mask(p, kColourWindow);
    mode_info(p.mode_index).render(m);
}

// Forced blank (or INIDISP = 0): both rows in the darkest level.
void render_line_blank(Machine& m) {
    Ppu& p = m.ppu;
    const int row = p.output_line * 2;
    fill_rows(p, row, row + 2, blank_level(p));
    p.output_line++;
}

// ---------------------------------------------------------------------------
// Frame services

void video_frame_start(Machine& m) {
    m.ppu.output_line = 0;
    m.ppu.field_row = m.ppu.stat78 >> 7;
}

void video_render_line(Machine& m) { m.ppu.line_renderer(m); }

void video_clear_rows_below(Machine& m) {
    Ppu& p = m.ppu;
    fill_rows(p, p.output_line * 2, kPictureHeight, blank_level(p));
}

const uint8_t* video_picture(const Machine& m) { return m.ppu.picture.data(); }

void video_clear_picture(Machine& m) { m.ppu.picture.fill(0); }

}  // namespace vt
