#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"
#include "tests/support/sampleconfiguration.h"

#include "device/deviceupload.h"
#include "device/projectortrial.h"
#include "platform/qtserialport.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using platform::WaitStyle;

Q_DECLARE_METATYPE(WaitStyle)

namespace {

// The emulator on one end of a pseudo-terminal, the program's link on the other, in real time.
struct PtyLine {
    explicit PtyLine(const QStringList& options = {}, WaitStyle waitStyle = WaitStyle::Blocking)
        : simulator(options)
        , port(waitStyle)
    {
    }
    bool connect() { return simulator.start() && !link.open(simulator.devicePath()); }

    testsupport::DeviceSimulator simulator;
    platform::SystemClock clock;
    platform::QtSerialPort port;
    device::SerialLink link { port, clock };
};

} // namespace

class tst_DeviceUploadOverPty : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyByteGoesOutAndTheLastWaitTimesOutOnTheClock();
    void eachWaitDropsStaleBytesAndEndsAtAHangUp_data();
    void eachWaitDropsStaleBytesAndEndsAtAHangUp();
    void forbiddenPortIsRefusedWithTheGroupToJoin();
    void portOfAProgramKilledInExclusiveUseOpensAgain_data();
    void portOfAProgramKilledInExclusiveUseOpensAgain();
    void trialReachesTheProjectorAtItsRateWithItsWait();
};

void tst_DeviceUploadOverPty::everyByteGoesOutAndTheLastWaitTimesOutOnTheClock()
{
    // A NAK before every ACK is read and dropped; the last byte is never answered.
    PtyLine line({ u"--nak-first"_s, u"--stop-after"_s, u"52"_s });
    QVERIFY(line.connect());
    const auto result = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
    QCOMPARE(result ? result.value() : device::UploadOutcome::Completed, device::UploadOutcome::StringTransferFailed);
    const qint64 waitedMs = line.link.lastWait().waitedMs;
    QVERIFY2(waitedMs >= 5000 && waitedMs < 6500, qPrintable(QString::number(waitedMs)));
    const QJsonObject report = line.simulator.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), testsupport::hex(kSampleWireImage));
    QCOMPARE(report.value(u"line"_s).toString(), u"9600 8N1, raw, no flow control"_s);
}

void tst_DeviceUploadOverPty::eachWaitDropsStaleBytesAndEndsAtAHangUp_data()
{
    QTest::addColumn<WaitStyle>("waitStyle");
    QTest::addColumn<bool>("takenIntoTheReadBuffer"); // where the stale byte waits: there or in the system's queue
    QTest::newRow("the command line's wait") << WaitStyle::Blocking << false;
    // The window's port waits in an event loop, which must end at its time-out as well.
    QTest::newRow("the window's wait") << WaitStyle::KeepWindowsPainting << true;
}

void tst_DeviceUploadOverPty::eachWaitDropsStaleBytesAndEndsAtAHangUp()
{
    QFETCH(WaitStyle, waitStyle);
    QFETCH(bool, takenIntoTheReadBuffer);
    PtyLine line({}, waitStyle);
    QVERIFY(line.connect());
    // The device's ACK to this SYN is left unread, as a late answer would be.
    QCOMPARE(line.port.write("\x16"_ba), std::nullopt);
    QTest::qSleep(200);
    if (takenIntoTheReadBuffer) {
        const auto arrival = line.port.waitForBytes(1000);
        QCOMPARE(arrival ? arrival.value() : platform::Arrival::TimedOut, platform::Arrival::ByteWaiting);
    }
    QCOMPARE(line.port.discardWaiting(), std::nullopt);
    const auto afterDiscarding = line.port.waitForBytes(200);
    QCOMPARE(afterDiscarding ? afterDiscarding.value() : platform::Arrival::ByteWaiting, platform::Arrival::TimedOut);
    QCOMPARE(line.port.readWaiting(), QByteArray());

    // The cable is pulled while the link waits for the answer to the first SYN. Taken for a silent
    // device instead, it would be reported as a box to switch off.
    PtyLine pulled({ u"--silent"_s, u"--hang-up-after"_s, u"1"_s }, waitStyle);
    QVERIFY(pulled.connect());
    const auto result = device::uploadToDevice(pulled.link, sampleConfiguration(), { 0x0E, 0x8B });
    QCOMPARE(result ? 0 : result.error().number(), 8010);
    QCOMPARE(result.error().description(),
        u"The connection to the serial port was lost: %1. Is the USB serial adapter plugged in?"_s.arg(
            pulled.simulator.devicePath()));
    // A port whose device is gone stays readable for ever; left open it would keep waking the
    // event loop of the error box that follows.
    QVERIFY(!pulled.link.isOpen());
}

void tst_DeviceUploadOverPty::forbiddenPortIsRefusedWithTheGroupToJoin()
{
    // Nobody may use the device; root, who may use anything, plays an installer outside the group
    // for the one call (the saved user id lets it become root again).
    PtyLine line;
    QVERIFY(line.simulator.start());
    const QString path = line.simulator.devicePath();
    QCOMPARE(::chmod(path.toLocal8Bit().constData(), 0), 0);
    const bool root = ::geteuid() == 0;
    QVERIFY(!root || ::setresuid(65534, 65534, 0) == 0);
    const auto refused = line.link.open(path);
    QVERIFY(!root || ::setresuid(0, 0, 0) == 0);
    QVERIFY(refused);
    QCOMPARE(refused->number(), 70);
    QCOMPARE(refused->description(),
        u"Permission denied: this user may not read and write %1. Serial ports are opened by the members of the "
        "group that owns them, here \"%2\": ask for this user to be added to it (sudo usermod -aG %2 USERNAME), "
        "then log in again."_s.arg(path, QFileInfo(path).group()));
}

void tst_DeviceUploadOverPty::portOfAProgramKilledInExclusiveUseOpensAgain_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<bool>("killed"); // else it still runs, and its port stays its own
    QTest::newRow("box") << QStringList() << true;
    QTest::newRow("projector") << QStringList { u"--projector"_s } << true;
    QTest::newRow("box, program still running") << QStringList() << false;
}

void tst_DeviceUploadOverPty::portOfAProgramKilledInExclusiveUseOpensAgain()
{
    QFETCH(QStringList, options);
    QFETCH(bool, killed);
    testsupport::DeviceSimulator simulator(options);
    QVERIFY(simulator.start());
    // The program opens the port as Qt Serial Port does, in exclusive mode, and is killed with it open.
    const QByteArray path = simulator.devicePath().toLocal8Bit();
    int opened[2];
    QVERIFY(::pipe(opened) == 0);
    const pid_t program = ::fork();
    if (program == 0) {
        const int port = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(port >= 0 && ::ioctl(port, TIOCEXCL) == 0 && ::write(opened[1], "!", 1) == 1 ? ::pause() : 1);
    }
    char byte = 0;
    QCOMPARE(::read(opened[0], &byte, 1), 1);
    ::close(opened[0]);
    ::close(opened[1]);
    if (killed)
        QCOMPARE(::kill(program, SIGKILL), 0);
    // The emulator has a moment to see the program gone; each look here is a close it sees too.
    platform::QtSerialPort port;
    std::optional<platform::Error> refused;
    for (QDeadlineTimer deadline(killed ? 2000 : 300);
         (refused = port.open(simulator.devicePath())) && !deadline.hasExpired();)
        QTest::qSleep(10);
    ::kill(program, SIGKILL);
    QCOMPARE(::waitpid(program, nullptr, 0), program);
    QCOMPARE(refused ? refused->description() : QString(),
        killed ? QString()
               : u"The port is already open: %1 is in exclusive use by another program"_s.arg(simulator.devicePath()));
}

void tst_DeviceUploadOverPty::trialReachesTheProjectorAtItsRateWithItsWait()
{
    testsupport::DeviceSimulator projector({ u"--projector"_s });
    QVERIFY(projector.start());
    const platform::SystemClock clock;
    platform::QtSerialPort port;
    // "A", a wait of 1 s, "B" CR.
    device::ProjectorTrial trial(
        port, clock, device::planTrial(QByteArray::fromHex("41 1B 00 01 42 0D")).steps, device::kShortestListenMs);
    QCOMPARE(trial.start(projector.devicePath(), 19200), std::nullopt);
    for (trial.advance(); !trial.isOver(); trial.advance())
        QVERIFY(port.waitForBytes(trial.msUntilDue()));
    QCOMPARE(trial.phase(), device::ProjectorTrial::Phase::Finished);
    QCOMPARE(trial.reply(), "OK\r"_ba);

    const QJsonObject report = projector.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), u"41420D"_s);
    QCOMPARE(report.value(u"line"_s).toString(), u"19200 8N1, raw, no flow control"_s);
    const QJsonArray pieces = report.value(u"pieces"_s).toArray();
    QCOMPARE(pieces.first()[u"hex"_s].toString(), u"41"_s);
    const qint64 gapMs = pieces.last()[u"ms"_s].toInteger() - pieces.first()[u"ms"_s].toInteger();
    // Both clocks count whole milliseconds, and the emulator stamps a piece when it reads it, which a
    // busy machine can put off by a few: the wait is there to within 10 ms.
    QVERIFY2(gapMs >= 990 && gapMs < 1500, qPrintable(QString::number(gapMs)));
}

QTEST_GUILESS_MAIN(tst_DeviceUploadOverPty)
#include "tst_deviceuploadoverpty.moc"
