// The main window: the console picture, the menus from which every command
// and dialog is reached, the run loop, the settings and the input devices.
#pragma once

#include <QElapsedTimer>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
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

namespace vt::gui {

class PictureView;
class PropertiesWindow;
class DisplayDialog;
class SdlAudio;

inline constexpr int kClientWidth = 512;
inline constexpr int kClientHeight = 476;

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

    // One turn of the run loop: a frame when one is due and nothing holds
    // the machine.
    void idle_turn();
    // The program became the active application or stopped being it.
    void set_application_active(bool active);
    bool application_active() const { return active_; }

    bool full_screen() const { return full_screen_; }
    void enter_full_screen();
    void leave_full_screen();

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
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void build_menus();
    void read_settings();
    void apply_input_bindings();
    void after_load();
    void offer_overdump_fix(const LoadResult& result);
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

    // Sound and pacing.
    AudioRing ring_;
    std::unique_ptr<SdlAudio> audio_;
    FramePacer pacer_;
    double sound_carry_ = 0.0;
    std::vector<int16_t> stretched_;
    QTimer frame_timer_;
    QElapsedTimer clock_;
    bool active_ = false;
    bool fast_forward_ = false;
    // Message boxes and file dialogs open: no frames, the title unchanged.
    int modal_pauses_ = 0;

    // Host mouse motion since the last frame.
    QPoint last_mouse_{-1, -1};
    int mouse_dx_ = 0;
    int mouse_dy_ = 0;
    bool mouse_left_ = false;
    bool mouse_right_ = false;

    bool full_screen_ = false;

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
};

}  // namespace vt::gui
