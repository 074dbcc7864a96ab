#include "frontend/emulator_host.h"

#include <chrono>
#include <filesystem>

#include "cart/rom_info.h"
#include "core/driver.h"
#include "core/machine.h"
#include "debug/trace_log.h"
#include "frontend/demo_cartridge.h"
#include "state/atomic_file.h"
#include "state/realtime_save.h"

namespace vt {

namespace {

constexpr const char* kNoGamepakForState = "A state can only be loaded while a Gamepak is loaded.  ";
constexpr const char* kNotAState = "The specified file is not a save state.  ";
constexpr const char* kNotARealTimeSave =
    "The specified file is not a real-time save: its header lacks the real-time save mark.  ";

double steady_seconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

HostMessage message(const char* caption, const std::string& text, MessageIcon icon, const std::string& problem) {
    return HostMessage{caption, text, icon, problem};
}

// Why the loader refused an image, in a few words for the line that names
// the file (the message box's fixed text says what happened).
std::string load_failure_reason(const LoadResult& r, const std::string& path) {
    const std::string& m = r.message;
    if (m == kImageTooSmall) {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        return ec ? "too small to be a Gamepak" : "too small to be a Gamepak (" + std::to_string(size) + " bytes)";
    }
    if (m == kNotValidGamepak) return "no valid Gamepak header found";
    if (m == kImageTooLarge) return "larger than 12 MB";
    // The NES loader's reasons name the header's sizes or the mapper.
    if (m == kNesImageTruncated || m == kNesImageInvalid || m.rfind("This NES image needs mapper", 0) == 0) {
        const std::string prefix = path + ": ";
        return r.problem.rfind(prefix, 0) == 0 ? r.problem.substr(prefix.size()) : r.problem;
    }
    if (m == kSplitPartMissing || m == kGameDoctorMissingFile) return "a part of the split image is missing";
    if (m == kGameDoctorNaming) return "the name does not follow the Game Doctor naming";
    if (m == kSuperGameBoyMissing) return "no Super Game Boy cartridge is loaded";
    if (m == kFileCouldNotBeLoaded) {
        std::string reason;
        detect_file_kind(path, &reason);
        return reason.empty() ? "cannot be read" : "cannot be read: " + reason;
    }
    return {};
}

}  // namespace

EmulatorHost::EmulatorHost(Clock clock)
    : machine_(make_machine()), clock_(clock ? std::move(clock) : Clock(&steady_seconds)) {
    options_source_ = [] { return HostOptions{}; };
}

EmulatorHost::~EmulatorHost() = default;

bool EmulatorHost::gamepak_loaded() const { return machine_->timing.gamepak_loaded; }

double EmulatorHost::now() const { return clock_(); }

// --- options -------------------------------------------------------------------

void EmulatorHost::set_options(const HostOptions& options) {
    options_source_ = [options] { return options; };
}

void EmulatorHost::set_options_source(std::function<HostOptions()> source) { options_source_ = std::move(source); }

HostOptions EmulatorHost::options() const { return options_source_(); }

LoadOptions EmulatorHost::load_options() const {
    const HostOptions h = options();
    LoadOptions o;
    o.program_folder = h.program_folder;
    o.backup_folder = h.backup_folder;
    o.data_folder = h.data_folder;
    o.backup_format = h.backup_format;
    o.auto_create_backup_header = h.auto_create_backup_header;
    o.wram_fill = h.wram_fill;
    o.region = h.region;
    // The host writes the previous cartridge's battery RAM itself.
    o.save_previous_battery = false;
    return o;
}

BatteryFolders EmulatorHost::battery_folders() const { return vt::battery_folders(load_options()); }

// --- opening files -------------------------------------------------------------

OpenResult EmulatorHost::open_file(const std::string& path, OpenFlags flags) {
    switch (detect_file_kind(path)) {
        case FileKind::ChunkedState:
        case FileKind::RealTimeSave: return load_state_file(path, flags);
        case FileKind::Image:
        case FileKind::Unreadable: break;
    }
    return load_image(path, flags);
}

bool EmulatorHost::save_previous_battery(OpenResult& result, OpenFlags flags) {
    if (!gamepak_loaded() || flags.skip_battery_save || !options().write_battery_ram) return true;
    if (!battery_.write_at_close(machine_->cart)) return true;
    const BatteryWrite saved = battery_.write(machine_->cart, battery_folders());
    if (saved.ok) return true;
    result.status = OpenStatus::BatterySaveFailed;
    result.message = message(kSaveBackupRamCaption, saved.message, MessageIcon::Warning, saved.problem);
    return false;
}

OpenResult EmulatorHost::load_with_loader(const std::string& path, OpenFlags flags,
                                          const std::function<LoadResult(const LoadOptions&)>& load) {
    OpenResult result;
    result.kind = FileKind::Image;
    if (!save_previous_battery(result, flags)) return result;

    Machine& m = *machine_;
    const bool game_boy = upper_case(path_extension(path)) == ".GB";
    result.load = load(load_options());
    const LoadResult& r = result.load;
    if (!r.message.empty()) {
        const std::string problem = r.loaded() ? path : file_problem(path, load_failure_reason(r, path));
        result.message = message(r.caption.empty() ? kLoadGamepakCaption : r.caption.c_str(), r.message, r.icon, problem);
    }
    if (!r.loaded()) return result;
    result.status = OpenStatus::Opened;
    if (game_boy) return result;  // the Super Game Boy cartridge stays, with its battery RAM

    battery_.remember(m.cart);
    battery_problem_told_ = false;
    skip_countdown_ = 0;
    rewind_.clear();  // another cartridge: the history belongs to the one before
    if (log_) trace_log_write_load(*log_, m.cart.image_path, rom_information(m.cart));
    return result;
}

void EmulatorHost::set_log(TraceLog* log) {
    log_ = log;
    HostHooks& hooks = machine_->host;
    hooks.log = log;
    hooks.log_line = log ? +[](void* l, std::string_view line) { trace_log_write_line(*static_cast<TraceLog*>(l), line); }
                         : nullptr;
}

OpenResult EmulatorHost::load_image(const std::string& path, OpenFlags flags) {
    std::string reason;
    if (detect_file_kind(path, &reason) == FileKind::Unreadable) {
        // Nothing to load: the previous machine runs on, its battery RAM unwritten.
        OpenResult result;
        result.message = message(kLoadGamepakCaption, kFileCouldNotBeLoaded, MessageIcon::Error,
                                 file_problem(path, reason));
        return result;
    }
    Machine& m = *machine_;
    return load_with_loader(path, flags, [&](const LoadOptions& o) { return load_gamepak(m, path, o); });
}

OpenResult EmulatorHost::load_demo(const std::string& data_folder, OpenFlags flags) {
    Machine& m = *machine_;
    return load_with_loader(join_path(data_folder, kDemoImageFileName), flags,
                            [&](const LoadOptions& o) { return load_builtin_demo(m, o, data_folder); });
}

OpenResult EmulatorHost::load_state_file(const std::string& path, OpenFlags flags) {
    OpenResult result;
    std::string reason;
    result.kind = detect_file_kind(path, &reason);
    const char* caption = result.kind == FileKind::RealTimeSave ? kLoadRtsCaption : kStateManagerCaption;
    if (result.kind == FileKind::Unreadable) {
        result.message = message(caption, kStateLoadFailed, MessageIcon::Error, file_problem(path, reason));
        return result;
    }
    if (result.kind == FileKind::Image) {
        result.message = message(caption, kNotAState, MessageIcon::Error, path);
        return result;
    }
    if (!gamepak_loaded()) {
        result.message = message(caption, kNoGamepakForState, MessageIcon::Error, path);
        return result;
    }
    // The game's own recent changes reach its file before the state replaces them.
    flush_battery_ram();

    OpenResult loaded = result.kind == FileKind::RealTimeSave ? load_rts(path) : load_chunked_state(path, flags);
    loaded.kind = result.kind;
    if (loaded.opened()) battery_.state_loaded(machine_->cart);
    return loaded;
}

OpenResult EmulatorHost::load_rts(const std::string& path) {
    OpenResult result;
    std::string error;
    if (vt::load_rts(*machine_, path, &error)) {
        result.status = OpenStatus::Opened;
        return result;
    }
    if (error.empty()) {
        result.message = message(kLoadRtsCaption, kNotARealTimeSave, MessageIcon::Error, path);
    } else {
        result.message = message(kLoadRtsCaption, error, MessageIcon::Error, path);
    }
    return result;
}

// A state recording another cartridge than the loaded one is refused by
// the state reader until the user says to load it anyway: OtherCartridge,
// then accept_other_cartridge.
OpenResult EmulatorHost::load_chunked_state(const std::string& path, OpenFlags flags) {
    OpenResult result;
    std::string error;
    StateOptions state_options = options().state;
    state_options.load_other_cartridge = flags.accept_other_cartridge;
    StateLoadInfo info;
    if (load_state(*machine_, path, state_options, &error, &info)) {
        result.status = OpenStatus::Opened;
        return result;
    }
    if (info.other_cartridge) {
        result.status = OpenStatus::OtherCartridge;
        result.message = message(kStateManagerCaption, kOtherCartridgeQuestion, MessageIcon::Warning,
                                 file_problem(path, error));
        return result;
    }
    result.message = message(kStateManagerCaption, kStateLoadFailed, MessageIcon::Error, file_problem(path, error));
    return result;
}

bool EmulatorHost::save_state_file(const std::string& path, const std::string& description, const std::string& author,
                                   std::string* problem) {
    if (!gamepak_loaded()) {
        if (problem) *problem = file_problem(path, "no Gamepak is loaded");
        return false;
    }
    if (stopped_inside_frame()) {
        if (problem) *problem = file_problem(path, kStoppedInsideFrame);
        return false;
    }
    std::string error;
    if (write_file_atomically(path, state_file_bytes(*machine_, description, author, options().state), &error)) {
        return true;
    }
    if (problem) *problem = file_problem(path, error);
    return false;
}

bool EmulatorHost::save_rts_file(const std::string& path, std::string* problem) {
    if (!gamepak_loaded()) {
        if (problem) *problem = file_problem(path, "no Gamepak is loaded");
        return false;
    }
    if (stopped_inside_frame()) {
        if (problem) *problem = file_problem(path, kStoppedInsideFrame);
        return false;
    }
    std::string error;
    if (write_file_atomically(path, rts_file_bytes(*machine_), &error)) return true;
    if (problem) *problem = file_problem(path, error);
    return false;
}

// --- battery RAM -----------------------------------------------------------------

BatteryWrite EmulatorHost::save_battery_ram() {
    if (!gamepak_loaded()) return {};
    return battery_.write(machine_->cart, battery_folders());
}

BatteryWrite EmulatorHost::save_battery_ram_at_close() {
    if (!gamepak_loaded() || !options().write_battery_ram) return {};
    if (!battery_.write_at_close(machine_->cart)) return {};
    return battery_.write(machine_->cart, battery_folders());
}

BatteryWrite EmulatorHost::flush_battery_ram() {
    if (!battery_ram_changed() || !options().write_battery_ram) return {};
    return battery_.write(machine_->cart, battery_folders());
}

bool EmulatorHost::battery_ram_changed() const { return gamepak_loaded() && battery_.changed(machine_->cart); }

void EmulatorHost::poll_battery_ram() {
    if (!gamepak_loaded() || !battery_.due(now())) return;
    if (!battery_.changed(machine_->cart) || !options().write_battery_ram) return;
    const BatteryWrite w = battery_.write(machine_->cart, battery_folders());
    if (w.ok) {
        battery_problem_told_ = false;
    } else if (!battery_problem_told_) {
        battery_problem_told_ = true;
        if (battery_problem_hook_) battery_problem_hook_(w.problem);
    }
}

// --- run control -------------------------------------------------------------------

void EmulatorHost::hold() { holds_++; }

void EmulatorHost::release() {
    if (holds_ > 0) holds_--;
}

RunState EmulatorHost::run_state() const {
    if (!gamepak_loaded()) return RunState::NoGamepak;
    if (holds_ != 0) return RunState::Held;
    if (paused_) return RunState::Paused;
    return RunState::Running;
}

void EmulatorHost::set_title(const char* title) {
    if (title_ == title) return;
    title_ = title;
    if (title_hook_) title_hook_(title);
}

bool EmulatorHost::idle_turn() {
    switch (run_state()) {
        case RunState::NoGamepak: return false;
        case RunState::Held: set_title(kStoppedTitle); return false;
        case RunState::Paused: set_title(kPausedTitle); return false;
        case RunState::Running: break;
    }
    run_frame();
    return true;
}

bool EmulatorHost::advance_frame() {
    if (run_state() != RunState::Paused) return false;
    run_frame();
    return true;
}

void EmulatorHost::run_frame() {
    Machine& m = *machine_;
    m.host.draw_frame = skip_countdown_ == 0;
    vt::run_frame(m);
    if (stopped_inside_frame()) return;  // the debugger stopped it; the frame goes on later
    if (--skip_countdown_ < 0) skip_countdown_ = frame_skip_;
    if (rewind_on_) rewind_.capture(m);
    if (run_state() == RunState::Running) set_title(kRunningTitle);
    poll_battery_ram();
}

void EmulatorHost::set_rewind_enabled(bool on) {
    rewind_on_ = on;
    if (!on) rewind_.clear();
}

bool EmulatorHost::rewind_step() {
    Machine& m = *machine_;
    if (!gamepak_loaded() || !rewind_.step_back(m)) return false;
    // The picture of the frame that follows the restored state.
    m.host.draw_frame = true;
    vt::run_frame(m);
    skip_countdown_ = 0;
    return true;
}

bool EmulatorHost::stopped_inside_frame() const {
    return gamepak_loaded() && machine_->timing.point != DriverPoint::FrameStart;
}

void EmulatorHost::set_frame_skip(int frames) {
    frame_skip_ = frames < 0 ? 0 : frames > kMaxFrameSkip ? kMaxFrameSkip : frames;
    skip_countdown_ = 0;
}

void EmulatorHost::reset() {
    if (gamepak_loaded()) machine_reset(*machine_);
}

}  // namespace vt
