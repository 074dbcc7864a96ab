#include "qt/play_settings_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSlider>
#include <QVBoxLayout>

namespace vt::gui {

namespace {

// The fast-forward choices in the order of the list, as the setting stores them.
constexpr int kSpeeds[3] = {2, 4, 0};
constexpr const char* kSpeedCaptions[3] = {"2x", "4x", "Unlimited"};

QDialogButtonBox* ok_cancel(QDialog* dialog) {
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

}  // namespace

EmulationSettingsDialog::EmulationSettingsDialog(const Settings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Emulation Settings"));
    auto* layout = new QVBoxLayout(this);
    pause_ = new QCheckBox(QStringLiteral("Pause when the window is inactive"), this);
    pause_->setChecked(s.pause_when_inactive);
    rewind_ = new QCheckBox(QStringLiteral("Keep a rewind history (hold Backspace to run backwards)"), this);
    rewind_->setChecked(s.rewind);
    layout->addWidget(pause_);
    layout->addWidget(rewind_);
    auto* form = new QFormLayout;
    speed_ = new QComboBox(this);
    for (int i = 0; i < 3; i++) {
        speed_->addItem(QString::fromLatin1(kSpeedCaptions[i]), kSpeeds[i]);
        if (kSpeeds[i] == s.fast_forward_speed) speed_->setCurrentIndex(i);
    }
    form->addRow(QStringLiteral("Fast-forward speed (hold Tab, Shift+Tab toggles):"), speed_);
    layout->addLayout(form);
    layout->addWidget(ok_cancel(this));
}

void EmulationSettingsDialog::store(Settings& s) const {
    s.pause_when_inactive = pause_->isChecked();
    s.rewind = rewind_->isChecked();
    s.fast_forward_speed = speed_->currentData().toInt();
}

AudioSettingsDialog::AudioSettingsDialog(const AudioChoice& current, const std::vector<std::string>& devices,
                                         QWidget* parent)
    : QDialog(parent), original_(current) {
    setWindowTitle(QStringLiteral("Audio Settings"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    auto* volume_row = new QHBoxLayout;
    volume_ = new QSlider(Qt::Horizontal, this);
    volume_->setRange(0, 100);
    volume_->setValue(current.volume);
    volume_value_ = new QLabel(QString::number(current.volume), this);
    volume_value_->setMinimumWidth(30);
    volume_row->addWidget(volume_);
    volume_row->addWidget(volume_value_);
    form->addRow(QStringLiteral("Volume:"), volume_row);
    mute_ = new QCheckBox(QStringLiteral("Mute"), this);
    mute_->setChecked(current.mute);
    form->addRow(QString(), mute_);
    device_ = new QComboBox(this);
    device_->addItem(QStringLiteral("System default"), QString());
    for (const std::string& d : devices) device_->addItem(QString::fromStdString(d), QString::fromStdString(d));
    const int at = device_->findData(QString::fromStdString(current.device));
    if (at >= 0) {
        device_->setCurrentIndex(at);
    } else if (!current.device.empty()) {
        // A device that is not there now stays chosen, marked as missing.
        device_->addItem(QString::fromStdString(current.device) + QStringLiteral(" (not connected)"),
                         QString::fromStdString(current.device));
        device_->setCurrentIndex(device_->count() - 1);
    }
    form->addRow(QStringLiteral("Output device:"), device_);
    layout->addLayout(form);
    layout->addWidget(ok_cancel(this));

    connect(volume_, &QSlider::valueChanged, this, [this](int v) {
        volume_value_->setText(QString::number(v));
        changed();
    });
    connect(mute_, &QCheckBox::toggled, this, [this] { changed(); });
    connect(device_, &QComboBox::currentIndexChanged, this, [this] { changed(); });
    connect(this, &QDialog::rejected, this, [this] { emit audio_changed(original_); });
}

AudioChoice AudioSettingsDialog::choice() const {
    AudioChoice c;
    c.volume = volume_->value();
    c.mute = mute_->isChecked();
    c.device = device_->currentData().toString().toStdString();
    return c;
}

void AudioSettingsDialog::changed() { emit audio_changed(choice()); }

}  // namespace vt::gui
