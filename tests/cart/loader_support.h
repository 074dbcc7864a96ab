// Loading synthetic images from memory in the loader tests.
#pragma once

#include <memory>
#include <string>

#include "cart/bus.h"
#include "cart/loader.h"
#include "cart/rom_info.h"
#include "cart/synthetic_image.h"
#include "core/machine.h"

namespace vt::test {

struct Loaded {
    std::unique_ptr<Machine> machine = make_machine();
    LoadResult result;
    Machine& m() { return *machine; }
    const Cartridge& cart() { return machine->cart; }
};

inline Loaded load_from(MemoryFiles& files, const std::string& path, LoadOptions options = {}) {
    Loaded l;
    options.read_file = files.reader();
    l.result = load_gamepak(*l.machine, path, options);
    return l;
}

inline Loaded load_image(const std::vector<uint8_t>& image, LoadOptions options = {}) {
    MemoryFiles files;
    files.files["/roms/game.sfc"] = image;
    return load_from(files, "/roms/game.sfc", options);
}

// A byte as the CPU reads it.
inline uint8_t peek(Machine& m, uint8_t bank, uint16_t addr) { return bus_read(m, bank, addr); }

}  // namespace vt::test
