// The controller-port devices as the host drives them: keyboard joypads,
// the console mouse and the Super Scope, turned into the port records the
// console reads. No Qt here: the window forwards key codes (Windows
// virtual-key numbering), mouse motion and clicks.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/input_ports.h"

namespace vt {

struct Machine;

// Buttons in the order of a binding record's key codes.
enum class PadButton : int { Up, Down, Left, Right, Select, Start, A, B, X, Y, L, R };
inline constexpr int kPadButtonCount = 12;

// `Joypad1` ... : device type then the 12 key codes (0 = not bound).
struct BindingRecord {
    uint8_t device = 0;  // PortDevice numbering: 0 none, 1 joypad, 2 mouse, 3 Super Scope
    std::array<uint8_t, kPadButtonCount> keys{};
};
inline constexpr int kBindingRecordSize = 13;
inline constexpr int kBindingRecordCount = 5;

BindingRecord default_binding(int record_index);  // 0 = device #1, 1 = device #2, ...
void binding_to_bytes(const BindingRecord& b, uint8_t out[kBindingRecordSize]);
BindingRecord binding_from_bytes(const uint8_t in[kBindingRecordSize]);

// Super Scope flag bits.
inline constexpr uint8_t kScopeFire = 0x80;
inline constexpr uint8_t kScopeCursor = 0x40;
inline constexpr uint8_t kScopeTurbo = 0x20;
inline constexpr uint8_t kScopePause = 0x10;
inline constexpr uint8_t kScopeOffscreen = 0x02;

struct ScopeState {
    bool active = false;
    uint8_t x = 0;  // console pixels
    uint8_t y = 0;
    uint8_t flags = 0;
    bool turbo = false;
    uint8_t after_read_mask = 0x22;
};

struct InputDevices;
using KeyHandler = void (*)(InputDevices&);

struct InputDevices {
    explicit InputDevices(InputPorts& ports);

    InputPorts& ports;
    std::array<BindingRecord, kBindingRecordCount> bindings;
    std::array<KeyHandler, 256> key_down{};
    std::array<KeyHandler, 256> key_up{};
    ScopeState scope;
};

// Rebuilds the key tables and the port records from the binding records.
void apply_bindings(InputDevices& d);

inline void key_down(InputDevices& d, uint8_t vk) { d.key_down[vk](d); }
inline void key_up(InputDevices& d, uint8_t vk) { d.key_up[vk](d); }

// A game controller's button held or let go on a port that holds a joypad:
// the same as a key bound to that button (a direction releases its
// opposite). Nothing happens on a port holding another device.
void press_pad_button(InputDevices& d, int port, PadButton button);
void release_pad_button(InputDevices& d, int port, PadButton button);
// Presses and releases what changed between two sets of held buttons (bit
// n = PadButton n).
void apply_pad_buttons(InputDevices& d, int port, uint16_t before, uint16_t after);

// Once per frame for a port holding the mouse: the host's relative motion
// and buttons since the last frame.
void update_mouse(InputDevices& d, int port, int dx, int dy, bool left, bool right);
// The mouse's strobe hook: speed 0, 1, 2, 0, ...
void mouse_speed_step(Machine& m, int port);

// Super Scope window events, in window pixels relative to the picture origin
// (the picture is drawn at twice the console's size).
void scope_left_down(InputDevices& d, int wx, int wy);
void scope_right_down(InputDevices& d, int wx, int wy);
void scope_move(InputDevices& d, int wx, int wy);
void scope_left_up(InputDevices& d);
void scope_right_up(InputDevices& d);
// Once per frame while port 2 holds the scope. Returns true when the PPU's
// counters are to be latched at the scope's position (counter-latch enable
// set in WRIO, on screen, Fire or Cursor held); `scope` then holds it.
bool update_scope(InputDevices& d, uint8_t wrio);

// Name of a key code as the configuration dialog shows it. Every key the
// program can report has a name; other codes show as "0x" and two digits.
std::string key_name(uint8_t vk);
// Whether a key code is bound more than once across the given records.
bool key_bound_twice(const BindingRecord* records, int count, uint8_t vk);

}  // namespace vt
