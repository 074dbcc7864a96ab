#include "qt/transfer_options_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

namespace vt::gui {

namespace {
constexpr int kDiskPort = 4;
constexpr int kGameDoctor = 1;
}  // namespace

TransferOptionsDialog::TransferOptionsDialog(const Settings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Transfer Options"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    device_ = new QComboBox(this);
    device_->addItems({QStringLiteral("Super Wildcard"), QStringLiteral("Game Doctor SF III")});
    port_ = new QComboBox(this);
    for (int n = 1; n <= 4; n++) port_->addItem(QStringLiteral("LPT%1: (Send to Parallel Port)").arg(n));
    port_->addItem(QStringLiteral("DISK: (Send to Disk)"));
    form->addRow(QStringLiteral("Device:"), device_);
    form->addRow(QStringLiteral("Port:"), port_);
    layout->addLayout(form);
    send_backup_ = new QCheckBox(QStringLiteral("Send BackupRAM "), this);
    layout->addWidget(send_backup_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    // A stored device of 2 passes the range check but names no device.
    device_->setCurrentIndex(s.transfer_device == kGameDoctor ? kGameDoctor : 0);
    port_->setCurrentIndex(s.transfer_port);
    send_backup_->setChecked(s.send_backup_ram);
    connect(device_, &QComboBox::currentIndexChanged, this, [this](int i) { device_chosen(i); });
    device_chosen(device_->currentIndex());
}

void TransferOptionsDialog::device_chosen(int index) {
    // The Game Doctor takes only disk files.
    if (index == kGameDoctor) port_->setCurrentIndex(kDiskPort);
    port_->setEnabled(index != kGameDoctor);
}

void TransferOptionsDialog::store(Settings& s) const {
    s.transfer_device = device_->currentIndex();
    s.transfer_port = port_->currentIndex();
    s.send_backup_ram = send_backup_->isChecked();
}

}  // namespace vt::gui
