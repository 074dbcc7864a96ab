// What the program shows about a loaded cartridge: the lines of the
// Gamepak Properties window and of the log's "ROM Information" block.
#pragma once

#include <array>
#include <string>
#include <utility>

#include "cart/cartridge.h"

namespace vt {

struct RomInformation {
    std::string title;
    std::string type;      // "LOROM + DSP1", or the board name and the chip ("SHVC-1B0N + DSP1")
    std::string size;      // "8MBIT ROM + 64KBIT RAM"
    std::string country;
    std::string license;
    std::string version;   // "1.0"
    std::string checksum;  // "OK", "BAD", "GOOD!" or "N/A"
    std::string crc32;     // 8 upper-case hexadecimal digits
};

RomInformation rom_information(const Cartridge& c);

// "Japan (NTSC)" ... "Australia (PAL)", "Unknown (NTSC)" above 17.
std::string country_name(uint8_t country);
// Countries 2-12 and 17 run at 50 Hz.
bool country_is_pal(uint8_t country);
// " + DSP1", " + SUPER-FX", ... ("" for none).
std::string coprocessor_name(uint8_t kind, uint8_t dsp_variant);
// Every chip on the cartridge as the Type line names it: the coprocessor
// kind's name, or for the cartridges recognised by title " + BSX"
// (Satellaview base unit), " + SGB" (Super Game Boy), " + XBAND".
std::string cartridge_chip_names(const Cartridge& c);
// The checksum status shown for the cartridge.
std::string checksum_status(const Cartridge& c);
bool header_checksum_matches(const Cartridge& c);

// The block as the log holds it: the title line, then each field line
// preceded by `newline`, then an empty line.
std::string rom_information_block(const RomInformation& info, const char* newline);

}  // namespace vt
