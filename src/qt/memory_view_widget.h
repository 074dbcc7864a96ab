// The inspector's "BUS" page: the memory view of the main CPU's address
// space with its keys (Page Up/Down, with Ctrl a bank; Home/End; Left and
// Right across rows), the "Jump to" box, hex or character cells, and the
// watch dialog on a double-click. A box chooses the memory: the CPU's
// address space, or VRAM, CGRAM, OAM or the audio RAM.
#pragma once

#include <QWidget>
#include <functional>

#include "debug/memory_view.h"

class QComboBox;
class QLineEdit;
class QRadioButton;
class QTableWidget;

namespace vt {
struct Machine;
}

namespace vt::gui {

class MemoryViewWidget : public QWidget {
    Q_OBJECT
public:
    explicit MemoryViewWidget(Machine& machine, QWidget* parent = nullptr);

    void refresh();
    const MemoryView& view() const { return view_; }
    QTableWidget* table() const { return table_; }
    QLineEdit* jump_box() const { return jump_; }
    QRadioButton* character_button() const { return character_; }
    QComboBox* memory_box() const { return memory_; }
    // A byte was double-clicked: its 24-bit address (the inspector opens
    // the watch dialog).
    std::function<void(uint32_t address)> on_watch;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void place_cursor();

    Machine& machine_;
    MemoryView view_;
    QTableWidget* table_ = nullptr;
    QLineEdit* jump_ = nullptr;
    QRadioButton* character_ = nullptr;
    QComboBox* memory_ = nullptr;
    bool placing_ = false;
};

}  // namespace vt::gui
