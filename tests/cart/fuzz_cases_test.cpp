// Replays the loader fuzzer's saved inputs (fuzz/loader_input.h explains
// their layout): each once made the loader fail, or covers a path worth
// keeping. Every input must load or be refused cleanly, with the machine
// still running afterwards.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../../fuzz/loader_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

TEST(LoaderFuzzCases, EverySavedInputLoadsOrIsRefusedCleanly) {
    fs::path folder = fs::path(VELTRANE_TEST_SOURCE_DIR) / "cart" / "fuzz_cases";
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(folder)) cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    for (const fs::path& p : cases) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> input = read_file(p.string());
        fuzz::run_input(*m, input.data(), input.size());
    }
}

}  // namespace
}  // namespace vt::test
