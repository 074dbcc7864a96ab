// Replays the loader fuzzer's saved inputs (fuzz/loader_input.h explains
// their layout): each once made the loader fail, or covers a path worth
// keeping. Every input must load or be refused cleanly, with the machine
// still running afterwards.
#include <gtest/gtest.h>

#include "../../fuzz/loader_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(LoaderFuzzCases, EverySavedInputLoadsOrIsRefusedCleanly) {
    const std::vector<SavedInput> cases = saved_fuzz_inputs("cart/fuzz_cases");
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    for (const SavedInput& input : cases) {
        SCOPED_TRACE(input.name);
        fuzz::run_input(*m, input.bytes.data(), input.bytes.size());
    }
}

}  // namespace
}  // namespace vt::test
