// The main window's input: keys to the program's own commands and to the
// console's controllers, the host mouse for the console mouse and the
// Super Scope (with the pointer captured while such a game runs), and game
// controllers read between frames.
#include <QCursor>
#include <algorithm>
#include <QKeyEvent>
#include <QMouseEvent>

#include "frontend/gamepad_mapping.h"
#include "frontend/play_keys.h"
#include "qt/icons.h"
#include "qt/key_codes.h"
#include "qt/main_window.h"
#include "qt/picture_view.h"
#include "qt/sdl_gamepads.h"

namespace vt::gui {

namespace {

KeyModifiers modifiers_of(const QKeyEvent& e) {
    KeyModifiers m;
    m.shift = e.modifiers().testFlag(Qt::ShiftModifier) || e.key() == Qt::Key_Backtab;
    m.ctrl = e.modifiers().testFlag(Qt::ControlModifier);
    m.alt = e.modifiers().testFlag(Qt::AltModifier);
    return m;
}

}  // namespace

// --- keyboard ------------------------------------------------------------------

void MainWindow::keyPressEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (event->key() == Qt::Key_Escape) {
        if (full_screen_) leave_full_screen();
        if (mouse_captured_) {
            release_mouse_capture();
            mouse_released_by_user_ = true;  // until the picture is clicked again
        }
    }
    if (play_key_pressed(event)) return;
    if (uint8_t vk = virtual_key_for(*event)) key_down(devices_, vk);
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) return;
    if (play_key_released(event)) return;
    if (uint8_t vk = virtual_key_for(*event)) key_up(devices_, vk);
}

bool MainWindow::play_key_pressed(QKeyEvent* event) {
    const PlayKeyPress k = play_key_for(virtual_key_for(*event), modifiers_of(*event), devices_.scope.active);
    switch (k.key) {
        case PlayKey::None: return false;
        case PlayKey::Pause: set_paused(!paused()); break;
        case PlayKey::FrameAdvance: frame_advance(); break;
        case PlayKey::QuickLoad: quick_load(k.slot); break;
        case PlayKey::QuickSave: quick_save(k.slot); break;
        case PlayKey::Rewind: set_rewinding(true); break;
        case PlayKey::FastForward: set_fast_forward_held(true); break;
        case PlayKey::FastForwardToggle: toggle_fast_forward(); break;
        case PlayKey::FullScreen: toggle_full_screen(); break;
    }
    return true;
}

bool MainWindow::play_key_released(QKeyEvent* event) {
    const PlayKeyPress k = play_key_for(virtual_key_for(*event), modifiers_of(*event), devices_.scope.active);
    switch (k.key) {
        case PlayKey::None: return false;
        case PlayKey::Rewind: set_rewinding(false); break;
        case PlayKey::FastForward: set_fast_forward_held(false); break;
        default: break;
    }
    return true;
}

// --- mouse and Super Scope ---------------------------------------------------------

bool MainWindow::mouse_device_selected() const {
    const InputPorts& p = host_.machine().input;
    return p.device[0] == PortDevice::Mouse || p.device[1] == PortDevice::Mouse ||
           p.device[1] == PortDevice::SuperScope;
}

// The pointer belongs to the game while a mouse or Super Scope game runs in
// the active window, unless the user let it go with Escape.
void MainWindow::update_mouse_capture() {
    const bool wanted = mouse_device_selected() && host_.run_state() == RunState::Running && modal_pauses_ == 0 &&
                        active_ && isVisible() && !mouse_released_by_user_ && !rewinding_;
    if (wanted && !mouse_captured_) capture_mouse();
    else if (!wanted && mouse_captured_) release_mouse_capture();
}

void MainWindow::capture_mouse() {
    mouse_captured_ = true;
    view_->grabMouse();
    if (!devices_.scope.active) {
        // The console mouse reads motion only: the pointer hides and goes
        // back to the middle after every move, so it never hits an edge.
        view_->setCursor(Qt::BlankCursor);
        const QPoint middle = view_->rect().center();
        QCursor::setPos(view_->mapToGlobal(middle));
        last_mouse_ = middle;
    }
    refresh_title();
}

void MainWindow::release_mouse_capture() {
    if (!mouse_captured_) return;
    mouse_captured_ = false;
    view_->releaseMouse();
    last_mouse_ = QPoint(-1, -1);
    update_cursor();
    refresh_title();
}

void MainWindow::mouse_press(QMouseEvent* e) {
    if (mouse_released_by_user_ && mouse_device_selected()) mouse_released_by_user_ = false;  // taken again
    const PicturePoint p = view_->to_picture(e->position().toPoint());
    if (e->button() == Qt::LeftButton) {
        mouse_left_ = true;
        if (devices_.scope.active) scope_left_down(devices_, p.x, p.y);
    } else if (e->button() == Qt::RightButton) {
        mouse_right_ = true;
        if (devices_.scope.active) scope_right_down(devices_, p.x, p.y);
    }
}

void MainWindow::mouse_move(QMouseEvent* e) {
    QPoint pos = e->position().toPoint();
    if (mouse_captured_ && !devices_.scope.active) {
        const QPoint middle = view_->rect().center();
        if (pos != middle) {
            mouse_dx_ += pos.x() - middle.x();
            mouse_dy_ += pos.y() - middle.y();
            QCursor::setPos(view_->mapToGlobal(middle));
        }
        last_mouse_ = middle;
        return;
    }
    if (mouse_captured_ && devices_.scope.active) {
        // The aiming cursor stays on the picture.
        const PictureRect r = view_->picture_rect();
        const QPoint kept(std::clamp(pos.x(), r.x, r.x + r.width - 1), std::clamp(pos.y(), r.y, r.y + r.height - 1));
        if (kept != pos) {
            QCursor::setPos(view_->mapToGlobal(kept));
            pos = kept;
        }
    }
    if (last_mouse_.x() >= 0) {
        mouse_dx_ += pos.x() - last_mouse_.x();
        mouse_dy_ += pos.y() - last_mouse_.y();
    }
    last_mouse_ = pos;
    if (devices_.scope.active) {
        const PicturePoint p = view_->to_picture(pos);
        scope_move(devices_, p.x, p.y);
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
    else if (full_screen_ || (mouse_captured_ && mouse_device_selected())) view_->setCursor(Qt::BlankCursor);
    else view_->unsetCursor();
}

void MainWindow::refresh_title() {
    QString title = run_title_.isEmpty() ? QStringLiteral("Veltrane") : run_title_;
    if (mouse_captured_) title += QString::fromLatin1(kMouseCapturedTitle);
    setWindowTitle(title);
}

QString MainWindow::title_text() const { return windowTitle(); }

// --- game controllers -----------------------------------------------------------

// Each controller plays the joypad port its slot names; only the buttons
// that changed since the last look are pressed or let go, so keys held for
// the same buttons keep working beside it.
void MainWindow::poll_gamepads() {
    if (!gamepads_) return;
    gamepads_->poll();
    std::array<uint16_t, 2> held{};
    const PortDevice* devices = machine().input.device;
    if (active_ || !settings_.pause_when_inactive) {
        for (int slot = 0; slot < gamepads_->count(); slot++) {
            const int port = port_for_controller_slot(slot, devices);
            if (port >= 0) held[size_t(port)] |= pad_buttons_held(settings_.pads[size_t(port)], gamepads_->state(slot));
        }
    }
    for (int port = 0; port < 2; port++) {
        if (held[size_t(port)] == pad_held_[size_t(port)]) continue;
        apply_pad_buttons(devices_, port, pad_held_[size_t(port)], held[size_t(port)]);
        pad_held_[size_t(port)] = held[size_t(port)];
    }
}

void MainWindow::release_pad_buttons() { pad_held_ = {}; }

}  // namespace vt::gui
