// "Folder Preferences": where Gamepaks, battery RAM files, save states and
// PNG captures are kept.
#pragma once

#include <QDialog>

#include "frontend/settings.h"

class QLineEdit;

namespace vt::gui {

class FoldersDialog : public QDialog {
    Q_OBJECT
public:
    FoldersDialog(const Settings& settings, QWidget* parent = nullptr);
    // OK: the four folders into the settings.
    void store(Settings& settings) const;

    QLineEdit* field(int index) const { return fields_[index]; }  // Gamepak, BackupRAM, States, Capture

private:
    QLineEdit* fields_[4] = {};
};

}  // namespace vt::gui
