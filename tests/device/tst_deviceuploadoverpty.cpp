#include "sampleconfiguration.h"

#include "device/deviceupload.h"
#include "platform/qtserialport.h"

#include "tests/support/devicesimulator.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

// A silent device costs six real seconds per time-out. This clock is the system's plus the time
// skipped, and the port below skips what is left of a wait that found nothing in its first
// slice, so a time-out takes a fraction of a second while answers still come in real time.
class SkippingClock final : public platform::Clock {
public:
    qint64 monotonicMs() const override { return m_system.monotonicMs() + skippedMs; }
    int wallMsIntoSecond() const override { return static_cast<int>((m_system.wallMsIntoSecond() + skippedMs) % 1000); }
    qint64 skippedMs = 0;

private:
    platform::SystemClock m_system;
};

class SkippingPort final : public platform::SerialPort {
public:
    explicit SkippingPort(SkippingClock& clock)
        : m_clock(clock)
    {
    }
    bool skipping = true;
    platform::QtSerialPort& real() { return m_port; }

    std::optional<platform::Error> open(const QString& name) override { return m_port.open(name); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    std::optional<platform::Error> write(const QByteArray& bytes) override { return m_port.write(bytes); }
    std::optional<platform::Error> discardWaiting() override { return m_port.discardWaiting(); }
    std::optional<quint8> readByte() override { return m_port.readByte(); }
    platform::Result<platform::Arrival> waitForBytes(qint64 msecs) override
    {
        constexpr qint64 kSliceMs = 300;
        if (!skipping)
            return m_port.waitForBytes(msecs);
        auto arrival = m_port.waitForBytes(std::min(msecs, kSliceMs));
        if (arrival.hasValue() && arrival.value() == platform::Arrival::TimedOut && msecs > kSliceMs)
            m_clock.skippedMs += msecs - kSliceMs;
        return arrival;
    }

private:
    SkippingClock& m_clock;
    platform::QtSerialPort m_port;
};

// The emulator on one end of a pseudo-terminal, the program's link on the other.
struct PtyLine {
    explicit PtyLine(const QStringList& options = {})
        : simulator(options)
    {
    }
    bool connect() { return simulator.start() && !link.open(simulator.devicePath()); }

    testsupport::DeviceSimulator simulator;
    SkippingClock clock;
    SkippingPort port { clock };
    device::SerialLink link { port, clock };
};

QString hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex().toUpper()); }

} // namespace

class tst_DeviceUploadOverPty : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptySlotsGiveTheExactWireImage();
    void deviceBehaviourGivesItsOutcome_data();
    void deviceBehaviourGivesItsOutcome();
    void hangUpIsAnErrorThatReleasesThePort_data();
    void hangUpIsAnErrorThatReleasesThePort();
    void staleBytesAreDiscardedWhereverTheyWait_data();
    void staleBytesAreDiscardedWhereverTheyWait();
    void portHeldElsewhereOrMissingIsRefused();
    void silentDeviceTimesOutInFiveToSixRealSeconds();
};

void tst_DeviceUploadOverPty::emptySlotsGiveTheExactWireImage()
{
    PtyLine line;
    QVERIFY(line.connect());
    config::Configuration configuration;
    configuration.commit_baud_rate(u"9600");

    const auto outcome = device::uploadToDevice(line.link, configuration, { 0x00, 0x01 });
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    const QJsonObject report = line.simulator.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), u"1616258000000100000000000000"_s);
    // The 0xFF 0x07 pair comes in one write, and both bytes are taken.
    QCOMPARE(report.value(u"answered"_s).toString(), u"06FF07"_s + u"06"_s.repeated(12));
}

void tst_DeviceUploadOverPty::deviceBehaviourGivesItsOutcome_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<UploadOutcome>("outcome");

    QTest::newRow("sound device") << QStringList() << UploadOutcome::Completed;
    QTest::newRow("wrong byte before every ACK") << QStringList { u"--nak-first"_s } << UploadOutcome::Completed;
    QTest::newRow("slow answers") << QStringList { u"--answer-delay"_s, u"5"_s } << UploadOutcome::Completed;
    QTest::newRow("9600 baud on the wire") << QStringList { u"--wire-baud"_s, u"9600"_s } << UploadOutcome::Completed;
    QTest::newRow("no answer at all") << QStringList { u"--silent"_s } << UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("second SYN answered with 0xFF only")
        << QStringList { u"--ff-only"_s } << UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("silent from the scan priority")
        << QStringList { u"--stop-after"_s, u"4"_s } << UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("silent within a string")
        << QStringList { u"--stop-after"_s, u"20"_s } << UploadOutcome::StringTransferFailed;
}

void tst_DeviceUploadOverPty::deviceBehaviourGivesItsOutcome()
{
    QFETCH(QStringList, options);
    QFETCH(UploadOutcome, outcome);

    PtyLine line(options);
    QVERIFY(line.connect());

    const config::Configuration configuration = sampleConfiguration();
    const auto result = device::uploadToDevice(line.link, configuration, { 0x0E, 0x8B });
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), outcome);
    if (outcome != UploadOutcome::Completed)
        return;
    const QJsonObject report = line.simulator.waitForReport(5000);
    QCOMPARE(report.value(u"baud_rate"_s).toInt(), 57600);
    QCOMPARE(report.value(u"scan_priority"_s).toInt(), 2);
    QCOMPARE(report.value(u"delay_seconds"_s).toInt(), 3723);
    QStringList strings;
    for (const config::SlotId id : config::kRecordOrder)
        strings.append(hex(configuration.slot(id).command_bytes));
    QCOMPARE(report.value(u"strings"_s).toVariant().toStringList(), strings);
}

void tst_DeviceUploadOverPty::hangUpIsAnErrorThatReleasesThePort_data()
{
    QTest::addColumn<QStringList>("options");

    QTest::newRow("right after an answer, within a string") << QStringList { u"--hang-up-after"_s, u"20"_s };
    QTest::newRow("while the link waits for an answer") << QStringList { u"--silent"_s, u"--hang-up-after"_s, u"1"_s };
}

void tst_DeviceUploadOverPty::hangUpIsAnErrorThatReleasesThePort()
{
    QFETCH(QStringList, options);

    PtyLine line(options);
    QVERIFY(line.connect());
    // Real time: a hang-up that went unnoticed would end as a time-out, not as this error.
    line.port.skipping = false;

    const auto result = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
    QVERIFY(!result.hasValue());
    QCOMPARE(result.error().code(), platform::ErrorCode::SerialLinkLost);
    QCOMPARE(
        result.error().description(), u"The connection to the serial port was lost: "_s + line.simulator.devicePath());
    // A port whose device is gone stays readable for ever; left open it would keep waking the
    // event loop of the error box that follows.
    QVERIFY(!line.link.isOpen());
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
    platform::QtSerialPort& port = line.port.real();
    // The device's ACK to this SYN is left unread, as a late answer would be.
    QCOMPARE(port.write("\x16"_ba), std::nullopt);
    QTest::qSleep(200);
    if (takenIntoTheReadBuffer)
        QCOMPARE(port.waitForBytes(1000).value(), platform::Arrival::ByteWaiting);

    QCOMPARE(port.discardWaiting(), std::nullopt);
    QCOMPARE(port.waitForBytes(200).value(), platform::Arrival::TimedOut);
    QCOMPARE(port.readByte(), std::nullopt);
}

void tst_DeviceUploadOverPty::portHeldElsewhereOrMissingIsRefused()
{
    PtyLine line;
    QVERIFY(line.connect());

    platform::QtSerialPort second;
    const auto held = second.open(line.simulator.devicePath());
    QVERIFY(held.has_value());
    QCOMPARE(held->code(), platform::ErrorCode::PortAlreadyOpen);
    const auto again = line.link.open(line.simulator.devicePath());
    QVERIFY(again.has_value());
    QCOMPARE(again->code(), platform::ErrorCode::PortAlreadyOpen);

    platform::QtSerialPort missing;
    const auto notFound = missing.open(u"/dev/qx7m-no-such-port"_s);
    QVERIFY(notFound.has_value());
    QCOMPARE(notFound->code(), platform::ErrorCode::SerialPortNotFound);
    QCOMPARE(missing.write("\x16"_ba)->code(), platform::ErrorCode::PortNotOpen);
}

void tst_DeviceUploadOverPty::silentDeviceTimesOutInFiveToSixRealSeconds()
{
    PtyLine line({ u"--silent"_s });
    QVERIFY(line.connect());
    line.port.skipping = false;

    QCOMPARE(line.link.sendByte(0x16), std::nullopt);
    QElapsedTimer elapsed;
    elapsed.start();
    const auto status = line.link.WaitForByte(0x06);
    const qint64 waitedMs = elapsed.elapsed();
    QVERIFY(status.hasValue());
    QCOMPARE(status.value(), device::TransferStatus::Waiting);
    QVERIFY2(waitedMs >= 5000 && waitedMs <= 6100, qPrintable(QString::number(waitedMs)));
}

QTEST_GUILESS_MAIN(tst_DeviceUploadOverPty)
#include "tst_deviceuploadoverpty.moc"
