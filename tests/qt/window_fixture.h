// Helpers for the widget tests: a main window on a private settings file,
// without sound, whose message boxes and file dialogs are answered by the
// test.
#pragma once

#include <QTemporaryDir>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "qt/main_window.h"

namespace vt::gui::test {

std::string test_rom(const char* name);  // path of a built test cartridge

struct WindowFixture {
    WindowFixture();
    ~WindowFixture();

    // A new window on the fixture's settings file (the old one, if any, is
    // destroyed first, which writes its settings).
    MainWindow& open();
    void close_window();

    QString settings_file() const { return dir.filePath(QStringLiteral("settings.ini")); }
    std::string path(const char* name) const { return dir.filePath(QString::fromLatin1(name)).toStdString(); }
    // A copy of a test cartridge in the fixture's folder.
    std::string copy_rom(const char* rom, const char* as);

    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
    std::vector<BoxRequest> messages;        // every message box asked for
    std::deque<BoxAnswer> answers;           // answers to give, in order (default: Cancel/No/Ok)
    std::vector<FileRequest> file_requests;  // every file dialog
    std::function<QString(FileRequest&)> on_file_dialog;
    std::function<void(const BoxRequest&)> on_message;  // called while a box is "open"
    std::function<void(MainWindowOptions&)> adjust_options;  // changes to the window's options before open()
    int exit_status = -1;  // what a stop signal would have ended the process with
};

}  // namespace vt::gui::test
