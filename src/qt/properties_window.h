// "Gamepak Properties": what the loader learned about the cartridge, the
// battery RAM and capture formats, and the copier header when there was one.
#pragma once

#include <QWidget>

#include "frontend/settings.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QTabWidget;
class QTableWidget;

namespace vt {
struct Machine;
}

namespace vt::gui {

class PropertiesWindow : public QWidget {
    Q_OBJECT
public:
    PropertiesWindow(const Machine& m, Settings& settings, QWidget* parent = nullptr);

    // Shows the loaded cartridge.
    void refresh();

    QTabWidget* tabs() const { return tabs_; }
    QLabel* value_label(int row) const { return values_[row]; }  // Title ... CRC32
    QTableWidget* header_grid() const { return header_grid_; }
    bool header_as_characters() const { return header_chars_; }
    void toggle_header_view();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fill_header_grid();

    const Machine& m_;
    Settings& settings_;
    QTabWidget* tabs_ = nullptr;
    QLabel* values_[8] = {};
    QComboBox* backup_format_ = nullptr;
    QCheckBox* auto_header_ = nullptr;
    QComboBox* capture_format_ = nullptr;
    QWidget* header_page_ = nullptr;
    QTableWidget* header_grid_ = nullptr;
    bool header_chars_ = false;
};

}  // namespace vt::gui
