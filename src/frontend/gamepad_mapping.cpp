#include "frontend/gamepad_mapping.h"

namespace vt {

namespace {

constexpr ControllerButton kDefault[kPadButtonCount] = {
    ControllerButton::DpadUp,   ControllerButton::DpadDown,     ControllerButton::DpadLeft,
    ControllerButton::DpadRight, ControllerButton::Back,        ControllerButton::Start,
    ControllerButton::East,     ControllerButton::South,        ControllerButton::North,
    ControllerButton::West,     ControllerButton::LeftShoulder, ControllerButton::RightShoulder,
};

constexpr const char* kNames[kControllerButtonCount] = {
    "A (bottom)", "B (right)",   "X (left)",      "Y (top)",    "Back",      "Guide",    "Start",
    "Left Stick", "Right Stick", "Left Shoulder", "Right Shoulder", "D-pad Up", "D-pad Down", "D-pad Left",
    "D-pad Right", "Misc",       "Paddle 1",      "Paddle 2",   "Paddle 3",  "Paddle 4", "Touchpad",
};

uint16_t bit(PadButton b) { return uint16_t(1u << int(b)); }

}  // namespace

PadMapping default_pad_mapping() {
    PadMapping m;
    for (int i = 0; i < kPadButtonCount; i++) m.buttons[size_t(i)] = uint8_t(kDefault[i]);
    return m;
}

void pad_mapping_to_bytes(const PadMapping& m, uint8_t out[kPadMappingSize]) {
    for (int i = 0; i < kPadButtonCount; i++) out[i] = m.buttons[size_t(i)];
}

PadMapping pad_mapping_from_bytes(const uint8_t in[kPadMappingSize]) {
    PadMapping m;
    for (int i = 0; i < kPadButtonCount; i++)
        m.buttons[size_t(i)] = in[i] < kControllerButtonCount ? in[i] : kControllerUnbound;
    return m;
}

std::string controller_button_name(uint8_t button) {
    if (button < kControllerButtonCount) return kNames[button];
    return "Not Defined";
}

uint16_t pad_buttons_held(const PadMapping& mapping, const ControllerState& state) {
    uint16_t held = 0;
    for (int i = 0; i < kPadButtonCount; i++) {
        const uint8_t c = mapping.buttons[size_t(i)];
        if (c < kControllerButtonCount && (state.buttons & (1u << c))) held |= uint16_t(1u << i);
    }
    if (state.left_x <= -kStickThreshold) held |= bit(PadButton::Left);
    if (state.left_x >= kStickThreshold) held |= bit(PadButton::Right);
    if (state.left_y <= -kStickThreshold) held |= bit(PadButton::Up);
    if (state.left_y >= kStickThreshold) held |= bit(PadButton::Down);
    return held;
}

int port_for_controller_slot(int slot, const PortDevice devices[2]) {
    int seen = 0;
    for (int port = 0; port < 2; port++) {
        if (devices[port] != PortDevice::Joypad) continue;
        if (seen == slot) return port;
        seen++;
    }
    return -1;
}

}  // namespace vt
