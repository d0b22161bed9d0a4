#include "tools/answertiming.h"
#include "tools/simulateddevice.h"

#include <QTest>

using namespace std::chrono_literals;
using namespace sim;

namespace {

const QByteArray kEmptyUpload = QByteArray::fromHex("1616258000000000000000000000");

} // namespace

// The rules whose exact edges a test through the pseudo-terminal cannot reach: when a pause ends an upload, and at
// which nanosecond an answer is due.
class tst_SimulatedDevice : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pauseOfMoreThanThreeSecondsStartsOver_data();
    void pauseOfMoreThanThreeSecondsStartsOver();
    void answerIsDueAfterTheWireTimeOfBothBytes_data();
    void answerIsDueAfterTheWireTimeOfBothBytes();
};

void tst_SimulatedDevice::pauseOfMoreThanThreeSecondsStartsOver_data()
{
    QTest::addColumn<int>("pausedBefore");
    QTest::addColumn<int>("pauseMsecs");
    QTest::addColumn<QByteArray>("answerAfterPause");
    QTest::addColumn<bool>("completes");

    QTest::newRow("any pause before the first SYN") << 1 << 60000 << QByteArray("\x06") << true;
    QTest::newRow("exactly 3 s in the settings") << 5 << 3000 << QByteArray("\x06") << true;
    QTest::newRow("over 3 s in the settings") << 5 << 3001 << QByteArray() << false;
    QTest::newRow("over 3 s before the second SYN: it opens a new upload") << 2 << 3001 << QByteArray("\x06") << false;
    QTest::newRow("over 3 s before the last count") << 14 << 3001 << QByteArray() << false;
}

void tst_SimulatedDevice::pauseOfMoreThanThreeSecondsStartsOver()
{
    QFETCH(int, pausedBefore);
    QFETCH(int, pauseMsecs);
    QFETCH(QByteArray, answerAfterPause);
    QFETCH(bool, completes);

    SimulatedDevice device;
    std::chrono::nanoseconds now = 10s;
    bool completed = false;
    for (int position = 1; position <= kEmptyUpload.size(); ++position) {
        now += position == pausedBefore ? std::chrono::milliseconds(pauseMsecs) : 1ms;
        const Reaction reaction = device.receive(quint8(kEmptyUpload[position - 1]), now);
        if (position == pausedBefore)
            QCOMPARE(reaction.answer, answerAfterPause);
        completed = completed || reaction.completed.has_value();
    }
    QCOMPARE(completed, completes);

    // Whatever was cut off, the next upload is counted from its own first byte.
    std::optional<Upload> next;
    for (const char byte : kEmptyUpload)
        next = device.receive(quint8(byte), now += 1ms).completed;
    QVERIFY(next);
    QCOMPARE(next->received, kEmptyUpload);
}

void tst_SimulatedDevice::answerIsDueAfterTheWireTimeOfBothBytes_data()
{
    QTest::addColumn<int>("wireBaud");
    QTest::addColumn<int>("delayMsecs");
    // For each received byte in turn: when it was seen, how many bytes answer it, when the answer is due (ns).
    QTest::addColumn<QList<qint64>>("bytes");

    // One byte at 9600 baud is 10/9600 s = 1041666.7 ns; at 57600 baud 173611.1 ns.
    QTest::newRow("ACK at 9600 baud") << 9600 << 0 << QList<qint64> { 0, 1, 2'083'333 };
    QTest::newRow("0xFF 0x07 at 9600 baud") << 9600 << 0 << QList<qint64> { 0, 2, 3'125'000 };
    QTest::newRow("ACK at 57600 baud") << 57600 << 0 << QList<qint64> { 0, 1, 347'222 };
    QTest::newRow("answer delay alone") << 0 << 250 << QList<qint64> { 0, 1, 250'000'000 };
    QTest::newRow("answer delay on top of wire time") << 9600 << 250 << QList<qint64> { 0, 1, 252'083'333 };
    QTest::newRow("bytes read together were sent one after the other")
        << 9600 << 0 << QList<qint64> { 0, 1, 2'083'333, 0, 1, 3'124'999 };
    QTest::newRow("a byte seen later starts when seen")
        << 9600 << 0 << QList<qint64> { 0, 1, 2'083'333, 1'000'000'000, 1, 1'002'083'333 };
    QTest::newRow("an unanswered byte still took its time")
        << 9600 << 0 << QList<qint64> { 0, 0, 1'041'666, 0, 1, 3'124'999 };
}

void tst_SimulatedDevice::answerIsDueAfterTheWireTimeOfBothBytes()
{
    QFETCH(int, wireBaud);
    QFETCH(int, delayMsecs);
    QFETCH(QList<qint64>, bytes);

    AnswerTiming timing(wireBaud, std::chrono::milliseconds(delayMsecs));
    QVERIFY(timing.isActive());
    for (qsizetype index = 0; index + 2 < bytes.size(); index += 3)
        QCOMPARE(timing.answerTime(std::chrono::nanoseconds(bytes[index]), bytes[index + 1]).count(), bytes[index + 2]);
}

QTEST_GUILESS_MAIN(tst_SimulatedDevice)
#include "tst_simulateddevice.moc"
