// The real-time save: the header and image layout with the return frame on
// the saved stack, the memory-map code, and loading by replaying the
// register pages through the registers' own handlers.
#include <gtest/gtest.h>

#include "cart/bus.h"
#include "core/driver.h"
#include "state/state_file.h"
#include "state/state_test_support.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

constexpr size_t kHeader = 512;

// The smoke cartridge after a few frames, with registers set the way a
// game sets them.
std::unique_ptr<Machine> source_machine() {
    auto m = machine_with_rom("smoke");
    run_frames(*m, 3);
    Machine& s = *m;
    bus_write(s, 0, 0x2105, 0x09);                                  // BGMODE
    bus_write(s, 0, 0x210D, 0x34), bus_write(s, 0, 0x210D, 0x01);   // BG1HOFS $0134
    bus_write(s, 0, 0x211B, 0x00), bus_write(s, 0, 0x211B, 0x02);   // M7A $0200
    bus_write(s, 0, 0x2132, 0x20 | 5), bus_write(s, 0, 0x2132, 0x40 | 5);
    bus_write(s, 0, 0x2132, 0x80 | 9);                              // fixed colour red 5, green 5, blue 9
    bus_write(s, 0, 0x2115, 0x80);                                  // VMAIN
    bus_write(s, 0, 0x2116, 0x34), bus_write(s, 0, 0x2117, 0x12);   // VRAM address $1234
    bus_write(s, 0, 0x212C, 0x13);                                  // TM
    bus_write(s, 0, 0x2181, 0x56), bus_write(s, 0, 0x2182, 0x34);
    bus_write(s, 0, 0x2183, 0x01);                                  // work RAM port $013456
    bus_write(s, 0, 0x4207, 0x21), bus_write(s, 0, 0x4208, 0x01);   // HTIME $121
    bus_write(s, 0, 0x4209, 0x64);                                  // VTIME $64
    for (int r = 0; r < 16; r++) bus_write(s, 0, uint16_t(0x4350 + r), uint8_t(0xC0 + r));
    s.ppu.vram_lo[0x100] = 0xAB;
    s.ppu.vram_hi[0x100] = 0xCD;
    s.ppu.cgram[2] = 0x1F;
    s.ppu.oam[7] = 0x99;
    return m;
}

TEST(RealTimeSave, HeaderAndImageLayout) {
    auto m = source_machine();
    const Machine& s = *m;
    const std::vector<uint8_t> file = rts_file_bytes(s);
    ASSERT_EQ(file.size(), kHeader + 262144);
    for (size_t i = 0; i < kHeader; i++) {
        const uint8_t want = i == 8 ? 0xAA : i == 9 ? 0xBB : i == 10 ? 0x08 : 0;
        ASSERT_EQ(file[i], want) << i;
    }
    auto image = [&](size_t at) { return file[kHeader + at]; };
    auto image16 = [&](size_t at) { return le16(file, kHeader + at); };

    // The register record, twice, with S four lower; the return frame above it.
    const uint16_t saved_s = uint16_t(s.cpu.s - 4);
    EXPECT_EQ(image16(0x3E000), s.cpu.a);
    EXPECT_EQ(image16(0x3E000 + 8), saved_s);
    EXPECT_EQ(image16(0x3E000 + 10), s.cpu.pc);
    for (size_t i = 0; i < 32; i++) EXPECT_EQ(image(0x3E020 + i), image(0x3E000 + i)) << i;
    EXPECT_EQ(image(saved_s + 1u), cpu_get_status(s));
    EXPECT_EQ(image(saved_s + 2u), uint8_t(s.cpu.pc));
    EXPECT_EQ(image(saved_s + 3u), uint8_t(s.cpu.pc >> 8));
    EXPECT_EQ(image(saved_s + 4u), s.cpu.pbr);
    // Work RAM as it is everywhere else.
    EXPECT_EQ(image(0x10), s.mem.wram[0x10]);
    EXPECT_EQ(image(0x1FFFF), s.mem.wram[0x1FFFF]);

    EXPECT_EQ(image16(0x20000 + 2 * 0x100), 0xCDAB);  // VRAM word, low byte first
    EXPECT_EQ(image(0x3E400 + 2), 0x1F);               // CGRAM
    EXPECT_EQ(image(0x3E600 + 7), 0x99);               // OAM

    // PPU page: last written bytes.
    EXPECT_EQ(image(0x3E100 + 0x05), 0x09);
    EXPECT_EQ(image(0x3E100 + 0x0D), 0x01);  // BG1HOFS: its high byte
    EXPECT_EQ(image(0x3E100 + 0x1B), 0x02);  // M7A
    EXPECT_EQ(image(0x3E100 + 0x32), 0x20 | 0x40 | 5);  // red and green share 5
    EXPECT_EQ(image(0x3E100 + 0x16), 0x34);
    EXPECT_EQ(image(0x3E100 + 0x17), 0x12);
    EXPECT_EQ(image(0x3E100 + 0x2C), 0x13);
    EXPECT_EQ(image(0x3E100 + 0x81), 0x56);
    EXPECT_EQ(image(0x3E100 + 0x83), 0x01);
    // System and DMA pages.
    EXPECT_EQ(image(0x3E200 + 0x00), s.sysregs.nmitimen);
    EXPECT_EQ(image16(0x3E200 + 0x07), 0x121);
    EXPECT_EQ(image(0x3E200 + 0x09), 0x64);
    EXPECT_EQ(image(0x3E300 + 0x52), 0xC2);

    // The trailer.
    EXPECT_EQ(image16(0x3F002), 0x1030);
    EXPECT_EQ(image16(0x3F004), 0x1000);
    EXPECT_EQ(image16(0x3F006), 0);
    EXPECT_EQ(image16(0x3F008), 14);  // LoROM, no battery RAM
    EXPECT_EQ(image(0x3F00A), 1);
    EXPECT_EQ(image16(0x3F00B), 4);   // 32 KiB in 8 KiB units
    EXPECT_EQ(std::string(file.begin() + long(kHeader + 0x3F014), file.begin() + long(kHeader + 0x3F014 + 20)),
              "VELTRANE SMOKE TEST ");
    // Places nothing fills keep the $0000FFFF pattern.
    EXPECT_EQ(le32(file, kHeader + 0x3F100), 0x0000FFFFu);
    EXPECT_EQ(le32(file, kHeader + 0x3E820), 0x0000FFFFu);  // just past OAM
}

TEST(RealTimeSave, MemoryMapCode) {
    auto m = machine_with_rom("smoke");
    Cartridge& c = m->cart;
    struct Row {
        bool hirom, battery;
        uint32_t size;
        uint16_t code;
    };
    const Row rows[] = {
        {false, false, 0, 14},         {true, false, 0, 13},
        {false, true, 0x2000, 4},      // 14 & 7 & 13
        {false, true, 0x8000, 0},      // 14 & 3 & 13
        {true, true, 0x2000, 5},       // 13 & 7
        {true, true, 0x8000, 1},       // 13 & 3
        {false, true, 0x800, 12},      // 14 & 13
        {true, true, 0x800, 13},
    };
    for (const Row& r : rows) {
        c.hirom = r.hirom;
        c.has_battery = r.battery;
        c.sram_size = r.size;
        const std::vector<uint8_t> file = rts_file_bytes(*m);
        EXPECT_EQ(le16(file, kHeader + 0x3F008), r.code) << r.hirom << " " << r.size;
    }
}

TEST(RealTimeSave, LoadReplaysTheRegistersAndPopsTheReturnFrame) {
    auto src = source_machine();
    const Machine& s = *src;
    const std::vector<uint8_t> file = rts_file_bytes(s);

    auto m = machine_with_rom("smoke");
    run_frames(*m, 1);
    m->dma.regs[0x5B] = 0x3C;  // $435B is not replayed
    std::string error;
    ASSERT_TRUE(load_rts_bytes(*m, file.data(), file.size(), &error)) << error;
    const Machine& d = *m;

    EXPECT_EQ(d.cpu.a, s.cpu.a);
    EXPECT_EQ(d.cpu.x, s.cpu.x);
    EXPECT_EQ(d.cpu.s, s.cpu.s);
    EXPECT_EQ(d.cpu.pc, s.cpu.pc);
    EXPECT_EQ(d.cpu.pbr, s.cpu.pbr);
    EXPECT_EQ(cpu_get_status(d), cpu_get_status(s));
    EXPECT_EQ(d.cpu.e, s.cpu.e);
    for (uint32_t i = 0; i < kWramSize; i++) {
        if (i > uint16_t(s.cpu.s - 4) && i <= s.cpu.s) continue;  // the pushed frame
        ASSERT_EQ(d.mem.wram[i], s.mem.wram[i]) << i;
    }
    EXPECT_EQ(d.mem.wram_port, 0x013456u);

    EXPECT_EQ(d.ppu.bgmode, 0x09);
    EXPECT_EQ(d.ppu.hofs[0], 0x0101);  // one byte written twice
    EXPECT_EQ(d.ppu.m7[0], 0x0202);
    EXPECT_EQ(d.ppu.coldata & 0x3FF, 5 | 5 << 5);
    EXPECT_EQ(d.ppu.vram_addr, 0x1234);
    EXPECT_EQ(d.ppu.tm, 0x13);
    EXPECT_EQ(d.ppu.vram_lo, s.ppu.vram_lo);
    EXPECT_EQ(d.ppu.vram_hi, s.ppu.vram_hi);
    EXPECT_EQ(d.ppu.cgram, s.ppu.cgram);
    EXPECT_EQ(d.ppu.oam, s.ppu.oam);
    EXPECT_EQ(d.ppu.palette[1], pack_colour(0, 0, 0x1F));  // the converted palette follows CGRAM

    EXPECT_EQ(d.sysregs.nmitimen, s.sysregs.nmitimen);
    EXPECT_EQ(d.sysregs.htime, 0x121);
    EXPECT_EQ(d.sysregs.vtime, 0x64);
    for (int r = 0; r <= 0x0A; r++) EXPECT_EQ(d.dma.regs[0x50 + r], 0xC0 + r) << r;
    EXPECT_EQ(d.dma.regs[0x5B], 0x3C);

    // The program runs on from where it was: one NMI per frame.
    const uint16_t nmis = wram16(d, 0x10);
    run_frames(*m, 2);
    EXPECT_EQ(wram16(*m, 0x10), nmis + 2);
}

TEST(RealTimeSave, UnmarkedOrShortFilesChangeNothing) {
    auto src = source_machine();
    std::vector<uint8_t> file = rts_file_bytes(*src);
    auto m = machine_with_rom("smoke");
    run_frames(*m, 1);
    const MachineRecord before(*m);

    std::vector<uint8_t> unmarked = file;
    unmarked[10] = 0x04;  // a copier image header, not a real-time save
    std::string error;
    EXPECT_FALSE(load_rts_bytes(*m, unmarked.data(), unmarked.size(), &error));
    EXPECT_NE(error.find("not a real-time save"), std::string::npos) << error;
    EXPECT_FALSE(load_rts_bytes(*m, file.data(), 10, &error));
    EXPECT_NE(error.find("not a real-time save"), std::string::npos) << error;

    EXPECT_FALSE(load_rts_bytes(*m, file.data(), file.size() - 1, &error));
    EXPECT_EQ(error, "Unexpected end of file ");
    EXPECT_FALSE(load_rts_bytes(*m, file.data(), 512, &error));
    EXPECT_EQ(error, kRtsUnexpectedEnd);
    EXPECT_TRUE(MachineRecord(*m) == before);
}

TEST(RealTimeSave, ThroughFiles) {
    auto src = source_machine();
    const std::string dir = state_test_folder("rts_files");
    std::string error;
    ASSERT_TRUE(save_rts(*src, dir + "/game.rts", &error)) << error;
    EXPECT_EQ(read_file(dir + "/game.rts"), rts_file_bytes(*src));
    auto m = machine_with_rom("smoke");
    ASSERT_TRUE(load_rts(*m, dir + "/game.rts", &error)) << error;
    EXPECT_EQ(m->cpu.pc, src->cpu.pc);
    const MachineRecord before(*m);
    EXPECT_FALSE(load_rts(*m, dir + "/missing.rts", &error));
    EXPECT_EQ(error, "The file does not exist.");
    EXPECT_FALSE(load_rts(*m, dir, &error));
    EXPECT_EQ(error, "It is not a file.");
    EXPECT_TRUE(MachineRecord(*m) == before);
    // Nothing is written where the folder is missing.
    EXPECT_FALSE(save_rts(*src, dir + "/no/such/folder/game.rts", &error));
    EXPECT_EQ(error, "The file could not be written: No such file or directory.");
}

}  // namespace
}  // namespace vt::test
