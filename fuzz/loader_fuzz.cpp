// libFuzzer target for the Gamepak loader: every input becomes an image (and
// maybe split parts and a database) loaded into one long-lived machine.
#include <cstddef>
#include <cstdint>

#include "loader_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static auto machine = vt::make_machine();
    vt::fuzz::run_input(*machine, data, size);
    return 0;
}
