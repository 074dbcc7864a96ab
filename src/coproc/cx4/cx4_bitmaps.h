// The CX4's bitmap commands (sub-functions of command $00). The source of
// $03, $07 and $0B is a packed 4-bit-per-pixel picture in RAM from $600,
// row by row, two pixels a byte (the even pixel in the low nibble), of
// width $7F89 AND $F8 and height $7F8C AND $F8. The output goes to RAM from
// $000 as the console's 4bpp tiles (row r of a tile: bytes 2r, 2r+1 bit
// planes 0 and 1, bytes 16+2r, 17+2r planes 2 and 3, the leftmost pixel in
// bit 7). The source is read whole before the output is written over it; a
// picture larger than the RAM loses what falls past its end.
//
//   $03  scale and rotate: angle word $7F80 (512 to the turn), centre X and
//        Y words $7F83, $7F86 (signed), X and Y scale words $7F8F, $7F92
//        (1.0 = $1000, the step through the source for one output pixel,
//        so $2000 halves the picture; bit 15 set counts as $7FFF). Output
//        pixel (x, y) shows the source pixel at
//        centre + M (x - centre, y - centre), M = [cos sx, -sin sy;
//        sin sx, cos sy] in 1.12 fixed point, exact at the right angles.
//   $07  the same, each row of tiles followed by two tiles' room (64 bytes)
//   $0B  disintegrate: centre X, Y words $7F80, $7F83, X, Y scale words
//        $7F86, $7F8F (signed 8.8, $100 = 1.0); source pixel (j, i) moves
//        to (cx + (j - cx) sx, cy + (i - cy) sy); colour 0 and places off
//        the picture are dropped.
//   $0C  wave: see cx4_wave below.
#pragma once

namespace vt {

struct Cx4;

void cx4_scale_rotate(Cx4& c, bool gap_after_each_tile_row);
void cx4_disintegrate(Cx4& c);

// Shifts the 128 pixel columns of a 16-tile-wide picture at RAM $000 (rows
// of tiles 512 bytes apart, bit planes 0 and 1 only) up or down. Column c
// (tile c/8, bit 7 - c%8) takes its wave value w = the signed byte at RAM
// $B00 + (($7F83 + c) AND 127); its pixel in row i (0-39, five tiles down)
// becomes row h = i - 16 + w of a pattern: nothing for h < 0, the pattern
// word h at RAM $A00 for h < 8 (low byte plane 0, high byte plane 1),
// plane 1 alone below it. Other columns and planes 2 and 3 keep their bits.
void cx4_wave(Cx4& c);

}  // namespace vt
