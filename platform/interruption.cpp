#include "interruption.h"

#include <atomic>
#include <csignal>

namespace platform {

namespace {

// Lock-free, so that setting it is safe in a signal handler, and on Windows from the thread that
// the console starts for Ctrl+C.
std::atomic<bool> interrupted { false };
static_assert(std::atomic<bool>::is_always_lock_free);

void noteInterrupt(int) { interrupted.store(true); }

} // namespace

void catchInterrupt() { std::signal(SIGINT, noteInterrupt); }

bool interruptRequested() { return interrupted.load(); }

} // namespace platform
