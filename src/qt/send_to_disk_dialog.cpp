#include "qt/send_to_disk_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QValidator>
#include <QVBoxLayout>

#include "frontend/copier_volumes.h"

namespace vt::gui {

namespace {

// Refuses the characters a copier file name cannot hold, with a beep.
class DiskNameValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override {
        for (QChar c : input) {
            if (c.unicode() < 0x80 && !disk_name_char_allowed(char(c.unicode()))) {
                QApplication::beep();
                return Invalid;
            }
        }
        return Acceptable;
    }
};

}  // namespace

SendToDiskDialog::SendToDiskDialog(CopierDevice device, const QString& name, QWidget* parent)
    : QDialog(parent), device_(device) {
    setWindowTitle(QStringLiteral("Send to Disk"));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    name_ = new QLineEdit(this);
    name_->setObjectName(QStringLiteral("editFileName"));
    name_->setValidator(new DiskNameValidator(name_));
    name_->setText(name);
    split_ = new QComboBox(this);
    split_->setObjectName(QStringLiteral("listVolumeSplitSize"));
    if (device == CopierDevice::SuperWildcard) {
        for (int i = 0; i < kSplitSizeItems; i++) split_->addItem(QString::fromLatin1(split_size_caption(i)));
        split_->setCurrentIndex(0);
    } else {
        split_->addItem(QString::fromLatin1(split_size_caption(kSplitSize1440K)));
    }
    form->addRow(QStringLiteral("File Name"), name_);
    form->addRow(QStringLiteral("Volume Split Size"), split_);
    layout->addLayout(form);
    auto* buttons = new QDialogButtonBox(this);
    ok_ = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok_->setObjectName(QStringLiteral("buttonOk"));
    ok_->setDefault(true);
    connect(ok_, &QPushButton::clicked, this, [this] { ok_clicked(); });
    layout->addWidget(buttons);
    connect(name_, &QLineEdit::textChanged, this, [this] { name_changed(); });
    name_changed();
}

void SendToDiskDialog::show_as_next_volume(uint32_t split_blocks) {
    setWindowTitle(QStringLiteral("Insert Next Volume"));
    name_->setReadOnly(true);
    if (device_ == CopierDevice::SuperWildcard) {
        for (int i = 0; i < kSplitSizeItems; i++)
            if (kSplitSizeBlocks[i] == split_blocks) split_->setCurrentIndex(i);
    }
}

QString SendToDiskDialog::file_name() const { return name_->text(); }

uint32_t SendToDiskDialog::split_blocks() const {
    if (device_ == CopierDevice::GameDoctor) return 0;  // its one item counts as Auto Detect
    const int item = split_->currentIndex();
    return item >= 0 && item < kSplitSizeItems ? kSplitSizeBlocks[item] : 0;
}

// With no name there is nothing to write: the button cancels.
void SendToDiskDialog::name_changed() {
    ok_->setText(name_->text().isEmpty() ? QStringLiteral("Cancel") : QStringLiteral("OK"));
}

void SendToDiskDialog::ok_clicked() {
    if (name_->text().isEmpty()) reject();
    else accept();
}

}  // namespace vt::gui
