#include "core/system_register_table.h"

#include "core/machine.h"

namespace vt {

namespace {

constexpr RegisterKind W = RegisterKind::Written;
constexpr RegisterKind R = RegisterKind::ReadOnly;

uint8_t joy_byte(const Machine& m, int n) { return uint8_t(m.sysregs.joy[n >> 1] >> (8 * (n & 1))); }

constexpr IoRegister kRegisters[] = {
    {0x4200, "NMITIMEN", W, [](const Machine& m) { return m.sysregs.nmitimen; }},
    {0x4201, "WRIO", W, [](const Machine& m) { return m.sysregs.wrio; }},
    {0x4202, "WRMPYA", W, [](const Machine& m) { return m.sysregs.wrmpya; }},
    {0x4203, "WRMPYB", W, [](const Machine& m) { return m.sysregs.wrmpyb; }},
    {0x4204, "WRDIVL", W, [](const Machine& m) { return uint8_t(m.sysregs.wrdiv); }},
    {0x4205, "WRDIVH", W, [](const Machine& m) { return uint8_t(m.sysregs.wrdiv >> 8); }},
    {0x4206, "WRDIVB", W, [](const Machine& m) { return m.sysregs.wrdivb; }},
    {0x4207, "HTIMEL", W, [](const Machine& m) { return uint8_t(m.sysregs.htime); }},
    {0x4208, "HTIMEH", W, [](const Machine& m) { return uint8_t(m.sysregs.htime >> 8); }},
    {0x4209, "VTIMEL", W, [](const Machine& m) { return uint8_t(m.sysregs.vtime); }},
    {0x420A, "VTIMEH", W, [](const Machine& m) { return uint8_t(m.sysregs.vtime >> 8); }},
    {0x420B, "MDMAEN", W, [](const Machine& m) { return m.sysregs.mdmaen; }},
    {0x420C, "HDMAEN", W, [](const Machine& m) { return m.sysregs.hdmaen; }},
    {0x420D, "MEMSEL", W, [](const Machine& m) { return m.sysregs.memsel; }},
    {0x4210, "RDNMI", R, [](const Machine& m) { return m.sysregs.rdnmi; }},
    {0x4211, "TIMEUP", R, [](const Machine& m) { return m.sysregs.timeup; }},
    {0x4212, "HVBJOY", R, [](const Machine& m) { return m.sysregs.hvbjoy; }},
    {0x4213, "RDIO", R, [](const Machine& m) { return m.sysregs.rdio; }},
    {0x4214, "RDDIVL", R, [](const Machine& m) { return uint8_t(m.sysregs.rddiv); }},
    {0x4215, "RDDIVH", R, [](const Machine& m) { return uint8_t(m.sysregs.rddiv >> 8); }},
    {0x4216, "RDMPYL", R, [](const Machine& m) { return uint8_t(m.sysregs.rdmpy); }},
    {0x4217, "RDMPYH", R, [](const Machine& m) { return uint8_t(m.sysregs.rdmpy >> 8); }},
    {0x4218, "JOY1L", R, [](const Machine& m) { return joy_byte(m, 0); }},
    {0x4219, "JOY1H", R, [](const Machine& m) { return joy_byte(m, 1); }},
    {0x421A, "JOY2L", R, [](const Machine& m) { return joy_byte(m, 2); }},
    {0x421B, "JOY2H", R, [](const Machine& m) { return joy_byte(m, 3); }},
    {0x421C, "JOY3L", R, [](const Machine& m) { return joy_byte(m, 4); }},
    {0x421D, "JOY3H", R, [](const Machine& m) { return joy_byte(m, 5); }},
    {0x421E, "JOY4L", R, [](const Machine& m) { return joy_byte(m, 6); }},
    {0x421F, "JOY4H", R, [](const Machine& m) { return joy_byte(m, 7); }},
};

}  // namespace

std::span<const IoRegister> system_register_table() { return kRegisters; }

}  // namespace vt
