// Sprites: range evaluation at H-blank and the per-line sprite layer. The
// OAM decoding, evaluation and drawing arrive with the sprite unit; until
// then the sprite line stays empty and the compositor finds no sprite.
#include <algorithm>

#include "core/machine.h"
#include "video/render.h"

namespace vt {

void sprite_evaluation(Machine&) {}

void sprites_draw_line(Machine& m) {
    std::fill_n(m.ppu.obj_priority.begin(), 256, uint8_t(0x80));
}

}  // namespace vt
