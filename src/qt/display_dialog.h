// "Display Options": the brightness setting, applied to the picture live as
// the slider moves; Cancel goes back to the stored setting.
#pragma once

#include <QDialog>

class QLabel;
class QSlider;

namespace vt::gui {

class DisplayDialog : public QDialog {
    Q_OBJECT
public:
    explicit DisplayDialog(QWidget* parent = nullptr);

    // Shows the stored setting.
    void start(int stored_brightness);
    QSlider* slider() const { return slider_; }
    QLabel* value_label() const { return value_; }

signals:
    // Rebuild the table for this setting (slider moved, or Cancel).
    void brightness_changed(int setting);
    // OK: store this setting.
    void brightness_chosen(int setting);

private:
    QSlider* slider_ = nullptr;
    QLabel* value_ = nullptr;
    int stored_ = 50;
};

}  // namespace vt::gui
