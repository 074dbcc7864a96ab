// The demo's graphics, drawn by formulas: each function returns the files
// of one scene (tiles, tilemaps, palettes and HDMA tables) as named byte
// blocks for the assembler to include.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace demo {

using Files = std::map<std::string, std::vector<uint8_t>>;

// The font for BG3 text and the sprite sheet with its eight palettes.
void make_common_graphics(Files& files);
// Title: logo and background pattern, their palettes, the fixed-colour
// gradient table.
void make_title_graphics(Files& files);
// Parallax scene: the near hills, the mountains, the clouds, their
// palettes and the sky gradient table.
void make_parallax_graphics(Files& files);
// Mode 7: the 1024 x 1024 plane (map and tiles), its palette and the
// rotation and zoom matrices of one turn.
void make_mode7_graphics(Files& files);
// Tables the program computes with: a sine and the spotlight circle.
void make_tables(Files& files);

}  // namespace demo
