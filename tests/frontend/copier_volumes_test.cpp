// Copier disk volumes: names, splitting by size or by the room on a
// simulated floppy, headers, the battery RAM file, failures and
// cancellation; and volumes that the cartridge loader reads back into the
// same ROM the console saw.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

#include "cart/bus.h"
#include "cart/loader_support.h"
#include "cli/cli_runner.h"
#include "frontend/copier_job.h"
#include "frontend/copier_volumes.h"
#include "frontend/copier_worker.h"
#include "support/file_size_limit.h"
#include "support/test_rom.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> file_bytes(const std::string& path) { return test::read_file(path); }

DiskSpace plenty(const std::string&) { return {true, 1ull << 32, 1ull << 32, {}}; }

// A floppy: the folder's files count against its capacity; changing disks
// moves them into "disk1", "disk2", ...
struct Floppy {
    std::string folder;
    uint64_t capacity = 0;
    int swaps = 0;

    DiskSpace space() const {
        uint64_t used = 0;
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file()) used += e.file_size();
        return {true, capacity > used ? capacity - used : 0, capacity, {}};
    }
    void change_disk() {
        const fs::path disk = fs::path(folder) / ("disk" + std::to_string(++swaps));
        fs::create_directory(disk);
        for (const auto& e : fs::directory_iterator(folder))
            if (e.is_regular_file()) fs::rename(e.path(), disk / e.path().filename());
    }
};

// A job of `blocks` distinct blocks with a LoROM header and 8 KiB of battery RAM.
CopierJob wildcard_job(uint32_t blocks) {
    CopierCartridge c;
    c.map_mode = 0x20;
    c.last_bank = (blocks + 3) / 4 - 1;
    c.has_battery = true;
    c.ram_size_code = 3;
    CopierJob job;
    job.block_count = blocks;
    job.header = build_copier_header(c, CopierDevice::SuperWildcard, false);
    job.rom.resize(size_t(blocks) * kCopierBlockSize);
    for (size_t i = 0; i < job.rom.size(); i++) job.rom[i] = uint8_t(i * 13 + (i >> 13));
    job.send_battery = true;
    for (size_t i = 0; i < job.battery.size(); i++) job.battery[i] = uint8_t(i >> 4);
    return job;
}

std::vector<uint8_t> blocks_of(const CopierJob& job, uint32_t first, uint32_t count) {
    return std::vector<uint8_t>(job.block(first), job.block(first) + size_t(count) * kCopierBlockSize);
}

TEST(CopierVolumes, Names) {
    EXPECT_EQ(copier_volume_name(CopierDevice::SuperWildcard, "GAME", 0), "GAME.SWC");
    EXPECT_EQ(copier_volume_name(CopierDevice::SuperWildcard, "GAME", 2), "GAME.2");
    EXPECT_EQ(copier_volume_name(CopierDevice::GameDoctor, "SF24123", 0), "SF24123");
    EXPECT_EQ(copier_volume_name(CopierDevice::GameDoctor, "SF24123", 1), "SF24123A");
    EXPECT_EQ(copier_volume_name(CopierDevice::GameDoctor, "SF8123", 3), "SF8123XC");
    EXPECT_EQ(copier_battery_name(CopierDevice::SuperWildcard, "GAME"), "GAME.BBD");
    EXPECT_EQ(copier_battery_name(CopierDevice::GameDoctor, "SF8123"), "SF8123.B01");
    for (char c : std::string(" \"*.<>?|")) EXPECT_FALSE(disk_name_char_allowed(c)) << c;
    for (char c : std::string("A9_-/")) EXPECT_TRUE(disk_name_char_allowed(c)) << c;
    const DiskName n = split_disk_name("/media/floppy/SUPERGAMES");
    EXPECT_EQ(n.folder, "/media/floppy/");
    EXPECT_EQ(n.base, "SUPERGAM");
    EXPECT_EQ(split_disk_name("GAME").folder, "");
    EXPECT_EQ(wildcard_disk_name("/roms/Super Game (E).sfc"), "SuperGam");
    EXPECT_EQ(std::string(split_size_caption(3)), "3.5\" Floppy - 1440K (HD)");
}

TEST(CopierVolumes, WildcardVolumesFillEachFloppyAndAskForTheNext) {
    const std::string folder = test::make_temp_folder("copier_floppy");
    Floppy floppy{folder, 16 * kCopierBlockSize + 512 + 1000};
    const CopierJob job = wildcard_job(40);
    DiskWriterHooks hooks;
    hooks.space = [&](const std::string&) { return floppy.space(); };
    std::vector<uint32_t> progress;
    hooks.progress = [&](uint32_t n) { progress.push_back(n); };
    hooks.next_volume = [&](uint32_t&) {
        floppy.change_disk();
        return true;
    };
    const DiskWriteResult r = write_copier_volumes(job, {folder, "GAME", 0}, hooks);
    ASSERT_EQ(r.code, CopierEventCode::Finished) << r.error;
    EXPECT_EQ(r.files, (std::vector<std::string>{folder + "/GAME.1", folder + "/GAME.2", folder + "/GAME.3",
                                                 folder + "/GAME.BBD"}));
    EXPECT_EQ(floppy.swaps, 2);
    EXPECT_EQ(progress.size(), 40u);
    EXPECT_EQ(progress.back(), 40u);

    struct Volume {
        std::string path;
        uint32_t first, count;
        uint8_t mode;
    };
    const Volume volumes[] = {{folder + "/disk1/GAME.1", 0, 16, 0x44},
                              {folder + "/disk2/GAME.2", 16, 16, 0x44},
                              {folder + "/GAME.3", 32, 8, 0x04}};
    for (const Volume& v : volumes) {
        SCOPED_TRACE(v.path);
        const std::vector<uint8_t> bytes = file_bytes(v.path);
        ASSERT_EQ(bytes.size(), 512 + size_t(v.count) * kCopierBlockSize);
        EXPECT_EQ(bytes[0] | (bytes[1] << 8), int(v.count));
        EXPECT_EQ(bytes[2], v.mode);
        EXPECT_EQ(bytes[8], 0xAA);
        EXPECT_EQ(bytes[9], 0xBB);
        EXPECT_EQ(bytes[10], 0x04);
        EXPECT_TRUE(std::vector<uint8_t>(bytes.begin() + 512, bytes.end()) == blocks_of(job, v.first, v.count));
    }
    const std::vector<uint8_t> battery = file_bytes(folder + "/GAME.BBD");
    ASSERT_EQ(battery.size(), 512u + 32768u);
    EXPECT_EQ(battery[2], 0);
    EXPECT_EQ(battery[8], 0xAA);
    EXPECT_EQ(battery[10], 0x05);
    EXPECT_TRUE(std::equal(job.battery.begin(), job.battery.end(), battery.begin() + 512));
    fs::remove_all(folder);
}

TEST(CopierVolumes, FixedSplitAndAskingAgainWhenTheDiskIsFull) {
    const std::string folder = test::make_temp_folder("copier_split");
    // Room for 20 blocks: every 16-block volume needs a fresh disk.
    Floppy floppy{folder, 20 * kCopierBlockSize};
    CopierJob job = wildcard_job(36);
    job.send_battery = false;
    DiskWriterHooks hooks;
    hooks.space = [&](const std::string&) { return floppy.space(); };
    std::vector<uint32_t> asked_with;
    hooks.next_volume = [&](uint32_t& split) {
        asked_with.push_back(split);
        floppy.change_disk();
        return true;
    };
    const DiskWriteResult r = write_copier_volumes(job, {folder, "SPLIT", 16}, hooks);
    ASSERT_EQ(r.code, CopierEventCode::Finished) << r.error;
    EXPECT_EQ(asked_with, (std::vector<uint32_t>{16, 16}));
    EXPECT_EQ(file_bytes(folder + "/disk1/SPLIT.1").size(), 512 + 16 * kCopierBlockSize);
    EXPECT_EQ(file_bytes(folder + "/disk2/SPLIT.2").size(), 512 + 16 * kCopierBlockSize);
    EXPECT_EQ(file_bytes(folder + "/SPLIT.3").size(), 512 + 4 * kCopierBlockSize);
    EXPECT_EQ(file_bytes(folder + "/SPLIT.3")[2], 0x04);  // the last one says no more follow

    // Refusing the next disk cancels.
    const std::string other = test::make_temp_folder("copier_refuse");
    Floppy small{other, 20 * kCopierBlockSize};
    hooks.space = [&](const std::string&) { return small.space(); };
    hooks.next_volume = [](uint32_t&) { return false; };
    EXPECT_EQ(write_copier_volumes(job, {other, "SPLIT", 16}, hooks).code, CopierEventCode::Cancelled);
    EXPECT_TRUE(fs::exists(other + "/SPLIT.1"));
    EXPECT_FALSE(fs::exists(other + "/SPLIT.2"));
    fs::remove_all(folder);
    fs::remove_all(other);
}

// Nothing but finished volumes in the folder.
std::vector<std::string> folder_files(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(CopierVolumes, FailedOrCancelledVolumesLeaveNothingBehind) {
    const std::string folder = test::make_temp_folder("copier_fail");
    const CopierJob job = wildcard_job(40);
    DiskWriterHooks hooks;
    hooks.space = plenty;
    {
        test::ScopedFileSizeLimit full_disk(100000);
        const DiskWriteResult r = write_copier_volumes(job, {folder, "FULL", 0}, hooks);
        EXPECT_EQ(r.code, CopierEventCode::FileCreationFailed);
        EXPECT_NE(r.error.find(folder + "/FULL.SWC"), std::string::npos) << r.error;
    }
    EXPECT_TRUE(folder_files(folder).empty());

    std::atomic<bool> cancel{false};
    hooks.cancel = &cancel;
    std::vector<uint32_t> progress;
    hooks.progress = [&](uint32_t n) {
        progress.push_back(n);
        if (n == 3) cancel = true;
    };
    EXPECT_EQ(write_copier_volumes(job, {folder, "STOP", 0}, hooks).code, CopierEventCode::Cancelled);
    EXPECT_EQ(progress.size(), 3u);
    EXPECT_TRUE(folder_files(folder).empty());
    fs::remove_all(folder);

    hooks = {};
    const DiskWriteResult missing = write_copier_volumes(job, {folder + "/gone", "GAME", 0}, hooks);
    EXPECT_EQ(missing.code, CopierEventCode::FileCreationFailed);
    EXPECT_NE(missing.error.find("gone"), std::string::npos);
}

// --- read back by the cartridge loader ----------------------------------------

struct Image {
    std::vector<uint8_t> bytes;
    bool hirom;
};

Image synthetic(size_t size, bool hirom, uint8_t cart_type, uint8_t sram_code) {
    Image im{test::pattern_image(size), hirom};
    test::HeaderFields f;
    f.map_mode = hirom ? 0x21 : 0x20;
    f.rom_size = 0x0C;
    f.cart_type = cart_type;
    f.sram_size = sram_code;
    const size_t header = hirom ? 0xFFC0 : 0x7FC0;
    test::write_header(im.bytes, header, f);
    test::fix_checksum(im.bytes, header);
    return im;
}

// Every ROM byte of the image's banks reads the same on both machines.
void expect_same_rom(const Machine& original, const Machine& copy, const Image& im) {
    const uint32_t banks = uint32_t(im.bytes.size() / (im.hirom ? 0x10000 : 0x8000));
    for (uint32_t i = 0; i < banks; i++) {
        const uint8_t bank = uint8_t(im.hirom ? 0xC0 + i : 0x80 + i);
        for (uint32_t a = im.hirom ? 0 : 0x8000; a < 0x10000; a++) {
            if (bus_peek(original, bank, uint16_t(a)) != bus_peek(copy, bank, uint16_t(a))) {
                ADD_FAILURE() << "bank " << std::hex << int(bank) << " address " << a;
                return;
            }
        }
    }
}

std::unique_ptr<Machine> load_file(const std::string& path) {
    auto m = make_machine();
    LoadOptions o;
    o.backup_folder = fs::path(path).parent_path().string();
    const LoadResult r = load_gamepak(*m, path, o);
    EXPECT_EQ(r.status, LoadStatus::Loaded) << r.message;
    EXPECT_FALSE(r.incomplete) << r.message;
    return m;
}

struct RoundTrip {
    const char* name;
    CopierDevice device;
    size_t size;
    bool hirom;
    uint32_t split;
    std::vector<std::string> files;
};

TEST(CopierVolumes, LoaderReadsTheVolumesBackAsTheSameCartridge) {
    const RoundTrip cases[] = {
        {"wildcard 1 MiB LoROM in 720K volumes", CopierDevice::SuperWildcard, 0x100000, false, 88,
         {"GAME.1", "GAME.2", "GAME.BBD"}},
        {"wildcard 2 MiB HiROM", CopierDevice::SuperWildcard, 0x200000, true, 0, {"GAME.SWC", "GAME.BBD"}},
        {"doctor 24 Mbit HiROM", CopierDevice::GameDoctor, 0x300000, true, 0,
         {"SF24001A", "SF24001B", "SF24001C", "SF24001.B01"}},
        {"doctor 20 Mbit HiROM (forced split)", CopierDevice::GameDoctor, 0x280000, true, 0,
         {"SF20001A", "SF20001B", "SF20001C", "SF20001D", "SF20001.B01"}},
        {"doctor 12 Mbit LoROM", CopierDevice::GameDoctor, 0x180000, false, 0,
         {"SF12001A", "SF12001B", "SF12001.B01"}},
        {"doctor 8 Mbit HiROM", CopierDevice::GameDoctor, 0x100000, true, 0, {"SF8001", "SF8001.B01"}},
    };
    for (const RoundTrip& t : cases) {
        SCOPED_TRACE(t.name);
        const Image im = synthetic(t.size, t.hirom, 0x02, 0x03);
        test::Loaded original = test::load_image(im.bytes);
        ASSERT_EQ(original.result.status, LoadStatus::Loaded);
        ASSERT_EQ(original.cart().hirom, t.hirom);
        const CopierPlan plan = plan_copier_transfer(copier_cartridge(original.cart()), t.device);
        ASSERT_TRUE(plan.supported) << plan.status;
        const CopierJob job = prepare_copier_job(original.m(), plan, t.device, true);

        const std::string folder = test::make_temp_folder("copier_round_trip");
        const std::string base =
            t.device == CopierDevice::GameDoctor ? game_doctor_base_name(job.block_count, 1) : "GAME";
        DiskWriterHooks hooks;
        hooks.space = plenty;
        const DiskWriteResult r = write_copier_volumes(job, {folder, base, t.split}, hooks);
        ASSERT_EQ(r.code, CopierEventCode::Finished) << r.error;
        std::vector<std::string> expected;
        for (const std::string& f : t.files) expected.push_back(folder + "/" + f);
        EXPECT_EQ(r.files, expected);

        const std::unique_ptr<Machine> copy = load_file(r.files.front());
        EXPECT_EQ(copy->cart.gd3, t.device == CopierDevice::GameDoctor);
        expect_same_rom(original.m(), *copy, im);
        fs::remove_all(folder);
    }
}

TEST(CopierWorker, DiskWorkerWaitsForTheNextDiskAndCanBeCancelledThere) {
    const std::string folder = test::make_temp_folder("copier_worker");
    Floppy floppy{folder, 10 * kCopierBlockSize};
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<CopierEvent> events;
    auto wait_for = [&](CopierEventCode code, size_t nth) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(60), [&] {
            size_t seen = 0;
            for (const CopierEvent& e : events) seen += e.code == code;
            return seen >= nth;
        });
    };
    CopierWorker worker([&](const CopierEvent& e) {
        std::lock_guard<std::mutex> lock(mutex);
        events.push_back(e);
        changed.notify_all();
    });
    CopierJob job = wildcard_job(24);
    job.send_battery = false;
    std::mutex floppy_mutex;
    worker.start_disk(job, {folder, "GAME", 8}, [&](const std::string&) {
        std::lock_guard<std::mutex> lock(floppy_mutex);
        return floppy.space();
    });
    ASSERT_TRUE(wait_for(CopierEventCode::NextVolume, 1));
    {
        std::lock_guard<std::mutex> lock(floppy_mutex);
        floppy.change_disk();
    }
    worker.resume(8);
    ASSERT_TRUE(wait_for(CopierEventCode::NextVolume, 2));
    worker.cancel();  // while it waits for the third disk
    ASSERT_TRUE(wait_for(CopierEventCode::Cancelled, 1));
    worker.join();
    EXPECT_TRUE(fs::exists(folder + "/disk1/GAME.1"));
    EXPECT_TRUE(fs::exists(folder + "/GAME.2"));
    EXPECT_FALSE(fs::exists(folder + "/GAME.3"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace vt
