// The register name table of the inspector's grids: each register shown
// with its four-digit address and its name from the console's
// documentation, "2100 INIDISP".
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace vt {

struct RegisterName {
    uint16_t address;
    const char* name;
};

// PPU $2100-$213F ($2138-$213B are not listed): 60 rows.
std::span<const RegisterName> ppu_register_names();
// CPU I/O $4200-$421F: 30 rows.
std::span<const RegisterName> cpu_io_register_names();
// SA-1 registers written by the CPUs ($2200-$2259, 53 rows; 16-bit
// registers are one row at their low byte) and read ($2300-$230E, 12 rows).
std::span<const RegisterName> sa1_write_register_names();
std::span<const RegisterName> sa1_read_register_names();
// The NES picture unit's $2000-$2007.
std::span<const RegisterName> nes_ppu_register_names();
// The audio CPU's I/O registers $00F0-$00FF: 16 rows.
std::span<const RegisterName> spc700_io_register_names();

// "2100 INIDISP".
std::string register_label(const RegisterName& r);

}  // namespace vt
