// Game controllers through SDL2's GameController layer, plugged in and out
// at any time. The program polls them between frames; controllers take the
// slots 0, 1, ... in the order they were connected (one that goes away
// frees its slot and those after it move up).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "frontend/gamepad_mapping.h"

struct _SDL_GameController;
struct _SDL_Joystick;

namespace vt::gui {

class Gamepads {
public:
    Gamepads();
    ~Gamepads();
    Gamepads(const Gamepads&) = delete;
    Gamepads& operator=(const Gamepads&) = delete;

    // False when SDL's controller support could not start (no controllers).
    bool available() const { return started_; }

    // Reads what happened since the last poll: controllers connected or
    // removed, buttons pressed (each reported to on_button_pressed).
    void poll();

    int count() const { return int(pads_.size()); }
    ControllerState state(int slot) const;
    std::string name(int slot) const;

    // A controller button went down (for capturing it in the input dialog).
    std::function<void(uint8_t button)> on_button_pressed;
    // A controller was connected (true) or removed (false), with its name.
    std::function<void(bool connected, const std::string& name)> on_connection;

private:
    void open_device(int device_index);
    void close_instance(int instance_id);

    struct Pad {
        _SDL_GameController* controller = nullptr;
        int instance_id = -1;
    };
    bool started_ = false;
    std::vector<Pad> pads_;
};

// A controller that exists only in SDL, for trying the program and for
// tests: it appears like a plugged-in one at the next poll.
class VirtualController {
public:
    VirtualController();  // attaches (needs a Gamepads to have started SDL's controllers)
    ~VirtualController();  // detaches: the controller goes away at the next poll
    VirtualController(const VirtualController&) = delete;
    VirtualController& operator=(const VirtualController&) = delete;

    bool attached() const { return joystick_ != nullptr; }
    void set_button(ControllerButton button, bool down);
    void set_left_stick(int x, int y);

private:
    int device_index_ = -1;
    int instance_id_ = -1;
    _SDL_Joystick* joystick_ = nullptr;
};

}  // namespace vt::gui
