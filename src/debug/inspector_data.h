// What the State Inspector shows, as data: which pages are visible for the
// loaded cartridge, the register grids with their labels and values, the
// decoded PPU and CPU settings, the DMA and OAM grids. Hexadecimal values
// are upper case, as in every dialog of the program. Everything is read
// without side effects.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vt {

struct Machine;

// The pages in their order.
enum class InspectorPage : uint8_t {
    Cpu,       // "W65C816S"
    Spc700,    // "SPC700"
    Sa1,       // "SA1"
    SuperFx,   // "SUPER-FX"
    Ppu,       // "PPU"
    CpuIo,     // "CPU"
    NesPpu,    // "PPU" of the NES side
    DspPorts,  // "DSP": the DSP family's port registers
    Bus,       // "BUS": the memory view
    DspData,   // "DSP": the sound generator's 128 registers
};
inline constexpr int kInspectorPageCount = 10;
const char* inspector_page_caption(InspectorPage page);
// SNES pages in SNES mode, the NES page instead in NES mode, the SA1 and
// SUPER-FX pages only for their cartridges; DSP, BUS and DSP always.
bool inspector_page_visible(const Machine& m, InspectorPage page);

inline constexpr int kCpuListingLines = 64;
inline constexpr int kSpc700ListingLines = 32;

struct GridRow {
    std::string label;
    std::string value;
};
using Grid = std::vector<GridRow>;

// "W65C816S": A, X, Y, S, D, PC ("00:8000"), DBR, P ("34 E+").
Grid cpu_register_grid(const Machine& m);
// "SPC700": A, X, Y, SP, PC, PSW (with its flags as letters); the I/O
// registers $F0-$FF (16 rows, read as the audio CPU would read them).
Grid spc700_register_grid(const Machine& m);
Grid spc700_io_grid(const Machine& m);
// "PPU": the 60 registers; "CPU": the 30 I/O registers. Write-only
// registers show the value last written.
Grid ppu_register_grid(const Machine& m);
Grid cpu_io_register_grid(const Machine& m);
// The decoded settings, key and value.
Grid ppu_settings(const Machine& m);
Grid cpu_io_settings(const Machine& m);

// The DMA grid: channels in columns, one row per register.
struct DmaGrid {
    std::vector<std::string> row_labels;  // "DMAP", "BBAD", ...
    std::vector<std::array<std::string, 8>> values;
};
DmaGrid dma_grid(const Machine& m);

// The OAM grid: one row per sprite, decoded from OAM.
inline constexpr const char* kOamColumns[] = {"#", "X", "Y", "Tile", "Palette", "Priority", "Flip", "Size"};
std::vector<std::array<std::string, 8>> oam_grid(const Machine& m);

// The sound generator's registers: 8 rows of 16 bytes.
std::array<std::array<uint8_t, 16>, 8> dsp_register_bytes(const Machine& m);

// "SUPER-FX" value list keys.
inline constexpr const char* kSuperFxKeys[] = {"R0",  "R1",  "R2",   "R3",  "R4",    "R5",   "R6",   "R7",
                                               "R8",  "R9",  "R10",  "R11", "R12",   "R13",  "R14",  "R15",
                                               "SFR", "BRAMR", "PBR", "ROMBR", "CFGR", "SCBR", "CLSR", "SCMR",
                                               "RAMBR", "CBR"};

}  // namespace vt
