#include "qt/stop_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMetaMethod>
#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace vt::gui {

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

int pipe_write_end = -1;
StopSignals* the_instance = nullptr;

void on_stop_signal(int signal) {
    const int saved_errno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    [[maybe_unused]] ssize_t written = ::write(pipe_write_end, &number, 1);
    errno = saved_errno;
}

}  // namespace

StopSignals::StopSignals(int read_end) : QObject(QCoreApplication::instance()), read_end_(read_end) {
    notifier_ = new QSocketNotifier(read_end_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { read_pipe(); });
}

StopSignals* StopSignals::install() {
    if (!the_instance) {
        int ends[2];
        if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) return nullptr;
        pipe_write_end = ends[1];
        the_instance = new StopSignals(ends[0]);
    }
    reinstall_handlers();
    return the_instance;
}

StopSignals* StopSignals::instance() { return the_instance; }

void StopSignals::reinstall_handlers() {
    if (pipe_write_end < 0) return;
    struct sigaction action {};
    action.sa_handler = &on_stop_signal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kStopSignals) ::sigaction(signal, &action, nullptr);
}

bool StopSignals::handlers_in_place() {
    for (int signal : kStopSignals) {
        struct sigaction current {};
        if (::sigaction(signal, nullptr, &current) != 0 || current.sa_handler != &on_stop_signal) return false;
    }
    return true;
}

void StopSignals::read_pipe() {
    unsigned char number = 0;
    if (::read(read_end_, &number, 1) != 1) return;
    if (!isSignalConnected(QMetaMethod::fromSignal(&StopSignals::stop_requested))) ::_exit(128 + number);
    emit stop_requested(number);
}

}  // namespace vt::gui
