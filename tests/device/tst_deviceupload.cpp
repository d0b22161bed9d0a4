#include "fakeserialport.h"
#include "sampleconfiguration.h"

#include "device/deviceupload.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

QByteArray hex(const char* text) { return QByteArray::fromHex(text); }

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
            return hex("06");
        if (ffOnly)
            return hex("FF");
        if (pairGapMs == 0)
            return hex("FF07");
        port.arriveAt(clock.now + port.answerDelayMs + pairGapMs, hex("07"));
        return hex("FF");
    }
};

} // namespace

class tst_DeviceUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readyPairIsTakenWhetherItComesTogetherOrApart_data();
    void readyPairIsTakenWhetherItComesTogetherOrApart();
    void missingAnswerEndsTheUpload_data();
    void missingAnswerEndsTheUpload();
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

    const auto outcome = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
    QVERIFY(outcome.hasValue());
    QCOMPARE(outcome.value(), UploadOutcome::Completed);
    QCOMPARE(line.port.written.left(7), hex("16 16 E1 00 02 0E 8B"));
    QCOMPARE(line.port.written.size(), 74);
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
    QTest::newRow("last count byte") << 74 << false << UploadOutcome::StringTransferFailed << 74;
}

void tst_DeviceUpload::missingAnswerEndsTheUpload()
{
    QFETCH(int, silentFrom);
    QFETCH(bool, ffOnly);
    QFETCH(UploadOutcome, outcome);
    QFETCH(int, bytesSent);

    ScriptedLine line;
    line.silentFrom = silentFrom;
    line.ffOnly = ffOnly;

    const auto result = device::uploadToDevice(line.link, sampleConfiguration(), { 0x0E, 0x8B });
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), outcome);
    QCOMPARE(line.port.written.size(), bytesSent);
}

void tst_DeviceUpload::overlongStringIsAnErrorBeforeAnythingGoesOut()
{
    ScriptedLine line;
    config::Configuration configuration = sampleConfiguration();
    configuration.slot(config::SlotId::SVideoInputActive).command_bytes = QByteArray(256, 'v');

    const auto result = device::uploadToDevice(line.link, configuration, {});
    QVERIFY(!result.hasValue());
    QCOMPARE(result.error().code(), platform::ErrorCode::CommandStringTooLong);
    QVERIFY2(
        result.error().description().contains(u"S-Video Input Active"_s), qPrintable(result.error().description()));
    QCOMPARE(line.port.written, QByteArray());
}

QTEST_GUILESS_MAIN(tst_DeviceUpload)
#include "tst_deviceupload.moc"
