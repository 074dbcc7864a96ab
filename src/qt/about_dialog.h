// "About" and "Release Notes", the two windows of the Help menu.
#pragma once

#include <QDialog>

namespace vt::gui {

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

class ReleaseNotesDialog : public QDialog {
    Q_OBJECT
public:
    explicit ReleaseNotesDialog(QWidget* parent = nullptr);
};

}  // namespace vt::gui
