#include "frontend/input_devices.h"

#include <algorithm>
#include <cstdio>

#include "core/machine.h"

namespace vt {

namespace {

// Bit of each button in a port record, in binding order.
constexpr uint32_t kButtonBit[kPadButtonCount] = {kPadUp,    kPadDown, kPadLeft, kPadRight, kPadSelect, kPadStart,
                                                  kPadA,     kPadB,    kPadX,    kPadY,     kPadL,      kPadR};

// Pressing a direction releases its opposite.
constexpr uint32_t kOppositeBit[kPadButtonCount] = {kPadDown, kPadUp, kPadRight, kPadLeft, 0, 0, 0, 0, 0, 0, 0, 0};

constexpr uint8_t kDefaultKeys[2][kPadButtonCount] = {
    {38, 40, 37, 39, 32, 13, 65, 66, 88, 89, 76, 82},
    {104, 98, 100, 102, 219, 221, 33, 34, 36, 35, 45, 46},
};

// A key bound twice drives the button installed last.
constexpr PadButton kInstallOrder[kPadButtonCount] = {
    PadButton::R,     PadButton::L,  PadButton::X,     PadButton::A,      PadButton::Right, PadButton::Left,
    PadButton::Down,  PadButton::Up, PadButton::Start, PadButton::Select, PadButton::Y,     PadButton::B};

constexpr uint32_t kButtonBytes = 0xFFFF0000u;

void do_nothing(InputDevices&) {}

template <int Port, int Button>
void press(InputDevices& d) {
    uint32_t& r = d.ports.record[Port];
    r = (r | kButtonBit[Button]) & ~kOppositeBit[Button];
}

template <int Port, int Button>
void release(InputDevices& d) {
    d.ports.record[Port] &= ~kButtonBit[Button];
}

template <int Port, int... Buttons>
constexpr std::array<KeyHandler, kPadButtonCount> press_table(std::integer_sequence<int, Buttons...>) {
    return {&press<Port, Buttons>...};
}

template <int Port, int... Buttons>
constexpr std::array<KeyHandler, kPadButtonCount> release_table(std::integer_sequence<int, Buttons...>) {
    return {&release<Port, Buttons>...};
}

const std::array<KeyHandler, kPadButtonCount> kPress[2] = {
    press_table<0>(std::make_integer_sequence<int, kPadButtonCount>{}),
    press_table<1>(std::make_integer_sequence<int, kPadButtonCount>{})};
const std::array<KeyHandler, kPadButtonCount> kRelease[2] = {
    release_table<0>(std::make_integer_sequence<int, kPadButtonCount>{}),
    release_table<1>(std::make_integer_sequence<int, kPadButtonCount>{})};

void scope_turbo_toggle(InputDevices& d) {
    d.scope.turbo = !d.scope.turbo;
    d.scope.after_read_mask ^= kScopeFire | kScopeCursor;
}

void scope_pause(InputDevices& d) { d.scope.flags |= kScopePause; }

void set_byte(uint32_t& record, int byte, uint8_t v) {
    record = (record & ~(0xFFu << (8 * byte))) | (uint32_t(v) << (8 * byte));
}

uint8_t get_byte(uint32_t record, int byte) { return uint8_t(record >> (8 * byte)); }

void apply_port(InputDevices& d, int port) {
    InputPorts& p = d.ports;
    const BindingRecord& b = d.bindings[port];
    p.strobe_hook[port] = nullptr;
    switch (PortDevice(b.device)) {
        case PortDevice::Joypad:
            for (PadButton button : kInstallOrder) {
                uint8_t vk = b.keys[int(button)];
                if (vk == 0) continue;
                d.key_down[vk] = kPress[port][int(button)];
                d.key_up[vk] = kRelease[port][int(button)];
            }
            p.record[port] = (p.record[port] & kButtonBytes) | 0xFFFF;
            p.present[port] = 0xFFFF;
            p.device[port] = PortDevice::Joypad;
            break;
        case PortDevice::Mouse:
            p.strobe_hook[port] = &mouse_speed_step;
            // Start still: a joypad that was here before leaves word 0 at $FFFF.
            p.record[port] &= kButtonBytes;
            set_byte(p.record[port], 2, 0x01);
            p.present[port] = 0xFFFF;
            p.device[port] = PortDevice::Mouse;
            break;
        case PortDevice::SuperScope:
            if (port == 1) {
                set_byte(p.record[port], 2, 0xFF);
                p.record[port] |= 0xFFFF;
                p.present[port] = 0xFFFF;
                p.device[port] = PortDevice::SuperScope;
                d.scope.flags = kScopeTurbo | kScopeOffscreen;
                d.scope.after_read_mask = 0x22;
                d.scope.turbo = false;
                d.key_down[192] = &scope_turbo_toggle;
                d.key_down[19] = &scope_pause;
                d.scope.active = true;
                break;
            }
            [[fallthrough]];  // the scope plugs only into port 2
        default:
            p.record[port] &= kButtonBytes;
            p.present[port] = 0;
            p.device[port] = PortDevice::None;
            break;
    }
}

// Window pixels to console pixels.
int console_coord(int window) { return window >= 0 ? window / 2 : -((1 - window) / 2); }

}  // namespace

InputDevices::InputDevices(InputPorts& p) : ports(p) {
    for (int i = 0; i < kBindingRecordCount; i++) bindings[i] = default_binding(i);
    key_down.fill(&do_nothing);
    key_up.fill(&do_nothing);
}

BindingRecord default_binding(int record_index) {
    BindingRecord b;
    if (record_index == 0) b.device = uint8_t(PortDevice::Joypad);
    if (record_index < 2) std::copy(std::begin(kDefaultKeys[record_index]), std::end(kDefaultKeys[record_index]), b.keys.begin());
    return b;
}

void binding_to_bytes(const BindingRecord& b, uint8_t out[kBindingRecordSize]) {
    out[0] = b.device;
    std::copy(b.keys.begin(), b.keys.end(), out + 1);
}

BindingRecord binding_from_bytes(const uint8_t in[kBindingRecordSize]) {
    BindingRecord b;
    b.device = in[0];
    std::copy(in + 1, in + kBindingRecordSize, b.keys.begin());
    return b;
}

void apply_bindings(InputDevices& d) {
    d.key_down.fill(&do_nothing);
    d.key_up.fill(&do_nothing);
    d.ports.record[0] &= ~kButtonBytes;
    d.ports.record[1] &= ~kButtonBytes;
    d.scope.active = false;
    d.scope.turbo = false;
    apply_port(d, 0);
    apply_port(d, 1);
}

void press_pad_button(InputDevices& d, int port, PadButton button) {
    if (port < 0 || port > 1 || d.ports.device[port] != PortDevice::Joypad) return;
    kPress[port][int(button)](d);
}

void release_pad_button(InputDevices& d, int port, PadButton button) {
    if (port < 0 || port > 1 || d.ports.device[port] != PortDevice::Joypad) return;
    kRelease[port][int(button)](d);
}

void apply_pad_buttons(InputDevices& d, int port, uint16_t before, uint16_t after) {
    // Releases first, so a direction pressed in the same poll as its
    // opposite is let go stays pressed.
    for (int b = 0; b < kPadButtonCount; b++)
        if ((before & ~after) & (1u << b)) release_pad_button(d, port, PadButton(b));
    for (int b = 0; b < kPadButtonCount; b++)
        if ((after & ~before) & (1u << b)) press_pad_button(d, port, PadButton(b));
}

void mouse_speed_step(Machine& m, int port) {
    uint32_t& r = m.input.record[port];
    uint8_t b2 = get_byte(r, 2);
    uint8_t speed = uint8_t(((b2 >> 4) & 3) + 1);
    if (speed == 3) speed = 0;
    set_byte(r, 2, uint8_t((b2 & ~0x30) | (speed << 4)));
}

void update_mouse(InputDevices& d, int port, int dx, int dy, bool left, bool right) {
    uint32_t& r = d.ports.record[port];
    uint8_t b2 = uint8_t(get_byte(r, 2) & 0x31);
    if (left) b2 |= 0x40;
    if (right) b2 |= 0x80;
    set_byte(r, 2, b2);
    const int factor = ((b2 >> 4) & 3) + 1;
    // Byte 0 is X, byte 1 is Y: sign and magnitude, the sign kept when still.
    const int motion[2] = {dx, dy};
    for (int axis = 0; axis < 2; axis++) {
        uint8_t byte = uint8_t(get_byte(r, axis) & 0x80);
        int v = (motion[axis] * factor) >> 1;
        if (v != 0) {
            v = std::clamp(v, -127, 127);
            byte = uint8_t(v < 0 ? (0x80 | -v) : v);
        }
        set_byte(r, axis, byte);
    }
}

void scope_left_down(InputDevices& d, int wx, int wy) {
    ScopeState& s = d.scope;
    int x = console_coord(wx), y = console_coord(wy);
    s.flags = uint8_t(s.flags & (kScopeFire | kScopeCursor | kScopePause));
    if (s.turbo) s.flags |= kScopeTurbo;
    s.flags |= kScopeFire | kScopeOffscreen;
    if (x >= 0 && x <= 255 && y >= 0 && y <= 224) {
        s.x = uint8_t(x);
        s.y = uint8_t(y);
        s.flags &= 0xF0;
    }
}

void scope_right_down(InputDevices& d, int wx, int wy) {
    ScopeState& s = d.scope;
    int x = console_coord(wx), y = console_coord(wy);
    s.flags |= kScopeCursor | kScopeOffscreen;
    if (x >= 0 && x <= 255 && y >= 1 && y <= 223) {
        s.x = uint8_t(x);
        s.y = uint8_t(y);
        s.flags &= 0xF0;
    }
}

void scope_move(InputDevices& d, int wx, int wy) {
    ScopeState& s = d.scope;
    if (!(s.flags & (kScopeFire | kScopeCursor)) || !s.turbo) return;
    int x = console_coord(wx), y = console_coord(wy);
    s.flags |= kScopeOffscreen;
    if (x >= 0 && x <= 255 && y >= 0 && y <= 223) {
        s.x = uint8_t(x);
        s.y = uint8_t(y);
        s.flags &= 0xF0;
    }
}

void scope_left_up(InputDevices& d) { d.scope.flags &= uint8_t(~kScopeFire); }
void scope_right_up(InputDevices& d) { d.scope.flags &= uint8_t(~kScopeCursor); }

bool update_scope(InputDevices& d, uint8_t wrio) {
    ScopeState& s = d.scope;
    set_byte(d.ports.record[1], 3, s.flags);
    bool latch = (wrio & 0x80) && !(s.flags & kScopeOffscreen) && (s.flags & (kScopeFire | kScopeCursor));
    s.flags &= s.after_read_mask;
    return latch;
}

std::string key_name(uint8_t vk) {
    switch (vk) {
        case 0: return "Not Defined";
        case 8: return "Backspace";
        case 9: return "Tab";
        case 12: return "Clear";
        case 13: return "Enter";
        case 16: return "Shift";
        case 17: return "Ctrl";
        case 18: return "Alt";
        case 19: return "Pause";
        case 20: return "Caps Lock";
        case 27: return "Escape";
        case 32: return "Space";
        case 33: return "Page Up";
        case 34: return "Page Down";
        case 35: return "End";
        case 36: return "Home";
        case 37: return "Left";
        case 38: return "Up";
        case 39: return "Right";
        case 40: return "Down";
        case 44: return "Prtsc";
        case 45: return "Insert";
        case 46: return "Delete";
        case 91: return "LWinkey";
        case 92: return "RWinkey";
        case 93: return "AppKey";
        case 106: return "Multiply";
        case 107: return "Plus";
        case 109: return "Minus";
        case 110: return "Decimal";
        case 111: return "Divide";
        case 144: return "Num Lock";
        case 145: return "Scroll Lock";
        // The punctuation keys, by the character they carry on a US keyboard.
        case 186: return ";";
        case 187: return "=";
        case 188: return ",";
        case 189: return "-";
        case 190: return ".";
        case 191: return "/";
        case 192: return "`";
        case 219: return "[";
        case 220: return "\\";
        case 221: return "]";
        case 222: return "'";
        default: break;
    }
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) return std::string(1, char(vk));
    if (vk >= 96 && vk <= 105) return "Numpad " + std::to_string(vk - 96);
    if (vk >= 112 && vk <= 135) return "F" + std::to_string(vk - 111);
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", vk);
    return hex;
}

bool key_bound_twice(const BindingRecord* records, int count, uint8_t vk) {
    if (vk == 0) return false;
    int uses = 0;
    for (int i = 0; i < count; i++)
        for (uint8_t k : records[i].keys)
            if (k == vk) uses++;
    return uses > 1;
}

}  // namespace vt
