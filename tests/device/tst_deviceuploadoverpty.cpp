#include "sampleconfiguration.h"

#include "device/deviceupload.h"
#include "platform/qtserialport.h"

#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using device::UploadOutcome;

namespace {

// The emulator on one end of a pseudo-terminal, the program's link on the other, in real time.
struct PtyLine {
    explicit PtyLine(const QStringList& options = {})
        : simulator(options)
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
    void uploadArrivesByteForByteOnTheDevicesLineSettings();
    void hangUpIsAnErrorThatReleasesThePort_data();
    void hangUpIsAnErrorThatReleasesThePort();
    void staleBytesAreDiscardedWhereverTheyWait_data();
    void staleBytesAreDiscardedWhereverTheyWait();
    void portHeldElsewhereOrMissingIsRefused();
    void portThisUserMayNotOpenIsNotTakenForABusyOne();
    void silentDeviceTimesOutInFiveToSixRealSeconds();
};

void tst_DeviceUploadOverPty::uploadArrivesByteForByteOnTheDevicesLineSettings()
{
    PtyLine line;
    QVERIFY(line.simulator.start());
    {
        const device::LinkSession session(line.link, line.simulator.devicePath());
        QCOMPARE(session.openError(), std::nullopt);
        const auto outcome = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
        QVERIFY(outcome);
        QCOMPARE(outcome.value(), UploadOutcome::Completed);
    }
    const QJsonObject report = line.simulator.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), testsupport::hex(kSampleWireImage));
    // The 0xFF 0x07 pair comes in one write, and both bytes are taken.
    QCOMPARE(report.value(u"answered"_s).toString(), u"06FF07"_s + u"06"_s.repeated(kSampleWireImage.size() - 2));
    QCOMPARE(report.value(u"line"_s).toString(), u"9600 8N1, raw, no flow control"_s);
    QCOMPARE(report.value(u"baud_rate"_s).toInt(), 19200);
    QCOMPARE(report.value(u"scan_priority"_s).toInt(), 2);
    QCOMPARE(report.value(u"delay_seconds"_s).toInt(), 3723);
    // Closed after the upload: another program may take the port now.
    platform::QtSerialPort next;
    QCOMPARE(next.open(line.simulator.devicePath()), std::nullopt);
}

void tst_DeviceUploadOverPty::hangUpIsAnErrorThatReleasesThePort_data()
{
    QTest::addColumn<int>("afterByte");
    QTest::addColumn<bool>("silent");

    QTest::newRow("right after an answer, within a string") << 20 << false;
    QTest::newRow("while the link waits for an answer") << 1 << true;
}

void tst_DeviceUploadOverPty::hangUpIsAnErrorThatReleasesThePort()
{
    QFETCH(int, afterByte);
    QFETCH(bool, silent);

    QStringList options { u"--hang-up-after"_s, QString::number(afterByte) };
    if (silent)
        options.append(u"--silent"_s);
    PtyLine line(options);
    QVERIFY(line.connect());

    const auto result = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
    QVERIFY(!result);
    QCOMPARE(result.error().code(), platform::ErrorCode::SerialLinkLost);
    QCOMPARE(
        result.error().description(), u"The connection to the serial port was lost: "_s + line.simulator.devicePath());
    // A port whose device is gone stays readable for ever; left open it would keep waking the
    // event loop of the error box that follows.
    QVERIFY(!line.link.isOpen());
    QCOMPARE(line.simulator.waitForReport(5000).value(u"after"_s).toInt(), afterByte);
    QVERIFY(line.simulator.waitForExit(5000));
}

void tst_DeviceUploadOverPty::staleBytesAreDiscardedWhereverTheyWait_data()
{
    QTest::addColumn<bool>("takenIntoTheReadBuffer");

    QTest::newRow("in the system's queue") << false;
    QTest::newRow("already taken into the port's read buffer") << true;
}

void tst_DeviceUploadOverPty::staleBytesAreDiscardedWhereverTheyWait()
{
    QFETCH(bool, takenIntoTheReadBuffer);

    PtyLine line;
    QVERIFY(line.connect());
    // The device's ACK to this SYN is left unread, as a late answer would be.
    QCOMPARE(line.port.write("\x16"_ba), std::nullopt);
    QTest::qSleep(200);
    if (takenIntoTheReadBuffer) {
        const auto arrival = line.port.waitForBytes(1000);
        QVERIFY(arrival);
        QCOMPARE(arrival.value(), platform::Arrival::ByteWaiting);
    }

    QCOMPARE(line.port.discardWaiting(), std::nullopt);
    const auto afterDiscarding = line.port.waitForBytes(200);
    QVERIFY(afterDiscarding);
    QCOMPARE(afterDiscarding.value(), platform::Arrival::TimedOut);
    QCOMPARE(line.port.readByte(), std::nullopt);
}

void tst_DeviceUploadOverPty::portHeldElsewhereOrMissingIsRefused()
{
    PtyLine line;
    QVERIFY(line.connect());

    platform::QtSerialPort second;
    const auto held = second.open(line.simulator.devicePath());
    QVERIFY(held);
    QCOMPARE(held->code(), platform::ErrorCode::PortAlreadyOpen);

    platform::QtSerialPort missing;
    const auto notFound = missing.open(u"/dev/qx7m-no-such-port"_s);
    QVERIFY(notFound);
    QCOMPARE(notFound->code(), platform::ErrorCode::SerialPortNotFound);
    const auto closed = missing.write("\x16"_ba);
    QVERIFY(closed);
    QCOMPARE(closed->code(), platform::ErrorCode::PortNotOpen);
}

void tst_DeviceUploadOverPty::portThisUserMayNotOpenIsNotTakenForABusyOne()
{
    PtyLine line;
    QVERIFY(line.simulator.start());
    const QString path = line.simulator.devicePath();
    const QString group = QFileInfo(path).group();
    // Nobody may use the device now; root, who may use anything, plays an installer outside the group for
    // the one call (the saved user id lets it become root again).
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
        "then log in again."_s.arg(path, group));
}

void tst_DeviceUploadOverPty::silentDeviceTimesOutInFiveToSixRealSeconds()
{
    PtyLine line({ u"--silent"_s });
    QVERIFY(line.connect());

    QCOMPARE(line.link.sendByte(0x16), std::nullopt);
    QElapsedTimer elapsed;
    elapsed.start();
    const auto status = line.link.WaitForByte(0x06);
    const qint64 waitedMs = elapsed.elapsed();
    QVERIFY(status);
    QCOMPARE(status.value(), device::TransferStatus::Waiting);
    QVERIFY2(waitedMs >= 5000 && waitedMs <= 6100, qPrintable(QString::number(waitedMs)));
}

QTEST_GUILESS_MAIN(tst_DeviceUploadOverPty)
#include "tst_deviceuploadoverpty.moc"
