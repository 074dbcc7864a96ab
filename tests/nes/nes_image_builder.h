// Synthetic NES images for the mapper and loader tests: every 8 KiB PRG
// bank starts with its own number and every 1 KiB of CHR is filled with its
// number, so a peek tells which bank a window shows. The reset vector
// points at a JMP to itself in the last bank.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cart/loader.h"
#include "core/machine.h"
#include "nes/nes_side.h"
#include "support/odd_files.h"

namespace vt::test {

inline std::vector<uint8_t> nes_image(uint16_t mapper, uint32_t prg16, uint32_t chr8, uint8_t flags6 = 0) {
    std::vector<uint8_t> image = {'N', 'E', 'S', 0x1A, uint8_t(prg16), uint8_t(chr8),
                                  uint8_t((mapper & 0x0F) << 4 | flags6), uint8_t(mapper & 0xF0)};
    image.resize(16, 0);
    const uint32_t prg_banks = prg16 * 2;
    for (uint32_t b = 0; b < prg_banks; b++) {
        std::vector<uint8_t> bank(0x2000, 0xEA);
        bank[0] = uint8_t(b);
        bank[1] = uint8_t(b >> 8);
        if (b == prg_banks - 1) {
            // $FFF0: jmp $FFF0; vectors all at $FFF0.
            bank[0x1FF0] = 0x4C;
            bank[0x1FF1] = 0xF0;
            bank[0x1FF2] = 0xFF;
            for (int v = 0; v < 3; v++) {
                bank[size_t(0x1FFA + 2 * v)] = 0xF0;
                bank[size_t(0x1FFB + 2 * v)] = 0xFF;
            }
        }
        image.insert(image.end(), bank.begin(), bank.end());
    }
    for (uint32_t k = 0; k < chr8 * 8; k++) image.insert(image.end(), 0x400, uint8_t(k));
    return image;
}

struct NesRig {
    OddFiles files{"veltrane-nes-images"};
    std::unique_ptr<Machine> m = make_machine();
    LoadResult result;

    bool load(const std::vector<uint8_t>& image, const std::string& name = "game.nes") {
        result = load_gamepak(*m, files.file(name, image), LoadOptions{});
        return result.loaded();
    }
    // A CPU write, on a cycle of its own (MMC1 ignores back-to-back writes).
    void write(uint16_t address, uint8_t value) {
        m->nes.cycles += 2;
        nes_write(m->nes, address, value);
    }
    // MMC1's serial port: five writes, low bit first.
    void mmc1(uint16_t address, uint8_t value) {
        for (int i = 0; i < 5; i++) write(address, uint8_t(value >> i & 1));
    }
    uint8_t prg_bank(uint16_t address) const { return nes_peek(m->nes, address); }
    uint8_t chr_bank(int slot) const { return m->nes.ppu.chr_page[size_t(slot)][0]; }
};

}  // namespace vt::test
