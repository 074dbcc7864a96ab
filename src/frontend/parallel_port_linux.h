// The parallel port through Linux's ppdev driver: LPT1-LPT4 are
// /dev/parport0-3. The port is claimed exclusively, so opening never waits
// for another user of the port: a port in use fails at once with a message.
#pragma once

#include <memory>
#include <string>

#include "frontend/parallel_port.h"

namespace vt {

// "/dev/parport0" for LPT1 (port 0) and so on.
std::string parallel_port_device(int port);
// "LPT1:" for port 0.
std::string parallel_port_name(int port);

// Opens and claims the port; null with `error` set ("LPT1: (/dev/parport0)
// could not be opened: No such file or directory") when it cannot.
std::unique_ptr<ParallelPort> open_parallel_port(int port, std::string& error);

}  // namespace vt
