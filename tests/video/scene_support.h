// Running the video test cartridges and comparing their pictures with the
// reference renderer.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "core/machine.h"
#include "video/reference_renderer.h"

namespace vt::test {

// Loads a video test cartridge, selects `scene` and runs `frames` frames.
std::unique_ptr<Machine> run_scene(const std::string& rom, int scene, int frames = 3);

// The picture's pixel at (row, column 0-511).
Rgb picture_pixel(const Machine& m, int row, int out_x);

// Which picture rows of a console line to compare: both, or only the row
// of the field the last frame was drawn in (interlaced 512-pixel modes).
enum class Rows { Both, LastField };

// Compares lines first..last of the picture with the reference, pixel by
// pixel; the failure lists the first differences.
::testing::AssertionResult picture_matches(const Machine& m, const RefState& s, int first_line, int last_line,
                                           Rows rows = Rows::Both);

// The same with a per-line state: state_for_line(line) gives the registers
// in force while that line was drawn.
template <typename StateForLine>
::testing::AssertionResult picture_matches_per_line(const Machine& m, int first_line, int last_line,
                                                    StateForLine state_for_line) {
    for (int line = first_line; line <= last_line; line++) {
        const ::testing::AssertionResult r = picture_matches(m, state_for_line(line), line, line);
        if (!r) return r;
    }
    return ::testing::AssertionSuccess();
}

}  // namespace vt::test
