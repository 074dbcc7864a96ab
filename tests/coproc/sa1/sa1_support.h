// SA-1 cartridges built in memory for the chip's tests: a linear image in
// which every byte tells its offset apart, so a test can say which byte of
// the image an address shows.
#pragma once

#include <cstdint>
#include <vector>

#include "cart/loader_support.h"
#include "coproc/sa1/sa1.h"
#include "coproc/sa1/sa1_bus.h"

namespace vt::test {

// The image byte at `offset` (the header area aside).
inline uint8_t sa1_image_byte(uint32_t offset) {
    return uint8_t(offset ^ (offset >> 8) ^ ((offset >> 16) * 13));
}

// An SA-1 image of `size` bytes (map mode $23, cartridge type $35).
inline std::vector<uint8_t> sa1_image(size_t size) {
    std::vector<uint8_t> image(size);
    for (size_t i = 0; i < size; i++) image[i] = sa1_image_byte(uint32_t(i));
    HeaderFields f;
    f.title = "SA1 SYNTHETIC";
    f.map_mode = 0x23;
    f.cart_type = 0x35;
    f.rom_size = uint8_t(size >= 4 * kMiB ? 12 : size >= 2 * kMiB ? 11 : 10);
    f.sram_size = 0x05;
    write_header(image, 0x7FC0, f);
    fix_checksum(image, 0x7FC0);
    return image;
}

inline Loaded sa1_cartridge(size_t size = 4 * kMiB) {
    LoadOptions options;
    options.save_previous_battery = false;
    return load_image(sa1_image(size), options);
}

// Register access as the main CPU makes it.
inline void reg(Machine& m, uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }
inline void reg16(Machine& m, uint16_t addr, uint16_t v) {
    reg(m, addr, uint8_t(v));
    reg(m, uint16_t(addr + 1), uint8_t(v >> 8));
}
inline void reg24(Machine& m, uint16_t addr, uint32_t v) {
    reg16(m, addr, uint16_t(v));
    reg(m, uint16_t(addr + 2), uint8_t(v >> 16));
}
inline uint8_t read_reg(Machine& m, uint16_t addr) { return bus_read(m, 0x00, addr); }

}  // namespace vt::test
