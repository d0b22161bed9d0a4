#include "strings/notation.h"

#include "tests/support/hex.h"

#include <QTest>

using namespace Qt::StringLiterals;

class tst_Notation : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void tokensGiveTextAndBytesTogether_data();
    void tokensGiveTextAndBytesTogether();
    void controlCharacterListShowsEachCodeInOrder();
};

void tst_Notation::tokensGiveTextAndBytesTogether_data()
{
    // Each step: "c" typed characters, "h" hex digits, "k" a control name, "w" hours,minutes,seconds.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");

    QTest::newRow("typed, then hex") << QStringList { u"cPWR"_s, u"h0D"_s } << u"PWR '&h0D' "_s << u"5057520D"_s;
    QTest::newRow("hex 1B is escaped") << QStringList { u"h1B"_s } << u" '&h1B' "_s << u"1BFF"_s;
    QTest::newRow("ESC is escaped") << QStringList { u"kESC"_s, u"c1"_s } << u" 'ESC' 1"_s << u"1BFF31"_s;
    QTest::newRow("wait of 256 s") << QStringList { u"w0,4,16"_s } << u" 'Wait  0 hrs.  4 min.  16 sec. '"_s
                                   << u"1B0100"_s;
    QTest::newRow("longest wait") << QStringList { u"w16,59,59"_s } << u" 'Wait  16 hrs.  59 min.  59 sec. '"_s
                                  << u"1BEF0F"_s;
    QTest::newRow("EM") << QStringList { u"kEM"_s } << u" 'EM' "_s << u"19"_s;
    QTest::newRow("US, the last") << QStringList { u"kUS"_s } << u" 'US' "_s << u"1F"_s;
    QTest::newRow("hex as entered") << QStringList { u"h0"_s, u"h00"_s, u"h5"_s, u"hFF"_s }
                                    << u" '&h0'  '&h00'  '&h5'  '&hFF' "_s << u"000005FF"_s;
    QTest::newRow("no wait at all") << QStringList { u"w0,0,0"_s } << QString() << QString();
    QTest::newRow("typed look-alikes are plain") << QStringList { u"c'&hESC"_s } << u"'&hESC"_s << u"272668455343"_s;
    QTest::newRow("typed Latin-1") << QStringList { u"c\u00e9\u00ff"_s } << u"\u00e9\u00ff"_s << u"E9FF"_s;
    QTest::newRow("typed euro sign has no byte") << QStringList { u"c\u20ac"_s } << QString() << QString();
}

void tst_Notation::tokensGiveTextAndBytesTogether()
{
    QFETCH(QStringList, steps);
    QString text;
    QByteArray bytes;
    for (const QString& step : steps) {
        const QString value = step.mid(1);
        std::optional<strings::Token> token;
        if (step.startsWith(u'c')) {
            for (const char32_t character : value.toUcs4()) {
                if ((token = strings::typedCharacterToken(character))) {
                    text += token->text;
                    bytes += token->bytes;
                }
            }
            continue;
        }
        if (step.startsWith(u'h'))
            token = strings::hexByteToken(value);
        else if (step.startsWith(u'k'))
            token = strings::controlCharacterToken(value);
        else {
            const QStringList parts = value.split(u',');
            token = strings::waitToken(parts[0].toInt(), parts[1].toInt(), parts[2].toInt());
        }
        if (token) {
            text += token->text;
            bytes += token->bytes;
        }
    }
    QTEST(text, "text");
    QTEST(testsupport::hex(bytes), "bytes");
}

void tst_Notation::controlCharacterListShowsEachCodeInOrder()
{
    const QStringList expected = u"NULL - H00|SOH  - H01|STX   - H02|ETX   - H03|EOT  - H04|ENQ  - H05|ACK  - H06|"
                                 u"BEL   - H07|BS     - H08|HT     - H09|LF      - H0A|VT      - H0B|FF      - H0C|"
                                 u"CR     - H0D|SO     - H0E|SI      - H0F|DLE    - H10|DC1   - H11|DC2   - H12|"
                                 u"DC3   - H13|DC4   - H14|NAK   - H15|SYN   - H16|ETB   - H17|CAN  - H18|"
                                 u"EM    - H19|SUB   - H1A|ESC   - H1B|FS     - H1C|GS     - H1D|RS     - H1E|"
                                 u"US     - H1F"_s.split(u'|');
    QCOMPARE(int(strings::kControlCharacterItems.size()), expected.size());
    for (int code = 0; code < expected.size(); ++code) {
        QCOMPARE(QString(strings::kControlCharacterItems[code]), expected[code]);
        QCOMPARE(strings::CtlChrCode(expected[code].section(u' ', 0, 0)), std::optional<quint8>(code));
    }
    // The whole name, exactly: no prefix, no other case.
    QCOMPARE(strings::CtlChrCode(u"ES"), std::nullopt);
    QCOMPARE(strings::CtlChrCode(u"esc"), std::nullopt);
}

QTEST_APPLESS_MAIN(tst_Notation)
#include "tst_notation.moc"
