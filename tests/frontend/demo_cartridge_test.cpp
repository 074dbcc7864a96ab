// The built-in demo cartridge as the front ends load it: the image, where
// its battery RAM file lives, and the record it keeps there.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

#include "cart/rom_info.h"
#include "cli/cli_runner.h"
#include "core/driver.h"
#include "frontend/demo_cartridge.h"
#include "state/battery_ram.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

uint16_t le16(const std::vector<uint8_t>& b, size_t at) { return uint16_t(b[at] | (b[at + 1] << 8)); }

// Loads the demo, runs it for a few frames (it counts its start at once)
// and saves its battery RAM as a front end does at the end.
void run_demo_once(const std::string& data_folder, const LoadOptions& options = {}) {
    auto m = make_machine();
    LoadResult r = load_builtin_demo(*m, options, data_folder);
    ASSERT_TRUE(r.loaded()) << r.message;
    run_frames(*m, 10);
    ASSERT_TRUE(battery_save(m->cart, battery_folders(options)).ok);
}

// The record: "VLTR", starts, best time, check word = starts + best + $5A5A.
void write_record(const std::string& path, uint16_t plays, uint16_t best, uint16_t check) {
    std::vector<uint8_t> bytes = {'V', 'L', 'T', 'R', uint8_t(plays), uint8_t(plays >> 8), uint8_t(best),
                                  uint8_t(best >> 8), uint8_t(check), uint8_t(check >> 8)};
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
}

TEST(DemoCartridge, IsALoRomImageWithBatteryRamAndAValidChecksum) {
    const std::string dir = make_temp_folder("demo_image");
    auto m = make_machine();
    LoadResult r = load_builtin_demo(*m, LoadOptions{}, dir);
    ASSERT_TRUE(r.loaded()) << r.message;
    EXPECT_TRUE(r.message.empty());
    EXPECT_EQ(demo_cartridge_size(), 128u * 1024u);
    EXPECT_EQ(m->cart.header_title, "VELTRANE DEMO");
    EXPECT_FALSE(m->cart.hirom);
    EXPECT_FALSE(m->cart.pal);
    EXPECT_TRUE(m->cart.has_battery);
    EXPECT_EQ(m->cart.sram_size, 2048u);
    EXPECT_TRUE(header_checksum_matches(m->cart));
    EXPECT_EQ(m->cart.image_path, dir + "/veltrane-demo.sfc");
    EXPECT_TRUE(m->timing.gamepak_loaded);
}

TEST(DemoCartridge, KeepsItsBatteryRamInTheDataFolderAndCountsStarts) {
    const std::string dir = make_temp_folder("demo_battery") + "/not/yet/there";
    run_demo_once(dir);
    const std::string srm = dir + "/veltrane-demo.srm";
    ASSERT_TRUE(fs::exists(srm));  // the folder was made on demand
    std::vector<uint8_t> record = read_file(srm);
    ASSERT_GE(record.size(), 10u);
    EXPECT_EQ(std::string(record.begin(), record.begin() + 4), "VLTR");
    EXPECT_EQ(le16(record, 4), 1);       // first start
    EXPECT_EQ(le16(record, 6), 0xFFFF);  // no best time yet
    EXPECT_EQ(le16(record, 8), uint16_t(1 + 0xFFFF + 0x5A5A));

    run_demo_once(dir);
    record = read_file(srm);
    EXPECT_EQ(le16(record, 4), 2);
    EXPECT_EQ(le16(record, 8), uint16_t(2 + 0xFFFF + 0x5A5A));
}

TEST(DemoCartridge, ABackupRamFolderSettingHoldsTheFileInstead) {
    const std::string base = make_temp_folder("demo_backup_folder");
    LoadOptions options;
    options.backup_folder = base + "/backup";
    fs::create_directories(options.backup_folder);
    run_demo_once(base + "/data", options);
    EXPECT_TRUE(fs::exists(base + "/backup/veltrane-demo.srm"));
    EXPECT_FALSE(fs::exists(base + "/data/veltrane-demo.srm"));
}

TEST(DemoCartridge, AGoodRecordIsKeptAndADamagedOneStartsAfresh) {
    const std::string dir = make_temp_folder("demo_record");
    const std::string srm = dir + "/veltrane-demo.srm";
    write_record(srm, 7, 1234, uint16_t(7 + 1234 + 0x5A5A));
    run_demo_once(dir);
    std::vector<uint8_t> record = read_file(srm);
    EXPECT_EQ(le16(record, 4), 8);
    EXPECT_EQ(le16(record, 6), 1234);

    write_record(srm, 7, 1234, 0x0BAD);
    run_demo_once(dir);
    record = read_file(srm);
    EXPECT_EQ(le16(record, 4), 1);
    EXPECT_EQ(le16(record, 6), 0xFFFF);
}

TEST(DemoCartridge, OtherFilesAreReadThroughTheGivenReader) {
    std::vector<std::string> asked;
    LoadOptions options;
    options.program_folder = "/program";
    options.read_file = [&asked](const std::string& path, uint64_t, std::vector<uint8_t>&) {
        asked.push_back(path);
        return FileReadStatus::Missing;
    };
    auto m = make_machine();
    ASSERT_TRUE(load_builtin_demo(*m, options, make_temp_folder("demo_reader")).loaded());
    EXPECT_NE(std::find(asked.begin(), asked.end(), "/program/Veltrane.db"), asked.end());
    EXPECT_NE(std::find(asked.begin(), asked.end(), "/program/autoexec.bin"), asked.end());
    for (const std::string& path : asked) EXPECT_EQ(path.find("veltrane-demo"), std::string::npos) << path;
}

// Sets or clears an environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value) setenv(name, value, 1);
        else unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (old_) setenv(name_, old_->c_str(), 1);
        else unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(DemoDataFolder, FollowsXdgDataHomeThenTheHomeFolder) {
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/data/user");
        ScopedEnvironment home("HOME", "/home/someone");
        EXPECT_EQ(default_demo_data_folder(), "/data/user/veltrane");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "relative/path");  // not absolute: ignored
        ScopedEnvironment home("HOME", "/home/someone");
        EXPECT_EQ(default_demo_data_folder(), "/home/someone/.local/share/veltrane");
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
        ScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(default_demo_data_folder(), "");
    }
}

TEST(DemoCli, RunsTheDemoWithoutAnImageAndKeepsItsRecordUnderXdgDataHome) {
    const std::string dir = make_temp_folder("demo_cli");
    CliRun run = run_cli({"-n", "20", "--dump-sram", "sram.bin"}, dir);  // XDG_DATA_HOME = dir/data
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("built-in demo"), std::string::npos) << run.err;
    const std::vector<uint8_t> sram = read_file(dir + "/sram.bin");
    ASSERT_EQ(sram.size(), 2048u);
    EXPECT_EQ(std::string(sram.begin(), sram.begin() + 4), "VLTR");
    EXPECT_TRUE(fs::exists(dir + "/data/veltrane/veltrane-demo.srm"));

    CliRun info = run_cli({"--info"}, dir);
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("Title:    VELTRANE DEMO"), std::string::npos) << info.out;
    EXPECT_NE(info.out.find("Checksum: OK"), std::string::npos) << info.out;
}

}  // namespace
}  // namespace vt::test
