// Planning a copier transfer: which 8 KiB blocks of the loaded cartridge go
// to the Super Wildcard or the Game Doctor SF III, in which order, how the
// Game Doctor's files are cut, and the 512-byte header each copier reads
// first. Planning looks only at the cartridge record; the block data are
// taken from the memory map when a transfer is prepared (copier_job.h).
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace vt {

struct Cartridge;

inline constexpr uint32_t kCopierBlockSize = 0x2000;   // 8 KiB
inline constexpr uint32_t kCopierHeaderBytes = 512;
inline constexpr uint32_t kGameDoctorFileBlocks = 128;  // 1 MiB per Game Doctor file

// The `TransferDevice` setting.
enum class CopierDevice : uint8_t { SuperWildcard = 0, GameDoctor = 1 };

// Status texts of the transfer window.
inline constexpr const char* kCopierReady = "Ready";
inline constexpr const char* kCopierTooLarge = "Mode does not support ROM size (32Mbit Max)";
inline constexpr const char* kCopierModeNotSupported = "Mode not supported";

// What the planner needs to know about the cartridge.
struct CopierCartridge {
    uint8_t map_mode = 0;     // header byte $xxD5
    bool hirom = false;       // the map the loader chose
    uint32_t last_bank = 0;   // last 32 KiB (LoROM) or 64 KiB (HiROM) bank holding data
    bool has_battery = false;
    uint8_t ram_size_code = 0;  // header byte $xxD8: cartridge RAM of 2^code KiB
    bool dsp = false;           // a DSP-family chip on the board
};
CopierCartridge copier_cartridge(const Cartridge& c);

// One block: 8 KiB starting at this address of the main CPU's map.
struct CopierBlock {
    uint8_t bank = 0;
    uint16_t address = 0;
    bool operator==(const CopierBlock&) const = default;
};

struct CopierPlan {
    bool supported = false;
    std::string status = kCopierReady;  // kCopierReady, or why nothing can be sent
    std::string mode_text;              // "Mode 21 / High Speed"
    std::string type_text;              // "ROM + BackupRAM + DSP"
    std::string size_text;              // "512 blocks"
    std::vector<CopierBlock> blocks;
    // Game Doctor: cumulative block counts at which each file ends (the last
    // one is the total), and whether the upper halves were closed early.
    std::vector<uint32_t> file_ends;
    bool forced_split = false;
};

CopierPlan plan_copier_transfer(const CopierCartridge& c, CopierDevice device);

using CopierHeaderBlock = std::array<uint8_t, kCopierHeaderBytes>;

// The header for the device, its block count (Super Wildcard) still zero.
CopierHeaderBlock build_copier_header(const CopierCartridge& c, CopierDevice device, bool forced_split);

// Super Wildcard header byte 2: more volumes follow.
inline constexpr uint8_t kSwcMoreVolumes = 0x40;

// The Game Doctor's disk base name: "SF" + the image size in megabits + a
// three-digit number (000-999).
std::string game_doctor_base_name(uint32_t block_count, uint32_t number);

}  // namespace vt
