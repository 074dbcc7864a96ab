// The XBAND modem cartridge. Its 64 KiB of battery RAM sits in bank $E0
// (mirrored at $60); the modem's registers in the upper half of bank $FB
// answer as a modem that is not connected: the two identification bytes
// ($46 at $FBC1B2, $08 at $FBC1BC) and 0 everywhere else, writes ignored.
// The modem keeps no state of its own, so the cartridge has no state chunk
// beyond its battery RAM.
#pragma once

namespace vt {

struct Machine;

void xband_map(Machine& m);

}  // namespace vt
