// veltrane-cli: runs a cartridge image headless and reports or dumps what it
// did; without an image it runs the built-in demo cartridge. Exit status: 0
// success, 1 bad usage (or an output that could not be written), 2 the image
// cannot be loaded.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "cart/loader.h"
#include "cart/rom_info.h"
#include "cli/cli_options.h"
#include "cli/runner_io.h"
#include "core/driver.h"
#include "core/machine.h"
#include "debug/trace_log.h"
#include "frontend/demo_cartridge.h"
#include "frontend/input_script.h"
#include "state/battery_ram.h"

namespace {

using vt::cli::Options;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitLoad = 2;

// The program folder holds "Veltrane.db", "BS-X.SFC" and "autoexec.bin".
std::string program_folder(const char* argv0) {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) exe = std::filesystem::absolute(argv0, ec);
    return exe.parent_path().string();
}

std::string image_folder(const std::string& rom) {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::absolute(rom, ec);
    return (ec ? std::filesystem::path(rom) : p).parent_path().string();
}

// Messages are worded for message boxes, with CR between lines.
void print_message(const std::string& text) {
    std::string out = text;
    for (char& ch : out) {
        if (ch == '\r') ch = '\n';
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    std::fprintf(stderr, "%s\n", out.c_str());
}

// The picture, audio and memory outputs at the end of a run.
bool write_outputs(vt::Machine& m, const Options& o) {
    namespace cli = vt::cli;
    bool ok = true;
    if (!o.wav.empty()) ok = cli::finish_wav_capture(m) && ok;
    if (!o.png.empty()) ok = cli::write_png(m, o.png, o.png_format) && ok;
    if (!o.save_state.empty()) ok = cli::save_state_file(m, o.save_state) && ok;
    if (!o.dump_wram.empty()) ok = vt::cli::write_dump(o.dump_wram, m.mem.wram.data(), m.mem.wram.size()) && ok;
    if (!o.dump_sram.empty()) ok = vt::cli::write_dump(o.dump_sram, m.cart.sram.data(), m.cart.sram_size) && ok;
    if (!o.dump_vram.empty()) ok = cli::dump_vram(m, o.dump_vram) && ok;
    if (!o.dump_cgram.empty()) ok = cli::dump_cgram(m, o.dump_cgram) && ok;
    if (!o.dump_oam.empty()) ok = cli::dump_oam(m, o.dump_oam) && ok;
    if (!o.dump_aram.empty()) ok = cli::dump_aram(m, o.dump_aram) && ok;
    return ok;
}

// Port 1 holds a joypad; port 2 one only when the script drives it.
void attach_joypads(vt::Machine& m, const vt::InputScript& script) {
    for (int port = 0; port < 2; port++) {
        bool attached = port == 0 || vt::input_script_uses_port(script, port);
        m.input.device[port] = attached ? vt::PortDevice::Joypad : vt::PortDevice::None;
        m.input.present[port] = attached ? 0xFFFF : 0;
        m.input.record[port] = attached ? vt::joypad_record(0) : 0;
    }
}

int run(const Options& o, const char* argv0) {
    vt::InputScript script;
    if (!o.input.empty()) {
        std::string error;
        if (!vt::load_input_script(o.input, script, error)) {
            std::fprintf(stderr, "veltrane-cli: %s: %s\n", o.input.c_str(), error.c_str());
            return kExitUsage;
        }
    }

    vt::TraceLog log;
    if (!o.log.empty() && !vt::trace_log_create(log, o.log)) print_message(vt::kTraceLogCreateFailed);

    auto machine = vt::make_machine();
    vt::Machine& m = *machine;
    vt::LoadOptions load;
    load.program_folder = program_folder(argv0);
    load.data_folder = vt::default_demo_data_folder();
    load.wram_fill = o.fill;
    load.region = o.region;
    load.log = &log;

    vt::LoadResult loaded;
    if (o.rom.empty()) {
        // The demo's battery RAM lives in its data folder, beside its image.
        std::fprintf(stderr, "veltrane-cli: no image given; running the built-in demo cartridge\n");
        loaded = vt::load_builtin_demo(m, load, vt::default_demo_data_folder());
    } else {
        load.backup_folder = image_folder(o.rom);
        loaded = vt::load_gamepak(m, o.rom, load);
    }
    if (!loaded.loaded() || loaded.incomplete) {
        print_message(loaded.message);
        return kExitLoad;
    }
    if (!loaded.message.empty()) print_message(loaded.message);  // a battery RAM file that could not be read
    if (loaded.overdumped) {
        std::fprintf(stderr, "veltrane-cli: the image looks over-dumped: %u of its %u blocks hold data\n",
                     loaded.real_slots, loaded.loaded_slots);
    }
    if (o.info) {
        std::fputs(vt::rom_information_block(vt::rom_information(m.cart), "\n").c_str(), stdout);
        return kExitOk;
    }

    namespace cli = vt::cli;
    if (!o.load_state.empty() && !cli::load_state_file(m, o.load_state)) return kExitUsage;
    if (!o.trace.empty() && !cli::start_cpu_trace(m, o.trace)) return kExitUsage;
    if (!o.wav.empty() && !cli::start_wav_capture(m, o.wav)) return kExitUsage;
    attach_joypads(m, script);
    vt::set_frame_skip(m, uint8_t(o.frame_skip));

    const uint64_t steps_before = m.timing.cpu_steps;
    const auto start = std::chrono::steady_clock::now();
    for (long frame = 0; frame < o.frames; frame++) {
        vt::input_script_apply(script, uint32_t(frame), m.input);
        vt::run_frame(m);
        if (!o.wav.empty()) cli::capture_frame_audio(m);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const uint64_t steps = m.timing.cpu_steps - steps_before;

    int status = write_outputs(m, o) ? kExitOk : kExitUsage;
    if (!o.no_battery_save) {
        vt::BatterySaveResult saved = vt::battery_save(m.cart, vt::battery_folders(load));
        if (!saved.ok) {
            print_message(saved.message);
            status = kExitUsage;
        }
    }
    if (o.bench) {
        double fps = seconds > 0 ? double(o.frames) / seconds : 0.0;
        double ips = seconds > 0 ? double(steps) / seconds : 0.0;
        std::printf("frames=%ld seconds=%.3f fps=%.1f cpu_ips=%.0f\n", o.frames, seconds, fps, ips);
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    std::string error;
    switch (vt::cli::parse_options(argc, argv, options, error)) {
        case vt::cli::ParseResult::Help:
            std::fputs(vt::cli::usage_text(), stdout);
            return kExitOk;
        case vt::cli::ParseResult::Error:
            std::fprintf(stderr, "veltrane-cli: %s\n%s", error.c_str(), vt::cli::usage_text());
            return kExitUsage;
        case vt::cli::ParseResult::Run:
            break;
    }
    return run(options, argv[0]);
}
