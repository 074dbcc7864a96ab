// The program's own keys while a game runs, beside the keys bound to the
// console's controllers: pause, frame advance, quick saves, rewind,
// fast forward and full screen. Key codes are the virtual-key numbers of
// the binding records. A key that is one of these is the program's and
// does not reach the controllers (Escape, which also leaves full screen
// and releases the mouse, is not one of them: it still does).
#pragma once

#include <cstdint>

namespace vt {

enum class PlayKey : uint8_t {
    None,
    Pause,              // Pause: pause or resume
    FrameAdvance,       // "\": one frame while paused
    QuickLoad,          // F1-F10
    QuickSave,          // Shift+F1-F10
    Rewind,             // Backspace, held
    FastForward,        // Tab, held
    FastForwardToggle,  // Shift+Tab
    FullScreen,         // F11 or Alt+Enter
};

struct PlayKeyPress {
    PlayKey key = PlayKey::None;
    int slot = 0;  // QuickLoad and QuickSave: 1-10
};

struct KeyModifiers {
    bool shift = false;
    bool ctrl = false;
    bool alt = false;
};

// The program's meaning of a key press. `scope_in_port_2`: the Pause key
// is the Super Scope's own Pause button then, not the program's.
PlayKeyPress play_key_for(uint8_t vk, KeyModifiers mods, bool scope_in_port_2);

// The menu texts of the keys, for the items that do the same.
inline constexpr const char* kPauseKeyText = "Pause";
inline constexpr const char* kFrameAdvanceKeyText = "\\";
inline constexpr const char* kFastForwardToggleKeyText = "Shift+Tab";
inline constexpr const char* kRewindKeyText = "Backspace";

}  // namespace vt
