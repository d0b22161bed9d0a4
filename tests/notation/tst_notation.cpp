#include "notation/boxreading.h"
#include "notation/composition.h"
#include "notation/notation.h"
#include "notation/readabletext.h"

#include <QTest>

using namespace Qt::StringLiterals;
using notation::TextChange;

namespace {

// The field's texts as the user types text one character at a time.
QStringList typedOneByOne(const QString& text)
{
    QStringList texts;
    for (qsizetype length = 1; length <= text.size(); ++length)
        texts.append(text.first(length));
    return texts;
}

} // namespace

// The two forms of a command string: what the builder shows and the bytes the device is sent.
class tst_Notation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tokenGivesItsTextAndItsBytes_data();
    void tokenGivesItsTextAndItsBytes();
    void changeRuleCountsOnlyAppendsAndStopsPastThirtyBytes_data();
    void changeRuleCountsOnlyAppendsAndStopsPastThirtyBytes();
    void boxReadsEscapesAsWaitsOrOneEscByte_data();
    void boxReadsEscapesAsWaitsOrOneEscByte();
    void projectorsAnswerReadsAsText();
};

void tst_Notation::tokenGivesItsTextAndItsBytes_data()
{
    // "c" a typed character, "h" hex digits, "n" a control character's name, "w" a wait "h m s".
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("text"); // empty: no token
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("listItem"); // the name's item in the builder's list, blanks included

    const auto row = [](const char* name, const QString& token, const QString& text = {}, const QString& bytes = {},
                         const QString& listItem = {}) { QTest::newRow(name) << token << text << bytes << listItem; };
    row("letter", u"cA"_s, u"A"_s, u"41"_s);
    row("y diaeresis, the last single byte", u"c\u00FF"_s, u"\u00FF"_s, u"FF"_s);
    row("A macron, the first without one", u"c\u0100"_s);
    row("one hex digit", u"h5"_s, u" '&h5' "_s, u"05"_s);
    row("hex 1B, marked as no wait", u"h1B"_s, u" '&h1B' "_s, u"1B FF"_s);
    row("hex FF", u"hFF"_s, u" '&hFF' "_s, u"FF"_s);
    row("NULL, the first", u"nNULL"_s, u" 'NULL' "_s, u"00"_s, u"NULL - H00"_s);
    row("ESC, marked as no wait", u"nESC"_s, u" 'ESC' "_s, u"1B FF"_s, u"ESC   - H1B"_s);
    row("US, the last", u"nUS"_s, u" 'US' "_s, u"1F"_s, u"US     - H1F"_s);
    row("part of a name", u"nNUL"_s);
    row("an item's text", u"nCR     - H0D"_s);
    row("no time", u"w0 0 0"_s);
    row("256 s", u"w0 4 16"_s, u" 'Wait  0 hrs.  4 min.  16 sec. '"_s, u"1B 01 00"_s);
    row("hours alone", u"w5 0 0"_s, u" 'Wait  5 hrs.  0 min.  0 sec. '"_s, u"1B 46 50"_s);
    row("longest, past a signed 16 bits", u"w16 59 59"_s, u" 'Wait  16 hrs.  59 min.  59 sec. '"_s, u"1B EF 0F"_s);
}

void tst_Notation::tokenGivesItsTextAndItsBytes()
{
    QFETCH(QString, token);
    QFETCH(QString, text);
    const QString value = token.sliced(1);
    std::optional<notation::Token> made;
    if (token.startsWith(u'c')) {
        made = notation::typedCharacterToken(value.toUcs4().front());
    } else if (token.startsWith(u'h')) {
        made = notation::hexByteToken(value);
    } else if (token.startsWith(u'w')) {
        const QStringList time = value.split(u' ');
        made = notation::waitToken(time[0].toInt(), time[1].toInt(), time[2].toInt());
    } else {
        const std::optional<quint8> code = notation::controlCharacterCode(value);
        QCOMPARE(code.has_value(), !text.isEmpty());
        if (code) {
            QTEST(QString(notation::kControlCharacterItems[*code]), "listItem");
            made = notation::controlCharacterToken(value);
        }
    }
    QCOMPARE(made ? made->text : QString(), text);
    QTEST(made ? notation::hexPairs(made->bytes) : QString(), "bytes");
}

void tst_Notation::changeRuleCountsOnlyAppendsAndStopsPastThirtyBytes_data()
{
    // The field's successive texts; where tokenBytes has bytes, that text is a token's insertion.
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArrayList>("tokenBytes");
    QTest::addColumn<int>("change"); // the rule's answer to the last text
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("tooLong");

    const QString x29(29, u'x');
    const auto row = [](const char* name, const QStringList& texts, int change, const QByteArray& bytes,
                         const QByteArrayList& tokenBytes = {}, bool tooLong = false) {
        QTest::newRow(name) << texts << tokenBytes << change << bytes << tooLong;
    };
    const int counted = int(TextChange::Counted);
    const int cleared = int(TextChange::Cleared);
    row("typed", typedOneByOne(u"PWR\u00e9"_s), counted, "PWR\xE9");
    row("Backspace", { u"A"_s, u"AB"_s, u"A"_s }, cleared, {});
    row("two characters at once", { u"A"_s, u"ABC"_s }, cleared, {});
    row("edit inside the counted text", { u"A"_s, u"AB"_s, u"XB"_s }, cleared, {});
    row("typing after a clear starts afresh", { u"A"_s, u"AB"_s, u"A"_s, u"C"_s }, counted, "C");
    row("euro sign refused", { u"A"_s, u"A\u20ac"_s }, int(TextChange::Refused), "A");
    row("emoji, a surrogate pair, refused", { u"A"_s, u"A\U0001F600"_s }, int(TextChange::Refused), "A");
    row("typed after a refusal", { u"A"_s, u"A\u20ac"_s, u"A"_s, u"AB"_s }, counted, "AB");
    row("token after typing", { u"P"_s, u"P 'ESC' "_s }, counted, "P\x1B\xFF", { {}, "\x1B\xFF" });
    row("typed after a token", { u" 'CR' "_s, u" 'CR' 1"_s }, counted, "\r1", { "\r" });
    row("thirty bytes", typedOneByOne(x29 + u'x'), counted, QByteArray(30, 'x'));
    row("thirty-one bytes", typedOneByOne(x29 + u"xx"_s), int(TextChange::TooLong), QByteArray(31, 'x'), {}, true);
    // The length is checked before the token's bytes; the builder checks again after them.
    row("token past thirty", typedOneByOne(x29) << x29 + u" 'ESC' "_s, counted, QByteArray(29, 'x') + "\x1B\xFF",
        QByteArrayList(29) << "\x1B\xFF", true);
}

void tst_Notation::changeRuleCountsOnlyAppendsAndStopsPastThirtyBytes()
{
    QFETCH(QStringList, texts);
    QFETCH(QByteArrayList, tokenBytes);
    QFETCH(QByteArray, bytes);
    QByteArray builtBytes = "an earlier composition";
    notation::Composition composition(builtBytes);
    TextChange change = TextChange::Counted;
    for (qsizetype step = 0; step < texts.size(); ++step) {
        const QByteArray token = tokenBytes.value(step);
        if (!token.isEmpty())
            composition.beginInsertion();
        change = composition.takeText(texts[step]);
        if (!token.isEmpty())
            composition.appendTokenBytes(token);
        // What the field does with a cleared or overlong text: it empties itself.
        if (change == TextChange::Cleared || (change == TextChange::TooLong && step + 1 < texts.size())) {
            composition.clear();
            QCOMPARE(int(composition.takeText(QString())), int(TextChange::Counted));
        }
    }
    QTEST(int(change), "change");
    QCOMPARE(composition.bytes(), bytes);
    QCOMPARE(builtBytes, composition.bytes());
    QTEST(composition.isTooLong(), "tooLong");
}

void tst_Notation::boxReadsEscapesAsWaitsOrOneEscByte_data()
{
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("steps"); // "from+length send HEX" or "from+length wait SECONDS"
    QTest::addColumn<int>("unreadableAt"); // -1: the whole string is read

    const auto row = [](const char* name, const QString& bytes, const QString& steps, int unreadableAt = -1) {
        QTest::newRow(name) << bytes << steps << unreadableAt;
    };
    row("plain bytes", u"50 57 52 0D"_s, u"0+4 send 50 57 52 0D"_s);
    row("1B FF at the end", u"41 1B FF"_s, u"0+1 send 41, 1+2 send 1B"_s);
    row("longest high byte, 1B as the low byte, at the end", u"1B EF 1B"_s, u"0+3 wait 61211"_s);
    row("F0 after 1B", u"41 1B F0 42 43"_s, u"0+1 send 41"_s, 1);
    row("FE after 1B", u"1B FE"_s, {}, 0);
    row("cut off inside a wait", u"1B 00 05 41 1B 00"_s, u"0+3 wait 5, 3+1 send 41"_s, 4);
    row("two waits back to back, first and last", u"1B 00 01 1B 01 00"_s, u"0+3 wait 1, 3+3 wait 256"_s);
    QStringList thirtyEscapes;
    for (int pair = 0; pair < 30; ++pair)
        thirtyEscapes.append(u"%1+2 send 1B"_s.arg(2 * pair));
    row("thirty 1B FF pairs", u"1B FF"_s.repeated(30), thirtyEscapes.join(u", "_s));
}

void tst_Notation::boxReadsEscapesAsWaitsOrOneEscByte()
{
    QFETCH(QString, bytes);
    const notation::BoxReading reading = notation::readAsTheBox(QByteArray::fromHex(bytes.toLatin1()));
    QStringList steps;
    for (const notation::BoxStep& step : reading.steps) {
        const bool wait = step.kind == notation::BoxStep::Kind::Wait;
        steps.append(u"%1+%2 "_s.arg(step.from).arg(step.length)
            + (wait ? u"wait "_s + QString::number(step.waitSeconds) : u"send "_s + notation::hexPairs(step.sent)));
    }
    QTEST(steps.join(u", "_s), "steps");
    QTEST(int(reading.unreadableEscapeAt.value_or(-1)), "unreadableAt");
}

void tst_Notation::projectorsAnswerReadsAsText()
{
    QCOMPARE(notation::readableText(QByteArray::fromHex("4F4B0D0A001B7F80FE207E")),
        u"OK<CR><LF><NULL><ESC><DEL><x80><xFE> ~"_s);
}

QTEST_APPLESS_MAIN(tst_Notation)
#include "tst_notation.moc"
