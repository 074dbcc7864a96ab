#include "nes/nes_ppu_test_support.h"

#include <cstring>

namespace vt::test {

namespace {
// 25 colours that decode to distinct RGB values; the four backdrop mirrors
// ($3F10/14/18/1C) repeat entries 0/4/8/12.
constexpr uint8_t kDistinct[32] = {0x0F, 0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08, 0x09, 0x0A,
                                   0x0B, 0x0C, 0x11, 0x12, 0x13, 0x0F, 0x14, 0x15, 0x16, 0x04, 0x17,
                                   0x18, 0x19, 0x08, 0x1A, 0x1B, 0x1C, 0x0C, 0x21, 0x22, 0x23};
}  // namespace

NesPpuRig::NesPpuRig() {
    for (int i = 0; i < 8; i++) p.chr_page[i] = &chr[i * 0x400];
    mirror_vertical();
    nes_ppu_power_on(p);
    std::memcpy(p.palette.data(), kDistinct, 32);
}

void NesPpuRig::mirror_vertical() {
    for (int i = 0; i < 4; i++) p.nametable_page[i] = &p.ciram[(i & 1) * 0x400];
}
void NesPpuRig::mirror_horizontal() {
    for (int i = 0; i < 4; i++) p.nametable_page[i] = &p.ciram[(i >> 1) * 0x400];
}

void NesPpuRig::set_tile_row(int tile, int row, uint8_t plane0, uint8_t plane1) {
    chr[tile * 16 + row] = plane0;
    chr[tile * 16 + row + 8] = plane1;
}
void NesPpuRig::set_solid_tile(int tile, int value) {
    for (int row = 0; row < 8; row++)
        set_tile_row(tile, row, (value & 1) ? 0xFF : 0, (value & 2) ? 0xFF : 0);
}
void NesPpuRig::set_name(int nametable, int column, int row, uint8_t tile) {
    p.nametable_page[nametable][row * 32 + column] = tile;
}
void NesPpuRig::set_attribute(int nametable, int column, int row, int palette) {
    uint8_t& byte = p.nametable_page[nametable][0x3C0 + (row / 4) * 8 + column / 4];
    int shift = ((row & 2) ? 4 : 0) + ((column & 2) ? 2 : 0);
    byte = uint8_t((byte & ~(3 << shift)) | palette << shift);
}
void NesPpuRig::set_sprite(int index, uint8_t y, uint8_t tile, uint8_t attributes, uint8_t x) {
    p.oam[index * 4] = y;
    p.oam[index * 4 + 1] = tile;
    p.oam[index * 4 + 2] = attributes;
    p.oam[index * 4 + 3] = x;
}

void NesPpuRig::set_address(uint16_t address) {
    read(0x2002);
    write(0x2006, uint8_t(address >> 8));
    write(0x2006, uint8_t(address));
}
void NesPpuRig::set_scroll(uint8_t x, uint8_t y) {
    read(0x2002);
    write(0x2005, x);
    write(0x2005, y);
}

void NesPpuRig::run_lines(int first, int last) {
    for (int line = first; line <= last; line++) nes_ppu_line(p, uint16_t(line), picture.data());
}
void NesPpuRig::run_frame() {
    run_lines(261, 261);
    run_lines(0, 260);
}

NesColour NesPpuRig::colour_at(int x, int line) const {
    int row = line < 239 ? 2 * line : 2 * line - 1;
    const uint8_t* pixel = &picture[size_t(row) * kPictureStride + size_t(x) * 6];
    return NesColour(pixel[0]) | NesColour(pixel[1]) << 8 | NesColour(pixel[2]) << 16;
}

int NesPpuRig::entry_at(int x, int line) const {
    NesColour c = colour_at(x, line);
    const NesColour* table = nes_colour_table().colour[0];
    for (int i = 0; i < 32; i++)
        if (table[kDistinct[i]] == c) return i;
    return -1;
}

}  // namespace vt::test
