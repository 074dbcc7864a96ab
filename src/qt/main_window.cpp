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
#include "frontend/recent_files.h"
#include "qt/debugger_windows.h"
#include "qt/display_dialog.h"
#include "qt/icons.h"
#include "qt/key_codes.h"
#include "qt/picture_view.h"
#include "qt/properties_window.h"
#include "qt/sdl_audio.h"
#include "qt/settings_store.h"
#include "qt/stop_signals.h"
#include "qt/video_bridge.h"

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
    host_.set_title_hook([this](const char* title) { setWindowTitle(QString::fromLatin1(title)); });
    host_.set_options_source([this] { return host_options(); });
    host_.set_log(&log_);
    host_.set_battery_problem_hook([](const std::string& problem) {
        std::fprintf(stderr, "veltrane: cannot write battery RAM to %s\n", problem.c_str());
    });

    program_folder_ = options_.program_folder.isEmpty() ? QCoreApplication::applicationDirPath().toStdString()
                                                        : options_.program_folder.toStdString();

    setWindowTitle(QStringLiteral("Veltrane"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);

    // The log file comes first: its failure is the first thing to report.
    if (!options_.trace_log_path.isEmpty() && !trace_log_create(log_, options_.trace_log_path.toStdString()))
        ask("Veltrane", kTraceLogCreateFailed, BoxIcon::Warning, BoxButtons::Ok);

    read_settings();
    settings_read_ = true;

    view_ = new PictureView(this);
    view_->setFixedSize(kClientWidth, kClientHeight);
    view_->set_picture(picture_pixels(m), picture_stride());
    view_->on_mouse_press = [this](QMouseEvent* e) { mouse_press(e); };
    view_->on_mouse_move = [this](QMouseEvent* e) { mouse_move(e); };
    view_->on_mouse_release = [this](QMouseEvent* e) { mouse_release(e); };
    setCentralWidget(view_);
    build_menus();
    layout()->setSizeConstraint(QLayout::SetFixedSize);

    load_colour_curve(m, program_folder_);
    apply_brightness(m, settings_.brightness);
    apply_input_bindings();

    if (options_.open_sound) {
        audio_ = std::make_unique<SdlAudio>(ring_);
        if (!audio_->open()) {
            audio_.reset();
            ask(kSoundFailedCaption, kSoundFailedText, BoxIcon::Error, BoxButtons::Ok);
        }
        // Whatever the sound library did, the stop signals stay ours.
        StopSignals::reinstall_handlers();
    }

    setAcceptDrops(true);
    reload_check_rearm(reload_);
    frame_timer_.setSingleShot(true);
    frame_timer_.setTimerType(Qt::PreciseTimer);
    connect(&frame_timer_, &QTimer::timeout, this, [this] { idle_turn(); });
    clock_.start();
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) { set_application_active(state == Qt::ApplicationActive); });
    view_->setFocus();
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
    settings_.bindings = devices_.bindings;
    update_cursor();
}

// --- messages and file dialogs ---------------------------------------------

BoxAnswer MainWindow::ask(const std::string& caption, const std::string& text, BoxIcon icon, BoxButtons buttons) {
    BoxRequest r{QString::fromStdString(caption), QString::fromStdString(text), icon, buttons};
    // A question stops the frames without counting as a holding window.
    modal_pauses_++;
    BoxAnswer answer = options_.messages ? options_.messages(this, r) : show_message_box(this, r);
    modal_pauses_--;
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

void MainWindow::offer_overdump_fix(const LoadResult& r) {
    if (ask(kOverdumpCaption, kOverdumpQuestion, BoxIcon::None, BoxButtons::OkCancel) != BoxAnswer::Ok) return;
    FileRequest request;
    request.save = true;
    request.title = QStringLiteral("Save As");
    request.folder = QString::fromStdString(path_folder(machine().cart.image_path));
    request.file_name = QString::fromStdString(machine().cart.image_path);
    request.filter = QString::fromLatin1(kSaveAsFilter);
    request.filter_index = 1;
    QString chosen = choose_file(request);
    if (chosen.isEmpty()) return;
    if (!write_file_replacing(chosen.toStdString(), r.corrected_image))
        ask(kOverdumpCaption, "The specified file could not be written to disk.  \rMake sure the specified path exists.",
            BoxIcon::Error, BoxButtons::Ok);
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
            if (r.opened() && audio_) audio_->clear();
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

double MainWindow::now_seconds() const { return double(clock_.nsecsElapsed()) * 1e-9; }

void MainWindow::restart_pacing() {
    pacer_start(pacer_, now_seconds(), frame_rate_for(machine().cart.pal && host_.gamepak_loaded()));
}

void MainWindow::set_application_active(bool active) {
    if (!active) {
        active_ = false;
        frame_timer_.stop();
        // Keys held while the program loses the keyboard would stay pressed.
        Machine& m = machine();
        for (int port = 0; port < 2; port++)
            if (m.input.device[port] == PortDevice::Joypad) m.input.record[port] &= 0x0000FFFFu;
        fast_forward_ = false;
        // Frames stop: what the game saved reaches its file now.
        host_.flush_battery_ram();
        return;
    }
    if (reload_check_on_activate(reload_, host_.gamepak_loaded(), &file_date)) {
        if (ask(kReloadCaption, kReloadQuestion, BoxIcon::Information, BoxButtons::YesNo) == BoxAnswer::Yes)
            load_gamepak_file(reload_.path);
    }
    reload_check_rearm(reload_);
    active_ = true;
    restart_pacing();
    frame_timer_.start(0);
}

void MainWindow::idle_turn() {
    if (!active_) return;
    const double now = now_seconds();
    if (host_.run_state() != RunState::Running) {
        host_.idle_turn();  // runs nothing; shows "[Stopped]" once held
        restart_pacing();   // count afresh when frames resume
    } else if (modal_pauses_ > 0) {
        restart_pacing();  // a message box or file dialog is open
    } else if (fast_forward_ || pacer_wait(pacer_, now) <= 0.0) {
        host_.idle_turn();
        feed_sound();
        pacer_frame_done(pacer_, now);
    }
    if (debugger_) debugger_->after_turn();  // a breakpoint brings up the inspector
    schedule_next_turn();
}

void MainWindow::schedule_next_turn() {
    if (!active_) return;
    const bool running = host_.run_state() == RunState::Running && modal_pauses_ == 0;
    int ms = 20;  // nothing to run: look again soon
    if (running) ms = fast_forward_ ? 0 : int(std::ceil(pacer_wait(pacer_, now_seconds()) * 1000.0));
    frame_timer_.start(ms);
}

void MainWindow::feed_sound() {
    if (!audio_) return;
    const DspSamples s = dsp_finished_samples(machine());
    if (s.frames == 0) return;
    const size_t target = size_t(std::max(2 * audio_->period_frames(), 2048));
    const size_t queued = ring_.queued();
    if (fast_forward_) {
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

// --- keyboard and mouse -------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Escape && full_screen_) leave_full_screen();
    if (event->key() == Qt::Key_Tab) fast_forward_ = true;
    if (uint8_t vk = virtual_key_for(*event)) key_down(devices_, vk);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Tab) {
        fast_forward_ = false;
        restart_pacing();
    }
    if (uint8_t vk = virtual_key_for(*event)) key_up(devices_, vk);
}

void MainWindow::mouse_press(QMouseEvent* e) {
    const QPoint p = e->position().toPoint() - view_->origin();
    if (e->button() == Qt::LeftButton) {
        mouse_left_ = true;
        if (devices_.scope.active) scope_left_down(devices_, p.x(), p.y());
    } else if (e->button() == Qt::RightButton) {
        mouse_right_ = true;
        if (devices_.scope.active) scope_right_down(devices_, p.x(), p.y());
    }
}

void MainWindow::mouse_move(QMouseEvent* e) {
    const QPoint pos = e->position().toPoint();
    if (last_mouse_.x() >= 0) {
        mouse_dx_ += pos.x() - last_mouse_.x();
        mouse_dy_ += pos.y() - last_mouse_.y();
    }
    last_mouse_ = pos;
    if (devices_.scope.active) {
        const QPoint p = pos - view_->origin();
        scope_move(devices_, p.x(), p.y());
    }
}

void MainWindow::mouse_release(QMouseEvent* e) {
    if (e->button() == Qt::LeftButton) {
        mouse_left_ = false;
        if (devices_.scope.active) scope_left_up(devices_);
    } else if (e->button() == Qt::RightButton) {
        mouse_right_ = false;
        if (devices_.scope.active) scope_right_up(devices_);
    }
}

void MainWindow::update_cursor() {
    if (devices_.scope.active) view_->setCursor(aiming_cursor());
    else if (full_screen_) view_->setCursor(Qt::BlankCursor);
    else view_->unsetCursor();
}

// --- window states -----------------------------------------------------------

void MainWindow::enter_full_screen() {
    if (full_screen_) return;
    full_screen_ = true;
    if (properties_) properties_->hide();
    menuBar()->hide();
    layout()->setSizeConstraint(QLayout::SetDefaultConstraint);
    view_->setMinimumSize(0, 0);
    view_->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    showFullScreen();
    const QRect screen_rect = screen()->geometry();
    view_->set_origin(QPoint(screen_rect.width() / 2 - 256, screen_rect.height() / 2 - 239));
    update_cursor();
}

void MainWindow::leave_full_screen() {
    if (!full_screen_) return;
    full_screen_ = false;
    showNormal();
    menuBar()->show();
    view_->setFixedSize(kClientWidth, kClientHeight);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    view_->set_origin(QPoint(0, 0));
    update_cursor();
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
