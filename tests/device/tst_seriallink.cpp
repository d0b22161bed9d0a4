#include "fakeserialport.h"

#include "device/seriallink.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::SerialLink;
using device::TransferStatus;

Q_DECLARE_METATYPE(TransferStatus)

namespace {

// The protocol's bytes, written out here so that a wrong constant in the link cannot agree with itself.
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;

} // namespace

class tst_SerialLink : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void silentDeviceTimesOutAtTheSixthWallSecond_data();
    void silentDeviceTimesOutAtTheSixthWallSecond();
    void answerNearTheDeadline_data();
    void answerNearTheDeadline();
    void wrongBytesAreDroppedUntilTheExpectedOne();
    void streamOfWrongBytesDoesNotKeepTheWaitOpen();
    void onlyBytesFromBeforeTheSendAreDropped();
    void unpluggedAdapterIsAnErrorNotATimeOut();
    void countedStringIsSentByteByByte_data();
    void countedStringIsSentByteByByte();
    void countedStringStopsAtTheFirstMissingAck();
    void countedStringOver255BytesIsRefusedBeforeSending();
};

void tst_SerialLink::silentDeviceTimesOutAtTheSixthWallSecond_data()
{
    QTest::addColumn<int>("wallMsAtStart");
    QTest::addColumn<qint64>("waitMs");

    QTest::newRow("starting at 57.000 ends at 03.000") << 0 << qint64(6000);
    QTest::newRow("starting at 57.999 ends at 03.000") << 999 << qint64(5001);
    QTest::newRow("starting at 57.500 ends at 03.000") << 500 << qint64(5500);
}

void tst_SerialLink::silentDeviceTimesOutAtTheSixthWallSecond()
{
    QFETCH(int, wallMsAtStart);
    QFETCH(qint64, waitMs);

    FakeClock clock(wallMsAtStart);
    clock.now = 57'000;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);

    const auto status = link.WaitForByte(kAck);
    QVERIFY(status.hasValue());
    QCOMPARE(status.value(), TransferStatus::Waiting);
    QCOMPARE(link.transferStatus(), TransferStatus::Waiting);
    QCOMPARE(clock.now - 57'000, waitMs);
    // The wait blocks in the port instead of polling: one long wait and the final look.
    QCOMPARE(port.waits, 2);
}

void tst_SerialLink::answerNearTheDeadline_data()
{
    QTest::addColumn<qint64>("arrivalMs");
    QTest::addColumn<qint64>("overrunMs");
    QTest::addColumn<TransferStatus>("status");
    QTest::addColumn<qint64>("endMs");

    QTest::newRow("just before the deadline") << qint64(5999) << qint64(0) << TransferStatus::Received << qint64(5999);
    QTest::newRow("at the deadline") << qint64(6000) << qint64(0) << TransferStatus::Received << qint64(6000);
    QTest::newRow("just after the deadline") << qint64(6001) << qint64(0) << TransferStatus::Waiting << qint64(6000);
    // The system woke the link late: the look that first sees the deadline still reads once.
    QTest::newRow("while the last wait overruns the deadline")
        << qint64(6003) << qint64(5) << TransferStatus::Received << qint64(6005);
    QTest::newRow("after the overrun look") << qint64(6006) << qint64(5) << TransferStatus::Waiting << qint64(6005);
}

void tst_SerialLink::answerNearTheDeadline()
{
    QFETCH(qint64, arrivalMs);
    QFETCH(qint64, overrunMs);
    QFETCH(TransferStatus, status);
    QFETCH(qint64, endMs);

    FakeClock clock;
    FakeSerialPort port(clock);
    port.overrunMs = overrunMs;
    SerialLink link(port, clock);
    port.arriveAt(arrivalMs, QByteArray(1, kAck));

    const auto result = link.WaitForByte(kAck);
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), status);
    QCOMPARE(clock.now, endMs);
}

void tst_SerialLink::wrongBytesAreDroppedUntilTheExpectedOne()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);
    port.arriveAt(100, QByteArray(1, kNak));
    port.arriveAt(200, QByteArray(1, kNak) + QByteArray(1, kAck));

    const auto result = link.WaitForByte(kAck);
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), TransferStatus::Received);
    QCOMPARE(clock.now, qint64(200));
    QCOMPARE(port.readByte(), std::nullopt);
}

void tst_SerialLink::streamOfWrongBytesDoesNotKeepTheWaitOpen()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);
    // A chatty device on the wrong port: a byte every 10 ms for a minute.
    for (qint64 ms = 5; ms < 60'000; ms += 10)
        port.arriveAt(ms, QByteArray(1, kNak));

    const auto result = link.WaitForByte(kAck);
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), TransferStatus::Waiting);
    QVERIFY2(clock.now >= 6000 && clock.now <= 6010, qPrintable(QString::number(clock.now)));
}

void tst_SerialLink::onlyBytesFromBeforeTheSendAreDropped()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);
    // A late answer from an earlier exchange is waiting when the next byte goes out; the device
    // answers the new byte at once, before the wait has even started.
    port.arriveAt(0, QByteArray(1, kAck));
    port.answerDelayMs = 0;
    port.device = [](quint8) { return QByteArray("\xFF\x07", 2); };

    QVERIFY(!link.sendByte(0x16));
    QCOMPARE(port.discarded, QByteArray(1, kAck));
    QCOMPARE(link.WaitForByte(0xFF).value(), TransferStatus::Received);
    // The second byte of a back-to-back pair is waiting already and is not dropped.
    QCOMPARE(link.WaitForByte(0x07).value(), TransferStatus::Received);
    QCOMPARE(clock.now, qint64(0));
}

void tst_SerialLink::unpluggedAdapterIsAnErrorNotATimeOut()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);
    port.unplugged = true;

    const auto result = link.WaitForByte(kAck);
    QVERIFY(!result.hasValue());
    QCOMPARE(result.error().code(), platform::ErrorCode::SerialLinkLost);
    QCOMPARE(clock.now, qint64(0));
}

void tst_SerialLink::countedStringIsSentByteByByte_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty string is its count alone") << QByteArray();
    QTest::newRow("CR LF and NUL go out as bytes") << QByteArray("\r\n\0\xFF", 4);
    QTest::newRow("thirty bytes") << QByteArray(30, 'p');
    QTest::newRow("the longest a count can carry") << QByteArray(255, '\x16');
}

void tst_SerialLink::countedStringIsSentByteByByte()
{
    QFETCH(QByteArray, bytes);

    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);
    int answered = 0;
    port.device = [&](quint8) {
        ++answered;
        return QByteArray(1, kAck);
    };

    const auto result = link.SendCountedString(bytes);
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), TransferStatus::Received);
    QCOMPARE(port.written, QByteArray(1, static_cast<char>(bytes.size())) + bytes);
    // One byte at a time: each was answered before the next went out.
    QCOMPARE(answered, bytes.size() + 1);
    QCOMPARE(port.discarded, QByteArray());
}

void tst_SerialLink::countedStringStopsAtTheFirstMissingAck()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);
    int received = 0;
    // No ACK for the tenth character, which is the eleventh byte with the count.
    port.device = [&](quint8) { return ++received == 11 ? QByteArray() : QByteArray(1, kAck); };
    const QByteArray thirty("abcdefghijklmnopqrstuvwxyz0123");

    const auto result = link.SendCountedString(thirty);
    QVERIFY(result.hasValue());
    QCOMPARE(result.value(), TransferStatus::Waiting);
    QCOMPARE(port.written, QByteArray(1, 30) + thirty.left(10));
}

void tst_SerialLink::countedStringOver255BytesIsRefusedBeforeSending()
{
    FakeClock clock;
    FakeSerialPort port(clock);
    SerialLink link(port, clock);

    const auto result = link.SendCountedString(QByteArray(256, 'x'));
    QVERIFY(!result.hasValue());
    QCOMPARE(result.error().number(), 5);
    QCOMPARE(port.written, QByteArray());
}

QTEST_GUILESS_MAIN(tst_SerialLink)
#include "tst_seriallink.moc"
