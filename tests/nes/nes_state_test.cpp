// Save states of the NES side: save, run, load, run gives the same
// picture, RAM and CPU; damaged NES chunks are refused.
#include <gtest/gtest.h>

#include "core/driver.h"
#include "nes/nes_side.h"
#include "nes_image_builder.h"
#include "state/state_file.h"
#include "support/test_rom.h"
#include "video/ppu.h"

namespace vt {
namespace {

struct Snapshot {
    std::vector<uint8_t> picture;
    std::array<uint8_t, kNesRamSize> ram;
    uint16_t pc;
    uint64_t cycles;
};

Snapshot snapshot(const Machine& m) {
    const uint8_t* p = video_picture(m);
    return {std::vector<uint8_t>(p, p + size_t(kPictureStride) * kPictureHeight), m.nes.ram, m.nes.cpu.pc,
            m.nes.cycles};
}

TEST(NesState, SaveRunLoadRunGivesTheSameMachine) {
    auto m = test::machine_with_nes_rom("state_motion");
    test::run_frames(*m, 30);
    const std::vector<uint8_t> state = state_file_bytes(*m, "", "", StateOptions{});
    test::run_frames(*m, 20);
    const Snapshot first = snapshot(*m);
    // The picture moves: a later frame differs from this one.
    test::run_frames(*m, 3);
    EXPECT_NE(snapshot(*m).picture, first.picture);

    std::string error;
    ASSERT_TRUE(load_state_bytes(*m, state.data(), state.size(), StateOptions{}, &error)) << error;
    test::run_frames(*m, 20);
    const Snapshot second = snapshot(*m);
    EXPECT_EQ(second.ram, first.ram);
    EXPECT_EQ(second.pc, first.pc);
    EXPECT_EQ(second.cycles, first.cycles);
    EXPECT_TRUE(second.picture == first.picture);
}

TEST(NesState, MapperRegistersAndChrRamComeBack) {
    test::NesRig r;
    ASSERT_TRUE(r.load(test::nes_image(4, 16, 0)));
    r.write(0x8000, 6);
    r.write(0x8001, 9);
    r.m->nes.chr_ram[0x123] = 0x77;
    r.write(0x6000, 0x5C);
    const std::vector<uint8_t> state = state_file_bytes(*r.m, "", "", StateOptions{});
    r.write(0x8001, 3);
    r.m->nes.chr_ram[0x123] = 0;
    r.write(0x6000, 0);
    ASSERT_TRUE(load_state_bytes(*r.m, state.data(), state.size(), StateOptions{}));
    EXPECT_EQ(r.prg_bank(0x8000), 9);  // the pages point where the registers say
    EXPECT_EQ(r.m->nes.ppu.chr_page[0][0x123], 0x77);
    EXPECT_EQ(nes_peek(r.m->nes, 0x6000), 0x5C);
}

TEST(NesState, ATruncatedNesChunkIsRefused) {
    test::NesRig r;
    ASSERT_TRUE(r.load(test::nes_image(0, 2, 1)));
    std::vector<uint8_t> state = state_file_bytes(*r.m, "", "", StateOptions{});
    // Find "XNCP" and shorten its length field.
    const char tag[] = "XNCP";
    auto at = std::search(state.begin(), state.end(), tag, tag + 4);
    ASSERT_NE(at, state.end());
    at[4] = uint8_t(at[4] - 1);
    const uint16_t pc = r.m->nes.cpu.pc;
    std::string error;
    EXPECT_FALSE(load_state_bytes(*r.m, state.data(), state.size(), StateOptions{}, &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(r.m->nes.cpu.pc, pc);
}

}  // namespace
}  // namespace vt
