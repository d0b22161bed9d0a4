#include "windowfixture.h"

#include "mainwindow/baudratelist.h"
#include "mainwindow/slotpanel.h"
#include "platform/dialogprompts.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

using namespace Qt::StringLiterals;
using config::SlotId;

class tst_Main : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void choosingASlotShowsItsCaptionTextAndLength_data();
    void choosingASlotShowsItsCaptionTextAndLength();
    void optionClickSetsScanPriority();
    void recordFromAFileRefillsTheControls();
    void menusAndBoxesLeaveTheBaudListAndDelayFieldsAsTheyWere();
    void startDialogKeepsTheMainWindowNormal();
};

void tst_Main::choosingASlotShowsItsCaptionTextAndLength_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("slotId");

    QTest::newRow("VGA") << u"VGA Input Active"_s << u"VGA Input Active String"_s << 3;
    QTest::newRow("S-Video") << u"S-Video Input Active"_s << u"S-Video Input Active String"_s << 5;
    QTest::newRow("Composite") << u"Composite Input Active"_s << u"Composite Input Active String"_s << 4;
    QTest::newRow("No input") << u"No Input Active"_s << u"No Active Inputs String"_s << 6;
    QTest::newRow("Discrete ON") << u"Discrete ON"_s << u"Discrete Input ON String"_s << 0;
    QTest::newRow("Discrete OFF") << u"Discrete OFF"_s << u"Discrete Input OFF String"_s << 1;
    QTest::newRow("Video first") << u"Video First Detected"_s << u"Video First Detected String"_s << 2;
}

void tst_Main::choosingASlotShowsItsCaptionTextAndLength()
{
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(int, slotId);
    m_fixture = std::make_unique<WindowFixture>();
    // One text for all: the slot shown is told by its length and its bytes, which a switch
    // between equal texts must show all the same.
    for (int i = 0; i < config::kSlotCount; ++i)
        m_fixture->configuration.slots[i] = { QByteArray(1, char(i)), u"same text"_s, quint8(10 + i) };
    mainwindow::MainWindow& window = m_fixture->open();
    auto* list = m_fixture->find<QComboBox>(u"DDList"_s);
    auto* text = m_fixture->find<QLineEdit>(u"SelStringTextBox"_s);
    auto* button = m_fixture->find<QPushButton>(u"UploadCommandsButton"_s);
    QCOMPARE(buttonFaceAt(button), QColor(255, 0, 0));

    // The user's choice, and again after another slot: each slot shows its own, never the last one's.
    for (const QString& choice : { item, u"Discrete OFF"_s, item }) {
        list->setCurrentText(choice);
        Q_EMIT list->activated(list->currentIndex());
    }
    QCOMPARE(m_fixture->find<QLabel>(u"SelStringLabel"_s)->text(), caption);
    QCOMPARE(text->text(), u"same text"_s);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), QString::number(10 + slotId));
    const auto* bytes = m_fixture->find<QLineEdit>(u"SelStringBytesTextBox"_s);
    QCOMPARE(bytes->text(), u"0"_s + QString::number(slotId));
    QCOMPARE(bytes->cursorPosition(), 0);
    QCOMPARE(window.slotPanel().selectedSlot(), SlotId(slotId));

    // Typing into the slot's text changes nothing: only the program fills it.
    QTest::keyClicks(text, u"xyz"_s);
    QCOMPARE(m_fixture->configuration.slots[slotId].sourceText, u"same text"_s);
}

void tst_Main::optionClickSetsScanPriority()
{
    m_fixture = std::make_unique<WindowFixture>();
    mainwindow::MainWindow& window = m_fixture->open();
    // A new record: the list shows 9600 and the record says so.
    QCOMPARE(window.baudRateList().currentText(), u"9600"_s);
    QCOMPARE(m_fixture->configuration.baudRateText, u"9600"_s);
    const std::pair<QString, int> options[]
        = { { u"VGAOption"_s, 1 }, { u"CompOption"_s, 2 }, { u"SvidOption"_s, 3 }, { u"NoneOption"_s, 0 } };
    for (const auto& [option, priority] : options) {
        QTest::mouseClick(m_fixture->find<QRadioButton>(option), Qt::LeftButton);
        QCOMPARE(int(m_fixture->configuration.scanPriority), priority);
    }
}

void tst_Main::recordFromAFileRefillsTheControls()
{
    m_fixture = std::make_unique<WindowFixture>();
    config::Configuration& record = m_fixture->configuration;
    record.fileLoaded = true;
    record.configFileName = u"hall.qxc"_s;
    record.scanPriority = config::ScanPriority::Composite;
    record.baudRateText = u"38400"_s;
    record.delay.hoursText = u"2"_s;
    record.delay.minutesText = u"75"_s;
    record.delay.secondsText = u"0-59"_s;
    m_fixture->prompts.expectMessage(u"You must enter a number of minutes between 0 and 59."_s, u"Minutes Wrong"_s);
    mainwindow::MainWindow& window = m_fixture->open();

    QCOMPARE(window.windowTitle(), u"hall.qxc  -  QX-7M"_s);
    QCOMPARE(window.palette().color(QPalette::Window), QColor(192, 192, 192));
    QVERIFY(m_fixture->find<QRadioButton>(u"CompOption"_s)->isChecked());
    // A rate the list does not offer shows as 9600; the record keeps its own until the list is committed.
    QCOMPARE(window.baudRateList().currentText(), u"9600"_s);
    QCOMPARE(record.baudRateText, u"38400"_s);
    QCOMPARE(window.delayFieldTexts().hours, u"2"_s);
    QCOMPARE(window.delayFieldTexts().minutes, QString());
    QCOMPARE(window.delayFieldTexts().seconds, QString());
    QCOMPARE(record.delay.hours, 2);
    QCOMPARE(record.delay.minutes, 255);
}

// Under the offscreen platform, a real menu and a real message box take the focus the way a
// desktop's do; scripted prompts open nothing, so this is the one test with real ones.
void tst_Main::menusAndBoxesLeaveTheBaudListAndDelayFieldsAsTheyWere()
{
    m_fixture = std::make_unique<WindowFixture>();
    mainwindow::MainWindow& window = m_fixture->open();
    auto* list = &window.baudRateList();
    auto* minutes = m_fixture->find<QLineEdit>(u"MinutesTextBox"_s);
    config::Configuration& record = m_fixture->configuration;

    minutes->setFocus(Qt::TabFocusReason);
    QCOMPARE(minutes->selectedText(), u"0-59"_s);
    QTest::keyClicks(minutes, u"9"_s);
    minutes->clear();
    QMenu* file = window.menuBar()->findChild<QMenu*>(u"File"_s);
    file->popup(window.mapToGlobal(QPoint(0, 0)));
    QVERIFY(QTest::qWaitForWindowExposed(file));
    QCOMPARE(QApplication::focusWidget(), minutes);
    file->close();
    QCOMPARE(minutes->text(), QString());
    QCOMPARE(record.delay.minutes, 9);

    list->setFocus(Qt::TabFocusReason);
    list->setCurrentText(u"19200"_s);
    QTimer::singleShot(0, this, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
    platform::DialogPrompts().showMessage(u"any box"_s);
    QCOMPARE(record.baudRateText, u"9600"_s);
    QCOMPARE(record.baudRateHigh, 0);
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QCOMPARE(record.baudRateText, u"9600"_s);

    // Moving on to another control commits the list; leaving the upload button renames it.
    auto* upload = m_fixture->find<QPushButton>(u"UploadCommandsButton"_s);
    upload->setFocus(Qt::TabFocusReason);
    QCOMPARE(record.baudRateText, u"19200"_s);
    QCOMPARE(record.baudRateHigh, 0x4B);
    QCOMPARE(record.baudRateLow, 0x00);
    QCOMPARE(upload->text(), u"Save and Upload"_s);
    minutes->setFocus(Qt::TabFocusReason);
    QCOMPARE(upload->text(), u"Upload Commands"_s);
}

void tst_Main::startDialogKeepsTheMainWindowNormal()
{
    m_fixture = std::make_unique<WindowFixture>();
    mainwindow::MainWindow& window = m_fixture->open();
    QWidget startFileSelection;
    startFileSelection.show();
    window.setStartFileSelection(&startFileSelection);
    window.showMinimized();
    QCOMPARE(window.windowState() & (Qt::WindowMinimized | Qt::WindowMaximized), Qt::WindowNoState);
    startFileSelection.hide();
    window.showMaximized();
    QVERIFY(window.isMaximized());
}

QTEST_MAIN(tst_Main)
#include "tst_main.moc"
