#include "debug/memory_view.h"

#include <algorithm>
#include <cstdio>

#include "core/main_cpu_debug.h"
#include "debug/breakpoints.h"

namespace vt {

namespace {

void scroll(MemoryView& v, int64_t rows) {
    v.top_row = uint32_t(std::clamp<int64_t>(int64_t(v.top_row) + rows, 0, kMemoryTopRowMax));
}

// Moves the cursor a row, scrolling at the top and bottom.
void cursor_rows(MemoryView& v, int rows) {
    const int row = v.cursor_row + rows;
    if (row < 0) {
        if (v.top_row > 0) scroll(v, row);
        else v.cursor_column = 0;
        v.cursor_row = 0;
    } else if (row >= kMemoryViewRows) {
        if (v.top_row < kMemoryTopRowMax) scroll(v, row - (kMemoryViewRows - 1));
        else v.cursor_column = kMemoryViewColumns - 1;
        v.cursor_row = kMemoryViewRows - 1;
    } else {
        v.cursor_row = row;
    }
}

}  // namespace

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
            } else if (v.cursor_row < kMemoryViewRows - 1 || v.top_row < kMemoryTopRowMax) {
                v.cursor_column = 0;
                cursor_rows(v, 1);
            }
            break;
    }
}

void memory_view_jump(MemoryView& v, std::string_view text) {
    const uint32_t address = hex_address(text) & 0xFFFFFF;
    v.top_row = std::min(address / 16, kMemoryTopRowMax);
    v.cursor_row = int(address / 16 - v.top_row);
    v.cursor_column = int(address & 15);
}

uint32_t memory_view_row_address(const MemoryView& v, int row) { return ((v.top_row + uint32_t(row)) * 16) & 0xFFFFFF; }

uint32_t memory_view_cursor_address(const MemoryView& v) {
    return memory_view_row_address(v, v.cursor_row) + uint32_t(v.cursor_column);
}

std::string memory_view_row_label(uint32_t address) {
    char text[8];
    std::snprintf(text, sizeof text, "%06X", address & 0xFFFFFF);
    return text;
}

std::string memory_view_cell(const Machine& m, uint32_t address, bool character_mode) {
    const int v = main_cpu_peek(m, address);
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
