// The rewind history: exact states back, the memory budget, and what the
// demo needs for twenty seconds at full speed.
#include "frontend/rewind_buffer.h"

#include <gtest/gtest.h>

#include "core/driver.h"
#include "frontend/demo_cartridge.h"
#include "state/state_file.h"
#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

StateOptions whole_state() {
    StateOptions o;
    o.sram_transfer = true;
    o.bitmap_transfer = false;
    return o;
}

// The machine's state without the metadata chunk (its date changes).
std::vector<uint8_t> machine_state(const Machine& m) {
    std::vector<uint8_t> bytes = state_file_bytes(m, "", "", whole_state());
    const size_t metadata = 8 + 166;
    return std::vector<uint8_t>(bytes.begin() + long(metadata), bytes.end());
}

std::unique_ptr<Machine> demo() {
    auto m = make_machine();
    EXPECT_TRUE(load_builtin_demo(*m, LoadOptions{}, make_temp_folder("rewind")).loaded());
    return m;
}

TEST(RewindBuffer, StepsBackToEachKeptStateExactly) {
    auto m = demo();
    RewindBuffer history;
    std::vector<std::vector<uint8_t>> kept;
    for (int i = 0; i < 50; i++) {
        run_frame(*m);
        history.capture(*m);
        kept.push_back(machine_state(*m));
    }
    EXPECT_EQ(history.steps_back(), 49u);
    for (int back = 1; back < 50; back++) {
        ASSERT_TRUE(history.step_back(*m)) << back;
        ASSERT_EQ(machine_state(*m), kept[size_t(49 - back)]) << back;
    }
    EXPECT_EQ(history.steps_back(), 0u);
    EXPECT_FALSE(history.step_back(*m));  // the oldest state is where it ends
    EXPECT_EQ(machine_state(*m), kept[0]);
}

TEST(RewindBuffer, TheBudgetDropsTheOldestStatesFirst) {
    auto m = demo();
    RewindBuffer history(360 * 1024);  // the newest state (about 330 KB) and some differences
    std::vector<std::vector<uint8_t>> kept;
    for (int i = 0; i < 120; i++) {
        run_frame(*m);
        history.capture(*m);
        kept.push_back(machine_state(*m));
        EXPECT_LE(history.memory_bytes(), history.budget_bytes());
    }
    const size_t reach = history.steps_back();
    ASSERT_GT(reach, 0u);
    ASSERT_LT(reach, 119u);
    while (history.step_back(*m)) {
    }
    // The oldest state still kept is exactly the one `reach` frames back.
    EXPECT_EQ(machine_state(*m), kept[119 - reach]);
}

TEST(RewindBuffer, TwentySecondsOfTheDemoFitInTheBudget) {
    auto m = demo();
    RewindBuffer history;
    const int frames = 20 * 60;
    for (int i = 0; i < frames; i++) {
        run_frame(*m);
        history.capture(*m);
    }
    EXPECT_EQ(history.steps_back(), size_t(frames - 1));
    EXPECT_LE(history.memory_bytes(), kRewindBudgetBytes);
}

TEST(RewindBuffer, ClearingForgetsEverything) {
    auto m = demo();
    RewindBuffer history;
    for (int i = 0; i < 3; i++) {
        run_frame(*m);
        history.capture(*m);
    }
    history.clear();
    EXPECT_EQ(history.memory_bytes(), 0u);
    EXPECT_FALSE(history.step_back(*m));
}

}  // namespace
}  // namespace vt::test
