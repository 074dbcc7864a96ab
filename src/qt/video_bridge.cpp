#include "qt/video_bridge.h"

#include "core/machine.h"
#include "frontend/capture_name.h"
#include "frontend/png_writer.h"
#include "video/brightness.h"

namespace vt::gui {

const uint8_t* picture_pixels(const Machine& m) { return video_picture(m); }

int picture_stride() { return kPictureStride; }

void load_colour_curve(Machine& m, const std::string& program_folder) {
    LoadColourCurve(m.ppu.display, program_folder);
}

void apply_brightness(Machine& m, int setting) { BuildBrightnessTable(m.ppu.display, setting); }

void latch_scope_position(Machine& m, uint8_t x, uint8_t y) { ppu_latch_position(m, x, y); }

std::string capture_file_path(const std::string& image_path, const std::string& capture_folder) {
    return choose_capture_path(image_path, capture_folder).string();
}

bool write_png_capture(const Machine& m, const std::string& path, int format, std::string* error) {
    return save_png_capture(m, path, format, error);
}

}  // namespace vt::gui
