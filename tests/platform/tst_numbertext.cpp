#include "platform/numbertext.h"

#include <QTest>

using namespace Qt::StringLiterals;
using namespace platform;

class tst_NumberText : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textIsReadAsWholeAndLeadingNumber_data();
    void textIsReadAsWholeAndLeadingNumber();
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

QTEST_GUILESS_MAIN(tst_NumberText)
#include "tst_numbertext.moc"
