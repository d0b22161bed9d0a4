#include "windowfixture.h"

#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace {

const QString kHoursMessage = u"You must enter a number of hours between 0 and 16."_s;
const QString kMinutesMessage = u"You must enter a number of minutes between 0 and 59."_s;
const QString kSecondsMessage = u"You must enter a number of seconds between 0 and 59."_s;

} // namespace

class tst_DelayTextBox : public WindowTestCase {
    Q_OBJECT

private Q_SLOTS:
    void everyChangeIsCheckedAgainstTheFieldsRange_data();
    void everyChangeIsCheckedAgainstTheFieldsRange();
    void leavingAnEmptyFieldMakesItZeroAndAHintStays();
};

void tst_DelayTextBox::everyChangeIsCheckedAgainstTheFieldsRange_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<bool>("typed"); // key by key into the selected hint, or set whole by the program
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("refusals");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");

    QTest::newRow("hours 17") << u"Hours"_s << true << u"17"_s << kHoursMessage << u"Hours Wrong"_s << 1 << QString()
                              << 255;
    QTest::newRow("hours 16") << u"Hours"_s << true << u"16"_s << QString() << QString() << 0 << u"16"_s << 16;
    QTest::newRow("16.5 is 16") << u"Hours"_s << false << u"16.5"_s << QString() << QString() << 0 << u"16.5"_s << 16;
    QTest::newRow("16.6 is 17") << u"Hours"_s << false << u"16.6"_s << kHoursMessage << u"Hours Wrong"_s << 1
                                << QString() << 255;
    QTest::newRow("too large for 16 bits")
        << u"Hours"_s << false << u"40000"_s << kHoursMessage << u"Hours Wrong"_s << 1 << QString() << 255;
    QTest::newRow("minutes 12 key by key")
        << u"Minutes"_s << true << u"12"_s << QString() << QString() << 0 << u"12"_s << 12;
    QTest::newRow("minutes 60") << u"Minutes"_s << false << u"60"_s << kMinutesMessage << u"Minutes Wrong"_s << 1
                                << QString() << 255;
    // The minus sign alone is refused at once; the 1 typed next lands in the emptied field.
    QTest::newRow("minutes -1") << u"Minutes"_s << true << u"-1"_s << kMinutesMessage << u"Minutes Wrong"_s << 1
                                << u"1"_s << 1;
    QTest::newRow("seconds point") << u"Seconds"_s << true << u"."_s << kSecondsMessage << u"Seconds Wrong"_s << 1
                                   << QString() << 255;
    QTest::newRow("seconds 5 over the hint")
        << u"Seconds"_s << true << u"5"_s << QString() << QString() << 0 << u"5"_s << 5;
}

void tst_DelayTextBox::everyChangeIsCheckedAgainstTheFieldsRange()
{
    QFETCH(QString, field);
    QFETCH(bool, typed);
    QFETCH(QString, entry);
    QFETCH(QString, message);
    QFETCH(QString, title);
    QFETCH(int, refusals);
    QFETCH(QString, text);
    QFETCH(int, value);
    m_fixture = std::make_unique<WindowFixture>();
    for (int i = 0; i < refusals; ++i)
        m_fixture->prompts.expectMessage(message, title);
    m_fixture->open();
    auto* box = m_fixture->find<QLineEdit>(field + u"TextBox"_s);
    const config::NoInputDelay& delay = m_fixture->configuration.delay;
    const qint16& number = field == u"Hours"_s ? delay.hours : field == u"Minutes"_s ? delay.minutes : delay.seconds;
    if (typed) {
        box->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(box, entry);
    } else {
        box->setText(entry);
    }
    QCOMPARE(box->text(), text);
    QCOMPARE(number, value);
}

void tst_DelayTextBox::leavingAnEmptyFieldMakesItZeroAndAHintStays()
{
    m_fixture = std::make_unique<WindowFixture>();
    m_fixture->open();
    auto* hours = m_fixture->find<QLineEdit>(u"HoursTextBox"_s);
    auto* minutes = m_fixture->find<QLineEdit>(u"MinutesTextBox"_s);
    // Entering a field selects all of it, the hint included, however the focus came.
    QTest::mouseClick(hours, Qt::LeftButton);
    QTRY_COMPARE(hours->selectedText(), u"0-16"_s);
    minutes->setFocus(Qt::OtherFocusReason);
    QCOMPARE(minutes->selectedText(), u"0-59"_s);
    QCOMPARE(hours->text(), u"0-16"_s);

    QTest::keyClicks(minutes, u"9"_s);
    minutes->clear();
    QCOMPARE(m_fixture->configuration.delay.minutes, 9);
    hours->setFocus(Qt::TabFocusReason);
    QCOMPARE(minutes->text(), u"0"_s);
    QCOMPARE(m_fixture->configuration.delay.minutes, 0);
}

QTEST_MAIN(tst_DelayTextBox)
#include "tst_delaytextbox.moc"
