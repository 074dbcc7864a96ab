// A picture unit wired to its own pattern memory and nametables, with a
// palette of distinct colours, so tests can read back which palette entry
// each screen pixel shows.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "nes/nes_palette.h"
#include "nes/nes_ppu.h"
#include "video/ppu.h"

namespace vt::test {

struct NesPpuRig {
    NesPpu p;
    std::array<uint8_t, 0x2000> chr{};
    std::vector<uint8_t> picture = std::vector<uint8_t>(size_t(kPictureStride) * kPictureHeight);

    NesPpuRig();
    // Nametables A B A B (vertical) or A A B B (horizontal mirroring).
    void mirror_vertical();
    void mirror_horizontal();

    // Pattern memory: row `row` of tile `tile` (0-511) from two planes.
    void set_tile_row(int tile, int row, uint8_t plane0, uint8_t plane1);
    // A tile whose every pixel has value `value` (0-3).
    void set_solid_tile(int tile, int value);
    void set_name(int nametable, int column, int row, uint8_t tile);
    void set_attribute(int nametable, int column, int row, int palette);
    void set_sprite(int index, uint8_t y, uint8_t tile, uint8_t attributes, uint8_t x);

    void write(uint16_t address, uint8_t value, uint16_t dot = 0) { nes_ppu_write(p, address, value, dot); }
    uint8_t read(uint16_t address, uint16_t dot = 0) { return nes_ppu_read(p, address, dot); }
    void set_address(uint16_t address);  // through $2006
    void set_scroll(uint8_t x, uint8_t y);  // through $2005 (and $2002 first)

    // Runs the unit's lines first..last (each line drawn at its start).
    void run_lines(int first, int last);
    // A whole frame from the pre-render line: 261, then 0-260.
    void run_frame();

    NesColour colour_at(int x, int line) const;
    // The palette entry (0-31, mirrors folded) whose colour pixel (x, line)
    // shows; -1 if none.
    int entry_at(int x, int line) const;
};

}  // namespace vt::test
