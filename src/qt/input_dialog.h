// "Configure Input Device": the key bindings of devices #1 and #2 and the
// game-controller buttons that play them. Clicking a field captures the next
// key (or controller button); Escape cancels a capture and "Clear" empties
// the field being captured. Keys bound more than once show in red.
#pragma once

#include <QDialog>
#include <QLabel>
#include <array>

#include "frontend/gamepad_mapping.h"
#include "frontend/input_devices.h"

class QTabBar;
class QPushButton;

namespace vt::gui {

// A key or controller-button field: shows a name; a click starts capturing.
class KeyField : public QLabel {
    Q_OBJECT
public:
    explicit KeyField(QWidget* parent = nullptr);
    void set_capturing(bool on);
    bool capturing() const { return capturing_; }
    // A controller field takes no keys, only Escape to cancel.
    void set_controller_field(bool on) { controller_field_ = on; }

signals:
    void clicked();
    void key_captured(uint8_t vk);
    void capture_cancelled();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool capturing_ = false;
    bool controller_field_ = false;
};

class InputDialog : public QDialog {
    Q_OBJECT
public:
    using Bindings = std::array<BindingRecord, kBindingRecordCount>;
    using Pads = std::array<PadMapping, 2>;

    explicit InputDialog(const Bindings& live, const Pads& pads = default_pads(), QWidget* parent = nullptr);
    static Pads default_pads();

    // The working copies: what OK hands back.
    const Bindings& bindings() const { return working_; }
    const Pads& pads() const { return pads_; }
    int shown_device() const;
    void show_device(int index);
    KeyField* key_field(int button) const { return fields_[size_t(button)]; }
    KeyField* pad_field(int button) const { return pad_fields_[size_t(button)]; }
    QPushButton* clear_button() const { return clear_; }
    QTabBar* tab_bar() const { return tabs_; }
    // The text colour of a field: red for a key bound twice, else blue.
    QColor field_colour(int button) const;
    bool capturing() const { return capture_button_ >= 0; }

public slots:
    // A controller button went down (the program's controllers report here
    // while the dialog is open): it binds the controller field being captured.
    void controller_button_pressed(uint8_t button);

private:
    void start_capture(int button, bool controller);
    void finish_capture(uint8_t code);
    void cancel_capture();
    void end_capture();
    void load_defaults();
    void refresh_fields();

    Bindings working_;
    Pads pads_;
    QTabBar* tabs_ = nullptr;
    std::array<KeyField*, kPadButtonCount> fields_{};
    std::array<KeyField*, kPadButtonCount> pad_fields_{};
    QPushButton* clear_ = nullptr;
    int capture_button_ = -1;
    bool capture_controller_ = false;
};

}  // namespace vt::gui
