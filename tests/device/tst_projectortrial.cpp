#include "tests/support/fakeserialport.h"

#include "device/projectortrial.h"
#include "notation/notation.h"
#include "notation/readabletext.h"

#include <QTest>

using namespace Qt::StringLiterals;
using device::ProjectorTrial;
using device::TrialEvent;

class tst_ProjectorTrial : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void stringTheBoxCannotSendIsRefused_data();
    void stringTheBoxCannotSendIsRefused();
    void trialSendsWaitsAndListensOnTheClock_data();
    void trialSendsWaitsAndListensOnTheClock();
};

void tst_ProjectorTrial::stringTheBoxCannotSendIsRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QString>("note");

    QTest::newRow("empty") << QByteArray() << u"nothing to send"_s << QString();
    QTest::newRow("undefined escape") << QByteArray::fromHex("411BF0")
                                      << u"byte 2 begins the escape 1B F0, which the QX-7M does not define"_s
                                      << QString();
    QTest::newRow("escape cut off") << QByteArray::fromHex("41421B00")
                                    << u"byte 3 begins an escape (1B) that the string cuts off"_s << QString();
    QTest::newRow("longer than the box takes") << QByteArray(31,
        'A') << QString() << u"the string is 31 bytes long; the QX-7M takes at most 30, so an upload would refuse it"_s;
    QTest::newRow("thirty bytes") << QByteArray(30, 'A') << QString() << QString();
}

void tst_ProjectorTrial::stringTheBoxCannotSendIsRefused()
{
    QFETCH(QByteArray, bytes);
    const device::TrialPlan plan = device::planTrial(bytes);
    QTEST(plan.refusal, "refusal");
    QTEST(plan.note, "note");
    QCOMPARE(plan.steps.isEmpty(), !plan.refusal.isEmpty());
}

void tst_ProjectorTrial::trialSendsWaitsAndListensOnTheClock_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("skipWaits");
    // What the user and the clock do, each followed by advance(): "+N" moves the clock N ms on,
    // "skip" skips the running wait, "stop" stops the trial, "pull" pulls the cable, "flood N"
    // brings N bytes at once.
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<ProjectorTrial::Phase>("phase");

    using Phase = ProjectorTrial::Phase;
    const QByteArray powerOnAfterTwoSeconds = QByteArray::fromHex("411B00025057520D");
    QTest::newRow("a wait, then listening for 2 s")
        << powerOnAfterTwoSeconds << false << QStringList { u"+0"_s, u"+1999"_s, u"+1"_s, u"+1999"_s, u"+1"_s }
        << QStringList { u"0 sent 41"_s, u"0 wait 2"_s, u"2000 waited"_s, u"2000 sent 50 57 52 0D"_s,
               u"3999 received OK<CR>"_s }
        << Phase::Finished;
    QTest::newRow("wait skipped after 1 s")
        << powerOnAfterTwoSeconds << false << QStringList { u"+0"_s, u"+1000"_s, u"skip"_s, u"+2000"_s }
        << QStringList { u"0 sent 41"_s, u"0 wait 2"_s, u"1000 skipped"_s, u"1000 sent 50 57 52 0D"_s,
               u"3000 received OK<CR>"_s }
        << Phase::Finished;
    QTest::newRow("waits made zero; a flood: 64 KiB kept, the rest counted, listening not drawn out")
        << powerOnAfterTwoSeconds << true
        << QStringList { u"+0"_s, u"+1000"_s, u"flood 40000"_s, u"+999"_s, u"flood 25534"_s, u"+1"_s }
        << QStringList { u"0 sent 41"_s, u"0 wait 2"_s, u"0 waited"_s, u"0 sent 50 57 52 0D"_s,
               u"1000 received OK<CR>"_s, u"1000 received 40000 bytes"_s, u"1999 received 25533 bytes"_s,
               u"... and 1 more byte"_s }
        << Phase::Finished;
    QTest::newRow("stopped in the wait") << powerOnAfterTwoSeconds << false
                                         << QStringList { u"+0"_s, u"+500"_s, u"stop"_s, u"+5000"_s }
                                         << QStringList { u"0 sent 41"_s, u"0 wait 2"_s } << Phase::Stopped;
    QTest::newRow("cable pulled") << powerOnAfterTwoSeconds << false << QStringList { u"+0"_s, u"pull"_s }
                                  << QStringList { u"0 sent 41"_s, u"0 wait 2"_s } << Phase::Failed;
}

void tst_ProjectorTrial::trialSendsWaitsAndListensOnTheClock()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, skipWaits);
    QFETCH(QStringList, script);
    FakeClock clock;
    FakeSerialPort port(clock);
    // A projector that answers each carriage return.
    port.device = [](quint8 byte) { return byte == '\r' ? QByteArray("OK\r") : QByteArray(); };
    ProjectorTrial trial(port, clock, device::planTrial(bytes).steps, device::kDefaultListenMs, skipWaits);
    QVERIFY(!trial.start(u"/dev/ttyUSB1"_s, 19200));
    for (const QString& action : script) {
        if (action == u"skip"_s)
            trial.skipWait();
        else if (action == u"stop"_s)
            trial.stop();
        else if (action == u"pull"_s)
            port.hangUpAfter = 0;
        else if (action.startsWith(u"flood "_s))
            port.arriveAt(clock.now, QByteArray(action.mid(6).toInt(), '~'));
        else
            clock.now += action.toLongLong();
        trial.advance();
    }
    QStringList events;
    for (const TrialEvent& event : trial.events()) {
        const QString at = QString::number(event.atMs) + u' ';
        switch (event.kind) {
        case TrialEvent::Kind::Sent:
            events.append(at + u"sent "_s + notation::hexPairs(event.bytes));
            break;
        case TrialEvent::Kind::WaitBegun:
            events.append(at + u"wait "_s + QString::number(event.waitSeconds));
            break;
        case TrialEvent::Kind::WaitEnded:
            events.append(at + (event.skipped ? u"skipped"_s : u"waited"_s));
            break;
        case TrialEvent::Kind::Received:
            events.append(at + u"received "_s
                + (event.bytes.size() > 8 ? u"%1 bytes"_s.arg(event.bytes.size())
                                          : notation::readableText(event.bytes)));
            break;
        }
    }
    if (trial.replyBytes() > trial.reply().size())
        events.append(device::notKeptText(trial.replyBytes() - trial.reply().size()));
    QTEST(events, "events");
    QTEST(trial.phase(), "phase");
    QCOMPARE(port.isOpen(), !trial.isOver());
    QCOMPARE(port.opened, QStringList { u"/dev/ttyUSB1"_s });
}

QTEST_GUILESS_MAIN(tst_ProjectorTrial)
#include "tst_projectortrial.moc"
