// The memory view of the inspector's "BUS" page: 16 rows of 16 bytes of the
// main CPU's 24-bit address space, a cursor on one byte, moved by keys, and
// a "Jump to" box. Bytes are read without side effects (a register that
// a read would change shows what the read would return; nothing moves);
// addresses nothing answers show empty cells. The same view shows the
// memories the CPU reaches only through ports: VRAM (as 64 KiB of bytes,
// the low byte of each word first), CGRAM, OAM and the audio RAM.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace vt {

struct Machine;

inline constexpr int kMemoryViewRows = 16;
inline constexpr int kMemoryViewColumns = 16;

enum class MemorySpace : uint8_t { CpuBus, Vram, Cgram, Oam, AudioRam };
inline constexpr int kMemorySpaceCount = 5;
const char* memory_space_name(MemorySpace space);  // "CPU bus", "VRAM", ...
uint32_t memory_space_size(MemorySpace space);     // bytes

enum class MemoryViewKey { PageUp, PageDown, Home, End, Left, Right, Up, Down };

struct MemoryView {
    MemorySpace space = MemorySpace::CpuBus;
    uint32_t top_row = 0;  // address / 16 of the first row shown
    int cursor_row = 0;    // 0-15 within the rows shown
    int cursor_column = 0;  // 0-15: the byte within the row
    bool character_mode = false;
};

// The last row that can be at the top.
uint32_t memory_view_top_row_max(const MemoryView& v);
// Another memory, shown from its start.
void memory_view_set_space(MemoryView& v, MemorySpace space);

// Page Up/Down move 16 rows (with Ctrl one bank, 4,096 rows); Home/End go
// to the first or last byte of the row; Left at the first byte goes to the
// end of the row above and Right at the last byte to the start of the row
// below; Up and Down move a row. Moving past the top or bottom row scrolls
// the view by a row. The view never leaves the address space.
void memory_view_key(MemoryView& v, MemoryViewKey key, bool ctrl);
// "Jump to": the text as a hexadecimal address; its row goes to the top,
// the cursor to its byte.
void memory_view_jump(MemoryView& v, std::string_view text);
uint32_t memory_view_row_address(const MemoryView& v, int row);
uint32_t memory_view_cursor_address(const MemoryView& v);

// Column 0 of a row: its address, "7E2000" on the CPU bus, "1FF0" in the
// other memories (the inspector's grids write hex in upper case, the
// disassembly in lower case).
std::string memory_view_row_label(uint32_t address, MemorySpace space = MemorySpace::CpuBus);
// The byte at an address of a memory, or kNotReadable.
int memory_view_byte(const Machine& m, MemorySpace space, uint32_t address);
// A byte cell: two hex digits ("3F"), or the byte as a character; empty when
// nothing answers at the address.
std::string memory_view_cell(const Machine& m, uint32_t address, bool character_mode,
                             MemorySpace space = MemorySpace::CpuBus);

}  // namespace vt
