#include "tests/support/fakeserialport.h"
#include "tests/support/sampleconfiguration.h"

#include "device/deviceupload.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

// A fake line with the QX-7M's side on it: ACK for every byte, 0xFF 0x07 for the second SYN (the
// 0x07 pairGapMs after the 0xFF when not 0). From byte `from` on (counted from 1; 0 never) it
// answers `instead` once and then nothing. Keeps what the upload told its observer.
struct ScriptedLine final : device::UploadObserver {
    FakeClock clock;
    FakeSerialPort port { clock };
    device::SerialLink link { port, clock };
    int from = 0;
    QByteArray instead;
    qint64 pairGapMs = 0;
    int received = 0;
    int total = 0;
    int acknowledged = 0;
    QString receipt;

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
    void uploadStarting(int byteTotal) override { total = byteTotal; }
    void byteAcknowledged(int byteNumber) override { acknowledged = byteNumber; }
    void uploadStopped(const device::UploadStop& stop) override { receipt = device::describeUploadStop(stop); }

    // As a command runs it: the port is open for the upload alone.
    platform::Result<UploadOutcome> upload(const config::Configuration& configuration)
    {
        const device::LinkSession session(link, u"/dev/ttyUSB0"_s);
        if (session.openError())
            return *session.openError();
        return device::uploadToDevice(link, configuration, { 0x0E, 0x8B }, this);
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
    QTest::addColumn<QList<int>>("delay"); // hours, minutes, seconds
    QTest::addColumn<int>("bytes"); // high * 256 + low; -1: refused as too large

    QTest::newRow("no delay") << QList { 0, 0, 0 } << 0x0000;
    QTest::newRow("1 h 2 min 3 s") << QList { 1, 2, 3 } << 0x0E8B;
    QTest::newRow("largest that fits") << QList { 18, 12, 15 } << 0xFFFF;
    QTest::newRow("one second too many") << QList { 18, 12, 16 } << -1;
    // The minutes are multiplied in 16 bits: 547 x 60 does not fit, although the total would.
    QTest::newRow("minutes beyond 16 bits") << QList { 0, 547, 0 } << -1;
}

void tst_DeviceUpload::delayBecomesTwoBytesHighFirst()
{
    QFETCH(QList<int>, delay);
    QFETCH(int, bytes);

    config::NoInputDelay noInput;
    std::tie(noInput.hours, noInput.minutes, noInput.seconds)
        = std::tuple(qint16(delay[0]), qint16(delay[1]), qint16(delay[2]));
    const auto result = device::delayBytes(noInput);
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

    const UploadOutcome settings = UploadOutcome::HandshakeOrSettingsFailed;
    const UploadOutcome string = UploadOutcome::StringTransferFailed;
    // The device's answers read as one piece or one byte at a time give the same upload.
    QTest::newRow("0xFF 0x07 in one piece") << 0 << QByteArray() << 0LL << UploadOutcome::Completed << QString();
    QTest::newRow("0x07 4.9 s after 0xFF") << 0 << QByteArray() << 4900LL << UploadOutcome::Completed << QString();
    QTest::newRow("no device at all") << 1 << QByteArray() << 0LL << settings
                                      << u"No answer to byte 1 of 53 (first SYN) after 6.0 s"_s;
    QTest::newRow("second SYN unanswered")
        << 2 << QByteArray() << 0LL << settings << u"No answer to byte 2 of 53 (second SYN) after 6.0 s"_s;
    QTest::newRow("0xFF alone") << 2 << "\xFF"_ba << 0LL << settings
                                << u"Second SYN: 0xFF came, 0x07 did not (byte 2 of 53, waited 6.0 s)"_s;
    QTest::newRow("NAK to the delay's low byte")
        << 7 << "\x15"_ba << 0LL << settings
        << u"Wrong answer to byte 7 of 53 (delay, low byte): 0x15 came instead of 0x06 (waited 6.0 s)"_s;
    QTest::newRow("first count byte") << 8 << QByteArray() << 0LL << string
                                      << u"No answer to byte 8 of 53 (Discrete ON string, count byte) after 6.0 s"_s;
    QTest::newRow("last byte of all")
        << 53 << QByteArray() << 0LL << string
        << u"No answer to byte 53 of 53 (No Input Active string, character 6 of 6) after 5.9 s"_s;
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
    QCOMPARE(line.port.written, kSampleWireImage.first(from == 0 ? 53 : from));
    QVERIFY(!line.port.isOpen());
    QCOMPARE(line.total, 53);
    QCOMPARE(line.acknowledged, from == 0 ? 53 : from - 1);
    QCOMPARE(line.receipt, receipt);
}

void tst_DeviceUpload::stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut()
{
    config::Configuration configuration = sampleConfiguration();
    configuration.slot(config::SlotId::SVideoInputActive).commandBytes = QByteArray(255, 'v');
    const auto longest = ScriptedLine().upload(configuration);
    QCOMPARE(longest ? longest.value() : UploadOutcome::StringTransferFailed, UploadOutcome::Completed);

    configuration.slot(config::SlotId::SVideoInputActive).commandBytes += 'v';
    ScriptedLine line;
    const auto result = line.upload(configuration);
    QCOMPARE(result ? 0 : result.error().number(), 5);
    QCOMPARE(result.error().description(),
        u"A command string is longer than the 255 bytes the QX-7M can take: S-Video Input Active: 256 bytes"_s);
    QCOMPARE(line.port.written, QByteArray());
    QVERIFY(!line.port.isOpen());
}

QTEST_GUILESS_MAIN(tst_DeviceUpload)
#include "tst_deviceupload.moc"
