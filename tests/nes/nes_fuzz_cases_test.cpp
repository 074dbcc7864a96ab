// Replays the NES fuzzer's saved inputs (fuzz/nes_input.h explains their
// layout): every image loads or is refused cleanly, every state loads or is
// refused, and the machine keeps running.
#include <gtest/gtest.h>

#include "../../fuzz/nes_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(NesFuzzCases, EverySavedInputLoadsOrIsRefusedCleanly) {
    const std::vector<SavedInput> cases = saved_fuzz_inputs("nes/fuzz_cases");
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    for (const SavedInput& input : cases) {
        SCOPED_TRACE(input.name);
        fuzz::run_nes_input(*m, input.bytes.data(), input.bytes.size());
    }
}

}  // namespace
}  // namespace vt::test
