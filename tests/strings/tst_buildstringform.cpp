#include "strings/buildstringform.h"

#include "tests/support/scriptedprompts.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTextCursor>

using namespace Qt::StringLiterals;

namespace {

const QString kTooLong = u"This string may not be over 30 characters in length. Please re-enter the string"_s;
const QString kInvalidHex = u"Invalid Hex number. Hex numbers must be between 00 and FF"_s;

} // namespace

// A builder opened for "No Input Active" beside a stand-in main window, shown and active.
class tst_BuildStringForm : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void typedTextIsCountedByteForByte_data();
    void typedTextIsCountedByteForByte();
    void insertionsAppendTheirTextThenTheirBytes_data();
    void insertionsAppendTheirTextThenTheirBytes();
    void hexAndWaitFieldsRefuseWhatTheyCannotUse_data();
    void hexAndWaitFieldsRefuseWhatTheyCannotUse();
    void opensEmptyForItsSlotAndEnterMovesAlongTheTabOrder();

private:
    template <typename T>
    T* find(const QString& name) const
    {
        return m_form->findChild<T*>(name);
    }
    QPlainTextEdit* composition() const { return find<QPlainTextEdit>(u"StringTextBox"_s); }
    void type(QWidget* field, const QString& keys);
    void click(const QString& button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }
    void checkComposition(const QString& text, const QString& bytes);

    testsupport::ScriptedPrompts m_prompts;
    strings::BuilderHandOver m_handOver;
    strings::LinkedWindowStates m_linkedStates;
    QWidget m_mainWindow;
    std::optional<QString> m_handedOver;
    QPointer<strings::BuildStringForm> m_form;
};

void tst_BuildStringForm::init()
{
    m_prompts = {};
    m_handedOver.reset();
    m_handOver.BuiltBytes = "left over";
    m_handOver.BuilderPending[config::indexOf(config::SlotId::NoInputActive)] = true;
    m_form = new strings::BuildStringForm(
        m_handOver, m_prompts, m_mainWindow, m_linkedStates, [this](const QString& text) { m_handedOver = text; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void tst_BuildStringForm::cleanup()
{
    delete m_form;
    QCOMPARE(m_prompts.problems(), QStringList());
}

void tst_BuildStringForm::type(QWidget* field, const QString& keys)
{
    for (const QChar key : keys) {
        if (key == u'\b')
            QTest::keyClick(field, Qt::Key_Backspace);
        else if (key == u'\r')
            QTest::keyClick(field, Qt::Key_Return);
        else if (key == u'<')
            QTest::keyClick(field, Qt::Key_Left);
        else if (key.unicode() < 0x80)
            QTest::keyClicks(field, QString(key));
        else
            QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(key), Qt::NoModifier);
    }
}

void tst_BuildStringForm::checkComposition(const QString& text, const QString& bytes)
{
    QCOMPARE(composition()->toPlainText(), text);
    QVERIFY(composition()->textCursor().atEnd());
    QCOMPARE(QString::fromLatin1(m_handOver.BuiltBytes.toHex(' ').toUpper()), bytes);
    QCOMPARE(find<QLineEdit>(u"BuiltBytesHexTextBox"_s)->text(), bytes);
    QCOMPARE(find<QLineEdit>(u"FileLenTextBox"_s)->text(), u' ' + QString::number(m_handOver.BuiltBytes.size()));
}

void tst_BuildStringForm::typedTextIsCountedByteForByte_data()
{
    // Steps: "t" keys typed (\b Backspace, < the left arrow), "p" pasted, "i" committed by an input method,
    // "d" dropped at the start of the text.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("box");

    QTest::newRow("typed") << QStringList { u"tPWR\u00e9"_s } << u"PWR\u00e9"_s << u"50 57 52 E9"_s << QString();
    QTest::newRow("one Backspace clears all") << QStringList { u"tAB\bC"_s } << u"C"_s << u"43"_s << QString();
    QTest::newRow("typing always appends") << QStringList { u"tAB<C"_s } << u"ABC"_s << u"41 42 43"_s << QString();
    QTest::newRow("thirty characters") << QStringList { u"t"_s + QString(30, u'x') } << QString(30, u'x')
                                       << QString::fromLatin1(QByteArray(30, 'x').toHex(' ').toUpper()) << QString();
    QTest::newRow("thirty-first character")
        << QStringList { u"t"_s + QString(31, u'x') } << QString() << QString() << u"long"_s;
    QTest::newRow("paste clears") << QStringList { u"tA"_s, u"pBC"_s } << QString() << QString() << QString();
    QTest::newRow("a pasted character is typed")
        << QStringList { u"tA"_s, u"pB"_s } << u"AB"_s << u"41 42"_s << QString();
    QTest::newRow("drop inside clears") << QStringList { u"tAB"_s, u"dC"_s } << QString() << QString() << QString();
    QTest::newRow("euro key refused") << QStringList { u"tA\u20acB"_s } << u"AB"_s << u"41 42"_s << u"beep"_s;
    QTest::newRow("emoji from an input method refused")
        << QStringList { u"tA"_s, u"i\U0001F600"_s } << u"A"_s << u"41"_s << u"beep"_s;
}

void tst_BuildStringForm::typedTextIsCountedByteForByte()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, box);
    if (box == u"long"_s)
        m_prompts.expectMessage(kTooLong, u"String Too Long"_s);
    else if (box == u"beep"_s)
        m_prompts.expectBeep();
    QPlainTextEdit* field = composition();
    for (const QString& step : steps) {
        const QString value = step.mid(1);
        if (step.startsWith(u't')) {
            type(field, value);
        } else if (step.startsWith(u'p')) {
            QApplication::clipboard()->setText(value);
            QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
        } else if (step.startsWith(u'i')) {
            QInputMethodEvent commit;
            commit.setCommitString(value);
            QApplication::sendEvent(field, &commit);
        } else {
            QTextCursor(field->document()).insertText(value);
        }
    }
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    checkComposition(text, bytes);
}

void tst_BuildStringForm::insertionsAppendTheirTextThenTheirBytes_data()
{
    // How: "h" hex digits typed, "k" a list item by the button, "d" by a double-click, "w" a wait.
    QTest::addColumn<int>("typedBefore");
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");

    QTest::newRow("hex 0D") << 1 << u"h0d"_s << u"x '&h0D' "_s << u"78 0D"_s;
    QTest::newRow("hex 1B escaped") << 0 << u"h1B"_s << u" '&h1B' "_s << u"1B FF"_s;
    QTest::newRow("hex 0") << 0 << u"h0"_s << u" '&h0' "_s << u"00"_s;
    QTest::newRow("ESC escaped") << 0 << u"kESC   - H1B"_s << u" 'ESC' "_s << u"1B FF"_s;
    QTest::newRow("EM by double-click") << 0 << u"dEM    - H19"_s << u" 'EM' "_s << u"19"_s;
    QTest::newRow("wait of 256 s") << 0 << u"w0,4,16"_s << u" 'Wait  0 hrs.  4 min.  16 sec. '"_s << u"1B 01 00"_s;
    QTest::newRow("hours kept when the field is emptied")
        << 0 << u"w5\b,0,0"_s << u" 'Wait  5 hrs.  0 min.  0 sec. '"_s << u"1B 46 50"_s;
    QTest::newRow("no wait at all") << 2 << u"w0,0,0"_s << u"xx"_s << u"78 78"_s;
    QTest::newRow("wait to 30 bytes") << 27 << u"w0,0,1"_s << QString(27, u'x') + u" 'Wait  0 hrs.  0 min.  1 sec. '"_s
                                      << QString::fromLatin1(QByteArray(27, 'x').toHex(' ').toUpper()) + u" 1B 00 01"_s;
    QTest::newRow("wait past 30 bytes") << 28 << u"w0,0,1"_s << QString() << QString();
    QTest::newRow("ESC past 30 bytes") << 29 << u"kESC   - H1B"_s << QString() << QString();
}

void tst_BuildStringForm::insertionsAppendTheirTextThenTheirBytes()
{
    QFETCH(int, typedBefore);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    type(composition(), QString(typedBefore, u'x'));
    const QString value = how.mid(1);
    if (text.isEmpty()) {
        // The token is shown before the message; the message clears the whole composition.
        m_prompts.expectMessage(kTooLong, u"String Too Long"_s,
            [this, typedBefore] { QCOMPARE_GT(composition()->toPlainText().size(), typedBefore); });
    }
    if (how.startsWith(u'h')) {
        auto* hexField = find<QLineEdit>(u"HexText"_s);
        hexField->setFocus();
        type(hexField, value);
        click(u"HexButton"_s);
        QCOMPARE(hexField->text(), QString());
    } else if (how.startsWith(u'w')) {
        const QStringList parts = value.split(u',');
        const QString fields[] = { u"HoursTextBox"_s, u"MinutesTextBox"_s, u"SecondsTextBox"_s };
        for (int i = 0; i < 3; ++i) {
            auto* field = find<QLineEdit>(fields[i]);
            QTest::mouseClick(field, Qt::LeftButton);
            type(field, parts[i]);
        }
        click(u"InsertWaitButton"_s);
        // An hours field left empty shows its hint again.
        QVERIFY(!find<QLineEdit>(fields[0])->text().isEmpty());
    } else {
        auto* list = find<QListWidget>(u"ControlChrList"_s);
        QListWidgetItem* item = list->findItems(value, Qt::MatchExactly).value(0);
        QVERIFY(item);
        list->setCurrentItem(item);
        if (how.startsWith(u'k'))
            click(u"InsertCtlChr"_s);
        else
            Q_EMIT list->itemDoubleClicked(item);
    }
    checkComposition(text, bytes);
    if (!how.endsWith(u"0,0,0"_s))
        QCOMPARE(QApplication::focusWidget(), composition());
    // What is typed next is counted again, one byte a character.
    const qsizetype counted = m_handOver.BuiltBytes.size();
    if (counted < 30) {
        type(composition(), u"1"_s);
        QCOMPARE(m_handOver.BuiltBytes.size(), counted + 1);
    }
}

void tst_BuildStringForm::hexAndWaitFieldsRefuseWhatTheyCannotUse_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("textAfter");

    const QString app = platform::kApplicationTitle;
    const QString hours = u"You must enter a number of hours between 0 and 16."_s;
    QTest::newRow("g in a full hex field") << u"HexText"_s << u"12g"_s << QString() << kInvalidHex << app << QString();
    QTest::newRow("minus in hex") << u"HexText"_s << u"-"_s << QString() << kInvalidHex << app << QString();
    QTest::newRow("two digits at most") << u"HexText"_s << u"a9f"_s << QString() << QString() << QString() << u"A9"_s;
    QTest::newRow("empty hex") << u"HexText"_s << QString() << u"HexButton"_s << kInvalidHex + u' ' << app << QString();
    QTest::newRow("hex hint") << QString() << QString() << u"HexButton"_s << kInvalidHex + u' ' << app << QString();
    QTest::newRow("hours 17") << u"HoursTextBox"_s << u"17"_s << QString() << hours << u"Hours Wrong"_s << u"0-16"_s;
    QTest::newRow("minutes a") << u"MinutesTextBox"_s << u"a"_s << QString()
                               << u"You must enter a number of minutes between 0 and 59."_s << u"Minutes Wrong"_s
                               << u"0-59"_s;
    QTest::newRow("untouched wait") << QString() << QString() << u"InsertWaitButton"_s << hours << u"Hours Wrong"_s
                                    << QString();
    QTest::newRow("seconds untouched") << u"MinutesTextBox"_s << u"0"_s << u"InsertWaitButton"_s
                                       << u"You must enter a number of seconds between 0 and 59."_s
                                       << u"Seconds Wrong"_s << u"0"_s;
}

void tst_BuildStringForm::hexAndWaitFieldsRefuseWhatTheyCannotUse()
{
    QFETCH(QString, field);
    QFETCH(QString, keys);
    QFETCH(QString, button);
    QFETCH(QString, message);
    QFETCH(QString, title);
    if (!message.isEmpty())
        m_prompts.expectMessage(message, title);
    // Seconds are refused only once hours and minutes are usable.
    if (field == u"MinutesTextBox"_s && !button.isEmpty()) {
        QTest::mouseClick(find<QLineEdit>(u"HoursTextBox"_s), Qt::LeftButton);
        type(find<QLineEdit>(u"HoursTextBox"_s), u"1"_s);
    }
    auto* entered = field.isEmpty() ? nullptr : find<QLineEdit>(field);
    if (entered) {
        QTest::mouseClick(entered, Qt::LeftButton);
        type(entered, keys);
    }
    if (!button.isEmpty())
        click(button);
    if (message.startsWith(kInvalidHex))
        QCOMPARE(QApplication::focusWidget()->objectName(), u"HexText"_s);
    if (entered) {
        QFETCH(QString, textAfter);
        QCOMPARE(entered->text(), textAfter);
        // A refused wait entry leaves the hint selected, to be typed over.
        if (textAfter.startsWith(u"0-"_s))
            QCOMPARE(entered->selectedText(), textAfter);
    }
    QCOMPARE(composition()->toPlainText(), QString());
}

void tst_BuildStringForm::opensEmptyForItsSlotAndEnterMovesAlongTheTabOrder()
{
    QCOMPARE(find<QLabel>(u"StringNameLabel"_s)->text(), u"No Input Active String"_s);
    QCOMPARE(m_handOver.BuiltBytes, QByteArray());
    for (const auto& [name, text] : { std::pair(u"HoursTextBox"_s, u"0-16"_s),
             std::pair(u"MinutesTextBox"_s, u"0-59"_s), std::pair(u"SecondsTextBox"_s, u"0-59"_s),
             std::pair(u"HexText"_s, u"XX"_s), std::pair(u"FileLenTextBox"_s, u"#"_s) })
        QCOMPARE(find<QLineEdit>(name)->text(), text);
    QCOMPARE(find<QListWidget>(u"ControlChrList"_s)->currentItem()->text(), u"NULL - H00"_s);
    QCOMPARE(QApplication::focusWidget(), composition());
    // A click selects from where it lands to the end: at the start, the whole entry.
    auto* seconds = find<QLineEdit>(u"SecondsTextBox"_s);
    QTest::mouseClick(seconds, Qt::LeftButton);
    type(seconds, u"12"_s);
    QTest::mouseClick(seconds, Qt::LeftButton, {}, QPoint(1, seconds->height() / 2));
    QCOMPARE(seconds->selectedText(), u"12"_s);
    composition()->setFocus();

    const QStringList order { u"DoneButton"_s, u"CancelButton"_s, u"HoursTextBox"_s, u"MinutesTextBox"_s,
        u"SecondsTextBox"_s, u"InsertWaitButton"_s, u"ControlChrList"_s, u"InsertCtlChr"_s, u"HexButton"_s,
        u"HexText"_s, u"StringTextBox"_s };
    for (const QString& next : order) {
        QWidget* current = QApplication::focusWidget();
        // Enter moves on from a field or the list as Tab does; a button and the text are left to Tab.
        const bool tab = qobject_cast<QPushButton*>(current) || current == composition();
        QTest::keyClick(current, tab ? Qt::Key_Tab : Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    QVERIFY(!m_handedOver);
    // Enter in the text moves to Done without pressing it; Enter on Done presses it.
    type(composition(), u"A"_s);
    QTest::mouseClick(composition()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(composition()->textCursor().atEnd());
    type(composition(), u"\r"_s);
    QVERIFY(!m_handedOver);
    type(QApplication::focusWidget(), u"\r"_s);
    QCOMPARE(m_handedOver, u"A"_s);
    QVERIFY(!m_form->isVisible());
}

QTEST_MAIN(tst_BuildStringForm)
#include "tst_buildstringform.moc"
