// The inspector's memory view: keys, "Jump to", cells read without side
// effects, empty cells where nothing answers.
#include <gtest/gtest.h>

#include "core/machine.h"
#include "debug/memory_view.h"
#include "support/test_rom.h"

namespace vt {
namespace {

TEST(MemoryView, PagesAndBanks) {
    MemoryView v;
    memory_view_key(v, MemoryViewKey::PageDown, true);
    EXPECT_EQ(memory_view_row_address(v, 0), 0x010000u);  // Ctrl+Page Down from $00:0000
    memory_view_key(v, MemoryViewKey::PageDown, false);
    EXPECT_EQ(memory_view_row_address(v, 0), 0x010100u);
    memory_view_key(v, MemoryViewKey::PageUp, false);
    memory_view_key(v, MemoryViewKey::PageUp, true);
    EXPECT_EQ(memory_view_row_address(v, 0), 0x000000u);
    memory_view_key(v, MemoryViewKey::PageUp, true);  // stays at the start
    EXPECT_EQ(v.top_row, 0u);
    for (int i = 0; i < 300; i++) memory_view_key(v, MemoryViewKey::PageDown, true);
    EXPECT_EQ(memory_view_row_address(v, 15), 0xFFFFF0u);  // stays at the end
}

TEST(MemoryView, JumpTo) {
    MemoryView v;
    memory_view_jump(v, "7E2005");
    EXPECT_EQ(memory_view_row_address(v, 0), 0x7E2000u);
    EXPECT_EQ(v.cursor_row, 0);
    EXPECT_EQ(v.cursor_column, 5);  // the sixth byte
    EXPECT_EQ(memory_view_cursor_address(v), 0x7E2005u);
    memory_view_jump(v, "");
    EXPECT_EQ(memory_view_cursor_address(v), 0u);
    memory_view_jump(v, "FFFFFF");  // the last rows cannot scroll to the top
    EXPECT_EQ(memory_view_cursor_address(v), 0xFFFFFFu);
    EXPECT_EQ(v.cursor_row, 15);
}

TEST(MemoryView, CursorKeys) {
    MemoryView v;
    memory_view_jump(v, "001000");
    memory_view_key(v, MemoryViewKey::End, false);
    EXPECT_EQ(memory_view_cursor_address(v), 0x00100Fu);
    memory_view_key(v, MemoryViewKey::Right, false);  // start of the next row
    EXPECT_EQ(memory_view_cursor_address(v), 0x001010u);
    memory_view_key(v, MemoryViewKey::Left, false);  // back to the end of the row above
    EXPECT_EQ(memory_view_cursor_address(v), 0x00100Fu);
    memory_view_key(v, MemoryViewKey::Home, false);
    memory_view_key(v, MemoryViewKey::Left, false);  // at the top row: the view scrolls
    EXPECT_EQ(memory_view_cursor_address(v), 0x000FFFu);
    EXPECT_EQ(memory_view_row_address(v, 0), 0x000FF0u);

    memory_view_jump(v, "0010F0");  // the bottom row's last byte after a scroll
    for (int i = 0; i < 15; i++) memory_view_key(v, MemoryViewKey::Down, false);
    memory_view_key(v, MemoryViewKey::End, false);
    memory_view_key(v, MemoryViewKey::Right, false);
    EXPECT_EQ(memory_view_cursor_address(v), 0x0011F0u);
    EXPECT_EQ(v.cursor_row, 15);
}

TEST(MemoryView, CellsShowBytesAndLeaveUnmappedOnesEmpty) {
    auto m = test::machine_with_rom("smoke");
    m->mem.wram[0x2005] = 0x3F;
    EXPECT_EQ(memory_view_cell(*m, 0x7E2005, false), "3F");
    EXPECT_EQ(memory_view_cell(*m, 0x7E2005, true), "?");
    m->mem.wram[0x2006] = 0x07;
    EXPECT_EQ(memory_view_cell(*m, 0x7E2006, true), ".");
    EXPECT_EQ(memory_view_cell(*m, 0x002100, false), "");  // write-only
    EXPECT_EQ(memory_view_cell(*m, 0x006000, false), "");  // nothing mapped
    EXPECT_EQ(memory_view_row_label(0x7E2000), "7E2000");

    // Viewing a register that a read would change changes nothing.
    m->apu.to_cpu[0] = 0x55;
    const uint8_t rdnmi = m->sysregs.rdnmi = 0x82;
    EXPECT_EQ(memory_view_cell(*m, 0x004210, false), "82");
    EXPECT_EQ(m->sysregs.rdnmi, rdnmi);
}

// The memories the CPU reaches only through ports, shown the same way.
TEST(MemoryView, OtherMemories) {
    auto m = test::machine_with_rom("smoke");
    m->ppu.vram_lo[0x1234] = 0x56;
    m->ppu.vram_hi[0x1234] = 0x78;
    EXPECT_EQ(memory_view_cell(*m, 0x2468, false, MemorySpace::Vram), "56");  // the low byte first
    EXPECT_EQ(memory_view_cell(*m, 0x2469, false, MemorySpace::Vram), "78");
    m->ppu.cgram[511] = 0x7F;
    EXPECT_EQ(memory_view_cell(*m, 511, false, MemorySpace::Cgram), "7F");
    EXPECT_EQ(memory_view_cell(*m, 512, false, MemorySpace::Cgram), "");
    m->ppu.oam[543] = 0xAA;
    EXPECT_EQ(memory_view_cell(*m, 543, false, MemorySpace::Oam), "AA");
    m->apu.ram[0xFFC0] = 0x12;  // under the boot ROM
    EXPECT_EQ(memory_view_cell(*m, 0xFFC0, false, MemorySpace::AudioRam), "12");
    EXPECT_EQ(memory_view_row_label(0x1FF0, MemorySpace::Vram), "1FF0");

    MemoryView v;
    memory_view_jump(v, "7E2005");
    memory_view_set_space(v, MemorySpace::Oam);
    EXPECT_EQ(memory_view_cursor_address(v), 0u);
    for (int i = 0; i < 5; i++) memory_view_key(v, MemoryViewKey::PageDown, true);
    EXPECT_EQ(memory_view_row_address(v, 15), 0x210u);  // OAM's last row at the bottom
    memory_view_jump(v, "FFFF");
    EXPECT_EQ(memory_view_cursor_address(v), 543u);
}

}  // namespace
}  // namespace vt
