// libFuzzer target for the state readers: every input is a chunked state
// file or a real-time save loaded into one long-lived machine
// (fuzz/state_input.h explains the input's first byte).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "state_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto machine = [] {
        auto m = vt::make_machine();
        if (!vt::fuzz::load_state_fuzz_cartridge(*m)) std::abort();
        return m;
    }();
    vt::fuzz::run_state_input(*machine, data, size);
    return 0;
}
