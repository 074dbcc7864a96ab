// The log line of a cartridge chip given a command it does not know
// ("DSP3 UNKNOWN COMMAND #xx"), written through the program's log.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/machine.h"

namespace vt {

inline void log_unknown_command(Machine& m, const char* chip, uint8_t command) {
    if (!m.host.log_line) return;
    char line[48];
    std::snprintf(line, sizeof line, "%s UNKNOWN COMMAND #%02X", chip, command);
    m.host.log_line(m.host.log, line);
}

}  // namespace vt
