#include "config/delayfield.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Each field's refusal, restated so that a wrong text in the code cannot agree with itself.
struct Field {
    const config::DelayFieldKind& kind;
    QString message;
    QString title;
};

const Field kFields[] = {
    { config::kHoursField, u"You must enter a number of hours between 0 and 16."_s, u"Hours Wrong"_s },
    { config::kMinutesField, u"You must enter a number of minutes between 0 and 59."_s, u"Minutes Wrong"_s },
    { config::kSecondsField, u"You must enter a number of seconds between 0 and 59."_s, u"Seconds Wrong"_s },
};
constexpr int kHours = 0, kMinutes = 1, kSeconds = 2;
constexpr int kNothing = -1, kRefused = -2;

} // namespace

class tst_DelayField : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entryIsTakenLeftOrRefused_data();
    void entryIsTakenLeftOrRefused();
};

void tst_DelayField::entryIsTakenLeftOrRefused_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value"); // kNothing: left as it was; kRefused: 255 and the field's box

    QTest::newRow("empty") << kHours << QString() << kNothing;
    QTest::newRow("hours hint") << kHours << u"0-16"_s << kNothing;
    QTest::newRow("minutes hint") << kMinutes << u"0-59"_s << kNothing;
    QTest::newRow("another field's hint") << kHours << u"0-59"_s << kRefused;
    QTest::newRow("most hours") << kHours << u"16"_s << 16;
    QTest::newRow("hours beyond") << kHours << u"17"_s << kRefused;
    QTest::newRow("most minutes") << kMinutes << u"59"_s << 59;
    QTest::newRow("minutes beyond") << kMinutes << u"60"_s << kRefused;
    QTest::newRow("most seconds") << kSeconds << u"59"_s << 59;
    QTest::newRow("seconds beyond") << kSeconds << u"60"_s << kRefused;
    QTest::newRow("half rounds to even, down") << kHours << u"2.5"_s << 2;
    QTest::newRow("half at the top rounds down") << kHours << u"16.5"_s << 16;
    QTest::newRow("a little below 0 is 0") << kHours << u"-0.4"_s << 0;
    QTest::newRow("rounds beyond the top") << kHours << u"16.6"_s << kRefused;
    QTest::newRow("below 0 once rounded") << kMinutes << u"-0.6"_s << kRefused;
    QTest::newRow("blank, sign and leading point") << kSeconds << u" +.5"_s << 0;
    QTest::newRow("exponent with its sign") << kHours << u"1.5e+1"_s << 15;
    QTest::newRow("exponent without digits") << kHours << u"9e+"_s << kRefused;
    QTest::newRow("point after point") << kHours << u"1..2"_s << kRefused;
    QTest::newRow("letters") << kHours << u"abc"_s << kRefused;
    QTest::newRow("huge") << kSeconds << u"1e300"_s << kRefused;
}

void tst_DelayField::entryIsTakenLeftOrRefused()
{
    QFETCH(int, field);
    QFETCH(QString, text);
    QFETCH(int, value);

    const Field& expected = kFields[field];
    const config::DelayEntry entry = config::readDelayEntry(text, expected.kind);
    const config::DelayEntryKind kind = value == kNothing ? config::DelayEntryKind::Nothing
        : value == kRefused                               ? config::DelayEntryKind::Refused
                                                          : config::DelayEntryKind::Valid;
    QCOMPARE(entry.kind, kind);
    qint16 number = 77;
    const std::optional<config::DelayRefusal> refusal = config::takeDelayEntry(text, expected.kind, number);
    QCOMPARE(number, value == kNothing ? 77 : value == kRefused ? 255 : value);
    QCOMPARE(refusal ? QString(refusal->message) : QString(), value == kRefused ? expected.message : QString());
    QCOMPARE(refusal ? QString(refusal->title) : QString(), value == kRefused ? expected.title : QString());
    // The field shows a valid text as given and nothing for any other.
    QCOMPARE(config::delayFieldTextAfterSetting(text, expected.kind),
        kind == config::DelayEntryKind::Valid ? text : QString());
}

QTEST_GUILESS_MAIN(tst_DelayField)
#include "tst_delayfield.moc"
