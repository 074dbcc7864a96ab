// The watch dialog of the memory view, "Add Watch: " and the address: what
// an access to the address does. "Write" and "Read" stop the machine after
// such an access, "Trace" writes a line to the log for every access.
#pragma once

#include <QDialog>
#include <cstdint>

class QCheckBox;

namespace vt::gui {

class WatchDialog : public QDialog {
    Q_OBJECT
public:
    // `attributes`: the entry's kWatch bits (0 for a new one).
    WatchDialog(uint32_t address, uint32_t attributes, QWidget* parent = nullptr);
    uint32_t attributes() const;
    QCheckBox* write_box() const { return write_; }
    QCheckBox* read_box() const { return read_; }
    QCheckBox* trace_box() const { return trace_; }

private:
    QCheckBox* write_ = nullptr;
    QCheckBox* read_ = nullptr;
    QCheckBox* trace_ = nullptr;
};

}  // namespace vt::gui
