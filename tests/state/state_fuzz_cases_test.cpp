// Replays the state reader fuzzer's saved inputs (fuzz/state_input.h
// explains their layout): each once made a reader fail, or covers a path
// worth keeping. Every input must load or be refused cleanly, with the
// machine running afterwards.
#include <gtest/gtest.h>

#include "../../fuzz/state_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(StateFuzzCases, EverySavedInputLoadsOrIsRefusedCleanly) {
    const std::vector<SavedInput> cases = saved_fuzz_inputs("state/fuzz_cases");
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    ASSERT_TRUE(fuzz::load_state_fuzz_cartridge(*m));
    for (const SavedInput& input : cases) {
        SCOPED_TRACE(input.name);
        fuzz::run_state_input(*m, input.bytes.data(), input.bytes.size());
        run_frame(*m);
    }
}

// A state written by the program itself goes through the fuzzer's path and
// loads.
TEST(StateFuzzCases, TheFuzzCartridgeTakesARealState) {
    auto source = machine_with_rom("audio_eight_voices");
    run_frames(*source, 30);
    StateOptions options;
    options.sram_transfer = true;
    std::vector<uint8_t> input = {1};
    const std::vector<uint8_t> file = state_file_bytes(*source, "", "", options);
    input.insert(input.end(), file.begin(), file.end());

    auto m = make_machine();
    ASSERT_TRUE(fuzz::load_state_fuzz_cartridge(*m));
    EXPECT_TRUE(m->cart.has_battery);
    fuzz::run_state_input(*m, input.data(), input.size());
    // Loaded, then one frame run: the sound generator's sample directory is
    // the source's.
    const uint8_t dir = source->dsp.regs[kDspDir];
    ASSERT_NE(dir, 0);
    EXPECT_EQ(m->dsp.regs[kDspDir], dir);
    for (int i = 0; i < 32; i++) EXPECT_EQ(m->apu.ram[dir * 256 + i], source->apu.ram[dir * 256 + i]) << i;
}

}  // namespace
}  // namespace vt::test
