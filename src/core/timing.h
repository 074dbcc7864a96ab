// Timing state of the frame and scanline driver.
#pragma once

#include <climits>
#include <cstdint>

namespace vt {

struct Machine;

// Clock unit: half a PPU dot (two master clocks). A scanline is 680 units.
inline constexpr int32_t kLineUnits = 680;
inline constexpr int32_t kRefreshPoint = 270;
inline constexpr int32_t kRefreshUnits = 16;
inline constexpr int32_t kHblankPoint = 528;
inline constexpr int32_t kNoHirq = 0x7FFF;

// Where the driver stands within a frame: the event it runs next. Steps of
// main-CPU work run between the line events, so a run that stops between
// two steps resumes at the same place of the same line.
enum class DriverPoint : uint8_t {
    FrameStart,  // the frame's opening work, then line 0
    LineStart,   // the frame's work before a line (drawing, HVBJOY, V-blank start), then the line's start
    Refresh,     // steps until the line clock reaches 270, then the memory refresh
    Hblank,      // steps until 528, then sprite evaluation, H-blank flag, HDMA
    LineEnd,     // steps until 680, then the line's end (and the frame's, after its last line)
};

// The part of the frame the line about to run belongs to.
enum class FramePart : uint8_t {
    Visible,      // line 0 and the drawn lines
    VblankBusy,   // the four V-blank lines of the automatic joypad read
    Vblank,       // the rest of V-blank
};

// Why a run returned to its caller.
enum class RunStop : uint8_t {
    FrameEnd,     // the frame is complete
    LineEnd,      // the line is complete
    Instruction,  // one main-CPU step ran
    Requested,    // a breakpoint or driver_request_stop; nothing of the next step ran
};

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
    // --- where the driver resumes (see DriverPoint)
    DriverPoint point = DriverPoint::FrameStart;
    FramePart frame_part = FramePart::Visible;
    uint8_t busy_lines = 0;   // V-blank lines run with the joypad-busy flag
    bool frame_drawn = true;  // decided at frame start from the frame-skip countdown
    // The step loop runs while the line clock is below this: the line clock
    // of the next line event, one unit past the clock for a single step, or
    // INT32_MIN once a stop is requested, so stopping costs the loop nothing.
    int32_t run_limit = 0;
    bool stop_requested = false;
    RunStop last_stop = RunStop::FrameEnd;

    // --- the cartridge chip's driver hooks, cached at power-on and reset
    // from its row of the chip table: run after every main-CPU step (a
    // processor that keeps level with the main CPU), and at every line end
    // (a processor run in slices). Null for a cartridge without such a
    // chip; the driver then runs a step loop without the call.
    void (*chip_catch_up)(Machine&) = nullptr;
    void (*chip_line_end)(Machine&) = nullptr;
};

}  // namespace vt
