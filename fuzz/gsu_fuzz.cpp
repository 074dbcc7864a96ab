// libFuzzer target for the Super FX: its state chunk and every window the
// main CPU reaches it through, with the GSU running whatever program the
// input makes (fuzz/gsu_input.h explains the input).
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "gsu_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto machine = [] {
        auto m = vt::make_machine();
        if (!vt::fuzz::load_gsu_fuzz_cartridge(*m)) std::abort();
        return m;
    }();
    vt::fuzz::run_gsu_input(*machine, data, size);
    return 0;
}
