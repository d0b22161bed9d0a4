#include "fakeserialport.h"

#include "device/deviceupload.h"

#include <QTest>

using namespace Qt::StringLiterals;
using config::Configuration;
using config::ScanPriority;
using config::SlotId;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

// The QX-7M's side: ACK for every byte, 0xFF 0x07 for the second SYN, silent from byte
// `silentFrom` on (counted from 1; 0 never silent).
struct ScriptedDevice {
    int silentFrom = 0;
    bool ffOnly = false;
    int received = 0;
    QByteArray answered;

    QByteArray operator()(quint8 byte)
    {
        ++received;
        QByteArray answer;
        if (silentFrom != 0 && received >= silentFrom)
            answer = QByteArray();
        else if (received == 2 && byte == 0x16)
            answer = ffOnly ? hex("FF") : hex("FF07");
        else
            answer = hex("06");
        answered += answer;
        return answer;
    }
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
    configuration.slot(SlotId::CompositeInputActive).command_bytes = "SOURCE 41\r"_ba;
    configuration.slot(SlotId::SVideoInputActive).command_bytes = "SOURCE 42\r"_ba;
    configuration.slot(SlotId::NoInputActive).command_bytes = QByteArray(30, '\xFF');
    return configuration;
}

} // namespace

class tst_DeviceUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void emptySlotsGiveFourteenBytesAndFifteenAnswers();
    void fullConfigurationGoesOutInRecordOrder();
    void readyPairIsTakenWhetherItComesTogetherOrApart_data();
    void readyPairIsTakenWhetherItComesTogetherOrApart();
    void missingAnswerEndsTheUpload_data();
    void missingAnswerEndsTheUpload();
    void overlongStringIsAnErrorBeforeItsCountGoesOut();
};

void tst_DeviceUpload::emptySlotsGiveFourteenBytesAndFifteenAnswers()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    ScriptedDevice device;
    port.device = std::ref(device);
    device::SerialLink link(port, clock);
    Configuration configuration;
    configuration.commit_baud_rate(u"9600");
    configuration.scan_priority = ScanPriority::VGA;

    const auto outcome = device::uploadToDevice(link, configuration, { 0x00, 0x01 });
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    QCOMPARE(port.written, hex("16 16 25 80 01 00 01 00 00 00 00 00 00 00"));
    QCOMPARE(device.answered, hex("06 FF 07 06 06 06 06 06 06 06 06 06 06 06 06"));
}

void tst_DeviceUpload::fullConfigurationGoesOutInRecordOrder()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    ScriptedDevice device;
    port.device = std::ref(device);
    device::SerialLink link(port, clock);

    const auto outcome = device::uploadToDevice(link, fullConfiguration(), { 0x0E, 0x8B });
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    const QByteArray expected = hex("16 16 E1 00 02 0E 8B") + "\x07PWR ON\r"_ba + "\x08PWR OFF\r"_ba
        + QByteArray("\x03\x02\x00\x03", 4) + "\x0ASOURCE 10\r"_ba + "\x0ASOURCE 41\r"_ba + "\x0ASOURCE 42\r"_ba
        + QByteArray(1, 30) + QByteArray(30, '\xFF');
    QCOMPARE(port.written, expected);
    QCOMPARE(device.answered.size(), expected.size() + 1);
}

void tst_DeviceUpload::readyPairIsTakenWhetherItComesTogetherOrApart_data()
{
    QTest::addColumn<qint64>("gapMs");

    QTest::newRow("in one piece") << qint64(0);
    QTest::newRow("0x07 a little later") << qint64(3);
    QTest::newRow("0x07 nearly five seconds later") << qint64(4900);
}

void tst_DeviceUpload::readyPairIsTakenWhetherItComesTogetherOrApart()
{
    QFETCH(qint64, gapMs);

    FakeClock clock;
    FakeSerialPort port(clock);
    int received = 0;
    port.device = [&](quint8) {
        if (++received != 2)
            return hex("06");
        if (gapMs == 0)
            return hex("FF07");
        port.arriveAt(clock.now + port.answerDelayMs + gapMs, hex("07"));
        return hex("FF");
    };
    device::SerialLink link(port, clock);

    const auto outcome = device::uploadToDevice(link, Configuration(), {});
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
}

void tst_DeviceUpload::missingAnswerEndsTheUpload_data()
{
    QTest::addColumn<int>("silentFrom");
    QTest::addColumn<bool>("ffOnly");
    QTest::addColumn<UploadOutcome>("outcome");
    QTest::addColumn<int>("bytesSent");

    QTest::newRow("no device at all") << 1 << false << UploadOutcome::HandshakeOrSettingsFailed << 1;
    QTest::newRow("second SYN unanswered") << 2 << false << UploadOutcome::HandshakeOrSettingsFailed << 2;
    QTest::newRow("second SYN answered with 0xFF only") << 0 << true << UploadOutcome::HandshakeOrSettingsFailed << 2;
    QTest::newRow("baud rate high byte") << 3 << false << UploadOutcome::HandshakeOrSettingsFailed << 3;
    QTest::newRow("delay low byte") << 7 << false << UploadOutcome::HandshakeOrSettingsFailed << 7;
    QTest::newRow("first count byte") << 8 << false << UploadOutcome::StringTransferFailed << 8;
    QTest::newRow("last byte of the last string") << 92 << false << UploadOutcome::StringTransferFailed << 92;
}

void tst_DeviceUpload::missingAnswerEndsTheUpload()
{
    QFETCH(int, silentFrom);
    QFETCH(bool, ffOnly);
    QFETCH(UploadOutcome, outcome);
    QFETCH(int, bytesSent);

    FakeClock clock;
    FakeSerialPort port(clock);
    ScriptedDevice device;
    device.silentFrom = silentFrom;
    device.ffOnly = ffOnly;
    port.device = std::ref(device);
    device::SerialLink link(port, clock);

    const auto result = device::uploadToDevice(link, fullConfiguration(), { 0x0E, 0x8B });
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), outcome);
    QCOMPARE(port.written.size(), bytesSent);
}

void tst_DeviceUpload::overlongStringIsAnErrorBeforeItsCountGoesOut()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    ScriptedDevice device;
    port.device = std::ref(device);
    device::SerialLink link(port, clock);
    Configuration configuration;
    configuration.slot(SlotId::VgaInputActive).command_bytes = QByteArray(256, 'v');

    const auto result = device::uploadToDevice(link, configuration, {});
    QVERIFY(!result.hasValue());
    QCOMPARE(result.error().code(), platform::ErrorCode::CommandStringTooLong);
    // Handshake, settings and the three empty strings before it.
    QCOMPARE(port.written.size(), 7 + 3);
}

QTEST_GUILESS_MAIN(tst_DeviceUpload)
#include "tst_deviceupload.moc"
