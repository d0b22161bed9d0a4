// qx7m-sim: a QX-7M box on a pseudo-terminal, for trying uploads without the hardware; or a projector, for
// trying the strings the box would send it.
#include "options.h"
#include "projectorreport.h"
#include "pseudoterminal.h"
#include "simulateddevice.h"
#include "simulatedprojector.h"
#include "uploadreport.h"

#include "platform/programidentity.h"

#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include <poll.h>
#include <pthread.h>
#include <sys/prctl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace tools;

namespace {

volatile std::sig_atomic_t stopRequested = 0;

void requestStop(int) { stopRequested = 1; }

// SIGTERM and SIGINT stay blocked except while the emulator waits, so that a stop request can only cut a wait short,
// never a write in the middle of an answer.
class StopSignals {
public:
    StopSignals()
    {
        sigset_t stops;
        sigemptyset(&stops);
        sigaddset(&stops, SIGTERM);
        sigaddset(&stops, SIGINT);
        pthread_sigmask(SIG_BLOCK, &stops, &m_waitMask);
        m_blockedMask = m_waitMask;
        sigaddset(&m_blockedMask, SIGTERM);
        sigaddset(&m_blockedMask, SIGINT);

        struct sigaction action { };
        action.sa_handler = requestStop;
        sigemptyset(&action.sa_mask);
        sigaction(SIGTERM, &action, nullptr);
        sigaction(SIGINT, &action, nullptr);
    }

    const sigset_t& waitMask() const { return m_waitMask; }
    void allow() const { pthread_sigmask(SIG_SETMASK, &m_waitMask, nullptr); }
    void block() const { pthread_sigmask(SIG_SETMASK, &m_blockedMask, nullptr); }

private:
    sigset_t m_waitMask;
    sigset_t m_blockedMask;
};

std::chrono::nanoseconds monotonicNow()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return std::chrono::seconds(now.tv_sec) + std::chrono::nanoseconds(now.tv_nsec);
}

// An absolute deadline, so that the time spent deciding and writing is not added on top of the wire time. The
// system wakes a sleeper some tens of microseconds late, which over a few hundred answers would be charged to the
// PC side, so the last stretch is waited out awake.
bool sleepUntil(std::chrono::nanoseconds deadline, const StopSignals& stopSignals)
{
    constexpr std::chrono::microseconds kAwakeStretch { 200 };
    const std::chrono::nanoseconds wakeAt = deadline - kAwakeStretch;
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wakeAt);
    const timespec until { static_cast<time_t>(seconds.count()), static_cast<long>((wakeAt - seconds).count()) };
    stopSignals.allow();
    while (!stopRequested && clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &until, nullptr) == EINTR) { }
    stopSignals.block();
    while (!stopRequested && monotonicNow() < deadline) { }
    return !stopRequested;
}

void print(const QByteArray& text)
{
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fflush(stdout);
}

bool writeAll(int fd, const QByteArray& bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t count = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (count < 0 && errno != EINTR)
            return false;
        written += count > 0 ? count : 0;
    }
    return true;
}

int fail(const char* what)
{
    std::fprintf(stderr, "qx7m-sim: %s: %s\n", what, std::strerror(errno));
    return 1;
}

// What the PC sent next: count bytes in buffer once some came; 0 once a stop signal came; failed
// names the call that failed, with errno telling why.
struct PcBytes {
    ssize_t count = 0;
    const char* failed = nullptr;
};

PcBytes readFromPc(PseudoTerminal& line, char (&buffer)[256], const StopSignals& stopSignals)
{
    // A PC side's close is looked into once the PC has sent nothing for this long, so that the look never holds up a
    // byte.
    constexpr std::chrono::milliseconds kQuietSpell { 50 };
    std::chrono::nanoseconds lookAt = monotonicNow() + kQuietSpell;
    pollfd watched[] { { line.masterFd(), POLLIN, 0 }, { line.closeWatchFd(), POLLIN, 0 } };
    while (!stopRequested) {
        const std::chrono::nanoseconds untilLook = std::max(lookAt - monotonicNow(), std::chrono::nanoseconds(0));
        const timespec lookWait { 0, static_cast<long>(untilLook.count()) };
        const int ready = ppoll(watched, 2, line.lookDue() ? &lookWait : nullptr, &stopSignals.waitMask());
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            return { 0, "poll" };
        }
        if (ready == 0)
            line.releaseAbandonedExclusiveUse();
        if (watched[1].revents != 0) {
            lookAt = line.lookDue() ? lookAt : monotonicNow() + kQuietSpell;
            line.takeCloses();
        }
        if (ready == 0 || watched[0].revents == 0)
            continue;
        const ssize_t count = ::read(line.masterFd(), buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            return { 0, "read" };
        return { count, nullptr };
    }
    return {};
}

int serve(PseudoTerminal& line, const Options& options, const StopSignals& stopSignals)
{
    SimulatedDevice device(options.faults, AnswerTiming(options.wireBaud, options.answerDelay));
    char buffer[256];

    for (;;) {
        const PcBytes sent = readFromPc(line, buffer, stopSignals);
        if (sent.failed)
            return fail(sent.failed);
        if (sent.count == 0)
            return 0;
        const std::chrono::nanoseconds seen = monotonicNow();

        for (ssize_t index = 0; index < sent.count; ++index) {
            Reaction reaction = device.receive(quint8(buffer[index]), seen);
            // The settings are read before the last answer goes out: once it has, the PC may close the port, and
            // closing puts back the settings it found there.
            if (reaction.completed)
                reaction.completed->lineSettings = line.pcLineSettings();
            if (!reaction.answer.isEmpty()) {
                if (reaction.answerAt > seen && !sleepUntil(reaction.answerAt, stopSignals))
                    return 0;
                if (!writeAll(line.masterFd(), reaction.answer))
                    return fail("write");
            }
            if (reaction.completed) {
                print(options.json ? jsonReport(*reaction.completed) : humanReport(*reaction.completed));
                if (options.once)
                    return 0;
            }
            if (options.hangUpAfter > 0 && reaction.position == options.hangUpAfter) {
                line.hangUp();
                print(options.json ? jsonHangUpReport(reaction.position) : humanHangUpReport(reaction.position));
                return 0;
            }
        }
    }
}

int serveAsProjector(PseudoTerminal& line, const Options& options, const StopSignals& stopSignals)
{
    const std::chrono::nanoseconds start = monotonicNow();
    SimulatedProjector projector(options.reply);
    char buffer[256];

    for (;;) {
        const PcBytes sent = readFromPc(line, buffer, stopSignals);
        if (sent.failed)
            return fail(sent.failed);
        if (sent.count == 0)
            return 0;
        for (ProjectorLine& received : projector.receive(QByteArrayView(buffer, sent.count), monotonicNow())) {
            // Read before the answer: once the PC has it, it may close the port, which puts back the settings it
            // found there.
            received.lineSettings = line.pcLineSettings();
            if (!writeAll(line.masterFd(), projector.reply()))
                return fail("write");
            print(options.json ? jsonLineReport(received, projector.reply(), start)
                               : humanLineReport(received, projector.reply(), start));
        }
    }
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(u"qx7m-sim"_s);
    QCoreApplication::setApplicationVersion(QString(platform::kProgramVersion));
    const Options options = readCommandLine(QCoreApplication::arguments());
    const StopSignals stopSignals;
    // The default slack of 50 us per wake-up would add up over an upload of several hundred bytes.
    prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);

    PseudoTerminal line;
    if (!line.open()) {
        std::fprintf(stderr, "qx7m-sim: cannot open a pseudo-terminal: %s\n", qPrintable(line.errorString()));
        return 1;
    }
    print(line.slavePath().toLocal8Bit() + '\n');
    return options.projector ? serveAsProjector(line, options, stopSignals) : serve(line, options, stopSignals);
}
