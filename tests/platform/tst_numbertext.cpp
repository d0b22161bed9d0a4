#include "platform/numbertext.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace platform;

class tst_NumberText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textIsReadAsWholeAndLeadingNumber_data();
    void textIsReadAsWholeAndLeadingNumber();
    void halvesRoundToTheEvenNeighbour();
};

void tst_NumberText::textIsReadAsWholeAndLeadingNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("numeric");
    QTest::addColumn<double>("leading");

    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("blank, sign and leading point") << u" +.5"_s << true << 0.5;
    QTest::newRow("point alone") << u"."_s << false << 0.0;
    QTest::newRow("point after point") << u"1..2"_s << false << 1.0;
    QTest::newRow("exponent with its sign") << u"1.5e+1"_s << true << 15.0;
    QTest::newRow("exponent without a sign") << u"15E1"_s << true << 150.0;
    QTest::newRow("exponent without digits") << u"9e+"_s << false << 9.0;
}

void tst_NumberText::textIsReadAsWholeAndLeadingNumber()
{
    QFETCH(QString, text);
    QFETCH(bool, numeric);
    QFETCH(double, leading);
    QCOMPARE(isNumericText(text), numeric);
    QCOMPARE(leadingNumberValue(text), leading);
}

void tst_NumberText::halvesRoundToTheEvenNeighbour()
{
    for (const auto& [value, rounded] : { std::pair(2.5, 2.0), { 3.5, 4.0 }, { -2.5, -2.0 }, { 16.6, 17.0 } })
        QCOMPARE(roundHalfToEven(value), rounded);
    QCOMPARE(wholeNumberWithin(255.5, 0, 255), std::nullopt);
    QCOMPARE(wholeNumberWithin(-0.5, 0, 255), 0);
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
