#include "support/test_rom.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "cart/loader.h"
#include "core/driver.h"

namespace vt::test {

std::string test_rom_path(const std::string& name) {
    return std::string(VELTRANE_TEST_ROM_DIR) + "/" + name + ".sfc";
}

std::vector<uint8_t> read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<SavedInput> saved_fuzz_inputs(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<fs::path> paths;
    for (const auto& entry : fs::directory_iterator(fs::path(VELTRANE_TEST_SOURCE_DIR) / folder)) paths.push_back(entry.path());
    std::sort(paths.begin(), paths.end());
    std::vector<SavedInput> inputs;
    for (const fs::path& p : paths) inputs.push_back({p.filename().string(), read_file(p.string())});
    return inputs;
}

std::unique_ptr<Machine> machine_with_rom(const std::string& name) {
    auto m = make_machine();
    // No program folder: no database, "BS-X.SFC" or "autoexec.bin" is looked for.
    LoadOptions options;
    LoadResult result = load_gamepak(*m, test_rom_path(name), options);
    if (!result.loaded()) throw std::runtime_error("cannot load " + name + ": " + result.message);
    return m;
}

std::string nes_test_rom_path(const std::string& name) {
    return std::string(VELTRANE_TEST_ROM_DIR) + "/nes/" + name + ".nes";
}

std::unique_ptr<Machine> machine_with_nes_rom(const std::string& name) {
    auto m = make_machine();
    LoadOptions options;
    LoadResult result = load_gamepak(*m, nes_test_rom_path(name), options);
    if (!result.loaded()) throw std::runtime_error("cannot load " + name + ": " + result.message);
    return m;
}

void run_frames(Machine& m, int frames) {
    for (int i = 0; i < frames; i++) run_frame(m);
}

}  // namespace vt::test
