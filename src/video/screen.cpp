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

const PixelColour* layer_colours(const Ppu& p, const ModeInfo& mi, int n) {
    return (n == 0 && mi.direct_colour && (p.cgwsel & 1)) ? kDirectColours.data() : p.palette.data();
}

void begin_screen(const Ppu& p, ScreenLine& s, int width) {
    std::fill_n(s.z.data(), width, uint8_t(0));
    std::fill_n(s.colour.data(), width, p.palette[0]);
    std::fill_n(s.math.data(), width, p.layer_math[5]);
}

// A layer pixel wins where it is opaque, not masked and deeper in the
// priority order than what the screen holds.
template <bool Wide>
void add_bg(ScreenLine& s, const BgLayer& bg, const uint8_t* mask, uint8_t opacity, const std::array<uint8_t, 2>& z,
            const PixelColour* colours, uint8_t math) {
    constexpr int kWidth = Wide ? 512 : 256;
    const uint8_t* colour = bg.colour.data() + kLinePad;
    const uint8_t* flags = bg.flags.data() + kLinePad;
    for (int x = 0; x < kWidth; x++) {
        const uint8_t v = colour[x];
        if (!(v & opacity) || mask[Wide ? x >> 1 : x]) continue;
        const uint8_t depth = z[flags[x] & 1];
        if (depth > s.z[x]) {
            s.z[x] = depth;
            s.colour[x] = colours[v];
            s.math[x] = math;
        }
    }
}

// Sprites from palettes 0-3 never take part in colour math.
template <bool Wide>
void add_obj(ScreenLine& s, const Ppu& p, const uint8_t* mask, const std::array<uint8_t, 4>& z, uint8_t math) {
    constexpr int kWidth = Wide ? 512 : 256;
    for (int x = 0; x < kWidth; x++) {
        const int sx = Wide ? x >> 1 : x;
        const uint8_t priority = p.obj_priority[sx];
        if ((priority & 0x80) || mask[sx]) continue;
        const uint8_t depth = z[priority & 3];
        if (depth > s.z[x]) {
            const uint8_t v = p.obj_colour[sx];
            s.z[x] = depth;
            s.colour[x] = p.palette[v];
            s.math[x] = math & (v >> 6);
        }
    }
}

template <bool Wide>
void build_screen(Ppu& p, ScreenLine& s, uint8_t layers, int mask_base) {
    const ModeInfo& mi = mode_info(p.mode_index);
    begin_screen(p, s, Wide ? 512 : 256);
    for (int n = 0; n < 4; n++) {
        if (!(layers & (1 << n))) continue;
        refresh_mask(p, mask_base + n);
        add_bg<Wide>(s, p.bg[n], p.masks[mask_base + n].data(), mi.opacity[n], mi.z_bg[n], layer_colours(p, mi, n),
                     p.layer_math[n]);
    }
    if (layers & 0x10) {
        refresh_mask(p, mask_base + kLayerObj);
        add_obj<Wide>(s, p, p.masks[mask_base + kLayerObj].data(), mi.z_obj, p.layer_math[4]);
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

// ---------------------------------------------------------------------------
// Final pixels

template <bool Subtract>
inline uint8_t math_component(uint8_t a, uint8_t b, int shift) {
    const int8_t v = int8_t(Subtract ? a - b : a + b);
    return uint8_t(int8_t(v >> shift));
}

// Signed per-component add or subtract, halved by an arithmetic shift; the
// brightness table saturates and floors the result.
template <bool Subtract>
inline PixelColour apply_math(PixelColour a, PixelColour b, int shift) {
    PixelColour c;
    c.b = math_component<Subtract>(a.b, b.b, shift);
    c.g = math_component<Subtract>(a.g, b.g, shift);
    c.r = math_component<Subtract>(a.r, b.r, shift);
    return c;
}

inline uint8_t* put_pixel(uint8_t* out, const uint8_t* bright, PixelColour c) {
    out[0] = bright[c.b];
    out[1] = bright[c.g];
    out[2] = bright[c.r];
    return out + 3;
}

template <bool Subtract, bool Wide>
void compose_line(const Ppu& p, uint8_t* out) {
    constexpr int kWidth = Wide ? 512 : 256;
    const uint8_t* bright = p.display.rows[p.brightness].data();
    const ScreenLine& main = p.main_screen;
    const ScreenLine& sub = p.sub_screen;
    const uint8_t* window = p.masks[kColourWindow].data();
    const int half = (p.cgadsub >> 6) & 1;
    // Over the sub screen's backdrop the fixed colour is added unhalved.
    const int fixed_half = (p.cgwsel & 2) ? 0 : half;
    const PixelColour fixed = p.fixed_colour;
    const PixelColour black{};
    for (int x = 0; x < kWidth; x++) {
        const uint8_t w = window[Wide ? x >> 1 : x];
        const uint8_t allowed = p.math_allowed[w];
        PixelColour c;
        if (p.clip_to_black[w]) {
            // The main screen is not looked at; only a sub-screen pixel
            // brought in by colour math can show.
            c = (allowed && sub.z[x]) ? sub.colour[x] : black;
        } else {
            c = main.colour[x];
            if (main.math[x] & allowed) {
                c = sub.z[x] ? apply_math<Subtract>(c, sub.colour[x], half) : apply_math<Subtract>(c, fixed, fixed_half);
            }
        }
        out = put_pixel(out, bright, c);
        if constexpr (!Wide) out = put_pixel(out, bright, c);
    }
}

// Pseudo hi-res shows the average of the front main and sub pixels.
void compose_pseudo_hires(const Ppu& p, uint8_t* out) {
    const uint8_t* bright = p.display.rows[p.brightness].data();
    const ScreenLine& main = p.main_screen;
    const ScreenLine& sub = p.sub_screen;
    const uint8_t* window = p.masks[kColourWindow].data();
    for (int x = 0; x < 256; x++) {
        const uint8_t w = window[x];
        PixelColour c = p.clip_to_black[w] ? PixelColour{} : main.colour[x];
        if (p.math_allowed[w]) {
            const PixelColour s = sub.colour[x];
            c.b = uint8_t((c.b + s.b) >> 1);
            c.g = uint8_t((c.g + s.g) >> 1);
            c.r = uint8_t((c.r + s.r) >> 1);
        }
        out = put_pixel(out, bright, c);
        out = put_pixel(out, bright, c);
    }
}

// ---------------------------------------------------------------------------
// Output rows

uint8_t* picture_row(Ppu& p, int row) { return row < kPictureHeight ? &p.picture[size_t(row) * kPictureStride] : nullptr; }

// Writes a 512-pixel line twice: both rows of the console line.
template <typename Compose>
void output_double_row(Ppu& p, Compose compose) {
    const int row = p.output_line * 2;
    uint8_t* first = picture_row(p, row);
    if (first) {
        compose(p, first);
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

void render_pseudo_hires(Machine& m, const ModeInfo& mi) {
    Ppu& p = m.ppu;
    const uint8_t main_layers = p.tm & mi.layers;
    const uint8_t sub_layers = p.ts & mi.layers;
    draw_layers(m, mi, (main_layers | sub_layers) & 0x0F);
    build_screen<false>(p, p.main_screen, main_layers, 0);
    build_screen<false>(p, p.sub_screen, sub_layers, kSubMasks);
    output_double_row(p, &compose_pseudo_hires);
}

}  // namespace

// ---------------------------------------------------------------------------
// Mode renderers

void render_narrow_mode(Machine& m) {
    Ppu& p = m.ppu;
    const ModeInfo& mi = mode_info(p.mode_index);
    if (mi.pseudo_hires && (p.setini & 8)) {
        render_pseudo_hires(m, mi);
        return;
    }
    const bool sub_add = p.cgwsel & 2;
    const uint8_t main_layers = p.tm & mi.layers;
    const uint8_t sub_layers = sub_add ? p.ts & mi.layers : 0;
    draw_layers(m, mi, (main_layers | sub_layers) & 0x0F);
    build_screen<false>(p, p.main_screen, main_layers, 0);
    if (sub_add) {
        build_screen<false>(p, p.sub_screen, sub_layers, kSubMasks);
    } else {
        std::fill_n(p.sub_screen.z.data(), 256, uint8_t(0));
    }
    output_double_row(p, p.compose_narrow);
}

// Modes 5 and 6 compose 512 pixels and write only the current field's row.
void render_wide_mode(Machine& m) {
    Ppu& p = m.ppu;
    const ModeInfo& mi = mode_info(p.mode_index);
    const bool sub_add = p.cgwsel & 2;
    const uint8_t main_layers = p.tm & mi.layers;
    const uint8_t sub_layers = sub_add ? p.ts & mi.layers : 0;
    draw_layers(m, mi, (main_layers | sub_layers) & 0x0F);
    build_screen<true>(p, p.main_screen, main_layers, 0);
    if (sub_add) {
        build_screen<true>(p, p.sub_screen, sub_layers, kSubMasks);
    } else {
        std::fill_n(p.sub_screen.z.data(), 512, uint8_t(0));
    }
    if (uint8_t* row = picture_row(p, p.output_line * 2 + p.field_row)) p.compose_wide(p, row);
    p.output_line++;
}

void select_compose_routines(Ppu& p) {
    const bool subtract = p.cgadsub & 0x80;
    p.compose_narrow = subtract ? &compose_line<true, false> : &compose_line<false, false>;
    p.compose_wide = subtract ? &compose_line<true, true> : &compose_line<false, true>;
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
