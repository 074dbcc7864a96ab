// How the state reader fuzzer turns its input bytes into a load, shared
// with the test that replays the inputs it once failed on.
//
// Input layout: byte 0 bit 0 set: "Enable SRAM Transfer" on; bit 1 set:
// the rest goes to the real-time save reader, else to the chunked state
// reader; bit 2 set: a state recorded for another cartridge is refused, as
// the programs do unless the user agrees (clear: it loads, so states of
// every test cartridge reach the chunk readers). The machine holds a small LoROM cartridge with 8 KiB of battery
// RAM, put back into its power-on state before every input; after a
// successful load it runs one frame, so the loaded state is exercised too.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "cart/loader.h"
#include "core/driver.h"
#include "core/machine.h"
#include "state/state_file.h"
#include "state/state_metadata.h"

namespace vt::fuzz {

inline constexpr const char* kStateCartPath = "/fuzz/STATE.SFC";

// 32 KiB LoROM: the reset code is a loop, every interrupt returns at once.
inline std::vector<uint8_t> state_fuzz_image() {
    std::vector<uint8_t> image(0x8000, 0xFF);
    image[0x0000] = 0x80;  // $8000: BRA $8000
    image[0x0001] = 0xFE;
    image[0x0002] = 0x40;  // $8002: RTI
    const char title[] = "STATE FUZZ CARTRIDGE ";
    for (int i = 0; i < 21; i++) image[0x7FC0 + size_t(i)] = uint8_t(title[i]);
    image[0x7FD5] = 0x20;  // LoROM
    image[0x7FD6] = 0x02;  // ROM, RAM and battery
    image[0x7FD7] = 0x05;  // 32 KiB
    image[0x7FD8] = 0x03;  // 8 KiB of battery RAM
    image[0x7FD9] = 0x01;
    image[0x7FDA] = 0x00;
    image[0x7FDB] = 0x00;
    for (size_t v = 0x7FE4; v < 0x8000; v += 2) {  // every vector to the RTI
        image[v] = 0x02;
        image[v + 1] = 0x80;
    }
    image[0x7FFC] = 0x00;  // reset: $8000
    image[0x7FFD] = 0x80;
    image[0x7FDC] = 0xFF;  // checksum pair placeholder: any valid pair adds $1FE
    image[0x7FDD] = 0xFF;
    image[0x7FDE] = 0x00;
    image[0x7FDF] = 0x00;
    uint16_t sum = 0;
    for (uint8_t b : image) sum = uint16_t(sum + b);
    image[0x7FDC] = uint8_t(~sum);
    image[0x7FDD] = uint8_t(~sum >> 8);
    image[0x7FDE] = uint8_t(sum);
    image[0x7FDF] = uint8_t(sum >> 8);
    return image;
}

// Loads the cartridge into `m`; false if the loader refused it.
inline bool load_state_fuzz_cartridge(Machine& m) {
    const std::vector<uint8_t> image = state_fuzz_image();
    LoadOptions options;
    options.backup_folder = "/nonexistent-fuzz-folder";
    options.save_previous_battery = false;
    options.read_file = [&image](const std::string& path, uint64_t, std::vector<uint8_t>& out) {
        if (path != kStateCartPath) return FileReadStatus::Missing;
        out = image;
        return FileReadStatus::Ok;
    };
    return load_gamepak(m, kStateCartPath, options).loaded();
}

inline void run_state_input(Machine& m, const uint8_t* data, size_t size) {
    if (size == 0) return;
    const uint8_t mode = data[0];
    data++;
    size--;

    // The same starting point for every input.
    memory_init_wram(m, 0x55);
    std::fill(m.cart.sram.begin(), m.cart.sram.end(), 0xFF);
    machine_power_on(m);

    StateOptions options;
    options.sram_transfer = (mode & 1) != 0;
    options.load_other_cartridge = (mode & 4) == 0;
    std::string error;
    bool loaded = false;
    if (mode & 2) {
        loaded = load_rts_bytes(m, data, size, &error);
    } else {
        loaded = load_state_bytes(m, data, size, options, &error);
        if (size >= 8) decode_metadata(data + 8, uint32_t(size - 8));
    }
    if (loaded) run_frame(m);
}

}  // namespace vt::fuzz
