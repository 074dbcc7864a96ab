// Picture processing unit: registers, video memories and the line renderer.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

struct Ppu {
    uint8_t stat77 = 0x01;  // $213E: bits 7-6 time over / range over, bits 3-0 version
    uint8_t stat78 = 0x03;  // $213F: bit 7 interlace field, bit 6 counter latched, bit 4 PAL
};

void ppu_power_on(Machine& m);
void ppu_reset(Machine& m);

// Frame and line services called by the driver.
void video_frame_start(Machine& m);       // renderer back to the first output row
void video_render_line(Machine& m);       // draw the line about to run
void video_clear_rows_below(Machine& m);  // clear rows from the current one down to line 239
void ppu_vblank_oam_reload(Machine& m);
void sprite_evaluation(Machine& m);       // at H-blank of visible lines, for the next line

// Latches the H and V counters ($213C/$213D) as a read of $2137 or the
// counter-latch line of $4201 does.
void ppu_latch_counters(Machine& m);

}  // namespace vt
