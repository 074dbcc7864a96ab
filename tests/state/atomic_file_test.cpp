// Whole-or-nothing file writes: what lands on disk, what is left alone, and
// what a planted link or folder cannot do.
#include "state/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace vt::test {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("veltrane-atomic-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    static void put(const std::string& p, const std::string& text) { std::ofstream(p, std::ios::binary) << text; }
    static std::string get(const std::string& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    // Everything in the folder, so a stray temporary file shows.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& e : fs::directory_iterator(dir_)) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    static bool save(const std::string& p, const std::string& text, std::string* error = nullptr) {
        return write_file_atomically(p, reinterpret_cast<const uint8_t*>(text.data()), text.size(), error);
    }

    fs::path dir_;
};

TEST_F(AtomicFileTest, NewAndReplacedFilesHoldExactlyTheBytesAndNothingIsLeftBeside) {
    ASSERT_TRUE(save(path("g.srm"), "first"));
    EXPECT_EQ(get(path("g.srm")), "first");
    ::chmod(path("g.srm").c_str(), 0640);
    ASSERT_TRUE(save(path("g.srm"), "second, longer"));
    EXPECT_EQ(get(path("g.srm")), "second, longer");
    struct stat st {};
    ASSERT_EQ(::stat(path("g.srm").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u) << "a replaced file keeps its permissions";
    EXPECT_EQ(names(), std::vector<std::string>{"g.srm"});
}

TEST_F(AtomicFileTest, LinksAndFoldersPlantedAtTemporaryNamesCaptureNothing) {
    put(path("victim"), "untouched");
    for (const char* name : {"g.srm.tmp", "g.srm.part", ".g.srm.tmp", "g.srm~"}) {
        fs::create_symlink(path("victim"), path(name));
    }
    fs::create_directory(path("g.srm.new"));
    ASSERT_TRUE(save(path("g.srm"), "battery"));
    ASSERT_TRUE(save(path("g.srm"), "battery again"));
    EXPECT_EQ(get(path("victim")), "untouched");
    EXPECT_EQ(get(path("g.srm")), "battery again");
    EXPECT_FALSE(fs::is_symlink(path("g.srm")));
}

TEST_F(AtomicFileTest, ATargetThatIsALinkIsWrittenThroughAndStaysALink) {
    fs::create_directory(path("elsewhere"));
    put(path("elsewhere/real.srm"), "old");
    fs::create_symlink("elsewhere/real.srm", path("g.srm"));  // relative, as users make them
    ASSERT_TRUE(save(path("g.srm"), "new"));
    EXPECT_TRUE(fs::is_symlink(path("g.srm")));
    EXPECT_EQ(get(path("elsewhere/real.srm")), "new");

    // A link whose file does not exist yet gets the file made.
    fs::create_symlink(path("elsewhere/later.srm"), path("h.srm"));
    ASSERT_TRUE(save(path("h.srm"), "made"));
    EXPECT_TRUE(fs::is_symlink(path("h.srm")));
    EXPECT_EQ(get(path("elsewhere/later.srm")), "made");
}

TEST_F(AtomicFileTest, FailuresSayWhyAndLeaveTheTargetAsItWas) {
    std::string error;
    EXPECT_FALSE(save(path("no-such-folder/g.srm"), "x", &error));
    EXPECT_EQ(error, "No such file or directory");

    fs::create_directory(path("taken"));
    put(path("taken/inside"), "kept");
    error.clear();
    EXPECT_FALSE(save(path("taken"), "x", &error));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(get(path("taken/inside")), "kept");

    // Abandoned and discarded writes.
    put(path("keep"), "precious");
    {
        AtomicFile f;
        ASSERT_TRUE(f.open(path("keep")));
        ASSERT_TRUE(f.write("partial", 7));
    }
    AtomicFile f;
    ASSERT_TRUE(f.open(path("keep")));
    ASSERT_TRUE(f.write("more", 4));
    f.discard();
    EXPECT_FALSE(f.commit());
    EXPECT_EQ(get(path("keep")), "precious");
    EXPECT_EQ(names(), (std::vector<std::string>{"keep", "taken"}));
}

TEST_F(AtomicFileTest, AHeaderCanBeCompletedAfterTheBody) {
    AtomicFile f;
    ASSERT_TRUE(f.open(path("out.wav")));
    ASSERT_TRUE(f.write("....body", 8));
    ASSERT_TRUE(f.write_at(0, "HEAD", 4));
    ASSERT_TRUE(f.commit());
    EXPECT_EQ(get(path("out.wav")), "HEADbody");
}

}  // namespace
}  // namespace vt::test
