// Access to the cartridge images assembled from tests/roms at build time.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "core/machine.h"

namespace vt::test {

std::string test_rom_path(const std::string& name);
std::vector<uint8_t> read_file(const std::string& path);

// A fuzzer's saved inputs kept under tests/ (e.g. "cart/fuzz_cases"), in
// name order, each with its file name for the failure messages.
struct SavedInput {
    std::string name;
    std::vector<uint8_t> bytes;
};
std::vector<SavedInput> saved_fuzz_inputs(const std::string& folder);
// A powered-on machine with the named test cartridge (without ".sfc").
std::unique_ptr<Machine> machine_with_rom(const std::string& name);
void run_frames(Machine& m, int frames);

// NES test images (tests/roms/nes/<name>.s, built as <name>.nes).
std::string nes_test_rom_path(const std::string& name);
std::unique_ptr<Machine> machine_with_nes_rom(const std::string& name);

// Work RAM byte and little-endian word at a bank $7E offset.
inline uint8_t wram8(const Machine& m, uint32_t offset) { return m.mem.wram[offset]; }
inline uint16_t wram16(const Machine& m, uint32_t offset) {
    return uint16_t(m.mem.wram[offset] | (m.mem.wram[offset + 1] << 8));
}

}  // namespace vt::test
