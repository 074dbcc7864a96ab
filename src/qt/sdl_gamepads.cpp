#include "qt/sdl_gamepads.h"

#include <SDL.h>

#include <algorithm>

namespace vt::gui {

Gamepads::Gamepads() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // SDL has no window of ours to watch for focus: the program decides
    // when input counts.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    started_ = SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) == 0;
    // Controllers present at start arrive as connection events at the first poll.
}

Gamepads::~Gamepads() {
    for (Pad& p : pads_) SDL_GameControllerClose(p.controller);
    pads_.clear();
    if (started_) SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
}

void Gamepads::open_device(int device_index) {
    if (!SDL_IsGameController(device_index)) return;
    const int instance = SDL_JoystickGetDeviceInstanceID(device_index);
    for (const Pad& p : pads_)
        if (p.instance_id == instance) return;  // already open
    SDL_GameController* c = SDL_GameControllerOpen(device_index);
    if (!c) return;
    pads_.push_back(Pad{c, instance});
    if (on_connection) on_connection(true, name(int(pads_.size()) - 1));
}

void Gamepads::close_instance(int instance_id) {
    auto it = std::find_if(pads_.begin(), pads_.end(), [&](const Pad& p) { return p.instance_id == instance_id; });
    if (it == pads_.end()) return;
    const std::string gone = name(int(it - pads_.begin()));
    SDL_GameControllerClose(it->controller);
    pads_.erase(it);
    if (on_connection) on_connection(false, gone);
}

void Gamepads::poll() {
    if (!started_) return;
    SDL_PumpEvents();
    SDL_Event events[32];
    int n;
    while ((n = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_CONTROLLERAXISMOTION, SDL_CONTROLLERDEVICEREMAPPED)) > 0) {
        for (int i = 0; i < n; i++) {
            const SDL_Event& e = events[i];
            switch (e.type) {
                case SDL_CONTROLLERDEVICEADDED: open_device(e.cdevice.which); break;
                case SDL_CONTROLLERDEVICEREMOVED: close_instance(e.cdevice.which); break;
                case SDL_CONTROLLERBUTTONDOWN:
                    if (on_button_pressed) on_button_pressed(e.cbutton.button);
                    break;
                default: break;
            }
        }
    }
    // The raw joystick events duplicate the controller ones: drop them so
    // the queue never fills.
    SDL_FlushEvents(SDL_JOYAXISMOTION, SDL_JOYBATTERYUPDATED);
}

ControllerState Gamepads::state(int slot) const {
    ControllerState s;
    if (slot < 0 || slot >= count()) return s;
    SDL_GameController* c = pads_[size_t(slot)].controller;
    for (int b = 0; b < kControllerButtonCount && b < SDL_CONTROLLER_BUTTON_MAX; b++)
        if (SDL_GameControllerGetButton(c, SDL_GameControllerButton(b))) s.buttons |= 1u << b;
    s.left_x = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTX);
    s.left_y = SDL_GameControllerGetAxis(c, SDL_CONTROLLER_AXIS_LEFTY);
    return s;
}

std::string Gamepads::name(int slot) const {
    if (slot < 0 || slot >= count()) return {};
    const char* n = SDL_GameControllerName(pads_[size_t(slot)].controller);
    return n ? n : "Game controller";
}

VirtualController::VirtualController() {
    device_index_ = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                              SDL_CONTROLLER_BUTTON_MAX, 0);
    if (device_index_ < 0) return;
    instance_id_ = SDL_JoystickGetDeviceInstanceID(device_index_);
    joystick_ = SDL_JoystickOpen(device_index_);
}

VirtualController::~VirtualController() {
    if (joystick_) SDL_JoystickClose(joystick_);
    if (device_index_ < 0) return;
    // The index moves when other joysticks come or go: find ours.
    for (int i = 0; i < SDL_NumJoysticks(); i++) {
        if (SDL_JoystickGetDeviceInstanceID(i) == instance_id_) {
            SDL_JoystickDetachVirtual(i);
            break;
        }
    }
}

void VirtualController::set_button(ControllerButton button, bool down) {
    if (joystick_) SDL_JoystickSetVirtualButton(joystick_, int(button), down ? 1 : 0);
}

void VirtualController::set_left_stick(int x, int y) {
    if (!joystick_) return;
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTX, Sint16(std::clamp(x, -32768, 32767)));
    SDL_JoystickSetVirtualAxis(joystick_, SDL_CONTROLLER_AXIS_LEFTY, Sint16(std::clamp(y, -32768, 32767)));
}

}  // namespace vt::gui
