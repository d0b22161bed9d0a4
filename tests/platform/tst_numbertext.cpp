#include "platform/numbertext.h"

#include <QTest>

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;
using namespace platform;

class tst_NumberText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void wholeTextNumericTest_data();
    void wholeTextNumericTest();
    void leadingNumberReadsUpToTheFirstCharacterThatCannotContinueIt_data();
    void leadingNumberReadsUpToTheFirstCharacterThatCannotContinueIt();
    void halvesRoundToTheEvenNeighbour_data();
    void halvesRoundToTheEvenNeighbour();
    void wholeNumberOutsideTheRangeIsRefused_data();
    void wholeNumberOutsideTheRangeIsRefused();
};

void tst_NumberText::wholeTextNumericTest_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");

    QTest::newRow("digits") << u"12"_s << true;
    QTest::newRow("blanks around") << u"  12 \t"_s << true;
    QTest::newRow("signs") << u"-7"_s << true;
    QTest::newRow("plus sign") << u"+7"_s << true;
    QTest::newRow("decimal point") << u"2.5"_s << true;
    QTest::newRow("leading point") << u".5"_s << true;
    QTest::newRow("trailing point") << u"5."_s << true;
    QTest::newRow("exponent") << u"1e2"_s << true;
    QTest::newRow("signed exponent") << u"1.5E-3"_s << true;
    QTest::newRow("too large is still a number") << u"1e400"_s << true;
    QTest::newRow("empty") << QString() << false;
    QTest::newRow("blanks only") << u"   "_s << false;
    QTest::newRow("sign alone") << u"-"_s << false;
    QTest::newRow("point alone") << u"."_s << false;
    QTest::newRow("two points") << u"1.2.3"_s << false;
    QTest::newRow("exponent without digits") << u"1e"_s << false;
    QTest::newRow("exponent alone") << u"e5"_s << false;
    QTest::newRow("trailing letters") << u"12abc"_s << false;
    QTest::newRow("inner blank") << u"1 2"_s << false;
    QTest::newRow("letters") << u"abc"_s << false;
    QTest::newRow("hex prefix") << u"&h1F"_s << false;
    QTest::newRow("decimal comma") << u"2,5"_s << false;
    QTest::newRow("line end") << u"12\r"_s << false;
}

void tst_NumberText::wholeTextNumericTest()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QCOMPARE(isNumericText(text), numeric);
}

void tst_NumberText::leadingNumberReadsUpToTheFirstCharacterThatCannotContinueIt_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");

    QTest::newRow("blank-led count") << u" 12"_s << 12.0;
    QTest::newRow("trailing letters") << u"12abc"_s << 12.0;
    QTest::newRow("port name") << u"COM2"_s << 0.0;
    QTest::newRow("empty") << QString() << 0.0;
    QTest::newRow("negative") << u"-3x"_s << -3.0;
    QTest::newRow("fraction") << u"2.5 s"_s << 2.5;
    QTest::newRow("second point ends it") << u"1.2.3"_s << 1.2;
    QTest::newRow("incomplete exponent ends it") << u"4e+"_s << 4.0;
    QTest::newRow("exponent") << u"15e-1"_s << 1.5;
    QTest::newRow("inner blank ends it") << u"1 2"_s << 1.0;
    QTest::newRow("sign alone") << u"-"_s << 0.0;
    QTest::newRow("underflow") << u"1e-400"_s << 0.0;
}

void tst_NumberText::leadingNumberReadsUpToTheFirstCharacterThatCannotContinueIt()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumberValue(text), value);
}

void tst_NumberText::halvesRoundToTheEvenNeighbour_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rounded");

    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("3.5") << 3.5 << 4.0;
    QTest::newRow("16.5") << 16.5 << 16.0;
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("-0.5") << -0.5 << 0.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("16.4") << 16.4 << 16.0;
    QTest::newRow("16.6") << 16.6 << 17.0;
    QTest::newRow("-0.4") << -0.4 << 0.0;
}

void tst_NumberText::halvesRoundToTheEvenNeighbour()
{
    QFETCH(double, value);
    QFETCH(double, rounded);
    QCOMPARE(roundHalfToEven(value), rounded);
}

void tst_NumberText::wholeNumberOutsideTheRangeIsRefused_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    const double infinity = std::numeric_limits<double>::infinity();
    QTest::newRow("inside") << 30.0 << 30;
    QTest::newRow("upper bound") << 255.0 << 255;
    QTest::newRow("255.5 rounds to 256") << 255.5 << -1;
    QTest::newRow("254.5 rounds to 254") << 254.5 << 254;
    QTest::newRow("above") << 256.0 << -1;
    QTest::newRow("small negative rounds to zero") << -0.4 << 0;
    QTest::newRow("negative") << -1.0 << -1;
    QTest::newRow("infinity") << infinity << -1;
    QTest::newRow("not a number") << std::nan("") << -1;
}

void tst_NumberText::wholeNumberOutsideTheRangeIsRefused()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    const std::optional<int> whole = wholeNumberWithin(value, 0, 255);
    QCOMPARE(whole.value_or(-1), expected);
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
