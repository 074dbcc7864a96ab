#include "qt/video_bridge.h"

#include <array>
#include <filesystem>

#include "core/machine.h"

namespace vt::gui {

// The video unit is not part of this build yet: the picture stays black and
// the other services do nothing.
namespace {
std::array<uint8_t, kPictureWidth * 3 * kPictureHeight> black_picture{};
}

const uint8_t* picture_pixels(const Machine&) { return black_picture.data(); }
int picture_stride() { return kPictureWidth * 3; }
void load_colour_curve(Machine&, const std::string&) {}
void apply_brightness(Machine&, int) {}
void latch_scope_position(Machine&, uint8_t, uint8_t) {}

std::string capture_file_path(const std::string& image_path, const std::string& capture_folder) {
    namespace fs = std::filesystem;
    fs::path base = capture_folder.empty() ? fs::path(image_path) : fs::path(capture_folder) / fs::path(image_path).filename();
    fs::path candidate = base;
    candidate.replace_extension(".png");
    return candidate.string();
}

bool write_png_capture(const Machine&, const std::string&, int) { return false; }

}  // namespace vt::gui
