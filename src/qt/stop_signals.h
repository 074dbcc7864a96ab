// SIGTERM, SIGINT and SIGHUP close the desktop program as its Exit command
// does: battery RAM and settings are written. The handlers only write the
// signal's number into a pipe, the one thing a handler can safely do; a
// QSocketNotifier on the other end hands it to the window on the
// user-interface thread, inside whatever event loop runs at the time (the
// main loop, or a message box's while one is open).
#pragma once

#include <QObject>

class QSocketNotifier;

namespace vt::gui {

class StopSignals : public QObject {
    Q_OBJECT
public:
    // Creates the pipe and installs the handlers. Needs the QApplication;
    // call it before anything can open a message box. Installing again
    // gives the same object and puts the handlers back.
    static StopSignals* install();
    static StopSignals* instance();

    // Installs the handlers again, after a library that may have put its own
    // in their place.
    static void reinstall_handlers();
    // Whether all three signals still reach our handler.
    static bool handlers_in_place();

signals:
    // Nobody listening: the program ends at once with 128 + the signal.
    void stop_requested(int signal);

private:
    explicit StopSignals(int read_end);
    void read_pipe();

    int read_end_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace vt::gui
