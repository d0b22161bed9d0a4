// Ctrl+C, a closed terminal or a `timeout` at the command line, taken as a request to stop rather
// than an end without a word.
#pragma once

#include <QString>

namespace platform {

// Which signal asked the program to stop. The values are the signals' numbers, so that 128 + the
// value is the exit code a shell gives a program that the signal ended.
enum class StopRequest {
    None = 0,
    // SIGHUP: the terminal was closed.
    HangUp = 1,
    // SIGINT, or the console's Ctrl+C on Windows.
    CtrlC = 2,
    // SIGTERM: `timeout`, `kill`, a service manager.
    Terminate = 15,
};

// From now on Ctrl+C, SIGTERM and SIGHUP only note the request, so that a run in progress can close
// its port and say what it did before it ends.
void catchStopRequests();

// The first stop request since catchStopRequests(), or None.
StopRequest stopRequest();

// How the receipts name it: "Ctrl+C", "SIGTERM", "SIGHUP".
QString stopRequestName(StopRequest request);

} // namespace platform
