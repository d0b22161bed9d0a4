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

    QTest::newRow("blank-led count") << u" 12"_s << true << 12.0;
    QTest::newRow("blanks around") << u"\t12 "_s << true << 12.0;
    QTest::newRow("signed fraction") << u"-2.5"_s << true << -2.5;
    QTest::newRow("leading point") << u"+.5"_s << true << 0.5;
    QTest::newRow("exponent") << u"15E-1"_s << true << 1.5;
    QTest::newRow("too large") << u"1e400"_s << true << qInf();
    QTest::newRow("empty") << QString() << false << 0.0;
    QTest::newRow("sign alone") << u"-"_s << false << 0.0;
    QTest::newRow("point alone") << u"."_s << false << 0.0;
    QTest::newRow("second point") << u"1.2.3"_s << false << 1.2;
    QTest::newRow("exponent without digits") << u"4e+"_s << false << 4.0;
    QTest::newRow("inner blank") << u"1 2"_s << false << 1.0;
    QTest::newRow("port name") << u"COM2"_s << false << 0.0;
    QTest::newRow("trailing letters") << u"12abc"_s << false << 12.0;
    QTest::newRow("decimal comma") << u"2,5"_s << false << 2.0;
    QTest::newRow("line end") << u"12\r"_s << false << 12.0;
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
    const QList<std::pair<double, double>> cases { { 2.5, 2 }, { 3.5, 4 }, { 16.5, 16 }, { 16.6, 17 }, { -0.4, 0 },
        { -2.5, -2 }, { -3.5, -4 } };
    for (const auto& [value, rounded] : cases)
        QCOMPARE(roundHalfToEven(value), rounded);
    QCOMPARE(wholeNumberWithin(255.5, 0, 255), std::nullopt);
    QCOMPARE(wholeNumberWithin(-0.5, 0, 255), 0);
    QCOMPARE(wholeNumberWithin(qQNaN(), 0, 255), std::nullopt);
}

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
