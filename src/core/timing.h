// Timing state of the frame and scanline driver.
#pragma once

#include <climits>
#include <cstdint>

namespace vt {

struct Machine;

// Clock unit: half a PPU dot (two master clocks). A scanline is 680 units
// (the console's is 682: two of its 340 dots are 6 master clocks long).
inline constexpr int32_t kLineUnits = 680;
// The work RAM refresh stalls the CPU for 40 master clocks at dot 135.
inline constexpr int32_t kRefreshPoint = 270;
inline constexpr int32_t kRefreshUnits = 20;
// Dot 274: the H-blank flag rises, sprite evaluation ends and HDMA runs.
inline constexpr int32_t kHblankPoint = 548;
// While the picture is drawn the PPU reads CGRAM from dot 22 up to
// H-blank.
inline constexpr int32_t kPictureStart = 44;
// No timer IRQ (or other timed event) on this line.
inline constexpr int32_t kNoHirq = 0x7FFF;
// The H/V timer's IRQ follows the position it matches by 10 master clocks;
// HTIME at or above 340 names no dot and never fires.
inline constexpr int32_t kTimerIrqDelay = 5;
inline constexpr int32_t kHtimeDots = 340;
// The automatic joypad read starts at dot 33 of the first V-blank line and
// takes 4224 master clocks.
inline constexpr int32_t kJoypadReadStart = 66;
inline constexpr int32_t kJoypadReadUnits = 2112;

// Where the driver stands within a frame: the event it runs next. Steps of
// main-CPU work run between the line events, so a run that stops between
// two steps resumes at the same place of the same line.
enum class DriverPoint : uint8_t {
    FrameStart,  // the frame's opening work, then line 0
    LineStart,   // the frame's work before a line (drawing, HVBJOY, V-blank start), then the line's start
    Refresh,     // steps until the line clock reaches 270, then the memory refresh
    Hblank,      // steps until 548, then sprite evaluation, H-blank flag, HDMA
    LineEnd,     // steps until 680, then the line's end (and the frame's, after its last line)
};

// The part of the frame the line about to run belongs to.
enum class FramePart : uint8_t {
    Visible,  // line 0 and the drawn lines
    Vblank,
};

// The automatic joypad read of this frame's V-blank.
enum class JoypadRead : uint8_t {
    Idle,
    Starting,  // starts at kJoypadReadStart of this line
    Reading,   // HVBJOY bit 0 set; ends at joypad_end_clock of joypad_end_line
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
    // The automatic joypad read's next change on this line.
    int32_t joypad_point = kNoHirq;
    JoypadRead joypad = JoypadRead::Idle;
    uint16_t joypad_end_line = 0;
    int32_t joypad_end_clock = 0;
    // The earlier of hirq_point and joypad_point: the one test every step
    // makes for the events timed within a line.
    int32_t event_point = kNoHirq;
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

// After hirq_point or joypad_point changed.
inline void timing_update_event_point(Timing& t) {
    t.event_point = t.hirq_point < t.joypad_point ? t.hirq_point : t.joypad_point;
}

}  // namespace vt
