#include "qt/display_dialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace vt::gui {

DisplayDialog::DisplayDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Display Options"));
    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("Brightness:"), this));
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("sliderBrightness"));
    slider_->setRange(0, 100);
    slider_->setMinimumWidth(200);
    row->addWidget(slider_);
    value_ = new QLabel(this);
    value_->setMinimumWidth(30);
    row->addWidget(value_);
    layout->addLayout(row);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("buttonOk"));
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("buttonCancel"));
    auto* defaults = new QPushButton(QStringLiteral("Default"), this);
    defaults->setObjectName(QStringLiteral("buttonDefault"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(defaults);
    layout->addLayout(buttons);

    connect(slider_, &QSlider::valueChanged, this, [this](int v) {
        value_->setText(QString::number(v));
        emit brightness_changed(v);
    });
    connect(ok, &QPushButton::clicked, this, [this] {
        stored_ = slider_->value();
        emit brightness_chosen(stored_);
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(this, &QDialog::rejected, this, [this] { emit brightness_changed(stored_); });
    connect(defaults, &QPushButton::clicked, this, [this] { slider_->setValue(50); });
}

void DisplayDialog::start(int stored_brightness) {
    stored_ = stored_brightness;
    slider_->setValue(stored_brightness);
    value_->setText(QString::number(stored_brightness));
}

}  // namespace vt::gui
