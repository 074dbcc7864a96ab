// Joypad scripts for headless runs: one line per change of a port's
// buttons, "FRAME PORT BUTTONS", with the buttons named (B Y Select Start Up
// Down Left Right A X L R) and separated by spaces; no buttons means none
// held. A port keeps its buttons until its next line. Blank lines and text
// after '#' are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vt {

struct InputPorts;

struct InputEvent {
    uint32_t frame = 0;
    int port = 0;          // 0 or 1 (written 1 or 2 in the script)
    uint32_t buttons = 0;  // kPad* bits
};

struct InputScript {
    std::vector<InputEvent> events;  // sorted by frame, file order within a frame
    size_t next = 0;                 // first event not applied yet
};

// Scripts are text a person writes; anything larger is not one.
inline constexpr uint64_t kMaxInputScriptSize = 16ull * 1024 * 1024;

// Parses a script; on a bad line returns false with "line N: ..." in `error`.
bool parse_input_script(std::string_view text, InputScript& script, std::string& error);
// Reads and parses a script file. Only a regular file of at most
// kMaxInputScriptSize bytes is read (a folder, a device or a pipe is
// refused); on failure `error` says why ("not a regular file", "cannot
// read: Permission denied", "line 3: ...").
bool load_input_script(const std::string& path, InputScript& script, std::string& error);

// Whether any line of the script drives the port (0 or 1).
bool input_script_uses_port(const InputScript& script, int port);

// Applies every change up to and including `frame` to the port records
// (called once before each frame runs, with increasing frame numbers).
void input_script_apply(InputScript& script, uint32_t frame, InputPorts& ports);

// The button bit for a name ("Start", case-insensitive), 0 when unknown.
uint32_t joypad_button_by_name(std::string_view name);

}  // namespace vt
