// A machine restored from a state taken in the middle of a sprite or Mode 7
// scene draws the following frames exactly as the machine it came from.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "core/main_cpu.h"
#include "support/test_rom.h"
#include "video/dma.h"
#include "video/scene_support.h"

namespace vt::test {
namespace {

// Moves what a state file holds from `source` into a freshly powered-on
// machine with the same cartridge: the PPU's "SPPU" and "VRAM" chunks
// (what is under test here) and, for the rest of the console, the CPU
// image, work RAM, the DMA registers and the system registers.
std::unique_ptr<Machine> restore_into_fresh_machine(const Machine& source, const std::string& rom) {
    auto target = machine_with_rom(rom);
    uint8_t cpu[kCpuImageSize];
    cpu_save_image(source, cpu);
    cpu_load_image(*target, cpu);
    target->mem.wram = source.mem.wram;
    std::vector<uint8_t> dma(kDmaStateSize);
    dma_save_state(source, dma.data());
    dma_load_state(*target, dma.data());
    target->sysregs = source.sysregs;
    target->timing.line = source.timing.line;
    target->timing.line_clock = source.timing.line_clock;

    std::vector<uint8_t> sppu(kPpuStateSize), vram(kVramStateSize);
    ppu_save_state(source, sppu.data());
    vram_save_state(source, vram.data());
    ppu_load_state(*target, sppu.data());
    vram_load_state(*target, vram.data());
    ppu_refresh_derived(*target);
    return target;
}

struct StateCase {
    const char* name;
    const char* rom;
    int scene;
};

class SceneStateRoundTrip : public ::testing::TestWithParam<StateCase> {};

TEST_P(SceneStateRoundTrip, NextFramesAreIdentical) {
    auto source = run_scene(GetParam().rom, GetParam().scene, 3);
    auto target = restore_into_fresh_machine(*source, GetParam().rom);
    for (int frame = 0; frame < 2; frame++) {
        run_frames(*source, 1);
        run_frames(*target, 1);
        EXPECT_EQ(std::memcmp(video_picture(*source), video_picture(*target), size_t(kPictureStride) * kPictureHeight), 0)
            << "frame " << frame;
        EXPECT_EQ(target->ppu.stat77, source->ppu.stat77) << "frame " << frame;
    }
}

INSTANTIATE_TEST_SUITE_P(
    SpritesAndMode7, SceneStateRoundTrip,
    ::testing::Values(StateCase{"SpritePriorityRotation", "video_sprites", 10},
                      StateCase{"SpriteInterlace", "video_sprites", 11},
                      StateCase{"SpriteTimeOver", "video_sprites", 9},
                      StateCase{"Mode7ExtBgOnTheSubScreen", "video_mode7", 11},
                      StateCase{"Mode7MosaicAndFlip", "video_mode7", 8},
                      StateCase{"Mode7HdmaMatrixAnd128Sprites", "video_mode7", 14}),
    [](const ::testing::TestParamInfo<StateCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace vt::test
