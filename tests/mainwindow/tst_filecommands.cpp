#include "windowfixture.h"

#include "platform/filestore.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QTextDocument>
#include <QWindow>

using platform::Answer;

Q_DECLARE_METATYPE(Answer)

namespace {

// What a file holds, or an empty value for no file.
config::StoredConfiguration fileAt(const QString& path)
{
    const auto stored = config::readConfiguration(path);
    return stored ? stored.value() : config::StoredConfiguration {};
}

} // namespace

// The File menu and Select File, on a record kept in old.qxc with "PWR" in the VGA slot.
class tst_FileCommands : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void newAndQuitGoOnOnlyOnceTheConfigurationIsKept_data();
    void newAndQuitGoOnOnlyOnceTheConfigurationIsKept();
    void loadAsksAgainAfterAWrongChoiceAndTakesAWholeFileOrNothing();
    void saveAsksAgainAfterAWrongChoiceAndWritesWhatTheWindowShows();
    void unsavedChangesAreAskedAboutBeforeLoadAndClose_data();
    void unsavedChangesAreAskedAboutBeforeLoadAndClose();
    void selectedFileBytesBecomeTheSlotsCommand_data();
    void selectedFileBytesBecomeTheSlotsCommand();

private:
    QString at(const QString& name) const { return m_folder.filePath(name); }
    QAccessibleInterface* reader(const QString& name) const
    {
        return QAccessible::queryAccessibleInterface(m_fixture->find<QWidget>(name));
    }
    // Opened, the item selected and Enter pressed, as a screen reader's user chooses in a list.
    void chooseInPopupAsAReader(const QString& list, const QString& item) const
    {
        reader(list)->actionInterface()->doAction(QAccessibleActionInterface::showMenuAction());
        const int row = m_fixture->find<QComboBox>(list)->findText(item);
        QAccessibleInterface* cell = reader(list)->child(0)->tableInterface()->cellAt(row, 0);
        cell->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        QTest::keyClick(m_fixture->find<QComboBox>(list)->view(), Qt::Key_Return);
    }
    // As the window system shows it.
    QString caption() const { return m_fixture->window->windowHandle()->title(); }
    // Load's and Save's dialogs open in the folder of the record's file; Save offers its name.
    platform::FileDialogSettings dialogIn(const QString& name = u"*.qxc"_s) const
    {
        return { kQxcDialog.defaultExtension, kQxcDialog.filter, name, m_folder.path() };
    }
    // The dialogs hand caf\xe9.qxc over as "caf\uFFFD.qxc", a name that no file has.
    void expectNameThatIsNotText(bool save)
    {
        const QString name = at(u"caf\uFFFD.qxc"_s);
        save ? m_fixture->prompts.expectSaveFile(dialogIn(u"old.qxc"_s), name)
             : m_fixture->prompts.expectOpenFile(dialogIn(), name);
        m_fixture->prompts.expectMessage(u"The name \"caf\uFFFD.qxc\" cannot be used: part of it is not text. Please "
                                         "rename the file and choose it again."_s,
            u"Wrong File Name"_s);
    }
    void expectWriteRefused(const QString& name)
    {
        m_fixture->prompts.expectMessage(u"Error Number:  75"_s);
        m_fixture->prompts.expectMessage(u"error msg: The file cannot be created or written: "_s
            + QDir::toNativeSeparators(at(name)) + u" ("_s + kNoSuchFolder + u')');
    }

    QTemporaryDir m_folder;
    config::StoredConfiguration m_old;
};

void tst_FileCommands::init()
{
    // New writes into the working directory.
    QVERIFY(QDir::setCurrent(m_folder.path()));
    for (const QString& name : QDir().entryList(QDir::Files))
        QVERIFY(QFile::remove(name));
    m_fixture = std::make_unique<WindowFixture>();
    config::Configuration& record = m_fixture->configuration;
    record.slot(SlotId::VgaInputActive) = { "PWR", u"PWR"_s, 3 };
    record.scanPriority = config::ScanPriority::VGA;
    record.baudRateText = u"9600"_s;
    record.delay = { 1, 2, 3, u"1"_s, u"2"_s, u"3"_s };
    record.fileLoaded = true;
    record.configPath = at(u"old.qxc"_s);
    QVERIFY(!config::writeConfiguration(record, { u"1"_s, u"2"_s, u"3"_s }));
    m_old = fileAt(record.configPath);
    m_fixture->open().updateCaption();
}

void tst_FileCommands::newAndQuitGoOnOnlyOnceTheConfigurationIsKept_data()
{
    QTest::addColumn<bool>("quit");
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<QString>("savedAs"); // the Save dialog's answer after "Yes"; empty for a cancel
    QTest::addColumn<QStringList>("names"); // New's name box, its answers in turn; a null one is Cancel
    QTest::addColumn<QString>("refused"); // a write that fails for want of its folder
    QTest::addColumn<int>("replace"); // the answer to "... already exists", -1 when not asked

    const QString noFolder = u"no-such-folder/hall"_s;
    const QStringList hall { u"hall"_s };
    QTest::newRow("new, cancel") << false << Answer::Cancel << QString() << QStringList() << QString() << -1;
    QTest::newRow("new, no") << false << Answer::No << QString() << hall << QString() << -1;
    QTest::newRow("new, yes, saved first") << false << Answer::Yes << u"kept.qxc"_s << hall << QString() << -1;
    QTest::newRow("new, yes, save fails")
        << false << Answer::Yes << noFolder + u".qxc"_s << QStringList() << noFolder << -1;
    QTest::newRow("new, a name the disk refuses")
        << false << Answer::No << QString() << QStringList { noFolder } << noFolder << -1;
    QTest::newRow("new, name box cancelled")
        << false << Answer::No << QString() << QStringList { QString() } << QString() << -1;
    QTest::newRow("new, empty name asked again, .qxc typed")
        << false << Answer::No << QString() << QStringList { u""_s, u"hall.QXC"_s } << QString() << -1;
    QTest::newRow("new over its own file, no")
        << false << Answer::No << QString() << QStringList { u"old"_s } << QString() << int(Answer::No);
    QTest::newRow("new over its own file, yes")
        << false << Answer::No << QString() << QStringList { u"old"_s } << QString() << int(Answer::Yes);
    QTest::newRow("quit, no") << true << Answer::No << QString() << QStringList() << QString() << -1;
    QTest::newRow("quit, yes, save cancelled") << true << Answer::Yes << QString() << QStringList() << QString() << -1;
}

void tst_FileCommands::newAndQuitGoOnOnlyOnceTheConfigurationIsKept()
{
    QFETCH(bool, quit);
    QFETCH(Answer, answer);
    QFETCH(QString, savedAs);
    QFETCH(QStringList, names);
    QFETCH(QString, refused);
    QFETCH(int, replace);
    const config::Configuration before = m_fixture->configuration;
    m_fixture->prompts.expectQuestion(quit ? u"Do you wish to save your current configuration before quitting?"_s
                                           : u"Do you wish to save your current configuration?"_s,
        u"New File"_s, answer);
    if (answer == Answer::Yes)
        m_fixture->prompts.expectSaveFile(dialogIn(u"old.qxc"_s), savedAs.isEmpty() ? QString() : at(savedAs));
    for (const QString& name : names)
        m_fixture->prompts.expectTextInput(u"Enter the name of the new configuration file"_s, u"New File"_s, {}, name);
    const QString typed = names.value(names.size() - 1);
    const QString newFile
        = typed.isEmpty() || typed.endsWith(u".QXC"_s, Qt::CaseInsensitive) ? typed : typed + u".qxc"_s;
    if (replace >= 0)
        m_fixture->prompts.expectYesNo(
            u"old.qxc already exists. Do you want to replace it?"_s, u"Save Configuration File"_s, Answer(replace));
    if (!refused.isEmpty())
        expectWriteRefused(refused + u".qxc"_s);
    (quit ? m_fixture->window->quitAction() : m_fixture->window->newAction())->trigger();

    const bool saved = !savedAs.isEmpty() && refused.isEmpty();
    if (saved)
        QCOMPARE(fileAt(at(savedAs)), m_old);
    QCOMPARE(m_fixture->end.code, (quit && (saved || answer == Answer::No)) ? std::optional<int>(0) : std::nullopt);
    if (!newFile.isEmpty() && refused.isEmpty() && replace != int(Answer::No)) {
        // The defaults, each delay field given its hint and then left.
        config::StoredConfiguration fresh;
        fresh.baudRateText = u"9600"_s;
        fresh.hoursText = fresh.minutesText = fresh.secondsText = u"0"_s;
        QCOMPARE(fileAt(at(newFile)), fresh);
        QCOMPARE(caption(), newFile + u"  -  QX-7M"_s);
        QVERIFY(m_fixture->find<QRadioButton>(u"NoneOption"_s)->isChecked());
    } else {
        // Nothing reset and nothing renamed: the record still belongs to its file.
        QCOMPARE(m_fixture->configuration.slots, before.slots);
        QCOMPARE(caption(), (saved ? savedAs : u"old.qxc"_s) + u"  -  QX-7M"_s);
        QCOMPARE(fileAt(at(u"old.qxc"_s)), m_old);
    }
}

void tst_FileCommands::loadAsksAgainAfterAWrongChoiceAndTakesAWholeFileOrNothing()
{
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    config::Configuration& record = m_fixture->configuration;
    const config::Configuration before = record;
    config::Configuration hall;
    hall.slot(SlotId::SVideoInputActive) = { "\r\n", u"[CR][LF]"_s, 2 };
    hall.slot(SlotId::VgaInputActive) = { "ON", u"ON"_s, 2 };
    hall.scanPriority = config::ScanPriority::Composite;
    hall.baudRateText = u"19200"_s;
    hall.configPath = at(u"hall.qxc"_s);
    QVERIFY(!config::writeConfiguration(hall, { u"5"_s, QString(), u"0-59"_s }));
    QVERIFY(QFile::copy(hall.configPath, at(u"cut.qxc"_s)) && QFile::resize(at(u"cut.qxc"_s), 110));
    QVERIFY(QFile::copy(hall.configPath, at(u"tiny.qxc"_s)) && QFile::resize(at(u"tiny.qxc"_s), 99));
    // A wrong kind or size of file asks again; a file that cannot be read ends the command.
    prompts.expectOpenFile(dialogIn(), at(u"settings.txt"_s));
    prompts.expectMessage(u"This is not a proper QX-7M file"_s, u"Wrong File Extension"_s);
    expectNameThatIsNotText(false);
    prompts.expectOpenFile(dialogIn(), at(u"tiny.qxc"_s));
    prompts.expectMessage(u"This file size is not a valid .qxc file size"_s, u"Not Valid File"_s);
    prompts.expectOpenFile(dialogIn(), at(u"cut.qxc"_s));
    prompts.expectMessage(u"Error Number:  62"_s);
    prompts.expectMessage(u"error msg: The configuration file ends before its last field: at the baud rate"_s);
    m_fixture->window->loadAction()->trigger();
    QCOMPARE(record, before);
    QCOMPARE(caption(), u"old.qxc  -  QX-7M"_s);

    prompts.expectOpenFile(dialogIn(), hall.configPath);
    m_fixture->window->slotPanel().selectSlot(SlotId::DiscreteOn);
    m_fixture->window->loadAction()->trigger();
    QCOMPARE(record.slots, hall.slots);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringTextBox"_s)->text(), u"ON"_s);
    QVERIFY(m_fixture->find<QRadioButton>(u"CompOption"_s)->isChecked());
    QCOMPARE(m_fixture->window->baudRateList().currentText(), u"19200"_s);
    // Each field is given its text and then left: an empty one, or one with its hint, shows "0".
    const config::DelayFieldTexts shown = m_fixture->window->delayFieldTexts();
    QCOMPARE(shown.hours + shown.minutes + shown.seconds, u"500"_s);
    QCOMPARE(record.delay.hours, 5);

    // A priority or a rate that no control stands for: no option ticked, and the status line says what is sent.
    // The file's name and texts hold what Qt could read as patterns, marks or markup.
    hall.scanPriority = config::ScanPriority(7);
    hall.baudRateText = u"<b>38400</b>"_s;
    QVERIFY(!config::writeConfiguration(hall, {}));
#ifndef Q_OS_WIN // no * or " in a Windows file name
    QVERIFY(QFile::rename(hall.configPath, at(u"%1 %2 %3 %L1 %% [*] [*][*]\".qxc"_s)));
    hall.configPath = at(u"%1 %2 %3 %L1 %% [*] [*][*]\".qxc"_s);
#endif
    prompts.expectOpenFile(dialogIn(), hall.configPath);
    m_fixture->window->loadAction()->trigger();
    QCOMPARE(caption(), QFileInfo(hall.configPath).fileName() + u"  -  QX-7M"_s);
    for (const QRadioButton* option : m_fixture->window->findChildren<QRadioButton*>())
        QVERIFY(!option->isChecked());
    const QLabel* statusLine = m_fixture->find<QLabel>(u"UploadReceiptLabel"_s);
    QCOMPARE(statusLine->text(),
        u"Scan priority 7 from the file is none of the four options; the box receives 7 until one is chosen. Baud "
        "rate <b>38400</b> from the file is none of the five rates; the box receives 9600, as the list shows"_s);
    // Its tooltip too shows the file's text as it stands, never as markup.
    QTextDocument tip;
    tip.setHtml(statusLine->toolTip());
    QCOMPARE(tip.toPlainText(), statusLine->text());
}

void tst_FileCommands::saveAsksAgainAfterAWrongChoiceAndWritesWhatTheWindowShows()
{
    testsupport::ScriptedPrompts& prompts = m_fixture->prompts;
    prompts.expectSaveFile(dialogIn(u"old.qxc"_s), at(u"settings.txt"_s));
    prompts.expectMessage(u"This is not a proper QX-7M file"_s, u"Wrong File Extension"_s);
    expectNameThatIsNotText(true);
    prompts.expectSaveFile(dialogIn(u"old.qxc"_s), at(u"old.qxc"_s));
    prompts.expectYesNo(
        u"old.qxc already exists. Do you want to replace it?"_s, u"Save Configuration File"_s, Answer::No);
    prompts.expectSaveFile(dialogIn(u"old.qxc"_s), at(u"no-such-folder/hall.qxc"_s));
    expectWriteRefused(u"no-such-folder/hall.qxc"_s);
    m_fixture->window->saveAction()->trigger();
    QCOMPARE(m_fixture->configuration.configPath, at(u"old.qxc"_s));
    QVERIFY(!QFile::exists(at(u"settings.txt"_s)) && !QFile::exists(at(u"caf\uFFFD.qxc"_s)));

    prompts.expectSaveFile(dialogIn(u"old.qxc"_s), at(u"hall.qxc"_s));
    m_fixture->window->saveAction()->trigger();
    QCOMPARE(fileAt(at(u"hall.qxc"_s)), m_old);
    QCOMPARE(caption(), u"hall.qxc  -  QX-7M"_s);
}

void tst_FileCommands::unsavedChangesAreAskedAboutBeforeLoadAndClose_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("close"); // the close box, else Load
    QTest::addColumn<int>("answer"); // to the question whether to save first; -1: it may not come

    // "reader": through the accessibility interface, as a screen reader changes the controls.
    QTest::newRow("slot chosen in the list's popup by a reader, load") << u"reader slot"_s << false << -1;
    QTest::newRow("read-only slot text set by a reader, close") << u"reader text"_s << true << -1;
    QTest::newRow("option clicked and clicked back, close") << u"priority undone"_s << true << -1;
    QTest::newRow("priority, load, cancel") << u"priority"_s << false << int(Answer::Cancel);
    QTest::newRow("baud, close, cancel") << u"baud"_s << true << int(Answer::Cancel);
    QTest::newRow("delay, close, no") << u"delay"_s << true << int(Answer::No);
    QTest::newRow("option toggled, baud chosen in the popup by a reader, load, yes")
        << u"reader"_s << false << int(Answer::Yes);
}

void tst_FileCommands::unsavedChangesAreAskedAboutBeforeLoadAndClose()
{
    QFETCH(QString, change);
    QFETCH(bool, close);
    QFETCH(int, answer);
    mainwindow::MainWindow& window = *m_fixture->window;
    if (change.startsWith(u"priority"_s))
        QTest::mouseClick(m_fixture->find<QRadioButton>(u"CompOption"_s), Qt::LeftButton);
    if (change == u"priority undone"_s)
        QTest::mouseClick(m_fixture->find<QRadioButton>(u"VGAOption"_s), Qt::LeftButton);
    if (change == u"baud"_s)
        window.baudRateList().setCurrentText(u"57600"_s);
    if (change == u"delay"_s)
        m_fixture->find<QLineEdit>(u"HoursTextBox"_s)->setText(u"4"_s);
    if (change == u"reader"_s) {
        reader(u"CompOption"_s)->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
        chooseInPopupAsAReader(u"BaudRateListBox"_s, u"57600"_s);
    }
    if (change == u"reader text"_s)
        reader(u"SelStringTextBox"_s)->editableTextInterface()->insertText(0, u"X"_s);
    if (change == u"reader slot"_s)
        chooseInPopupAsAReader(u"DDList"_s, u"Discrete ON"_s);
    auto* unsavedMark = m_fixture->find<QLabel>(u"UnsavedLabel"_s);
    QCOMPARE(!unsavedMark->isHidden(), answer >= 0);
    if (answer >= 0)
        m_fixture->prompts.expectQuestion(
            u"Do you wish to save your current configuration?"_s, u"New File"_s, Answer(answer));
    if (answer == int(Answer::Yes))
        m_fixture->prompts.expectSaveFile(dialogIn(u"old.qxc"_s), at(u"kept.qxc"_s));
    const bool goesOn = answer != int(Answer::Cancel);
    if (goesOn && !close)
        m_fixture->prompts.expectOpenFile(dialogIn(), QString());
    close ? static_cast<void>(window.close()) : window.loadAction()->trigger();

    QCOMPARE(window.isVisible(), !(close && goesOn));
    QCOMPARE(!unsavedMark->isHidden(), answer == int(Answer::No) || answer == int(Answer::Cancel));
    // What the window shows is what Save writes: the "Discrete ON" slot is empty, and the one row that
    // saves changed the option and the rate.
    QCOMPARE(
        m_fixture->find<QLineEdit>(u"SelStringTextBox"_s)->text(), change == u"reader slot"_s ? QString() : u"PWR"_s);
    config::StoredConfiguration kept = m_old;
    kept.scanPriority = config::ScanPriority::Composite;
    kept.baudRateText = u"57600"_s;
    QCOMPARE(fileAt(at(u"kept.qxc"_s)), answer == int(Answer::Yes) ? kept : config::StoredConfiguration {});
}

void tst_FileCommands::selectedFileBytesBecomeTheSlotsCommand_data()
{
    QTest::addColumn<int>("slotId");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<int>("fileSize"); // -1: the file does not exist
    QTest::addColumn<QString>("subject"); // of the refusal message; empty when none
    QTest::addColumn<QString>("shownText"); // empty: the slot is left as it was

    QTest::newRow("30 bytes") << 6 << u"max.str"_s << 30 << QString() << u"max.str"_s;
    // Each slot names itself in the refusal; up to 255 bytes are read, and then refused.
    const std::pair<int, QString> subjects[]
        = { { 3, u"VGA Input String"_s }, { 4, u"Component Input String"_s }, { 5, u"S-Video Input String"_s },
              { 6, u"Default File"_s }, { 0, u"Discrete Input 1 ON File"_s }, { 1, u"Discrete Input 1 OFF File"_s } };
    for (const auto& [id, subject] : subjects)
        QTest::addRow("%s, slot %d", id == 1 ? "255 bytes" : "31 bytes", id)
            << id << u"long.str"_s << (id == 1 ? 255 : 31) << subject << u"Please select a different file"_s;
    QTest::newRow("256 bytes, video first") << 2 << u"huge.str"_s << 256 << u"Video First Detected File"_s << QString();
    QTest::newRow("missing") << 3 << u"gone.str"_s << -1 << QString() << QString();
    QTest::newRow("empty") << 3 << u"empty.str"_s << 0 << QString() << QString();
    QTest::newRow("name without a single-byte code")
        << 3 << u"\u03A9mega\u00FF.str"_s << 5 << QString() << u"?mega\u00FF.str"_s;
}

void tst_FileCommands::selectedFileBytesBecomeTheSlotsCommand()
{
    QFETCH(int, slotId);
    QFETCH(QString, fileName);
    QFETCH(int, fileSize);
    QFETCH(QString, subject);
    QFETCH(QString, shownText);
    const QString path = at(fileName);
    // Every byte value, CR LF among them, goes in unchanged.
    QByteArray bytes;
    for (int i = 0; i < fileSize; ++i)
        bytes.append(char((i * 37 + 13) % 256));
    QFile file(path);
    QVERIFY(fileSize < 0 || (file.open(QIODevice::WriteOnly) && file.write(bytes) == fileSize));
    file.close();
    const config::StringSlot old { "old", u"old.str"_s, 3 };
    m_fixture->configuration.slot(SlotId(slotId)) = old;
    m_fixture->window->slotPanel().selectSlot(SlotId(slotId));
    m_fixture->prompts.expectOpenFile({ u"str"_s, u"Strings (*.str)"_s, u"*.str"_s, {} }, path);
    if (!subject.isEmpty())
        m_fixture->prompts.expectMessage(u"The length of the "_s + subject
                + u" must be at least 1 character and no more than 30 characters. The file you have selected is  "_s
                + QString::number(fileSize) + u" characters long. Please select a different file."_s,
            u"Wrong File Length"_s);

    QTest::mouseClick(m_fixture->find<QPushButton>(u"SelFileButton"_s), Qt::LeftButton);

    const bool taken = !shownText.isEmpty();
    const config::StringSlot& slot = m_fixture->configuration.slot(SlotId(slotId));
    QCOMPARE(slot.commandBytes, taken ? bytes : old.commandBytes);
    QCOMPARE(slot.byteCount, taken ? fileSize : 3);
    QCOMPARE(slot.sourceText, taken ? shownText : old.sourceText);
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringTextBox"_s)->text(), slot.sourceText);
    // The count is the slot's own, also after a refused file whose bytes the slot now holds.
    QCOMPARE(m_fixture->find<QLineEdit>(u"SelStringLenTextBox"_s)->text(), QString::number(slot.byteCount));
}

QTEST_MAIN(tst_FileCommands)
#include "tst_filecommands.moc"
