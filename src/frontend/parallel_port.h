// A PC parallel port as the copier protocol uses it: the data lines, the
// status lines and the control lines. The program talks to a real port
// through Linux's ppdev (parallel_port_linux.h); tests use a recording fake.
#pragma once

#include <cstdint>

namespace vt {

class ParallelPort {
public:
    virtual ~ParallelPort() = default;
    virtual uint8_t read_status() = 0;
    virtual void write_data(uint8_t value) = 0;
    virtual uint8_t read_control() = 0;
    virtual void write_control(uint8_t value) = 0;
};

}  // namespace vt
