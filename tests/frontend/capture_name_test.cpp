// Choosing the capture file name: beside the image or in the capture
// folder, never replacing an earlier capture.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

#include "frontend/capture_name.h"

namespace vt {
namespace {

namespace fs = std::filesystem;

class CaptureName : public ::testing::Test {
protected:
    fs::path dir = fs::temp_directory_path() / ("veltrane_capture_test_" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir / "shots"); }
    void TearDown() override { fs::remove_all(dir); }
    void touch(const fs::path& p) { std::ofstream(p) << "x"; }
};

TEST_F(CaptureName, BesideTheImageWhenNoFolderIsSet) {
    EXPECT_EQ(choose_capture_path(dir / "game.smc", ""), dir / "game.png");
}

TEST_F(CaptureName, NumbersPastExistingCaptures) {
    touch(dir / "game.png");
    EXPECT_EQ(choose_capture_path(dir / "game.smc", ""), dir / "game (2).png");
    touch(dir / "game (2).png");
    EXPECT_EQ(choose_capture_path(dir / "game.smc", ""), dir / "game (3).png");
}

TEST_F(CaptureName, InTheCaptureFolderUnderTheImagesName) {
    touch(dir / "shots" / "game.png");
    EXPECT_EQ(choose_capture_path(dir / "roms" / "game.sfc", dir / "shots"), dir / "shots" / "game (2).png");
}

TEST_F(CaptureName, NamesWithoutOrWithSeveralDots) {
    EXPECT_EQ(choose_capture_path(dir / "game", ""), dir / "game.png");
    EXPECT_EQ(choose_capture_path(dir / "super.game.v1.smc", ""), dir / "super.game.v1.png");
}

}  // namespace
}  // namespace vt
