// SPC7110 cartridge chip: the register block at $4800-$48FF (data-ROM port,
// multiply/divide unit, real-time clock port, decompression handshake), the
// cartridge RAM window with its write enable, and the data-ROM banks.
#pragma once

#include <array>
#include <cstdint>

#include "core/debug_target.h"
#include "core/state_io.h"

namespace vt {

struct Machine;
struct ChipStateChunk;

// The Epson clock behind $4840-$4842: sixteen four-bit registers.
//   0-1 seconds (units, tens)   2-3 minutes   4-5 hours (5 bit 2: PM)
//   6-7 day   8-9 month   10-11 year   12 weekday
//   13 control D (bit 0 hold)  14 control E  15 control F (bit 0 reset,
//   bit 1 stop, bit 2 24-hour)
inline constexpr int kClockIndexNone = 0xFF;

struct Spc7110Clock {
    std::array<uint8_t, 16> regs{};
    uint8_t index = kClockIndexNone;  // 0-15, or none right after a command
    uint8_t command = 0;
    bool command_expected = false;
    // Lines run since the clock last counted a second.
    uint32_t lines = 0;
};

struct Spc7110 {
    std::array<uint8_t, 256> regs{};  // $48nn at index nn
    bool decompression_started = false;
    bool data_port_enabled = false;
    Spc7110Clock clock;

    // Bytes of data ROM (the image from 1 MiB on); derived at power-on.
    uint32_t data_rom_size = 0;
};

// Row functions of the chip table.
void spc7110_map(Machine& m);
void spc7110_power_on(Machine& m);
void spc7110_reset(Machine& m);
void spc7110_line_end(Machine& m);  // the clock counts seconds of emulated time

// Page $48.
uint8_t spc7110_register_read(Machine& m, uint8_t bank, uint16_t addr);
void spc7110_register_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int spc7110_register_peek(const Machine& m, uint8_t bank, uint16_t addr);
// Pages $60-$7F: cartridge RAM, writable while $4830 bit 7 is set.
uint8_t spc7110_ram_read(Machine& m, uint8_t bank, uint16_t addr);
void spc7110_ram_write(Machine& m, uint8_t bank, uint16_t addr, uint8_t value);
int spc7110_ram_peek(const Machine& m, uint8_t bank, uint16_t addr);

// The data-ROM byte at a 24-bit port address. Addresses past the end of
// the data ROM wrap around within it; without data ROM the port reads 0.
uint8_t spc7110_data_rom_byte(const Machine& m, uint32_t address);

// The clock port ($4840-$4842) and the clock itself.
void spc7110_clock_reset(Spc7110Clock& clock);
void spc7110_clock_set_from_host(Spc7110Clock& clock);
void spc7110_clock_command_write(Machine& m, uint8_t value);  // $4840
void spc7110_clock_data_write(Machine& m, uint8_t value);     // $4841
uint8_t spc7110_clock_data_read(Machine& m);                  // $4841
int spc7110_clock_data_peek(const Machine& m);
// One second later, with carries through the date.
void spc7110_clock_tick_second(Spc7110Clock& clock);

// The registers a debugger shows.
DebugRegisters spc7110_debug_registers(const Machine& m);

// State chunk "XSPC": register file, flags and clock.
inline constexpr uint32_t kSpc7110StateSize = 256 + 2 + 16 + 3 + 4;
template <class Io>
void spc7110_state_io(Io& io, IoMachine<Io>& m);
extern const ChipStateChunk kSpc7110StateChunks[1];

}  // namespace vt
