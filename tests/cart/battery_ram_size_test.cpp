// The battery RAM size a plain cartridge gets from its header's SRAM size
// byte (1 KiB shifted left by the byte for 1-4, else 32 KiB), for every
// byte, and that the CPU sees exactly that much RAM before it repeats.
#include <gtest/gtest.h>

#include "cart/loader_support.h"

namespace vt::test {
namespace {

std::vector<uint8_t> image_with_sram(bool hirom, uint8_t size_byte) {
    HeaderFields f;
    f.cart_type = 0x02;  // ROM, RAM and battery
    f.sram_size = size_byte;
    auto image = pattern_image(512 * kKiB);
    if (hirom) {
        f.map_mode = 0x21;
        write_header(image, 0xFFC0, f);
        set_word(image, 0x7FFC, 0x0000);
        fix_checksum(image, 0xFFC0);
    } else {
        write_header(image, 0x7FC0, f);
        set_word(image, 0xFFFC, 0x0000);
        fix_checksum(image, 0x7FC0);
    }
    return image;
}

uint32_t expected_size(uint8_t size_byte) { return size_byte >= 1 && size_byte <= 4 ? 1024u << size_byte : 32768u; }

// Where battery RAM offset `offset` (below 32 KiB) appears to the CPU.
void sram_address(bool hirom, uint32_t offset, uint8_t& bank, uint16_t& addr) {
    if (hirom) {  // 8 KiB at $6000 of each bank from $20
        bank = uint8_t(0x20 + offset / 0x2000);
        addr = uint16_t(0x6000 + offset % 0x2000);
    } else {
        bank = 0x70;
        addr = uint16_t(offset);
    }
}

TEST(BatteryRamSize, EverySizeByteGivesItsSizeAndTheRamRepeatsAfterIt) {
    // Bytes $20/$21/$30/$31 mark a Satellaview memory pack and are left out.
    std::vector<uint8_t> size_bytes;
    for (int b = 0; b <= 0x1F; b++) size_bytes.push_back(uint8_t(b));
    for (int b : {0x40, 0x7F, 0x80, 0xFF}) size_bytes.push_back(uint8_t(b));

    for (bool hirom : {false, true}) {
        for (uint8_t size_byte : size_bytes) {
            SCOPED_TRACE((hirom ? "HiROM" : "LoROM") + std::string(" size byte ") + std::to_string(size_byte));
            Loaded l = load_image(image_with_sram(hirom, size_byte));
            ASSERT_TRUE(l.result.loaded());
            const uint32_t size = expected_size(size_byte);
            EXPECT_TRUE(l.cart().has_battery);
            EXPECT_EQ(l.cart().sram_size, size);
            EXPECT_EQ(l.cart().sram_mask, size - 1);

            // The last byte of the RAM is its own; the byte after it is the
            // first one again.
            Machine& m = l.m();
            uint8_t bank;
            uint16_t addr;
            sram_address(hirom, 0, bank, addr);
            bus_write(m, bank, addr, 0xA5);
            sram_address(hirom, size - 1, bank, addr);
            bus_write(m, bank, addr, 0x5A);
            EXPECT_EQ(m.cart.sram[0], 0xA5);
            EXPECT_EQ(m.cart.sram[size - 1], 0x5A);
            if (size < 32768) {
                sram_address(hirom, size, bank, addr);
                EXPECT_EQ(peek(m, bank, addr), 0xA5);
            }
        }
    }
}

TEST(BatteryRamSize, CartridgesWithoutABatteryHaveNone) {
    for (uint8_t type : {uint8_t(0x00), uint8_t(0x01)}) {
        for (uint8_t size_byte : {uint8_t(0), uint8_t(3), uint8_t(4), uint8_t(5)}) {
            HeaderFields f;
            f.cart_type = type;
            f.sram_size = size_byte;
            auto image = pattern_image(512 * kKiB);
            write_header(image, 0x7FC0, f);
            set_word(image, 0xFFFC, 0x0000);
            fix_checksum(image, 0x7FC0);
            Loaded l = load_image(image);
            ASSERT_TRUE(l.result.loaded());
            EXPECT_FALSE(l.cart().has_battery) << int(type) << " " << int(size_byte);
            EXPECT_EQ(l.cart().sram_size, 0u) << int(type) << " " << int(size_byte);
        }
    }
}

}  // namespace
}  // namespace vt::test
