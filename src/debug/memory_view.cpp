#include "debug/memory_view.h"

#include <algorithm>
#include <cstdio>

#include "audio/apu.h"
#include "core/machine.h"
#include "core/main_cpu_debug.h"
#include "debug/breakpoints.h"

namespace vt {

namespace {

void scroll(MemoryView& v, int64_t rows) {
    v.top_row = uint32_t(std::clamp<int64_t>(int64_t(v.top_row) + rows, 0, memory_view_top_row_max(v)));
}

// Moves the cursor a row, scrolling at the top and bottom.
void cursor_rows(MemoryView& v, int rows) {
    const int row = v.cursor_row + rows;
    if (row < 0) {
        if (v.top_row > 0) scroll(v, row);
        else v.cursor_column = 0;
        v.cursor_row = 0;
    } else if (row >= kMemoryViewRows) {
        if (v.top_row < memory_view_top_row_max(v)) scroll(v, row - (kMemoryViewRows - 1));
        else v.cursor_column = kMemoryViewColumns - 1;
        v.cursor_row = kMemoryViewRows - 1;
    } else {
        v.cursor_row = row;
    }
}

}  // namespace

const char* memory_space_name(MemorySpace space) {
    switch (space) {
        case MemorySpace::CpuBus: return "CPU bus";
        case MemorySpace::Vram: return "VRAM";
        case MemorySpace::Cgram: return "CGRAM";
        case MemorySpace::Oam: return "OAM";
        case MemorySpace::AudioRam: return "Audio RAM";
    }
    return "";
}

uint32_t memory_space_size(MemorySpace space) {
    switch (space) {
        case MemorySpace::CpuBus: return 0x1000000;
        case MemorySpace::Vram: return 2 * kVramWords;
        case MemorySpace::Cgram: return kCgramSize;
        case MemorySpace::Oam: return kOamSize;
        case MemorySpace::AudioRam: return 0x10000;
    }
    return 0;
}

uint32_t memory_view_top_row_max(const MemoryView& v) {
    const uint32_t rows = (memory_space_size(v.space) + 15) / 16;
    return rows > kMemoryViewRows ? rows - kMemoryViewRows : 0;
}

void memory_view_set_space(MemoryView& v, MemorySpace space) {
    v = MemoryView{.space = space, .character_mode = v.character_mode};
}

void memory_view_key(MemoryView& v, MemoryViewKey key, bool ctrl) {
    switch (key) {
        case MemoryViewKey::PageUp: scroll(v, ctrl ? -4096 : -kMemoryViewRows); break;
        case MemoryViewKey::PageDown: scroll(v, ctrl ? 4096 : kMemoryViewRows); break;
        case MemoryViewKey::Home: v.cursor_column = 0; break;
        case MemoryViewKey::End: v.cursor_column = kMemoryViewColumns - 1; break;
        case MemoryViewKey::Up: cursor_rows(v, -1); break;
        case MemoryViewKey::Down: cursor_rows(v, 1); break;
        case MemoryViewKey::Left:
            if (v.cursor_column > 0) {
                v.cursor_column--;
            } else if (v.cursor_row > 0 || v.top_row > 0) {
                v.cursor_column = kMemoryViewColumns - 1;
                cursor_rows(v, -1);
            }
            break;
        case MemoryViewKey::Right:
            if (v.cursor_column < kMemoryViewColumns - 1) {
                v.cursor_column++;
            } else if (v.cursor_row < kMemoryViewRows - 1 || v.top_row < memory_view_top_row_max(v)) {
                v.cursor_column = 0;
                cursor_rows(v, 1);
            }
            break;
    }
}

void memory_view_jump(MemoryView& v, std::string_view text) {
    const uint32_t address = std::min(hex_address(text) & 0xFFFFFF, memory_space_size(v.space) - 1);
    v.top_row = std::min(address / 16, memory_view_top_row_max(v));
    v.cursor_row = int(address / 16 - v.top_row);
    v.cursor_column = int(address & 15);
}

uint32_t memory_view_row_address(const MemoryView& v, int row) { return ((v.top_row + uint32_t(row)) * 16) & 0xFFFFFF; }

int memory_view_byte(const Machine& m, MemorySpace space, uint32_t address) {
    if (address >= memory_space_size(space)) return kNotReadable;
    switch (space) {
        case MemorySpace::CpuBus: return main_cpu_peek(m, address);
        case MemorySpace::Vram: return (address & 1) ? m.ppu.vram_hi[address >> 1] : m.ppu.vram_lo[address >> 1];
        case MemorySpace::Cgram: return m.ppu.cgram[address];
        case MemorySpace::Oam: return m.ppu.oam[address];
        case MemorySpace::AudioRam: return m.apu.ram[address];  // the RAM itself, under the I/O and boot ROM
    }
    return kNotReadable;
}

uint32_t memory_view_cursor_address(const MemoryView& v) {
    return memory_view_row_address(v, v.cursor_row) + uint32_t(v.cursor_column);
}

std::string memory_view_row_label(uint32_t address, MemorySpace space) {
    char text[8];
    if (space == MemorySpace::CpuBus) std::snprintf(text, sizeof text, "%06X", address & 0xFFFFFF);
    else std::snprintf(text, sizeof text, "%04X", address & 0xFFFF);
    return text;
}

std::string memory_view_cell(const Machine& m, uint32_t address, bool character_mode, MemorySpace space) {
    const int v = memory_view_byte(m, space, address);
    if (v < 0) return {};
    if (character_mode) {
        // Control characters and the upper half show as a dot.
        return std::string(1, v >= 0x20 && v < 0x7F ? char(v) : '.');
    }
    char text[8];
    std::snprintf(text, sizeof text, "%02X", unsigned(v) & 0xFF);
    return text;
}

}  // namespace vt
