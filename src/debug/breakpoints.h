// The breakpoint list: at most 32 24-bit addresses, each with a disabled
// flag (bit 24 of its entry). The driver checks the list before every
// main-CPU instruction and stops before an instruction at an enabled
// entry; the debugger's windows edit it through these functions. The list
// lives for the program run and is never saved.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "debug/debugger.h"

namespace vt {

inline constexpr size_t kMaxBreakpoints = 32;

struct BreakpointFind {
    bool exists = false;
    bool disabled = false;
};

BreakpointFind breakpoint_find(const Debugger& d, uint32_t address);
// Adds an enabled entry at the end. False, changing nothing, when the
// address is already listed or the list is full.
bool breakpoint_add(Debugger& d, uint32_t address);
// Removes the entry and closes the gap; false when there is none.
bool breakpoint_remove(Debugger& d, uint32_t address);
void breakpoint_set_disabled(Debugger& d, uint32_t address, bool disabled);
void breakpoints_disable_all(Debugger& d);
// Removes the breakpoint at the address if there is one, else adds one.
// Returns whether one exists afterwards.
bool breakpoint_toggle(Debugger& d, uint32_t address);

inline uint32_t breakpoint_address(uint32_t entry) { return entry & 0xFFFFFF; }
inline bool breakpoint_disabled(uint32_t entry) { return (entry & kBreakpointDisabled) != 0; }

// The address boxes of the debugger's dialogs take hexadecimal digits:
// whether a typed character is kept, and the value of the text (each digit
// 0-9, A-F or a-f; at most six are read).
bool hex_digit(char c);
uint32_t hex_address(std::string_view text);

// A 24-bit address typed by a user of the command line: hexadecimal, with
// an optional "$" or "0x" in front. False for anything else.
bool parse_address(std::string_view text, uint32_t& address);

}  // namespace vt
