// "Breakpoints": the CPU breakpoint list, edited live. A copy is taken when
// the dialog opens and put back on Cancel, so OK keeps the edits and
// Cancel discards them.
#pragma once

#include <QDialog>
#include <cstdint>
#include <vector>

#include "qt/message_box.h"

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace vt {
struct Debugger;
}

namespace vt::gui {

inline constexpr const char* kAddBreakpointCaption = "Add Breakpoint";
inline constexpr const char* kBreakpointExists = "Breakpoint already exists.  ";
inline constexpr const char* kRemoveBreakpointCaption = "Remove Breakpoint";
inline constexpr const char* kBreakpointMissing = "Breakpoint does not exist.  ";

class BreakpointsDialog : public QDialog {
    Q_OBJECT
public:
    BreakpointsDialog(Debugger& debugger, MessageSink messages, QWidget* parent = nullptr);

    QLineEdit* address_box() const { return address_; }
    QListWidget* list() const { return list_; }
    void add();
    void remove();
    void disable_all();

    void reject() override;  // Cancel: the list as it was

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rebuild();
    void item_changed(QListWidgetItem* item);
    void ask(const char* caption, const char* text);

    Debugger& debugger_;
    MessageSink messages_;
    std::vector<uint32_t> saved_;
    QLineEdit* address_ = nullptr;
    QListWidget* list_ = nullptr;
    bool rebuilding_ = false;
};

}  // namespace vt::gui
