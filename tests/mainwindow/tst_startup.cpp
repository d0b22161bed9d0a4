#include "windowfixture.h"

#include "mainwindow/startup.h"
#include "tests/support/fakeserialport.h"

#include <QSignalSpy>

namespace {

QPushButton* button(QWidget* window, const QString& name) { return window->findChild<QPushButton*>(name); }

} // namespace

class tst_StartUp : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void createNewSavesTheStartValuesAndClosingTheWindowEndsTheProgram();
    void editExistingShowsTheFileAfterACancelledDialog();
    void givenFileOpensInsteadOfTheStartDialog_data();
    void givenFileOpensInsteadOfTheStartDialog();
    void portMenuKeepsThePortUntilAnotherOneOpens();

private:
    // The port question, answered "/dev/ttyS0" (or answer), then these boxes, each "text|title".
    void begin(mainwindow::StartUp& startUp, const QString& givenFile = {}, const QStringList& boxes = {},
        const QString& answer = u"/dev/ttyS0"_s);

    QTemporaryDir m_folder;
    FakeClock m_clock;
    FakeSerialPort m_port { m_clock };
};

void tst_StartUp::init()
{
    m_port.opened.clear();
    m_fixture = std::make_unique<WindowFixture>(&m_port);
}

void tst_StartUp::begin(
    mainwindow::StartUp& startUp, const QString& givenFile, const QStringList& boxes, const QString& answer)
{
    // As --port gives it, and with the ports this computer lists.
    m_fixture->prompts.expectTextInput(u"Which com port will the QX-7M be connected to for programming?"_s,
        u"Com port selection"_s, u"1"_s, answer, { u"1 - ttyS0"_s });
    for (const QString& box : boxes)
        m_fixture->prompts.expectMessage(box.section(u'|', 0, 0), box.section(u'|', 1));
    startUp.begin({ u"1"_s, { u"1 - ttyS0"_s }, givenFile });
}

void tst_StartUp::createNewSavesTheStartValuesAndClosingTheWindowEndsTheProgram()
{
    mainwindow::StartUp startUp(m_fixture->services);
    const QSignalSpy finished(&startUp, &mainwindow::StartUp::finished);
    begin(startUp);
    const QPointer<QWidget> startFileSelection = startUp.startFileSelection();
    QVERIFY(startFileSelection && startFileSelection->isVisible());
    QCOMPARE(startFileSelection->windowTitle(), u"Configuration File Selection"_s);
    QCOMPARE(startFileSelection->findChild<QLabel*>(u"QuestionLabel"_s)->text(),
        u"Do you wish to create a new configuration file or do you wish to edit an existing configuration file?"_s);
    QCOMPARE(button(startFileSelection, u"CreateNewButton"_s)->text(), u"Create New"_s);
    QCOMPARE(button(startFileSelection, u"EditExistingButton"_s)->text(), u"Edit Existing"_s);
    QVERIFY(!startUp.mainWindow()->isVisible());

    m_fixture->prompts.expectSaveFile(kQxcDialog, m_folder.filePath(u"a.qxc"_s));
    QTest::mouseClick(button(startFileSelection, u"CreateNewButton"_s), Qt::LeftButton);

    config::StoredConfiguration startValues;
    startValues.baudRateText = u"9600"_s;
    startValues.hoursText = u"0-16"_s;
    startValues.minutesText = startValues.secondsText = u"0-59"_s;
    QCOMPARE(config::readConfiguration(m_folder.filePath(u"a.qxc"_s)).value(), startValues);
    mainwindow::MainWindow* window = startUp.mainWindow();
    QVERIFY(window->isVisible() && QTest::qWaitForWindowActive(window));
    QVERIFY(!startFileSelection || !startFileSelection->isVisible());
    QCOMPARE(window->windowTitle(), u"a.qxc  -  QX-7M"_s);
    QCOMPARE(m_port.opened, QStringList { u"/dev/ttyS0"_s });

    // Closed with the builder open: both go, and nothing is asked.
    QTest::mouseClick(button(window, u"BuildStringButton"_s), Qt::LeftButton);
    QVERIFY(shownWindow(u"BuildStringForm"_s));
    QCOMPARE(finished.count(), 0);
    window->close();
    QCOMPARE(finished.count(), 1);
    QVERIFY(!shownWindow(u"BuildStringForm"_s));
    QCOMPARE(m_fixture->end.code, std::nullopt);
}

void tst_StartUp::editExistingShowsTheFileAfterACancelledDialog()
{
    config::Configuration hall;
    hall.baudRateText = u"19200"_s;
    hall.configPath = m_folder.filePath(u"hall.qxc"_s);
    QVERIFY(!config::writeConfiguration(hall, { u"1"_s, u"2"_s, u"3"_s }));
    mainwindow::StartUp startUp(m_fixture->services);
    begin(startUp);
    QPushButton* editExisting = button(startUp.startFileSelection(), u"EditExistingButton"_s);
    // Esc does nothing; Enter presses the focused button.
    editExisting->setFocus();
    QTest::keyClick(editExisting, Qt::Key_Escape);
    m_fixture->prompts.expectOpenFile(kQxcDialog, QString());
    QTest::keyClick(editExisting, Qt::Key_Return);
    QVERIFY(editExisting->isVisible());

    m_fixture->prompts.expectOpenFile(kQxcDialog, hall.configPath);
    QTest::mouseClick(editExisting, Qt::LeftButton);
    QVERIFY(startUp.mainWindow()->isVisible());
    QCOMPARE(startUp.mainWindow()->baudRateList().currentText(), u"19200"_s);
}

void tst_StartUp::givenFileOpensInsteadOfTheStartDialog_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("minutes"); // the file's minutes text
    QTest::addColumn<QStringList>("boxes"); // "text|title", each shown once
    QTest::addColumn<QString>("answer"); // to the port question: empty ends the program at once

    const QString port = u"/dev/ttyS0"_s;
    QTest::newRow("a configuration file") << u"hall.qxc"_s << QString() << QStringList {} << port;
    QTest::newRow("a delay text out of range")
        << u"hall.qxc"_s << u"60"_s
        << QStringList { u"You must enter a number of minutes between 0 and 59.|Minutes Wrong"_s } << port;
    QTest::newRow("another kind of file")
        << u"hall.txt"_s << QString() << QStringList { u"This is not a proper QX-7M file|Wrong File Extension"_s }
        << port;
    QTest::newRow("no port named") << u"hall.qxc"_s << QString() << QStringList {} << QString();
}

void tst_StartUp::givenFileOpensInsteadOfTheStartDialog()
{
    QFETCH(QString, name);
    QFETCH(QString, minutes);
    QFETCH(QStringList, boxes);
    QFETCH(QString, answer);
    config::Configuration hall;
    hall.baudRateText = u"4800"_s;
    hall.configPath = m_folder.filePath(name);
    QVERIFY(!config::writeConfiguration(hall, { u"2"_s, minutes, u"0-59"_s }));
    mainwindow::StartUp startUp(m_fixture->services);
    const QSignalSpy finished(&startUp, &mainwindow::StartUp::finished);
    begin(startUp, hall.configPath, boxes, answer);

    const bool opened = name.endsWith(u".qxc"_s) && !answer.isEmpty();
    QCOMPARE(startUp.mainWindow()->isVisible(), opened);
    QCOMPARE(m_fixture->configuration.configPath, opened ? hall.configPath : QString());
    QCOMPARE(startUp.mainWindow()->baudRateList().currentText(), opened ? u"4800"_s : u"9600"_s);
    // The window is built from the file's texts, none of its fields left: a hint leaves its field empty.
    const config::DelayFieldTexts shown = startUp.mainWindow()->delayFieldTexts();
    QCOMPARE(shown.hours + u'|' + shown.minutes + u'|' + shown.seconds, opened ? u"2||"_s : u"0-16|0-59|0-59"_s);
    QCOMPARE(m_fixture->end.code, answer.isEmpty() ? std::optional(0) : std::nullopt);
    QCOMPARE(startUp.startFileSelection() != nullptr, !opened && !answer.isEmpty());
    if (startUp.startFileSelection()) {
        // Closing the start dialog ends the program, with nothing asked.
        startUp.startFileSelection()->close();
        QCOMPARE(finished.count(), 1);
        QCOMPARE(m_fixture->end.code, std::nullopt);
    }
}

void tst_StartUp::portMenuKeepsThePortUntilAnotherOneOpens()
{
    m_fixture->configuration.commPort = u"/dev/ttyS0"_s;
    mainwindow::MainWindow& window = m_fixture->open();
    const auto ask = [this](const QString& answer) {
        m_fixture->prompts.expectTextInput(u"Which com port will the QX-7M be connected to for programming?"_s,
            u"Com port selection"_s, u"/dev/ttyS0"_s, answer, { u"1 - ttyS0"_s, u"2 - ttyUSB0"_s });
    };
    ask(QString());
    window.portAction()->trigger();
    // A port that fails is reported, and the one in use stays.
    ask(u"/dev/ttyUSB9"_s);
    m_port.openErrors.append(platform::Error(platform::ErrorCode::SerialPortNotFound, u"/dev/ttyUSB9"_s));
    m_fixture->prompts.expectMessage(u"Error Number:  8002"_s);
    m_fixture->prompts.expectMessage(
        u"error msg: There is no such serial port on this computer: /dev/ttyUSB9. Is the USB serial adapter plugged in?"_s);
    window.portAction()->trigger();
    QCOMPARE(m_fixture->configuration.commPort, u"/dev/ttyS0"_s);
    ask(u"/dev/pts/7"_s);
    window.portAction()->trigger();
    QCOMPARE(m_port.opened, QStringList({ u"/dev/ttyUSB9"_s, u"/dev/pts/7"_s }));
    QCOMPARE(m_fixture->configuration.commPort, u"/dev/pts/7"_s);
    QCOMPARE(m_fixture->find<QLabel>(u"PortInUseLabel"_s)->text(), u"Port: /dev/pts/7"_s);
}

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
