#include "coproc/sa1/sa1.h"

#include "cart/cartridge_map.h"
#include "core/machine.h"

namespace vt {

namespace {

// Until the chip's registers and memories exist, its windows answer with
// the open bus and ignore writes.
constexpr MemoryWindow kSa1RegisterWindow = kOpenBusWindow;  // page $22 write, $23 read
constexpr MemoryWindow kSa1IramWindow = kOpenBusWindow;      // pages $30-$37
constexpr MemoryWindow kSa1BwramWindow = kOpenBusWindow;     // pages $60-$7F

}  // namespace

void sa1_map(Machine& m) {
    HandlerTables& t = m.mem.loader;
    t.write_page[0x22] = kSa1RegisterWindow.write;
    t.read_page[0x23] = kSa1RegisterWindow.read;
    t.peek_page[0x23] = kSa1RegisterWindow.peek;
    install_loader_pages(m, 0x30, 0x37, kSa1IramWindow);
    install_loader_pages(m, 0x60, 0x7F, kSa1BwramWindow);
}

void sa1_power_on(Machine& m) { m.sa1 = Sa1{}; }

void sa1_reset(Machine& m) { m.sa1 = Sa1{}; }

void sa1_catch_up(Machine& m) {
    while (m.sa1.running && m.sa1.clock < m.timing.line_clock) sa1_step(m);
}

void sa1_line_end(Machine& m) { m.sa1.clock = 0; }

// The SA-1 core arrives with its own subsystem; a stopped SA-1 never runs.
void sa1_step(Machine& m) { m.sa1.clock = m.timing.line_clock; }

}  // namespace vt
