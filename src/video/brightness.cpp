#include "video/brightness.h"

#include <algorithm>
#include <fstream>

namespace vt {

namespace {

uint8_t clamp_intensity(int v) { return uint8_t(std::clamp(v, 0, 255)); }

}  // namespace

BrightnessTable::BrightnessTable() {
    for (int c = 0; c < 32; c++) curve[c] = uint8_t(c * 8);
    BuildBrightnessTable(*this, kDefaultBrightnessSetting);
}

void BuildBrightnessTable(BrightnessTable& table, int setting) {
    setting = std::clamp(setting, 0, 100);
    table.setting = setting;
    // -128 at 0, 0 at 50, +128 at 100; C++ division truncates toward zero.
    const int offset = ((setting - 50) * 128) / 50;

    // Brightness 0, component 0 of every row and the negative differences
    // all show the darkest level.
    const uint8_t dark = clamp_intensity(table.curve[0] + offset);
    for (auto& row : table.rows) row.fill(dark);

    for (int level = 1; level < 16; level++) {
        auto& row = table.rows[level];
        for (int c = 1; c < 32; c++) row[c] = clamp_intensity(table.curve[c] * (level + 1) / 16 + offset);
        // Sums of colour addition saturate at the brightest component.
        std::fill(row.begin() + 32, row.begin() + 128, row[31]);
    }
}

bool LoadColourCurve(BrightnessTable& table, const std::filesystem::path& folder) {
    std::ifstream in(folder / "Colormap.dat", std::ios::binary);
    if (!in) return false;
    char bytes[32];
    in.read(bytes, sizeof bytes);
    const std::streamsize got = in.gcount();
    for (std::streamsize i = 0; i < got; i++) table.curve[i] = uint8_t(bytes[i]);
    return true;
}

}  // namespace vt
