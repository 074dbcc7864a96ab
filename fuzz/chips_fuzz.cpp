// libFuzzer target for the cartridge chips' readers of untrusted bytes:
// their state chunks, their register ports and the S-DD1's compressed
// streams (fuzz/chips_input.h explains the input).
#include <cstddef>
#include <cstdint>

#include "chips_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vt::fuzz::run_chips_input(data, size);
    return 0;
}
