// "Emulation Settings" (pausing in the background, the rewind history, the
// fast-forward speed) and "Audio Settings" (volume, mute and the output
// device, heard at once while the dialog is open; Cancel goes back).
#pragma once

#include <QDialog>
#include <string>
#include <vector>

#include "frontend/settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QSlider;

namespace vt::gui {

class EmulationSettingsDialog : public QDialog {
    Q_OBJECT
public:
    EmulationSettingsDialog(const Settings& settings, QWidget* parent = nullptr);
    void store(Settings& settings) const;

    QCheckBox* pause_when_inactive() const { return pause_; }
    QCheckBox* rewind() const { return rewind_; }
    QComboBox* fast_forward_speed() const { return speed_; }

private:
    QCheckBox* pause_ = nullptr;
    QCheckBox* rewind_ = nullptr;
    QComboBox* speed_ = nullptr;
};

// The sound as the dialog shows it.
struct AudioChoice {
    int volume = 100;
    bool mute = false;
    std::string device;  // empty: the system's default
    bool operator==(const AudioChoice&) const = default;
};

class AudioSettingsDialog : public QDialog {
    Q_OBJECT
public:
    // `devices`: the output devices to offer besides the system's default.
    AudioSettingsDialog(const AudioChoice& current, const std::vector<std::string>& devices, QWidget* parent = nullptr);
    AudioChoice choice() const;

    QSlider* volume() const { return volume_; }
    QCheckBox* mute() const { return mute_; }
    QComboBox* device() const { return device_; }

signals:
    // Every change while the dialog is open, and the original on Cancel.
    void audio_changed(const vt::gui::AudioChoice& choice);

private:
    void changed();

    AudioChoice original_;
    QSlider* volume_ = nullptr;
    QLabel* volume_value_ = nullptr;
    QCheckBox* mute_ = nullptr;
    QComboBox* device_ = nullptr;
};

}  // namespace vt::gui
