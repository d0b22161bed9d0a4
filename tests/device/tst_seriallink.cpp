#include "tests/support/fakeserialport.h"

#include "device/seriallink.h"

#include <QTest>

using device::TransferStatus;

Q_DECLARE_METATYPE(TransferStatus)

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
};

void tst_SerialLink::waitEndsAtTheFirstLookAtTheSixthWallSecond_data()
{
    QTest::addColumn<int>("wallMsAtStart");
    QTest::addColumn<QByteArray>("arriving");
    QTest::addColumn<qint64>("arrivalMs");
    QTest::addColumn<qint64>("overrunMs");
    QTest::addColumn<TransferStatus>("status");
    QTest::addColumn<qint64>("endMs");

    // The wait starts at 57.000 plus wallMsAtStart: it ends at 03.000.
    const QByteArray ack(1, kAck);
    const auto received = TransferStatus::Received;
    QTest::newRow("silent, starting at 57.000") << 0 << QByteArray() << 0LL << 0LL << TransferStatus::Waiting << 6000LL;
    QTest::newRow("silent, starting at 57.999")
        << 999 << QByteArray() << 0LL << 0LL << TransferStatus::Waiting << 5001LL;
    QTest::newRow("wrong bytes are dropped") << 0 << QByteArray(2, kNak) + ack << 200LL << 0LL << received << 200LL;
    QTest::newRow("at the deadline") << 0 << ack << 6000LL << 0LL << received << 6000LL;
    QTest::newRow("just after the deadline") << 0 << ack << 6001LL << 0LL << TransferStatus::Waiting << 6000LL;
    // The system woke the link late: the look that first sees the deadline still reads once.
    QTest::newRow("while the last wait overruns") << 0 << ack << 6003LL << 5LL << received << 6005LL;
    QTest::newRow("after the overrun look") << 0 << ack << 6006LL << 5LL << TransferStatus::Waiting << 6005LL;
}

void tst_SerialLink::waitEndsAtTheFirstLookAtTheSixthWallSecond()
{
    QFETCH(int, wallMsAtStart);
    QFETCH(QByteArray, arriving);
    QFETCH(qint64, arrivalMs);
    QFETCH(qint64, overrunMs);
    QFETCH(TransferStatus, status);
    QFETCH(qint64, endMs);

    FakeLine line(wallMsAtStart);
    line.port.overrunMs = overrunMs;
    line.port.arriveAt(arrivalMs, arriving);
    const auto result = line.link.waitForByte(kAck);
    QVERIFY(result);
    QCOMPARE(result.value(), status);
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
    QVERIFY(result);
    QCOMPARE(result.value(), TransferStatus::Waiting);
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

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
