// The runner refuses joypad scripts that are not script files, at once and
// with the file's name: /dev/zero used to be read until memory ran out, and a
// folder was taken for an empty script.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

TEST(CliInputScript, NonScriptFilesExitOneNamingTheFile) {
    std::string dir = make_temp_folder("cli_input_script");
    std::filesystem::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    std::filesystem::create_directory(dir + "/scripts");
    const struct {
        const char* script;
        const char* reason;
    } cases[] = {
        {"/dev/zero", "/dev/zero: not a regular file"},
        {"scripts", "scripts: it is a folder, not a file"},
        {"missing.txt", "missing.txt: no such file"},
    };
    for (const auto& c : cases) {
        CliRun run = run_cli({"smoke.sfc", "-n", "1", "--input", c.script}, dir);
        EXPECT_EQ(run.status, 1) << c.script;
        EXPECT_NE(run.err.find(c.reason), std::string::npos) << run.err;
    }
}

}  // namespace
}  // namespace vt::test
