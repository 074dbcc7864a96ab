// The few places where the desktop program reaches into the video unit: the
// output picture, the brightness table, the Super Scope's counter latch and
// the PNG capture.
#pragma once

#include <cstdint>
#include <string>

#include "video/ppu.h"

namespace vt::gui {

// The 512 x 478 output picture, 3 bytes per pixel (blue, green, red).
const uint8_t* picture_pixels(const Machine& m);
int picture_stride();

// Reads "Colormap.dat" from the program folder into the colour curve.
void load_colour_curve(Machine& m, const std::string& program_folder);
// Rebuilds the brightness table for a setting of 0-100.
void apply_brightness(Machine& m, int setting);

// The Super Scope points at console pixel (x, y): latch the PPU counters.
void latch_scope_position(Machine& m, uint8_t x, uint8_t y);

// The file a capture of the image goes to (never an existing file).
std::string capture_file_path(const std::string& image_path, const std::string& capture_folder);
// Writes the current picture as a PNG in capture format 0-3; false with the
// reason in `error` when it cannot.
bool write_png_capture(const Machine& m, const std::string& path, int format, std::string* error = nullptr);

}  // namespace vt::gui
