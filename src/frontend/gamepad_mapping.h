// Game controllers as joypads: which controller button plays which console
// button, the default layout, the names the configuration dialog shows,
// and which console buttons a controller's state holds. Controller buttons
// use the standard game-controller numbering (the SDL2 GameController
// layout: a face button is named by its position, A at the bottom).
// No SDL here: the program reads the controllers and hands over numbers.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "frontend/input_devices.h"

namespace vt {

// Controller buttons.
enum class ControllerButton : uint8_t {
    South,  // A on most controllers
    East,   // B
    West,   // X
    North,  // Y
    Back,
    Guide,
    Start,
    LeftStick,
    RightStick,
    LeftShoulder,
    RightShoulder,
    DpadUp,
    DpadDown,
    DpadLeft,
    DpadRight,
    Misc,
    Paddle1,
    Paddle2,
    Paddle3,
    Paddle4,
    Touchpad,
};
inline constexpr int kControllerButtonCount = 21;
inline constexpr uint8_t kControllerUnbound = 0xFF;

// `Gamepad1`, `Gamepad2`: the controller button of each console button, in
// the order of a binding record's keys (Up, Down, Left, Right, Select,
// Start, A, B, X, Y, L, R); kControllerUnbound for none.
struct PadMapping {
    std::array<uint8_t, kPadButtonCount> buttons{};
};
inline constexpr int kPadMappingSize = kPadButtonCount;

// D-pad for the directions, face buttons by position (the console's B at
// the bottom, A on the right, Y on the left, X at the top), shoulders for
// L and R, Back for Select, Start for Start.
PadMapping default_pad_mapping();
void pad_mapping_to_bytes(const PadMapping& m, uint8_t out[kPadMappingSize]);
// Bytes that are neither a controller button nor kControllerUnbound
// become unbound.
PadMapping pad_mapping_from_bytes(const uint8_t in[kPadMappingSize]);

// "D-pad Up", "A (bottom)", ...; "Not Defined" for kControllerUnbound.
std::string controller_button_name(uint8_t button);

// A controller as read once: its held buttons (bit n = ControllerButton n)
// and its left stick (-32768..32767, y grows downwards).
struct ControllerState {
    uint32_t buttons = 0;
    int left_x = 0;
    int left_y = 0;
};
// The stick counts as a direction beyond this deflection (about half way).
inline constexpr int kStickThreshold = 16000;

// Console buttons held (bit n = PadButton n): the mapped buttons, and the
// left stick as the D-pad.
uint16_t pad_buttons_held(const PadMapping& mapping, const ControllerState& state);

// The controller in slot 0 plays the first port holding a joypad, slot 1
// the second; -1 when there is no such port.
int port_for_controller_slot(int slot, const PortDevice devices[2]);

}  // namespace vt
