// Command line of veltrane-cli. The option names are a contract that
// scripts and other tools rely on.
#pragma once

#include <cstdint>
#include <string>

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
    // --copier-disk: write copier disk volumes instead of running.
    std::string copier_device;  // "swc" or "gd3"; empty: run the cartridge
    std::string copier_folder;
    long volume_blocks = 176;   // the 1440K floppy
    long copier_seed = 0;
};

enum class ParseResult { Run, Help, Error };

ParseResult parse_options(int argc, char** argv, Options& options, std::string& error);
const char* usage_text();

}  // namespace vt::cli
