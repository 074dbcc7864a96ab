// Playing: pause and frame advance, quick saves, rewind, fast forward, full
// screen and the picture's scaling, the window's place, the Control menu
// and the play settings, and the notices shown over the picture.
#include <QAction>
#include <QActionGroup>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

#include "frontend/data_folder.h"
#include "frontend/demo_cartridge.h"
#include "frontend/notices.h"
#include "frontend/play_keys.h"
#include "frontend/quick_slots.h"
#include "frontend/window_placement.h"
#include "qt/main_window.h"
#include "qt/picture_view.h"
#include "qt/play_settings_dialogs.h"
#include "qt/properties_window.h"
#include "qt/sdl_audio.h"

namespace vt::gui {

namespace {

QAction* add_item(QMenu* menu, const char* object_name, const QString& caption) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(QString::fromLatin1(object_name));
    return a;
}

// A menu caption with the key that does the same shown on its right (the
// key is handled by the window, so it also works with the menus hidden).
QString with_key(const char* caption, const QString& key) {
    return QString::fromLatin1(caption) + QLatin1Char('\t') + key;
}

ScreenBox box_of(const QRect& r) { return ScreenBox{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

// --- menus ---------------------------------------------------------------------

void MainWindow::build_control_menu(QMenuBar* bar) {
    QMenu* control = bar->addMenu(QStringLiteral("&Control"));
    control->setObjectName(QStringLiteral("menuControl"));
    connect(add_item(control, "actionRun", QStringLiteral("Run")), &QAction::triggered, this,
            [this] { set_paused(false); });
    pause_action_ = add_item(control, "actionPause", with_key("Pause", QString::fromLatin1(kPauseKeyText)));
    pause_action_->setCheckable(true);
    connect(pause_action_, &QAction::triggered, this, [this](bool on) { set_paused(on); });
    frame_advance_action_ =
        add_item(control, "actionFrameAdvance", with_key("Frame Advance", QString::fromLatin1(kFrameAdvanceKeyText)));
    connect(frame_advance_action_, &QAction::triggered, this, [this] { frame_advance(); });
    // Kept from the first design for its place; it has nothing to do.
    add_item(control, "actionStop", QStringLiteral("Stop"))->setVisible(false);
    control->addSeparator();
    fast_forward_action_ =
        add_item(control, "actionFastForward", with_key("Fast Forward", QString::fromLatin1(kFastForwardToggleKeyText)));
    fast_forward_action_->setCheckable(true);
    connect(fast_forward_action_, &QAction::triggered, this, [this] { toggle_fast_forward(); });
    control->addSeparator();
    QMenu* load = control->addMenu(QStringLiteral("Quick Load"));
    load->setObjectName(QStringLiteral("menuQuickLoad"));
    QMenu* save = control->addMenu(QStringLiteral("Quick Save"));
    save->setObjectName(QStringLiteral("menuQuickSave"));
    for (int slot = 1; slot <= kQuickSlotCount; slot++) {
        const QString name = QStringLiteral("Slot %1").arg(slot);
        QAction* l = load->addAction(name + QStringLiteral("\tF%1").arg(slot));
        l->setObjectName(QStringLiteral("actionQuickLoad%1").arg(slot));
        l->setCheckable(true);
        connect(l, &QAction::triggered, this, [this, slot] { quick_load(slot); });
        quick_load_actions_[slot - 1] = l;
        QAction* s = save->addAction(name + QStringLiteral("\tShift+F%1").arg(slot));
        s->setObjectName(QStringLiteral("actionQuickSave%1").arg(slot));
        s->setCheckable(true);
        connect(s, &QAction::triggered, this, [this, slot] { quick_save(slot); });
        quick_save_actions_[slot - 1] = s;
    }
    connect(control, &QMenu::aboutToShow, this, [this] { update_control_menu(); });
}

void MainWindow::add_play_options(QMenu* options) {
    connect(add_item(options, "actionEmulationSettings", QStringLiteral("Emulation Settings...")), &QAction::triggered,
            this, [this] { cmd_emulation_settings(); });
    connect(add_item(options, "actionAudioSettings", QStringLiteral("Audio Settings...")), &QAction::triggered, this,
            [this] { cmd_audio_settings(); });
    QMenu* picture = options->addMenu(QStringLiteral("Picture"));
    picture->setObjectName(QStringLiteral("menuPicture"));
    auto* group = new QActionGroup(this);
    const char* names[2] = {"actionScaleInteger", "actionScaleFit"};
    const QString captions[2] = {QStringLiteral("Whole Multiples"), QStringLiteral("Fit Window")};
    for (int mode = 0; mode < 2; mode++) {
        QAction* a = add_item(picture, names[mode], captions[mode]);
        a->setCheckable(true);
        group->addAction(a);
        scale_actions_[mode] = a;
        connect(a, &QAction::triggered, this, [this, mode] {
            settings_.scale_mode = mode;
            apply_play_settings();
        });
    }
    picture->addSeparator();
    smooth_action_ = add_item(picture, "actionSmoothPicture", QStringLiteral("Smooth"));
    smooth_action_->setCheckable(true);
    connect(smooth_action_, &QAction::triggered, this, [this](bool on) {
        settings_.smooth_picture = on;
        apply_play_settings();
    });
}

void MainWindow::update_control_menu() {
    const bool loaded = host_.gamepak_loaded();
    // Quick saves work for NES images too (the State Manager does not).
    const bool states = loaded;
    pause_action_->setEnabled(loaded);
    pause_action_->setChecked(paused());
    frame_advance_action_->setEnabled(paused());
    fast_forward_action_->setChecked(fast_forward_toggled_);
    for (int slot = 1; slot <= kQuickSlotCount; slot++) {
        const bool current = slot == settings_.quick_slot;
        // An empty slot has nothing to load.
        const bool used = states && QFileInfo::exists(QString::fromStdString(
                                        quick_slot_path(machine().cart.image_path, settings_.breakpoint_path, slot)));
        quick_load_actions_[slot - 1]->setEnabled(used);
        quick_load_actions_[slot - 1]->setChecked(current);
        quick_save_actions_[slot - 1]->setEnabled(states);
        quick_save_actions_[slot - 1]->setChecked(current);
    }
}

void MainWindow::update_picture_menu() {
    for (int mode = 0; mode < 2; mode++) scale_actions_[mode]->setChecked(settings_.scale_mode == mode);
    smooth_action_->setChecked(settings_.smooth_picture);
}

// --- run control ------------------------------------------------------------------

bool MainWindow::paused() const { return host_.paused(); }

void MainWindow::set_paused(bool on) {
    if (on && !host_.gamepak_loaded()) return;
    if (on == host_.paused()) return;
    host_.set_paused(on);
    if (on) {
        set_rewinding(false);
        if (audio_) audio_->clear();  // silence at once, not what was queued
        host_.idle_turn();            // runs nothing: the title says "[Paused]" now
    } else {
        restart_pacing();  // the next turn runs a frame and says "[Running]"
    }
    update_indicator();
    update_control_menu();
}

void MainWindow::frame_advance() {
    if (!host_.gamepak_loaded()) return;
    if (!paused()) {
        set_paused(true);  // the first press stops the game where it is
        return;
    }
    host_.advance_frame();
}

void MainWindow::set_fast_forward_held(bool held) {
    if (held == fast_forward_held_) return;
    fast_forward_held_ = held;
    restart_pacing();
    update_indicator();
}

void MainWindow::toggle_fast_forward() {
    fast_forward_toggled_ = !fast_forward_toggled_;
    restart_pacing();
    update_indicator();
    update_control_menu();
}

void MainWindow::set_rewinding(bool on) {
    if (on == rewinding_) return;
    if (on && (!host_.gamepak_loaded() || paused())) return;
    if (on && !host_.rewind_enabled()) {
        notify("Rewind is off (Options / Emulation Settings)");
        return;
    }
    rewinding_ = on;
    if (audio_) audio_->clear();  // no sound runs backwards
    update_mouse_capture();
    restart_pacing();
    update_indicator();
}

void MainWindow::rewind_turn() {
    if (host_.rewind_step()) return;
    // The history is used up: the picture stays until the key is let go.
    if (view_->notice() != QString::fromStdString(rewind_empty_notice())) notify(rewind_empty_notice());
}

// --- quick saves ---------------------------------------------------------------------

void MainWindow::quick_save(int slot) {
    const Machine& m = machine();
    if (!host_.gamepak_loaded() || slot < 1 || slot > kQuickSlotCount) return;
    settings_.quick_slot = slot;
    const std::string path = quick_slot_path(m.cart.image_path, settings_.breakpoint_path, slot);
    std::string problem;
    if (host_.save_state_file(path, quick_save_description(slot), settings_.author, &problem)) {
        notify(quick_saved_notice(slot, path));
    } else {
        show_host_message({kStateManagerCaption, kStateWriteFailed, MessageIcon::Error, problem});
    }
}

void MainWindow::quick_load(int slot) {
    const Machine& m = machine();
    if (!host_.gamepak_loaded() || slot < 1 || slot > kQuickSlotCount) return;
    settings_.quick_slot = slot;
    const std::string path = quick_slot_path(m.cart.image_path, settings_.breakpoint_path, slot);
    if (!QFileInfo::exists(QString::fromStdString(path))) {
        notify(quick_slot_empty_notice(slot));
        return;
    }
    OpenResult r = host_.load_state_file(path);
    if (r.status == OpenStatus::OtherCartridge) {
        if (ask(r.message.caption, kOtherCartridgeQuestion, BoxIcon::Warning, BoxButtons::YesNo) != BoxAnswer::Yes)
            return;
        r = host_.load_state_file(path, OpenFlags{.accept_other_cartridge = true});
    }
    if (!r.opened()) {
        show_host_message(r.message);
        return;
    }
    if (audio_) audio_->clear();
    notify(quick_loaded_notice(slot, path));
}

// --- notices and indicators ------------------------------------------------------------

void MainWindow::notify(const std::string& text) { view_->show_notice(QString::fromStdString(text)); }

void MainWindow::update_indicator() {
    QString text;
    if (!host_.gamepak_loaded()) text.clear();
    else if (rewinding_) text = QString::fromLatin1(kRewindIndicator);
    else if (paused()) text = QString::fromLatin1(kPausedIndicator);
    else if (fast_forward())
        text = QString::fromLatin1(kFastForwardIndicator) +
               (settings_.fast_forward_speed > 0 ? QStringLiteral(" %1x").arg(settings_.fast_forward_speed) : QString());
    view_->set_indicator(text);
}

// --- settings ----------------------------------------------------------------------------

void MainWindow::apply_play_settings() {
    view_->set_scaling(ScaleMode(settings_.scale_mode), settings_.smooth_picture);
    if (host_.rewind_enabled() != settings_.rewind) host_.set_rewind_enabled(settings_.rewind);
    if (audio_) audio_->set_volume(settings_.volume, settings_.mute);
    update_picture_menu();
    restart_pacing();
}

void MainWindow::cmd_emulation_settings() {
    EmulationSettingsDialog dialog(settings_, this);
    if (dialog.exec() != QDialog::Accepted) return;
    dialog.store(settings_);
    // Pausing in the background applies from the next change of focus.
    if (!settings_.pause_when_inactive && inactive_hold_) {
        host_.release();
        inactive_hold_ = false;
    }
    apply_play_settings();
}

void MainWindow::cmd_audio_settings() {
    const AudioChoice before{settings_.volume, settings_.mute, settings_.audio_device};
    std::vector<std::string> devices;
    if (audio_) devices = audio_->output_devices();
    AudioSettingsDialog dialog(before, devices, this);
    // Heard at once: the volume as the slider moves, another device as it
    // is chosen.
    connect(&dialog, &AudioSettingsDialog::audio_changed, this, [this](const AudioChoice& c) {
        const bool other_device = c.device != settings_.audio_device;
        settings_.volume = c.volume;
        settings_.mute = c.mute;
        settings_.audio_device = c.device;
        if (other_device && audio_) {
            audio_->close();
            if (!audio_->open(c.device) && !audio_->open()) {
                notify("No sound device could be opened: " + audio_->error());
                audio_.reset();
            }
        }
        if (audio_) audio_->set_volume(settings_.volume, settings_.mute);
    });
    dialog.exec();
}

// --- the demo -------------------------------------------------------------------------------

void MainWindow::cmd_load_demo() {
    load_demo(options_.demo_data_folder.isEmpty() ? default_demo_data_folder()
                                                  : options_.demo_data_folder.toStdString());
}

// --- window: full screen, place and size -------------------------------------------------------

void MainWindow::toggle_full_screen() {
    if (full_screen_) leave_full_screen();
    else enter_full_screen();
}

// The picture fills the screen (scaled as in the window); the menus and
// the pointer hide. Escape, F11 or Alt+Enter come back.
void MainWindow::enter_full_screen() {
    if (full_screen_) return;
    normal_geometry_ = geometry();
    full_screen_ = true;
    if (properties_) properties_->hide();
    menuBar()->hide();
    showFullScreen();
    // Without a window manager nobody acts on the full-screen request: the
    // window covers the screen itself.
    if (QScreen* s = screen()) setGeometry(s->geometry());
    update_cursor();
}

void MainWindow::leave_full_screen() {
    if (!full_screen_) return;
    full_screen_ = false;
    showNormal();
    menuBar()->show();
    if (normal_geometry_.isValid()) setGeometry(normal_geometry_);
    update_cursor();
}

void MainWindow::remember_window_place() {
    if (full_screen_ || isMaximized() || isMinimized() || !isVisible()) return;
    const QRect g = geometry();
    settings_.window_left = g.x();
    settings_.window_top = g.y();
    settings_.window_width = g.width();
    settings_.window_height = g.height();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    remember_window_place();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    remember_window_place();
}

void MainWindow::restore_window_place() {
    const ScreenBox stored{settings_.window_left, settings_.window_top, settings_.window_width, settings_.window_height};
    for (QScreen* s : QGuiApplication::screens()) {
        const ScreenBox area = box_of(s->availableGeometry());
        if (box_on_screen(stored, area)) {
            const ScreenBox at = fit_on_screen(stored, area);
            setGeometry(at.x, at.y, at.width, at.height);
            return;
        }
    }
    // Nothing stored, or not on any screen now: the normal size, centred.
    resize(sizeHint());
    if (QScreen* s = screen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(s->availableGeometry().center());
        move(frame.topLeft());
    }
}

void MainWindow::place_properties_window() {
    QScreen* s = screen();
    if (!s || !properties_) return;
    properties_->adjustSize();
    const QSize size = properties_->frameGeometry().size();
    const ScreenBox at = place_beside(box_of(frameGeometry()), size.width(), size.height(), box_of(s->availableGeometry()));
    properties_->move(at.x, at.y);
}

}  // namespace vt::gui
