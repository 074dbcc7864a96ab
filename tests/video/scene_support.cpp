#include "video/scene_support.h"

#include <sstream>

#include "support/test_rom.h"

namespace vt::test {

std::unique_ptr<Machine> run_scene(const std::string& rom, int scene, int frames) {
    auto m = machine_with_rom(rom);
    m->mem.wram[0x1F00] = uint8_t(scene);  // read by the cartridge's reset code
    run_frames(*m, frames);
    return m;
}

Rgb picture_pixel(const Machine& m, int row, int out_x) {
    const uint8_t* p = video_picture(m) + size_t(row) * kPictureStride + size_t(out_x) * 3;
    return Rgb{p[0], p[1], p[2]};
}

::testing::AssertionResult picture_matches(const Machine& m, const RefState& s, int first_line, int last_line,
                                           Rows rows) {
    std::ostringstream out;
    int mismatches = 0;
    for (int line = first_line; line <= last_line; line++) {
        for (int out_x = 0; out_x < kPictureWidth; out_x++) {
            const Rgb want = reference_pixel(s, line, out_x);
            for (int half = 0; half < 2; half++) {
                if (rows == Rows::LastField && half != (s.odd_field ? 1 : 0)) continue;
                const int row = (line - 1) * 2 + half;
                const Rgb got = picture_pixel(m, row, out_x);
                if (got == want) continue;
                if (++mismatches <= 8) {
                    out << "\n  line " << line << " row " << row << " x " << out_x << ": got (b,g,r) " << int(got.b)
                        << "," << int(got.g) << "," << int(got.r) << " want " << int(want.b) << "," << int(want.g)
                        << "," << int(want.r);
                }
            }
        }
    }
    if (mismatches == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << mismatches << " pixels differ from the reference:" << out.str();
}

}  // namespace vt::test
