// "Configure Input Device": the key bindings of devices #1 and #2. Clicking a
// key field captures the next key; keys bound more than once show in red.
#pragma once

#include <QDialog>
#include <QLabel>
#include <array>

#include "frontend/input_devices.h"

class QTabBar;
class QPushButton;

namespace vt::gui {

// A key field: shows a key's name; a click starts capturing the next key.
class KeyField : public QLabel {
    Q_OBJECT
public:
    explicit KeyField(QWidget* parent = nullptr);
    void set_capturing(bool on);
    bool capturing() const { return capturing_; }

signals:
    void clicked();
    void key_captured(uint8_t vk);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;

private:
    bool capturing_ = false;
};

class InputDialog : public QDialog {
    Q_OBJECT
public:
    using Bindings = std::array<BindingRecord, kBindingRecordCount>;

    InputDialog(const Bindings& live, QWidget* parent = nullptr);

    // The working copies: what OK hands back.
    const Bindings& bindings() const { return working_; }
    int shown_device() const;
    void show_device(int index);
    KeyField* key_field(int button) const { return fields_[size_t(button)]; }
    QTabBar* tab_bar() const { return tabs_; }
    // The text colour of a field: red for a key bound twice, else blue.
    QColor field_colour(int button) const;

private:
    void start_capture(int button);
    void finish_capture(uint8_t vk);
    void load_defaults();
    void refresh_fields();

    Bindings working_;
    QTabBar* tabs_ = nullptr;
    std::array<KeyField*, kPadButtonCount> fields_{};
    int capture_button_ = -1;
};

}  // namespace vt::gui
