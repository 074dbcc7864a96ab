// The emulator host both programs run on: run control and titles, the frame
// skip, files told apart by content, the log of each load, and battery RAM
// that reaches its file while the game runs but never from a loaded state.
#include "frontend/emulator_host.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "cart/bus.h"
#include "cli/cli_runner.h"
#include "core/machine.h"
#include "debug/trace_log.h"
#include "support/test_rom.h"

namespace vt::test {
namespace {

namespace fs = std::filesystem;

// A host on a clock the test moves, with its files in a folder of its own.
struct HostFixture {
    double now = 0.0;
    EmulatorHost host{[this] { return now; }};
    std::string dir = make_temp_folder("host");

    HostFixture() {
        HostOptions o;
        o.state.sram_transfer = true;
        host.set_options(o);
    }
    std::string path(const std::string& name) const { return dir + "/" + name; }
    std::string copy_rom(const std::string& rom, const std::string& as) const {
        fs::copy_file(test_rom_path(rom), path(as), fs::copy_options::overwrite_existing);
        return path(as);
    }
    // Frames at 60 per second of the test's clock.
    void run_for(double seconds) {
        for (double end = now + seconds; now < end; now += 1.0 / 60) host.run_frame();
    }
    // Byte `at` of a battery RAM file; bytes past its end read $FF, as when loaded.
    int srm_byte(const std::string& file, size_t at) const {
        if (!fs::exists(path(file))) return -1;
        std::vector<uint8_t> bytes = read_file(path(file));
        return at < bytes.size() ? bytes[at] : 0xFF;
    }
};

ino_t inode_of(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

TEST(HostRunControl, FramesRunOnlyWhileLoadedAndNotHeldOrPausedAndTheTitleFollows) {
    HostFixture f;
    std::vector<std::string> titles;
    f.host.set_title_hook([&](const char* t) { titles.push_back(t); });
    EXPECT_FALSE(f.host.idle_turn());  // nothing loaded
    EXPECT_EQ(f.host.run_state(), RunState::NoGamepak);

    ASSERT_TRUE(f.host.load_image(test_rom_path("smoke")).opened());
    Machine& m = f.host.machine();
    EXPECT_TRUE(f.host.idle_turn());
    EXPECT_TRUE(f.host.idle_turn());
    {
        HostHold hold(f.host);
        EXPECT_EQ(f.host.run_state(), RunState::Held);
        EXPECT_FALSE(f.host.idle_turn());
        EXPECT_FALSE(f.host.idle_turn());
    }
    EXPECT_EQ(f.host.hold_count(), 0u);
    EXPECT_TRUE(f.host.idle_turn());
    f.host.set_paused(true);
    EXPECT_EQ(f.host.run_state(), RunState::Paused);
    EXPECT_FALSE(f.host.idle_turn());
    f.host.set_paused(false);
    f.host.release();  // more releases than holds change nothing
    EXPECT_TRUE(f.host.idle_turn());

    EXPECT_EQ(m.timing.frame_counter, 4u);
    EXPECT_EQ(titles, (std::vector<std::string>{kRunningTitle, kStoppedTitle, kRunningTitle, kPausedTitle,
                                                kRunningTitle}));
}

TEST(HostRunControl, FrameAdvanceRunsOneFrameOnlyWhilePaused) {
    HostFixture f;
    std::vector<std::string> titles;
    f.host.set_title_hook([&](const char* t) { titles.push_back(t); });
    EXPECT_FALSE(f.host.advance_frame());  // nothing loaded
    ASSERT_TRUE(f.host.load_image(test_rom_path("smoke")).opened());
    Machine& m = f.host.machine();
    EXPECT_FALSE(f.host.advance_frame());  // running: frames come by themselves
    f.host.set_paused(true);
    EXPECT_FALSE(f.host.idle_turn());
    EXPECT_TRUE(f.host.advance_frame());
    EXPECT_TRUE(f.host.advance_frame());
    EXPECT_EQ(m.timing.frame_counter, 2u);
    EXPECT_EQ(f.host.run_state(), RunState::Paused);
    {
        HostHold hold(f.host);  // a dialog holds the machine: no advancing
        EXPECT_FALSE(f.host.advance_frame());
    }
    EXPECT_EQ(m.timing.frame_counter, 2u);
    // The title said paused once and never running in between.
    EXPECT_EQ(titles, (std::vector<std::string>{kPausedTitle}));
}

TEST(HostRewind, StepsBackThroughEveryFrameKeptAndForgetsOnAnotherCartridge) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_demo(f.dir).opened());
    Machine& m = f.host.machine();
    f.host.set_rewind_enabled(true);
    for (int i = 0; i < 21; i++) f.host.run_frame();
    const auto wram_after_21 = m.mem.wram;
    const auto vram_after_21 = m.ppu.vram_lo;
    for (int i = 0; i < 19; i++) f.host.run_frame();
    EXPECT_EQ(f.host.rewind_history().steps_back(), 39u);  // states after frames 1 to 40

    // Each step restores the state one frame older and runs one frame from
    // it for the picture: 20 steps from frame 40 restore frame 20's state
    // and leave the machine exactly where it was after frame 21.
    for (int i = 0; i < 20; i++) ASSERT_TRUE(f.host.rewind_step());
    EXPECT_EQ(f.host.rewind_history().steps_back(), 19u);
    EXPECT_TRUE(m.mem.wram == wram_after_21);
    EXPECT_TRUE(m.ppu.vram_lo == vram_after_21);

    // Playing on keeps new frames after the restored one.
    f.host.run_frame();
    EXPECT_EQ(f.host.rewind_history().steps_back(), 20u);
    ASSERT_TRUE(f.host.load_image(test_rom_path("smoke")).opened());
    EXPECT_EQ(f.host.rewind_history().steps_back(), 0u);
    EXPECT_FALSE(f.host.rewind_step());
    f.host.set_rewind_enabled(false);
    f.host.run_frame();
    EXPECT_EQ(f.host.rewind_history().memory_bytes(), 0u);
}

TEST(HostRunControl, FrameSkipDrawsOneFrameInNPlusOne) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_image(test_rom_path("driver_timer")).opened());
    Machine& m = f.host.machine();
    std::vector<uint32_t> drawn;
    m.host.user = &drawn;
    m.host.present_frame = [](void* user, Machine& mm) {
        static_cast<std::vector<uint32_t>*>(user)->push_back(mm.timing.frame_counter);
    };
    f.host.set_frame_skip(9);  // more than the menu offers: 4
    EXPECT_EQ(f.host.frame_skip(), kMaxFrameSkip);
    for (int i = 0; i < 11; i++) f.host.run_frame();
    EXPECT_EQ(drawn, (std::vector<uint32_t>{0, 5, 10}));

    f.host.set_frame_skip(0);
    drawn.clear();
    for (int i = 0; i < 3; i++) f.host.run_frame();
    EXPECT_EQ(drawn, (std::vector<uint32_t>{11, 12, 13}));
}

TEST(HostFiles, KindsAreToldByContentAndRtsNamesNeverLoadAsImages) {
    HostFixture f;
    const std::vector<uint8_t> image = read_file(test_rom_path("smoke"));
    std::vector<uint8_t> rts(600, 0);
    rts[8] = 0xAA, rts[9] = 0xBB, rts[10] = 0x08;
    const std::string state = "BPS2 and the rest";
    write_text(f.path("game.sfc"), std::string(image.begin(), image.end()));
    write_text(f.path("game.rts"), std::string(image.begin(), image.end()));
    write_text(f.path("save.bin"), std::string(rts.begin(), rts.end()));
    write_text(f.path("state.sfc"), state);
    write_text(f.path("empty.smc"), "");
    fs::create_directory(f.path("folder.sfc"));
    ASSERT_EQ(::mkfifo(f.path("pipe.sfc").c_str(), 0600), 0);

    struct Case {
        const char* file;
        FileKind kind;
        const char* reason;
    };
    for (const Case& c : {Case{"game.sfc", FileKind::Image, ""}, Case{"game.rts", FileKind::RealTimeSave, ""},
                          Case{"save.bin", FileKind::RealTimeSave, ""}, Case{"state.sfc", FileKind::ChunkedState, ""},
                          Case{"empty.smc", FileKind::Image, ""},
                          Case{"missing.sfc", FileKind::Unreadable, "No such file or directory"},
                          Case{"folder.sfc", FileKind::Unreadable, "Is a directory"},
                          Case{"pipe.sfc", FileKind::Unreadable, "not a regular file"}}) {
        std::string reason;
        EXPECT_EQ(detect_file_kind(f.path(c.file), &reason), c.kind) << c.file;
        EXPECT_EQ(reason, c.reason) << c.file;
    }

    // A state written over an existing file keeps that file's format.
    EXPECT_EQ(state_format_for_saving(f.path("save.bin")), FileKind::RealTimeSave);
    EXPECT_EQ(state_format_for_saving(f.path("state.sfc")), FileKind::ChunkedState);
    EXPECT_EQ(state_format_for_saving(f.path("new.RTS")), FileKind::RealTimeSave);
    EXPECT_EQ(state_format_for_saving(f.path("new.S00")), FileKind::ChunkedState);
}

TEST(HostFiles, OpenFileLoadsStatesAndImagesWhateverTheirNames) {
    HostFixture f;
    ASSERT_TRUE(f.host.open_file(test_rom_path("smoke")).opened());
    Machine& m = f.host.machine();
    f.run_for(0.1);
    const uint8_t counter = m.mem.wram[0x10];  // the cartridge counts NMIs here
    ASSERT_TRUE(f.host.save_state_file(f.path("state.sfc"), "a state named like an image", "test"));
    ASSERT_TRUE(f.host.save_rts_file(f.path("rts.S00")));
    f.run_for(0.1);
    ASSERT_NE(m.mem.wram[0x10], counter);

    OpenResult chunked = f.host.open_file(f.path("state.sfc"));
    EXPECT_TRUE(chunked.opened()) << chunked.message.problem;
    EXPECT_EQ(chunked.kind, FileKind::ChunkedState);
    EXPECT_EQ(m.mem.wram[0x10], counter);
    EXPECT_EQ(m.cart.image_path, test_rom_path("smoke"));  // the cartridge stays

    f.run_for(0.1);
    OpenResult rts = f.host.open_file(f.path("rts.S00"));
    EXPECT_TRUE(rts.opened()) << rts.message.problem;
    EXPECT_EQ(rts.kind, FileKind::RealTimeSave);
    EXPECT_EQ(m.mem.wram[0x10], counter);

    // An image named ".rts" is refused as a real-time save, with the file named.
    fs::copy_file(test_rom_path("cart_sram"), f.path("other.rts"));
    OpenResult refused = f.host.open_file(f.path("other.rts"));
    EXPECT_FALSE(refused.opened());
    EXPECT_EQ(refused.message.caption, kLoadRtsCaption);
    EXPECT_EQ(refused.message.problem, f.path("other.rts"));
    EXPECT_EQ(m.cart.image_path, test_rom_path("smoke"));
}

TEST(HostFiles, AStateOfAnotherCartridgeLoadsOnlyWhenTheUserSaysSo) {
    HostFixture f;
    ASSERT_TRUE(f.host.open_file(test_rom_path("smoke")).opened());
    ASSERT_TRUE(f.host.save_state_file(f.path("smoke.S00"), "", "test"));
    ASSERT_TRUE(f.host.open_file(test_rom_path("cart_sram")).opened());
    Machine& m = f.host.machine();
    f.run_for(0.1);
    const std::vector<uint8_t> wram(m.mem.wram.begin(), m.mem.wram.end());

    OpenResult asked = f.host.open_file(f.path("smoke.S00"));
    EXPECT_EQ(asked.status, OpenStatus::OtherCartridge);
    EXPECT_EQ(asked.message.text, kOtherCartridgeQuestion);
    EXPECT_TRUE(std::equal(wram.begin(), wram.end(), m.mem.wram.begin())) << "nothing changes before the answer";

    OpenResult forced = f.host.open_file(f.path("smoke.S00"), OpenFlags{.accept_other_cartridge = true});
    EXPECT_TRUE(forced.opened()) << forced.message.problem;
    EXPECT_FALSE(std::equal(wram.begin(), wram.end(), m.mem.wram.begin()));
}

TEST(HostFiles, FilesThatCannotBeLoadedNameTheFileAndLeaveThePreviousMachineRunning) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_image(test_rom_path("smoke")).opened());
    Machine& m = f.host.machine();
    f.run_for(0.5);
    const uint32_t frames = m.timing.frame_counter;
    write_text(f.path("short.sfc"), std::string(1000, 'x'));

    struct Case {
        std::string file;
        const char* text;
        std::string problem;
    };
    for (const Case& c : {Case{f.path("missing.sfc"), kFileCouldNotBeLoaded, f.path("missing.sfc") + ": No such file or directory"},
                          Case{f.dir, kFileCouldNotBeLoaded, f.dir + ": Is a directory"},
                          Case{f.path("short.sfc"), kImageTooSmall,
                               f.path("short.sfc") + ": too small to be a Gamepak (1000 bytes)"}}) {
        OpenResult r = f.host.open_file(c.file);
        EXPECT_FALSE(r.opened()) << c.file;
        EXPECT_EQ(r.message.caption, kLoadGamepakCaption);
        EXPECT_EQ(r.message.text, c.text);
        EXPECT_EQ(r.message.problem, c.problem);
    }
    for (const std::string& state : {f.path("missing.S00"), test_rom_path("cart_sram")}) {
        OpenResult r = f.host.load_state_file(state);
        EXPECT_FALSE(r.opened()) << state;
        EXPECT_NE(r.message.problem.find(state), std::string::npos) << r.message.problem;
    }
    EXPECT_EQ(m.cart.image_path, test_rom_path("smoke"));
    EXPECT_EQ(m.timing.frame_counter, frames);
    EXPECT_TRUE(f.host.idle_turn());
    EXPECT_EQ(m.timing.frame_counter, frames + 1);

    EmulatorHost empty;
    OpenResult no_cartridge = empty.load_state_file(f.path("short.sfc"));
    EXPECT_FALSE(no_cartridge.opened());
    EXPECT_FALSE(no_cartridge.message.text.empty());
}

TEST(HostFiles, EveryLoadWritesItsBlockToTheLogAndAFailedOneNothing) {
    HostFixture f;
    TraceLog log;
    ASSERT_TRUE(trace_log_create(log, f.path("trace.log")));
    f.host.set_log(&log);
    const std::string rom = test_rom_path("smoke");
    ASSERT_TRUE(f.host.load_image(rom).opened());
    ASSERT_FALSE(f.host.load_image(f.path("missing.sfc")).opened());
    ASSERT_TRUE(f.host.load_image(rom).opened());
    trace_log_close(log);

    const std::string text = read_text(f.path("trace.log"));
    const std::string one = "\"" + rom + "\" loaded.\r\n---------------- ROM Information ----------------\r\n";
    ASSERT_EQ(text.find(one), 0u);
    const size_t second = text.find(one, 1);
    ASSERT_NE(second, std::string::npos);
    EXPECT_EQ(text.substr(0, second), text.substr(second));
    EXPECT_NE(text.find("\r\nChecksum: OK\r\nCRC32:    "), std::string::npos);
}

TEST(HostBattery, ChangesReachTheFileWithinSecondsWhileTheGameRuns) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_image(f.copy_rom("cart_sram", "Game.sfc")).opened());
    Machine& m = f.host.machine();
    // The cartridge counts its boot in battery RAM during the first frame.
    double written_at = -1;
    while (f.now < 10 && written_at < 0) {
        f.run_for(1.0 / 60);
        if (f.srm_byte("Game.srm", 0) == 1) written_at = f.now;
    }
    ASSERT_GE(written_at, 0.0);
    EXPECT_LE(written_at, 5.0);

    // Unchanged battery RAM is not written again.
    const ino_t file = inode_of(f.path("Game.srm"));
    f.run_for(3);
    EXPECT_EQ(inode_of(f.path("Game.srm")), file);

    // A later change by the game, as a store into its battery RAM.
    const double changed_at = f.now;
    bus_write(m, 0x70, 0x0004, 0x5A);
    double seen_at = -1;
    while (f.now < changed_at + 10 && seen_at < 0) {
        f.run_for(1.0 / 60);
        if (f.srm_byte("Game.srm", 4) == 0x5A) seen_at = f.now;
    }
    ASSERT_GE(seen_at, 0.0);
    EXPECT_LE(seen_at - changed_at, 5.0);
}

TEST(HostBattery, AWriteThatFailsWhileRunningIsToldOnceAndTriedAgain) {
    HostFixture f;
    HostOptions o;
    o.backup_folder = f.path("not-yet");
    f.host.set_options(o);
    std::vector<std::string> problems;
    f.host.set_battery_problem_hook([&](const std::string& p) { problems.push_back(p); });
    ASSERT_TRUE(f.host.load_image(test_rom_path("cart_sram")).opened());
    f.run_for(4);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0], f.path("not-yet") + "/cart_sram.srm: No such file or directory");
    EXPECT_TRUE(f.host.battery_ram_changed());

    fs::create_directory(f.path("not-yet"));
    f.run_for(2);
    EXPECT_FALSE(f.host.battery_ram_changed());
    EXPECT_EQ(f.srm_byte("not-yet/cart_sram.srm", 0), 1);
}

TEST(HostBattery, ALoadedStatesBatteryRamStaysOffTheFileUntilTheGameWritesAgain) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_image(f.copy_rom("cart_sram", "Game.sfc")).opened());
    Machine& m = f.host.machine();
    f.run_for(1.5);
    ASSERT_EQ(f.srm_byte("Game.srm", 0), 1);

    // A state whose battery RAM differs from the game's file (as one made
    // on another day would).
    m.cart.sram[0x100] = 0x42;
    ASSERT_TRUE(f.host.save_state_file(f.path("Game.S00"), "", ""));
    m.cart.sram[0x100] = 0xFF;

    ASSERT_TRUE(f.host.load_state_file(f.path("Game.S00")).opened());
    ASSERT_EQ(m.cart.sram[0x100], 0x42);
    EXPECT_FALSE(f.host.battery_ram_changed());
    f.run_for(10);
    EXPECT_EQ(f.srm_byte("Game.srm", 0x100), 0xFF);
    EXPECT_TRUE(f.host.save_battery_ram_at_close().ok);  // closing writes nothing either
    EXPECT_EQ(f.srm_byte("Game.srm", 0x100), 0xFF);

    // Once the game writes, its battery RAM (the state's plus its own
    // change) is the one to keep.
    bus_write(m, 0x70, 0x0200, 0x99);
    f.run_for(1.5);
    EXPECT_EQ(f.srm_byte("Game.srm", 0x100), 0x42);
    EXPECT_EQ(f.srm_byte("Game.srm", 0x200), 0x99);
}

TEST(HostBattery, SaveBackupRamWritesAStatesBatteryRamWhenAsked) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_image(f.copy_rom("cart_sram", "Game.sfc")).opened());
    Machine& m = f.host.machine();
    f.run_for(1.5);
    m.cart.sram[0x40] = 0x33;
    ASSERT_TRUE(f.host.save_state_file(f.path("Game.S01"), "", ""));
    m.cart.sram[0x40] = 0xFF;
    ASSERT_TRUE(f.host.load_state_file(f.path("Game.S01")).opened());
    EXPECT_TRUE(f.host.save_battery_ram().written);
    EXPECT_EQ(f.srm_byte("Game.srm", 0x40), 0x33);
}

TEST(HostBattery, AnotherLoadWritesThePreviousBatteryRamOrStopsToAsk) {
    HostFixture f;
    ASSERT_TRUE(f.host.load_image(f.copy_rom("cart_sram", "Game.sfc")).opened());
    Machine& m = f.host.machine();
    f.host.run_frame();  // the first write happens at the first check
    bus_write(m, 0x70, 0x0008, 0x77);  // not written yet: the next check is a second away

    HostOptions o;
    o.backup_folder = f.path("gone");
    f.host.set_options(o);
    OpenResult blocked = f.host.load_image(test_rom_path("smoke"));
    EXPECT_EQ(blocked.status, OpenStatus::BatterySaveFailed);
    EXPECT_EQ(blocked.message.caption, kSaveBackupRamCaption);
    EXPECT_EQ(blocked.message.problem, f.path("gone") + "/Game.srm: No such file or directory");
    EXPECT_EQ(m.cart.image_path, f.path("Game.sfc"));  // nothing changed

    OpenResult anyway = f.host.load_image(test_rom_path("smoke"), OpenFlags{.skip_battery_save = true});
    EXPECT_TRUE(anyway.opened());
    EXPECT_EQ(f.srm_byte("Game.srm", 8), 0xFF);

    f.host.set_options(HostOptions{});
    ASSERT_TRUE(f.host.load_image(f.path("Game.sfc")).opened());
    bus_write(m, 0x70, 0x0008, 0x77);
    ASSERT_TRUE(f.host.load_image(test_rom_path("smoke")).opened());
    EXPECT_EQ(f.srm_byte("Game.srm", 8), 0x77);
}

}  // namespace
}  // namespace vt::test
