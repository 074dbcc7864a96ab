#include "debug/breakpoints.h"

#include <algorithm>

namespace vt {

namespace {

auto find_entry(Debugger& d, uint32_t address) {
    return std::find_if(d.breakpoints.begin(), d.breakpoints.end(),
                        [address](uint32_t e) { return breakpoint_address(e) == (address & 0xFFFFFF); });
}

int digit_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

}  // namespace

BreakpointFind breakpoint_find(const Debugger& d, uint32_t address) {
    for (uint32_t e : d.breakpoints) {
        if (breakpoint_address(e) == (address & 0xFFFFFF)) return {true, breakpoint_disabled(e)};
    }
    return {};
}

bool breakpoint_add(Debugger& d, uint32_t address) {
    if (d.breakpoints.size() >= kMaxBreakpoints || breakpoint_find(d, address).exists) return false;
    d.breakpoints.push_back(address & 0xFFFFFF);
    return true;
}

bool breakpoint_remove(Debugger& d, uint32_t address) {
    const auto it = find_entry(d, address);
    if (it == d.breakpoints.end()) return false;
    d.breakpoints.erase(it);
    return true;
}

void breakpoint_set_disabled(Debugger& d, uint32_t address, bool disabled) {
    const auto it = find_entry(d, address);
    if (it == d.breakpoints.end()) return;
    *it = breakpoint_address(*it) | (disabled ? kBreakpointDisabled : 0);
}

void breakpoints_disable_all(Debugger& d) {
    for (uint32_t& e : d.breakpoints) e |= kBreakpointDisabled;
}

bool breakpoint_toggle(Debugger& d, uint32_t address) {
    if (breakpoint_remove(d, address)) return false;
    return breakpoint_add(d, address);
}

bool hex_digit(char c) { return digit_value(c) >= 0; }

uint32_t hex_address(std::string_view text) {
    uint32_t value = 0;
    int digits = 0;
    for (char c : text) {
        const int v = digit_value(c);
        if (v < 0) continue;
        if (++digits > 6) break;
        value = (value << 4) | uint32_t(v);
    }
    return value;
}

bool parse_address(std::string_view text, uint32_t& address) {
    if (text.size() > 1 && text[0] == '$') text.remove_prefix(1);
    else if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) text.remove_prefix(2);
    while (text.size() > 6 && text[0] == '0') text.remove_prefix(1);
    if (text.empty() || text.size() > 6) return false;
    for (char c : text) {
        if (!hex_digit(c)) return false;
    }
    address = hex_address(text);
    return true;
}

}  // namespace vt
