// End-to-end regression checks: the built-in demo and some test cartridges
// run for a number of frames; pictures at chosen frames and the audio of a
// chosen span are compared with the results kept in tests/regression/expected.
//
// After an intended change of what they show or play, refresh the expected
// results with scripts/refresh-regression and look at the new pictures
// before committing them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "regression/picture_files.h"

namespace vt::test {

struct RegressionCheck {
    std::string name;
    std::string cartridge;  // "demo", or the name of a test cartridge
    std::vector<uint32_t> picture_frames;  // the picture after that many frames
    uint32_t audio_first = 0;              // audio of frames audio_first + 1 ...
    uint32_t audio_frames = 0;             // ... for this many frames (0: none)
    std::string input;                     // joypad script for port 1
};

const std::vector<RegressionCheck>& regression_checks();

struct RegressionRun {
    std::vector<RgbPicture> pictures;    // one per picture frame
    std::vector<uint32_t> audio_crcs;    // CRC-32 of each frame's samples
    std::vector<int16_t> audio;          // the span's samples, left/right pairs
};

// Runs a check on a fresh machine; the demo keeps its battery RAM in
// `scratch_folder`, which starts empty.
RegressionRun run_regression_check(const RegressionCheck& check, const std::string& scratch_folder);

// Names of the expected files of a check.
std::string expected_picture_name(const RegressionCheck& check, uint32_t frame);
std::string expected_audio_name(const RegressionCheck& check);

// The audio file: a comment line, then one CRC per frame in hexadecimal.
std::string audio_file_text(const RegressionCheck& check, const std::vector<uint32_t>& crcs);
bool parse_audio_file(const std::string& text, std::vector<uint32_t>& crcs);

}  // namespace vt::test
