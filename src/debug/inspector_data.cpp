#include "debug/inspector_data.h"

#include <cstdio>

#include "audio/apu.h"
#include "cart/bus.h"
#include "coproc/chips.h"
#include "core/machine.h"
#include "debug/register_names.h"
#include "debug/video_viewers.h"

namespace vt {

namespace {

std::string hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

std::string address_text(uint32_t word_address) { return "$" + hex(word_address, 4); }

const char* enabled(bool on) { return on ? "Enabled" : "Disabled"; }

// Main and sub screen designation of a layer (TM/TS bit).
std::string screens(const Ppu& p, int bit) {
    const bool main = p.tm & (1 << bit);
    const bool sub = p.ts & (1 << bit);
    if (main && sub) return "Main/Sub";
    if (main) return "Main";
    if (sub) return "Sub";
    return "None";
}

// A $21xx register as a read would return it now, or "--".
std::string io_peek_text(const Machine& m, uint8_t low) {
    const PeekHandler peek = m.mem.io_peek[low];
    const int v = peek ? peek(m, 0x00, uint16_t(0x2100 | low)) : kNotReadable;
    return v < 0 ? std::string("--") : hex(uint32_t(v), 2);
}

std::string ppu_register_value(const Machine& m, uint16_t address) {
    const Ppu& p = m.ppu;
    const uint8_t low = uint8_t(address);
    switch (address) {
        case 0x2100: return hex(p.inidisp, 2);
        case 0x2101: return hex(p.objsel, 2);
        case 0x2102: return hex(p.oamaddl, 2);
        case 0x2103: return hex(p.oamaddh, 2);
        case 0x2104: {  // the OAM byte at the internal address
            const uint16_t a = p.oam_addr & 0x3FF;
            return hex(p.oam[a < 512 ? a : 512 + (a & 31)], 2);
        }
        case 0x2105: return hex(p.bgmode, 2);
        case 0x2106: return hex(p.mosaic, 2);
        case 0x2107: case 0x2108: case 0x2109: case 0x210A: return hex(p.bgsc[size_t(address - 0x2107)], 2);
        case 0x210B: return hex(p.bg12nba, 2);
        case 0x210C: return hex(p.bg34nba, 2);
        case 0x210D: case 0x210F: case 0x2111: case 0x2113: return hex(p.hofs[size_t((address - 0x210D) / 2)], 4);
        case 0x210E: case 0x2110: case 0x2112: case 0x2114: return hex(p.vofs[size_t((address - 0x210E) / 2)], 4);
        case 0x2115: return hex(p.vmain, 2);
        case 0x2116: return hex(p.vram_addr & 0xFF, 2);
        case 0x2117: return hex(p.vram_addr >> 8, 2);
        case 0x2118: return hex(p.vram_lo[p.vram_addr & 0x7FFF], 2);  // the word at the address
        case 0x2119: return hex(p.vram_hi[p.vram_addr & 0x7FFF], 2);
        case 0x211A: return hex(p.m7sel, 2);
        case 0x211B: case 0x211C: case 0x211D: case 0x211E: case 0x211F: case 0x2120:
            return hex(p.m7[size_t(address - 0x211B)], 4);
        case 0x2121: return hex(p.cgadd, 2);
        case 0x2122: return hex(p.cgram[p.cgram_addr & 0x1FF], 2);
        case 0x2123: return hex(p.w12sel, 2);
        case 0x2124: return hex(p.w34sel, 2);
        case 0x2125: return hex(p.wobjsel, 2);
        case 0x2126: case 0x2127: case 0x2128: case 0x2129: return hex(p.wh[size_t(address - 0x2126)], 2);
        case 0x212A: return hex(p.wbglog, 2);
        case 0x212B: return hex(p.wobjlog, 2);
        case 0x212C: return hex(p.tm, 2);
        case 0x212D: return hex(p.ts, 2);
        case 0x212E: return hex(p.tmw, 2);
        case 0x212F: return hex(p.tsw, 2);
        case 0x2130: return hex(p.cgwsel, 2);
        case 0x2131: return hex(p.cgadsub, 2);
        case 0x2132: return hex(p.coldata, 4);
        case 0x2133: return hex(p.setini, 2);
        case 0x213C: return hex(p.ophct, 4);
        case 0x213D: return hex(p.opvct, 4);
        default: return io_peek_text(m, low);  // $2134-$2137, $213E, $213F
    }
}

std::string cpu_io_register_value(const Machine& m, uint16_t address) {
    const SystemRegisters& r = m.sysregs;
    switch (address) {
        case 0x4200: return hex(r.nmitimen, 2);
        case 0x4201: return hex(r.wrio, 2);
        case 0x4202: return hex(r.wrmpya, 2);
        case 0x4203: return hex(r.wrmpyb, 2);
        case 0x4204: return hex(r.wrdiv & 0xFF, 2);
        case 0x4205: return hex(r.wrdiv >> 8, 2);
        case 0x4206: return hex(r.wrdivb, 2);
        case 0x4207: return hex(r.htime & 0xFF, 2);
        case 0x4208: return hex(r.htime >> 8, 2);
        case 0x4209: return hex(r.vtime & 0xFF, 2);
        case 0x420A: return hex(r.vtime >> 8, 2);
        case 0x420B: return hex(r.mdmaen, 2);
        case 0x420C: return hex(r.hdmaen, 2);
        case 0x420D: return hex(r.memsel, 2);
        case 0x4210: return hex(r.rdnmi, 2);
        case 0x4211: return hex(r.timeup, 2);
        case 0x4212: return hex(r.hvbjoy, 2);
        case 0x4213: return hex(r.rdio, 2);
        case 0x4214: return hex(r.rddiv & 0xFF, 2);
        case 0x4215: return hex(r.rddiv >> 8, 2);
        case 0x4216: return hex(r.rdmpy & 0xFF, 2);
        case 0x4217: return hex(r.rdmpy >> 8, 2);
        default: {  // $4218-$421F: the joypad words, low byte first
            const int i = address - 0x4218;
            const uint16_t joy = r.joy[i / 2];
            return hex(i & 1 ? joy >> 8 : joy & 0xFF, 2);
        }
    }
}

}  // namespace

const char* inspector_page_caption(InspectorPage page) {
    switch (page) {
        case InspectorPage::Cpu: return "W65C816S";
        case InspectorPage::Spc700: return "SPC700";
        case InspectorPage::Sa1: return "SA1";
        case InspectorPage::SuperFx: return "SUPER-FX";
        case InspectorPage::Ppu: return "PPU";
        case InspectorPage::CpuIo: return "CPU";
        case InspectorPage::NesPpu: return "PPU";
        case InspectorPage::DspPorts: return "DSP";
        case InspectorPage::Bus: return "BUS";
        case InspectorPage::DspData: return "DSP";
    }
    return "";
}

bool inspector_page_visible(const Machine& m, InspectorPage page) {
    const bool nes = m.cart.nes;
    switch (page) {
        case InspectorPage::Cpu:
        case InspectorPage::Spc700:
        case InspectorPage::Ppu:
        case InspectorPage::CpuIo: return !nes;
        case InspectorPage::Sa1: return !nes && m.cart.coprocessor == kCoprocSa1;
        case InspectorPage::SuperFx: return !nes && m.cart.coprocessor == kCoprocSuperFx;
        case InspectorPage::NesPpu: return nes;
        case InspectorPage::DspPorts:
        case InspectorPage::Bus:
        case InspectorPage::DspData: return true;
    }
    return false;
}

Grid cpu_register_grid(const Machine& m) {
    const CpuRegs& c = m.cpu;
    return {
        {"A", hex(c.a, 4)},
        {"X", hex(c.x, 4)},
        {"Y", hex(c.y, 4)},
        {"S", hex(c.s, 4)},
        {"D", hex(c.d, 4)},
        {"PC", hex(c.pbr, 2) + ":" + hex(c.pc, 4)},
        {"DBR", hex(c.dbr, 2)},
        {"P", hex(cpu_status(c), 2) + " E" + (c.e ? "+" : "-")},
    };
}

Grid spc700_register_grid(const Machine& m) {
    const Apu& s = m.apu;
    const uint8_t psw = psw_pack(s.psw);
    std::string flags;
    for (int bit = 7; bit >= 0; bit--) flags += (psw & (1 << bit)) ? "NVPBHIZC"[7 - bit] : '.';
    return {
        {"A", hex(s.a, 2)},   {"X", hex(s.x, 2)},   {"Y", hex(s.y, 2)},
        {"SP", hex(s.sp, 2)}, {"PC", hex(s.pc, 4)}, {"PSW", hex(psw, 2) + " " + flags},
    };
}

Grid spc700_io_grid(const Machine& m) {
    Grid grid;
    for (const RegisterName& r : spc700_io_register_names()) {
        grid.push_back({register_label(r), hex(apu_peek(m, r.address), 2)});
    }
    return grid;
}

Grid ppu_register_grid(const Machine& m) {
    Grid grid;
    for (const RegisterName& r : ppu_register_names()) grid.push_back({register_label(r), ppu_register_value(m, r.address)});
    return grid;
}

Grid cpu_io_register_grid(const Machine& m) {
    Grid grid;
    for (const RegisterName& r : cpu_io_register_names()) {
        grid.push_back({register_label(r), cpu_io_register_value(m, r.address)});
    }
    return grid;
}

Grid ppu_settings(const Machine& m) {
    const Ppu& p = m.ppu;
    static constexpr const char* kMapSizes[] = {"32x32", "64x32", "32x64", "64x64"};
    static constexpr const char* kObjSizes[] = {"8:16", "8:32", "8:64", "16:32", "16:64", "32:64", "16x32:32x64",
                                                "16x32:32x32"};
    Grid grid;
    grid.push_back({"BG Mode", std::to_string(p.bgmode & 7) + ((p.bgmode & 8) ? " (BG3 high priority)" : "")});
    for (int bg = 0; bg < 4; bg++) {
        const std::string name = "BG" + std::to_string(bg + 1) + " ";
        const uint8_t nba = bg < 2 ? p.bg12nba : p.bg34nba;
        const uint32_t char_base = uint32_t((nba >> (4 * (bg & 1))) & 0xF) << 12;
        grid.push_back({name + "Tile Size", (p.bgmode & (0x10 << bg)) ? "16x16" : "8x8"});
        grid.push_back({name + "SC Base Address", address_text(uint32_t(p.bgsc[size_t(bg)] & 0xFC) << 8)});
        grid.push_back({name + "SC Size", kMapSizes[p.bgsc[size_t(bg)] & 3]});
        grid.push_back({name + "Name Address", address_text(char_base & 0x7FFF)});
        grid.push_back({name + "Screen Select", screens(p, bg)});
    }
    const uint32_t obj_base = uint32_t(p.objsel & 7) << 13;
    const uint32_t obj_second = obj_base + ((uint32_t((p.objsel >> 3) & 3) + 1) << 12);
    grid.push_back({"OBJ Size Select", kObjSizes[p.objsel >> 5]});
    grid.push_back({"OBJ Name Base Select", address_text(obj_base & 0x7FFF)});
    grid.push_back({"OBJ Name Base 4K", address_text(obj_second & 0x7FFF)});
    grid.push_back({"OBJ Interlaced", enabled(p.setini & 0x02)});
    grid.push_back({"OBJ Screen Select", screens(p, 4)});
    grid.push_back({"Screen Height", (p.setini & 0x04) ? "239" : "224"});
    grid.push_back({"Screen Interlaced", enabled(p.setini & 0x01)});
    return grid;
}

Grid cpu_io_settings(const Machine& m) {
    const SystemRegisters& r = m.sysregs;
    static constexpr const char* kIrq[] = {"Disabled", "Horizontal", "Vertical", "Both"};
    return {
        {"Non-Maskable IRQ", enabled(r.nmitimen & 0x80)},
        {"IRQ", kIrq[(r.nmitimen >> 4) & 3]},
        {"H-IRQ Position", std::to_string(r.htime & 0x1FF)},
        {"V-IRQ Line", std::to_string(r.vtime & 0x1FF)},
        {"Auto-Poll Joypads", enabled(r.nmitimen & 0x01)},
        {"Memory Speed", (r.memsel & 1) ? "Fast (3.58 MHz)" : "Slow (2.68 MHz)"},
        {"Counter Latching", enabled(r.wrio & 0x80)},
    };
}

DmaGrid dma_grid(const Machine& m) {
    struct Row {
        const char* label;
        int offset;
        int bytes;
    };
    static constexpr Row kRows[] = {{"DMAP", 0, 1}, {"BBAD", 1, 1}, {"A1T", 2, 2}, {"A1B", 4, 1},
                                    {"DAS", 5, 2},  {"DASB", 7, 1}, {"A2A", 8, 2}, {"NLTR", 10, 1}};
    DmaGrid grid;
    for (const Row& row : kRows) {
        grid.row_labels.push_back(row.label);
        std::array<std::string, 8> values;
        for (int ch = 0; ch < 8; ch++) {
            const uint8_t* r = &m.dma.regs[size_t(ch * 16 + row.offset)];
            values[size_t(ch)] = row.bytes == 2 ? hex(uint32_t(r[0] | (r[1] << 8)), 4) : hex(r[0], 2);
        }
        grid.values.push_back(values);
    }
    return grid;
}

std::vector<std::array<std::string, 8>> oam_grid(const Machine& m) {
    std::vector<std::array<std::string, 8>> rows;
    for (int i = 0; i < 128; i++) {
        const SpriteInfo s = sprite_info(m, i);
        static constexpr const char* kFlips[] = {"-", "H", "V", "HV"};
        rows.push_back({std::to_string(i), std::to_string(s.x), std::to_string(s.y), hex(s.tile, 3),
                        std::to_string(s.palette), std::to_string(s.priority),
                        kFlips[(s.hflip ? 1 : 0) | (s.vflip ? 2 : 0)],
                        std::to_string(s.width) + "x" + std::to_string(s.height)});
    }
    return rows;
}

std::array<std::array<uint8_t, 16>, 8> dsp_register_bytes(const Machine& m) {
    std::array<std::array<uint8_t, 16>, 8> bytes{};
    for (int i = 0; i < 128; i++) bytes[size_t(i / 16)][size_t(i % 16)] = m.dsp.regs[size_t(i)];
    return bytes;
}

}  // namespace vt
