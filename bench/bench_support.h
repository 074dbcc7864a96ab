// Shared by the benchmarks: a machine with one of the test cartridges.
#pragma once

#include <memory>
#include <string>

#include "cart/loader.h"
#include "core/machine.h"

namespace vt::bench {

// A powered-on machine with tests/roms/<name> loaded, or null when the
// cartridge is missing.
inline std::unique_ptr<Machine> machine_with_test_rom(const std::string& name) {
    auto m = make_machine();
    LoadOptions options;
    if (!load_gamepak(*m, std::string(VELTRANE_TEST_ROM_DIR) + "/" + name, options).loaded()) return nullptr;
    return m;
}

}  // namespace vt::bench
