// veltrane: the desktop program. `veltrane [FILE]` opens the main window and
// loads FILE, or the built-in demo cartridge when no file is given.
#include <QApplication>
#include <QFileInfo>
#include <cstdio>
#include <string>
#include <vector>

#include "frontend/data_folder.h"
#include "frontend/demo_cartridge.h"
#include "frontend/desktop_args.h"
#include "qt/main_window.h"
#include "qt/stop_signals.h"

namespace {

std::vector<std::string> arguments(int argc, char** argv) {
    std::vector<std::string> words;
    for (int i = 1; i < argc; i++) words.emplace_back(argv[i]);
    return words;
}

}  // namespace

int main(int argc, char** argv) {
    // --help and --version answer before any window is needed.
    const vt::DesktopArgs early = vt::parse_desktop_args(arguments(argc, argv));
    if (early.action == vt::DesktopAction::Help) {
        std::fputs(vt::desktop_usage().c_str(), stdout);
        return 0;
    }
    if (early.action == vt::DesktopAction::Version) {
        std::fputs(vt::desktop_version_text(VELTRANE_VERSION).c_str(), stdout);
        return 0;
    }

    QApplication app(argc, argv);  // takes the window system's own options out of argv
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));
    const vt::DesktopArgs args = vt::parse_desktop_args(arguments(argc, argv));
    if (args.action == vt::DesktopAction::BadUsage) {
        std::fprintf(stderr, "veltrane: %s\n%s", args.message.c_str(), vt::desktop_usage().c_str());
        return 1;
    }

    // A terminal's Ctrl+C, a polite kill or a closed session closes the
    // window the normal way, so battery RAM and settings are written. The
    // handlers go in before the window can show its first message box.
    vt::gui::StopSignals::install();
    // The log and the demo's battery RAM live in the program's data folder.
    vt::make_program_data_folder();

    vt::gui::MainWindow window;
    window.restore_window_place();  // where it was last time, else centred
    window.show();
    window.activateWindow();

    if (!args.file.empty()) {
        // The Reload list and the reload check keep full paths.
        window.open_start_file(QFileInfo(QString::fromStdString(args.file)).absoluteFilePath().toStdString(),
                               vt::default_demo_data_folder());
    } else {
        window.load_demo(vt::default_demo_data_folder());
    }
    return app.exec();
}
