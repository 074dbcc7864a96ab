#include "qt/interrupt_vectors_dialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/machine.h"
#include "debug/breakpoints.h"
#include "debug/interrupt_vectors.h"
#include "qt/debug_widgets.h"

namespace vt::gui {

InterruptVectorsDialog::InterruptVectorsDialog(Machine& machine, bool loaded, QWidget* parent)
    : QDialog(parent), machine_(machine) {
    setWindowTitle(QStringLiteral("Interrupt Vectors"));
    setWindowFlag(Qt::WindowStaysOnTopHint);

    table_ = new QTableWidget(kVectorRows, kVectorColumns, this);
    table_->setObjectName(QStringLiteral("tableVectors"));
    table_->setFont(debugger_font());
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setToolTip(QStringLiteral("Click the checkbox to add/remove a CPU breakpoint"));
    QStringList columns, rows;
    for (const char* c : kVectorColumnNames) columns << QString::fromLatin1(c);
    for (const char* r : kVectorRowNames) rows << QString::fromLatin1(r);
    table_->setHorizontalHeaderLabels(columns);
    table_->setVerticalHeaderLabels(rows);
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->setEnabled(loaded);

    auto* hint = new QLabel(QStringLiteral("Click the checkbox to add/remove a CPU breakpoint"), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("buttonClose"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table_);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(table_, &QTableWidget::itemChanged, this, &InterruptVectorsDialog::item_clicked);
    resize(440, 330);
    refresh();
}

void InterruptVectorsDialog::refresh() {
    refreshing_ = true;
    const InterruptHandlers handlers = read_interrupt_handlers(machine_);
    for (int column = 0; column < kVectorColumns; column++) {
        for (int row = 0; row < kVectorRows; row++) {
            const uint32_t handler = handlers[size_t(column)][size_t(row)];
            QTableWidgetItem* item = table_->item(row, column);
            if (!item) {
                item = new QTableWidgetItem;
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                table_->setItem(row, column, item);
            }
            item->setText(QStringLiteral("%1").arg(handler, 6, 16, QLatin1Char('0')).toUpper());
            item->setData(Qt::UserRole, handler);
            const BreakpointFind b = breakpoint_find(machine_.debug, handler);
            item->setCheckState(!b.exists ? Qt::Unchecked : b.disabled ? Qt::PartiallyChecked : Qt::Checked);
        }
    }
    refreshing_ = false;
}

void InterruptVectorsDialog::toggle(int row, int column) {
    const QTableWidgetItem* item = table_->item(row, column);
    if (!item) return;
    breakpoint_toggle(machine_.debug, item->data(Qt::UserRole).toUInt());
    refresh();  // every item with the same handler takes the new state
}

void InterruptVectorsDialog::item_clicked(QTableWidgetItem* item) {
    if (refreshing_) return;
    toggle(item->row(), item->column());
}

}  // namespace vt::gui
