#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"
#include "tools/options.h"
#include "tools/simulateddevice.h"

#include "platform/qtserialport.h"

#include <QElapsedTimer>
#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using testsupport::hex;

namespace {

// Restated here rather than taken from the emulator, so that a wrong constant cannot agree with itself.
// 9600 baud, no scan priority, no delay, then seven empty strings.
const QByteArray kEmptyUpload = QByteArray::fromHex("1616258000000000000000000000");

// The emulated device as its command line sets it up.
tools::SimulatedDevice deviceFor(const QStringList& options)
{
    const tools::Options parsed = tools::readCommandLine(QStringList { u"qx7m-sim"_s } + options);
    return tools::SimulatedDevice(parsed.faults, tools::AnswerTiming(parsed.wireBaud, parsed.answerDelay));
}

// Sends the bytes one at a time, each 1 ms after the answer to the one before, on the device's own time scale.
// Returns each byte's answer in hex ("" for none) and keeps the upload that the last byte completed.
QStringList play(tools::SimulatedDevice& device, const QByteArray& bytes, std::chrono::nanoseconds& now,
    std::optional<tools::Upload>& completed)
{
    QStringList answers;
    for (const char byte : bytes) {
        tools::Reaction reaction = device.receive(quint8(byte), now);
        answers.append(hex(reaction.answer));
        now = reaction.answerAt + 1ms;
        completed = reaction.completed;
    }
    return answers;
}

} // namespace

class tst_DeviceSimulator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void faultOptionsChangeTheAnswers_data();
    void faultOptionsChangeTheAnswers();
    void answersAreTimedLikeACable_data();
    void answersAreTimedLikeACable();
    void slowAnswersKeepTheUploadAndLongPausesStartItOver_data();
    void slowAnswersKeepTheUploadAndLongPausesStartItOver();
    void answerIsNotWrittenBeforeItsTime();
};

void tst_DeviceSimulator::faultOptionsChangeTheAnswers_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("answers");

    const auto answers = [](const QString& ack, const QString& secondSyn, int answered) {
        QStringList list(kEmptyUpload.size(), ack);
        list[1] = secondSyn;
        for (qsizetype index = answered; index < list.size(); ++index)
            list[index].clear();
        return list;
    };
    QTest::newRow("sound device") << QStringList() << answers(u"06"_s, u"FF07"_s, 14);
    QTest::newRow("silent answers nothing") << QStringList { u"--silent"_s } << answers(u"06"_s, u"FF07"_s, 0);
    QTest::newRow("stop-after 3 answers the handshake and one setting")
        << QStringList { u"--stop-after"_s, u"3"_s } << answers(u"06"_s, u"FF07"_s, 3);
    QTest::newRow("nak-first puts a NAK before every ACK only")
        << QStringList { u"--nak-first"_s } << answers(u"1506"_s, u"FF07"_s, 14);
    QTest::newRow("ff-only leaves out the 0x07") << QStringList { u"--ff-only"_s } << answers(u"06"_s, u"FF"_s, 14);
}

void tst_DeviceSimulator::faultOptionsChangeTheAnswers()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, answers);

    tools::SimulatedDevice device = deviceFor(options);
    std::chrono::nanoseconds now = 1s;
    std::optional<tools::Upload> completed;
    // The PC may upload again and again without the emulator being restarted.
    for (int upload = 1; upload <= 2; ++upload) {
        QCOMPARE(play(device, kEmptyUpload, now, completed), answers);
        // The device still follows an upload it does not answer, so the report shows what went out.
        QVERIFY(completed);
        QCOMPARE(hex(completed->received), hex(kEmptyUpload));
        QCOMPARE(hex(completed->answered), answers.join(QString()));
    }
}

void tst_DeviceSimulator::answersAreTimedLikeACable_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<qint64>("ackNs");
    QTest::addColumn<qint64>("pairNs");

    // At 300 baud a byte takes 33.3 ms: an ACK costs two bytes of wire time, 0xFF 0x07 three.
    QTest::newRow("slowest wire") << QStringList { u"--wire-baud"_s, u"1"_s } << qint64(20'000'000'000)
                                  << qint64(30'000'000'000);
    QTest::newRow("wire time both ways") << QStringList { u"--wire-baud"_s, u"300"_s } << qint64(66'666'666)
                                         << qint64(100'000'000);
    QTest::newRow("delay on top of wire time") << QStringList { u"--wire-baud"_s, u"300"_s, u"--answer-delay"_s,
        u"100"_s } << qint64(166'666'666) << qint64(200'000'000);
}

void tst_DeviceSimulator::answersAreTimedLikeACable()
{
    QFETCH(QStringList, options);
    QFETCH(qint64, ackNs);
    QFETCH(qint64, pairNs);

    tools::SimulatedDevice device = deviceFor(options);
    const tools::Reaction ack = device.receive(0x16, 1s);
    const std::chrono::nanoseconds secondSeen = ack.answerAt + 1ms;
    const tools::Reaction pair = device.receive(0x16, secondSeen);
    QCOMPARE((ack.answerAt - 1s).count(), ackNs);
    QCOMPARE((pair.answerAt - secondSeen).count(), pairNs);
}

void tst_DeviceSimulator::slowAnswersKeepTheUploadAndLongPausesStartItOver_data()
{
    QTest::addColumn<QStringList>("options");
    // Bytes of a first upload that the PC gave up on, then how long it paused before starting again.
    QTest::addColumn<int>("abandonedBytes");
    QTest::addColumn<int>("pauseMs");

    // Answers later than the PC's wait must not look like a PC that gave up: the pause counts from
    // the answer, not from the byte.
    QTest::newRow("every answer 12 s late") << QStringList { u"--answer-delay"_s, u"12000"_s } << 0 << 0;
    QTest::newRow("PC starts again 11 s after an unanswered byte")
        << QStringList { u"--stop-after"_s, u"1"_s } << 2 << 11'000;
}

void tst_DeviceSimulator::slowAnswersKeepTheUploadAndLongPausesStartItOver()
{
    QFETCH(QStringList, options);
    QFETCH(int, abandonedBytes);
    QFETCH(int, pauseMs);

    tools::SimulatedDevice device = deviceFor(options);
    std::chrono::nanoseconds now = 1s;
    std::optional<tools::Upload> completed;
    play(device, kEmptyUpload.first(abandonedBytes), now, completed);
    now += std::chrono::milliseconds(pauseMs);

    play(device, kEmptyUpload, now, completed);
    QVERIFY(completed);
    QCOMPARE(hex(completed->received), hex(kEmptyUpload));
}

void tst_DeviceSimulator::answerIsNotWrittenBeforeItsTime()
{
    testsupport::DeviceSimulator simulator({ u"--wire-baud"_s, u"300"_s, u"--answer-delay"_s, u"100"_s });
    QVERIFY(simulator.start());
    platform::QtSerialPort pc;
    QCOMPARE(pc.open(simulator.devicePath()), std::nullopt);

    QElapsedTimer timer;
    timer.start();
    QCOMPARE(pc.write("\x16"_ba), std::nullopt);
    const auto arrival = pc.waitForBytes(2000);
    QVERIFY(arrival);
    QCOMPARE(arrival.value(), platform::Arrival::ByteWaiting);
    // Only a floor and a wide ceiling: the emulator must not answer early, and must not mistake the unit.
    QCOMPARE_GE(timer.elapsed(), 166);
    QCOMPARE_LT(timer.elapsed(), 1166);
    QCOMPARE(pc.readByte(), std::optional<quint8>(0x06));
}

QTEST_GUILESS_MAIN(tst_DeviceSimulator)
#include "tst_devicesimulator.moc"
