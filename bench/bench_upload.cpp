// Times a whole upload of seven 30-byte strings against the QX-7M emulator on a pseudo-terminal.
#include "device/deviceupload.h"
#include "platform/qtserialport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>

#include <sys/resource.h>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

// 2 SYN + 5 settings + 7 x (count + 30 bytes); the second SYN gets two answers.
constexpr int kBytesSent = 224;
constexpr int kAnswers = 225;

config::Configuration sevenFullStrings()
{
    config::Configuration configuration;
    configuration.commit_baud_rate(u"57600");
    configuration.scan_priority = config::ScanPriority::SVideo;
    char fill = 'A';
    for (config::StringSlot& slot : configuration.slots)
        slot.command_bytes = QByteArray(30, fill++);
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

// Starts the emulator with the options, uploads `times` times and returns the best run.
std::optional<Run> bestUpload(const QStringList& options, int times)
{
    QProcess simulator;
    simulator.start(QStringLiteral(QX7M_SIM_PATH), options);
    if (!simulator.waitForStarted() || !simulator.waitForReadyRead(5000))
        return std::nullopt;
    const QString devicePath = QString::fromLocal8Bit(simulator.readLine()).trimmed();

    platform::QtSerialPort port;
    platform::SystemClock clock;
    device::SerialLink link(port, clock);
    if (link.open(devicePath))
        return std::nullopt;
    const config::Configuration configuration = sevenFullStrings();
    std::optional<Run> best;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer wall;
        const double cpuBefore = cpuSeconds();
        wall.start();
        const auto outcome = device::uploadToDevice(link, configuration, { 0x0E, 0x8B });
        const Run run { double(wall.nsecsElapsed()) / 1e6, (cpuSeconds() - cpuBefore) * 1e3 };
        if (!outcome.hasValue() || outcome.value() != device::UploadOutcome::Completed)
            return std::nullopt;
        if (!best || run.wallMs < best->wallMs)
            best = run;
    }
    link.close();
    simulator.terminate();
    simulator.waitForFinished();
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    std::printf("Upload of seven 30-byte strings: %d bytes sent, %d answers\n", kBytesSent, kAnswers);

    const auto fast = bestUpload({}, 20);
    if (!fast)
        return 1;
    std::printf("(a) no delay: %.1f ms a whole upload, %.1f us an exchange (best of 20)\n", fast->wallMs,
        fast->wallMs * 1000 / kAnswers);

    const auto wire = bestUpload({ u"--wire-baud"_s, u"9600"_s }, 5);
    if (!wire)
        return 1;
    const double wireLimitMs = (kBytesSent + kAnswers) * 10 * 1000.0 / 9600;
    std::printf("(b) 9600 baud on the wire: %.1f ms against the wire's own %.1f ms: %.3f times (best of 5)\n",
        wire->wallMs, wireLimitMs, wire->wallMs / wireLimitMs);

    const auto slow = bestUpload({ u"--answer-delay"_s, u"20"_s }, 1);
    if (!slow)
        return 1;
    std::printf("(c) 20 ms before each answer: %.0f ms wall, %.1f ms CPU of this process: %.2f %%\n", slow->wallMs,
        slow->cpuMs, 100 * slow->cpuMs / slow->wallMs);
    return 0;
}
