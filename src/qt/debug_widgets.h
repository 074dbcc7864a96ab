// Small pieces the debugger's windows share: the fixed-width font of
// listings and grids, and grids filled from the debugger's data.
#pragma once

#include <QFont>
#include <QString>
#include <string>

#include "debug/inspector_data.h"

class QTableWidget;
class QWidget;

namespace vt::gui {

QFont debugger_font();
// A read-only grid of `rows` x `columns` cells without headers shown.
QTableWidget* make_grid(int rows, int columns, QWidget* parent);
// Two columns: label and value.
void fill_grid(QTableWidget* grid, const Grid& rows);
// Sets a cell's text, creating the item when needed.
void set_cell(QTableWidget* grid, int row, int column, const QString& text);
inline QString qs(const std::string& s) { return QString::fromStdString(s); }

}  // namespace vt::gui
