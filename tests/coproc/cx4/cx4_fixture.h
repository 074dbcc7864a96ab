// A CX4 cartridge for the command tests: a 1 MiB LoROM image with
// cartridge type $F3, driven through the bus as the main CPU drives it.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cart/loader_support.h"
#include "coproc/cx4/cx4.h"

namespace vt::test {

struct Cx4Fixture : ::testing::Test {
    Loaded l = load_image([] {
        HeaderFields f;
        f.cart_type = 0xF3;
        auto image = pattern_image(1 * kMiB);
        write_header(image, 0x7FC0, f);
        set_word(image, 0x7FFC, 0x8000);
        fix_checksum(image, 0x7FC0);
        return image;
    }());
    Machine& m = l.m();
    std::vector<std::string> log;

    void SetUp() override {
        m.host.log = &log;
        m.host.log_line = [](void* l, std::string_view line) {
            static_cast<std::vector<std::string>*>(l)->emplace_back(line);
        };
    }

    // Registers by their address, through the bus.
    void reg8(uint16_t addr, uint8_t v) { bus_write(m, 0x00, addr, v); }
    void reg16(uint16_t addr, uint16_t v) {
        reg8(addr, uint8_t(v));
        reg8(uint16_t(addr + 1), uint8_t(v >> 8));
    }
    uint16_t reg16(uint16_t addr) { return uint16_t(bus_read(m, 0x00, addr) | bus_read(m, 0x00, uint16_t(addr + 1)) << 8); }
    // The chip's RAM by its index ($000-$BFF).
    uint8_t& ram(size_t i) { return m.cx4.ram.at(i); }
    void ram16(size_t i, uint16_t v) {
        ram(i) = uint8_t(v);
        ram(i + 1) = uint8_t(v >> 8);
    }
    uint16_t ram16(size_t i) { return uint16_t(ram(i) | ram(i + 1) << 8); }
    // Cartridge bytes at a LoROM address in banks $00-$1F (32 KiB block n
    // sits in both halves of the loaded ROM's 64 KiB slot n).
    void rom(uint32_t address, std::initializer_list<uint8_t> bytes) {
        size_t offset = size_t(address >> 16) * 0x10000 + (address & 0x7FFF);
        for (uint8_t b : bytes) {
            m.cart.rom.at(offset) = b;
            m.cart.rom.at(offset + 0x8000) = b;
            offset++;
        }
    }
    void command(uint8_t c) { bus_write(m, 0x00, 0x7F4F, c); }
    void sub_function(uint8_t s) {
        reg8(0x7F4D, s);
        command(0x00);
    }
};

}  // namespace vt::test
