// Times one wait for the QX-7M's answer while a broken device floods the line with wrong bytes:
// the wait must still end after its 5 to 6 seconds, and cost the processor little of them.
#include "device/seriallink.h"
#include "platform/qtserialport.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <iterator>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

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
    QCoreApplication app(argc, argv);
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
    return 0;
}
