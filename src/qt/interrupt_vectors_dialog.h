// "Interrupt Vectors": the handlers the twelve vectors of bank 0 point to,
// in emulation mode ("W65C02S") and native mode ("W65C816S"), each with a
// check box that sets or removes a CPU breakpoint on the handler. Stays on
// top of the other windows.
#pragma once

#include <QDialog>

class QTableWidget;
class QTableWidgetItem;

namespace vt {
struct Machine;
}

namespace vt::gui {

class InterruptVectorsDialog : public QDialog {
    Q_OBJECT
public:
    // `loaded`: a cartridge is loaded; otherwise the list is disabled.
    InterruptVectorsDialog(Machine& machine, bool loaded, QWidget* parent = nullptr);

    QTableWidget* table() const { return table_; }
    // Reads the vectors again and shows each handler's breakpoint state.
    void refresh();
    // What a click on an item's box does: removes the breakpoint at the
    // handler if there is one, else adds one.
    void toggle(int row, int column);

private:
    void item_clicked(QTableWidgetItem* item);

    Machine& machine_;
    QTableWidget* table_ = nullptr;
    bool refreshing_ = false;
};

}  // namespace vt::gui
