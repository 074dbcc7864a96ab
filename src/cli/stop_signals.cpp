#include "cli/stop_signals.h"

#include <csignal>
#include <initializer_list>

namespace vt::cli {

namespace {

volatile std::sig_atomic_t received = 0;

void note_signal(int signal) { received = signal; }

}  // namespace

void install_stop_handlers() {
    struct sigaction action {};
    action.sa_handler = &note_signal;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
}

int stop_signal() { return received; }

}  // namespace vt::cli
