// NES cartridge images: the iNES header (and the basics of NES 2.0) and
// what it says about the board.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

enum class NesMirroring : uint8_t { Horizontal, Vertical, SingleLower, SingleUpper, FourScreen };

inline constexpr uint32_t kNesHeaderSize = 16;
inline constexpr uint32_t kNesTrainerSize = 512;

// What the loader learned from the header.
struct NesCartridgeInfo {
    uint16_t mapper = 0;
    uint32_t prg_size = 0;  // bytes of PRG ROM
    uint32_t chr_size = 0;  // bytes of CHR ROM; 0: the board has CHR RAM
    uint32_t chr_ram_size = 8192;
    NesMirroring mirroring = NesMirroring::Horizontal;
    bool battery = false;
    bool trainer = false;
    bool nes2 = false;
};

inline constexpr const char* kNesImageTruncated =
    "This NES image is shorter than its header says. The file may be damaged.  ";
inline constexpr const char* kNesImageInvalid = "This NES image has no PRG ROM or an unusable header.  ";

// "This NES image needs mapper 5 (MMC5), which Veltrane does not support.  "
std::string nes_unsupported_mapper_message(uint16_t mapper);

enum class NesImageStatus : uint8_t { Ok, Invalid, Truncated, UnsupportedMapper, TooLarge };

struct NesImage {
    NesImageStatus status = NesImageStatus::Invalid;
    NesCartridgeInfo info;
    std::string reason;  // why it was refused, for the "<path>: <reason>" line
    uint32_t trainer_offset = 0;
    uint32_t prg_offset = 0;  // in the file
};

// Reads the header of an image that starts with "NES" $1A and checks the
// sizes it gives against the file and against `max_rom` bytes of ROM.
NesImage read_nes_image(const std::vector<uint8_t>& file, uint32_t max_rom);

// Whether the mapper number has an implementation.
bool nes_mapper_supported(uint16_t mapper);
// "NROM", "MMC1", ... or "Mapper N".
std::string nes_mapper_name(uint16_t number);

}  // namespace vt
