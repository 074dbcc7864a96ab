// Cartridge images built in the tests: a byte pattern that differs from
// block to block, an internal header written where a map expects it, and
// files served from memory to the loader.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cart/image_files.h"

namespace vt::test {

inline constexpr size_t kKiB = 1024;
inline constexpr size_t kMiB = 1024 * 1024;

struct HeaderFields {
    std::string title = "SYNTHETIC TEST";
    uint8_t map_mode = 0x20;
    uint8_t cart_type = 0x00;
    uint8_t rom_size = 0x08;
    uint8_t sram_size = 0x00;
    uint8_t country = 0x01;
    uint8_t licensee = 0x00;
    uint8_t version = 0x00;
    uint16_t reset_vector = 0x8000;
};

// `size` bytes in which every 32 KiB block has its own pattern.
std::vector<uint8_t> pattern_image(size_t size);

void set_word(std::vector<uint8_t>& image, size_t offset, uint16_t value);
uint16_t word_at(const std::vector<uint8_t>& image, size_t offset);

// Writes the 32 header bytes at `offset` ($xxC0) with a placeholder
// checksum pair, and the emulation-mode reset vector at offset + $3C.
void write_header(std::vector<uint8_t>& image, size_t offset, const HeaderFields& fields);
// Sets the checksum pair at the header to the 16-bit sum of the whole image
// (any valid pair adds $1FE, so the placeholder pair sums the same).
uint16_t fix_checksum(std::vector<uint8_t>& image, size_t header_offset);

// A 512-byte copier header.
std::vector<uint8_t> ffe_header(bool more_parts = false, uint8_t byte10 = 4);
std::vector<uint8_t> with_header(const std::vector<uint8_t>& header, const std::vector<uint8_t>& image);

// Files for the loader's FileReader, by path.
struct MemoryFiles {
    std::map<std::string, std::vector<uint8_t>> files;
    FileReader reader();
};

}  // namespace vt::test
