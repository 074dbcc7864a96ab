// libFuzzer target for NES images and NES save states (fuzz/nes_input.h
// explains the input's layout), loaded into one long-lived machine.
#include <cstddef>
#include <cstdint>

#include "nes_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto machine = vt::make_machine();
    vt::fuzz::run_nes_input(*machine, data, size);
    return 0;
}
