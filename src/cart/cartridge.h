// The loaded cartridge: ROM and battery RAM buffers and what the loader
// learned about the image. One instance lives in the Machine; the reset
// path, the coprocessors and the save state read it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "nes/nes_cartridge.h"

namespace vt {

inline constexpr uint32_t kRomBufferSize = 12 * 1024 * 1024;
inline constexpr uint32_t kRomSlotSize = 0x10000;
inline constexpr uint32_t kRomSlotCount = 128;  // slots the CPU's banks can reach
inline constexpr uint32_t kSramBufferSize = 256 * 1024;
inline constexpr uint32_t kBsxRamSize = 32 * 1024;
inline constexpr uint32_t kCopierHeaderSize = 512;

// Offsets in the ROM buffer of the parts that are not the main image.
inline constexpr uint32_t kRomUpperPartOffset = 0x400000;  // images over 4 MiB, Game Boy image
inline constexpr uint32_t kRomBsxBaseOffset = 0x800000;    // "BS-X.SFC"

// Coprocessor kind. The numbers are shared with the reset path and the
// save state.
enum CoprocessorKind : uint8_t {
    kCoprocNone = 0,
    kCoprocBsx = 1,  // Satellaview memory pack
    kCoprocCx4 = 2,
    kCoprocDsp = 3,  // DSP-1 to DSP-4, see dsp_variant
    kCoprocObc1 = 4,
    kCoprocSa1 = 5,
    kCoprocSdd1 = 6,
    kCoprocSuperFx = 7,
    kCoprocSpc7110 = 8,
    kCoprocSrtc = 9,
    kCoprocSt010 = 10,
    kCoprocSt011 = 11,
    kCoprocSt018 = 12,
};

// The 512-byte block some copiers put in front of an image.
enum class CopierHeader : uint8_t { None, Plain, Ffe, GameDoctor };

// Where battery RAM appears in the CPU's address space.
enum class SramLayout : uint8_t {
    None,
    LoRom,  // $0000-$7FFF of banks $70-$7F (and $F0-$FF)
    HiRom,  // $6000-$7FFF of banks $20-$3F and $A0-$BF
};

// Offsets within the 32-byte internal header copy.
inline constexpr int kHeaderTitle = 0;
inline constexpr int kHeaderTitleLength = 21;
inline constexpr int kHeaderMapMode = 21;
inline constexpr int kHeaderCartType = 22;
inline constexpr int kHeaderRomSize = 23;
inline constexpr int kHeaderSramSize = 24;
inline constexpr int kHeaderCountry = 25;
inline constexpr int kHeaderLicensee = 26;
inline constexpr int kHeaderVersion = 27;
inline constexpr int kHeaderComplement = 28;
inline constexpr int kHeaderChecksum = 30;

inline constexpr uint32_t kNotInDatabase = 0xFFFFFFFFu;

struct Cartridge {
    // 64 KiB slots; slot n holds what the CPU sees in bank n (HiROM terms).
    std::vector<uint8_t> rom = std::vector<uint8_t>(kRomBufferSize, 0xFF);
    std::vector<uint8_t> sram = std::vector<uint8_t>(kSramBufferSize, 0xFF);
    // The Satellaview's own RAM, kept in "BS-X.SRM".
    std::vector<uint8_t> bsx_ram = std::vector<uint8_t>(kBsxRamSize, 0xFF);

    std::array<uint8_t, 32> header{};  // internal header bytes $xxC0-$xxDF
    uint32_t header_offset = 0;        // ROM buffer offset of that header ($xxC0)
    std::string title;                 // database title, else the cleaned header title
    std::string header_title;          // the cleaned header title (for the title rules)

    bool hirom = false;
    bool interleave_allowed = true;
    bool nes = false;
    NesCartridgeInfo nes_info;  // NES images: what the iNES header says
    bool gd3 = false;
    uint8_t coprocessor = kCoprocNone;
    uint8_t dsp_variant = 0;  // 1-4 for DSP-1 to DSP-4
    bool has_battery = false;
    uint32_t sram_size = 0;
    uint32_t sram_mask = 0;
    // LoROM battery RAM: the buffer offset seen by banks $70-$73 (modulo 4).
    std::array<uint32_t, 4> sram_bank_offset{};
    SramLayout sram_layout = SramLayout::None;

    // The header fields as they stand after the loader's corrections (memory
    // pack, database, country rule, extended licensee).
    uint8_t map_mode = 0;
    uint8_t cart_type = 0;
    uint8_t rom_size = 0;       // log2 KiB
    uint8_t sram_size_byte = 0; // log2 KiB
    uint8_t country = 0;
    uint8_t licensee = 0;
    uint8_t version = 0;
    bool pal = false;

    uint32_t last_bank = 0;        // last slot (LoROM: 32 KiB block) that received data
    uint32_t mirrored_slots = 1;   // power-of-two slot count the bank pointers wrap at
    uint16_t computed_checksum = 0;
    uint16_t checksum_start = 0;   // $8000 when only the upper half of each slot counts
    uint32_t crc32 = 0;
    uint32_t image_size = 0;       // bytes of ROM data, headers excluded
    uint32_t database_info = kNotInDatabase;
    uint8_t pcb_id = 0;
    uint32_t header_bytes_read = 0;
    uint32_t file_date = 0;  // seconds since 1970 of the main image file
    std::string image_path;
    // What the battery RAM file held when it was read (state/battery_ram.h):
    // a save never writes fewer bytes than it held, and never replaces a
    // file that was there but could not be read.
    uint32_t battery_file_bytes = 0;
    bool battery_file_unreadable = false;

    CopierHeader copier_header = CopierHeader::None;
    std::vector<uint8_t> copier_header_bytes;  // the 512 bytes when one was read

    bool satellaview_base = false;  // the "Satellaview BS-X" base cartridge
};

inline bool is_satellaview(const Cartridge& c) {
    return c.coprocessor == kCoprocBsx || c.satellaview_base;
}

}  // namespace vt
