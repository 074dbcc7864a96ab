// The runner's picture and video-memory outputs.
#include <vector>

#include "cli/runner_io.h"
#include "core/machine.h"
#include "frontend/png_writer.h"

namespace vt::cli {

bool write_png(Machine& m, const std::string& path, int format) {
    std::string error;
    if (save_png_capture(m, path, format, &error)) return true;
    return complain("cannot write " + path + ": " + error);
}

bool dump_vram(Machine& m, const std::string& path) {
    // Word order, low byte first, as the console addresses it.
    std::vector<uint8_t> bytes(2 * kVramWords);
    for (uint32_t w = 0; w < kVramWords; w++) {
        bytes[2 * w] = m.ppu.vram_lo[w];
        bytes[2 * w + 1] = m.ppu.vram_hi[w];
    }
    return write_dump(path, bytes.data(), bytes.size());
}

bool dump_cgram(Machine& m, const std::string& path) { return write_dump(path, m.ppu.cgram.data(), m.ppu.cgram.size()); }

bool dump_oam(Machine& m, const std::string& path) { return write_dump(path, m.ppu.oam.data(), m.ppu.oam.size()); }

}  // namespace vt::cli
