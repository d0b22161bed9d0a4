#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"
#include "tools/simulateddevice.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <utility>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using testsupport::DeviceSimulator;
using testsupport::hex;
using namespace std::chrono_literals;

namespace {

// Restated here rather than taken from the emulator, so that a wrong constant cannot agree with itself.
const QByteArray kSyn("\x16", 1);
const QByteArray kAck("\x06", 1);
const QByteArray kNakAck("\x15\x06", 2);
const QByteArray kFfSeven("\xFF\x07", 2);
// 9600 baud, no scan priority, no delay, then seven empty strings.
const QByteArray kEmptyUpload = QByteArray::fromHex("1616258000000000000000000000");
constexpr int kAnswerMsecs = 2000;
// How long a byte that should get no answer is watched.
constexpr int kQuietMsecs = 50;

// The PC's end of the cable, played with plain POSIX calls so that the emulator is checked on its own.
class PcSide {
public:
    ~PcSide() { close(); }

    bool open(const QString& path)
    {
        m_fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios settings {};
        if (m_fd >= 0 && ::tcgetattr(m_fd, &settings) == 0) {
            ::cfmakeraw(&settings);
            if (::tcsetattr(m_fd, TCSANOW, &settings) == 0)
                return true;
        }
        m_error = path.toLocal8Bit() + ": " + std::strerror(errno);
        return false;
    }

    const char* error() const { return m_error.constData(); }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int fd() const { return m_fd; }

    bool write(const QByteArray& bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }

    // Whatever one read() returns once bytes are there; empty when none come within msecs.
    QByteArray readOnce(int msecs)
    {
        pollfd line { m_fd, POLLIN, 0 };
        if (::poll(&line, 1, msecs) <= 0)
            return {};
        char buffer[64];
        const ssize_t count = ::read(m_fd, buffer, sizeof buffer);
        return count > 0 ? QByteArray(buffer, count) : QByteArray();
    }

    // Sends one byte and gathers the answer until it is as long as expected. An expected silence is watched
    // briefly, a late answer then shows up in the next exchange or in the report.
    QByteArray exchange(char byte, qsizetype expectedSize)
    {
        if (!write(QByteArray(1, byte)))
            return "write failed";
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        const int msecs = expectedSize > 0 ? kAnswerMsecs : kQuietMsecs;
        while (answer.size() < qMax<qsizetype>(expectedSize, 1) && !timer.hasExpired(msecs))
            answer += readOnce(qMax(0, int(msecs - timer.elapsed())));
        return answer;
    }

private:
    int m_fd = -1;
    QByteArray m_error;
};

// The answers a sound device gives to an upload, byte by byte.
QByteArrayList soundAnswers(const QByteArray& upload)
{
    QByteArrayList answers(upload.size(), kAck);
    answers[1] = kFfSeven;
    return answers;
}

// Plays the PC side of an upload and checks every answer on the way.
void playUpload(PcSide& pc, const QByteArray& upload, const QByteArrayList& answers)
{
    for (qsizetype index = 0; index < upload.size(); ++index) {
        const QByteArray answer = pc.exchange(upload[index], answers[index].size());
        QVERIFY2(answer == answers[index],
            qPrintable(u"byte %1 answered %2"_s.arg(index + 1).arg(QString::fromLatin1(answer.toHex(' ')))));
    }
}

bool startAndConnect(DeviceSimulator& device, PcSide& pc) { return device.start() && pc.open(device.devicePath()); }

} // namespace

class tst_DeviceSimulator : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void slowAnswersKeepTheUploadAndLongPausesStartItOver_data();
    void slowAnswersKeepTheUploadAndLongPausesStartItOver();
    void faultOptionsChangeTheAnswers_data();
    void faultOptionsChangeTheAnswers();
    void answersWaitForTheirTime_data();
    void answersWaitForTheirTime();
    void hangUpReachesThePcSide();
};

void tst_DeviceSimulator::faultOptionsChangeTheAnswers_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArrayList>("answers");

    const auto answers = [](const QByteArray& ack, const QByteArray& secondSyn, int answered) {
        QByteArrayList list(kEmptyUpload.size(), ack);
        list[1] = secondSyn;
        for (qsizetype index = answered; index < list.size(); ++index)
            list[index].clear();
        return list;
    };
    QTest::newRow("silent answers nothing") << QStringList { u"--silent"_s } << answers(kAck, kFfSeven, 0);
    QTest::newRow("stop-after 3 answers the handshake and one setting")
        << QStringList { u"--stop-after"_s, u"3"_s } << answers(kAck, kFfSeven, 3);
    QTest::newRow("nak-first puts a NAK before every ACK only")
        << QStringList { u"--nak-first"_s } << answers(kNakAck, kFfSeven, 14);
    QTest::newRow("ff-only leaves out the 0x07") << QStringList { u"--ff-only"_s } << answers(kAck, "\xFF", 14);
    QTest::newRow("faults combine") << QStringList { u"--nak-first"_s, u"--ff-only"_s, u"--stop-after"_s, u"4"_s }
                                    << answers(kNakAck, "\xFF", 4);
}

void tst_DeviceSimulator::faultOptionsChangeTheAnswers()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArrayList, answers);
    DeviceSimulator device(options);
    PcSide pc;
    QVERIFY2(startAndConnect(device, pc), pc.error());

    playUpload(pc, kEmptyUpload, answers);
    // The device still follows an upload it does not answer, so the report shows what went out.
    const QJsonObject report = device.waitForReport(kAnswerMsecs);
    QCOMPARE(report.value("received"_L1).toString(), hex(kEmptyUpload));
    QCOMPARE(report.value("answered"_L1).toString(), hex(answers.join()));
    QCOMPARE(pc.readOnce(kQuietMsecs), QByteArray());
}

void tst_DeviceSimulator::answersWaitForTheirTime_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("ackMsecs");
    QTest::addColumn<int>("pairMsecs");

    // At 300 baud a byte takes 33.3 ms: an ACK costs two bytes of wire time, 0xFF 0x07 three.
    QTest::newRow("answer delay") << QStringList { u"--answer-delay"_s, u"150"_s } << 150 << 150;
    QTest::newRow("wire time both ways") << QStringList { u"--wire-baud"_s, u"300"_s } << 66 << 100;
    QTest::newRow("delay on top of wire time")
        << QStringList { u"--wire-baud"_s, u"300"_s, u"--answer-delay"_s, u"100"_s } << 166 << 200;
}

void tst_DeviceSimulator::answersWaitForTheirTime()
{
    QFETCH(QStringList, options);
    QFETCH(int, ackMsecs);
    QFETCH(int, pairMsecs);
    DeviceSimulator device(options);
    PcSide pc;
    QVERIFY2(startAndConnect(device, pc), pc.error());

    // Only a floor and a wide ceiling: the emulator must not answer early, and must not mistake the unit.
    for (const auto& [answer, msecs] : { std::pair { kAck, ackMsecs }, std::pair { kFfSeven, pairMsecs } }) {
        QElapsedTimer timer;
        timer.start();
        QCOMPARE(pc.exchange(kSyn[0], answer.size()), answer);
        QCOMPARE_GE(timer.elapsed(), msecs);
        QCOMPARE_LT(timer.elapsed(), msecs + 1000);
    }
}

void tst_DeviceSimulator::hangUpReachesThePcSide()
{
    DeviceSimulator device({ u"--hang-up-after"_s, u"3"_s });
    PcSide pc;
    QVERIFY2(startAndConnect(device, pc), pc.error());

    playUpload(pc, kEmptyUpload.first(3), soundAnswers(kEmptyUpload));
    pollfd line { pc.fd(), POLLIN, 0 };
    QCOMPARE(::poll(&line, 1, kAnswerMsecs), 1);
    QVERIFY(line.revents & POLLHUP);
    char byte = 0;
    const ssize_t count = ::read(pc.fd(), &byte, 1);
    QVERIFY(count == 0 || (count < 0 && errno == EIO));

    const QJsonObject report = device.waitForReport(kAnswerMsecs);
    QCOMPARE(report.value("event"_L1).toString(), u"hang-up"_s);
    QCOMPARE(report.value("after"_L1).toInt(), 3);
    QVERIFY(device.waitForExit(kAnswerMsecs));
    QCOMPARE(device.exitCode(), 0);
}

void tst_DeviceSimulator::slowAnswersKeepTheUploadAndLongPausesStartItOver_data()
{
    QTest::addColumn<int>("answerDelayMs");
    QTest::addColumn<bool>("silentAfterFirstByte");
    // Bytes of a first upload that the PC gave up on, then how long it paused before starting again.
    QTest::addColumn<int>("abandonedBytes");
    QTest::addColumn<int>("pauseMs");

    // The PC waits up to 6 s for each answer, so answers this late must not look like a PC that gave up.
    QTest::newRow("every answer 4 s late") << 4000 << false << 0 << 0;
    QTest::newRow("PC starts again 11 s after the last answer") << 0 << false << 5 << 11'000;
    QTest::newRow("PC starts again 11 s after an unanswered byte") << 0 << true << 2 << 11'000;
}

void tst_DeviceSimulator::slowAnswersKeepTheUploadAndLongPausesStartItOver()
{
    QFETCH(int, answerDelayMs);
    QFETCH(bool, silentAfterFirstByte);
    QFETCH(int, abandonedBytes);
    QFETCH(int, pauseMs);

    sim::Faults faults;
    if (silentAfterFirstByte)
        faults.answeredBytes = 1;
    sim::SimulatedDevice device(faults, sim::AnswerTiming(0, std::chrono::milliseconds(answerDelayMs)));
    // Driven on the device's own time scale: each byte goes out 1 ms after the answer to the one before.
    std::chrono::nanoseconds now = 1s;
    for (int index = 0; index < abandonedBytes; ++index)
        now = device.receive(quint8(kEmptyUpload[index]), now).answerAt + 1ms;
    now += std::chrono::milliseconds(pauseMs);

    sim::Reaction reaction;
    QByteArray answers;
    for (const char byte : kEmptyUpload) {
        reaction = device.receive(quint8(byte), now);
        answers += reaction.answer;
        now = reaction.answerAt + 1ms;
    }
    QVERIFY(reaction.completed);
    QCOMPARE(hex(reaction.completed->received), hex(kEmptyUpload));
    if (!silentAfterFirstByte)
        QCOMPARE(hex(answers), u"06FF07"_s + u"06"_s.repeated(12));
}

QTEST_GUILESS_MAIN(tst_DeviceSimulator)
#include "tst_devicesimulator.moc"
