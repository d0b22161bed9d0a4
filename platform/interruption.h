// Ctrl+C at the command line, taken as a request to stop rather than an end without a word.
#pragma once

namespace platform {

// From now on Ctrl+C (SIGINT on Linux, the console's Ctrl+C on Windows) only sets a flag, so that
// a run in progress can close its port and say what it did before it ends.
void catchInterrupt();

// True once Ctrl+C has been pressed since catchInterrupt().
bool interruptRequested();

} // namespace platform
