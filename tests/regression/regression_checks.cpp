#include "regression/regression_checks.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

#include "audio/dsp.h"
#include "cart/loader.h"
#include "core/crc32.h"
#include "core/driver.h"
#include "core/machine.h"
#include "frontend/demo_cartridge.h"
#include "frontend/input_script.h"
#include "support/test_rom.h"

namespace vt::test {

const std::vector<RegressionCheck>& regression_checks() {
    // Frames of the demo without input: it starts its music and fades the
    // title in during the first 50 frames; the parallax scene shows from
    // about frame 560 and the Mode 7 scene from about 1490.
    static const std::vector<RegressionCheck> checks = {
        {"demo-title", "demo", {200}, 60, 300, ""},
        {"demo-parallax", "demo", {700, 1100}, 1000, 120, ""},
        {"demo-mode7", "demo", {1600, 1800}, 0, 0, ""},
        {"demo-start-button", "demo", {400}, 0, 0, "100 1 Start\n102 1\n300 1 Right Up\n"},
        {"video-colour-math", "video_colour_math", {3}, 0, 0, ""},
        {"video-hdma", "video_hdma", {3}, 0, 0, ""},
        {"video-windows", "video_windows", {3}, 0, 0, ""},
        {"audio-eight-voices", "audio_eight_voices", {}, 20, 60, ""},
    };
    return checks;
}

namespace {

std::unique_ptr<Machine> load_check_cartridge(const RegressionCheck& check, const std::string& scratch_folder) {
    auto m = make_machine();
    LoadOptions options;  // no program folder: no database or "autoexec.bin"
    LoadResult result = check.cartridge == "demo" ? load_builtin_demo(*m, options, scratch_folder)
                                                  : load_gamepak(*m, test_rom_path(check.cartridge), options);
    if (!result.loaded()) throw std::runtime_error("cannot load " + check.cartridge + ": " + result.message);
    return m;
}

}  // namespace

RegressionRun run_regression_check(const RegressionCheck& check, const std::string& scratch_folder) {
    std::unique_ptr<Machine> machine = load_check_cartridge(check, scratch_folder);
    Machine& m = *machine;
    InputScript script;
    std::string error;
    if (!parse_input_script(check.input, script, error)) throw std::runtime_error(check.name + ": " + error);
    m.input.device[0] = PortDevice::Joypad;
    m.input.present[0] = 0xFFFF;
    m.input.record[0] = joypad_record(0);

    uint32_t last = check.audio_first + check.audio_frames;
    for (uint32_t f : check.picture_frames) last = std::max(last, f);

    RegressionRun run;
    size_t next_picture = 0;
    for (uint32_t frame = 0; frame < last; frame++) {
        input_script_apply(script, frame, m.input);
        run_frame(m);
        const uint32_t done = frame + 1;
        if (done > check.audio_first && done <= check.audio_first + check.audio_frames) {
            const DspSamples samples = dsp_finished_samples(m);
            const auto* bytes = reinterpret_cast<const uint8_t*>(samples.samples);
            run.audio_crcs.push_back(crc32(bytes, size_t(samples.frames) * 4));
            run.audio.insert(run.audio.end(), samples.samples, samples.samples + samples.frames * 2);
        }
        while (next_picture < check.picture_frames.size() && check.picture_frames[next_picture] == done) {
            run.pictures.push_back(capture_picture(m));
            next_picture++;
        }
    }
    return run;
}

std::string expected_picture_name(const RegressionCheck& check, uint32_t frame) {
    return check.name + "-frame" + std::to_string(frame) + ".png";
}

std::string expected_audio_name(const RegressionCheck& check) { return check.name + ".audio"; }

std::string audio_file_text(const RegressionCheck& check, const std::vector<uint32_t>& crcs) {
    std::string text = "# " + check.name + ": CRC-32 of the samples of frames " +
                       std::to_string(check.audio_first + 1) + " to " +
                       std::to_string(check.audio_first + check.audio_frames) + "\n";
    char line[16];
    for (uint32_t crc : crcs) {
        std::snprintf(line, sizeof line, "%08x\n", crc);
        text += line;
    }
    return text;
}

bool parse_audio_file(const std::string& text, std::vector<uint32_t>& crcs) {
    crcs.clear();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line[0] == '#') continue;
        char* end = nullptr;
        const unsigned long value = std::strtoul(line.c_str(), &end, 16);
        if (end == line.c_str() || *end != '\0') return false;
        crcs.push_back(uint32_t(value));
    }
    return true;
}

}  // namespace vt::test
