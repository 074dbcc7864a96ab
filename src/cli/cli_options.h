// Command line of veltrane-cli. The option names are a contract that
// scripts and other tools rely on.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cart/loader.h"

namespace vt::cli {

struct Options {
    std::string rom;
    long frames = 600;
    int frame_skip = 0;
    bool info = false;
    std::string input;
    std::string dump_wram, dump_vram, dump_cgram, dump_oam, dump_aram, dump_sram;
    std::string png;
    int png_format = 0;
    std::string wav;
    std::string trace;
    std::string save_state;
    std::string load_state;
    bool bench = false;
    uint8_t fill = 0x55;
    RegionOverride region = RegionOverride::Auto;
    std::string log;
    bool no_battery_save = false;
    // Debugging: breakpoints (24-bit addresses), interrupt traps, and a
    // listing instead of a run.
    std::vector<uint32_t> breakpoints;
    uint8_t interrupt_traps = 0;
    bool disassemble = false;
    uint32_t disassemble_address = 0;
    long disassemble_count = 0;
    // --copier-disk: write copier disk volumes instead of running.
    std::string copier_device;  // "swc" or "gd3"; empty: run the cartridge
    std::string copier_folder;
    long volume_blocks = 176;   // the 1440K floppy
    long copier_seed = 0;
};

// Error: bad usage, told with the usage text. BadValue: a bad address or
// count, told in one line.
enum class ParseResult { Run, Help, Error, BadValue };

ParseResult parse_options(int argc, char** argv, Options& options, std::string& error);
const char* usage_text();

}  // namespace vt::cli
