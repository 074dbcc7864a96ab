// How the NES fuzzer turns its input bytes into an NES image or an NES
// save state, shared with the test that replays the inputs kept in
// tests/nes/fuzz_cases.
//
// Input layout:
//   byte 0, bit 0 clear: the rest is an NES image file as it stands; when it
//     loads, the machine runs two frames while the last up to 64 bytes of
//     the input, taken as address/value triples (address high, low, value),
//     are written through the CPU's map (mapper registers, PPU, APU).
//   byte 0, bit 0 set: byte 1 picks a mapper (index into the supported
//     ones), byte 2 the PRG size in 16 KiB units (1-16); a built image with
//     that board is loaded and the rest of the input is a state file to load
//     into it; the machine then runs a frame and saves a state again.
#pragma once

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <string>
#include <vector>

#include "cart/loader.h"
#include "core/driver.h"
#include "core/machine.h"
#include "nes/nes_side.h"
#include "state/state_file.h"

namespace vt::fuzz {

inline constexpr const char* kNesPath = "/fuzz/GAME.NES";

inline FileReader nes_reader(const std::vector<uint8_t>& image) {
    return [&image](const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
        if (path != kNesPath) return FileReadStatus::Missing;
        if (image.size() > limit) return FileReadStatus::TooLarge;
        out = image;
        return FileReadStatus::Ok;
    };
}

inline LoadResult load_nes_bytes(Machine& m, const std::vector<uint8_t>& image) {
    LoadOptions options;
    options.backup_folder = "/nonexistent-fuzz-folder";
    options.save_previous_battery = false;
    options.read_file = nes_reader(image);
    return load_gamepak(m, kNesPath, options);
}

inline std::vector<uint8_t> built_nes_image(uint16_t mapper, uint8_t prg16, uint8_t chr8) {
    std::vector<uint8_t> image = {'N', 'E', 'S', 0x1A, prg16, chr8, uint8_t((mapper & 0x0F) << 4 | 0x02),
                                  uint8_t(mapper & 0xF0), 0, 0, 0, 0, 0, 0, 0, 0};
    image.resize(16 + size_t(prg16) * 16384 + size_t(chr8) * 8192, 0xEA);
    // The reset vector at the end of PRG points at $8000 (NOPs through the bank).
    const size_t prg_end = 16 + size_t(prg16) * 16384;
    image[prg_end - 4] = 0x00;
    image[prg_end - 3] = 0x80;
    return image;
}

inline void run_nes_input(Machine& m, const uint8_t* data, size_t size) {
    if (size == 0) return;
    if (!(data[0] & 1)) {
        const std::vector<uint8_t> image(data + 1, data + size);
        if (!load_nes_bytes(m, image).loaded()) {
            if (m.timing.gamepak_loaded) run_frame(m);
            return;
        }
        const size_t tail = std::min<size_t>(64, size - 1) / 3 * 3;
        for (size_t i = size - tail; i + 2 < size; i += 3) {
            m.nes.cycles += 2;
            nes_write(m.nes, uint16_t(data[i] << 8 | data[i + 1]), data[i + 2]);
        }
        run_frame(m);
        run_frame(m);
        return;
    }
    if (size < 3) return;
    static constexpr uint16_t kMappers[] = {0, 1, 2, 3, 4, 7, 11, 33, 64, 66};
    const uint16_t mapper = kMappers[data[1] % std::size(kMappers)];
    const uint8_t prg16 = uint8_t(1 + data[2] % 16);
    if (!load_nes_bytes(m, built_nes_image(mapper, prg16, uint8_t(data[2] & 0x10 ? 0 : 2))).loaded()) return;
    StateOptions options;
    options.sram_transfer = true;
    load_state_bytes(m, data + 3, size - 3, options);
    run_frame(m);
    state_file_bytes(m, "", "", options);
}

}  // namespace vt::fuzz
