#include "qt/folders_dialog.h"

#include <QDialogButtonBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vt::gui {

FoldersDialog::FoldersDialog(const Settings& s, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Folder Preferences"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    const char* labels[4] = {"Gamepak:", "BackupRAM:", "States:", "Capture:"};
    const std::string* values[4] = {&s.search_path, &s.backup_path, &s.breakpoint_path, &s.capture_path};
    for (int i = 0; i < 4; i++) {
        grid->addWidget(new QLabel(QString::fromLatin1(labels[i]), this), i, 0);
        auto* edit = new QLineEdit(QString::fromStdString(*values[i]), this);
        edit->setMaxLength(int(kMaxPathSetting));
        edit->setMinimumWidth(300);
        fields_[i] = edit;
        grid->addWidget(edit, i, 1);
        auto* browse = new QPushButton(QStringLiteral("..."), this);
        browse->setFixedWidth(30);
        grid->addWidget(browse, i, 2);
        connect(browse, &QPushButton::clicked, this, [this, edit] {
            QString folder = QFileDialog::getExistingDirectory(this, QStringLiteral("Directory Browser"), edit->text());
            if (!folder.isEmpty()) edit->setText(folder.left(int(kMaxPathSetting)));
        });
    }
    layout->addLayout(grid);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void FoldersDialog::store(Settings& s) const {
    std::string* values[4] = {&s.search_path, &s.backup_path, &s.breakpoint_path, &s.capture_path};
    for (int i = 0; i < 4; i++) *values[i] = fields_[i]->text().toStdString().substr(0, kMaxPathSetting);
}

}  // namespace vt::gui
