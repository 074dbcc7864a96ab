// Talking to a DSP-family chip the way the main CPU does: byte reads and
// writes of its data and status registers through the bus.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cart/loader_support.h"
#include "state/state_file.h"

namespace vt::test {

// A cartridge image with a DSP chip: LoROM with ROM size byte 9 (the
// ports in the upper halves of banks $30-$3F and $B0-$BF), or HiROM
// (the ports at $6000-$7FFF of banks $00-$1F and $80-$9F).
inline std::vector<uint8_t> dsp_image(const std::string& title, bool hirom = false) {
    HeaderFields f;
    f.title = title;
    f.cart_type = 0x03;
    f.rom_size = 9;
    f.map_mode = hirom ? 0x21 : 0x20;
    auto image = pattern_image(512 * kKiB);
    const size_t header = hirom ? 0xFFC0 : 0x7FC0;
    write_header(image, header, f);
    set_word(image, hirom ? 0xFFFC : 0x7FFC, 0x8000);
    fix_checksum(image, header);
    return image;
}

struct DspPorts {
    Machine& m;
    uint8_t bank = 0x30;
    uint16_t data = 0x8000;
    uint16_t status_address = 0xC000;

    uint8_t status() { return bus_read(m, bank, status_address); }
    void write8(uint8_t v) { bus_write(m, bank, data, v); }
    uint8_t read8() { return bus_read(m, bank, data); }
    void write16(uint16_t v) {
        write8(uint8_t(v));
        write8(uint8_t(v >> 8));
    }
    uint16_t read16() {
        const uint8_t low = read8();
        return uint16_t(low | (read8() << 8));
    }
    void write_words(std::initializer_list<int> words) {
        for (int w : words) write16(uint16_t(w));
    }
    std::vector<uint16_t> read_words(int n) {
        std::vector<uint16_t> out;
        for (int i = 0; i < n; i++) out.push_back(read16());
        return out;
    }
    // A command byte, then its parameter words, then its result words.
    std::vector<uint16_t> run(uint8_t command, std::initializer_list<int> params, int results) {
        write8(command);
        write_words(params);
        return read_words(results);
    }
};

// A state taken from `from` and loaded into `to` (both with the same
// cartridge): the chip must resume where `from` stood.
inline void carry_state(Machine& from, Machine& to) {
    StateOptions options;
    const std::vector<uint8_t> bytes = state_file_bytes(from, "mid-command", "test", options);
    std::string error;
    ASSERT_TRUE(load_state_bytes(to, bytes.data(), bytes.size(), options, &error)) << error;
}

}  // namespace vt::test
