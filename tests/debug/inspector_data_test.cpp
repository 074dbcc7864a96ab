// What the inspector shows: pages by cartridge kind, the register name
// table, grids and decoded settings.
#include <gtest/gtest.h>

#include <string>

#include "cart/cartridge.h"
#include "core/machine.h"
#include "debug/inspector_data.h"
#include "debug/interrupt_vectors.h"
#include "debug/memory_view.h"
#include "debug/register_names.h"
#include "debug/w65816_listing.h"
#include "support/test_rom.h"

namespace vt {
namespace {

std::vector<std::string> visible_pages(const Machine& m) {
    std::vector<std::string> pages;
    for (int i = 0; i < kInspectorPageCount; i++) {
        if (inspector_page_visible(m, InspectorPage(i))) pages.push_back(inspector_page_caption(InspectorPage(i)));
    }
    return pages;
}

TEST(InspectorPages, VisibleByCartridgeKind) {
    auto m = test::machine_with_rom("smoke");
    EXPECT_EQ(visible_pages(*m), (std::vector<std::string>{"W65C816S", "SPC700", "PPU", "CPU", "DSP", "BUS", "DSP"}));
    m->cart.coprocessor = kCoprocSuperFx;
    EXPECT_EQ(visible_pages(*m),
              (std::vector<std::string>{"W65C816S", "SPC700", "SUPER-FX", "PPU", "CPU", "DSP", "BUS", "DSP"}));
    m->cart.coprocessor = kCoprocSa1;
    EXPECT_EQ(visible_pages(*m),
              (std::vector<std::string>{"W65C816S", "SPC700", "SA1", "PPU", "CPU", "DSP", "BUS", "DSP"}));
    m->cart.coprocessor = kCoprocNone;
    m->cart.nes = true;
    EXPECT_EQ(visible_pages(*m), (std::vector<std::string>{"PPU", "DSP", "BUS", "DSP"}));
    EXPECT_TRUE(inspector_page_visible(*m, InspectorPage::NesPpu));
}

TEST(InspectorGrids, RegisterNameTable) {
    EXPECT_EQ(ppu_register_names().size(), 60u);
    EXPECT_EQ(register_label(ppu_register_names().front()), "2100 INIDISP");
    EXPECT_EQ(register_label(ppu_register_names().back()), "213F STAT78");
    for (const RegisterName& r : ppu_register_names()) {
        EXPECT_FALSE(r.address >= 0x2138 && r.address <= 0x213B) << r.name;
    }
    EXPECT_EQ(cpu_io_register_names().size(), 30u);
    EXPECT_EQ(register_label(cpu_io_register_names()[13]), "420D MEMSEL");
    EXPECT_EQ(register_label(cpu_io_register_names()[14]), "4210 RDNMI");
    EXPECT_EQ(register_label(cpu_io_register_names().back()), "421F JOY4H");
    EXPECT_EQ(sa1_write_register_names().size(), 53u);
    EXPECT_EQ(register_label(sa1_write_register_names().front()), "2200 CCNT");
    EXPECT_EQ(register_label(sa1_write_register_names().back()), "2259 VDA");
    EXPECT_EQ(sa1_read_register_names().size(), 12u);
    EXPECT_EQ(register_label(sa1_read_register_names()[4]), "2306 MR0");
    EXPECT_EQ(register_label(nes_ppu_register_names()[5]), "2005 BGSCROL");
}

TEST(InspectorGrids, CpuRegisters) {
    auto m = test::machine_with_rom("smoke");
    m->cpu.a = 0x1234;
    m->cpu.pbr = 0x80;
    m->cpu.pc = 0x8123;
    const Grid g = cpu_register_grid(*m);
    ASSERT_EQ(g.size(), 8u);
    EXPECT_EQ(g[0].label, "A");
    EXPECT_EQ(g[0].value, "1234");
    EXPECT_EQ(g[5].label, "PC");
    EXPECT_EQ(g[5].value, "80:8123");
    EXPECT_EQ(g[7].label, "P");
    EXPECT_EQ(g[7].value, "34 E+");  // M and X read 1 in emulation mode
    m->cpu.e = 0;
    EXPECT_EQ(cpu_register_grid(*m)[7].value, "34 E-");
    EXPECT_EQ(spc700_register_grid(*m).size(), 6u);
    EXPECT_EQ(spc700_io_grid(*m).size(), 16u);
    EXPECT_EQ(spc700_io_grid(*m)[1].label, "00F1 CONTROL");
}

TEST(InspectorGrids, PpuAndCpuIoRegistersAndSettings) {
    auto m = test::machine_with_rom("smoke");
    Ppu& p = m->ppu;
    p.inidisp = 0x0F;
    p.bgmode = 0x29;  // mode 1, BG3 priority, BG2 16x16 tiles
    p.bgsc[1] = 0x7D;  // map at word $7C00, 64x32
    p.bg12nba = 0x51;  // BG1 characters at $1000, BG2 at $5000
    p.hofs[0] = 0x123;
    p.tm = 0x12;
    p.ts = 0x02;
    p.objsel = 0xC3;  // 16x32 / 32x64, name base $6000, second table $7000
    p.setini = 0x05;
    const Grid regs = ppu_register_grid(*m);
    ASSERT_EQ(regs.size(), 60u);
    EXPECT_EQ(regs[0].label + " = " + regs[0].value, "2100 INIDISP = 0F");
    EXPECT_EQ(regs[13].label + " = " + regs[13].value, "210D BG1HOFS = 0123");

    auto setting = [](const Grid& g, const std::string& key) {
        for (const GridRow& r : g) {
            if (r.label == key) return r.value;
        }
        return std::string("(missing)");
    };
    const Grid s = ppu_settings(*m);
    EXPECT_EQ(setting(s, "BG2 Tile Size"), "16x16");
    EXPECT_EQ(setting(s, "BG1 Tile Size"), "8x8");
    EXPECT_EQ(setting(s, "BG2 SC Base Address"), "$7C00");
    EXPECT_EQ(setting(s, "BG2 SC Size"), "64x32");
    EXPECT_EQ(setting(s, "BG1 Name Address"), "$1000");
    EXPECT_EQ(setting(s, "BG2 Name Address"), "$5000");
    EXPECT_EQ(setting(s, "BG2 Screen Select"), "Main/Sub");
    EXPECT_EQ(setting(s, "BG1 Screen Select"), "None");
    EXPECT_EQ(setting(s, "OBJ Screen Select"), "Main");
    EXPECT_EQ(setting(s, "OBJ Size Select"), "16x32:32x64");
    EXPECT_EQ(setting(s, "OBJ Name Base Select"), "$6000");
    EXPECT_EQ(setting(s, "OBJ Name Base 4K"), "$7000");
    EXPECT_EQ(setting(s, "Screen Height"), "239");
    EXPECT_EQ(setting(s, "Screen Interlaced"), "Enabled");
    EXPECT_EQ(setting(s, "OBJ Interlaced"), "Disabled");

    m->sysregs.nmitimen = 0xA1;
    m->sysregs.memsel = 1;
    const Grid io = cpu_io_settings(*m);
    EXPECT_EQ(setting(io, "Non-Maskable IRQ"), "Enabled");
    EXPECT_EQ(setting(io, "IRQ"), "Vertical");
    EXPECT_EQ(setting(io, "Auto-Poll Joypads"), "Enabled");
    EXPECT_EQ(setting(io, "Memory Speed"), "Fast (3.58 MHz)");
    m->sysregs.nmitimen = 0x30;
    EXPECT_EQ(setting(cpu_io_settings(*m), "IRQ"), "Both");
    const Grid io_regs = cpu_io_register_grid(*m);
    ASSERT_EQ(io_regs.size(), 30u);
    EXPECT_EQ(io_regs[0].value, "30");
}

TEST(InspectorGrids, DmaAndOam) {
    auto m = test::machine_with_rom("smoke");
    m->dma.regs[0x32] = 0x00;  // channel 3 A1T = $8000
    m->dma.regs[0x33] = 0x80;
    m->dma.regs[0x31] = 0x18;
    const DmaGrid dma = dma_grid(*m);
    ASSERT_EQ(dma.row_labels.size(), 8u);
    EXPECT_EQ(dma.row_labels[1], "BBAD");
    EXPECT_EQ(dma.values[1][3], "18");
    EXPECT_EQ(dma.values[2][3], "8000");

    // Sprite 5: X = -3 (bit 8 set), Y 100, tile $142, palette 6, priority 2, both flips, large.
    m->ppu.objsel = 0x00;
    m->ppu.oam[20] = 0xFD;
    m->ppu.oam[21] = 100;
    m->ppu.oam[22] = 0x42;
    m->ppu.oam[23] = 0xC0 | 0x20 | (6 << 1) | 1;
    m->ppu.oam[512 + 1] = 0x03 << 2;
    const auto oam = oam_grid(*m);
    ASSERT_EQ(oam.size(), 128u);
    EXPECT_EQ(oam[5], (std::array<std::string, 8>{"5", "-3", "100", "142", "6", "2", "HV", "16x16"}));
}

// Before the first cartridge the memory map is empty: the inspector shows
// empty cells and zero vectors, and nothing crashes.
TEST(InspectorGrids, NothingLoadedShowsNothing) {
    auto m = make_machine();
    EXPECT_EQ(memory_view_cell(*m, 0x008000, false), "");
    EXPECT_EQ(read_interrupt_handlers(*m)[1][2], 0u);
    EXPECT_EQ(main_cpu_listing(*m, main_cpu_listing_start(*m, true), 2)[1].text, "000002 brk     #$00");
    EXPECT_EQ(ppu_register_grid(*m).size(), 60u);
    EXPECT_EQ(cpu_io_register_grid(*m).size(), 30u);
}

}  // namespace
}  // namespace vt
