// Replays the NES fuzzer's saved inputs (fuzz/nes_input.h explains their
// layout): every image loads or is refused cleanly, every state loads or is
// refused, and the machine keeps running.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "../../fuzz/nes_input.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

TEST(NesFuzzCases, EverySavedInputLoadsOrIsRefusedCleanly) {
    fs::path folder = fs::path(VELTRANE_TEST_SOURCE_DIR) / "nes" / "fuzz_cases";
    std::vector<fs::path> cases;
    for (const auto& entry : fs::directory_iterator(folder)) cases.push_back(entry.path());
    std::sort(cases.begin(), cases.end());
    ASSERT_FALSE(cases.empty());
    auto m = make_machine();
    for (const fs::path& p : cases) {
        SCOPED_TRACE(p.filename().string());
        std::vector<uint8_t> input = read_file(p.string());
        fuzz::run_nes_input(*m, input.data(), input.size());
    }
}

}  // namespace
}  // namespace vt::test
