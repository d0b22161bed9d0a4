#include "sampleconfiguration.h"

#include "device/deviceupload.h"
#include "platform/qtserialport.h"

#include "tests/support/devicesimulator.h"

#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The emulator on one end of a pseudo-terminal, the program's link on the other, in real time.
struct PtyLine {
    explicit PtyLine(const QStringList& options = {}, platform::WaitStyle waitStyle = platform::WaitStyle::Blocking)
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

Q_DECLARE_METATYPE(platform::WaitStyle)

class tst_DeviceUploadOverPty : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void hangUpDuringAWaitIsAnErrorThatReleasesThePort_data();
    void hangUpDuringAWaitIsAnErrorThatReleasesThePort();
    void staleBytesAreDiscardedWhereverTheyWait_data();
    void staleBytesAreDiscardedWhereverTheyWait();
    void portHeldElsewhereOrMissingIsRefused();
    void portThisUserMayNotOpenIsNotTakenForABusyOne();
};

void tst_DeviceUploadOverPty::hangUpDuringAWaitIsAnErrorThatReleasesThePort_data()
{
    QTest::addColumn<platform::WaitStyle>("waitStyle");

    QTest::newRow("the tool's waiting") << platform::WaitStyle::Blocking;
    // Taken for a silent device instead, the pulled cable would be reported as a box to switch off.
    QTest::newRow("the window's waiting") << platform::WaitStyle::KeepWindowsPainting;
}

void tst_DeviceUploadOverPty::hangUpDuringAWaitIsAnErrorThatReleasesThePort()
{
    QFETCH(platform::WaitStyle, waitStyle);
    // The cable is pulled while the link waits for the answer to the first SYN.
    PtyLine line({ u"--silent"_s, u"--hang-up-after"_s, u"1"_s }, waitStyle);
    QVERIFY(line.connect());

    const auto result = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
    QVERIFY(!result);
    QCOMPARE(result.error().code(), platform::ErrorCode::SerialLinkLost);
    QCOMPARE(
        result.error().description(), u"The connection to the serial port was lost: "_s + line.simulator.devicePath());
    // A port whose device is gone stays readable for ever; left open it would keep waking the
    // event loop of the error box that follows.
    QVERIFY(!line.link.isOpen());
    QCOMPARE(line.simulator.waitForReport(5000).value(u"after"_s).toInt(), 1);
    QVERIFY(line.simulator.waitForExit(5000));
}

void tst_DeviceUploadOverPty::staleBytesAreDiscardedWhereverTheyWait_data()
{
    QTest::addColumn<bool>("takenIntoTheReadBuffer");
    QTest::addColumn<platform::WaitStyle>("waitStyle");

    QTest::newRow("in the system's queue") << false << platform::WaitStyle::Blocking;
    QTest::newRow("already taken into the port's read buffer") << true << platform::WaitStyle::Blocking;
    // The window's port waits in an event loop, which must end at its time-out as well.
    QTest::newRow("waited for as the window waits") << true << platform::WaitStyle::KeepWindowsPainting;
}

void tst_DeviceUploadOverPty::staleBytesAreDiscardedWhereverTheyWait()
{
    QFETCH(bool, takenIntoTheReadBuffer);
    QFETCH(platform::WaitStyle, waitStyle);

    PtyLine line({}, waitStyle);
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

QTEST_GUILESS_MAIN(tst_DeviceUploadOverPty)
#include "tst_deviceuploadoverpty.moc"
