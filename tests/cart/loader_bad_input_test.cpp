// Bad input to the loader: files that are not images, images that are cut
// short or lie about their parts, damaged optional files. Every refusal
// keeps its message, names the file and the reason, and leaves the running
// machine alone.
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "cart/game_database.h"
#include "cart/loader_support.h"
#include "core/driver.h"
#include "support/odd_files.h"

namespace vt::test {
namespace {

constexpr size_t kBlock = 32 * kKiB;

std::vector<uint8_t> lorom(size_t size) {
    auto image = pattern_image(size);
    write_header(image, 0x7FC0, HeaderFields{});
    if (size >= 0x10000) set_word(image, 0xFFFC, 0x0000);  // not a HiROM vector
    fix_checksum(image, 0x7FC0);
    return image;
}

std::vector<uint8_t> slice(const std::vector<uint8_t>& image, size_t from, size_t length) {
    return {image.begin() + long(from), image.begin() + long(from + length)};
}

TEST(LoaderBadInput, FilesOnDiskThatAreNoImagesSayWhy) {
    OddFiles odd("veltrane-loader-bad-input");
    auto good = lorom(256 * kKiB);
    std::vector<uint8_t> noise(256 * kKiB);
    uint32_t x = 99;
    for (uint8_t& b : noise) {
        x = x * 1103515245u + 12345u;
        b = uint8_t(x >> 16);
    }
    set_word(noise, 0x7FFC, 0x1234);  // no header place holds a reset vector into ROM
    set_word(noise, 0xFFFC, 0x1234);
    std::vector<uint8_t> nes(16 + 16384, 0);
    std::memcpy(nes.data(), "NES\x1A", 4);

    struct Case {
        std::string path;
        const char* message;
        std::string reason;
    };
    const Case cases[] = {
        {odd.path("missing.sfc"), kFileCouldNotBeLoaded, "no such file"},
        {odd.folder("folder.sfc"), kFileCouldNotBeLoaded, "it is a folder, not a file"},
        {odd.pipe("pipe.sfc"), kFileCouldNotBeLoaded, "not a regular file"},
        {"/dev/zero", kFileCouldNotBeLoaded, "not a regular file"},
        {odd.link_loop("loop.sfc"), kFileCouldNotBeLoaded, "cannot read: too many levels of symbolic links"},
        {odd.sparse("huge.sfc", 12 * kMiB + 513), kImageTooLarge, "larger than 12 MiB plus a copier header"},
        {odd.file("empty.sfc", {}), kImageTooSmall, "it holds no ROM data"},
        {odd.file("tiny.sfc", std::vector<uint8_t>(100, 0x12)), kImageTooSmall,
         "100 bytes of ROM data; a Gamepak holds at least 32 KiB"},
        {odd.file("cut.sfc", slice(good, 0, kBlock - 1)), kImageTooSmall,
         "32767 bytes of ROM data; a Gamepak holds at least 32 KiB"},
        {odd.file("header_only.smc", ffe_header()), kImageTooSmall, "it holds no ROM data"},
        {odd.file("bad_ffe.smc", with_header(ffe_header(false, 7), good)), kNotValidGamepak,
         "its copier header gives the file type 7, not 4 (a Gamepak)"},
        {odd.file("noise.sfc", noise), kNotValidGamepak, "no valid internal header found"},
        {odd.file("game.nes", nes), kNesImageInvalid, "its header gives no PRG ROM"},
    };

    MemoryFiles memory;
    memory.files["/r/good.sfc"] = good;
    Loaded l = load_from(memory, "/r/good.sfc");
    ASSERT_TRUE(l.result.loaded());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        LoadResult r = load_gamepak(l.m(), c.path, LoadOptions{});
        EXPECT_EQ(r.status, LoadStatus::Failed);
        EXPECT_EQ(r.caption, kLoadGamepakCaption);
        EXPECT_EQ(r.message, c.message);
        EXPECT_EQ(r.problem, c.path + ": " + c.reason);
        // The previous cartridge runs on.
        EXPECT_EQ(l.cart().image_path, "/r/good.sfc");
        EXPECT_EQ(peek(l.m(), 0x01, 0x8000), good[kBlock]);
        run_frame(l.m());
    }
}

// Parts "<stem>.2", "<stem>.3", ... each with a copier header that says
// whether more follow.
MemoryFiles split_set(const std::vector<uint8_t>& image, size_t part_size) {
    MemoryFiles files;
    const size_t parts = image.size() / part_size;
    for (size_t p = 0; p < parts; p++) {
        std::string name = p == 0 ? "/r/game.1" : "/r/game." + std::to_string(p + 1);
        files.files[name] = with_header(ffe_header(p + 1 < parts), slice(image, p * part_size, part_size));
    }
    return files;
}

TEST(LoaderBadInput, SplitSetsOfManyPartsLoadWhole) {
    // 70 parts: the tail past the 64th part used to be dropped without a word.
    auto image = lorom(70 * kBlock);
    MemoryFiles files = split_set(image, kBlock);
    Loaded l = load_from(files, "/r/game.1");
    ASSERT_TRUE(l.result.loaded()) << l.result.message;
    EXPECT_FALSE(l.result.incomplete);
    EXPECT_EQ(l.result.message, "");
    EXPECT_EQ(l.cart().image_size, 70 * kBlock);
    EXPECT_EQ(peek(l.m(), 0x45, 0x8123), image[69 * kBlock + 0x123]);
}

TEST(LoaderBadInput, SplitSetThatNeverEndsIsRefused) {
    // Part 999, the last name a part can have, says more follow.
    std::vector<uint8_t> image = lorom(32 * kBlock);
    image.resize(1000 * 8 * kKiB, 0x11);
    MemoryFiles files = split_set(image, 8 * kKiB);
    Loaded l = load_from(files, "/r/game.1");
    EXPECT_FALSE(l.result.loaded());
    EXPECT_EQ(l.result.message, kSplitSetTooLong);
    EXPECT_EQ(l.result.problem, "/r/game.999: its copier header says more parts follow");
}

TEST(LoaderBadInput, MissingOrUnreadablePartsAreNamed) {
    auto image = lorom(4 * kBlock);
    MemoryFiles files = split_set(image, kBlock);
    files.files.erase("/r/game.3");
    Loaded missing = load_from(files, "/r/game.1");
    EXPECT_TRUE(missing.result.loaded());
    EXPECT_TRUE(missing.result.incomplete);
    EXPECT_EQ(missing.result.message, kSplitPartMissing);
    EXPECT_EQ(missing.result.problem, "/r/game.3: no such file");
    EXPECT_EQ(missing.cart().image_size, 2 * kBlock);

    // A part the reader cannot take (a folder of that name, say).
    files = split_set(image, kBlock);
    LoadOptions options;
    FileReader memory = files.reader();
    options.read_file = [&](const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
        return path == "/r/game.2" ? FileReadStatus::NotAFile : memory(path, limit, out);
    };
    auto m = make_machine();
    LoadResult r = load_gamepak(*m, "/r/game.1", options);
    EXPECT_TRUE(r.incomplete);
    EXPECT_EQ(r.problem, "/r/game.2: not a regular file");

    // A part past 12 MiB of data in all.
    files = split_set(image, kBlock);
    files.files["/r/game.4"] = with_header(ffe_header(false), std::vector<uint8_t>(12 * kMiB - 2 * kBlock, 0));
    Loaded large = load_from(files, "/r/game.1");
    EXPECT_FALSE(large.result.loaded());
    EXPECT_EQ(large.result.message, kImageTooLarge);
    EXPECT_EQ(large.result.problem, "/r/game.4: the split files hold more than 12 MiB of ROM data");
}

TEST(LoaderBadInput, GameDoctorSetsNameTheFileThatBreaksThem) {
    auto image = lorom(1 * kMiB);
    std::vector<uint8_t> header(512, 0);
    std::memcpy(header.data(), "GAME DOCTOR SF 3", 16);
    header[17] = 0x20;
    header[18] = 0x23;  // two 1 MiB chunks
    MemoryFiles files;
    files.files["/r/game.078"] = with_header(header, image);
    files.files["/r/SF16ABCA.078"] = with_header(header, image);
    Loaded naming = load_from(files, "/r/game.078");
    EXPECT_EQ(naming.result.message, kGameDoctorNaming);
    EXPECT_EQ(naming.result.problem,
              "/r/game.078: a split file's name needs 8 characters before the dot and at most 3 after it");
    Loaded missing = load_from(files, "/r/SF16ABCA.078");
    EXPECT_EQ(missing.result.message, kGameDoctorMissingFile);
    EXPECT_EQ(missing.result.problem, "/r/SF16ABCB.078: no such file");
}

std::vector<uint8_t> database_bytes(uint32_t count, std::vector<std::array<uint32_t, 4>> entries,
                                    const std::vector<uint8_t>& titles) {
    std::vector<uint8_t> db;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++) db.push_back(uint8_t(v >> (8 * i)));
    };
    put32(count);
    for (const auto& e : entries) {
        for (uint32_t v : e) put32(v);
    }
    db.insert(db.end(), titles.begin(), titles.end());
    return db;
}

TEST(LoaderBadInput, DamagedDatabaseIsNamedAndTheLoadGoesOn) {
    const std::vector<uint8_t> title = {3, 'A', 'B', 'C'};
    struct Case {
        std::vector<uint8_t> db;
        std::string damage;
    };
    const Case cases[] = {
        {database_bytes(1, {{1, 2, 0, 0}}, title), ""},
        {{}, "the file is empty"},
        {{1, 0}, "too short to hold its number of entries"},
        {database_bytes(300, {{1, 2, 0, 0}}, title), "it claims 300 entries but holds only 1"},
        {database_bytes(0xFFFFFFFF, {}, {}), "it claims 4294967295 entries but holds only 0"},
        {database_bytes(1, {{1, 2, 4, 0}}, title), "the title of entry 1 lies past the end of the file"},
        {database_bytes(2, {{1, 2, 0, 0}, {3, 4, 0xFFFFFFF0, 0}}, title),
         "the title of entry 2 lies past the end of the file"},
        {database_bytes(1, {{1, 2, 0, 0}}, {9, 'A', 'B'}), "the title of entry 1 lies past the end of the file"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(database_damage(c.db), c.damage);
        DatabaseEntry found;
        database_find(c.db, 1, 2, found);  // searched as far as it holds together
    }

    // The loader passes the damage on as a note and loads the image.
    MemoryFiles files;
    files.files["/r/game.sfc"] = lorom(256 * kKiB);
    files.files["/prog/Veltrane.db"] = database_bytes(300, {{1, 2, 0, 0}}, title);
    LoadOptions options;
    options.program_folder = "/prog";
    Loaded l = load_from(files, "/r/game.sfc", options);
    ASSERT_TRUE(l.result.loaded());
    ASSERT_EQ(l.result.notes.size(), 1u);
    EXPECT_EQ(l.result.notes[0], "/prog/Veltrane.db: it claims 300 entries but holds only 1");

    // Optional files that are there but cannot serve are noted too; missing
    // ones are not.
    files.files.erase("/prog/Veltrane.db");
    FileReader memory = files.reader();
    options.read_file = [&](const std::string& path, uint64_t limit, std::vector<uint8_t>& out) {
        if (path == "/prog/autoexec.bin") return FileReadStatus::NotAFile;
        return memory(path, limit, out);
    };
    auto m = make_machine();
    LoadResult r = load_gamepak(*m, "/r/game.sfc", options);
    ASSERT_TRUE(r.loaded());
    EXPECT_EQ(r.notes, std::vector<std::string>{"/prog/autoexec.bin: not a regular file"});
}

}  // namespace
}  // namespace vt::test
