// Picture processing unit: the $2100-$213F register file, the three video
// memories (VRAM, OAM, CGRAM), the state derived from them for the line
// renderer, and the 512 x 478 output picture.
#pragma once

#include <array>
#include <cstdint>

#include "core/state_io.h"
#include "video/brightness.h"

namespace vt {

struct Machine;

// A colour as the renderer handles it: blue | green << 8 | red << 16 (the
// bytes blue, green, red, 0 in memory), 5-bit components. After colour math
// a component byte may hold a sum up to 62 or a negative difference (a
// signed byte); the brightness table maps both.
using PixelColour = uint32_t;

constexpr PixelColour pack_colour(uint32_t blue, uint32_t green, uint32_t red) {
    return blue | (green << 8) | (red << 16);
}
constexpr uint8_t colour_blue(PixelColour c) { return uint8_t(c); }
constexpr uint8_t colour_green(PixelColour c) { return uint8_t(c >> 8); }
constexpr uint8_t colour_red(PixelColour c) { return uint8_t(c >> 16); }

// The output picture: two rows of 512 pixels per console line, 3 bytes per
// pixel in blue, green, red order.
inline constexpr int kPictureWidth = 512;
inline constexpr int kPictureHeight = 478;
inline constexpr int kPictureStride = kPictureWidth * 3;

inline constexpr uint32_t kVramWords = 0x8000;
inline constexpr uint32_t kOamSize = 544;
inline constexpr uint32_t kCgramSize = 512;

// Layer line buffers are indexed by screen x plus this pad, so that the
// partial tile left of x = 0 (down to -15) lands inside the buffer.
inline constexpr int kLinePad = 16;
inline constexpr int kLineBufferSize = 1024;

// Mask numbers: layer (BG1-BG4 = 0-3, OBJ = 4) + 5 for the sub screen, and
// the colour window.
inline constexpr int kLayerObj = 4;
inline constexpr int kSubMasks = 5;
inline constexpr int kColourWindow = 10;
inline constexpr int kMaskCount = 11;

struct Ppu;
using LineRenderer = void (*)(Machine&);
using LayerDrawer = void (*)(Machine&, int bg);
// Turns the composed screens of a line into output pixels.
using ComposeRoutine = void (*)(Ppu&, uint8_t* row);

// One screen (main or sub) of the line being composed: per pixel a key
// depth << 12 | math << 11 | source << 8 | value. Depth is the place of
// the pixel's layer in the mode's priority order (0 = backdrop, larger =
// more in front); math is set when that layer takes part in colour math;
// source says where the value's colour comes from (0 backdrop, 1-4
// BG1-BG4, 5 OBJ, 6-7 BG1 and BG2 on a Mode 7 EXTBG screen, whose colour
// drops the value's bit 7); value is the layer's colour byte. Stacking a
// layer is then a maximum per pixel.
struct ScreenLine {
    std::array<uint16_t, 512> key{};
};

inline constexpr int kSourceBackdrop = 0;
inline constexpr int kSourceObj = 5;
inline constexpr int kSourceExtBg1 = 6;
inline constexpr int kSourceExtBg2 = 7;
inline constexpr int kSourceCount = 8;

// One tilemap entry of the cached row, ready to draw.
struct MapRowEntry {
    uint16_t tile = 0;         // VRAM word address of the tile (before the row offset)
    uint8_t colour_base = 0;   // palette scaled for the depth, plus the mode 0 layer offset
    uint8_t flags = 0;         // bit 0 priority, bit 1 horizontal flip, bit 2 vertical flip
};

inline constexpr uint16_t kRowKeyInvalid = 0x8000;

// One background layer: derived register state, the tilemap row cache and
// the line buffers the compositor reads.
struct BgLayer {
    uint16_t map_base = 0;    // tilemap word address
    uint8_t map_size = 0;     // 0: 32x32, 1: 64x32, 2: 32x64, 3: 64x64 entries
    uint16_t char_base = 0;   // character data word address
    uint8_t mosaic = 0;       // mosaic map number, 0 = identity
    LayerDrawer draw = nullptr;

    uint16_t row_key = kRowKeyInvalid;  // tilemap row held in row[]
    uint8_t column_mask = 31;
    std::array<MapRowEntry, 64> row{};

    std::array<uint8_t, kLineBufferSize> colour{};  // decoded value OR colour base
    std::array<uint8_t, kLineBufferSize> flags{};   // tilemap entry bits 13-15
};

// One sprite of OAM, decoded for evaluation and drawing.
struct SpriteRecord {
    int16_t x = 0;           // -255..256: X bit 8 set means negative, except 256 itself
    uint8_t y = 0;
    uint8_t size = 8;        // width and height in pixels
    uint16_t tile = 0;       // VRAM word address of the top-left tile
    uint8_t colour_base = 128;  // 128 + palette x 16
    uint8_t priority = 0;    // 0-3
    uint8_t flips = 0;       // kFlipVertical | kFlipHorizontal
};

inline constexpr uint8_t kFlipVertical = 8;
inline constexpr uint8_t kFlipHorizontal = 4;
inline constexpr int kSpritesPerLine = 32;
inline constexpr int kSliversPerLine = 34;

// STAT77 bits set by the sprite unit.
inline constexpr uint8_t kStat77RangeOver = 0x40;
inline constexpr uint8_t kStat77TimeOver = 0x80;

// Everything of the register file that is small enough to reset by
// assignment: raw register values, latches, counters and status bytes.
// Power-on values are the member initialisers.
struct PpuRegisters {
    uint8_t inidisp = 0x80;
    uint8_t objsel = 0;
    uint8_t oamaddl = 0;
    uint8_t oamaddh = 0;
    uint8_t oamaddl_previous = 0;  // OAMADDL before its latest write
    uint16_t oam_addr = 0;         // internal byte address, bits 0-9 used
    uint8_t oam_latch = 0;         // low-table byte waiting for its partner
    uint16_t oam_priority_start = 0;

    uint8_t bgmode = 0;
    uint8_t mosaic = 0;
    std::array<uint8_t, 4> bgsc{};
    uint8_t bg12nba = 0;
    uint8_t bg34nba = 0;
    std::array<uint16_t, 4> hofs{};
    std::array<uint16_t, 4> vofs{};
    uint8_t scroll_latch = 0;

    uint8_t vmain = 0x80;
    uint16_t vram_addr = 0;
    uint16_t vram_latch = 0;  // prefetched word returned by $2139/$213A

    uint8_t m7sel = 0;
    // M7A, M7B, M7C, M7D, M7X, M7Y
    std::array<uint16_t, 6> m7{0x0100, 0, 0, 0x0100, 0, 0};
    uint8_t m7_latch = 0;
    uint8_t m7b_last = 0;     // last byte written to M7B, the multiplier
    uint32_t product = 0;     // 24-bit signed result of $2134-$2136
    bool product_stale = false;

    uint8_t cgadd = 0;
    uint16_t cgram_addr = 0;  // internal byte address, used modulo 512

    uint8_t w12sel = 0, w34sel = 0, wobjsel = 0;
    std::array<uint8_t, 4> wh{};  // WH0-WH3: window 1 left/right, window 2 left/right
    uint8_t wbglog = 0, wobjlog = 0;
    uint8_t tm = 0, ts = 0, tmw = 0, tsw = 0;

    uint8_t cgwsel = 0;
    uint8_t cgadsub = 0;
    uint16_t coldata = 0;  // fixed colour, 15-bit BGR
    uint8_t setini = 0;

    uint16_t ophct = 0, opvct = 0;
    bool ophct_second = false;  // counter read flip-flops: next read returns bit 8
    bool opvct_second = false;
    uint8_t stat77 = 0x01;  // $213E: bit 7 time over, bit 6 range over, bits 3-0 version
    uint8_t stat78 = 0x03;  // $213F: bit 7 interlace field, bit 6 counter latched, bit 4 PAL
    uint8_t ppu1_bus = 0;   // last value driven by the PPU1 read ports
    uint8_t ppu2_bus = 0;   // ... and by the PPU2 read ports

    bool rendered_since_reload = false;  // set by the normal renderer at every line
};

struct Ppu : PpuRegisters {
    // --- memories
    std::array<uint8_t, kVramWords> vram_lo{};  // low bytes of the 32768 words
    std::array<uint8_t, kVramWords> vram_hi{};  // high bytes
    std::array<uint8_t, kOamSize> oam{};
    std::array<uint8_t, kCgramSize> cgram{};

    // --- derived state kept up to date by the register handlers
    std::array<PixelColour, 256> palette{};  // CGRAM converted per byte written
    // palette[i & 0x7F] at every i: the colours of Mode 7 EXTBG pixels,
    // whose bit 7 is a priority and not part of the colour.
    std::array<PixelColour, 256> palette_low_half{};
    PixelColour fixed_colour = 0;            // COLDATA as bytes

    // Decoded tiles: a state byte per 8-word block (0 not decoded; 1, 2 or 4
    // decoded at 2, 4 or 8 bits per pixel) and 8 pixel values per VRAM word.
    // A tile's rows sit at its first word address.
    std::array<uint8_t, kVramWords / 8> tile_state{};
    std::array<uint8_t, kVramWords * 8> tile_pixels{};

    // OBJSEL
    uint8_t obj_name_base = 0;
    uint8_t obj_name_gap = 0;
    uint8_t obj_size_small = 8;
    uint8_t obj_size_large = 16;
    bool oam_changed = true;  // the sprite records must be decoded again

    // Sprites: the 128 records decoded from OAM and OBJSEL, and the list of
    // sprites found on the next line by the range evaluation, in
    // evaluation order.
    std::array<SpriteRecord, 128> sprites{};
    std::array<uint8_t, kSpritesPerLine> sprite_list{};
    uint8_t sprite_count = 0;
    // For each line (0-255), the sprites whose rows cover it (bit n of the
    // 128 for sprite n), built with the records for the sprite height then
    // in force (full, or halved by sprite interlace: shift 0 or 1; 0xFF
    // when not built).
    std::array<std::array<uint64_t, 2>, 256> sprites_on_line{};
    uint8_t sprites_on_line_shift = 0xFF;

    // Mode 7 copies (sign-extended M7A-M7Y and the BG1 scroll words), M7SEL
    // derivations and the flag that asks for the line start table.
    std::array<int32_t, 6> m7_signed{};
    int32_t m7_hofs = 0, m7_vofs = 0;
    uint8_t m7_vflip_mask = 0;
    uint8_t m7_routine = 0;
    bool m7_changed = true;
    // Start of each line's walk through the plane, in 1/256 pixel, for
    // lines 0-255 of the plane; rebuilt after a parameter change.
    std::array<int32_t, 256> m7_start_x{};
    std::array<int32_t, 256> m7_start_y{};

    std::array<BgLayer, 4> bg{};
    uint8_t mode_index = 0;  // BGMODE & 15: selects the mode description

    // Windows: 11 masks of 256 bytes (non-zero hides the layer, or marks the
    // inside of the colour window) with their dirty flags.
    std::array<std::array<uint8_t, 256>, kMaskCount> masks{};
    std::array<bool, kMaskCount> mask_dirty{};

    // Colour math, derived from CGWSEL and CGADSUB. Both tables are indexed
    // by a colour-window byte (0 outside, 1-3 inside).
    std::array<uint8_t, 4> clip_to_black{};
    std::array<uint8_t, 4> math_allowed{};
    std::array<uint8_t, 6> layer_math{};  // BG1-4, OBJ, backdrop: 1 = with math
    ComposeRoutine compose_narrow = nullptr;  // final pixel routine (add or subtract)
    ComposeRoutine compose_wide = nullptr;    // the same for the 512-pixel modes

    // Sprite lines (filled by the sprite unit, 0-255 shown): colour value and
    // priority 0-3, or 0x80 for no sprite.
    std::array<uint8_t, kLineBufferSize> obj_colour{};
    std::array<uint8_t, kLineBufferSize> obj_priority{};

    // --- renderer
    ScreenLine main_screen;
    ScreenLine sub_screen;
    // Colour table of each source for the line (the palette, or the direct
    // colours for BG1).
    std::array<const PixelColour*, kSourceCount> source_colours{};
    bool colours_by_source = false;  // some source's table is not the palette
    // Scratch of the final pixel passes.
    std::array<PixelColour, 512> front_colour{};
    std::array<PixelColour, 512> back_colour{};
    std::array<PixelColour, 512> mixed_colour{};
    // Offset-per-tile entries of the line (modes 2 and 4), from BG3's map.
    std::array<uint16_t, 32> offset_h{};
    std::array<uint16_t, 32> offset_v{};
    LineRenderer line_renderer = nullptr;  // chosen by INIDISP
    uint8_t brightness = 0;                // INIDISP & 15 for the normal renderer
    uint16_t output_line = 0;              // console line of the next rows, from 0
    uint8_t field_row = 0;                 // 1 in odd interlace fields
    std::array<uint8_t, kPictureStride * kPictureHeight> picture{};
    // One composed row; the padding takes the spill of 8-byte pixel stores.
    std::array<uint8_t, kPictureStride + 8> row_buffer{};

    // Front-end setting: survives power-on and reset.
    BrightnessTable display;
};

// --- lifecycle
void ppu_power_on(Machine& m);
void ppu_reset(Machine& m);
// Rebuilds everything derived from the registers and memories (after
// power-on or a loaded state) and reinstalls the $21xx handlers.
void ppu_refresh_derived(Machine& m);

// --- frame and line services called by the driver
void video_frame_start(Machine& m);       // renderer back to the first output row
void video_render_line(Machine& m);       // draw the line about to run
void video_clear_rows_below(Machine& m);  // blank the rows from the current one to row 477
void ppu_vblank_oam_reload(Machine& m);
void sprite_evaluation(Machine& m);       // at H-blank of visible lines, for the next line

// Latches the H and V counters ($213C/$213D) as a read of $2137 or the
// counter-latch line of $4201 does.
void ppu_latch_counters(Machine& m);
// Latches a position given by a light gun: OPHCT = h, OPVCT = v, and the
// counter-latched bit of STAT78.
void ppu_latch_position(Machine& m, uint16_t h, uint16_t v);

// --- the output picture, for the front ends: kPictureHeight rows of
// kPictureStride bytes, blue-green-red.
const uint8_t* video_picture(const Machine& m);
// Sets every byte of the picture to zero.
void video_clear_picture(Machine& m);

// The signed 24-bit product M7A x (the last byte written to M7B) that
// $2134-$2136 read, without the side effects of reading them.
uint32_t ppu_multiply_result(const Ppu& p);

// --- save state: "SPPU" (registers, OAM and CGRAM) and "VRAM" (low plane
// then high plane). Loading rebuilds the derived state.
inline constexpr uint32_t kPpuStateSize = 1128;
inline constexpr uint32_t kVramStateSize = 2 * kVramWords;
void ppu_save_state(const Machine& m, uint8_t* out);
void ppu_load_state(Machine& m, const uint8_t* in);
void vram_save_state(const Machine& m, uint8_t* out);
void vram_load_state(Machine& m, const uint8_t* in);
// The layouts of both chunks, for a StateWriter or a StateReader
// (core/state_io.h).
template <class Io>
void ppu_state_io(Io& io, IoMachine<Io>& m);
template <class Io>
void vram_state_io(Io& io, IoMachine<Io>& m);

// --- register handlers (also installed in the $21xx tables)
void ppu_install_io_handlers(Machine& m);
// Installs the $2118/$2119 write and $2139/$213A read handlers for VMAIN.
void ppu_install_vram_ports(Machine& m);
// Loads the VRAM read latch from the current address, as a write of $2116
// or $2117 does.
void ppu_vram_prefetch(Ppu& p);

// Whether the PPU is drawing the picture now: a line from 0 to the last
// visible one with forced blank off. VRAM and OAM belong to it then.
bool ppu_drawing(const Machine& m);

}  // namespace vt
