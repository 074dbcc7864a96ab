#include "qt/main_window.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLayout>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QSettings>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "audio/dsp.h"
#include "cart/image_files.h"
#include "frontend/demo_cartridge.h"
#include "frontend/file_filter.h"
#include "frontend/menu_rules.h"
#include "frontend/notices.h"
#include "frontend/overdump_choice.h"
#include "frontend/recent_files.h"
#include "qt/debugger_windows.h"
#include "qt/display_dialog.h"
#include "qt/icons.h"
#include "qt/input_dialog.h"
#include "qt/key_codes.h"
#include "qt/picture_view.h"
#include "qt/properties_window.h"
#include "qt/sdl_audio.h"
#include "qt/sdl_gamepads.h"
#include "qt/settings_store.h"
#include "qt/stop_signals.h"
#include "qt/video_bridge.h"
#include "state/atomic_file.h"

namespace vt::gui {

namespace {

constexpr size_t kRingFrames = 8192;  // about 0.19 s of sound

std::unique_ptr<QSettings> open_settings(const QString& file) {
    if (file.isEmpty()) return std::make_unique<QSettings>(QStringLiteral("Veltrane"), QStringLiteral("Veltrane"));
    return std::make_unique<QSettings>(file, QSettings::IniFormat);
}

BoxIcon box_icon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Error: return BoxIcon::Error;
        case MessageIcon::Warning: return BoxIcon::Warning;
        default: return BoxIcon::None;
    }
}

// A message box's text with the file concerned and the reason below it.
std::string text_naming_the_file(const std::string& text, const std::string& problem) {
    if (problem.empty()) return text;
    return text + "\r\r" + problem;
}

QString default_file_dialog(QWidget* parent, FileRequest& r) {
    QFileDialog dialog(parent, r.title, r.folder);
    QStringList names;
    for (const FileFilter& f : parse_file_filter(r.filter.toStdString())) {
        QStringList patterns;
        for (const std::string& p : f.patterns) patterns << QString::fromStdString(p);
        // Qt reads the patterns from the last parentheses; the description
        // keeps its own text.
        names << QString::fromStdString(f.description) + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                     QLatin1Char(')');
    }
    dialog.setNameFilters(names);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    if (r.filter_index >= 1 && r.filter_index <= names.size()) dialog.selectNameFilter(names[r.filter_index - 1]);
    if (r.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
    }
    if (!r.file_name.isEmpty()) dialog.selectFile(r.file_name);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return QString();
    r.filter_index = int(names.indexOf(dialog.selectedNameFilter())) + 1;
    return dialog.selectedFiles().first();
}

}  // namespace

MainWindow::MainWindow(MainWindowOptions options, QWidget* parent)
    : QMainWindow(parent),
      options_(std::move(options)),
      devices_(host_.machine().input),
      ring_(kRingFrames) {
    // A stop signal from here on closes the window properly, even while a
    // message box below is open.
    if (StopSignals* stop = StopSignals::instance())
        connect(stop, &StopSignals::stop_requested, this, &MainWindow::close_for_signal);

    Machine& m = host_.machine();
    m.host.user = this;
    m.host.present_frame = &MainWindow::host_present_frame;
    m.host.frame_input = &MainWindow::host_frame_input;
    host_.set_title_hook([this](const char* title) {
        run_title_ = QString::fromLatin1(title);
        refresh_title();
    });
    host_.set_options_source([this] { return host_options(); });
    host_.set_log(&log_);
    host_.set_battery_problem_hook([](const std::string& problem) {
        std::fprintf(stderr, "veltrane: cannot write battery RAM to %s\n", problem.c_str());
    });

    program_folder_ = options_.program_folder.isEmpty() ? QCoreApplication::applicationDirPath().toStdString()
                                                        : options_.program_folder.toStdString();

    setWindowTitle(QStringLiteral("Veltrane"));

    // The log file comes first: its failure is the first thing to report.
    if (!options_.trace_log_path.isEmpty() && !trace_log_create(log_, options_.trace_log_path.toStdString()))
        ask("Veltrane", kTraceLogCreateFailed, BoxIcon::Warning, BoxButtons::Ok);

    read_settings();
    settings_read_ = true;

    view_ = new PictureView(this);
    view_->set_picture(picture_pixels(m), picture_stride());
    view_->on_mouse_press = [this](QMouseEvent* e) { mouse_press(e); };
    view_->on_mouse_move = [this](QMouseEvent* e) { mouse_move(e); };
    view_->on_mouse_release = [this](QMouseEvent* e) { mouse_release(e); };
    setCentralWidget(view_);
    build_menus();
    resize(sizeHint());  // the picture at twice the console's size
    layout()->activate();  // the picture area has its size before the window is shown

    load_colour_curve(m, program_folder_);
    apply_brightness(m, settings_.brightness);
    apply_input_bindings();

    if (options_.open_sound) open_sound();
    if (options_.open_gamepads) {
        gamepads_ = std::make_unique<Gamepads>();
        gamepads_->on_button_pressed = [this](uint8_t button) {
            if (input_dialog_) input_dialog_->controller_button_pressed(button);
        };
        gamepads_->on_connection = [this](bool connected, const std::string& name) {
            notify((connected ? "Controller connected: " : "Controller removed: ") + name);
        };
        StopSignals::reinstall_handlers();
    }
    apply_play_settings();

    setAcceptDrops(true);
    reload_check_rearm(reload_);
    frame_timer_.setSingleShot(true);
    frame_timer_.setTimerType(Qt::PreciseTimer);
    connect(&frame_timer_, &QTimer::timeout, this, [this] { idle_turn(); });
    clock_.start();
    // The run loop starts now, whatever the window system says about focus
    // (without a window manager the window may never be told it is
    // active); only a real change of the application's state pauses it.
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { set_application_active(state == Qt::ApplicationActive); });
    frame_timer_.start(0);
    view_->setFocus();
}

// No sound device is no reason to stop: one message, then silent frames
// paced by the clock.
void MainWindow::open_sound() {
    const std::string driver = options_.audio_driver.toStdString();
    audio_ = std::make_unique<SdlAudio>(ring_);
    bool opened = audio_->open(settings_.audio_device, driver);
    // A chosen device that has gone away: the system's default instead.
    if (!opened && !settings_.audio_device.empty()) opened = audio_->open({}, driver);
    if (!opened) {
        const std::string reason = audio_->error();
        audio_.reset();
        show_host_message({kNoSoundCaption, kNoSoundText, MessageIcon::Warning,
                           reason.empty() ? std::string() : "Reason: " + reason});
    }
    // Whatever the sound library did, the stop signals stay ours.
    StopSignals::reinstall_handlers();
}

MainWindow::~MainWindow() {
    frame_timer_.stop();
    save_settings();
    if (audio_) audio_->close();
    debugger_.reset();  // a trace in progress ends with its stop line
    trace_log_close(log_);
    // The host outlives nothing that calls back into this window.
    host_.machine().host = HostHooks{};
    host_.set_title_hook({});
    host_.set_options_source([options = host_options()] { return options; });
}

void MainWindow::close_for_signal(int signal) {
    frame_timer_.stop();
    const BatteryWrite saved = host_.save_battery_ram_at_close();
    if (!saved.ok) std::fprintf(stderr, "veltrane: cannot write battery RAM to %s\n", saved.problem.c_str());
    if (settings_read_) save_settings();
    debugger_.reset();
    trace_log_close(log_);
    std::fflush(stderr);
    const int status = 128 + signal;
    if (options_.exit_process) options_.exit_process(status);
    else std::_Exit(status);
}

// --- settings ---------------------------------------------------------

void MainWindow::read_settings() {
    auto store = open_settings(options_.settings_file);
    settings_ = settings_from_map(read_settings_store(*store));
    devices_.bindings = settings_.bindings;
}

void MainWindow::save_settings() {
    settings_.bindings = devices_.bindings;
    settings_.brightness = std::clamp(settings_.brightness, 0, 100);
    auto store = open_settings(options_.settings_file);
    write_settings_store(*store, settings_to_map(settings_));
}

void MainWindow::apply_input_bindings() {
    apply_bindings(devices_);
    release_pad_buttons();  // the records start with nothing held
    settings_.bindings = devices_.bindings;
    update_cursor();
}

// --- messages and file dialogs ---------------------------------------------

BoxAnswer MainWindow::ask(const std::string& caption, const std::string& text, BoxIcon icon, BoxButtons buttons) {
    BoxRequest r{QString::fromStdString(caption), QString::fromStdString(text), icon, buttons};
    // A question stops the frames without counting as a holding window (its
    // answer may change the machine); a plain message lets the game run on
    // under it.
    const bool question = buttons != BoxButtons::Ok;
    if (!question && held_messages_) {
        held_messages_->push_back(r);
        return BoxAnswer::Ok;
    }
    if (question) modal_pauses_++;
    BoxAnswer answer = options_.messages ? options_.messages(this, r) : show_message_box(this, r);
    if (question) modal_pauses_--;
    return answer;
}

QString MainWindow::choose_file(FileRequest& request) {
    modal_pauses_++;
    QString chosen = options_.choose_file ? options_.choose_file(this, request) : default_file_dialog(this, request);
    modal_pauses_--;
    return chosen;
}

// --- loading ---------------------------------------------------------------

// The host reads the settings each time it needs them, so changes made in
// the dialogs apply at once.
HostOptions MainWindow::host_options() const {
    HostOptions o;
    o.program_folder = program_folder_;
    o.backup_folder = settings_.backup_path;
    o.data_folder = default_demo_data_folder();
    o.backup_format = BackupFormat(settings_.backup_format >= 0 && settings_.backup_format <= 2 ? settings_.backup_format : 0);
    o.auto_create_backup_header = settings_.auto_create_header;
    o.wram_fill = settings_.wm_initial_value;
    o.state.sram_transfer = settings_.sram_transfer;
    o.state.bitmap_transfer = settings_.bitmap_transfer;
    return o;
}

BoxAnswer MainWindow::show_host_message(const HostMessage& message, BoxButtons buttons) {
    if (message.empty()) return BoxAnswer::Ok;
    return ask(message.caption, text_naming_the_file(message.text, message.problem), box_icon(message.icon), buttons);
}

bool MainWindow::load_gamepak_file(const std::string& path) {
    OpenResult r = host_.load_image(path);
    if (r.status == OpenStatus::BatterySaveFailed) {
        // OK stops the load; Cancel goes on without saving.
        if (show_host_message(r.message, BoxButtons::OkCancel) == BoxAnswer::Ok) return false;
        r = host_.load_image(path, OpenFlags{.skip_battery_save = true});
    }
    show_host_message(r.message);
    if (!r.opened()) return false;
    if (has_extension(path, ".GB")) {
        restart_pacing();
        return true;  // a Game Boy cartridge in the Super Game Boy: the Gamepak stays
    }
    add_recent_file(settings_.recent, path, recent_icon_for(machine().cart));
    settings_.last_directory = path_folder(path);
    after_load();
    if (r.load.overdumped) offer_overdump_fix(r.load);
    return true;
}

void MainWindow::after_load() {
    Machine& m = machine();
    reload_check_watch(reload_, m.cart.image_path, m.cart.file_date);
    if (properties_) properties_->refresh();
    update_frame_rate_menu();
    update_cursor();
    if (audio_) audio_->clear();
    restart_pacing();
    view_->update();
}

// The corrected image goes beside the original under a new name: the
// original is never offered as the target, so accepting can not replace
// the user's file by mistake. A declined correction is not asked about
// again for the same image.
void MainWindow::offer_overdump_fix(const LoadResult& r) {
    const std::string image = machine().cart.image_path;
    const uint32_t crc = machine().cart.crc32;
    if (overdump_declined(settings_.declined_overdumps, crc)) return;
    if (ask(kOverdumpCaption, kOverdumpQuestion, BoxIcon::None, BoxButtons::OkCancel) != BoxAnswer::Ok) {
        remember_declined_overdump(settings_.declined_overdumps, crc);
        return;
    }
    FileRequest request;
    request.save = true;
    request.title = QStringLiteral("Save As");
    request.folder = QString::fromStdString(path_folder(image));
    request.file_name = QString::fromStdString(trimmed_image_path(image));
    request.filter = QString::fromLatin1(kSaveAsFilter);
    request.filter_index = 1;
    QString chosen = choose_file(request);
    if (chosen.isEmpty()) return;
    std::string error;
    if (!write_file_atomically(chosen.toStdString(), r.corrected_image, &error)) {
        show_host_message({kOverdumpCaption,
                           "The specified file could not be written to disk.  \rMake sure the specified path exists.",
                           MessageIcon::Error, file_problem(chosen.toStdString(), error)});
        return;
    }
    notify("Saved corrected image " + path_file_name(chosen.toStdString()));
}

void MainWindow::open_start_file(const std::string& path, const std::string& demo_folder) {
    // Plain messages wait until it is known whether the file loaded: when it
    // did not, the demo runs under them instead of an empty window.
    held_messages_.emplace();
    open_file(path);
    std::vector<BoxRequest> messages = std::move(*held_messages_);
    held_messages_.reset();
    if (!host_.gamepak_loaded()) load_demo(demo_folder);
    for (const BoxRequest& r : messages) ask(r.caption.toStdString(), r.text.toStdString(), r.icon, r.buttons);
}

bool MainWindow::load_demo(const std::string& data_folder) {
    OpenResult r = host_.load_demo(data_folder);
    if (r.status == OpenStatus::BatterySaveFailed) {
        if (show_host_message(r.message, BoxButtons::OkCancel) == BoxAnswer::Ok) return false;
        r = host_.load_demo(data_folder, OpenFlags{.skip_battery_save = true});
    }
    show_host_message(r.message);
    if (!r.opened()) return false;
    // Not a file of the user's: it stays out of the Reload list.
    after_load();
    return true;
}

void MainWindow::open_file(const std::string& path) {
    switch (detect_file_kind(path)) {
        case FileKind::ChunkedState:
        case FileKind::RealTimeSave: {
            OpenResult r = host_.load_state_file(path);
            if (r.status == OpenStatus::OtherCartridge &&
                ask(r.message.caption, kOtherCartridgeQuestion, BoxIcon::Warning, BoxButtons::YesNo) == BoxAnswer::Yes)
                r = host_.load_state_file(path, OpenFlags{.accept_other_cartridge = true});
            else if (r.status != OpenStatus::OtherCartridge)
                show_host_message(r.message);
            if (r.opened()) {
                if (audio_) audio_->clear();
                notify(state_loaded_notice(path));
            }
            return;
        }
        case FileKind::Image:
        case FileKind::Unreadable: break;
    }
    load_gamepak_file(path);
}

bool MainWindow::save_battery_ram_asking() {
    const BatteryWrite saved = host_.save_battery_ram_at_close();
    if (saved.ok) return true;
    const HostMessage m{kSaveBackupRamCaption, saved.message, MessageIcon::Warning, saved.problem};
    return show_host_message(m, BoxButtons::OkCancel) != BoxAnswer::Ok;
}

// --- run loop --------------------------------------------------------------

double MainWindow::now_seconds() const {
    return options_.clock ? options_.clock() : double(clock_.nsecsElapsed()) * 1e-9;
}

void MainWindow::restart_pacing() {
    double rate = frame_rate_for(machine().cart.pal && host_.gamepak_loaded());
    if (fast_forward() && settings_.fast_forward_speed > 0) rate *= settings_.fast_forward_speed;
    pacer_start(pacer_, now_seconds(), rate);
}

void MainWindow::set_application_active(bool active) {
    if (!active) {
        if (!active_) return;
        active_ = false;
        // Keys held while the program loses the keyboard would stay pressed.
        Machine& m = machine();
        for (int port = 0; port < 2; port++)
            if (m.input.device[port] == PortDevice::Joypad) m.input.record[port] &= 0x0000FFFFu;
        pad_held_ = {};
        fast_forward_held_ = false;
        set_rewinding(false);
        update_mouse_capture();
        // What the game saved reaches its file now.
        host_.flush_battery_ram();
        // In the background the machine is held like under a dialog, so the
        // title and the menus say it is stopped.
        if (settings_.pause_when_inactive && !inactive_hold_) {
            host_.hold();
            inactive_hold_ = true;
        }
        return;
    }
    if (reload_check_on_activate(reload_, host_.gamepak_loaded(), &file_date)) {
        if (ask(kReloadCaption, kReloadQuestion, BoxIcon::Information, BoxButtons::YesNo) == BoxAnswer::Yes)
            load_gamepak_file(reload_.path);
    }
    reload_check_rearm(reload_);
    active_ = true;
    if (inactive_hold_) {
        host_.release();
        inactive_hold_ = false;
    }
    restart_pacing();
    frame_timer_.start(0);
}

void MainWindow::idle_turn() {
    // A message box opened from inside a turn runs its own event loop, which
    // may fire the frame timer again: the inner turn does nothing.
    if (in_turn_) return;
    in_turn_ = true;
    poll_gamepads();
    update_mouse_capture();
    const double now = now_seconds();
    const bool unlimited = fast_forward() && settings_.fast_forward_speed == 0 && !rewinding_;
    if (host_.run_state() != RunState::Running) {
        host_.idle_turn();  // runs nothing; shows "[Stopped]" or "[Paused]" once
        restart_pacing();   // count afresh when frames resume
    } else if (modal_pauses_ > 0) {
        restart_pacing();  // a question or a file dialog is open
    } else if (unlimited || pacer_wait(pacer_, now) <= 0.0) {
        if (rewinding_) {
            rewind_turn();
        } else {
            host_.idle_turn();
            feed_sound();
        }
        pacer_frame_done(pacer_, now);
    }
    update_indicator();
    if (debugger_) debugger_->after_turn();  // a breakpoint brings up the inspector
    in_turn_ = false;
    schedule_next_turn();
}

void MainWindow::schedule_next_turn() {
    const bool running = host_.run_state() == RunState::Running && modal_pauses_ == 0;
    const bool unlimited = fast_forward() && settings_.fast_forward_speed == 0 && !rewinding_;
    int ms = 20;  // nothing to run: look again soon (controllers, titles)
    if (running) ms = unlimited ? 0 : int(std::ceil(pacer_wait(pacer_, now_seconds()) * 1000.0));
    frame_timer_.start(ms);
}

void MainWindow::feed_sound() {
    if (!audio_) return;
    const DspSamples s = dsp_finished_samples(machine());
    if (s.frames == 0) return;
    const size_t target = size_t(std::max(2 * audio_->period_frames(), 2048));
    const size_t queued = ring_.queued();
    if (fast_forward()) {
        if (queued < target) ring_.push(s.samples, s.frames);
        return;
    }
    const double rate = frame_rate_for(machine().cart.pal);
    int out = sound_frames_per_video_frame(rate, int(queued), int(target), sound_carry_);
    stretched_.resize(size_t(out) * 2);
    stretch_stereo(s.samples, int(s.frames), stretched_.data(), out);
    ring_.push(stretched_.data(), size_t(out));
}

// --- host hooks ------------------------------------------------------------

void MainWindow::host_present_frame(void* user, Machine&) { static_cast<MainWindow*>(user)->view_->update(); }

void MainWindow::host_frame_input(void* user, Machine& m) {
    auto* w = static_cast<MainWindow*>(user);
    for (int port = 0; port < 2; port++)
        if (m.input.device[port] == PortDevice::Mouse)
            update_mouse(w->devices_, port, w->mouse_dx_, w->mouse_dy_, w->mouse_left_, w->mouse_right_);
    w->mouse_dx_ = w->mouse_dy_ = 0;
    if (m.input.device[1] == PortDevice::SuperScope && update_scope(w->devices_, m.sysregs.wrio))
        latch_scope_position(m, w->devices_.scope.x, w->devices_.scope.y);
}

// --- closing and dropping -------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!save_battery_ram_asking()) {
        event->ignore();
        return;
    }
    if (properties_) properties_->close();
    if (display_) display_->close();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        open_file(url.toLocalFile().toStdString());
        return;  // only the first file
    }
}

}  // namespace vt::gui
