#include "video/ppu.h"

#include "cart/memory_map.h"
#include "core/machine.h"

namespace vt {

// The register set and renderer arrive with the video subsystem; until then
// the PPU's page dispatches through the default $21xx tables.
void ppu_power_on(Machine& m) {
    m.ppu = Ppu{};
    memory_install_io_page(m);
}

void ppu_reset(Machine& m) { ppu_power_on(m); }

void video_frame_start(Machine&) {}
void video_render_line(Machine&) {}
void video_clear_rows_below(Machine&) {}
void ppu_vblank_oam_reload(Machine&) {}
void sprite_evaluation(Machine&) {}
void ppu_latch_counters(Machine&) {}

}  // namespace vt
