// The two controller ports as the console sees them. The front end fills the
// records; the joypad registers read them.
#pragma once

#include <cstdint>

namespace vt {

struct Machine;

enum class PortDevice : uint8_t { None = 0, Joypad = 1, Mouse = 2, SuperScope = 3 };

struct InputPorts {
    // Per port a 32-bit record read most significant bit first: bytes 3 and 2
    // are the first 16 bits a game reads, bytes 1 and 0 the next 16.
    uint32_t record[2] = {0, 0};
    // 0xFFFF when a device is attached, 0 for none; bit 0 is the bit shifted
    // in after the record has been read out.
    uint16_t present[2] = {0, 0};
    PortDevice device[2] = {PortDevice::None, PortDevice::None};
    // Called when the strobe goes from 0 to 1, before the shift registers
    // are loaded (the mouse steps its speed here).
    void (*strobe_hook[2])(Machine&, int port) = {nullptr, nullptr};
};

// Joypad button bits within bytes 3 and 2 of a record (a pressed button is 1).
inline constexpr uint32_t kPadB = 1u << 31;
inline constexpr uint32_t kPadY = 1u << 30;
inline constexpr uint32_t kPadSelect = 1u << 29;
inline constexpr uint32_t kPadStart = 1u << 28;
inline constexpr uint32_t kPadUp = 1u << 27;
inline constexpr uint32_t kPadDown = 1u << 26;
inline constexpr uint32_t kPadLeft = 1u << 25;
inline constexpr uint32_t kPadRight = 1u << 24;
inline constexpr uint32_t kPadA = 1u << 23;
inline constexpr uint32_t kPadX = 1u << 22;
inline constexpr uint32_t kPadL = 1u << 21;
inline constexpr uint32_t kPadR = 1u << 20;

// A joypad with the given buttons pressed (word 0 reads as 0xFFFF).
inline uint32_t joypad_record(uint32_t buttons) { return (buttons & 0xFFF00000u) | 0xFFFFu; }

}  // namespace vt
