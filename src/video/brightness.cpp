#include "video/brightness.h"

#include <algorithm>
#include <vector>

#include "cart/image_files.h"

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

bool LoadColourCurve(BrightnessTable& table, const std::filesystem::path& folder, std::string* problem) {
    const std::string path = (folder / kColourCurveFileName).string();
    // Only the first 32 bytes count, so any size of file will do.
    std::vector<uint8_t> bytes;
    const FileReadStatus status = read_disk_file_start(path, table.curve.size(), bytes);
    if (status != FileReadStatus::Ok) {
        if (status != FileReadStatus::Missing && problem) {
            *problem = path + ": " + file_read_failure_reason(path, status, table.curve.size());
        }
        return false;
    }
    std::copy(bytes.begin(), bytes.end(), table.curve.begin());
    return true;
}

}  // namespace vt
