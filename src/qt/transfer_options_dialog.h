// "Transfer Options": the copier device, the port and whether battery RAM
// goes along with a transfer.
#pragma once

#include <QDialog>

#include "frontend/settings.h"

class QCheckBox;
class QComboBox;

namespace vt::gui {

class TransferOptionsDialog : public QDialog {
    Q_OBJECT
public:
    TransferOptionsDialog(const Settings& settings, QWidget* parent = nullptr);
    void store(Settings& settings) const;

    QComboBox* device_list() const { return device_; }
    QComboBox* port_list() const { return port_; }
    QCheckBox* send_backup() const { return send_backup_; }

private:
    void device_chosen(int index);

    QComboBox* device_ = nullptr;
    QComboBox* port_ = nullptr;
    QCheckBox* send_backup_ = nullptr;
};

}  // namespace vt::gui
