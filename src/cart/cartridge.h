// The loaded cartridge: ROM and battery RAM buffers and what the loader
// learned about the image.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vt {

inline constexpr uint32_t kRomBufferSize = 12 * 1024 * 1024;
inline constexpr uint32_t kRomSlotSize = 0x10000;
inline constexpr uint32_t kSramBufferSize = 256 * 1024;

struct Cartridge {
    // 64 KiB slots; slot n holds what the CPU sees in bank n.
    std::vector<uint8_t> rom = std::vector<uint8_t>(kRomBufferSize, 0xFF);
    std::vector<uint8_t> sram = std::vector<uint8_t>(kSramBufferSize, 0xFF);

    std::string title;
    bool hirom = false;
    uint8_t coprocessor = 0;
    bool has_battery = false;
    uint32_t sram_size = 0;
    uint32_t sram_mask = 0;
    uint32_t crc32 = 0;
    uint32_t image_size = 0;
};

}  // namespace vt
