#include "fakeserialport.h"
#include "sampleconfiguration.h"

#include "device/deviceupload.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::UploadOutcome;
using platform::Result;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

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
        return device::uploadToDevice(link, configuration, { 0x0E, 0x8B });
    }
};

} // namespace

class tst_DeviceUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readyPairIsTakenWhetherItComesTogetherOrApart_data();
    void readyPairIsTakenWhetherItComesTogetherOrApart();
    void missingAnswerEndsTheUploadAndReleasesThePort_data();
    void missingAnswerEndsTheUploadAndReleasesThePort();
    void overlongStringIsAnErrorBeforeAnythingGoesOut();
};

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

    ScriptedLine line;
    line.pairGapMs = gapMs;

    const auto outcome = line.upload(sampleConfiguration());
    QVERIFY(outcome);
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    QCOMPARE(line.port.written, kSampleWireImage);
}

void tst_DeviceUpload::missingAnswerEndsTheUploadAndReleasesThePort_data()
{
    QTest::addColumn<int>("silentFrom");
    QTest::addColumn<bool>("ffOnly");
    QTest::addColumn<UploadOutcome>("outcome");
    QTest::addColumn<int>("bytesSent");

    QTest::newRow("no device at all") << 1 << false << UploadOutcome::HandshakeOrSettingsFailed << 1;
    QTest::newRow("second SYN unanswered") << 2 << false << UploadOutcome::HandshakeOrSettingsFailed << 2;
    QTest::newRow("second SYN answered with 0xFF only") << 0 << true << UploadOutcome::HandshakeOrSettingsFailed << 2;
    QTest::newRow("delay low byte") << 7 << false << UploadOutcome::HandshakeOrSettingsFailed << 7;
    QTest::newRow("first count byte") << 8 << false << UploadOutcome::StringTransferFailed << 8;
    QTest::newRow("last byte of all") << 53 << false << UploadOutcome::StringTransferFailed << 53;
}

void tst_DeviceUpload::missingAnswerEndsTheUploadAndReleasesThePort()
{
    QFETCH(int, silentFrom);
    QFETCH(bool, ffOnly);
    QFETCH(UploadOutcome, outcome);
    QFETCH(int, bytesSent);

    ScriptedLine line;
    line.silentFrom = silentFrom;
    line.ffOnly = ffOnly;

    const auto result = line.upload(sampleConfiguration());
    QVERIFY(result);
    QCOMPARE(result.value(), outcome);
    QCOMPARE(line.port.written, kSampleWireImage.first(bytesSent));
    QVERIFY(!line.port.isOpen());
}

void tst_DeviceUpload::overlongStringIsAnErrorBeforeAnythingGoesOut()
{
    ScriptedLine line;
    config::Configuration configuration = sampleConfiguration();
    configuration.slot(config::SlotId::SVideoInputActive).command_bytes = QByteArray(256, 'v');

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
