// Times one wait for the QX-7M's answer while a broken device floods the line with wrong bytes, and
// a projector trial while the projector does: each must end on time and cost little of it.
#include "cli/trialrun.h"
#include "device/seriallink.h"
#include "platform/dialogprompts.h"
#include "platform/qtserialport.h"
#include "trialwindow/trialwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPlainTextEdit>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <iterator>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr quint8 kWrongByte = 0x15;

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Writes wrong bytes into the device's end until it is killed: one every 100 us, or as fast as
// the pseudo-terminal takes them.
[[noreturn]] void flood(int master, bool paced)
{
    char bytes[4096];
    std::fill(std::begin(bytes), std::end(bytes), char(kWrongByte));
    timespec next {};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (;;) {
        if (::write(master, bytes, paced ? 1 : sizeof bytes) < 0)
            ::_exit(0);
        if (!paced)
            continue;
        next.tv_nsec += 100'000;
        if (next.tv_nsec >= 1'000'000'000) {
            next.tv_nsec -= 1'000'000'000;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
}

struct Run {
    double wallS = 0;
    double cpuS = 0;
};

// A pseudo-terminal whose device end is already raw, so that no byte of the flood is taken as a
// line-editing key before the program opens it; -1 when the system gives none.
int rawPseudoTerminal()
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return -1;
    const int device = ::open(::ptsname(master), O_RDWR | O_NOCTTY);
    termios settings {};
    if (device < 0 || ::tcgetattr(device, &settings) != 0)
        return -1;
    ::cfmakeraw(&settings);
    ::tcsetattr(device, TCSANOW, &settings);
    ::close(device);
    return master;
}

// A figure of /proc/self/status in kB ("VmHWM: %ld kB"), or 0 when it cannot tell.
long statusKb(const char* format)
{
    long kb = 0;
    if (std::FILE* status = std::fopen("/proc/self/status", "r")) {
        char line[256];
        while (std::fgets(line, sizeof line, status))
            std::sscanf(line, format, &kb);
        std::fclose(status);
    }
    return kb;
}

// Starts the peak memory (VmHWM) afresh and returns what is resident now, in kB.
long idleKb()
{
    if (std::FILE* clearRefs = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clearRefs);
        std::fclose(clearRefs);
    }
    return statusKb("VmRSS: %ld kB");
}

constexpr qint64 kListenMs = 2000;

// The system's clock, noting when the command line's trial first and last looked at it: the
// port's opening, when the string goes out at once, and the end of the listening.
class NotingClock final : public platform::Clock {
public:
    qint64 monotonicMs() const override
    {
        last = m_clock.monotonicMs();
        first = first < 0 ? last : first;
        return last;
    }
    int wallMsIntoSecond() const override { return m_clock.wallMsIntoSecond(); }

    mutable qint64 first = -1;
    mutable qint64 last = -1;

private:
    platform::SystemClock m_clock;
};

struct TrialFigures {
    Run run;
    // From the last byte sent to the end of the listening, by the trial's own clock.
    qint64 listenedMs = 0;
    long peakAboveIdleKb = 0;
    // The command line's receipt: the reply's bytes kept, and all of them.
    qsizetype kept = 0;
    qint64 total = 0;
    // The window: its log's lines, and the longest its event loop went without turning.
    int logLines = 0;
    double longestStallMs = 0;
};

// "PWR<CR>" tried on a projector that floods the line from before the trial to after it, as the
// trial window runs it (its timer on the event loop, the window shown and painted before the
// figures start) or as the command line does.
std::optional<TrialFigures> floodedTrial(bool window)
{
    const int master = rawPseudoTerminal();
    if (master < 0)
        return std::nullopt;
    const QString device = QString::fromLocal8Bit(::ptsname(master));
    const pid_t writer = ::fork();
    if (writer == 0)
        flood(master, false);

    const NotingClock clock;
    const device::TrialPlan plan = device::planTrial("PWR\r");
    TrialFigures figures;
    bool sent = false;
    long idle = 0;
    QElapsedTimer wall;
    double cpuBefore = 0;
    const auto begin = [&] {
        idle = idleKb();
        cpuBefore = cpuSeconds();
        wall.start();
    };
    if (window) {
        platform::QtSerialPort port(platform::WaitStyle::KeepWindowsPainting);
        platform::DialogPrompts prompts;
        device::ProjectorPort projectorPort { device, true, device::PortDeviceChoice() };
        const QString boxPort = u"1"_s;
        trialwindow::TrialWindow trialWindow(
            { prompts, port, clock, projectorPort, boxPort, [] { return QStringList(); } }, nullptr);
        trialWindow.show();
        QEventLoop loop;
        QTimer::singleShot(500, &loop, &QEventLoop::quit);
        loop.exec();
        QObject::connect(&trialWindow, &trialwindow::TrialWindow::runningChanged, &loop, [&](bool running) {
            if (!running)
                loop.quit();
        });
        QTimer turn;
        turn.setTimerType(Qt::PreciseTimer);
        QElapsedTimer sinceTurn;
        QObject::connect(&turn, &QTimer::timeout, &loop, [&] {
            figures.longestStallMs = std::max(figures.longestStallMs, double(sinceTurn.nsecsElapsed()) / 1e6);
            sinceTurn.start();
        });
        begin();
        turn.start(5);
        sinceTurn.start();
        trialWindow.start(plan, 19200);
        sent = trialWindow.isRunning();
        if (sent)
            loop.exec();
        // "0.031 s  sent 50 57 52 0D" ... "2.032 s  listening over"
        const QStringList lines = trialWindow.findChild<QPlainTextEdit*>(u"TrialLog"_s)->toPlainText().split(u'\n');
        figures.logLines = int(lines.size());
        sent = sent && lines.size() > 2 && lines.constLast().endsWith(u"listening over"_s);
        if (sent)
            figures.listenedMs = qRound64(
                (lines.constLast().section(u' ', 0, 0).toDouble() - lines.at(1).section(u' ', 0, 0).toDouble()) * 1000);
    } else {
        platform::QtSerialPort port(platform::WaitStyle::Blocking);
        begin();
        const cli::TrialReceipt receipt = cli::runTrial(
            { plan.steps, 19200, {}, {} }, device, { kListenMs, false }, port, clock, [] { return false; });
        sent = receipt.outcome == cli::TrialOutcome::Sent;
        figures.kept = receipt.reply.size();
        figures.total = receipt.replyBytes;
        figures.listenedMs = clock.last - clock.first;
    }
    figures.run = { double(wall.nsecsElapsed()) / 1e9, cpuSeconds() - cpuBefore };
    figures.peakAboveIdleKb = statusKb("VmHWM: %ld kB") - idle;
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    ::close(master);
    if (!sent)
        return std::nullopt;
    return figures;
}

// One wait for an ACK that never comes, on the program's own link, while a child process floods
// the other end of a pseudo-terminal.
std::optional<Run> floodedWait(platform::WaitStyle style, bool paced)
{
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
        return std::nullopt;
    platform::QtSerialPort port(style);
    const platform::SystemClock clock;
    device::SerialLink link(port, clock);
    const device::LinkSession session(link, QString::fromLocal8Bit(::ptsname(master)));
    if (session.openError())
        return std::nullopt;
    const pid_t writer = ::fork();
    if (writer == 0)
        flood(master, paced);

    QElapsedTimer wall;
    const double cpuBefore = cpuSeconds();
    wall.start();
    const auto status = link.waitForByte(device::kAck);
    const Run run { double(wall.nsecsElapsed()) / 1e9, cpuSeconds() - cpuBefore };
    ::kill(writer, SIGKILL);
    ::waitpid(writer, nullptr, 0);
    ::close(master);
    if (!status || status.value() != device::TransferStatus::Waiting)
        return std::nullopt;
    return run;
}

} // namespace

int main(int argc, char** argv)
{
    // The trial window is shown, on no display unless one is named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::printf("One wait for an answer while the device floods wrong bytes (target: CPU at most 5 %% of the wait)\n");
    for (const bool paced : { true, false }) {
        for (const auto style : { platform::WaitStyle::Blocking, platform::WaitStyle::KeepWindowsPainting }) {
            const std::optional<Run> run = floodedWait(style, paced);
            if (!run)
                return 1;
            std::printf("%s, %s: %.2f s wall, %.3f s CPU of this process: %.2f %%\n",
                paced ? "a byte every 100 us" : "as fast as the line takes them",
                style == platform::WaitStyle::Blocking ? "blocking waits" : "the window's waits", run->wallS, run->cpuS,
                100 * run->cpuS / run->wallS);
        }
    }
    std::printf("A projector trial listening 2 s while the projector floods the line as fast as it takes bytes "
                "(targets: CPU at most 5 %% of the listening time, peak memory at most 20 MB above idle)\n");
    for (const bool window : { false, true }) {
        const std::optional<TrialFigures> trial = floodedTrial(window);
        if (!trial)
            return 1;
        std::printf("%s: listened %.3f s, %.3f s wall, %.3f s CPU of this process: %.2f %% of the listening time, "
                    "peak memory %.1f MB above idle; ",
            window ? "the trial window" : "the command line", double(trial->listenedMs) / 1000, trial->run.wallS,
            trial->run.cpuS, 100 * trial->run.cpuS / (double(kListenMs) / 1000), double(trial->peakAboveIdleKb) / 1024);
        if (window)
            std::printf(
                "%d log lines, its event loop held up %.1f ms at most\n", trial->logLines, trial->longestStallMs);
        else
            std::printf(
                "%lld bytes kept of %lld\n", static_cast<long long>(trial->kept), static_cast<long long>(trial->total));
    }
    return 0;
}
