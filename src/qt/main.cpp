// veltrane: the desktop program. `veltrane [FILE]` opens the main window and
// loads FILE, or the built-in demo cartridge when no file is given.
#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QTimer>
#include <atomic>
#include <csignal>

#include "frontend/demo_cartridge.h"
#include "qt/main_window.h"

namespace {

// A terminal's Ctrl+C or a polite kill closes the window the normal way, so
// battery RAM and settings are written.
std::atomic<bool> stop_requested{false};

void request_stop(int) { stop_requested = true; }

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Veltrane"));
    QCoreApplication::setApplicationName(QStringLiteral("Veltrane"));

    vt::gui::MainWindow window;
    window.show();
    // Centred on the screen at start.
    if (QScreen* screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.activateWindow();

    std::signal(SIGINT, request_stop);
    std::signal(SIGTERM, request_stop);
    QTimer stop_poll;
    QObject::connect(&stop_poll, &QTimer::timeout, &window, [&window] {
        if (stop_requested.exchange(false)) window.close();
    });
    stop_poll.start(200);

    const QStringList args = QCoreApplication::arguments();
    // The Reload list and the reload check keep full paths.
    if (args.size() > 1) {
        window.open_file(QFileInfo(args[1]).absoluteFilePath().toStdString());
    } else {
        window.load_demo(vt::default_demo_data_folder());
    }
    return app.exec();
}
