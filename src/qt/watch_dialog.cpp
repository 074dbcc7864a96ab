#include "qt/watch_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QVBoxLayout>

#include "debug/debugger.h"

namespace vt::gui {

WatchDialog::WatchDialog(uint32_t address, uint32_t attributes, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Add Watch: ") +
                   QStringLiteral("%1").arg(address & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper());
    setModal(true);
    write_ = new QCheckBox(QStringLiteral("Write"), this);
    read_ = new QCheckBox(QStringLiteral("Read"), this);
    trace_ = new QCheckBox(QStringLiteral("Trace"), this);
    write_->setToolTip(QStringLiteral("Stop after the CPU writes this address"));
    read_->setToolTip(QStringLiteral("Stop after the CPU reads this address"));
    trace_->setToolTip(QStringLiteral("Log every access to this address in the trace log"));
    write_->setChecked(attributes & kWatchWrite);
    read_->setChecked(attributes & kWatchRead);
    trace_->setChecked(attributes & kWatchTrace);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("buttonOk"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("buttonCancel"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(write_);
    layout->addWidget(read_);
    layout->addWidget(trace_);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

uint32_t WatchDialog::attributes() const {
    return (write_->isChecked() ? kWatchWrite : 0) | (read_->isChecked() ? kWatchRead : 0) |
           (trace_->isChecked() ? kWatchTrace : 0);
}

}  // namespace vt::gui
