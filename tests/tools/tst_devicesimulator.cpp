#include "tests/support/hex.h"
#include "tools/options.h"
#include "tools/simulateddevice.h"
#include "tools/simulatedprojector.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;
using testsupport::hex;

namespace {

// Restated here rather than taken from the emulator, so that a wrong constant cannot agree with itself.
// 9600 baud, no scan priority, no delay, then seven empty strings.
const QByteArray kEmptyUpload = QByteArray::fromHex("1616258000000000000000000000");

} // namespace

class tst_DeviceSimulator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void faultOptionsChangeTheAnswers_data();
    void faultOptionsChangeTheAnswers();
    void projectorReplyIsReadWithItsEscapes_data();
    void projectorReplyIsReadWithItsEscapes();
};

void tst_DeviceSimulator::faultOptionsChangeTheAnswers_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QStringList>("answers"); // for each byte in hex, "" for none
    QTest::addColumn<int>("answerDelayMs");

    const auto answers = [](const QString& ack, const QString& secondSyn, int answered) {
        QStringList list(kEmptyUpload.size(), ack);
        list[1] = secondSyn;
        for (qsizetype index = answered; index < list.size(); ++index)
            list[index].clear();
        return list;
    };
    // A sound device, --stop-after and --hang-up-after are the pseudo-terminal suites' to check.
    QTest::newRow("silent answers nothing") << QStringList { u"--silent"_s } << answers(u"06"_s, u"FF07"_s, 0) << 0;
    QTest::newRow("nak-first puts a NAK before every ACK only")
        << QStringList { u"--nak-first"_s } << answers(u"1506"_s, u"FF07"_s, 14) << 0;
    QTest::newRow("ff-only leaves out the 0x07")
        << QStringList { u"--ff-only"_s } << answers(u"06"_s, u"FF"_s, 14) << 0;
    // The window's suite plays a slow device with it: no answer may come early.
    QTest::newRow("answer-delay") << QStringList { u"--answer-delay"_s, u"100"_s } << answers(u"06"_s, u"FF07"_s, 14)
                                  << 100;
}

void tst_DeviceSimulator::faultOptionsChangeTheAnswers()
{
    QFETCH(QStringList, options);
    QFETCH(QStringList, answers);
    QFETCH(int, answerDelayMs);

    const tools::Options parsed = tools::readCommandLine(QStringList { u"qx7m-sim"_s } + options);
    tools::SimulatedDevice device(parsed.faults, tools::AnswerTiming(parsed.wireBaud, parsed.answerDelay));
    std::chrono::nanoseconds now = 1s;
    // The PC may upload again and again without the emulator being restarted.
    for (int upload = 1; upload <= 2; ++upload) {
        QStringList answered;
        std::optional<tools::Upload> completed;
        for (const char byte : kEmptyUpload) {
            const tools::Reaction reaction = device.receive(quint8(byte), now);
            answered.append(hex(reaction.answer));
            QCOMPARE(reaction.answerAt - now, std::chrono::milliseconds(answerDelayMs));
            now = reaction.answerAt + 1ms;
            completed = reaction.completed;
        }
        QCOMPARE(answered, answers);
        // The device still follows an upload it does not answer, so the report shows what went out.
        QVERIFY(completed);
        QCOMPARE(hex(completed->received), hex(kEmptyUpload));
        QCOMPARE(hex(completed->answered), answers.join(QString()));
    }
}

void tst_DeviceSimulator::projectorReplyIsReadWithItsEscapes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("reply"); // null: refused

    QTest::newRow("every escape") << u"A\\r\\n\\\\\\x7e\\xFE"_s << "A\r\n\\~\xFE"_ba;
    QTest::newRow("hex cut short") << u"\\x4"_s << QByteArray();
    QTest::newRow("not a hex digit") << u"\\x4G"_s << QByteArray();
    QTest::newRow("unknown escape") << u"\\t"_s << QByteArray();
}

void tst_DeviceSimulator::projectorReplyIsReadWithItsEscapes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, reply);
    const std::optional<QByteArray> read = tools::replyFromText(text);
    QCOMPARE(read.value_or(QByteArray()), reply);
    QCOMPARE(read.has_value(), !reply.isNull());
}

QTEST_GUILESS_MAIN(tst_DeviceSimulator)
#include "tst_devicesimulator.moc"
