// A state saved after N frames and loaded into a fresh machine runs on
// exactly as the machine it came from: the same picture, the same audio
// samples and the same memories, frame after frame.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/driver.h"
#include "core/main_cpu.h"
#include "state/state_file.h"
#include "support/test_rom.h"
#include "video/ppu.h"

namespace vt::test {
namespace {

struct Case {
    const char* rom;
    int scene;  // -1: the cartridge has no scenes
    int frames_before;
    int frames_after;
};

void PrintTo(const Case& c, std::ostream* os) { *os << c.rom << " scene " << c.scene; }

std::unique_ptr<Machine> start(const Case& c) {
    auto m = machine_with_rom(c.rom);
    if (c.scene >= 0) m->mem.wram[0x1F00] = uint8_t(c.scene);  // read by the scene cartridges' reset code
    // A joypad in port 1 with buttons held, so the automatic and serial
    // reads have something to read.
    m->input.present[0] = 0xFFFF;
    m->input.record[0] = joypad_record(kPadA | kPadRight);
    return m;
}

// Where two machines differ, by the name of the first differing piece.
std::string first_difference(const Machine& a, const Machine& b) {
    auto same = [](const auto& x, const auto& y) { return std::memcmp(&x, &y, sizeof x) == 0; };
    if (!same(a.ppu.picture, b.ppu.picture)) return "picture";
    const DspSamples sa = dsp_finished_samples(a);
    const DspSamples sb = dsp_finished_samples(b);
    if (sa.frames != sb.frames || std::memcmp(sa.samples, sb.samples, sa.frames * 4) != 0) return "audio samples";
    if (!same(a.mem.wram, b.mem.wram)) return "work RAM";
    if (!same(a.ppu.vram_lo, b.ppu.vram_lo) || !same(a.ppu.vram_hi, b.ppu.vram_hi)) return "VRAM";
    if (!same(a.ppu.cgram, b.ppu.cgram)) return "CGRAM";
    if (!same(a.ppu.oam, b.ppu.oam)) return "OAM";
    if (!same(a.apu.ram, b.apu.ram)) return "audio RAM";
    if (!same(a.dsp.regs, b.dsp.regs)) return "sound generator registers";
    if (!same(a.dma.regs, b.dma.regs)) return "DMA registers";
    if (std::memcmp(a.cart.sram.data(), b.cart.sram.data(), a.cart.sram.size()) != 0) return "battery RAM";
    uint8_t ca[kCpuImageSize], cb[kCpuImageSize];
    cpu_save_image(a, ca);
    cpu_save_image(b, cb);
    if (std::memcmp(ca, cb, sizeof ca) != 0) return "CPU registers";
    if (a.timing.line_clock != b.timing.line_clock) return "line clock";
    if (a.apu.clock != b.apu.clock || a.apu.pc != b.apu.pc) return "audio CPU";
    if (!same(a.sa1.iram, b.sa1.iram)) return "SA-1 I-RAM";
    const CpuRegs& ra = a.sa1.cpu;
    const CpuRegs& rb = b.sa1.cpu;
    if (ra.a != rb.a || ra.x != rb.x || ra.y != rb.y || ra.s != rb.s || ra.d != rb.d || ra.pc != rb.pc ||
        ra.pbr != rb.pbr || ra.dbr != rb.dbr || cpu_status(ra) != cpu_status(rb) || ra.e != rb.e) {
        return "SA-1 registers";
    }
    if (a.sa1.clock != b.sa1.clock || a.sa1.running != b.sa1.running) return "SA-1 clock";
    if (a.gsu.r != b.gsu.r || a.gsu.sfr != b.gsu.sfr || a.gsu.pipe != b.gsu.pipe || a.gsu.cache != b.gsu.cache) {
        return "Super FX registers";
    }
    return "";
}

class StateDeterminism : public ::testing::TestWithParam<Case> {};

TEST_P(StateDeterminism, LoadedStateRunsOnLikeTheMachineItCameFrom) {
    const Case& c = GetParam();
    auto straight = start(c);
    run_frames(*straight, c.frames_before);

    StateOptions options;
    options.sram_transfer = true;
    const std::vector<uint8_t> state = state_file_bytes(*straight, "determinism", "test", options);

    auto loaded = start(c);
    std::string error;
    ASSERT_TRUE(load_state_bytes(*loaded, state.data(), state.size(), options, &error)) << error;

    for (int frame = 0; frame < c.frames_after; frame++) {
        run_frame(*straight);
        run_frame(*loaded);
        ASSERT_EQ(first_difference(*straight, *loaded), "") << "frame " << c.frames_before + frame + 1;
    }
}

// The motion cartridge's picture does change from frame to frame, so the
// comparison above means something.
TEST(StateDeterminismCartridge, MotionCartridgeChangesItsPictureEveryFrame) {
    auto m = machine_with_rom("state_motion");
    run_frames(*m, 3);
    const auto before = m->ppu.picture;
    const uint16_t nmis = wram16(*m, 0x10);
    const uint16_t irqs = wram16(*m, 0x12);
    run_frame(*m);
    EXPECT_NE(std::memcmp(before.data(), m->ppu.picture.data(), before.size()), 0);
    EXPECT_EQ(wram16(*m, 0x10), nmis + 1);  // one NMI per frame
    EXPECT_EQ(wram16(*m, 0x12), irqs + 1);  // one timer IRQ per frame
    EXPECT_EQ(m->ppu.bgmode, 0x01);  // back to Mode 1 after V-blank
}

INSTANTIATE_TEST_SUITE_P(
    TestCartridges, StateDeterminism,
    ::testing::Values(Case{"state_motion", -1, 6, 6},         // scroll, palette, DMA, HDMA from work RAM, Mode 7 by IRQ
                      Case{"smoke", -1, 7, 5},                // NMI counting, main loop
                      Case{"sysregs_joypad", -1, 9, 6},       // timer IRQ, automatic and serial joypad reads
                      Case{"audio_upload", -1, 40, 8},        // one voice with ADSR after an upload through the ports
                      Case{"audio_eight_voices", -1, 45, 8},  // eight voices, echo, timer 0 driving the music
                      Case{"video_hdma", 0, 4, 3},            // HDMA fixed-colour gradient
                      Case{"video_hdma", 1, 4, 3},            // HDMA scroll, direct and indirect tables
                      Case{"video_hdma", 3, 4, 3},            // HDMA window edges
                      Case{"video_heavy", 0, 5, 3},           // three HDMA channels, colour math, windows
                      Case{"video_windows", 9, 4, 2},         // colour window
                      Case{"video_colour_math", 2, 4, 2},
                      Case{"video_bg_modes", 0, 4, 2},
                      Case{"cart_sram", -1, 3, 2},            // battery RAM
                      Case{"cpu_mix", -1, 3, 3},              // a long-running instruction mix
                      Case{"sa1_cpu", -1, 1, 3},              // SA-1: both processors interrupting each other
                      Case{"sa1_bench", -1, 4, 4},            // SA-1 busy all frame, its sum on screen
                      Case{"gsu_picture", -1, 1, 4},          // Super FX without battery, saved mid-drawing
                      Case{"gsu_bench", -1, 3, 3}));          // Super FX busy every line

}  // namespace
}  // namespace vt::test
