// The emulator host: everything around the machine that the desktop program
// and the headless runner share, so that they cannot disagree. It owns the
// machine and decides when it runs (a Gamepak loaded, nothing holding it,
// not paused), applies the frame skip, keeps the window title in step,
// opens files and tells images, chunked states and real-time saves apart by
// their content, holds the load options, writes the program's log lines for
// each load, and keeps battery RAM files in step with the game (see
// battery_keeper.h). It shows nothing itself: failures come back as
// messages for the program to show, questions as statuses to ask about.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "cart/loader.h"
#include "frontend/battery_keeper.h"
#include "frontend/file_kind.h"
#include "frontend/rewind_buffer.h"
#include "state/state_file.h"

namespace vt {

struct Machine;
struct TraceLog;

inline constexpr const char* kRunningTitle = "Veltrane [Running]";
inline constexpr const char* kStoppedTitle = "Veltrane [Stopped]";
inline constexpr const char* kPausedTitle = "Veltrane [Paused]";
inline constexpr int kMaxFrameSkip = 4;
// Why a state is not written while the debugger holds the machine in the
// middle of a frame: states are taken between frames, and one taken there
// would not load back the same.
inline constexpr const char* kStoppedInsideFrame =
    "the machine is stopped inside a frame; run to the end of the frame first";
// Asked (Yes/No) when a state records another cartridge than the loaded one.
inline constexpr const char* kOtherCartridgeQuestion =
    "This state was saved with another Gamepak.  \rLoad it anyway?";

// A message for the user: a message box in the desktop program, lines on
// stderr in the runner.
struct HostMessage {
    std::string caption;
    std::string text;  // the program's fixed wording, CR between lines
    MessageIcon icon = MessageIcon::None;
    std::string problem;  // the file concerned and the reason, "<path>: <reason>"
    bool empty() const { return text.empty(); }
};

struct HostOptions {
    std::string program_folder;  // "Veltrane.db", "BS-X.SFC", "autoexec.bin"; empty: none
    std::string backup_folder;   // battery RAM files; empty: beside the image
    std::string data_folder;     // the program's own files ("BS-X.SRM" without a BackupRAM folder)
    BackupFormat backup_format = BackupFormat::Srm;
    bool auto_create_backup_header = false;
    uint8_t wram_fill = 0x55;
    RegionOverride region = RegionOverride::Auto;
    StateOptions state;  // what chunked states carry
    // Battery RAM files are written (at close, before another load, and
    // while the game runs). The runner's --no-battery-save clears it.
    bool write_battery_ram = true;
};

enum class OpenStatus : uint8_t {
    Opened,
    Failed,             // nothing changed; the message says why
    BatterySaveFailed,  // nothing changed: the previous cartridge's battery RAM could not be
                        // written. Ask OK (stop) / Cancel (open again with skip_battery_save)
    OtherCartridge,     // a state made for another cartridge; nothing changed. Ask, and open
                        // again with accept_other_cartridge to load it anyway
};

struct OpenFlags {
    bool skip_battery_save = false;       // go on without writing the previous battery RAM
    bool accept_other_cartridge = false;  // load a state made for another cartridge
};

struct OpenResult {
    FileKind kind = FileKind::Unreadable;
    OpenStatus status = OpenStatus::Failed;
    HostMessage message;  // shown when not empty, whatever the status
    LoadResult load;      // images: the loader's result (over-dump, incomplete image)
    bool opened() const { return status == OpenStatus::Opened; }
};

enum class RunState : uint8_t { NoGamepak, Running, Held, Paused };

class EmulatorHost {
public:
    // Seconds on a monotonic clock; tests give their own.
    using Clock = std::function<double()>;

    explicit EmulatorHost(Clock clock = {});
    ~EmulatorHost();
    EmulatorHost(const EmulatorHost&) = delete;
    EmulatorHost& operator=(const EmulatorHost&) = delete;

    Machine& machine() { return *machine_; }
    const Machine& machine() const { return *machine_; }
    bool gamepak_loaded() const;

    // --- options, log and title ---------------------------------------------
    // Fixed options (the runner), or a source asked each time they are
    // needed (the desktop program reads its settings, so changes made in
    // its dialogs apply at once).
    void set_options(const HostOptions& options);
    void set_options_source(std::function<HostOptions()> source);
    HostOptions options() const;
    LoadOptions load_options() const;
    BatteryFolders battery_folders() const;

    // The program's log: the "loaded" line and ROM Information block of
    // every load go there, and the lines the cartridge chips write. Not
    // owned; may be null.
    void set_log(TraceLog* log);
    // Called with kRunningTitle when frames start running, kStoppedTitle
    // when a hold stops them and kPausedTitle when the user pauses.
    void set_title_hook(std::function<void(const char* title)> hook) { title_hook_ = std::move(hook); }
    // Called once when a battery RAM write while running fails (not again
    // until one succeeds), with the file and the reason.
    void set_battery_problem_hook(std::function<void(const std::string& problem)> hook) {
        battery_problem_hook_ = std::move(hook);
    }

    // --- opening files ---------------------------------------------------------
    // An image, a chunked state or a real-time save, told apart by content.
    OpenResult open_file(const std::string& path, OpenFlags flags = {});
    // A cartridge image (a ".GB" file goes into the Super Game Boy). The
    // previous cartridge's battery RAM is written first; when the new image
    // cannot be loaded the previous machine runs on untouched.
    OpenResult load_image(const std::string& path, OpenFlags flags = {});
    // The built-in demo cartridge, its battery RAM in `data_folder`.
    OpenResult load_demo(const std::string& data_folder, OpenFlags flags = {});
    // A chunked state or a real-time save into the loaded cartridge.
    OpenResult load_state_file(const std::string& path, OpenFlags flags = {});

    // Whether the debugger has stopped the machine in the middle of a frame
    // (a breakpoint, a watch, a single step).
    bool stopped_inside_frame() const;
    // Writes a chunked state (description and author go into its metadata)
    // or a real-time save. False with the file and the reason in `problem`;
    // refused while the machine is stopped inside a frame.
    bool save_state_file(const std::string& path, const std::string& description, const std::string& author,
                         std::string* problem = nullptr);
    bool save_rts_file(const std::string& path, std::string* problem = nullptr);

    // --- battery RAM -------------------------------------------------------------
    // "Save BackupRAM": writes now, whatever changed.
    BatteryWrite save_battery_ram();
    // Closing the program or the cartridge: writes unless battery RAM holds
    // a loaded state's content that the game has not touched since.
    BatteryWrite save_battery_ram_at_close();
    // Writes battery RAM the game changed when a check is due (about once a
    // second). Frames call it; the program's run loop may call it between
    // frames too. A failure is reported once through the problem hook.
    void poll_battery_ram();
    // Writes battery RAM the game changed, now (the program loses focus,
    // a state is about to replace it).
    BatteryWrite flush_battery_ram();
    bool battery_ram_changed() const;

    // --- run control --------------------------------------------------------------
    // Windows that must freeze the machine hold it while they are open.
    void hold();
    void release();
    uint32_t hold_count() const { return holds_; }
    void set_paused(bool paused) { paused_ = paused; }
    bool paused() const { return paused_; }
    RunState run_state() const;

    // One turn of the program's run loop: runs a frame when the machine may
    // run, else shows the stopped or paused title once. True when a frame ran.
    bool idle_turn();
    // Frame advance: while paused (and not held), runs exactly one frame and
    // stays paused. True when a frame ran.
    bool advance_frame();
    // Runs one frame now, whatever holds it: the frame skip decides whether
    // its picture is drawn; battery RAM is checked afterwards.
    void run_frame();
    // Frames emulated but not drawn after each drawn one, 0-4 (the Frame
    // Rate menu). The next frame is drawn.
    void set_frame_skip(int frames);
    int frame_skip() const { return frame_skip_; }

    // The console's reset button.
    void reset();

    // --- rewind ------------------------------------------------------------------
    // While on, every frame run by run_frame is kept in the rewind history
    // (cleared when another cartridge is loaded). Off forgets the history.
    void set_rewind_enabled(bool on);
    bool rewind_enabled() const { return rewind_on_; }
    // One step backwards: the machine goes back to the state kept before
    // the newest and runs one frame from there to draw its picture (not
    // kept, no battery RAM check). False when the history is used up.
    bool rewind_step();
    const RewindBuffer& rewind_history() const { return rewind_; }

private:
    OpenResult load_with_loader(const std::string& path, OpenFlags flags,
                                const std::function<LoadResult(const LoadOptions&)>& load);
    OpenResult load_rts(const std::string& path);
    OpenResult load_chunked_state(const std::string& path, OpenFlags flags);
    bool save_previous_battery(OpenResult& result, OpenFlags flags);
    void set_title(const char* title);
    double now() const;

    std::unique_ptr<Machine> machine_;
    Clock clock_;
    std::function<HostOptions()> options_source_;
    TraceLog* log_ = nullptr;
    std::function<void(const char*)> title_hook_;
    std::function<void(const std::string&)> battery_problem_hook_;
    BatteryKeeper battery_;
    bool battery_problem_told_ = false;

    uint32_t holds_ = 0;
    bool paused_ = false;
    const char* title_ = nullptr;  // the title last given to the hook
    int frame_skip_ = 0;
    int skip_countdown_ = 0;  // the next frame is drawn when 0

    bool rewind_on_ = false;
    RewindBuffer rewind_;
};

// Holds the host's machine for as long as it lives (a dialog that must
// freeze the machine while it is open).
class HostHold {
public:
    explicit HostHold(EmulatorHost& host) : host_(host) { host_.hold(); }
    ~HostHold() { host_.release(); }
    HostHold(const HostHold&) = delete;
    HostHold& operator=(const HostHold&) = delete;

private:
    EmulatorHost& host_;
};

}  // namespace vt
