// The colour lookup table that turns the console's 5-bit colour components
// into 8-bit host intensities. It folds in a 32-entry colour curve, the
// console's master brightness (16 rows) and the user's brightness setting.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

namespace vt {

inline constexpr int kDefaultBrightnessSetting = 50;

struct BrightnessTable {
    // Intensity of each 5-bit component at full brightness; built in c x 8.
    std::array<uint8_t, 32> curve{};
    // rows[level][c]: components 0-31 are colour values, 32-127 saturated
    // sums of colour addition, 128-255 negative differences of subtraction.
    std::array<std::array<uint8_t, 256>, 16> rows{};
    int setting = kDefaultBrightnessSetting;

    // The built-in curve, built for the default setting.
    BrightnessTable();
};

// Rebuilds the table for a brightness setting of 0-100 (50 is neutral;
// values outside are clamped).
void BuildBrightnessTable(BrightnessTable& table, int setting);

inline constexpr const char* kColourCurveFileName = "Colormap.dat";

// Replaces the curve by the first bytes of "Colormap.dat" in the given
// folder (up to 32; a shorter file replaces only as many entries as it
// holds). A missing file leaves the curve as it is. Returns whether the file
// was read. A file that is there but cannot serve (a folder, a device, no
// permission to read) leaves the curve too, with "<path>: <reason>" in
// `problem`. Rebuild the table afterwards.
bool LoadColourCurve(BrightnessTable& table, const std::filesystem::path& folder, std::string* problem = nullptr);

}  // namespace vt
