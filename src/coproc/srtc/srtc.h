// S-RTC: the real-time clock chip of a battery-backed cartridge type ($55),
// read at $2800 and commanded at $2801 in four-bit steps.
#pragma once

#include <array>
#include <cstdint>

#include "core/debug_target.h"
#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

// Registers 0-12: seconds (units, tens), minutes (units, tens), hours
// (units, tens), day (units, tens), month (1-12), year (units, tens),
// century (9: 1900s, 10: 2000s), weekday (0 Sunday).
inline constexpr int kSrtcRegisters = 13;

enum class SrtcMode : uint8_t { Ready, Command, Read, Write };

struct Srtc {
    std::array<uint8_t, kSrtcRegisters> regs{};
    SrtcMode mode = SrtcMode::Ready;
    int8_t index = -1;  // -1 or 13: the next read gives the marker $0F
    uint32_t lines = 0;  // lines run since the clock last counted a second
};

void srtc_map(Machine& m);
void srtc_power_on(Machine& m);
void srtc_reset(Machine& m);
void srtc_line_end(Machine& m);

uint8_t srtc_read(Machine& m, uint8_t bank, uint16_t addr);    // $2800
void srtc_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);  // $2801
int srtc_peek(const Machine& m, uint8_t bank, uint16_t addr);

void srtc_set_from_host(Srtc& s);
void srtc_tick_second(Srtc& s);
// Day of the week (0 Sunday) of the date the registers hold.
uint8_t srtc_weekday(const Srtc& s);

DebugRegisters srtc_debug_registers(const Machine& m);

// State chunk "XRTC": the registers, mode, index and the line count.
inline constexpr uint32_t kSrtcStateSize = kSrtcRegisters + 2 + 4;
template <class Io>
void srtc_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSrtcStateChunks[1];

}  // namespace vt
