// The CX4's OAM builder (command $00, sub-function $00): turns a list of
// objects in its RAM into the console's sprite table, also in its RAM.
//
//   RAM $620        object count
//   RAM $621, $623  global X, Y words, subtracted from every object's place
//   RAM $626        first OAM entry to fill (0-127)
//   RAM $220 + 16n  object n: +0 X word, +2 Y word, +4 attributes, +5 tile,
//                   +6 attribute bits ORed into +4, +7..+9 24-bit pointer to
//                   its sprite definition in the cartridge
//   definition      piece count, then 4 bytes a piece: flags (bit 5 16x16,
//                   bit 6 X flip, bit 7 Y flip), signed X and Y offsets,
//                   tile offset
//   RAM $000-$1FF   the OAM built (X, Y, tile, attributes an entry)
//   RAM $200-$21F   its high table (bit 0 X bit 8, bit 1 large, 2 bits an entry)
//
// Entries from the first one on are first moved off screen (Y = $E0). A
// piece is written only when its place lies within -16..272 across and
// -16..224 down; an object without pieces is one large entry of its own.
#pragma once

namespace vt {

struct Machine;

void cx4_build_oam(Machine& m);

}  // namespace vt
