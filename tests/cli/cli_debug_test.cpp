// veltrane-cli's debugging options: the CPU trace file, breakpoints and
// interrupt traps that end the run with one trace line, listings, and the
// one-line complaints about bad addresses and counts.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <regex>

#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

std::string smoke_in(const std::string& dir) {
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    return "smoke.sfc";
}

TEST(CliDebug, TraceFileHoldsTheWholeRun) {
    const std::string dir = make_temp_folder("cli_trace");
    const CliRun run = run_cli({smoke_in(dir), "-n", "2", "--trace", "run.log"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    const std::string trace = read_text(dir + "/run.log");
    const std::string first = "CPU Trace Started @ Frame:00000000 HCT:0000 VCT:0000\r\n008000 sei";
    EXPECT_EQ(trace.substr(0, first.size()), first);
    EXPECT_NE(trace.find("\r\n\r\nContinuing @ Frame:00000001 HCT:"), std::string::npos);
    EXPECT_EQ(trace.substr(trace.size() - 22), "CPU Trace Stopped.\r\n\r\n");
    // Every line break is a CR LF.
    for (size_t at = trace.find('\n'); at != std::string::npos; at = trace.find('\n', at + 1)) {
        ASSERT_EQ(trace[at - 1], '\r') << "at byte " << at;
    }
    EXPECT_EQ(run.err.find("not available"), std::string::npos);
}

TEST(CliDebug, BreakStopsWithOneTraceLineAndWritesTheOutputs) {
    const std::string dir = make_temp_folder("cli_break");
    const CliRun run =
        run_cli({smoke_in(dir), "--break", "$00801f,0x7e0000", "--png", "stop.png", "--dump-wram", "w.bin"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("00801f rep     #\\$20 {17}A:[0-9a-f]{4} X:1fff .* E-\n")))
        << run.out;
    EXPECT_TRUE(fs::exists(dir + "/stop.png"));
    // Stopped before the main loop's first INC: the counter is still 0.
    const std::vector<uint8_t> wram = read_file(dir + "/w.bin");
    ASSERT_EQ(wram.size(), 0x20000u);
    EXPECT_EQ(wram[0x12], 0);
    EXPECT_EQ(wram[0x2000], 0xA5);
}

TEST(CliDebug, BreakOnAnInterruptStopsAtItsHandler) {
    const std::string dir = make_temp_folder("cli_break_on");
    const CliRun run = run_cli({smoke_in(dir), "--break-on", "irq,nmi"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("008027 rep     #\\$20 .*S:1ffb .*\n"))) << run.out;
}

TEST(CliDebug, NothingReachedRunsAllFrames) {
    const std::string dir = make_temp_folder("cli_break_none");
    const CliRun run = run_cli({smoke_in(dir), "-n", "3", "--break", "9999"}, dir);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("no breakpoint was reached in 3 frames"), std::string::npos) << run.err;
}

TEST(CliDebug, StateIsNotSavedInsideAFrame) {
    const std::string dir = make_temp_folder("cli_break_state");
    const CliRun run = run_cli({smoke_in(dir), "--break", "801f", "--save-state", "s.sta"}, dir);
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("stopped inside a frame"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(dir + "/s.sta"));
}

TEST(CliDebug, DisassembleFollowsTheFlags) {
    const std::string dir = make_temp_folder("cli_disassemble");
    const CliRun run = run_cli({smoke_in(dir), "--disassemble", "$8000", "7"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out,
              "008000 sei     \n008001 clc     \n008002 xce     \n008003 rep     #$10\n"
              "008005 sep     #$20\n008007 ldx     #$1fff\n00800a txs     \n");
}

TEST(CliDebug, BadAddressesAndCountsGetOneLine) {
    const std::string dir = make_temp_folder("cli_debug_bad");
    const std::vector<std::vector<std::string>> cases = {
        {"--break", "12345678"}, {"--break", "80,"},          {"--break", "$"},
        {"--break-on", "reset"}, {"--disassemble", "8000", "0"}, {"--disassemble", "g000", "4"},
        {"--disassemble", "8000", "many"},
    };
    for (const auto& args : cases) {
        std::vector<std::string> full = {smoke_in(dir)};
        full.insert(full.end(), args.begin(), args.end());
        const CliRun run = run_cli(full, dir);
        EXPECT_EQ(run.status, 1) << args[0] << " " << args[1];
        EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << run.err;
        fs::remove(dir + "/smoke.sfc");
    }
}

}  // namespace
}  // namespace vt::test
