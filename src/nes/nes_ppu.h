// The NES picture unit (2C02): registers $2000-$2007, the loopy v/t/x/w
// scroll model, nametables, pattern tables, palette, sprites. It draws one
// line at a time into the console's 512 x 478 output picture.
//
// The NES side's line loop calls nes_ppu_line at the start of every line
// (0-239 visible, 240 idle, 241-260 V-blank, 261 pre-render), then runs the
// line's CPU cycles; register accesses carry the dot (0-340) they happen
// at, so a read of $2002 sees the sprite-zero hit and the V-blank flag at
// their own dots.
#pragma once

#include <array>
#include <cstdint>
#include <type_traits>

namespace vt {

inline constexpr uint16_t kNesPpuNoDot = 0xFFFF;
inline constexpr uint16_t kNesPpuLineDots = 341;
inline constexpr uint16_t kNesPpuPreRenderLine = 261;
inline constexpr uint16_t kNesPpuVblankLine = 241;

struct NesPpu {
    // Memory the cartridge's mapper points at (set by the mapper after
    // every bank change, power-on and state load; never saved): eight 1 KiB
    // pattern pages for $0000-$1FFF and four 1 KiB nametables for
    // $2000-$2FFF (mirrored up to $3EFF).
    std::array<uint8_t*, 8> chr_page{};
    bool chr_writable = false;  // CHR RAM
    std::array<uint8_t*, 4> nametable_page{};

    // The console's own 2 KiB of nametable RAM.
    std::array<uint8_t, 2048> ciram{};
    std::array<uint8_t, 32> palette{};
    std::array<uint8_t, 256> oam{};

    // Registers and the scroll model.
    uint8_t control = 0;  // $2000
    uint8_t mask = 0;     // $2001
    uint8_t status = 0;   // $2002 bits 5-7
    uint8_t oam_address = 0;
    uint16_t v = 0, t = 0;  // current and temporary VRAM address (15 bits)
    uint8_t fine_x = 0;
    bool write_toggle = false;
    uint8_t read_buffer = 0;
    uint8_t open_bus = 0;
    // Frame parity: the pre-render line of an odd frame is one dot short
    // while rendering is on.
    bool odd_frame = false;

    // Where the unit is within the current line (not saved: a state is
    // taken between frames). The line is drawn when it starts; the changes
    // of the scroll address that the hardware makes at fixed dots of the
    // line wait in `next_event` until a register access at a later dot, or
    // the next line, passes them.
    uint16_t line = 0;
    uint8_t next_event = 0;        // index into the line's event list
    uint16_t sprite_zero_dot = kNesPpuNoDot;  // dot of this line's sprite-zero hit, or kNesPpuNoDot
    // A $2002 read within two dots of the V-blank flag's rise took this
    // frame's NMI away (cleared on the pre-render line).
    bool nmi_suppressed = false;
};

void nes_ppu_power_on(NesPpu& p);
void nes_ppu_reset(NesPpu& p);
// The work at the start of `line`: finishes the line before it, draws a
// visible line (0-239) into `picture`, raises the V-blank flag on line 241,
// clears the flags on line 261. `picture` is the whole 512 x 478 output
// picture (kPictureStride bytes a row, blue-green-red) or null for a frame
// that is not shown: NES line n fills rows 2n - 1 and 2n, so the 480 rows
// of the doubled picture lose their first and last row. Without a picture
// the line is still composed (the sprite-zero hit needs it).
void nes_ppu_line(NesPpu& p, uint16_t line, uint8_t* picture);
// $2000-$2007 (address AND 7), at `dot` of the current line.
uint8_t nes_ppu_read(NesPpu& p, uint16_t address, uint16_t dot);
void nes_ppu_write(NesPpu& p, uint16_t address, uint8_t value, uint16_t dot);
// What a read would return, without its side effects (debugger).
uint8_t nes_ppu_peek(const NesPpu& p, uint16_t address);
// $4014: the 256 bytes of the page the CPU copies into OAM.
void nes_ppu_oam_dma(NesPpu& p, const uint8_t* page);
// The NMI line: V-blank flag and $2000 bit 7; the CPU takes NMI on its rise.
bool nes_ppu_nmi_line(const NesPpu& p);
// Whether a read of $2002 at dots 0-2 of line 241 took this frame's NMI
// away: the CPU drops an NMI it had latched from the flag's rise.
bool nes_ppu_nmi_suppressed(const NesPpu& p);
// Background or sprites enabled (mappers count lines only then).
bool nes_ppu_rendering(const NesPpu& p);
// Dots in `line`: 341, or 340 for the pre-render line of an odd frame with
// rendering on (the unit skips its last dot there).
uint16_t nes_ppu_line_dots(const NesPpu& p, uint16_t line);
// Byte `address` (0-$3FFF) of the unit's memory as $2007 would read it,
// without side effects (debugger, tests).
uint8_t nes_ppu_peek_memory(const NesPpu& p, uint16_t address);

// Save state: everything except the mapper's pointers.
inline constexpr uint32_t kNesPpuStateSize = 2048 + 32 + 256 + 3 + 1 + 2 + 2 + 1 + 1 + 1 + 1 + 1;
template <class Io>
void nes_ppu_state_io(Io& io, std::conditional_t<Io::loading, NesPpu, const NesPpu>& p) {
    io.bytes(p.ciram);
    io.bytes(p.palette);
    io.bytes(p.oam);
    io.u8(p.control);
    io.u8(p.mask);
    io.u8(p.status);
    io.u8(p.oam_address);
    io.u16(p.v);
    io.u16(p.t);
    io.u8(p.fine_x);
    uint8_t toggle = p.write_toggle;
    io.u8(toggle);
    if constexpr (Io::loading) p.write_toggle = toggle & 1;
    io.u8(p.read_buffer);
    io.u8(p.open_bus);
    uint8_t odd = p.odd_frame;
    io.u8(odd);
    if constexpr (Io::loading) {
        p.odd_frame = odd & 1;
        p.next_event = 0;
        p.sprite_zero_dot = kNesPpuNoDot;
    }
}

}  // namespace vt
