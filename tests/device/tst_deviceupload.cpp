#include "tests/support/fakeserialport.h"
#include "tests/support/hex.h"
#include "tests/support/sampleconfiguration.h"

#include "device/deviceupload.h"
#include "device/uploadpreparation.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::TransferStatus;
using device::UploadOutcome;

Q_DECLARE_METATYPE(UploadOutcome)

namespace {

// The protocol's bytes, written out here so that a wrong constant in the link cannot agree with itself.
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;

// A link on a fake port whose clock starts wallMsAtStart into a wall-clock second.
struct FakeLine {
    explicit FakeLine(int wallMsAtStart = 0)
        : clock(wallMsAtStart)
    {
    }
    FakeClock clock;
    FakeSerialPort port { clock };
    device::SerialLink link { port, clock };
};

// The QX-7M's side of a fake line: ACK for every byte, 0xFF 0x07 for the second SYN (the 0x07
// pairGapMs after the 0xFF when not 0). From byte `from` on (counted from 1; 0 never) it answers
// `instead` once and then nothing. Keeps what the upload told its observer.
struct ScriptedLine final : FakeLine, device::UploadObserver {
    int from = 0;
    QByteArray instead;
    qint64 pairGapMs = 0;
    int received = 0;
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
    void uploadStarting(int) override { }
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

// The serial link's waits, what an upload sends for the window's fields, and the upload's outcome.
class tst_DeviceUpload : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void waitEndsAtTheFirstLookAtTheSixthWallSecond_data();
    void waitEndsAtTheFirstLookAtTheSixthWallSecond();
    void secondAnswerToOneByteIsNotTakenForTheNext();
    void delayFieldsAndBaudListGiveTheBytesSent_data();
    void delayFieldsAndBaudListGiveTheBytesSent();
    void answersGiveTheOutcomeAndThePortIsReleased_data();
    void answersGiveTheOutcomeAndThePortIsReleased();
    void stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut();
};

void tst_DeviceUpload::waitEndsAtTheFirstLookAtTheSixthWallSecond_data()
{
    // The wait starts at 57.000 plus wallMsAtStart: it ends at 03.000.
    QTest::addColumn<QList<qint64>>("start"); // wallMsAtStart, arrival time of the bytes, overrunMs
    QTest::addColumn<QByteArray>("arriving");
    QTest::addColumn<bool>("flood"); // ten wrong bytes every millisecond, for longer than the wait
    QTest::addColumn<bool>("received");
    QTest::addColumn<qint64>("endMs");

    const QByteArray ack(1, kAck);
    QTest::newRow("silent, starting at 57.000")
        << QList<qint64> { 0, 0, 0 } << QByteArray() << false << false << 6000LL;
    QTest::newRow("silent, starting at 57.999")
        << QList<qint64> { 999, 0, 0 } << QByteArray() << false << false << 5001LL;
    QTest::newRow("wrong bytes are dropped")
        << QList<qint64> { 0, 200, 0 } << QByteArray(2, kNak) + ack << false << true << 200LL;
    QTest::newRow("at the deadline") << QList<qint64> { 0, 6000, 0 } << ack << false << true << 6000LL;
    QTest::newRow("just after the deadline") << QList<qint64> { 0, 6001, 0 } << ack << false << false << 6000LL;
    // The system woke the link late: the look that first sees the deadline still reads once.
    QTest::newRow("while the last wait overruns") << QList<qint64> { 0, 6003, 5 } << ack << false << true << 6005LL;
    QTest::newRow("after the overrun look") << QList<qint64> { 0, 6006, 5 } << ack << false << false << 6005LL;
    // A flood is looked at once a pause; the last pause ends at the wait's end, not after it.
    QTest::newRow("flood without an answer") << QList<qint64> { 0, 0, 0 } << QByteArray() << true << false << 6000LL;
    QTest::newRow("the answer in a flood") << QList<qint64> { 0, 3005, 0 } << ack << true << true << 3020LL;
}

void tst_DeviceUpload::waitEndsAtTheFirstLookAtTheSixthWallSecond()
{
    QFETCH(QList<qint64>, start);
    QFETCH(QByteArray, arriving);
    QFETCH(bool, flood);

    FakeLine line { int(start[0]) };
    line.port.arriveAt(start[1], arriving);
    line.port.overrunMs = start[2];
    for (qint64 ms = 0; flood && ms < 7000; ++ms)
        line.port.arriveAt(ms, QByteArray(10, kNak));
    const auto result = line.link.waitForByte(kAck);
    QVERIFY(result);
    QTEST(result.value() == TransferStatus::Received, "received");
    QTEST(line.clock.now, "endMs");
    // The wait blocks in the port instead of polling: one long wait and the final look.
    if (flood)
        QCOMPARE_LE(line.port.waits, 6000 / 20 + 1);
    else if (arriving.isEmpty())
        QCOMPARE(line.port.waits, 2);
}

void tst_DeviceUpload::secondAnswerToOneByteIsNotTakenForTheNext()
{
    FakeLine line;
    line.port.device = [](quint8 sent) { return sent == 0x16 ? QByteArray(2, kAck) : QByteArray(); };
    QVERIFY(!line.link.sendByte(0x16));
    QCOMPARE(line.link.waitForByte(kAck).value(), TransferStatus::Received);
    QVERIFY(!line.link.sendByte(0x25));
    QCOMPARE(line.link.waitForByte(kAck).value(), TransferStatus::Waiting);
}

void tst_DeviceUpload::delayFieldsAndBaudListGiveTheBytesSent_data()
{
    QTest::addColumn<QStringList>("shown"); // hours, minutes, seconds, baud list
    // The texts the fields then show; the baud, priority, delay and count bytes the box then holds.
    QTest::addColumn<QString>("sent");

    const QString noStrings(14, u'0');
    QTest::newRow("hints of a new file, zero seconds go out as one")
        << QStringList { u"0-16"_s, u"0-59"_s, u"0-59"_s, u"2400"_s } << u"0 0 0 0960000001"_s + noStrings;
    QTest::newRow("emptied fields of a reopened file")
        << QStringList { QString(), QString(), QString(), u"4800"_s } << u"0 0 0 12C0000001"_s + noStrings;
    QTest::newRow("one minute and the seconds hint")
        << QStringList { u"0"_s, u"1"_s, u"0-59"_s, u"57600"_s } << u"0 1 0 E10000003D"_s + noStrings;
    QTest::newRow("rounded entries, a rate the list lacks")
        << QStringList { u"2.5"_s, u"0.5"_s, u"1.5"_s, u"38400"_s } << u"2.5 0.5 1.5 2580001C22"_s + noStrings;
    QTest::newRow("texts a field refuses count as zero")
        << QStringList { u"17"_s, u"abc"_s, u"60"_s, u"9600"_s } << u"0 0 0 2580000001"_s + noStrings;
}

void tst_DeviceUpload::delayFieldsAndBaudListGiveTheBytesSent()
{
    QFETCH(QStringList, shown);

    // Every slot at the longest length the device takes: none is refused.
    config::Configuration configuration;
    for (config::StringSlot& slot : configuration.slots)
        slot.byteCount = 30;
    const device::UploadPreparation prepared
        = device::prepareUpload(configuration, { shown[0], shown[1], shown[2] }, shown[3]);
    QVERIFY(!prepared.refusedSlot && prepared.delay);
    QTEST(QStringList({ prepared.delayTexts.hours, prepared.delayTexts.minutes, prepared.delayTexts.seconds,
                          testsupport::hex(device::programmedContent(configuration, prepared)) })
              .join(u' '),
        "sent");
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

    ScriptedLine line;
    line.from = from;
    line.instead = instead;
    line.pairGapMs = pairGapMs;
    // A late answer from an earlier upload is waiting: it answers nothing of this one.
    line.port.arriveAt(0, QByteArray(1, kAck));
    const auto result = line.upload(sampleConfiguration());
    QVERIFY(result);
    QTEST(result.value(), "outcome");
    QCOMPARE(line.port.written, kSampleWireImage.first(from == 0 ? 53 : from));
    QVERIFY(!line.port.isOpen());
    QCOMPARE(line.acknowledged, from == 0 ? 53 : from - 1);
    QTEST(line.receipt, "receipt");
}

void tst_DeviceUpload::stringLongerThanACountCarriesIsRefusedBeforeAnythingGoesOut()
{
    // A string-file import can leave a long string behind a small count, past the length check.
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
