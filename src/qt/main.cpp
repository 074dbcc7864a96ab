// veltrane: the desktop program. `veltrane [FILE]` opens the main window and
// loads FILE, or the built-in demo cartridge when no file is given.
#include <QApplication>
#include <QFileInfo>
#include <QScreen>

#include "frontend/data_folder.h"
#include "frontend/demo_cartridge.h"
#include "qt/main_window.h"
#include "qt/stop_signals.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));

    // A terminal's Ctrl+C, a polite kill or a closed session closes the
    // window the normal way, so battery RAM and settings are written. The
    // handlers go in before the window can show its first message box.
    vt::gui::StopSignals::install();
    // The log and the demo's battery RAM live in the program's data folder.
    vt::make_program_data_folder();

    vt::gui::MainWindow window;
    window.show();
    // Centred on the screen at start.
    if (QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.activateWindow();

    const QStringList args = QCoreApplication::arguments();
    // The Reload list and the reload check keep full paths.
    if (args.size() > 1) {
        window.open_file(QFileInfo(args[1]).absoluteFilePath().toStdString());
    } else {
        window.load_demo(vt::default_demo_data_folder());
    }
    return app.exec();
}
