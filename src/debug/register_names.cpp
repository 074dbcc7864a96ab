#include "debug/register_names.h"

#include <cstdio>

namespace vt {

namespace {

constexpr RegisterName kPpu[] = {
    {0x2100, "INIDISP"}, {0x2101, "OBJSEL"},  {0x2102, "OAMADDL"}, {0x2103, "OAMADDH"}, {0x2104, "OAMDATA"},
    {0x2105, "BGMODE"},  {0x2106, "MOSAIC"},  {0x2107, "BG1SC"},   {0x2108, "BG2SC"},   {0x2109, "BG3SC"},
    {0x210A, "BG4SC"},   {0x210B, "BG12NBA"}, {0x210C, "BG34NBA"}, {0x210D, "BG1HOFS"}, {0x210E, "BG1VOFS"},
    {0x210F, "BG2HOFS"}, {0x2110, "BG2VOFS"}, {0x2111, "BG3HOFS"}, {0x2112, "BG3VOFS"}, {0x2113, "BG4HOFS"},
    {0x2114, "BG4VOFS"}, {0x2115, "VMAINC"},  {0x2116, "VMADDL"},  {0x2117, "VMADDH"},  {0x2118, "VMDATAL"},
    {0x2119, "VMDATAH"}, {0x211A, "M7SEL"},   {0x211B, "M7A"},     {0x211C, "M7B"},     {0x211D, "M7C"},
    {0x211E, "M7D"},     {0x211F, "M7X"},     {0x2120, "M7Y"},     {0x2121, "CGADD"},   {0x2122, "CGDATA"},
    {0x2123, "W12SEL"},  {0x2124, "W34SEL"},  {0x2125, "WOBJSEL"}, {0x2126, "WH0"},     {0x2127, "WH1"},
    {0x2128, "WH2"},     {0x2129, "WH3"},     {0x212A, "WBGLOG"},  {0x212B, "WOBJLOG"}, {0x212C, "TM"},
    {0x212D, "TS"},      {0x212E, "TMW"},     {0x212F, "TSW"},     {0x2130, "CGWSEL"},  {0x2131, "CGADSUB"},
    {0x2132, "COLDATA"}, {0x2133, "SETINI"},  {0x2134, "MPYL"},    {0x2135, "MPYM"},    {0x2136, "MPYH"},
    {0x2137, "SLHV"},    {0x213C, "OPHCT"},   {0x213D, "OPVCT"},   {0x213E, "STAT77"},  {0x213F, "STAT78"},
};

constexpr RegisterName kCpuIo[] = {
    {0x4200, "NMITIMEN"}, {0x4201, "WRIO"},   {0x4202, "WRMPYA"}, {0x4203, "WRMPYB"}, {0x4204, "WRDIVL"},
    {0x4205, "WRDIVH"},   {0x4206, "WRDIVB"}, {0x4207, "HTIMEL"}, {0x4208, "HTIMEH"}, {0x4209, "VTIMEL"},
    {0x420A, "VTIMEH"},   {0x420B, "MDMAEN"}, {0x420C, "HDMAEN"}, {0x420D, "MEMSEL"}, {0x4210, "RDNMI"},
    {0x4211, "TIMEUP"},   {0x4212, "HVBJOY"}, {0x4213, "RDIO"},   {0x4214, "RDDIVL"}, {0x4215, "RDDIVH"},
    {0x4216, "RDMPYL"},   {0x4217, "RDMPYH"}, {0x4218, "JOY1L"},  {0x4219, "JOY1H"},  {0x421A, "JOY2L"},
    {0x421B, "JOY2H"},    {0x421C, "JOY3L"},  {0x421D, "JOY3H"},  {0x421E, "JOY4L"},  {0x421F, "JOY4H"},
};

constexpr RegisterName kSa1Write[] = {
    {0x2200, "CCNT"},  {0x2201, "SIE"},   {0x2202, "SIC"},   {0x2203, "CRV"},   {0x2205, "CNV"},   {0x2207, "CIV"},
    {0x2209, "SCNT"},  {0x220A, "CIE"},   {0x220B, "CIC"},   {0x220C, "SNV"},   {0x220E, "SIV"},   {0x2210, "TMC"},
    {0x2211, "CTR"},   {0x2212, "HCNT"},  {0x2214, "VCNT"},  {0x2220, "CXB"},   {0x2221, "DXB"},   {0x2222, "EXB"},
    {0x2223, "FXB"},   {0x2224, "BMAPS"}, {0x2225, "BMAP"},  {0x2226, "SBWE"},  {0x2227, "CBWE"},  {0x2228, "BWPA"},
    {0x2229, "SIWP"},  {0x222A, "CIWP"},  {0x2230, "DCNT"},  {0x2231, "CDMA"},  {0x2232, "SDA"},   {0x2235, "DDA"},
    {0x2238, "DTC"},   {0x223F, "BBF"},   {0x2240, "BRF0"},  {0x2241, "BRF1"},  {0x2242, "BRF2"},  {0x2243, "BRF3"},
    {0x2244, "BRF4"},  {0x2245, "BRF5"},  {0x2246, "BRF6"},  {0x2247, "BRF7"},  {0x2248, "BRF8"},  {0x2249, "BRF9"},
    {0x224A, "BRFA"},  {0x224B, "BRFB"},  {0x224C, "BRFC"},  {0x224D, "BRFD"},  {0x224E, "BRFE"},  {0x224F, "BRFF"},
    {0x2250, "MCNT"},  {0x2251, "MA"},    {0x2253, "MB"},    {0x2258, "VBD"},   {0x2259, "VDA"},
};

constexpr RegisterName kSa1Read[] = {
    {0x2300, "SFR"}, {0x2301, "CFR"}, {0x2302, "HCR"}, {0x2304, "VCR"}, {0x2306, "MR0"}, {0x2307, "MR1"},
    {0x2308, "MR2"}, {0x2309, "MR3"}, {0x230A, "MR4"}, {0x230B, "OF"},  {0x230C, "VDP"}, {0x230E, "VC"},
};

constexpr RegisterName kNesPpu[] = {
    {0x2000, "PPUCNT0"}, {0x2001, "PPUCNT1"}, {0x2002, "PPUSTAT"}, {0x2003, "SPRADDR"},
    {0x2004, "SPRDATA"}, {0x2005, "BGSCROL"}, {0x2006, "PPUADDR"}, {0x2007, "PPUDATA"},
};

constexpr RegisterName kSpc700Io[] = {
    {0x00F0, "TEST"},   {0x00F1, "CONTROL"}, {0x00F2, "DSPADDR"},  {0x00F3, "DSPDATA"},
    {0x00F4, "CPUIO0"}, {0x00F5, "CPUIO1"},  {0x00F6, "CPUIO2"},   {0x00F7, "CPUIO3"},
    {0x00F8, "AUXIO4"}, {0x00F9, "AUXIO5"},  {0x00FA, "T0TARGET"}, {0x00FB, "T1TARGET"},
    {0x00FC, "T2TARGET"}, {0x00FD, "T0OUT"}, {0x00FE, "T1OUT"},    {0x00FF, "T2OUT"},
};

static_assert(std::size(kPpu) == 60);
static_assert(std::size(kCpuIo) == 30);
static_assert(std::size(kSa1Write) == 53);
static_assert(std::size(kSa1Read) == 12);
static_assert(std::size(kSpc700Io) == 16);

}  // namespace

std::span<const RegisterName> ppu_register_names() { return kPpu; }
std::span<const RegisterName> cpu_io_register_names() { return kCpuIo; }
std::span<const RegisterName> sa1_write_register_names() { return kSa1Write; }
std::span<const RegisterName> sa1_read_register_names() { return kSa1Read; }
std::span<const RegisterName> nes_ppu_register_names() { return kNesPpu; }
std::span<const RegisterName> spc700_io_register_names() { return kSpc700Io; }

std::string register_label(const RegisterName& r) {
    char text[16];
    std::snprintf(text, sizeof text, "%04X ", r.address);
    return text + std::string(r.name);
}

}  // namespace vt
