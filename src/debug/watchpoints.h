// Watchpoints: addresses of the main CPU's address space that stop the
// machine after a read or a write, or write a line to the program's log on
// every access. While any address is watched, watching handlers sit in
// front of the real ones in the memory map's CPU tables, only in the
// entries (256-byte pages, 32 KiB bank halves) that hold a watched
// address; they pass every access on unchanged and look the address up
// afterwards. Nothing else pays for them, and without watches the tables
// hold the real handlers only.
//
// The system area's mirrors are one address: $00-$3F and $80-$BF share the
// first 8 KiB of work RAM ($7E:0000-$1FFF) and the I/O registers of bank
// $00 ($2000-$5FFF), so a watch on $7E:0010 sees STA $0010 in any of those
// banks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "debug/debugger.h"

namespace vt {

struct Machine;

inline constexpr size_t kMaxWatches = 256;

// The attributes of the watch at the address (0 when there is none).
uint32_t watch_find(const Debugger& d, uint32_t address);
// Sets the attributes of the address's entry, adding it when new (false
// when the list is full). Attributes 0 keep the entry, inert. Reinstalls
// the watching handlers.
bool watch_set(Machine& m, uint32_t address, uint32_t attributes);
void watch_remove(Machine& m, uint32_t address);
void watch_clear(Machine& m);

// Puts the watching handlers into the memory map for the current list (and
// takes them out where nothing is watched any more).
void watch_install(Machine& m);

// The address all mirrors of `address` are watched under.
uint32_t watch_key(uint32_t address);

// What a Trace watch writes: "Watch write [7e:0010] = 05 @ 008123", the
// instruction's address last.
std::string watch_log_line(bool write, uint32_t address, uint8_t value, uint32_t instruction);

}  // namespace vt
