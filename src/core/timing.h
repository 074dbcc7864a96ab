// Timing state of the frame and scanline driver.
#pragma once

#include <cstdint>

namespace vt {

// Clock unit: half a PPU dot (two master clocks). A scanline is 680 units.
inline constexpr int32_t kLineUnits = 680;
inline constexpr int32_t kRefreshPoint = 270;
inline constexpr int32_t kRefreshUnits = 16;
inline constexpr int32_t kHblankPoint = 528;
inline constexpr int32_t kNoHirq = 0x7FFF;

struct Timing {
    // Position within the current line; the overshoot of the last
    // instruction of a line carries into the next. Held wider than the
    // console's 16 bits: it never leaves 0..~800, so the comparisons agree.
    int32_t line_clock = 0;
    uint16_t line = 0;
    int32_t hirq_point = kNoHirq;
    uint16_t last_visible_line = 224;
    uint16_t lines_per_frame = 262;
    uint16_t sound_lines = 244;
    uint8_t hdma_active = 0;
    uint32_t frame_counter = 0;
    uint64_t cpu_steps = 0;  // main-CPU steps run (instructions, interrupt entries, idle steps)
    bool gamepak_loaded = false;
};

}  // namespace vt
