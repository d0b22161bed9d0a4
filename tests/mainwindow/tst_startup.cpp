#include "windowfixture.h"

#include "config/configurationfile.h"
#include "mainwindow/baudratelist.h"
#include "mainwindow/startup.h"
#include "tests/support/fakeserialport.h"
#include "tests/support/devicesimulator.h"
#include "tests/support/hex.h"

#include <QApplication>
#include <QJsonObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

const platform::FileDialogSettings kQxcDialog { u"qxc"_s, u"QX-7M Files (*.qxc)"_s, u"*.qxc"_s };
const QString kPortQuestion = u"Which com port will the QX-7M be connected to for programming?"_s;
const QString kPortTitle = u"Com port selection"_s;

QPushButton* button(QWidget* window, const QString& name) { return window->findChild<QPushButton*>(name); }

} // namespace

class tst_StartUp : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init() { m_port.opened.clear(); }
    void createNewThenBuildAndUploadAString();
    void editExistingShowsTheFileAfterACancelledDialog();
    void givenFileOpensInsteadOfTheStartDialog_data();
    void givenFileOpensInsteadOfTheStartDialog();
    void closingEitherWindowEndsTheProgramWithoutAQuestion_data();
    void closingEitherWindowEndsTheProgramWithoutAQuestion();
    void emptyPortAnswerEndsAtOnce();

private:
    // Start-up over a port that always opens, answered with a device path; then these boxes.
    void startOnAnyPort(mainwindow::StartUp& startUp, const QString& givenFile = {}, const QStringList& boxes = {});

    QTemporaryDir m_folder;
    FakeClock m_clock;
    FakeSerialPort m_port { m_clock };
};

void tst_StartUp::startOnAnyPort(mainwindow::StartUp& startUp, const QString& givenFile, const QStringList& boxes)
{
    m_fixture->prompts.expectTextInput(kPortQuestion, kPortTitle, u"1"_s, u"/dev/ttyS0"_s);
    // Each box as "text|title".
    for (const QString& box : boxes)
        m_fixture->prompts.expectMessage(box.section(u'|', 0, 0), box.section(u'|', 1));
    startUp.begin({ u"1"_s, {}, givenFile });
}

void tst_StartUp::createNewThenBuildAndUploadAString()
{
    testsupport::DeviceSimulator simulator;
    QVERIFY(simulator.start());
    m_fixture = std::make_unique<WindowFixture>();
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    mainwindow::StartUp startUp(m_fixture->services);
    // As --port gives it, and as an item of the list that the question offers.
    prompts.expectTextInput(
        kPortQuestion, kPortTitle, simulator.devicePath(), simulator.devicePath(), { u"1 - ttyS0"_s });
    startUp.begin({ simulator.devicePath(), { u"1 - ttyS0"_s }, {} });
    const QPointer<QWidget> startFileSelection = startUp.startFileSelection();
    QVERIFY(startFileSelection && startFileSelection->isVisible());
    QCOMPARE(startFileSelection->objectName(), u"StartFileSelection"_s);
    QCOMPARE(startFileSelection->windowTitle(), u"Configuration File Selection"_s);
    QCOMPARE(startFileSelection->findChild<QLabel*>(u"QuestionLabel"_s)->text(),
        u"Do you wish to create a new configuration file or do you wish to edit an existing configuration file?"_s);
    QCOMPARE(button(startFileSelection, u"CreateNewButton"_s)->text(), u"Create New"_s);
    QCOMPARE(button(startFileSelection, u"EditExistingButton"_s)->text(), u"Edit Existing"_s);
    QVERIFY(!startUp.mainWindow()->isVisible());

    prompts.expectSaveFile(kQxcDialog, m_folder.filePath(u"a.qxc"_s));
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
    QCOMPARE(window->delayFieldTexts().hours, u"0-16"_s);

    QTest::mouseClick(button(window, u"BuildStringButton"_s), Qt::LeftButton);
    QWidget* builder = shownWindow(u"BuildStringForm"_s);
    QVERIFY(builder && QTest::qWaitForWindowActive(builder));
    QTest::keyClicks(builder->findChild<QPlainTextEdit*>(u"StringTextBox"_s), u"PWR"_s);
    QTest::mouseClick(button(builder, u"DoneButton"_s), Qt::LeftButton);
    prompts.expectMessage(u"Upload Completed Successfully"_s, u"Upload Status"_s);
    QTest::mouseClick(button(window, u"UploadCommandsButton"_s), Qt::LeftButton);

    // The hints go out as no delay, and a delay of no seconds as one second.
    QCOMPARE(simulator.waitForReport(5000).value(u"received"_s).toString(),
        u"16162580000001000000035057520000 00"_s.remove(u' '));
    QCOMPARE(config::readConfiguration(m_folder.filePath(u"a.qxc"_s)).value().slots[3].commandBytes, "PWR");
}

void tst_StartUp::editExistingShowsTheFileAfterACancelledDialog()
{
    m_fixture = std::make_unique<WindowFixture>(&m_port);
    config::Configuration hall;
    hall.scanPriority = config::ScanPriority::Composite;
    hall.baudRateText = u"19200"_s;
    hall.configPath = m_folder.filePath(u"hall.qxc"_s);
    QVERIFY(!config::writeConfiguration(hall, { u"2"_s, u"75"_s, u"0-59"_s }));
    mainwindow::StartUp startUp(m_fixture->services);
    startOnAnyPort(startUp);
    const QPointer<QWidget> startFileSelection = startUp.startFileSelection();

    m_fixture->prompts.expectOpenFile(kQxcDialog, QString());
    QTest::mouseClick(button(startFileSelection, u"EditExistingButton"_s), Qt::LeftButton);
    QVERIFY(startFileSelection->isVisible());
    QCOMPARE(m_fixture->configuration.configFileName, QString());

    m_fixture->prompts.expectOpenFile(kQxcDialog, hall.configPath);
    // Once as the file is read, once as the main window is built again from it.
    for (int shown = 0; shown < 2; ++shown)
        m_fixture->prompts.expectMessage(u"You must enter a number of minutes between 0 and 59."_s, u"Minutes Wrong"_s);
    QTest::mouseClick(button(startFileSelection, u"EditExistingButton"_s), Qt::LeftButton);
    mainwindow::MainWindow* window = startUp.mainWindow();
    QVERIFY(window->isVisible());
    QVERIFY(!startFileSelection || !startFileSelection->isVisible());
    QCOMPARE(window->windowTitle(), u"hall.qxc  -  QX-7M"_s);
    QVERIFY(window->findChild<QRadioButton*>(u"CompOption"_s)->isChecked());
    QCOMPARE(window->baudRateList().currentText(), u"19200"_s);
    // Built again from the file's texts: a hint, or a refused entry, leaves its field empty.
    QCOMPARE(window->delayFieldTexts().hours, u"2"_s);
    QCOMPARE(window->delayFieldTexts().seconds, QString());
    QCOMPARE(m_fixture->configuration.delay.minutes, 255);
    QCOMPARE(m_port.opened, QStringList { u"/dev/ttyS0"_s });
}

void tst_StartUp::givenFileOpensInsteadOfTheStartDialog_data()
{
    QTest::addColumn<QString>("name");
    // The boxes shown before the start dialog; none when the file opens.
    QTest::addColumn<QStringList>("boxes");

    QTest::newRow("a configuration file") << u"hall.qxc"_s << QStringList {};
    QTest::newRow("another kind of file")
        << u"hall.txt"_s << QStringList { u"This is not a proper QX-7M file|Wrong File Extension"_s };
}

void tst_StartUp::givenFileOpensInsteadOfTheStartDialog()
{
    QFETCH(QString, name);
    QFETCH(QStringList, boxes);
    m_fixture = std::make_unique<WindowFixture>(&m_port);
    config::Configuration hall;
    hall.baudRateText = u"4800"_s;
    for (const QString& file : { u"hall.qxc"_s, u"hall.txt"_s }) {
        hall.configPath = m_folder.filePath(file);
        QVERIFY(!config::writeConfiguration(hall, { u"1"_s, u"2"_s, u"3"_s }));
    }
    const QString path = m_folder.filePath(name);
    mainwindow::StartUp startUp(m_fixture->services);
    startOnAnyPort(startUp, path, boxes);

    const bool opened = boxes.isEmpty();
    QCOMPARE(startUp.startFileSelection() != nullptr, !opened);
    QCOMPARE(startUp.mainWindow()->isVisible(), opened);
    QCOMPARE(m_fixture->configuration.configPath, opened ? path : QString());
    QCOMPARE(startUp.mainWindow()->baudRateList().currentText(), opened ? u"4800"_s : u"9600"_s);
}

void tst_StartUp::closingEitherWindowEndsTheProgramWithoutAQuestion_data()
{
    QTest::addColumn<bool>("mainWindow");
    QTest::newRow("start dialog") << false;
    QTest::newRow("main window") << true;
}

void tst_StartUp::closingEitherWindowEndsTheProgramWithoutAQuestion()
{
    QFETCH(bool, mainWindow);
    m_fixture = std::make_unique<WindowFixture>(&m_port);
    mainwindow::StartUp startUp(m_fixture->services);
    const QSignalSpy finished(&startUp, &mainwindow::StartUp::finished);
    startOnAnyPort(startUp);
    QPointer<QWidget> startFileSelection = startUp.startFileSelection();
    if (mainWindow) {
        m_fixture->prompts.expectSaveFile(kQxcDialog, m_folder.filePath(u"a.qxc"_s));
        QTest::mouseClick(button(startFileSelection, u"CreateNewButton"_s), Qt::LeftButton);
        QVERIFY(startUp.mainWindow()->isVisible());
        QCOMPARE(finished.count(), 0);
        QTest::mouseClick(button(startUp.mainWindow(), u"BuildStringButton"_s), Qt::LeftButton);
        QVERIFY(shownWindow(u"BuildStringForm"_s));
        startUp.mainWindow()->close();
    } else {
        startFileSelection->close();
    }
    QCOMPARE(finished.count(), 1);
    QVERIFY(!shownWindow(u"BuildStringForm"_s));
    QVERIFY(!startUp.mainWindow()->isVisible());
    QVERIFY(!startFileSelection || !startFileSelection->isVisible());
    QCOMPARE(m_fixture->end.code, std::nullopt);
}

void tst_StartUp::emptyPortAnswerEndsAtOnce()
{
    m_fixture = std::make_unique<WindowFixture>(&m_port);
    mainwindow::StartUp startUp(m_fixture->services);
    m_fixture->prompts.expectTextInput(kPortQuestion, kPortTitle, u"1"_s, QString());
    startUp.begin({ u"1"_s, {}, {} });
    QCOMPARE(m_fixture->end.code, 0);
    QCOMPARE(startUp.startFileSelection(), nullptr);
    QVERIFY(!startUp.mainWindow()->isVisible());
    QVERIFY(m_port.opened.isEmpty());
}

QTEST_MAIN(tst_StartUp)
#include "tst_startup.moc"
