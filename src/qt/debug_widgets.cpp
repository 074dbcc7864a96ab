#include "qt/debug_widgets.h"

#include <QFontDatabase>
#include <QHeaderView>
#include <QTableWidget>

namespace vt::gui {

QFont debugger_font() { return QFontDatabase::systemFont(QFontDatabase::FixedFont); }

QTableWidget* make_grid(int rows, int columns, QWidget* parent) {
    auto* grid = new QTableWidget(rows, columns, parent);
    grid->setFont(debugger_font());
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->horizontalHeader()->setVisible(false);
    grid->verticalHeader()->setVisible(false);
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 4);
    grid->horizontalHeader()->setStretchLastSection(true);
    return grid;
}

void set_cell(QTableWidget* grid, int row, int column, const QString& text) {
    QTableWidgetItem* item = grid->item(row, column);
    if (!item) {
        item = new QTableWidgetItem;
        grid->setItem(row, column, item);
    }
    if (item->text() != text) item->setText(text);
}

void fill_grid(QTableWidget* grid, const Grid& rows) {
    if (grid->rowCount() != int(rows.size())) grid->setRowCount(int(rows.size()));
    if (grid->columnCount() != 2) grid->setColumnCount(2);
    for (size_t i = 0; i < rows.size(); i++) {
        set_cell(grid, int(i), 0, qs(rows[i].label));
        set_cell(grid, int(i), 1, qs(rows[i].value));
    }
    grid->resizeColumnToContents(0);
}

}  // namespace vt::gui
