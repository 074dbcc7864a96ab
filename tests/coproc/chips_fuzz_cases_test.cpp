// Replays the chip fuzzer's saved inputs (fuzz/chips_input.h explains their
// layout): each once made a chip fail, or covers a path worth keeping.
#include <gtest/gtest.h>

#include "../../fuzz/chips_input.h"
#include "../../fuzz/necdsp_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(ChipsFuzzCases, EverySavedInputRunsCleanly) {
    const std::vector<SavedInput> cases = saved_fuzz_inputs("coproc/fuzz_cases/chips");
    ASSERT_FALSE(cases.empty());
    for (const SavedInput& input : cases) {
        SCOPED_TRACE(input.name);
        fuzz::run_chips_input(input.bytes.data(), input.bytes.size());
    }
    // Every chip the fuzzer drives loads as its kind.
    for (const fuzz::FuzzChip& chip : fuzz::kFuzzChips) {
        EXPECT_EQ(fuzz::chip_fuzz_machine(chip)->cart.coprocessor, chip.kind);
    }
}

// The NEC DSP fuzzer's saved inputs (fuzz/necdsp_input.h): firmware images
// of both models, host accesses and damaged state chunks.
TEST(NecDspFuzzCases, EverySavedInputRunsCleanly) {
    const std::vector<SavedInput> cases = saved_fuzz_inputs("coproc/fuzz_cases/necdsp");
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    for (const SavedInput& input : cases) {
        SCOPED_TRACE(input.name);
        fuzz::run_necdsp_input(*m, input.bytes.data(), input.bytes.size());
        // Whatever the input, the core stays inside its model's ranges.
        EXPECT_LE(m->necdsp.pc, necdsp_program_mask(m->necdsp.model));
        EXPECT_LT(m->necdsp.sp, necdsp_stack_depth(m->necdsp.model));
        EXPECT_LE(m->necdsp.dp, necdsp_ram_mask(m->necdsp.model));
    }
}

}  // namespace
}  // namespace vt::test
