#include "tests/mainwindow/windowfixture.h"
#include "tests/support/fakeserialport.h"

#include "trialwindow/trialwindow.h"

#include <QAction>

namespace {

const QString kQuestion = u"Which port is the projector connected to?"_s;
const QStringList kListedPorts { u"1 - ttyS0"_s, u"2 - ttyUSB0"_s };

} // namespace

// "Try on Projector..." in the main window and the builder, on a fake projector port and clock.
class tst_TrialWindow : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void projectorPortIsAskedAndItsFailureToldInTheTrialWindow_data();
    void projectorPortIsAskedAndItsFailureToldInTheTrialWindow();
    void trialLogsEachStepHoldsTheUploadAndStops();
    void builderTriesWhatIsComposedWithAltT();

private:
    trialwindow::TrialWindow* trial() const { return m_fixture->find<trialwindow::TrialWindow>(u"TrialWindow"_s); }
    QString shown(const QString& label) const { return trial()->findChild<QLabel*>(label)->text(); }
    void click(QWidget* window, const QString& name) const
    {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    // Save and Upload, New, Load and Port..., as the user finds them.
    QList<bool> portCommandsEnabled() const
    {
        const mainwindow::MainWindow& window = *m_fixture->window;
        return { m_fixture->find<QPushButton>(u"UploadCommandsButton"_s)->isEnabled(), window.newAction()->isEnabled(),
            window.loadAction()->isEnabled(), window.portAction()->isEnabled() };
    }

    FakeClock m_clock;
    std::unique_ptr<FakeSerialPort> m_projector;
};

void tst_TrialWindow::init()
{
    m_projector = std::make_unique<FakeSerialPort>(m_clock);
    // A projector that answers each carriage return.
    m_projector->device = [](quint8 byte) { return byte == '\r' ? QByteArray("OK\r") : QByteArray(); };
    m_fixture = std::make_unique<WindowFixture>(nullptr, &m_clock, m_projector.get());
    m_fixture->configuration.commPort = u"/dev/box"_s;
}

void tst_TrialWindow::projectorPortIsAskedAndItsFailureToldInTheTrialWindow_data()
{
    QTest::addColumn<QString>("boxPort");
    QTest::addColumn<QString>("projectorPortOption"); // as --projector-port gave it
    QTest::addColumn<QString>("initialAnswer");
    QTest::addColumn<QStringList>("choices"); // the box's port offered unless listed already
    QTest::addColumn<QString>("answer"); // empty: Cancel
    QTest::addColumn<int>("bytes"); // the slot's length
    QTest::addColumn<QString>("status"); // the trial window's line; none: no trial window
    QTest::addColumn<QString>("note");

    QTest::newRow("cancelled") << u"/dev/box"_s << QString() << u"/dev/box"_s
                               << QStringList { u"/dev/box"_s } + kListedPorts << QString() << 1 << QString()
                               << QString();
    QTest::newRow("busy port named by --projector-port")
        << u"2"_s << u"/dev/ttyUSB7"_s << u"/dev/ttyUSB7"_s << kListedPorts << u"/dev/ttyUSB7"_s << 1
        << u"Port not available, please free up the selected port"_s << QString();
    QTest::newRow("cable pulled, string too long for the box")
        << u"/dev/box"_s << QString() << u"/dev/box"_s << QStringList { u"/dev/box"_s } + kListedPorts
        << u"/dev/ttyUSB1"_s << 31
        << u"Error 8010: The connection to the serial port was lost: /dev/ttyUSB1. Is the USB serial adapter "
           "plugged in?"_s
        << u"Note: the string is 31 bytes long; the QX-7M takes at most 30, so an upload would refuse it."_s;
}

void tst_TrialWindow::projectorPortIsAskedAndItsFailureToldInTheTrialWindow()
{
    QFETCH(QString, answer);
    QFETCH(QString, status);
    QFETCH(int, bytes);
    QFETCH(QString, initialAnswer);
    QFETCH(QStringList, choices);
    m_fixture->prompts.expectTextInput(kQuestion, u"Projector Port"_s, initialAnswer, answer, choices);
    m_fixture->configuration.slot(SlotId::VgaInputActive).commandBytes = QByteArray(bytes, 'A');
    QFETCH(QString, boxPort);
    m_fixture->configuration.commPort = boxPort;
    QFETCH(QString, projectorPortOption);
    m_fixture->projectorPort.answer = projectorPortOption;
    m_projector->hangUpAfter = bytes;
    // The port that --projector-port names is held by another program.
    if (!projectorPortOption.isEmpty())
        m_projector->openErrors.append(platform::Error(platform::ErrorCode::PortAlreadyOpen));
    m_fixture->open();

    click(m_fixture->window.get(), u"TryOnProjectorButton"_s);

    QCOMPARE(m_projector->opened, answer.isEmpty() ? QStringList() : QStringList { answer });
    QCOMPARE(trial() != nullptr, !status.isEmpty());
    if (status.isEmpty())
        return;
    trial()->advance();
    QCOMPARE(shown(u"TrialStatusLabel"_s), status);
    QTEST(shown(u"TrialNoteLabel"_s), "note");
    QVERIFY(!m_projector->isOpen());
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, true));
}

void tst_TrialWindow::trialLogsEachStepHoldsTheUploadAndStops()
{
    // "A", a wait of 2 s, then the power command, to a port whose path a message could read as its patterns.
    const QString port = u"/dev/ttyUSB1%1 %2 %3 %L1 %% [*]\""_s;
    m_fixture->configuration.slot(SlotId::DiscreteOn).commandBytes = QByteArray::fromHex("411B00025057520D");
    m_fixture->prompts.expectMessage(u"Not sent to the projector: nothing to send."_s, u"Try on Projector"_s);
    m_fixture->prompts.expectTextInput(
        kQuestion, u"Projector Port"_s, u"/dev/box"_s, port, QStringList { u"/dev/box"_s } + kListedPorts);
    mainwindow::MainWindow& window = m_fixture->open();
    click(&window, u"TryOnProjectorButton"_s); // the empty VGA slot
    window.baudRateList().setCurrentText(u"19200"_s);
    window.slotPanel().selectSlot(SlotId::DiscreteOn);
    m_clock.now = 1000;
    // A projector that answers with a byte more than the trial keeps.
    m_projector->device = [](quint8 byte) { return byte == '\r' ? "OK\r"_ba + QByteArray(65534, '~') : QByteArray(); };

    QTest::keyClick(&window, Qt::Key_T, Qt::ControlModifier);

    // A button's shortcut presses it, and clicks it as it comes up.
    QTRY_COMPARE(m_projector->opened, QStringList { port });
    QCOMPARE(m_projector->openedRates, QList<qint32> { 19200 });
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, false));
    QCOMPARE(shown(u"TrialPortLabel"_s), u"Projector port: "_s + port);
    m_clock.now += 500;
    trial()->advance();
    QCOMPARE(shown(u"TrialStatusLabel"_s), u"Waiting: 1.5 s left"_s);
    QCOMPARE(trial()->findChild<QPushButton*>(u"SkipWaitButton"_s)->text(), u"Skip wait"_s);
    click(trial(), u"SkipWaitButton"_s);
    m_clock.now += 1;
    trial()->advance();
    QCOMPARE(shown(u"TrialStatusLabel"_s), u"Listening: 2.0 s left"_s);
    // The reply is logged as it comes, 16 bytes a line; the window's own timer ends the listening.
    auto* logView = trial()->findChild<QPlainTextEdit*>(u"TrialLog"_s);
    QCOMPARE(logView->blockCount(), 4101);
    m_clock.now += 1999;
    QTRY_COMPARE(shown(u"TrialStatusLabel"_s), u"Finished: 65537 bytes from the projector"_s);
    const QStringList log = logView->toPlainText().split(u'\n');
    QCOMPARE(log.size(), 4103);
    QCOMPARE(log.first(6) + log.last(3),
        QStringList({ u"0.000 s  "_s + port + u" opened at 19200 baud"_s, u"0.000 s  sent 41"_s,
            u"0.000 s  wait of 2 s"_s, u"0.500 s  wait skipped"_s, u"0.500 s  sent 50 57 52 0D"_s,
            u"0.501 s  received 4F 4B 0D 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E  \"OK<CR>~~~~~~~~~~~~~\""_s,
            u"0.501 s  received 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E 7E  \"~~~~~~~~~~~~~~~~\""_s,
            u"2.500 s  ... and 1 more byte"_s, u"2.500 s  listening over"_s }));
    QVERIFY(!m_projector->isOpen());
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, true));

    // The answer is kept: the next try asks nothing. Stop ends it in the wait and frees the port.
    click(&window, u"TryOnProjectorButton"_s);
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, false));
    click(trial(), u"StopTrialButton"_s);
    QCOMPARE(shown(u"TrialStatusLabel"_s), u"Stopped; the port is closed"_s);
    QCOMPARE(
        logView->toPlainText().split(u'\n').last(2), QStringList({ u"0.000 s  wait of 2 s"_s, u"0.000 s  stopped"_s }));
    QVERIFY(!m_projector->isOpen());
    QCOMPARE(portCommandsEnabled(), QList<bool>(4, true));

    // Closing the main window stops a running trial before anything is asked.
    click(trial(), u"TryAgainButton"_s);
    QVERIFY(m_projector->isOpen());
    m_fixture->prompts.expectQuestion(u"Do you wish to save your current configuration?"_s, u"New File"_s,
        platform::Answer::No, [this] { QVERIFY(!m_projector->isOpen()); });
    window.close();
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
