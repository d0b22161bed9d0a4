#include "builder/buildstringform.h"

#include "tests/support/scriptedprompts.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

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
    void composingKeepsTextAndBytesTogether_data();
    void composingKeepsTextAndBytesTogether();
    void opensEmptyForItsSlotAndEnterMovesOnOrPresses();

private:
    template <typename T>
    T* find(const QString& name) const
    {
        return m_form->findChild<T*>(name);
    }
    QPlainTextEdit* composition() const { return find<QPlainTextEdit>(u"StringTextBox"_s); }
    void type(QWidget* field, const QString& keys);
    void click(const QString& button) { QTest::mouseClick(find<QPushButton>(button), Qt::LeftButton); }

    testsupport::ScriptedPrompts m_prompts;
    notation::BuilderHandOver m_handOver;
    builder::LinkedWindowStates m_linkedStates;
    QWidget m_mainWindow;
    std::optional<QString> m_handedOver;
    QPointer<builder::BuildStringForm> m_form;
};

void tst_BuildStringForm::init()
{
    m_prompts = {};
    m_handedOver.reset();
    m_handOver.builtBytes = "left over";
    m_handOver.builderPending[config::indexOf(config::SlotId::NoInputActive)] = true;
    m_form = new builder::BuildStringForm(
        m_handOver, m_prompts, m_mainWindow, m_linkedStates, [this](const QString& text) { m_handedOver = text; });
    m_form->show();
    QVERIFY(QTest::qWaitForWindowActive(m_form));
}

void tst_BuildStringForm::cleanup()
{
    delete m_form;
    QCOMPARE(m_prompts.problems(), QStringList());
}

// \b Backspace, \r Return, < the left arrow; any other character as the key that gives it.
void tst_BuildStringForm::type(QWidget* field, const QString& keys)
{
    for (const QChar key : keys) {
        const Qt::Key code = key == u'\b' ? Qt::Key_Backspace
            : key == u'\r'                ? Qt::Key_Return
            : key == u'<'                 ? Qt::Key_Left
                                          : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, field, code, code == Qt::Key_unknown ? QString(key) : QString(), {});
    }
}

void tst_BuildStringForm::composingKeepsTextAndBytesTogether_data()
{
    // Steps: "t" keys typed into the text (\b Backspace, < left arrow), "p" pasted where the focus is, "i" committed by
    // an input method; "H", "M", "S", "X" keys typed into the hours, minutes, seconds or hex field after a click on it,
    // "m" into the focused field after a menu; "h" Insert Hex Byte, "w" Insert Wait Time, "k" a list item (or none)
    // selected as a screen reader does and inserted with its button, "2" with a double-click.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("reading"); // under the hex line

    const QString app = platform::kApplicationTitle;
    const QString tooLong = u"String Too Long"_s;
    const QString hours = u"You must enter a number of hours between 0 and 16."_s;
    const QString x27 = QString(27, u'x');
    const QString none;
    const auto row = [](const char* name, const QStringList& steps, const QString& text, const QString& bytes,
                         const QString& message = {}, const QString& title = {}, const QString& focus = {},
                         const QString& reading = {}) {
        QTest::newRow(name) << steps << text << bytes << message << title << focus << reading;
    };
    // The tokens' texts and bytes and the change rule are the notation's; these rows are what the
    // fields, buttons and list do with them.
    row("typed", { u"tPWR\u00e9"_s }, u"PWR\u00e9"_s, u"50 57 52 E9"_s);
    row("one Backspace clears all", { u"tAB\bC"_s }, u"C"_s, u"43"_s);
    row("typing always appends", { u"tAB<C"_s }, u"ABC"_s, u"41 42 43"_s);
    row("thirty-first character", { u"t"_s + x27 + u"xxxx"_s }, none, none, kTooLong, tooLong);
    row("euro key refused", { u"tA\u20acB"_s }, u"AB"_s, u"41 42"_s, u"beep"_s);
    row("pasted line break refused", { u"tA"_s, u"p\r"_s }, u"A"_s, u"41"_s, u"beep"_s);
    // A typed ESC is kept, and what the box makes of the bytes after it is said.
    row("ESC as a wait, ESC cut off", { u"p\u001b"_s, u"tAB"_s, u"p\u001b"_s, u"t\u00ef"_s }, u"\u001bAB\u001b\u00ef"_s,
        u"1B 41 42 1B EF"_s, u"beep beep"_s, {}, {},
        u"1B 41 42 is read by the box as a wait of 4 h 38 min 26 s\n1B EF at the end cannot be read by the box"_s);
    row("ESC as one, ESC unreadable", { u"p\u001b"_s, u"t\u00ff"_s, u"p\u001b"_s, u"t\u00f5"_s },
        u"\u001b\u00ff\u001b\u00f5"_s, u"1B FF 1B F5"_s, u"beep beep"_s, {}, {},
        u"1B FF is read by the box as one 1B byte\n1B F5 cannot be read by the box"_s);
    row("emoji from an input method refused", { u"tA"_s, u"i\U0001F600"_s }, u"A"_s, u"41"_s, u"beep"_s);
    row("hex after typing", { u"tPWR"_s, u"X0d"_s, u"h"_s }, u"PWR '&h0D' "_s, u"50 57 52 0D"_s, {}, {},
        u"StringTextBox"_s);
    row("empty hex field", { u"X"_s, u"h"_s }, none, none, kInvalidHex + u' ', app, u"HexText"_s);
    row("g in a full hex field", { u"X12g"_s }, none, none, kInvalidHex, app, u"HexText"_s);
    row("pasted into hex", { u"X"_s, u"pzz"_s }, none, none, kInvalidHex, app, u"HexText"_s);
    row("list item by its button, then typed", { u"kESC   - H1B"_s, u"t1"_s }, u" 'ESC' 1"_s, u"1B FF 31"_s);
    row("list item by double-click", { u"2EM    - H19"_s }, u" 'EM' "_s, u"19"_s, {}, {}, u"StringTextBox"_s);
    row("nothing selected in the list", { u"k"_s }, none, none, u"beep"_s);
    row("wait", { u"H0"_s, u"M4"_s, u"S16"_s, u"w"_s }, u" 'Wait  0 hrs.  4 min.  16 sec. '"_s, u"1B 01 00"_s, {}, {},
        u"StringTextBox"_s);
    row("hours emptied, then a menu", { u"H"_s, u"m5"_s, u"M0"_s, u"S1"_s, u"w"_s },
        u" 'Wait  5 hrs.  0 min.  1 sec. '"_s, u"1B 46 51"_s);
    row("no wait at all", { u"H0"_s, u"M0"_s, u"S0"_s, u"w"_s }, none, none, {}, {}, u"InsertWaitButton"_s);
    // The first field without a number is told, one box a click; a refused entry leaves the hint selected.
    row("untouched wait fields", { u"w"_s }, none, none, hours, u"Hours Wrong"_s);
    row("seconds untouched", { u"H1"_s, u"M0"_s, u"w"_s }, none, none,
        u"You must enter a number of seconds between 0 and 59."_s, u"Seconds Wrong"_s);
    row("hours refused", { u"H17"_s }, none, none, hours, u"Hours Wrong"_s, u"HoursTextBox"_s);
    row("token past 30 bytes", { u"txx"_s + x27, u"kESC   - H1B"_s }, none, none, kTooLong, tooLong);
}

void tst_BuildStringForm::composingKeepsTextAndBytesTogether()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, message);
    QFETCH(QString, title);
    for (qsizetype beeps = message.count(u"beep"_s); beeps > 0; --beeps)
        m_prompts.expectBeep();
    if (message == kTooLong) // The token or character shows until the message clears it all.
        m_prompts.expectMessage(message, title, [this] { QVERIFY(!composition()->toPlainText().isEmpty()); });
    else if (!message.isEmpty() && !message.startsWith(u"beep"_s))
        m_prompts.expectMessage(message, title);
    const QString fields = u"HMSX"_s;
    const QString fieldNames[] = { u"HoursTextBox"_s, u"MinutesTextBox"_s, u"SecondsTextBox"_s, u"HexText"_s };
    QPlainTextEdit* composed = composition();
    for (const QString& step : steps) {
        const QString value = step.mid(1);
        auto* list = find<QListWidget>(u"ControlChrList"_s);
        if (fields.contains(step.front())) {
            auto* field = find<QLineEdit>(fieldNames[fields.indexOf(step.front())]);
            QTest::mouseClick(field, Qt::LeftButton);
            type(field, value);
        } else if (step.startsWith(u't')) {
            type(composed, value);
        } else if (step.startsWith(u'p')) {
            QApplication::clipboard()->setText(value);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_V, Qt::ControlModifier);
        } else if (step.startsWith(u'm')) {
            for (const QEvent::Type change : { QEvent::FocusOut, QEvent::FocusIn }) {
                QFocusEvent menu(change, Qt::PopupFocusReason);
                QApplication::sendEvent(QApplication::focusWidget(), &menu);
            }
            type(QApplication::focusWidget(), value);
        } else if (step.startsWith(u'i')) {
            QInputMethodEvent commit;
            commit.setCommitString(value);
            QApplication::sendEvent(composed, &commit);
        } else if (step == u"h"_s || step == u"w"_s) {
            click(step == u"h"_s ? u"HexButton"_s : u"InsertWaitButton"_s);
        } else {
            QListWidgetItem* item = list->findItems(value, Qt::MatchExactly).value(0);
            list->clearSelection();
            if (item) {
                QAccessible::queryAccessibleInterface(list)->tableInterface()->selectRow(list->row(item));
                QCOMPARE(list->currentItem(), item);
            }
            if (step.startsWith(u'k'))
                click(u"InsertCtlChr"_s);
            else
                Q_EMIT list->itemDoubleClicked(item);
        }
    }
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    QFETCH(QString, focus);
    QCOMPARE(composed->document()->toRawText(), text);
    QTEST(find<QLabel>(u"TypedEscapeLabel"_s)->text(), "reading");
    QVERIFY(composed->textCursor().atEnd());
    QCOMPARE(QString::fromLatin1(m_handOver.builtBytes.toHex(' ').toUpper()), bytes);
    QCOMPARE(find<QLineEdit>(u"BuiltBytesHexTextBox"_s)->text(), bytes);
    // "#" until the first change of the text.
    const QString count = find<QLineEdit>(u"FileLenTextBox"_s)->text();
    if (count != u"#"_s || !bytes.isEmpty())
        QCOMPARE(count, u' ' + QString::number(m_handOver.builtBytes.size()));
    auto* hexField = find<QLineEdit>(u"HexText"_s);
    if (steps.last() == u"h"_s || focus == hexField->objectName())
        QCOMPARE(hexField->text(), QString());
    if (!focus.isEmpty())
        QCOMPARE(QApplication::focusWidget()->objectName(), focus);
    // A refused wait entry leaves its hint selected, to be typed over.
    if (title.endsWith(u" Wrong"_s) && focus.endsWith(u"TextBox"_s))
        QCOMPARE(find<QLineEdit>(focus)->selectedText(), title.startsWith(u'H') ? u"0-16"_s : u"0-59"_s);
    // What is typed next is counted again, one byte a character.
    const qsizetype counted = m_handOver.builtBytes.size();
    if (counted < 30) {
        type(composed, u"1"_s);
        QCOMPARE(m_handOver.builtBytes.size(), counted + 1);
    }
}

void tst_BuildStringForm::opensEmptyForItsSlotAndEnterMovesOnOrPresses()
{
    QCOMPARE(find<QLabel>(u"StringNameLabel"_s)->text(), u"No Input Active String"_s);
    QCOMPARE(find<QListWidget>(u"ControlChrList"_s)->count(), 32);
    // Enter moves on from a field or the list as Tab does.
    for (const auto& [from, next] :
        { std::pair(u"HoursTextBox"_s, u"MinutesTextBox"_s), std::pair(u"ControlChrList"_s, u"InsertCtlChr"_s) }) {
        find<QWidget>(from)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget()->objectName(), next);
    }
    // Enter in the text moves to Done without pressing it; Enter on Done presses it.
    type(composition(), u"A\u00a0"_s);
    QTest::mouseClick(composition()->viewport(), Qt::LeftButton, {}, QPoint(2, 2));
    QVERIFY(composition()->textCursor().atEnd());
    type(composition(), u"\r"_s);
    QVERIFY(!m_handedOver);
    type(QApplication::focusWidget(), u"\r"_s);
    QCOMPARE(m_handedOver, u"A\u00a0"_s);
    QVERIFY(!m_form->isVisible());
}

QTEST_MAIN(tst_BuildStringForm)
#include "tst_buildstringform.moc"
