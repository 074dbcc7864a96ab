// SIGTERM, SIGINT and SIGHUP end a run at the next frame boundary instead
// of killing the runner: it then writes what it was asked to write (picture,
// dumps, recording, state, battery RAM) and exits 128 + the signal's number.
#pragma once

namespace vt::cli {

void install_stop_handlers();
// The signal that asked the run to stop, 0 while none did.
int stop_signal();

}  // namespace vt::cli
