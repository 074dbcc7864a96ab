// End-to-end regression checks (see regression_checks.h): each check's
// pictures and audio against tests/regression/expected. A differing picture
// leaves the actual picture and a difference picture (differing pixels in
// magenta) in the build folder's "regression-failures"; differing audio
// leaves the actual span as a WAV file there.
//
// With VELTRANE_REFRESH_REGRESSION=1 in the environment the tests write the
// expected results instead (scripts/refresh-regression).
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_runner.h"
#include "frontend/wav_writer.h"
#include "regression/regression_checks.h"

namespace vt::test {

void PrintTo(const RegressionCheck& check, std::ostream* os) { *os << check.name; }

namespace {

namespace fs = std::filesystem;

bool refreshing() {
    const char* value = std::getenv("VELTRANE_REFRESH_REGRESSION");
    return value && *value && std::strcmp(value, "0") != 0;
}

std::string read_all(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void write_all(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    ASSERT_TRUE(out.good()) << "cannot write " << path;
}

void refresh(const RegressionCheck& check, const RegressionRun& run, const fs::path& expected) {
    fs::create_directories(expected);
    for (size_t i = 0; i < run.pictures.size(); i++) {
        const fs::path file = expected / expected_picture_name(check, check.picture_frames[i]);
        ASSERT_TRUE(write_png(file.string(), run.pictures[i])) << "cannot write " << file;
    }
    if (check.audio_frames) write_all(expected / expected_audio_name(check), audio_file_text(check, run.audio_crcs));
}

void compare_picture(const RegressionCheck& check, uint32_t frame, const RgbPicture& actual,
                     const fs::path& expected_folder, const fs::path& output) {
    const fs::path expected_file = expected_folder / expected_picture_name(check, frame);
    RgbPicture expected;
    std::string error;
    if (!read_png(expected_file.string(), expected, error)) {
        ADD_FAILURE() << error << " (make it with scripts/refresh-regression)";
        return;
    }
    if (expected.width == actual.width && expected.height == actual.height && expected.rgb == actual.rgb) return;

    fs::create_directories(output);
    const std::string stem = check.name + "-frame" + std::to_string(frame);
    const fs::path actual_file = output / (stem + "-actual.png");
    const fs::path diff_file = output / (stem + "-diff.png");
    write_png(actual_file.string(), actual);
    int differing = 0;
    if (expected.width == actual.width && expected.height == actual.height) {
        write_png(diff_file.string(), difference_picture(expected, actual, differing));
    }
    ADD_FAILURE() << check.name << ", frame " << frame << ": " << differing << " pixels differ from "
                  << expected_file.string() << "\n  actual: " << actual_file.string()
                  << "\n  difference (magenta): " << diff_file.string();
}

void compare_audio(const RegressionCheck& check, const RegressionRun& run, const fs::path& expected_folder,
                   const fs::path& output) {
    const fs::path expected_file = expected_folder / expected_audio_name(check);
    std::vector<uint32_t> expected;
    if (!fs::exists(expected_file) || !parse_audio_file(read_all(expected_file), expected)) {
        ADD_FAILURE() << "cannot read " << expected_file.string() << " (make it with scripts/refresh-regression)";
        return;
    }
    if (expected == run.audio_crcs) return;
    size_t first = 0;
    while (first < expected.size() && first < run.audio_crcs.size() && expected[first] == run.audio_crcs[first]) {
        first++;
    }
    fs::create_directories(output);
    const fs::path wav = output / (check.name + "-actual.wav");
    write_wav_file(wav.string(), run.audio.data(), uint32_t(run.audio.size() / 2));
    ADD_FAILURE() << check.name << ": the audio first differs in frame " << check.audio_first + first + 1
                  << " (" << expected.size() << " frames expected, " << run.audio_crcs.size() << " made)"
                  << "\n  actual audio: " << wav.string();
}

class Regression : public ::testing::TestWithParam<RegressionCheck> {};

TEST_P(Regression, PicturesAndAudioMatchTheExpectedResults) {
    const RegressionCheck& check = GetParam();
    const fs::path expected = VELTRANE_REGRESSION_EXPECTED_DIR;
    const fs::path output = VELTRANE_REGRESSION_OUTPUT_DIR;
    const std::string scratch = make_temp_folder("regression");
    const RegressionRun run = run_regression_check(check, scratch);
    fs::remove_all(scratch);
    ASSERT_EQ(run.pictures.size(), check.picture_frames.size());
    ASSERT_EQ(run.audio_crcs.size(), check.audio_frames);

    if (refreshing()) {
        refresh(check, run, expected);
        return;
    }
    for (size_t i = 0; i < run.pictures.size(); i++) {
        compare_picture(check, check.picture_frames[i], run.pictures[i], expected, output);
    }
    if (check.audio_frames) compare_audio(check, run, expected, output);
}

std::string check_test_name(const ::testing::TestParamInfo<RegressionCheck>& info) {
    std::string name = info.param.name;
    for (char& ch : name) {
        if (ch == '-') ch = '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(EndToEnd, Regression, ::testing::ValuesIn(regression_checks()), check_test_name);

}  // namespace
}  // namespace vt::test
