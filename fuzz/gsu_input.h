// How the Super FX fuzzer turns its input bytes into work for the chip,
// shared with the test that replays inputs.
//
// Input layout: the first 565 bytes (zero-padded when shorter) are read as
// the chip's "XGSU" state chunk; the rest is a list of 4-byte operations:
// window (byte 0 modulo 6), address (bytes 1-2), value (byte 3). An even
// value of byte 0's bit 3 reads, an odd one writes; every 64 operations the
// GSU runs 300 instructions of whatever program the bytes make.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "cart/bus.h"
#include "cart/loader.h"
#include "coproc/gsu/gsu.h"
#include "coproc/gsu/gsu_state.h"
#include "core/machine.h"

namespace vt::fuzz {

inline constexpr const char* kGsuCartPath = "/fuzz/GSU.SFC";

// 1 MiB Super FX image: the reset code is a loop.
inline std::vector<uint8_t> gsu_fuzz_image() {
    std::vector<uint8_t> image(0x100000);
    for (size_t i = 0; i < image.size(); i++) image[i] = uint8_t(i * 7 + (i >> 9));
    image[0x0000] = 0x80;  // $8000: BRA $8000
    image[0x0001] = 0xFE;
    const char title[] = "GSU FUZZ CARTRIDGE   ";
    for (int i = 0; i < 21; i++) image[0x7FC0 + size_t(i)] = uint8_t(title[i]);
    image[0x7FD5] = 0x20;
    image[0x7FD6] = 0x13;  // Super FX
    image[0x7FD7] = 0x0A;
    image[0x7FD8] = 0x00;
    image[0x7FFC] = 0x00;
    image[0x7FFD] = 0x80;
    return image;
}

inline bool load_gsu_fuzz_cartridge(Machine& m) {
    const std::vector<uint8_t> image = gsu_fuzz_image();
    LoadOptions options;
    options.backup_folder = "/nonexistent-fuzz-folder";
    options.save_previous_battery = false;
    options.read_file = [&image](const std::string& path, uint64_t, std::vector<uint8_t>& out) {
        if (path != kGsuCartPath) return FileReadStatus::Missing;
        out = image;
        return FileReadStatus::Ok;
    };
    return load_gamepak(m, kGsuCartPath, options).loaded() && m.cart.coprocessor == kCoprocSuperFx;
}

inline void run_gsu_input(Machine& m, const uint8_t* data, size_t size) {
    gsu_reset(m);
    std::array<uint8_t, kGsuChunkSize> chunk{};
    std::copy_n(data, std::min<size_t>(size, chunk.size()), chunk.begin());
    StateReader in{chunk.data()};
    kGsuStateChunks[0].load(in, m);
    if (size <= chunk.size()) return;
    data += chunk.size();
    size -= chunk.size();
    struct Window {
        uint8_t bank;
        uint16_t first, last;
    };
    static constexpr Window kWindows[6] = {
        {0x00, 0x3000, 0x34FF}, {0x80, 0x3000, 0x34FF}, {0x00, 0x6000, 0x7FFF},
        {0x70, 0x0000, 0xFFFF}, {0x71, 0x0000, 0xFFFF}, {0x60, 0x0000, 0xFFFF},
    };
    for (size_t i = 0; i + 4 <= size; i += 4) {
        const Window& w = kWindows[data[i] % 6];
        uint16_t span = uint16_t(w.last - w.first);
        uint16_t addr = uint16_t(w.first + (data[i + 1] | data[i + 2] << 8) % (span + 1));
        if (data[i] & 8) bus_write(m, w.bank, addr, data[i + 3]);
        else bus_read(m, w.bank, addr);
        if ((i / 4) % 64 == 63) gsu_run(m, 300);
    }
    gsu_run(m, 300);
}

}  // namespace vt::fuzz
