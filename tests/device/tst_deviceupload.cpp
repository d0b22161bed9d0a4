#include "tests/support/fakeserialport.h"
#include "tests/support/sampleconfiguration.h"

#include "device/deviceupload.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

// Keeps what the upload told: how many bytes it said were acknowledged, and where it stopped.
struct RecordingObserver final : device::UploadObserver {
    void uploadStarting(int byteTotal) override { total = byteTotal; }
    void byteAcknowledged(int byteNumber) override { acknowledged = byteNumber; }
    void uploadStopped(const device::UploadStop& stop) override { receipt = device::describeUploadStop(stop); }
    int total = 0;
    int acknowledged = 0;
    QString receipt;
};

// A fake line with the QX-7M's side on it: ACK for every byte, 0xFF 0x07 for the second SYN (the
// 0x07 pairGapMs after the 0xFF when not 0). From byte `from` on (counted from 1; 0 never) it
// answers `instead` once and then nothing.
struct ScriptedLine {
    FakeClock clock;
    FakeSerialPort port { clock };
    device::SerialLink link { port, clock };
    int from = 0;
    QByteArray instead;
    qint64 pairGapMs = 0;
    int received = 0;
    RecordingObserver observer;

    ScriptedLine()
    {
        port.device = [this](quint8 byte) {
            ++received;
            if (from != 0 && received >= from)
                return received == from ? instead : QByteArray();
            if (received != 2 || byte != 0x16)
                return QByteArray("\x06");
            if (pairGapMs == 0)
                return QByteArray("\xFF\x07");
            port.arriveAt(clock.now + port.answerDelayMs + pairGapMs, "\x07");
            return QByteArray("\xFF");
        };
    }

    // As a command runs it: the port is open for the upload alone.
    platform::Result<UploadOutcome> upload(const config::Configuration& configuration)
    {
        const device::LinkSession session(link, u"/dev/ttyUSB0"_s);
        if (session.openError())
            return *session.openError();
        return device::uploadToDevice(link, configuration, { 0x0E, 0x8B }, &observer);
    }
};

} // namespace

class tst_DeviceUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void delayBecomesTwoBytesHighFirst_data();
    void delayBecomesTwoBytesHighFirst();
    void answersGiveTheOutcomeAndThePortIsReleased_data();
    void answersGiveTheOutcomeAndThePortIsReleased();
    void stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut();
};

void tst_DeviceUpload::delayBecomesTwoBytesHighFirst_data()
{
    QTest::addColumn<int>("hours");
    QTest::addColumn<int>("minutes");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("bytes"); // high * 256 + low; -1: refused as too large

    QTest::newRow("1 h 2 min 3 s") << 1 << 2 << 3 << 0x0E8B;
    QTest::newRow("largest that fits") << 18 << 12 << 15 << 0xFFFF;
    QTest::newRow("one second too many") << 18 << 12 << 16 << -1;
    QTest::newRow("negative total") << 0 << 0 << -1 << -1;
    // The minutes are multiplied in 16 bits: 547 x 60 does not fit, although the total would.
    QTest::newRow("minutes beyond 16 bits") << 0 << 547 << 0 << -1;
    QTest::newRow("minutes just within 16 bits") << 0 << 546 << 0 << 0x7FF8;
}

void tst_DeviceUpload::delayBecomesTwoBytesHighFirst()
{
    QFETCH(int, hours);
    QFETCH(int, minutes);
    QFETCH(int, seconds);
    QFETCH(int, bytes);

    config::NoInputDelay delay;
    delay.hours = qint16(hours);
    delay.minutes = qint16(minutes);
    delay.seconds = qint16(seconds);
    const auto result = device::delayBytes(delay);
    if (bytes < 0)
        QCOMPARE(result ? 0 : result.error().number(), 6);
    else
        QCOMPARE(result ? result.value().high * 256 + result.value().low : -1, bytes);
}

void tst_DeviceUpload::answersGiveTheOutcomeAndThePortIsReleased_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QByteArray>("instead");
    QTest::addColumn<qint64>("pairGapMs");
    QTest::addColumn<UploadOutcome>("outcome");
    QTest::addColumn<QString>("receipt");

    const auto row
        = [](const char* name, int from, const QByteArray& instead, UploadOutcome outcome, const QString& receipt) {
              QTest::newRow(name) << from << instead << 0LL << outcome << receipt;
          };
    const UploadOutcome settings = UploadOutcome::HandshakeOrSettingsFailed;
    const UploadOutcome string = UploadOutcome::StringTransferFailed;
    // The device's answers read as one piece or one byte at a time give the same upload.
    QTest::newRow("0xFF 0x07 in one piece") << 0 << QByteArray() << 0LL << UploadOutcome::Completed << QString();
    QTest::newRow("0x07 4.9 s after 0xFF") << 0 << QByteArray() << 4900LL << UploadOutcome::Completed << QString();
    row("no device at all", 1, {}, settings, u"No answer to byte 1 of 53 (first SYN) after 6.0 s"_s);
    row("second SYN unanswered", 2, {}, settings, u"No answer to byte 2 of 53 (second SYN) after 6.0 s"_s);
    row("0xFF alone", 2, "\xFF", settings, u"Second SYN: 0xFF came, 0x07 did not (byte 2 of 53, waited 6.0 s)"_s);
    row("NAK to the delay's low byte", 7, "\x15", settings,
        u"Wrong answer to byte 7 of 53 (delay, low byte): 0x15 came instead of 0x06 (waited 6.0 s)"_s);
    row("first count byte", 8, {}, string, u"No answer to byte 8 of 53 (Discrete ON string, count byte) after 6.0 s"_s);
    row("last byte of all", 53, {}, string,
        u"No answer to byte 53 of 53 (No Input Active string, character 6 of 6) after 5.9 s"_s);
}

void tst_DeviceUpload::answersGiveTheOutcomeAndThePortIsReleased()
{
    QFETCH(int, from);
    QFETCH(QByteArray, instead);
    QFETCH(qint64, pairGapMs);
    QFETCH(UploadOutcome, outcome);
    QFETCH(QString, receipt);

    ScriptedLine line;
    line.from = from;
    line.instead = instead;
    line.pairGapMs = pairGapMs;
    const auto result = line.upload(sampleConfiguration());
    QVERIFY(result);
    QCOMPARE(result.value(), outcome);
    const int sent = from == 0 ? 53 : from;
    QCOMPARE(line.port.written, kSampleWireImage.first(sent));
    QVERIFY(!line.port.isOpen());
    QCOMPARE(line.observer.total, 53);
    QCOMPARE(line.observer.acknowledged, from == 0 ? 53 : sent - 1);
    QCOMPARE(line.observer.receipt, receipt);
}

void tst_DeviceUpload::stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut()
{
    config::Configuration configuration = sampleConfiguration();
    configuration.slot(config::SlotId::SVideoInputActive).commandBytes = QByteArray(255, 'v');
    ScriptedLine longest;
    const auto sent = longest.upload(configuration);
    QCOMPARE(sent ? sent.value() : UploadOutcome::StringTransferFailed, UploadOutcome::Completed);

    configuration.slot(config::SlotId::SVideoInputActive).commandBytes += 'v';
    ScriptedLine line;
    const auto result = line.upload(configuration);
    QVERIFY(!result);
    QCOMPARE(result.error().number(), 5);
    QCOMPARE(result.error().description(),
        u"A command string is longer than the 255 bytes the QX-7M can take: S-Video Input Active: 256 bytes"_s);
    QCOMPARE(line.port.written, QByteArray());
    QVERIFY(!line.port.isOpen());
}

QTEST_GUILESS_MAIN(tst_DeviceUpload)
#include "tst_deviceupload.moc"
