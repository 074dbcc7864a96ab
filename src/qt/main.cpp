// veltrane: the desktop program. `veltrane [FILE]` opens the main window and
// loads FILE when one is given.
#include <QApplication>
#include <QScreen>

#include "qt/main_window.h"

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

    const QStringList args = QCoreApplication::arguments();
    if (args.size() > 1) window.open_file(args[1].toStdString());
    return app.exec();
}
