// The main window: the console picture, the menus from which every command
// and dialog is reached, the run loop, the settings and the input devices.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cart/loader.h"
#include "core/machine.h"
#include "debug/trace_log.h"
#include "frontend/audio_ring.h"
#include "frontend/data_folder.h"
#include "frontend/emulator_host.h"
#include "frontend/frame_pacing.h"
#include "frontend/input_devices.h"
#include "frontend/reload_check.h"
#include "frontend/settings.h"
#include "qt/message_box.h"

class QActionGroup;
class QMenu;
class QMenuBar;

namespace vt::gui {

class DebuggerWindows;
class PictureView;
class PropertiesWindow;
class DisplayDialog;
class InputDialog;
class SdlAudio;
class Gamepads;

// The window's picture area at its normal size; the window can be resized
// and the picture scales with it.
inline constexpr int kClientWidth = 512;
inline constexpr int kClientHeight = 476;
// Shown after the title while the pointer is captured for the console
// mouse or the Super Scope.
inline constexpr const char* kMouseCapturedTitle = " - Escape releases the mouse";

inline constexpr const char* kLoadFilter =
    "Super Nintendo (*.fig;*.sfc;*.smc;*.swc)|*.smc;*.swc;*.sfc;*.fig|Super Wildcard (*.swc;*.1)|*.swc;*.1|Game "
    "Doctor (sf*;*.058;*.078)|*.058;*.078;sf?????a;sf????;sf?????|Real-time Save (*.rts)|*.rts|Nintendo "
    "(*.nes)|*.nes|All Files (*.*)|*.*";
inline constexpr const char* kSaveAsFilter =
    "Super Nintendo Files (*.smc;*.swc;*.sfc,*.fig)|*.smc;*.swc;*.sfc;*.fig|Real-Time Save Files "
    "(*.rts)|*.rts|Nintendo Files (*.nes)|*.nes|All Files (*.*)|*.*";
inline constexpr const char* kRtsFilter = "Real-time Save (*.rts)|*.rts";

// A file dialog as the window asks for one.
struct FileRequest {
    bool save = false;
    QString title;
    QString folder;
    QString file_name;
    QString filter;    // "description|patterns|..." as written
    int filter_index = 1;  // 1-based, in and out
};
// Returns the chosen path, empty on Cancel.
using FileChooser = std::function<QString(QWidget* parent, FileRequest& request)>;

struct MainWindowOptions {
    QString settings_file;              // empty: the user's settings ("Veltrane")
    bool open_sound = true;
    // The sound system SDL is to use (empty: its own choice); tests name one
    // that does not exist to start without sound.
    QString audio_driver;
    bool open_gamepads = true;          // game controllers through SDL
    // Seconds on a monotonic clock for pacing frames; empty: the real one.
    std::function<double()> clock;
    // Where "Load Demo" keeps the demo's battery RAM; empty: the program's
    // data folder.
    QString demo_data_folder;
    // The program's log, kept in its data folder rather than in whatever
    // folder it was started from. Empty: no log file.
    QString trace_log_path = QString::fromStdString(program_log_path());
    QString program_folder;             // empty: the executable's folder
    MessageSink messages;               // empty: real message boxes
    FileChooser choose_file;            // empty: real file dialogs
    // Ends the process after a stop signal closed the window (its
    // settings and battery RAM written). Tests keep the process alive.
    std::function<void(int status)> exit_process;  // empty: _Exit
};

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(MainWindowOptions options = {}, QWidget* parent = nullptr);
    ~MainWindow() override;

    Machine& machine() { return host_.machine(); }
    EmulatorHost& host() { return host_; }
    Settings& settings() { return settings_; }
    InputDevices& input_devices() { return devices_; }
    PictureView* picture_view() const { return view_; }
    SdlAudio* audio() const { return audio_.get(); }
    Gamepads* gamepads() const { return gamepads_.get(); }

    // Load Gamepak with its messages and questions; true when it loaded.
    // When the file cannot be loaded the previous machine runs on.
    bool load_gamepak_file(const std::string& path);
    // A file from the Load dialog, the Reload list, a drop or the command
    // line: states (chunked or real-time, told by content, and every ".rts"
    // file) go to the state loader, everything else to the Gamepak loader.
    void open_file(const std::string& path);
    // The built-in demo cartridge, the program's content when it is started
    // without a file; its battery RAM lives in `data_folder`.
    bool load_demo(const std::string& data_folder);
    // A file named on the command line. When it cannot be loaded the demo
    // runs under the message instead of an empty window.
    void open_start_file(const std::string& path, const std::string& demo_folder);

    // One turn of the run loop: a frame when one is due and nothing holds
    // the machine (or a step back while rewinding). Controllers are read
    // at every turn, frames or not.
    void idle_turn();
    // The program became the active application or stopped being it. The
    // window starts active: frames run from the start, whatever the
    // window system says about focus. Losing it pauses (when the setting
    // says so) until it comes back.
    void set_application_active(bool active);
    bool application_active() const { return active_; }

    bool full_screen() const { return full_screen_; }
    void enter_full_screen();
    void leave_full_screen();
    void toggle_full_screen();

    // --- playing (main_window_play.cpp) -----------------------------------
    void set_paused(bool paused);
    bool paused() const;
    void frame_advance();
    // F1-F10 and Shift+F1-F10: slots 1-10, no dialog, a notice either way.
    void quick_load(int slot);
    void quick_save(int slot);
    int quick_slot() const { return settings_.quick_slot; }
    // Backspace held: the game runs backwards through its history.
    void set_rewinding(bool on);
    bool rewinding() const { return rewinding_; }
    // Tab held, or the toggle: frames as fast as the speed setting allows.
    void set_fast_forward_held(bool held);
    void toggle_fast_forward();
    bool fast_forward() const { return fast_forward_held_ || fast_forward_toggled_; }
    // Applies the playing settings (scaling, rewind, sound) after a change.
    void apply_play_settings();
    // Size and place from the settings (centred when none is stored or it
    // is off every screen).
    void restore_window_place();
    // The title as shown: run state and, while captured, the mouse's release key.
    QString title_text() const;

    // --- the pointer, for the console mouse and the Super Scope ------------
    bool mouse_captured() const { return mouse_captured_; }
    void release_mouse_capture();

    // Menu states are brought up to date when a menu opens.
    void update_gamepak_menu();
    void update_input_menu();
    void update_tools_menu();
    void update_frame_rate_menu();

    // Asks through the window's message sink.
    BoxAnswer ask(const std::string& caption, const std::string& text, BoxIcon icon, BoxButtons buttons);
    QString choose_file(FileRequest& request);

    // Writes the settings now (also done when the window goes away).
    void save_settings();

    // SIGTERM, SIGINT or SIGHUP: closes as Exit does (battery RAM and
    // settings written), asking nothing: a battery RAM file that cannot be
    // written is reported on stderr. Then the process ends with 128 + the
    // signal, whatever dialog was open.
    void close_for_signal(int signal);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build_menus();
    void read_settings();
    void apply_input_bindings();
    void after_load();
    void offer_overdump_fix(const LoadResult& result);
    void open_sound();
    BoxAnswer show_host_message(const HostMessage& message, BoxButtons buttons = BoxButtons::Ok);
    HostOptions host_options() const;
    bool save_battery_ram_asking();  // false: the user chose to stay

    // Commands (main_window_commands.cpp).
    void cmd_load();
    void cmd_properties();
    void cmd_save_png();
    void cmd_reset();
    void cmd_save_backup_ram();
    void cmd_save_rts();
    void cmd_set_device(int port, uint8_t device);
    void cmd_configure_input();
    void cmd_display_options();
    void cmd_folder_preferences();
    void cmd_frame_rate(int item);
    void cmd_state_manager();
    void cmd_transfer_gamepak();
    void cmd_configure_tools();
    void cmd_release_notes();
    void cmd_about();

    // Playing commands and menus (main_window_play.cpp).
    void build_control_menu(QMenuBar* bar);
    void add_play_options(QMenu* options);
    void update_control_menu();
    void update_picture_menu();
    bool play_key_pressed(QKeyEvent* event);   // true when the key was one of the program's
    bool play_key_released(QKeyEvent* event);
    void cmd_load_demo();
    void cmd_emulation_settings();
    void cmd_audio_settings();
    void notify(const std::string& text);
    void update_indicator();
    void rewind_turn();
    void remember_window_place();
    void place_properties_window();

    // Controllers (main_window_input.cpp).
    void poll_gamepads();
    void release_pad_buttons();

    // Run loop.
    void schedule_next_turn();
    double now_seconds() const;
    void feed_sound();
    void restart_pacing();

    // Mouse and Super Scope.
    void mouse_press(QMouseEvent* event);
    void mouse_move(QMouseEvent* event);
    void mouse_release(QMouseEvent* event);
    void update_cursor();
    bool mouse_device_selected() const;
    void update_mouse_capture();
    void capture_mouse();
    void refresh_title();

    static void host_present_frame(void* user, Machine& m);
    static void host_frame_input(void* user, Machine& m);

    MainWindowOptions options_;
    EmulatorHost host_;
    InputDevices devices_;
    Settings settings_;
    bool settings_read_ = false;  // nothing to write back before they are read
    TraceLog log_;
    ReloadCheck reload_;
    std::string program_folder_;

    PictureView* view_ = nullptr;
    QPointer<PropertiesWindow> properties_;
    QPointer<DisplayDialog> display_;
    std::unique_ptr<DebuggerWindows> debugger_;  // the inspector and the viewers

    // Sound and pacing.
    AudioRing ring_;
    std::unique_ptr<SdlAudio> audio_;
    FramePacer pacer_;
    double sound_carry_ = 0.0;
    std::vector<int16_t> stretched_;
    QTimer frame_timer_;
    QElapsedTimer clock_;
    bool active_ = true;
    bool inactive_hold_ = false;  // the machine is held because the program is in the background
    bool fast_forward_held_ = false;
    bool fast_forward_toggled_ = false;
    bool rewinding_ = false;
    bool in_turn_ = false;
    QString run_title_;  // the host's part of the title
    // Questions and file dialogs open: no frames, the title unchanged.
    int modal_pauses_ = 0;
    // While set, plain messages are kept here instead of shown (see open_start_file).
    std::optional<std::vector<BoxRequest>> held_messages_;

    // Host mouse motion since the last frame.
    QPoint last_mouse_{-1, -1};
    int mouse_dx_ = 0;
    int mouse_dy_ = 0;
    bool mouse_left_ = false;
    bool mouse_right_ = false;
    bool mouse_captured_ = false;
    bool mouse_released_by_user_ = false;  // Escape let it go: a click takes it again

    // Game controllers and the console buttons they hold on each port.
    std::unique_ptr<Gamepads> gamepads_;
    std::array<uint16_t, 2> pad_held_{};
    QPointer<InputDialog> input_dialog_;

    bool full_screen_ = false;
    QRect normal_geometry_;  // the window's place before full screen

    // Menus.
    QMenu* gamepak_menu_ = nullptr;
    QMenu* reload_menu_ = nullptr;
    QMenu* input_menu_ = nullptr;
    QMenu* device_menu_[2] = {nullptr, nullptr};
    QMenu* tools_menu_ = nullptr;
    QAction* properties_action_ = nullptr;
    QAction* save_backup_action_ = nullptr;
    QAction* save_rts_action_ = nullptr;
    QAction* inspector_action_ = nullptr;
    QAction* transfer_action_ = nullptr;
    QAction* state_manager_action_ = nullptr;
    QAction* frame_rate_actions_[5] = {};
    QActionGroup* device_groups_[2] = {nullptr, nullptr};
    QAction* full_screen_action_ = nullptr;
    QAction* pause_action_ = nullptr;
    QAction* frame_advance_action_ = nullptr;
    QAction* fast_forward_action_ = nullptr;
    QAction* quick_load_actions_[10] = {};
    QAction* quick_save_actions_[10] = {};
    QAction* scale_actions_[2] = {};
    QAction* smooth_action_ = nullptr;
};

}  // namespace vt::gui
