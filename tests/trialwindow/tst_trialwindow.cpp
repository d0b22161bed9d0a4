#include "tests/mainwindow/windowfixture.h"
#include "tests/support/fakeserialport.h"

#include "trialwindow/trialwindow.h"

#include <QAction>

using platform::Error;
using platform::ErrorCode;

namespace {

const QString kQuestion = u"Which port is the projector connected to?"_s;
const QString kQuestionTitle = u"Projector Port"_s;
const QStringList kListedPorts { u"1 - ttyS0"_s, u"2 - ttyUSB0"_s };

} // namespace

// "Try on Projector..." in the main window and the builder, on a fake projector port and clock.
class tst_TrialWindow : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void tryIsRefusedAskedOrFailsInTheTrialWindow_data();
    void tryIsRefusedAskedOrFailsInTheTrialWindow();
    void trialLogsEachStepHoldsTheUploadAndStops();
    void builderTriesWhatIsComposedWithAltT();

private:
    trialwindow::TrialWindow* trialWindow() const
    {
        return m_fixture->find<trialwindow::TrialWindow>(u"TrialWindow"_s);
    }
    QString trialText(const QString& name) const { return trialWindow()->findChild<QLabel*>(name)->text(); }
    QStringList logLines() const
    {
        return trialWindow()->findChild<QPlainTextEdit*>(u"TrialLog"_s)->toPlainText().split(u'\n');
    }
    void click(QWidget* window, const QString& name)
    {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    // The upload, New, Load and Port... as the user finds them.
    QList<bool> portCommandsEnabled() const
    {
        return { m_fixture->find<QPushButton>(u"UploadCommandsButton"_s)->isEnabled(),
            m_fixture->window->newAction()->isEnabled(), m_fixture->window->loadAction()->isEnabled(),
            m_fixture->window->portAction()->isEnabled() };
    }

    FakeClock m_clock;
    std::unique_ptr<FakeSerialPort> m_boxPort;
    std::unique_ptr<FakeSerialPort> m_projector;
};

void tst_TrialWindow::init()
{
    m_boxPort = std::make_unique<FakeSerialPort>(m_clock);
    m_projector = std::make_unique<FakeSerialPort>(m_clock);
    // A projector that answers each carriage return.
    m_projector->device = [](quint8 byte) { return byte == '\r' ? QByteArray("OK\r") : QByteArray(); };
    m_fixture = std::make_unique<WindowFixture>(m_boxPort.get(), &m_clock, m_projector.get());
    m_fixture->configuration.commPort = u"/dev/box"_s;
}

void tst_TrialWindow::tryIsRefusedAskedOrFailsInTheTrialWindow_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("boxPort");
    QTest::addColumn<QString>("projectorPortOption"); // as --projector-port gave it
    QTest::addColumn<QString>("refusal"); // the box before anything is asked or sent
    QTest::addColumn<QString>("initialAnswer"); // the question's field, with the box's port offered
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QString>("answer"); // empty: Cancel
    QTest::addColumn<QString>("fault"); // "busy", or "pulled" after the first byte
    QTest::addColumn<QString>("status"); // none: no trial window
    QTest::addColumn<QString>("note");

    const QStringList withBoxPort = QStringList { u"/dev/box"_s } + kListedPorts;
    const QString refused = u"Not sent to the projector: "_s;
    QTest::newRow("empty slot") << QByteArray() << u"/dev/box"_s << QString() << refused + u"nothing to send."_s
                                << QString() << QStringList() << QString() << QString() << QString() << QString();
    QTest::newRow("escape the box does not define")
        << QByteArray::fromHex("411BF0") << u"/dev/box"_s << QString()
        << refused + u"byte 2 begins the escape 1B F0, which the QX-7M does not define."_s << QString() << QStringList()
        << QString() << QString() << QString() << QString();
    QTest::newRow("question cancelled") << QByteArray("A") << u"/dev/box"_s << QString() << QString() << u"/dev/box"_s
                                        << withBoxPort << QString() << QString() << QString() << QString();
    QTest::newRow("busy port named by --projector-port")
        << QByteArray("A") << u"2"_s << u"/dev/ttyUSB7"_s << QString() << u"/dev/ttyUSB7"_s << kListedPorts
        << u"/dev/ttyUSB7"_s << u"busy"_s << u"Port not available, please free up the selected port"_s << QString();
    QTest::newRow("cable pulled, string too long for the box")
        << QByteArray(31, 'A') << u"/dev/box"_s << QString() << QString() << u"/dev/box"_s << withBoxPort
        << u"/dev/ttyUSB1"_s << u"pulled"_s
        << u"Error 8010: The connection to the serial port was lost: /dev/ttyUSB1. Is the USB serial adapter "
           "plugged in?"_s
        << u"Note: the string is 31 bytes long; the QX-7M takes at most 30, so an upload would refuse it."_s;
}

void tst_TrialWindow::tryIsRefusedAskedOrFailsInTheTrialWindow()
{
    QFETCH(QString, refusal);
    QFETCH(QString, answer);
    QFETCH(QString, fault);
    QFETCH(QString, status);
    QFETCH(QByteArray, bytes);
    m_fixture->configuration.slot(SlotId::VgaInputActive).commandBytes = bytes;
    QFETCH(QString, boxPort);
    m_fixture->configuration.commPort = boxPort;
    QFETCH(QString, projectorPortOption);
    m_fixture->projectorPort.answer = projectorPortOption;
    if (!refusal.isEmpty()) {
        m_fixture->prompts.expectMessage(refusal, u"Try on Projector"_s);
    } else {
        QFETCH(QString, initialAnswer);
        QFETCH(QStringList, choices);
        m_fixture->prompts.expectTextInput(kQuestion, kQuestionTitle, initialAnswer, answer, choices);
    }
    if (fault == u"busy"_s)
        m_projector->openErrors.append(Error(ErrorCode::PortAlreadyOpen));
    else if (fault == u"pulled"_s)
        m_projector->hangUpAfter = 1;
    m_fixture->open();

    QTest::mouseClick(m_fixture->find<QPushButton>(u"TryOnProjectorButton"_s), Qt::LeftButton);

    QCOMPARE(m_projector->opened, answer.isEmpty() ? QStringList() : QStringList { answer });
    QCOMPARE(trialWindow() != nullptr, !status.isEmpty());
    if (status.isEmpty())
        return;
    if (fault == u"pulled"_s) {
        QCOMPARE(m_projector->written, QByteArray(31, 'A'));
        trialWindow()->advance();
    }
    QCOMPARE(trialText(u"TrialStatusLabel"_s), status);
    QTEST(trialText(u"TrialNoteLabel"_s), "note");
    QVERIFY(!m_projector->isOpen());
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, true));
}

void tst_TrialWindow::trialLogsEachStepHoldsTheUploadAndStops()
{
    // "A", a wait of 2 s, then the power command.
    m_fixture->configuration.slot(SlotId::DiscreteOn).commandBytes = QByteArray::fromHex("411B00025057520D");
    m_fixture->prompts.expectTextInput(
        kQuestion, kQuestionTitle, u"/dev/box"_s, u"/dev/ttyUSB1"_s, QStringList { u"/dev/box"_s } + kListedPorts);
    mainwindow::MainWindow& window = m_fixture->open();
    window.baudRateList().setCurrentText(u"19200"_s);
    window.slotPanel().selectSlot(SlotId::DiscreteOn);
    m_clock.now = 1000;

    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);

    // A button's shortcut presses it, and clicks it as it comes up.
    QTRY_COMPARE(m_projector->opened, QStringList { u"/dev/ttyUSB1"_s });
    QCOMPARE(m_projector->openedRates, QList<qint32> { 19200 });
    QVERIFY(m_boxPort->opened.isEmpty());
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, false));
    QWidget* trial = trialWindow();
    QVERIFY(trial->isVisible());
    QCOMPARE(trialText(u"TrialPortLabel"_s), u"Projector port: /dev/ttyUSB1"_s);
    QCOMPARE(trialText(u"TrialStatusLabel"_s), u"Waiting: 2.0 s left"_s);
    m_clock.now += 500;
    trialWindow()->advance();
    QCOMPARE(trialText(u"TrialStatusLabel"_s), u"Waiting: 1.5 s left"_s);
    click(trial, u"SkipWaitButton"_s);
    QCOMPARE(m_projector->written, QByteArray("APWR\r"));
    m_clock.now += 1;
    trialWindow()->advance();
    QCOMPARE(trialText(u"TrialStatusLabel"_s), u"Listening: 2.0 s left"_s);
    m_clock.now += 1999;
    trialWindow()->advance();
    QCOMPARE(logLines(),
        QStringList({ u"0.000 s  /dev/ttyUSB1 opened at 19200 baud"_s, u"0.000 s  sent 41"_s, u"0.000 s  wait of 2 s"_s,
            u"0.500 s  wait skipped"_s, u"0.500 s  sent 50 57 52 0D"_s, u"0.501 s  received 4F 4B 0D  \"OK<CR>\""_s,
            u"2.500 s  listening over"_s }));
    QCOMPARE(trialText(u"TrialStatusLabel"_s), u"Finished: 3 bytes from the projector"_s);
    QVERIFY(!m_projector->isOpen());
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, true));

    // The answer is kept: the next try asks nothing. Stop ends it in the wait and frees the port.
    QTest::mouseClick(m_fixture->find<QPushButton>(u"TryOnProjectorButton"_s), Qt::LeftButton);
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, false));
    click(trial, u"StopTrialButton"_s);
    QCOMPARE(trialText(u"TrialStatusLabel"_s), u"Stopped; the port is closed"_s);
    QVERIFY(!m_projector->isOpen());
    QCOMPARE(m_projector->written, QByteArray("APWR\rA"));
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, true));

    // Closing the main window stops a running trial before anything is asked.
    click(trial, u"TryAgainButton"_s);
    QVERIFY(m_projector->isOpen());
    m_fixture->prompts.expectQuestion(u"Do you wish to save your current configuration?"_s, u"New File"_s,
        platform::Answer::No, [this] { QVERIFY(!m_projector->isOpen()); });
    window.close();
    QVERIFY(!m_projector->isOpen());
    QVERIFY(!trial->isVisible());
    QCOMPARE(m_projector->opened.size(), 3);
}

void tst_TrialWindow::builderTriesWhatIsComposedWithAltT()
{
    m_fixture->projectorPort.answer = u"/dev/ttyUSB1"_s;
    m_fixture->projectorPort.answered = true;
    m_fixture->open();
    QWidget* builder = m_fixture->openBuilder();
    QVERIFY(builder);
    QWidget* composition = builder->findChild<QWidget*>(u"StringTextBox"_s);
    QTest::keyClicks(composition, u"ON"_s);

    QTest::keyClick(composition, Qt::Key_T, Qt::AltModifier);

    QTRY_COMPARE(m_projector->written, QByteArray("ON"));
    QCOMPARE(m_projector->openedRates, QList<qint32> { 9600 });
}

QTEST_MAIN(tst_TrialWindow)
#include "tst_trialwindow.moc"
