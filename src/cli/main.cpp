// veltrane-cli: runs a cartridge image headless and reports or dumps what it
// did; without an image it runs the built-in demo cartridge. Exit status: 0
// success, 1 bad usage or a file that cannot be read or written, 2 the image
// cannot be loaded, 128 + the signal's number when SIGTERM, SIGINT or SIGHUP
// stopped the run (what was asked for is written first).
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

#include "cart/rom_info.h"
#include "cli/cli_options.h"
#include "cli/copier_disk.h"
#include "cli/runner_io.h"
#include "cli/stop_signals.h"
#include "core/machine.h"
#include "frontend/demo_cartridge.h"
#include "frontend/emulator_host.h"
#include "frontend/input_script.h"

namespace {

using vt::cli::Options;

constexpr int kExitOk = 0;
constexpr int kExitUsage = 1;
constexpr int kExitLoad = 2;
constexpr int kExitSignalBase = 128;

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

// The runner keeps battery RAM and the thumbnail in its states, so that a
// state brings back the whole cartridge.
vt::HostOptions host_options(const Options& o, const char* argv0) {
    vt::HostOptions h;
    h.program_folder = program_folder(argv0);
    h.data_folder = vt::default_demo_data_folder();
    if (!o.rom.empty()) h.backup_folder = image_folder(o.rom);
    h.wram_fill = o.fill;
    h.region = o.region;
    h.state.sram_transfer = true;
    h.state.bitmap_transfer = true;
    h.write_battery_ram = !o.no_battery_save;
    return h;
}

// Every file the run will write, checked before anything runs.
bool outputs_writable(const Options& o) {
    for (const std::string* path : {&o.png, &o.wav, &o.save_state, &o.dump_wram, &o.dump_sram, &o.dump_vram,
                                    &o.dump_cgram, &o.dump_oam, &o.dump_aram, &o.log, &o.trace}) {
        if (!path->empty() && !vt::cli::output_writable(*path)) return false;
    }
    return true;
}

// The picture, audio and memory outputs at the end of a run.
bool write_outputs(vt::EmulatorHost& host, const Options& o) {
    namespace cli = vt::cli;
    vt::Machine& m = host.machine();
    bool ok = true;
    if (!o.wav.empty()) ok = cli::finish_wav_capture(m) && ok;
    if (!o.png.empty()) ok = cli::write_png(m, o.png, o.png_format) && ok;
    if (!o.save_state.empty()) ok = cli::save_state_file(host, o.save_state) && ok;
    if (m.cart.nes) {
        // The NES side: its 2 KiB of RAM and the 8 KiB of PRG RAM at $6000-$7FFF.
        if (!o.dump_wram.empty()) ok = cli::write_dump(o.dump_wram, m.nes.ram.data(), m.nes.ram.size()) && ok;
        if (!o.dump_sram.empty()) ok = cli::write_dump(o.dump_sram, m.cart.sram.data(), vt::kNesPrgRamSize) && ok;
    } else {
        if (!o.dump_wram.empty()) ok = cli::write_dump(o.dump_wram, m.mem.wram.data(), m.mem.wram.size()) && ok;
        if (!o.dump_sram.empty()) ok = cli::write_dump(o.dump_sram, m.cart.sram.data(), m.cart.sram_size) && ok;
    }
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

vt::OpenResult load_cartridge(vt::EmulatorHost& host, const Options& o) {
    if (o.rom.empty()) {
        // The demo's battery RAM lives in its data folder, beside its image.
        std::fprintf(stderr, "veltrane-cli: no image given; running the built-in demo cartridge\n");
        return host.load_demo(vt::default_demo_data_folder());
    }
    const vt::FileKind kind = vt::detect_file_kind(o.rom);
    if (kind == vt::FileKind::ChunkedState || kind == vt::FileKind::RealTimeSave) {
        vt::OpenResult r;
        r.message.problem = o.rom + ": it is a save state, not a Gamepak image (give it with --load-state)";
        return r;
    }
    return host.load_image(o.rom);
}

// Loads, runs and writes the outputs; the exit status.
int run_cartridge(vt::EmulatorHost& host, const Options& o, vt::InputScript& script) {
    namespace cli = vt::cli;
    const vt::OpenResult loaded = load_cartridge(host, o);
    if (!loaded.opened() || loaded.load.incomplete) {
        cli::print_host_message("cannot load", loaded.message);
        return kExitLoad;
    }
    if (!loaded.message.empty()) cli::print_host_message("while loading", loaded.message);
    if (loaded.load.overdumped) {
        std::fprintf(stderr, "veltrane-cli: the image looks over-dumped: %u of its %u blocks hold data\n",
                     loaded.load.real_slots, loaded.load.loaded_slots);
    }
    vt::Machine& m = host.machine();
    if (o.info) {
        std::fputs(vt::rom_information_block(vt::rom_information(m.cart), "\n").c_str(), stdout);
        return kExitOk;
    }
    if (!o.copier_device.empty()) {
        const cli::CopierDiskOptions copier{o.copier_device == "gd3", o.copier_folder, uint32_t(o.volume_blocks),
                                            uint32_t(o.copier_seed)};
        return cli::write_copier_disk(m, copier);
    }

    if (o.disassemble) {
        cli::print_disassembly(m, o.disassemble_address, o.disassemble_count);
        return kExitOk;
    }

    if (!o.load_state.empty() && !cli::load_state_file(host, o.load_state)) return kExitUsage;
    if (!o.trace.empty() && !cli::start_cpu_trace(m, o.trace)) return kExitUsage;
    if (!o.wav.empty() && !cli::start_wav_capture(m, o.wav)) return kExitUsage;
    attach_joypads(m, script);
    host.set_frame_skip(o.frame_skip);
    cli::start_debugging(m, o);

    const uint64_t steps_before = m.timing.cpu_steps;
    const auto start = std::chrono::steady_clock::now();
    long frames = 0;
    bool stopped = false;
    while (frames < o.frames && !stopped && cli::stop_signal() == 0) {
        vt::input_script_apply(script, uint32_t(frames), m.input);
        host.run_frame();
        if (!o.wav.empty()) cli::capture_frame_audio(m);
        // A breakpoint or trap ends the run inside the frame.
        stopped = cli::report_debug_stop(m);
        if (!stopped) frames++;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const uint64_t steps = m.timing.cpu_steps - steps_before;
    if ((!o.breakpoints.empty() || o.interrupt_traps) && !stopped) {
        std::fprintf(stderr, "veltrane-cli: no breakpoint was reached in %ld frames\n", frames);
    }

    int status = cli::finish_cpu_trace(m) ? kExitOk : kExitUsage;
    if (!write_outputs(host, o)) status = kExitUsage;
    const vt::BatteryWrite saved = host.save_battery_ram_at_close();
    if (!saved.ok) {
        cli::print_host_message("cannot write battery RAM to", {"", saved.message, {}, saved.problem});
        status = kExitUsage;
    }
    if (o.bench) {
        double fps = seconds > 0 ? double(frames) / seconds : 0.0;
        double ips = seconds > 0 ? double(steps) / seconds : 0.0;
        std::printf("frames=%ld seconds=%.3f fps=%.1f cpu_ips=%.0f\n", frames, seconds, fps, ips);
    }
    return status;
}

int run(const Options& o, const char* argv0) {
    namespace cli = vt::cli;
    cli::install_stop_handlers();

    vt::InputScript script;
    if (!o.input.empty()) {
        std::string error;
        if (!vt::load_input_script(o.input, script, error)) {
            cli::complain(o.input + ": " + error);
            return kExitUsage;
        }
    }
    if (!outputs_writable(o)) return kExitUsage;

    cli::RunnerLog log;
    vt::EmulatorHost host;
    host.set_options(host_options(o, argv0));
    host.set_battery_problem_hook(
        [](const std::string& problem) { cli::complain("cannot write battery RAM to " + problem); });
    if (!o.log.empty()) {
        if (!log.start()) {
            cli::complain(vt::kTraceLogCreateFailed);
            return kExitUsage;
        }
        host.set_log(log.log());
    }

    int status = run_cartridge(host, o, script);
    if (!o.log.empty() && !log.finish(o.log) && status == kExitOk) status = kExitUsage;
    if (const int signal = cli::stop_signal()) status = kExitSignalBase + signal;
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
        case vt::cli::ParseResult::BadValue:
            std::fprintf(stderr, "veltrane-cli: %s\n", error.c_str());
            return kExitUsage;
        case vt::cli::ParseResult::Run:
            break;
    }
    return run(options, argv[0]);
}
