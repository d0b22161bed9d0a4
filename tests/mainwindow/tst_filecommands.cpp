#include "windowfixture.h"

#include "config/configurationfile.h"
#include "mainwindow/baudratelist.h"
#include "mainwindow/slotpanel.h"
#include "platform/filestore.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QRadioButton>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;
using config::SlotId;
using platform::Answer;

Q_DECLARE_METATYPE(Answer)

namespace {

const platform::FileDialogSettings kQxcDialog { u"qxc"_s, u"QX-7M Files (*.qxc)"_s, u"*.qxc"_s };
const QString kCaptionTail = u"  -  QX-7M"_s;

// What a file holds, or an empty value for no file.
config::StoredConfiguration fileAt(const QString& path)
{
    const auto stored = config::readConfiguration(path);
    return stored ? stored.value() : config::StoredConfiguration {};
}

config::StoredConfiguration newFileContents()
{
    config::StoredConfiguration fresh;
    fresh.baudRateText = u"9600"_s;
    fresh.hoursText = fresh.minutesText = fresh.secondsText = u"0"_s;
    return fresh;
}

} // namespace

class tst_FileCommands : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void newAndQuitGoOnOnlyOnceTheConfigurationIsKept_data();
    void newAndQuitGoOnOnlyOnceTheConfigurationIsKept();
    void loadTakesAWholeFileOrNothing_data();
    void loadTakesAWholeFileOrNothing();
    void wrongChoicesAreToldAndTheDialogComesAgain();

private:
    // A window on a record kept in old.qxc, with "PWR" in the VGA slot and VGA scanned first.
    mainwindow::MainWindow& openOnOldFile();
    QString at(const QString& name) const { return m_folder.filePath(name); }

    QTemporaryDir m_folder;
    config::StoredConfiguration m_old;
};

void tst_FileCommands::init()
{
    QVERIFY(m_folder.isValid());
    // New writes into the working directory.
    QVERIFY(QDir::setCurrent(m_folder.path()));
}

mainwindow::MainWindow& tst_FileCommands::openOnOldFile()
{
    m_fixture = std::make_unique<WindowFixture>();
    config::Configuration& record = m_fixture->configuration;
    record.slot(SlotId::VgaInputActive) = { "PWR", u"PWR"_s, 3 };
    record.scanPriority = config::ScanPriority::VGA;
    record.baudRateText = u"9600"_s;
    record.delay = { 1, 2, 3, u"1"_s, u"2"_s, u"3"_s };
    record.fileLoaded = true;
    record.configPath = at(u"old.qxc"_s);
    Q_ASSERT(!config::writeConfiguration(record, { u"1"_s, u"2"_s, u"3"_s }));
    m_old = fileAt(record.configPath);
    mainwindow::MainWindow& window = m_fixture->open();
    window.updateCaption();
    return window;
}

void tst_FileCommands::newAndQuitGoOnOnlyOnceTheConfigurationIsKept_data()
{
    QTest::addColumn<bool>("quit");
    QTest::addColumn<Answer>("answer");
    // The Save dialog's answer after "Yes"; empty for a cancel.
    QTest::addColumn<QString>("savedAs");
    // New's name box: its answer, or null when it must not be asked.
    QTest::addColumn<QString>("newName");
    // The file that New writes, or where its write fails.
    QTest::addColumn<QString>("newFile");
    // A write that fails for want of its folder: the two boxes that report it, and nothing more.
    QTest::addColumn<QString>("refused");

    const QString noFolder = u"no-such-folder/hall.qxc"_s;
    const auto quit = [](const char* name, Answer answer, const QString& savedAs = {}, const QString& refused = {}) {
        QTest::newRow(name) << true << answer << savedAs << QString() << QString() << refused;
    };
    const auto makeNew = [](const char* name, Answer answer, const QString& savedAs, const QString& newName,
                             const QString& newFile, const QString& refused = {}) {
        QTest::newRow(name) << false << answer << savedAs << newName << newFile << refused;
    };
    makeNew("new, cancel", Answer::Cancel, {}, {}, {});
    makeNew("new, no", Answer::No, {}, u"hall"_s, u"hall.qxc"_s);
    makeNew("new, yes, saved first", Answer::Yes, u"kept.qxc"_s, u"hall"_s, u"hall.qxc"_s);
    makeNew("new, yes, save fails", Answer::Yes, noFolder, {}, {}, noFolder);
    makeNew("new, empty name", Answer::No, {}, u""_s, u".qxc"_s);
    makeNew("new, a name the disk refuses", Answer::No, {}, u"no-such-folder/hall"_s, {}, noFolder);
    quit("quit, cancel", Answer::Cancel);
    quit("quit, no", Answer::No);
    quit("quit, yes, saved first", Answer::Yes, u"kept.qxc"_s);
    quit("quit, yes, save cancelled", Answer::Yes);
}

void tst_FileCommands::newAndQuitGoOnOnlyOnceTheConfigurationIsKept()
{
    QFETCH(bool, quit);
    QFETCH(Answer, answer);
    QFETCH(QString, savedAs);
    QFETCH(QString, newName);
    QFETCH(QString, newFile);
    QFETCH(QString, refused);
    mainwindow::MainWindow& window = openOnOldFile();
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    config::Configuration& record = m_fixture->configuration;
    const config::Configuration before = record;

    prompts.expectQuestion(quit ? u"Do you wish to save your current configuration before quitting?"_s
                                : u"Do you wish to save your current configuration?"_s,
        u"New File"_s, answer);
    if (answer == Answer::Yes)
        prompts.expectSaveFile(kQxcDialog, savedAs.isEmpty() ? QString() : at(savedAs));
    if (!newName.isNull())
        prompts.expectTextInput(u"Enter the name of the new configuration file"_s, u"New File"_s, QString(), newName);
    if (!refused.isEmpty()) {
        prompts.expectMessage(u"Error Number:  75"_s);
        prompts.expectMessage(u"error msg: The file cannot be created or written: "_s
            + QDir::toNativeSeparators(at(refused)) + u" (No such file or directory)"_s);
    }
    (quit ? window.quitAction() : window.newAction())->trigger();

    const bool saved = !savedAs.isEmpty() && savedAs != refused;
    if (saved)
        QCOMPARE(fileAt(at(savedAs)), m_old);
    QCOMPARE(m_fixture->end.code, (quit && (saved || answer == Answer::No)) ? std::optional<int>(0) : std::nullopt);
    if (!newFile.isEmpty()) {
        QCOMPARE(fileAt(at(newFile)), newFileContents());
        QCOMPARE(record.configPath, QDir::toNativeSeparators(at(newFile)));
        QCOMPARE(window.windowTitle(), newFile + kCaptionTail);
        QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringTextBox"_s)->text(), QString());
        QVERIFY(m_fixture->find<QRadioButton>(u"NoneOption"_s)->isChecked());
        QCOMPARE(window.delayFieldTexts().seconds, u"0"_s);
    } else {
        // Nothing reset and nothing renamed: the record still belongs to its file.
        QCOMPARE(record.slots, before.slots);
        QCOMPARE(record.configPath, saved ? at(savedAs) : before.configPath);
        QCOMPARE(window.windowTitle(), platform::lastPathComponent(record.configPath) + kCaptionTail);
    }
}

void tst_FileCommands::loadTakesAWholeFileOrNothing_data()
{
    QTest::addColumn<int>("cutTo");
    QTest::newRow("whole file") << 0;
    QTest::newRow("file that ends early") << 110;
}

void tst_FileCommands::loadTakesAWholeFileOrNothing()
{
    QFETCH(int, cutTo);
    mainwindow::MainWindow& window = openOnOldFile();
    config::Configuration& record = m_fixture->configuration;
    const config::Configuration before = record;

    config::Configuration hall;
    hall.slot(SlotId::SVideoInputActive) = { "\r\n", u"[CR][LF]"_s, 2 };
    hall.slot(SlotId::VgaInputActive) = { "ON", u"ON"_s, 2 };
    hall.scanPriority = config::ScanPriority::Composite;
    hall.baudRateText = u"19200"_s;
    hall.configPath = at(u"hall.qxc"_s);
    QVERIFY(!config::writeConfiguration(hall, { u"5"_s, QString(), u"0-59"_s }));
    m_fixture->prompts.expectOpenFile(kQxcDialog, hall.configPath);
    if (cutTo) {
        QVERIFY(QFile::resize(hall.configPath, cutTo));
        m_fixture->prompts.expectMessage(u"Error Number:  62"_s);
        m_fixture->prompts.expectMessage(
            u"error msg: The configuration file ends before its last field: at the baud rate"_s);
    }
    window.slotPanel().selectSlot(SlotId::DiscreteOn);
    window.loadAction()->trigger();

    if (cutTo) {
        QCOMPARE(record, before);
        QCOMPARE(window.windowTitle(), u"old.qxc"_s + kCaptionTail);
        return;
    }
    QCOMPARE(record.configPath, hall.configPath);
    QCOMPARE(window.windowTitle(), u"hall.qxc"_s + kCaptionTail);
    QCOMPARE(record.slots, hall.slots);
    QCOMPARE(window.slotPanel().selectedSlot(), SlotId::VgaInputActive);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringTextBox"_s)->text(), u"ON"_s);
    QVERIFY(m_fixture->find<QRadioButton>(u"CompOption"_s)->isChecked());
    QCOMPARE(record.scanPriority, config::ScanPriority::Composite);
    QCOMPARE(window.baudRateList().currentText(), u"19200"_s);
    QCOMPARE(record.baudRateText, u"19200"_s);
    // Each field is given its text and then left: an empty one, or one with its hint, shows "0".
    QCOMPARE(window.delayFieldTexts().hours, u"5"_s);
    QCOMPARE(window.delayFieldTexts().minutes, u"0"_s);
    QCOMPARE(window.delayFieldTexts().seconds, u"0"_s);
    QCOMPARE(record.delay.hours, 5);
    QCOMPARE(record.delay.secondsText, u"0-59"_s);
}

void tst_FileCommands::wrongChoicesAreToldAndTheDialogComesAgain()
{
    mainwindow::MainWindow& window = openOnOldFile();
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    config::Configuration& record = m_fixture->configuration;
    const QString oldPath = record.configPath;
    QFile tiny(at(u"tiny.qxc"_s));
    QVERIFY(tiny.open(QIODevice::WriteOnly) && tiny.write(QByteArray(99, ' ')) == 99);
    tiny.close();

    prompts.expectOpenFile(kQxcDialog, at(u"settings.txt"_s));
    prompts.expectMessage(u"This is not a proper QX-7M file"_s, u"Wrong File Extension"_s);
    prompts.expectOpenFile(kQxcDialog, tiny.fileName());
    prompts.expectMessage(u"This file size is not a valid .qxc file size"_s, u"Not Valid File"_s);
    prompts.expectOpenFile(kQxcDialog, QString());
    window.loadAction()->trigger();
    QCOMPARE(record.configPath, oldPath);
    QCOMPARE(record.configFileName, u"old.qxc"_s);

    prompts.expectSaveFile(kQxcDialog, at(u"settings.txt"_s));
    prompts.expectMessage(u"This is not a proper QX-7M file"_s, u"Wrong File Extension"_s);
    prompts.expectSaveFile(kQxcDialog, at(u"no-such-folder/hall.qxc"_s));
    prompts.expectMessage(u"Error Number:  75"_s);
    prompts.expectMessage(u"error msg: The file cannot be created or written: "_s + at(u"no-such-folder/hall.qxc"_s)
        + u" (No such file or directory)"_s);
    window.saveAction()->trigger();
    QCOMPARE(record.configPath, oldPath);
    QVERIFY(!QFile::exists(at(u"settings.txt"_s)));

    // Save writes what the window shows: the baud list's rate and the delay fields' texts.
    window.baudRateList().setCurrentText(u"57600"_s);
    prompts.expectSaveFile(kQxcDialog, at(u"hall.qxc"_s));
    window.saveAction()->trigger();
    config::StoredConfiguration expected = m_old;
    expected.baudRateText = u"57600"_s;
    QCOMPARE(fileAt(at(u"hall.qxc"_s)), expected);
    QCOMPARE(window.windowTitle(), u"hall.qxc"_s + kCaptionTail);
}

QTEST_MAIN(tst_FileCommands)
#include "tst_filecommands.moc"
