// veltrane-cli's outputs: written whole, checked before the run, failures
// named with their reason; SIGTERM and SIGINT end a run with everything
// asked for on disk; states and images told apart by content.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <thread>

#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

bool wait_for(const std::function<bool()>& ready) {
    for (int i = 0; i < 600; i++) {
        if (ready()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
}

// Files the run left in its folder other than its output captures.
std::vector<std::string> hidden_leftovers(const std::string& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        if (name[0] == '.' && name != ".stdout" && name != ".stderr") names.push_back(name);
    }
    return names;
}

TEST(CliStop, TermAndIntEndTheRunWithEverythingWritten) {
    for (int signal : {SIGTERM, SIGINT}) {
        std::string dir = make_temp_folder("cli_stop");
        fs::copy_file(test_rom_path("cart_sram"), dir + "/Game.sfc");
        const int pid = start_cli({"Game.sfc", "-n", "100000000", "--png", "shot.png", "--dump-wram", "w.bin", "--wav",
                                   "run.wav", "--log", "run.log", "--save-state", "end.S00"},
                                  dir);
        // Running: the boot count reached the battery RAM file.
        ASSERT_TRUE(wait_for([&] { return process_catches(pid, SIGTERM) && fs::exists(dir + "/Game.srm"); }));
        ::kill(pid, signal);
        CliRun run = finish_cli(pid, dir);
        EXPECT_EQ(run.status, 128 + signal) << run.err;

        EXPECT_EQ(read_file(dir + "/shot.png").at(1), 'P');
        const std::vector<uint8_t> wram = read_file(dir + "/w.bin");
        ASSERT_EQ(wram.size(), 131072u);
        EXPECT_EQ(wram[0x100], 1);  // the boot count
        EXPECT_EQ(read_file(dir + "/Game.srm").at(0), 1);
        const std::vector<uint8_t> wav = read_file(dir + "/run.wav");
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(wav[40] | wav[41] << 8 | wav[42] << 16 | uint32_t(wav[43]) << 24, wav.size() - 44);
        EXPECT_EQ(read_text(dir + "/run.log").rfind("\"Game.sfc\" loaded.\r\n", 0), 0u);
        EXPECT_EQ(read_text(dir + "/end.S00").substr(0, 4), "BPS2");
        EXPECT_TRUE(hidden_leftovers(dir).empty());
    }
}

TEST(CliOutputs, AnOutputThatCannotBeWrittenIsNamedWithItsReasonBeforeTheRun) {
    std::string dir = make_temp_folder("cli_unwritable");
    fs::copy_file(test_rom_path("cart_sram"), dir + "/Game.sfc");
    write_text(dir + "/file.txt", "a file, not a folder");
    for (const char* option : {"--png", "--wav", "--save-state", "--log", "--trace", "--dump-wram", "--dump-sram",
                               "--dump-vram", "--dump-cgram", "--dump-oam", "--dump-aram"}) {
        for (const auto& [path, reason] : {std::pair<std::string, std::string>{"missing/out", "No such file or directory"},
                                           {"file.txt/out", "Not a directory"}}) {
            CliRun run = run_cli({"Game.sfc", "-n", "1", option, path}, dir);
            EXPECT_EQ(run.status, 1) << option << " " << path;
            EXPECT_NE(run.err.find(path + ": " + reason), std::string::npos) << option << ": " << run.err;
        }
    }
    // Refused before anything ran: the cartridge never counted a boot.
    EXPECT_FALSE(fs::exists(dir + "/Game.srm"));
    EXPECT_TRUE(hidden_leftovers(dir).empty());
}

TEST(CliOutputs, OutputsReplaceOldFilesWhole) {
    std::string dir = make_temp_folder("cli_replace");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    for (const char* name : {"w.bin", "shot.png", "run.log"}) write_text(dir + "/" + name, "old contents");
    struct stat before {};
    ASSERT_EQ(::stat((dir + "/w.bin").c_str(), &before), 0);

    CliRun run = run_cli({"smoke.sfc", "-n", "2", "--dump-wram", "w.bin", "--png", "shot.png", "--log", "run.log"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    struct stat after {};
    ASSERT_EQ(::stat((dir + "/w.bin").c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino);  // a new file renamed into place, not rewritten in place
    EXPECT_EQ(fs::file_size(dir + "/w.bin"), 131072u);
    EXPECT_EQ(read_file(dir + "/shot.png").at(1), 'P');
    EXPECT_EQ(read_text(dir + "/run.log").rfind("\"smoke.sfc\" loaded.", 0), 0u);
    EXPECT_TRUE(hidden_leftovers(dir).empty());
}

TEST(CliOutputs, StatesAndImagesAreToldApartByContent) {
    std::string dir = make_temp_folder("cli_kinds");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    ASSERT_EQ(run_cli({"smoke.sfc", "-n", "3", "--save-state", "state.sfc"}, dir).status, 0);

    // A state given as the image: not loadable as one, and said so.
    CliRun as_image = run_cli({"state.sfc", "-n", "1"}, dir);
    EXPECT_EQ(as_image.status, 2);
    EXPECT_NE(as_image.err.find("state.sfc: it is a save state"), std::string::npos) << as_image.err;

    // An image given as a state.
    CliRun as_state = run_cli({"smoke.sfc", "-n", "1", "--load-state", "smoke.sfc"}, dir);
    EXPECT_EQ(as_state.status, 1);
    EXPECT_NE(as_state.err.find("smoke.sfc"), std::string::npos) << as_state.err;
    EXPECT_NE(as_state.err.find("not a save state"), std::string::npos) << as_state.err;

    // A state file whatever its name, by content.
    CliRun by_content = run_cli({"smoke.sfc", "-n", "1", "--load-state", "state.sfc", "--dump-wram", "w.bin"}, dir);
    EXPECT_EQ(by_content.status, 0) << by_content.err;

    CliRun missing = run_cli({"smoke.sfc", "-n", "1", "--load-state", "gone.S00"}, dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("gone.S00: No such file or directory"), std::string::npos) << missing.err;
}

}  // namespace
}  // namespace vt::test
