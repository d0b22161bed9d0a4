// Times a whole upload of seven 30-byte strings against the QX-7M emulator on a pseudo-terminal.
#include "device/deviceupload.h"
#include "platform/qtserialport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

// 2 SYN + 5 settings + 7 x (count + 30 bytes); the second SYN gets two answers.
constexpr int kBytesSent = 224;
constexpr int kAnswers = 225;

config::Configuration sevenFullStrings()
{
    config::Configuration configuration;
    configuration.commitBaudRate(u"57600");
    configuration.scanPriority = config::ScanPriority::SVideo;
    char fill = 'A';
    for (config::StringSlot& slot : configuration.slots)
        slot.commandBytes = QByteArray(30, fill++);
    return configuration;
}

double cpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Run {
    double wallMs = 0;
    double cpuMs = 0;
};

// One whole upload on an opened device; false when it did not complete.
using Uploader = std::function<bool()>;

// The program's own link: QSerialPort, the whole-second wait, stale-byte discarding.
Uploader programUploader(device::SerialLink& link, const config::Configuration& configuration)
{
    return [&link, &configuration] {
        const auto outcome = device::uploadToDevice(link, configuration, { 0x0E, 0x8B });
        return outcome.hasValue() && outcome.value() == device::UploadOutcome::Completed;
    };
}

// The same bytes with bare system calls and no time-out logic: the floor that the pseudo-terminal
// and the emulator set, against which the program's own cost shows.
Uploader bareUploader(int fd, const config::Configuration& configuration)
{
    return [fd, &configuration] {
        QByteArray wire = QByteArray::fromHex("1616") + char(configuration.baudRateHigh)
            + char(configuration.baudRateLow) + char(configuration.scanPriority) + QByteArray::fromHex("0E8B");
        for (const config::StringSlot& slot : configuration.slots)
            wire += char(slot.commandBytes.size()) + slot.commandBytes;
        for (qsizetype index = 0; index < wire.size(); ++index) {
            tcflush(fd, TCIFLUSH);
            if (::write(fd, wire.constData() + index, 1) != 1)
                return false;
            for (int awaited = index == 1 ? 2 : 1; awaited > 0;) {
                pollfd line { fd, POLLIN, 0 };
                char answer[2];
                if (::poll(&line, 1, 6000) != 1)
                    return false;
                const ssize_t count = ::read(fd, answer, size_t(awaited));
                if (count <= 0)
                    return false;
                awaited -= int(count);
            }
        }
        return true;
    };
}

// The program's link with the command line's blocking waits, with the main window's waits in a
// local event loop, or bare system calls.
enum class Side { Program, Window, Bare };

// Starts the emulator with the options, uploads `times` times and returns the best run.
std::optional<Run> bestUpload(Side side, const QStringList& options, int times)
{
    QProcess simulator;
    simulator.start(QStringLiteral(QX7M_SIM_PATH), options);
    if (!simulator.waitForStarted() || !simulator.waitForReadyRead(5000))
        return std::nullopt;
    const QString devicePath = QString::fromLocal8Bit(simulator.readLine()).trimmed();
    const config::Configuration configuration = sevenFullStrings();

    platform::QtSerialPort port(
        side == Side::Window ? platform::WaitStyle::KeepWindowsPainting : platform::WaitStyle::Blocking);
    platform::SystemClock clock;
    device::SerialLink link(port, clock);
    std::optional<device::LinkSession> session;
    int fd = -1;
    Uploader upload;
    if (side != Side::Bare) {
        session.emplace(link, devicePath);
        if (session->openError())
            return std::nullopt;
        upload = programUploader(link, configuration);
    } else {
        fd = ::open(devicePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        termios settings {};
        if (fd < 0 || tcgetattr(fd, &settings) != 0)
            return std::nullopt;
        cfmakeraw(&settings);
        tcsetattr(fd, TCSANOW, &settings);
        upload = bareUploader(fd, configuration);
    }

    std::optional<Run> best;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer wall;
        const double cpuBefore = cpuSeconds();
        wall.start();
        const bool completed = upload();
        const Run run { double(wall.nsecsElapsed()) / 1e6, (cpuSeconds() - cpuBefore) * 1e3 };
        if (!completed)
            return std::nullopt;
        if (!best || run.wallMs < best->wallMs)
            best = run;
    }
    if (fd >= 0)
        ::close(fd);
    simulator.terminate();
    simulator.waitForFinished();
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Upload of seven 30-byte strings: %d bytes sent, %d answers\n", kBytesSent, kAnswers);

    const auto fast = bestUpload(Side::Program, {}, 20);
    const auto fastWindow = bestUpload(Side::Window, {}, 20);
    const auto fastBare = bestUpload(Side::Bare, {}, 20);
    if (!fast || !fastWindow || !fastBare)
        return 1;
    std::printf("(a) no delay: %.1f ms a whole upload, %.1f us an exchange; with the window's waits: %.1f us; bare "
                "system calls: %.1f us (best of 20)\n",
        fast->wallMs, fast->wallMs * 1000 / kAnswers, fastWindow->wallMs * 1000 / kAnswers,
        fastBare->wallMs * 1000 / kAnswers);

    const QStringList wireTime { u"--wire-baud"_s, u"9600"_s };
    const auto wire = bestUpload(Side::Program, wireTime, 5);
    const auto wireBare = bestUpload(Side::Bare, wireTime, 5);
    if (!wire || !wireBare)
        return 1;
    const double wireLimitMs = (kBytesSent + kAnswers) * 10 * 1000.0 / 9600;
    std::printf("(b) 9600 baud on the wire: %.1f ms against the wire's own %.1f ms: %.3f times; bare system calls: "
                "%.3f times (best of 5)\n",
        wire->wallMs, wireLimitMs, wire->wallMs / wireLimitMs, wireBare->wallMs / wireLimitMs);

    // A few milliseconds of CPU in seconds of waiting: the least of three runs is the one that
    // other programs on the computer disturbed least.
    for (const Side side : { Side::Program, Side::Window }) {
        std::optional<Run> slow;
        for (int run = 0; run < 3; ++run) {
            const auto upload = bestUpload(side, { u"--answer-delay"_s, u"20"_s }, 1);
            if (!upload)
                return 1;
            if (!slow || upload->cpuMs < slow->cpuMs)
                slow = upload;
        }
        std::printf("(c) 20 ms before each answer, %s: %.0f ms wall, %.1f ms CPU of this process: %.2f %% (least of "
                    "3)\n",
            side == Side::Program ? "blocking waits" : "the window's waits", slow->wallMs, slow->cpuMs,
            100 * slow->cpuMs / slow->wallMs);
    }
    return 0;
}
