#include "interruption.h"

#include <atomic>
#include <csignal>

using namespace Qt::StringLiterals;

namespace platform {

namespace {

// Lock-free, so that setting it is safe in a signal handler, and on Windows from the thread that
// the console starts for Ctrl+C.
std::atomic<int> firstRequest { 0 };
static_assert(std::atomic<int>::is_always_lock_free);

void noteRequest(int signalNumber)
{
    // The first request is the one the run answers: a SIGHUP that follows a Ctrl+C as the
    // terminal closes does not change what the user asked for.
    int none = 0;
    firstRequest.compare_exchange_strong(none, signalNumber);
}

} // namespace

void catchStopRequests()
{
    std::signal(SIGINT, noteRequest);
    std::signal(SIGTERM, noteRequest);
#ifdef SIGHUP
    std::signal(SIGHUP, noteRequest);
#endif
}

StopRequest stopRequest()
{
    switch (firstRequest.load()) {
    case SIGINT:
        return StopRequest::CtrlC;
    case SIGTERM:
        return StopRequest::Terminate;
#ifdef SIGHUP
    case SIGHUP:
        return StopRequest::HangUp;
#endif
    default:
        return StopRequest::None;
    }
}

QString stopRequestName(StopRequest request)
{
    switch (request) {
    case StopRequest::HangUp:
        return u"SIGHUP"_s;
    case StopRequest::CtrlC:
        return u"Ctrl+C"_s;
    case StopRequest::Terminate:
        return u"SIGTERM"_s;
    case StopRequest::None:
        break;
    }
    return {};
}

} // namespace platform
