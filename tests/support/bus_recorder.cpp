#include "support/bus_recorder.h"

#include "cart/memory_map.h"

namespace vt::test {

std::vector<RecordedWrite>& recorded_writes() {
    static std::vector<RecordedWrite> writes;
    return writes;
}

static uint8_t recorder_read(Machine& m, uint8_t, uint16_t) { return m.mem.open_bus; }

static void recorder_write(Machine& m, uint8_t, uint16_t addr, uint8_t value) {
    recorded_writes().push_back({addr, value, m.timing.line, m.timing.line_clock, m.timing.frame_counter});
}

void install_recorder(Machine& m, int page) {
    recorded_writes().clear();
    memory_install_page(m, page, {&recorder_read, &recorder_write, &unreadable_peek});
}

}  // namespace vt::test
