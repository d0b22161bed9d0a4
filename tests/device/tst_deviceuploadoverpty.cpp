#include "device/deviceupload.h"
#include "platform/qtserialport.h"

#include "tests/support/devicesimulator.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

using namespace Qt::StringLiterals;
using config::Configuration;
using config::ScanPriority;
using config::SlotId;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

// A silent device costs six real seconds per time-out. This clock is the system's plus the
// time skipped, and the port below skips what is left of a wait that found nothing in its first
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
    std::optional<platform::Error> open(const QString& name) override { return m_port.open(name); }
    void close() override { m_port.close(); }
    bool isOpen() const override { return m_port.isOpen(); }
    std::optional<platform::Error> write(const QByteArray& bytes) override { return m_port.write(bytes); }
    std::optional<platform::Error> discardWaiting() override { return m_port.discardWaiting(); }
    std::optional<quint8> readByte() override { return m_port.readByte(); }
    platform::Result<platform::Arrival> waitForBytes(qint64 msecs) override
    {
        constexpr qint64 kSliceMs = 300;
        auto arrival = m_port.waitForBytes(std::min(msecs, kSliceMs));
        if (arrival.hasValue() && arrival.value() == platform::Arrival::TimedOut && msecs > kSliceMs)
            m_clock.skippedMs += msecs - kSliceMs;
        return arrival;
    }

private:
    SkippingClock& m_clock;
    platform::QtSerialPort m_port;
};

Configuration fullConfiguration()
{
    Configuration configuration;
    configuration.commit_baud_rate(u"57600");
    configuration.scan_priority = ScanPriority::Composite;
    configuration.slot(SlotId::DiscreteOn).command_bytes = "PWR ON\r"_ba;
    configuration.slot(SlotId::DiscreteOff).command_bytes = "PWR OFF\r"_ba;
    configuration.slot(SlotId::VideoFirstDetected).command_bytes = QByteArray("\x02\x00\x03", 3);
    configuration.slot(SlotId::VgaInputActive).command_bytes = "SOURCE 10\r"_ba;
    configuration.slot(SlotId::CompositeInputActive).command_bytes = QByteArray(30, '\x06');
    configuration.slot(SlotId::SVideoInputActive).command_bytes = "\x16\x16"_ba;
    return configuration;
}

} // namespace

class tst_DeviceUploadOverPty : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptySlotsGiveTheExactWireImage();
    void fullConfigurationReachesTheDevice();
    void deviceFaultsGiveTheirOutcome_data();
    void deviceFaultsGiveTheirOutcome();
    void hangUpMidTransferIsAnErrorNotAHang();
    void portHeldElsewhereOrMissingIsRefused();
    void silentDeviceTimesOutInFiveToSixRealSeconds();
};

void tst_DeviceUploadOverPty::emptySlotsGiveTheExactWireImage()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    platform::QtSerialPort port;
    platform::SystemClock clock;
    device::SerialLink link(port, clock);
    QCOMPARE(link.open(simulator.devicePath()), std::nullopt);
    Configuration configuration;
    configuration.commit_baud_rate(u"9600");

    const auto outcome = device::uploadToDevice(link, configuration, { 0x00, 0x01 });
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    const QJsonObject report = simulator.waitForReport(5000);
    QCOMPARE(report.value(u"received"_s).toString(), u"1616258000000100000000000000"_s);
    // The 0xFF 0x07 pair comes in one write, and both bytes are taken.
    QCOMPARE(report.value(u"answered"_s).toString(), u"06FF07"_s + QString(u"06"_s).repeated(12));
}

void tst_DeviceUploadOverPty::fullConfigurationReachesTheDevice()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    platform::QtSerialPort port;
    platform::SystemClock clock;
    device::SerialLink link(port, clock);
    QCOMPARE(link.open(simulator.devicePath()), std::nullopt);
    const Configuration configuration = fullConfiguration();

    const auto outcome = device::uploadToDevice(link, configuration, { 0x0E, 0x8B });
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    const QJsonObject report = simulator.waitForReport(5000);
    QCOMPARE(report.value(u"baud_rate"_s).toInt(), 57600);
    QCOMPARE(report.value(u"scan_priority"_s).toInt(), 2);
    QCOMPARE(report.value(u"delay_seconds"_s).toInt(), 3723);
    const QStringList strings { u"505752204F4E0D"_s, u"505752204F46460D"_s, u"020003"_s, u"534F555243452031300D"_s,
        QString(u"06"_s).repeated(30), u"1616"_s, QString() };
    QCOMPARE(report.value(u"strings"_s).toVariant().toStringList(), strings);
}

void tst_DeviceUploadOverPty::deviceFaultsGiveTheirOutcome_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<UploadOutcome>("outcome");

    QTest::newRow("no answer at all") << QStringList { u"--silent"_s } << UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("second SYN answered with 0xFF only")
        << QStringList { u"--ff-only"_s } << UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("silent from the scan priority")
        << QStringList { u"--stop-after"_s, u"4"_s } << UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("silent within a string")
        << QStringList { u"--stop-after"_s, u"20"_s } << UploadOutcome::StringTransferFailed;
    QTest::newRow("wrong byte before every ACK") << QStringList { u"--nak-first"_s } << UploadOutcome::Completed;
    QTest::newRow("slow answers") << QStringList { u"--answer-delay"_s, u"5"_s } << UploadOutcome::Completed;
    QTest::newRow("9600 baud on the wire") << QStringList { u"--wire-baud"_s, u"9600"_s } << UploadOutcome::Completed;
}

void tst_DeviceUploadOverPty::deviceFaultsGiveTheirOutcome()
{
    QFETCH(QStringList, options);
    QFETCH(UploadOutcome, outcome);

    testsupport::DeviceSimulator simulator(options);
    QVERIFY(simulator.start());
    SkippingClock clock;
    SkippingPort port(clock);
    device::SerialLink link(port, clock);
    QCOMPARE(link.open(simulator.devicePath()), std::nullopt);

    const auto result = device::uploadToDevice(link, fullConfiguration(), { 0x0E, 0x8B });
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), outcome);
    if (outcome == UploadOutcome::Completed)
        QCOMPARE(simulator.waitForReport(5000).value(u"delay_seconds"_s).toInt(), 3723);
}

void tst_DeviceUploadOverPty::hangUpMidTransferIsAnErrorNotAHang()
{
    testsupport::DeviceSimulator simulator({ u"--hang-up-after"_s, u"20"_s });
    QVERIFY(simulator.start());
    platform::QtSerialPort port;
    platform::SystemClock clock;
    device::SerialLink link(port, clock);
    QCOMPARE(link.open(simulator.devicePath()), std::nullopt);

    const auto result = device::uploadToDevice(link, fullConfiguration(), { 0x0E, 0x8B });
    QVERIFY(!result.hasValue());
    QCOMPARE(result.error().code(), platform::ErrorCode::SerialLinkLost);
    QVERIFY(simulator.waitForExit(5000));
    link.close();
    QVERIFY(!link.isOpen());
}

void tst_DeviceUploadOverPty::portHeldElsewhereOrMissingIsRefused()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    platform::QtSerialPort holder;
    QCOMPARE(holder.open(simulator.devicePath()), std::nullopt);

    platform::QtSerialPort second;
    const auto held = second.open(simulator.devicePath());
    QVERIFY(held.has_value());
    QCOMPARE(held->code(), platform::ErrorCode::PortAlreadyOpen);
    const auto again = holder.open(simulator.devicePath());
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
    testsupport::DeviceSimulator simulator({ u"--silent"_s });
    QVERIFY(simulator.start());
    platform::QtSerialPort port;
    platform::SystemClock clock;
    device::SerialLink link(port, clock);
    QCOMPARE(link.open(simulator.devicePath()), std::nullopt);

    QCOMPARE(link.sendByte(0x16), std::nullopt);
    QElapsedTimer elapsed;
    elapsed.start();
    const auto status = link.WaitForByte(0x06);
    const qint64 waitedMs = elapsed.elapsed();
    QVERIFY(status.hasValue());
    QCOMPARE(status.value(), device::TransferStatus::Waiting);
    QVERIFY2(waitedMs >= 5000 && waitedMs <= 6100, qPrintable(QString::number(waitedMs)));
}

QTEST_GUILESS_MAIN(tst_DeviceUploadOverPty)
#include "tst_deviceuploadoverpty.moc"
