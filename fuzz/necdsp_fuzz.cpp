// libFuzzer target for the NEC DSP core: a firmware image of either model,
// the host's accesses to its data, status and RAM, and its state chunk
// (fuzz/necdsp_input.h explains the input).
#include <cstddef>
#include <cstdint>

#include "necdsp_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto machine = vt::make_machine();
    vt::fuzz::run_necdsp_input(*machine, data, size);
    return 0;
}
