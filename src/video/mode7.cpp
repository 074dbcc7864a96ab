// Mode 7: BG1 as a rotated and scaled plane. The plane walk arrives with the
// Mode 7 unit; until then its BG1 line is transparent, so mode 7 screens
// show sprites and the backdrop.
#include <algorithm>

#include "core/machine.h"
#include "video/render.h"

namespace vt {

void mode7_draw_line(Machine& m, int bg) {
    BgLayer& layer = m.ppu.bg[bg];
    std::fill_n(layer.colour.begin() + kLinePad, 256, uint8_t(0));
}

}  // namespace vt
