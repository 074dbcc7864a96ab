#include "video/ppu_register_table.h"

#include "core/machine.h"

namespace vt {

namespace {

constexpr RegisterKind W = RegisterKind::Written;
constexpr RegisterKind L = RegisterKind::Latched;
constexpr RegisterKind P = RegisterKind::Port;
constexpr RegisterKind R = RegisterKind::ReadOnly;

// COLDATA holds one 15-bit colour; as a written byte it is the write that
// sets red's intensity and, in the same write, green and blue where they
// share it.
uint8_t coldata_byte(const Machine& m) {
    const uint16_t coldata = m.ppu.coldata;
    const uint8_t red = coldata & 31;
    const uint8_t green = (coldata >> 5) & 31;
    const uint8_t blue = (coldata >> 10) & 31;
    uint8_t v = uint8_t(0x20 | red);
    if (green == red) v |= 0x40;
    if (blue == red) v |= 0x80;
    return v;
}

uint8_t product_byte(const Machine& m, int byte) { return uint8_t(ppu_multiply_result(m.ppu) >> (8 * byte)); }

// The scroll and Mode 7 registers keep 16 bits from two writes; the byte
// they hold as written is the last one, the high byte.
constexpr IoRegister kRegisters[] = {
    {0x2100, "INIDISP", W, [](const Machine& m) { return m.ppu.inidisp; }},
    {0x2101, "OBJSEL", W, [](const Machine& m) { return m.ppu.objsel; }},
    {0x2102, "OAMADDL", W, [](const Machine& m) { return m.ppu.oamaddl; }},
    {0x2103, "OAMADDH", W, [](const Machine& m) { return m.ppu.oamaddh; }},
    {0x2104, "OAMDATA", P, nullptr},
    {0x2105, "BGMODE", W, [](const Machine& m) { return m.ppu.bgmode; }},
    {0x2106, "MOSAIC", W, [](const Machine& m) { return m.ppu.mosaic; }},
    {0x2107, "BG1SC", W, [](const Machine& m) { return m.ppu.bgsc[0]; }},
    {0x2108, "BG2SC", W, [](const Machine& m) { return m.ppu.bgsc[1]; }},
    {0x2109, "BG3SC", W, [](const Machine& m) { return m.ppu.bgsc[2]; }},
    {0x210A, "BG4SC", W, [](const Machine& m) { return m.ppu.bgsc[3]; }},
    {0x210B, "BG12NBA", W, [](const Machine& m) { return m.ppu.bg12nba; }},
    {0x210C, "BG34NBA", W, [](const Machine& m) { return m.ppu.bg34nba; }},
    {0x210D, "BG1HOFS", L, [](const Machine& m) { return uint8_t(m.ppu.hofs[0] >> 8); }},
    {0x210E, "BG1VOFS", L, [](const Machine& m) { return uint8_t(m.ppu.vofs[0] >> 8); }},
    {0x210F, "BG2HOFS", L, [](const Machine& m) { return uint8_t(m.ppu.hofs[1] >> 8); }},
    {0x2110, "BG2VOFS", L, [](const Machine& m) { return uint8_t(m.ppu.vofs[1] >> 8); }},
    {0x2111, "BG3HOFS", L, [](const Machine& m) { return uint8_t(m.ppu.hofs[2] >> 8); }},
    {0x2112, "BG3VOFS", L, [](const Machine& m) { return uint8_t(m.ppu.vofs[2] >> 8); }},
    {0x2113, "BG4HOFS", L, [](const Machine& m) { return uint8_t(m.ppu.hofs[3] >> 8); }},
    {0x2114, "BG4VOFS", L, [](const Machine& m) { return uint8_t(m.ppu.vofs[3] >> 8); }},
    {0x2115, "VMAINC", W, [](const Machine& m) { return m.ppu.vmain; }},
    {0x2116, "VMADDL", W, [](const Machine& m) { return uint8_t(m.ppu.vram_addr); }},
    {0x2117, "VMADDH", W, [](const Machine& m) { return uint8_t(m.ppu.vram_addr >> 8); }},
    {0x2118, "VMDATAL", P, nullptr},
    {0x2119, "VMDATAH", P, nullptr},
    {0x211A, "M7SEL", W, [](const Machine& m) { return m.ppu.m7sel; }},
    {0x211B, "M7A", L, [](const Machine& m) { return uint8_t(m.ppu.m7[0] >> 8); }},
    {0x211C, "M7B", L, [](const Machine& m) { return uint8_t(m.ppu.m7[1] >> 8); }},
    {0x211D, "M7C", L, [](const Machine& m) { return uint8_t(m.ppu.m7[2] >> 8); }},
    {0x211E, "M7D", L, [](const Machine& m) { return uint8_t(m.ppu.m7[3] >> 8); }},
    {0x211F, "M7X", L, [](const Machine& m) { return uint8_t(m.ppu.m7[4] >> 8); }},
    {0x2120, "M7Y", L, [](const Machine& m) { return uint8_t(m.ppu.m7[5] >> 8); }},
    {0x2121, "CGADD", W, [](const Machine& m) { return m.ppu.cgadd; }},
    {0x2122, "CGDATA", P, nullptr},
    {0x2123, "W12SEL", W, [](const Machine& m) { return m.ppu.w12sel; }},
    {0x2124, "W34SEL", W, [](const Machine& m) { return m.ppu.w34sel; }},
    {0x2125, "WOBJSEL", W, [](const Machine& m) { return m.ppu.wobjsel; }},
    {0x2126, "WH0", W, [](const Machine& m) { return m.ppu.wh[0]; }},
    {0x2127, "WH1", W, [](const Machine& m) { return m.ppu.wh[1]; }},
    {0x2128, "WH2", W, [](const Machine& m) { return m.ppu.wh[2]; }},
    {0x2129, "WH3", W, [](const Machine& m) { return m.ppu.wh[3]; }},
    {0x212A, "WBGLOG", W, [](const Machine& m) { return m.ppu.wbglog; }},
    {0x212B, "WOBJLOG", W, [](const Machine& m) { return m.ppu.wobjlog; }},
    {0x212C, "TM", W, [](const Machine& m) { return m.ppu.tm; }},
    {0x212D, "TS", W, [](const Machine& m) { return m.ppu.ts; }},
    {0x212E, "TMW", W, [](const Machine& m) { return m.ppu.tmw; }},
    {0x212F, "TSW", W, [](const Machine& m) { return m.ppu.tsw; }},
    {0x2130, "CGWSEL", W, [](const Machine& m) { return m.ppu.cgwsel; }},
    {0x2131, "CGADSUB", W, [](const Machine& m) { return m.ppu.cgadsub; }},
    {0x2132, "COLDATA", W, &coldata_byte},
    {0x2133, "SETINI", W, [](const Machine& m) { return m.ppu.setini; }},
    {0x2134, "MPYL", R, [](const Machine& m) { return product_byte(m, 0); }},
    {0x2135, "MPYM", R, [](const Machine& m) { return product_byte(m, 1); }},
    {0x2136, "MPYH", R, [](const Machine& m) { return product_byte(m, 2); }},
    {0x2137, "SLHV", R, nullptr},  // reading it latches the counters
    {0x213C, "OPHCT", R, [](const Machine& m) { return uint8_t(m.ppu.ophct); }},
    {0x213D, "OPVCT", R, [](const Machine& m) { return uint8_t(m.ppu.opvct); }},
    {0x213E, "STAT77", R, [](const Machine& m) { return m.ppu.stat77; }},
    {0x213F, "STAT78", R, [](const Machine& m) { return m.ppu.stat78; }},
};

}  // namespace

std::span<const IoRegister> ppu_register_table() { return kRegisters; }

}  // namespace vt
