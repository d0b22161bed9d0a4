#include "tests/support/fakeserialport.h"

#include "device/seriallink.h"

#include <QTest>

using device::TransferStatus;

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

} // namespace

class tst_SerialLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void waitEndsAtTheFirstLookAtTheSixthWallSecond_data();
    void waitEndsAtTheFirstLookAtTheSixthWallSecond();
    void streamOfWrongBytesDoesNotKeepTheWaitOpen();
    void onlyBytesFromBeforeTheSendAreDropped();
    void floodOfWrongBytesIsLookedAtOnceAPause_data();
    void floodOfWrongBytesIsLookedAtOnceAPause();
    void secondAnswerToOneByteIsNotTakenForTheNext();
};

void tst_SerialLink::waitEndsAtTheFirstLookAtTheSixthWallSecond_data()
{
    // The wait starts at 57.000 plus wallMsAtStart: it ends at 03.000.
    QTest::addColumn<QList<qint64>>("start"); // wallMsAtStart, arrival time of the bytes, overrunMs
    QTest::addColumn<QByteArray>("arriving");
    QTest::addColumn<bool>("received");
    QTest::addColumn<qint64>("endMs");

    const QByteArray ack(1, kAck);
    QTest::newRow("silent, starting at 57.000") << QList<qint64> { 0, 0, 0 } << QByteArray() << false << 6000LL;
    QTest::newRow("silent, starting at 57.999") << QList<qint64> { 999, 0, 0 } << QByteArray() << false << 5001LL;
    QTest::newRow("wrong bytes are dropped")
        << QList<qint64> { 0, 200, 0 } << QByteArray(2, kNak) + ack << true << 200LL;
    QTest::newRow("at the deadline") << QList<qint64> { 0, 6000, 0 } << ack << true << 6000LL;
    QTest::newRow("just after the deadline") << QList<qint64> { 0, 6001, 0 } << ack << false << 6000LL;
    // The system woke the link late: the look that first sees the deadline still reads once.
    QTest::newRow("while the last wait overruns") << QList<qint64> { 0, 6003, 5 } << ack << true << 6005LL;
    QTest::newRow("after the overrun look") << QList<qint64> { 0, 6006, 5 } << ack << false << 6005LL;
}

void tst_SerialLink::waitEndsAtTheFirstLookAtTheSixthWallSecond()
{
    QFETCH(QList<qint64>, start);
    QFETCH(QByteArray, arriving);
    QFETCH(bool, received);
    QFETCH(qint64, endMs);

    FakeLine line { int(start[0]) };
    line.port.arriveAt(start[1], arriving);
    line.port.overrunMs = start[2];
    const auto result = line.link.waitForByte(kAck);
    const TransferStatus status = received ? TransferStatus::Received : TransferStatus::Waiting;
    QCOMPARE(result ? result.value() : TransferStatus::SettingUp, status);
    QCOMPARE(line.link.transferStatus(), status);
    QCOMPARE(line.clock.now, endMs);
    // The wait blocks in the port instead of polling: one long wait and the final look.
    if (arriving.isEmpty())
        QCOMPARE(line.port.waits, 2);
}

void tst_SerialLink::streamOfWrongBytesDoesNotKeepTheWaitOpen()
{
    FakeLine line;
    // A chatty device on the wrong port: a byte every 10 ms for a minute.
    for (qint64 ms = 5; ms < 60'000; ms += 10)
        line.port.arriveAt(ms, QByteArray(1, kNak));
    const auto result = line.link.waitForByte(kAck);
    QCOMPARE(result ? result.value() : TransferStatus::SettingUp, TransferStatus::Waiting);
    QVERIFY2(line.clock.now >= 6000 && line.clock.now <= 6010, qPrintable(QString::number(line.clock.now)));
}

void tst_SerialLink::onlyBytesFromBeforeTheSendAreDropped()
{
    FakeLine line;
    // A late answer from an earlier exchange is waiting when the next byte goes out; the device
    // answers the new byte at once, before the wait has even started.
    line.port.arriveAt(0, QByteArray(1, kAck));
    line.port.answerDelayMs = 0;
    line.port.device = [](quint8) { return QByteArray("\xFF\x07", 2); };

    QVERIFY(!line.link.sendByte(0x16));
    QCOMPARE(line.port.discarded, QByteArray(1, kAck));
    const auto first = line.link.waitForByte(0xFF);
    // The second byte of a back-to-back pair is waiting already and is not dropped.
    const auto second = line.link.waitForByte(0x07);
    QVERIFY(first && second);
    QCOMPARE(first.value(), TransferStatus::Received);
    QCOMPARE(second.value(), TransferStatus::Received);
    QCOMPARE(line.clock.now, qint64(0));
}

void tst_SerialLink::floodOfWrongBytesIsLookedAtOnceAPause_data()
{
    QTest::addColumn<qint64>("ackAtMs"); // -1: never
    QTest::addColumn<qint64>("endMs");

    // The last pause ends at the wait's end, not after it.
    QTest::newRow("no answer") << qint64(-1) << qint64(6000);
    QTest::newRow("the answer among them") << qint64(3005) << qint64(3020);
}

void tst_SerialLink::floodOfWrongBytesIsLookedAtOnceAPause()
{
    QFETCH(qint64, ackAtMs);
    FakeLine line;
    // A wrong byte every 100 us, for longer than the wait.
    for (qint64 ms = 0; ms < 7000; ++ms)
        line.port.arriveAt(ms, QByteArray(10, kNak) + (ms == ackAtMs ? QByteArray(1, kAck) : QByteArray()));
    const auto result = line.link.waitForByte(kAck);
    QCOMPARE(result ? result.value() : TransferStatus::SettingUp,
        ackAtMs < 0 ? TransferStatus::Waiting : TransferStatus::Received);
    QTEST(line.clock.now, "endMs");
    QCOMPARE_LE(line.port.waits, 6000 / 20 + 1);
}

void tst_SerialLink::secondAnswerToOneByteIsNotTakenForTheNext()
{
    FakeLine line;
    line.port.device = [](quint8 sent) { return sent == 0x16 ? QByteArray(2, kAck) : QByteArray(); };
    QVERIFY(!line.link.sendByte(0x16));
    QCOMPARE(line.link.waitForByte(kAck).value(), TransferStatus::Received);
    QVERIFY(!line.link.sendByte(0x25));
    QCOMPARE(line.link.waitForByte(kAck).value(), TransferStatus::Waiting);
}

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
