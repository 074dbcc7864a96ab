// veltrane-cli end to end: the interface other tools rely on.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "cli/cli_runner.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> headered(const std::vector<uint8_t>& image) {
    std::vector<uint8_t> out(512 + image.size(), 0);
    out[8] = 0xAA;
    out[9] = 0xBB;
    out[10] = 4;
    std::copy(image.begin(), image.end(), out.begin() + 512);
    return out;
}

void write_bytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    write_text(path, std::string(bytes.begin(), bytes.end()));
}

uint16_t word(const std::vector<uint8_t>& d, size_t at) { return uint16_t(d[at] | (d[at + 1] << 8)); }

TEST(CliInfo, HeaderedLoRomImagePrintsTheRomInformationBlock) {
    std::string dir = make_temp_folder("cli_info");
    write_bytes(dir + "/smoke.smc", headered(read_file(test_rom_path("smoke"))));
    CliRun run = run_cli({"smoke.smc", "--info"}, dir);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.substr(0, run.out.find("CRC32:")),
              "---------------- ROM Information ----------------\n"
              "Title:    VELTRANE SMOKE TEST\n"
              "Type:     LOROM\n"
              "Size:     256KBIT ROM\n"
              "Country:  USA (NTSC)\n"
              "License:  Not Licensed\n"
              "Version:  1.0\n"
              "Checksum: OK\n");
    EXPECT_TRUE(std::regex_search(run.out, std::regex("CRC32:    [0-9A-F]{8}\n\n$")));
    EXPECT_TRUE(fs::is_empty(dir) || !fs::exists(dir + "/trace.log"));  // the working folder is left alone
}

TEST(CliInfo, LogFileGetsTheLoadedLineAndTheBlockWithCrLf) {
    std::string dir = make_temp_folder("cli_log");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    CliRun run = run_cli({"smoke.sfc", "-n", "1", "--log", "my.log"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    std::string log = read_text(dir + "/my.log");
    EXPECT_EQ(log.rfind("\"smoke.sfc\" loaded.\r\n---------------- ROM Information ----------------\r\nTitle:    "
                        "VELTRANE SMOKE TEST\r\nType:     LOROM\r\n",
                        0),
              0u);
    EXPECT_EQ(log.substr(log.size() - 4), "\r\n\r\n");
    EXPECT_EQ(log.find('\n', 0), log.find("\r\n", 0) + 1);
}

TEST(CliBadImages, ExitTwoWithTheLoadersMessage) {
    std::string dir = make_temp_folder("cli_bad");
    write_text(dir + "/empty.sfc", "");
    write_bytes(dir + "/short.sfc", std::vector<uint8_t>(1000, 0x3C));
    std::vector<uint8_t> noise(64 * 1024);
    uint32_t x = 12345;
    for (uint8_t& b : noise) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    write_bytes(dir + "/random.sfc", noise);
    auto bad_ffe = headered(read_file(test_rom_path("smoke")));
    bad_ffe[10] = 9;
    write_bytes(dir + "/bad.smc", bad_ffe);
    fs::create_directory(dir + "/folder.sfc");
    fs::resize_file(dir + "/empty.sfc", 0);
    write_text(dir + "/big.sfc", "");
    fs::resize_file(dir + "/big.sfc", 13 * 1024 * 1024);

    struct Case {
        const char* file;
        const char* message;
    };
    for (Case c : {Case{"missing.sfc", "The specified file could not be loaded.\nMake sure the path and filename are correct."},
                   Case{"folder.sfc", "The specified file could not be loaded."},
                   Case{"empty.sfc", "too small to be a Gamepak"},
                   Case{"short.sfc", "too small to be a Gamepak"},
                   Case{"random.sfc", "Not a valid Gamepak"},
                   Case{"bad.smc", "Not a valid Gamepak"},
                   Case{"big.sfc", "larger than 12 MB"}}) {
        CliRun run = run_cli({c.file, "-n", "5"}, dir);
        EXPECT_EQ(run.status, 2) << c.file;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << c.file << ": " << run.err;
    }
    CliRun info = run_cli({"missing.sfc", "--info"}, dir);
    EXPECT_EQ(info.status, 2);
    EXPECT_TRUE(info.out.empty());
}

TEST(CliUsage, BadUsageExitsOne) {
    std::string dir = make_temp_folder("cli_usage");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    write_text(dir + "/bad_script.txt", "0 1 Start\n3 1 Jump\n");
    const std::vector<std::vector<std::string>> cases = {
        {"smoke.sfc", "--bogus"},
        {"smoke.sfc", "-n"},
        {"smoke.sfc", "-n", "ten"},
        {"smoke.sfc", "-n", "-3"},
        {"smoke.sfc", "--frame-skip", "5"},
        {"smoke.sfc", "--png", "x.png", "--png-format", "4"},
        {"smoke.sfc", "--region", "secam"},
        {"smoke.sfc", "--fill", "256"},
        {"smoke.sfc", "--fill", "$1G"},
        {"smoke.sfc", "smoke.sfc"},
        {"smoke.sfc", "--input", "no_such_script.txt"},
        {"smoke.sfc", "--input", "bad_script.txt"},
        {"smoke.sfc", "--info=yes"},
    };
    for (const auto& args : cases) {
        CliRun run = run_cli(args, dir);
        EXPECT_EQ(run.status, 1) << args.back();
        EXPECT_FALSE(run.err.empty());
    }
    CliRun script = run_cli({"smoke.sfc", "--input", "bad_script.txt"}, dir);
    EXPECT_NE(script.err.find("line 2"), std::string::npos) << script.err;

    CliRun bad_with_demo = run_cli({"-n", "x"}, dir);
    EXPECT_EQ(bad_with_demo.status, 1);
    EXPECT_EQ(run_cli({"--help"}, dir).status, 0);
}

TEST(CliRun, BenchLineAndWorkRamDumpWithFill) {
    std::string dir = make_temp_folder("cli_bench");
    fs::copy_file(test_rom_path("smoke"), dir + "/smoke.sfc");
    CliRun run = run_cli({"smoke.sfc", "-n", "30", "--bench", "--frame-skip", "2"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("frames=30 seconds=[0-9.]+ fps=[0-9.]+ cpu_ips=[0-9]+\n")))
        << run.out;

    CliRun zero = run_cli({"smoke.sfc", "-n", "0", "--fill", "$AA", "--dump-wram", "wram.bin"}, dir);
    ASSERT_EQ(zero.status, 0) << zero.err;
    auto wram = read_file(dir + "/wram.bin");
    ASSERT_EQ(wram.size(), 131072u);
    EXPECT_EQ(wram[0], 0xAA);
    EXPECT_EQ(wram[131071], 0xAA);

    CliRun ran = run_cli({"smoke.sfc", "-n", "10", "--fill=0x11", "--dump-wram", "wram.bin"}, dir);
    ASSERT_EQ(ran.status, 0);
    wram = read_file(dir + "/wram.bin");
    EXPECT_EQ(wram[0x2000], 0xA5);     // the smoke cartridge's start marker
    EXPECT_EQ(word(wram, 0x10), 10);  // one NMI per frame
    EXPECT_EQ(wram[0x5000], 0x11);

    CliRun unwritable = run_cli({"smoke.sfc", "-n", "1", "--dump-wram", "no/such/folder/w.bin"}, dir);
    EXPECT_EQ(unwritable.status, 1);
}

TEST(CliSystemRegisters, TestCartridgeDrivenByAJoypadScript) {
    std::string dir = make_temp_folder("cli_sysregs");
    fs::copy_file(test_rom_path("sysregs_joypad"), dir + "/sysregs.sfc");
    write_text(dir + "/pad.txt",
               "# frame port buttons\n"
               "0 1 Start\n"
               "2 1 A B\n"
               "2 2 Up L\n"
               "4 1\n"
               "5 2 Right R X   # port 2 changes again\n");
    CliRun run = run_cli({"sysregs.sfc", "-n", "8", "--input", "pad.txt", "--dump-wram", "wram.bin"}, dir);
    ASSERT_EQ(run.status, 0) << run.err;
    auto w = read_file(dir + "/wram.bin");
    ASSERT_EQ(w.size(), 131072u);

    EXPECT_EQ(word(w, 0x100), 0xFE01);  // $FF x $FF
    EXPECT_EQ(word(w, 0x102), 0xFFFF);  // divided by zero
    EXPECT_EQ(word(w, 0x104), 0x1234);
    EXPECT_EQ(word(w, 0x106), 7142);    // 50000 / 7
    EXPECT_EQ(word(w, 0x108), 6);
    EXPECT_EQ(word(w, 0x110), 8);       // one NMI per frame
    EXPECT_EQ(word(w, 0x112), 8);       // one timer IRQ per frame, each acknowledged

    // JOY1 and JOY2 per frame: byte 3 of a record (B Y Select Start Up Down
    // Left Right) is the high byte, byte 2 (A X L R) the low byte.
    const uint16_t joy1[8] = {0x1000, 0x1000, 0x8080, 0x8080, 0x0000, 0x0000, 0x0000, 0x0000};
    const uint16_t joy2[8] = {0x0000, 0x0000, 0x0820, 0x0820, 0x0820, 0x0150, 0x0150, 0x0150};
    for (int f = 0; f < 8; f++) {
        EXPECT_EQ(word(w, 0x200 + 4 * f), joy1[f]) << "frame " << f;
        EXPECT_EQ(word(w, 0x202 + 4 * f), joy2[f]) << "frame " << f;
        EXPECT_EQ(word(w, 0x400 + 4 * f), joy1[f]) << "serial, frame " << f;
        EXPECT_EQ(word(w, 0x402 + 4 * f), 1) << "17th serial bit, frame " << f;
    }
}

TEST(CliBattery, BatteryRamSurvivesBetweenRuns) {
    std::string dir = make_temp_folder("cli_battery");
    fs::copy_file(test_rom_path("cart_sram"), dir + "/save.sfc");
    CliRun first = run_cli({"save.sfc", "-n", "2", "--dump-sram", "sram.bin"}, dir);
    ASSERT_EQ(first.status, 0) << first.err;
    auto sram = read_file(dir + "/sram.bin");
    ASSERT_EQ(sram.size(), 8192u);
    EXPECT_EQ(sram[0], 1);
    // The ".srm" holds the whole battery RAM, as other tools expect.
    EXPECT_EQ(fs::file_size(dir + "/save.srm"), 8192u);

    CliRun second = run_cli({"save.sfc", "-n", "2", "--dump-wram", "wram.bin"}, dir);
    ASSERT_EQ(second.status, 0);
    EXPECT_EQ(read_file(dir + "/wram.bin")[0x100], 2);
    EXPECT_EQ(read_file(dir + "/save.srm")[0], 2);

    CliRun third = run_cli({"save.sfc", "-n", "2", "--no-battery-save"}, dir);
    ASSERT_EQ(third.status, 0);
    EXPECT_EQ(read_file(dir + "/save.srm")[0], 2);
}

}  // namespace
}  // namespace vt::test
