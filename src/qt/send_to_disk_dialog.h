// "Send to Disk": the copier disk file name and the volume split size.
// Shown again, captioned "Insert Next Volume" with the name fixed, when the
// next volume needs another disk.
#pragma once

#include <QDialog>

#include "frontend/copier_plan.h"

class QComboBox;
class QLineEdit;
class QPushButton;

namespace vt::gui {

class SendToDiskDialog : public QDialog {
    Q_OBJECT
public:
    SendToDiskDialog(CopierDevice device, const QString& name, QWidget* parent = nullptr);

    // The next-volume form: other caption, the name read-only.
    void show_as_next_volume(uint32_t split_blocks);

    QString file_name() const;
    // Blocks per volume; 0 for Auto Detect (the Game Doctor's only item).
    uint32_t split_blocks() const;

    QLineEdit* name_field() const { return name_; }
    QComboBox* split_list() const { return split_; }
    QPushButton* ok_button() const { return ok_; }

private:
    void name_changed();
    void ok_clicked();

    CopierDevice device_;
    QLineEdit* name_ = nullptr;
    QComboBox* split_ = nullptr;
    QPushButton* ok_ = nullptr;
};

}  // namespace vt::gui
