// Replays the chip fuzzer's saved inputs (fuzz/chips_input.h explains their
// layout): each once made a chip fail, or covers a path worth keeping.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../../fuzz/chips_input.h"
#include "../../fuzz/necdsp_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

TEST(ChipsFuzzCases, EverySavedInputRunsCleanly) {
    fs::path folder = fs::path(VELTRANE_TEST_SOURCE_DIR) / "coproc" / "fuzz_cases" / "chips";
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(folder)) cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    ASSERT_FALSE(cases.empty());
    for (const fs::path& p : cases) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> input = read_file(p.string());
        fuzz::run_chips_input(input.data(), input.size());
    }
    // Every chip the fuzzer drives loads as its kind.
    for (const fuzz::FuzzChip& chip : fuzz::kFuzzChips) {
        EXPECT_EQ(fuzz::chip_fuzz_machine(chip)->cart.coprocessor, chip.kind);
    }
}

// The NEC DSP fuzzer's saved inputs (fuzz/necdsp_input.h): firmware images
// of both models, host accesses and damaged state chunks.
TEST(NecDspFuzzCases, EverySavedInputRunsCleanly) {
    fs::path folder = fs::path(VELTRANE_TEST_SOURCE_DIR) / "coproc" / "fuzz_cases" / "necdsp";
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(folder)) cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    for (const fs::path& p : cases) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> input = read_file(p.string());
        fuzz::run_necdsp_input(*m, input.data(), input.size());
        // Whatever the input, the core stays inside its model's ranges.
        EXPECT_LE(m->necdsp.pc, necdsp_program_mask(m->necdsp.model));
        EXPECT_LT(m->necdsp.sp, necdsp_stack_depth(m->necdsp.model));
        EXPECT_LE(m->necdsp.dp, necdsp_ram_mask(m->necdsp.model));
    }
}

}  // namespace
}  // namespace vt::test
