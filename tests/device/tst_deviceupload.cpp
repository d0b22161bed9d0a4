#include "fakeserialport.h"
#include "sampleconfiguration.h"

#include "device/deviceupload.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::UploadOutcome;
using platform::Result;

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

// A fake line with the QX-7M's side on it: ACK for every byte, 0xFF 0x07 for the second SYN,
// silent from byte `silentFrom` on (counted from 1; 0 never silent).
struct ScriptedLine {
    FakeClock clock;
    FakeSerialPort port { clock };
    device::SerialLink link { port, clock };
    int silentFrom = 0;
    bool ffOnly = false;
    // When not 0, the 0x07 comes this long after the 0xFF instead of with it.
    qint64 pairGapMs = 0;
    int received = 0;
    RecordingObserver observer;

    ScriptedLine()
    {
        port.device = [this](quint8 byte) { return answer(byte); };
    }

    QByteArray answer(quint8 byte)
    {
        ++received;
        if (silentFrom != 0 && received >= silentFrom)
            return {};
        if (received != 2 || byte != 0x16)
            return "\x06";
        if (ffOnly)
            return "\xFF";
        if (pairGapMs == 0)
            return "\xFF\x07";
        port.arriveAt(clock.now + port.answerDelayMs + pairGapMs, "\x07");
        return "\xFF";
    }

    // As a command runs it: the port is open for the upload alone.
    Result<UploadOutcome> upload(const config::Configuration& configuration)
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
    void answersGiveTheOutcomeAndThePortIsReleased_data();
    void answersGiveTheOutcomeAndThePortIsReleased();
    void stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut();
};

void tst_DeviceUpload::answersGiveTheOutcomeAndThePortIsReleased_data()
{
    QTest::addColumn<int>("silentFrom");
    QTest::addColumn<bool>("ffOnly");
    QTest::addColumn<qint64>("pairGapMs");
    QTest::addColumn<UploadOutcome>("outcome");
    QTest::addColumn<int>("bytesSent");
    QTest::addColumn<QString>("receipt");

    const UploadOutcome settingsFailed = UploadOutcome::HandshakeOrSettingsFailed;
    QTest::newRow("0xFF 0x07 in one piece") << 0 << false << qint64(0) << UploadOutcome::Completed << 53 << QString();
    QTest::newRow("0x07 a little later") << 0 << false << qint64(3) << UploadOutcome::Completed << 53 << QString();
    QTest::newRow("0x07 nearly five seconds later")
        << 0 << false << qint64(4900) << UploadOutcome::Completed << 53 << QString();
    QTest::newRow("no device at all") << 1 << false << qint64(0) << settingsFailed << 1
                                      << u"No answer to byte 1 of 53 (first SYN) after 6.0 s"_s;
    QTest::newRow("second SYN unanswered")
        << 2 << false << qint64(0) << settingsFailed << 2 << u"No answer to byte 2 of 53 (second SYN) after 6.0 s"_s;
    QTest::newRow("second SYN answered with 0xFF only")
        << 0 << true << qint64(0) << settingsFailed << 2
        << u"Second SYN: 0xFF came, 0x07 did not (byte 2 of 53, waited 6.0 s)"_s;
    QTest::newRow("delay low byte") << 7 << false << qint64(0) << settingsFailed << 7
                                    << u"No answer to byte 7 of 53 (delay, low byte) after 6.0 s"_s;
    QTest::newRow("first count byte") << 8 << false << qint64(0) << UploadOutcome::StringTransferFailed << 8
                                      << u"No answer to byte 8 of 53 (Discrete ON string, count byte) after 6.0 s"_s;
    QTest::newRow("last byte of all")
        << 53 << false << qint64(0) << UploadOutcome::StringTransferFailed << 53
        << u"No answer to byte 53 of 53 (No Input Active string, character 6 of 6) after 5.9 s"_s;
}

void tst_DeviceUpload::answersGiveTheOutcomeAndThePortIsReleased()
{
    QFETCH(int, silentFrom);
    QFETCH(bool, ffOnly);
    QFETCH(qint64, pairGapMs);
    QFETCH(UploadOutcome, outcome);
    QFETCH(int, bytesSent);
    QFETCH(QString, receipt);

    ScriptedLine line;
    line.silentFrom = silentFrom;
    line.ffOnly = ffOnly;
    line.pairGapMs = pairGapMs;

    const auto result = line.upload(sampleConfiguration());
    QVERIFY(result);
    QCOMPARE(result.value(), outcome);
    QCOMPARE(line.port.written, kSampleWireImage.first(bytesSent));
    QVERIFY(!line.port.isOpen());
    QCOMPARE(line.observer.total, 53);
    QCOMPARE(line.observer.acknowledged, outcome == UploadOutcome::Completed ? 53 : bytesSent - 1);
    QCOMPARE(line.observer.receipt, receipt);
}

void tst_DeviceUpload::stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut()
{
    config::Configuration configuration = sampleConfiguration();
    configuration.slot(config::SlotId::SVideoInputActive).command_bytes = QByteArray(255, 'v');
    ScriptedLine longest;
    const auto sent = longest.upload(configuration);
    QVERIFY(sent);
    QCOMPARE(sent.value(), UploadOutcome::Completed);

    configuration.slot(config::SlotId::SVideoInputActive).command_bytes += 'v';
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
